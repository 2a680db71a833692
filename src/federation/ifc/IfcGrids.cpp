#include "federation/ifc/IfcGrids.h"

#include <charconv>
#include <cmath>
#include <new>
#include <optional>

namespace quelva {

namespace {

std::optional<float> leerFlotante(std::string_view texto)
{
    if (!texto.empty() && texto.front() == '+') {
        texto.remove_prefix(1);
        if (!texto.empty() && (texto.front() == '+' || texto.front() == '-'))
            return std::nullopt;
    }
    float valor = 0;
    const auto [fin, error] = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
    if (error != std::errc() || fin != texto.data() + texto.size() || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

std::optional<scene::Vec3f> leerPunto(const RegistroSTEP& r)
{
    std::string_view a = recortarSTEP(r.argumentos);
    if (a.size() >= 2 && a.front() == '(' && a.back() == ')')
        a = a.substr(1, a.size() - 2);
    float coordenadas[3] = {0, 0, 0};
    int leidas = 0;
    size_t inicio = 0;
    while (inicio <= a.size() && leidas < 3) {
        size_t coma = a.find(',', inicio);
        if (coma == std::string_view::npos)
            coma = a.size();
        if (const auto v = leerFlotante(recortarSTEP(a.substr(inicio, coma - inicio))))
            coordenadas[leidas++] = *v;
        inicio = coma + 1;
    }
    if (leidas < 2)
        return std::nullopt;
    return scene::Vec3f{coordenadas[0], coordenadas[1], coordenadas[2]};
}

// Points of the polyline stored under `numero`; empty unless it has at least two.
std::vector<scene::Vec3f> leerPolilinea(const TablaRegistrosSTEP& tabla, std::int64_t numero)
{
    std::vector<scene::Vec3f> puntos;
    const RegistroSTEP* polilinea = tabla.buscar(numero);
    if (!polilinea || polilinea->tipo != "IFCPOLYLINE")
        return puntos;
    for (const std::int64_t ref : parsearListaReferenciasSTEP(polilinea->argumentos)) {
        const RegistroSTEP* punto = tabla.buscar(ref);
        if (!punto || punto->tipo != "IFCCARTESIANPOINT")
            continue;
        if (const auto p = leerPunto(*punto))
            puntos.push_back(*p);
    }
    if (puntos.size() < 2)
        puntos.clear();
    return puntos;
}

void anadirEjes(const TablaRegistrosSTEP& tabla, std::string_view lista, bool esU, std::vector<EjeGrilla>& ejes)
{
    for (const std::int64_t ref : parsearListaReferenciasSTEP(lista)) {
        const RegistroSTEP* eje = tabla.buscar(ref);
        if (!eje || eje->tipo != "IFCGRIDAXIS")
            continue;
        const auto atributos = separarAtributosSTEP(eje->argumentos);
        if (atributos.size() < 2)
            continue;
        const std::string_view curva = recortarSTEP(atributos[1]);
        if (curva.size() < 2 || curva.front() != '#')
            continue;
        const auto numeroCurva = leerEnteroSTEP(curva.substr(1));
        if (!numeroCurva)
            continue;
        auto puntos = leerPolilinea(tabla, *numeroCurva);
        if (puntos.empty())
            continue;
        ejes.push_back(EjeGrilla{QUuid::createUuid(), limpiarCadenaSTEP(atributos[0]), esU, std::move(puntos)});
    }
}

}  // namespace

std::vector<EjeGrilla> parsearGrillasIFC(const TablaRegistrosSTEP& tabla)
{
    std::vector<EjeGrilla> ejes;
    const auto& entradas = tabla.entradas();
    for (size_t i = 0; i < entradas.size(); ++i) {
        const RegistroSTEP& r = entradas[i].registro;
        if (r.tipo != "IFCGRID" || !tabla.vigente(i))
            continue;
        const auto atributos = separarAtributosSTEP(r.argumentos);
        if (atributos.size() < 9)
            continue;
        anadirEjes(tabla, atributos[7], true, ejes);
        anadirEjes(tabla, atributos[8], false, ejes);
    }
    return ejes;
}

std::vector<EjeGrilla> parsearGrillasIFC(const std::filesystem::path& ruta)
{
    try {
        return parsearGrillasIFC(leerArchivoSTEP(ruta));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace quelva
