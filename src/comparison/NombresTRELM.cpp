#include "comparison/NombresTRELM.h"

namespace quelva {

PiezasNombreTRELM partirNombreTRELM(std::string_view nombre)
{
    PiezasNombreTRELM p;
    size_t inicio = 0;
    while (inicio < nombre.size()) {
        const size_t barra = nombre.find('/', inicio);
        if (barra == std::string_view::npos) {
            p.cuenta = 1;
            p.primera = nombre.substr(inicio);
            return p;
        }
        if (barra > inicio) {
            p.primera = nombre.substr(inicio, barra - inicio);
            p.segunda = nombre.substr(barra + 1);
            p.cuenta = p.segunda.empty() ? 1 : 2;
            return p;
        }
        inicio = barra + 1;  // an empty piece: not a cut
    }
    return p;
}

namespace {

std::string_view nombreDe(const scene::Node& nodo)
{
    return nodo.name ? std::string_view(*nodo.name) : std::string_view();
}

QString texto(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

}  // namespace

NombreYTipoTRELM tipoYNombreTRELM(std::string_view nombre)
{
    const PiezasNombreTRELM p = partirNombreTRELM(nombre);
    if (p.cuenta == 2)
        return {texto(p.segunda), texto(p.primera)};
    return {texto(nombre), QString()};
}

NombreYTipoTRELM tipoYNombreDeNodo(const scene::Node& nodo)
{
    return tipoYNombreTRELM(nombreDe(nodo));
}

std::string_view vistaClaveElementoTRELM(const scene::Node& nodo, const MapaGlobalIds& globalIds, bool usarGlobalIds,
                                         std::string& busqueda)
{
    const std::string_view entero = nombreDe(nodo);
    const PiezasNombreTRELM p = partirNombreTRELM(entero);
    const std::string_view parte = p.cuenta == 2 ? p.segunda : entero;
    if (usarGlobalIds && !globalIds.empty()) {
        for (const std::string_view candidato : {entero, parte}) {
            busqueda.assign(candidato);
            const auto it = globalIds.find(busqueda);
            if (it != globalIds.end())
                return it->second;
            if (parte.size() == entero.size())
                break;
        }
    }
    return parte;
}

std::string claveElementoTRELM(const scene::Node& nodo, const MapaGlobalIds& globalIds, bool usarGlobalIds)
{
    std::string busqueda;
    return std::string(vistaClaveElementoTRELM(nodo, globalIds, usarGlobalIds, busqueda));
}

}  // namespace quelva
