#include "federation/ifc/IfcGrids.h"

#include "federation/ifc/ColocacionIFC.h"

#include <charconv>
#include <cmath>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>

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

struct EjeLeido {
    std::string tag;
    std::int64_t curva = 0;
};

// One reading of the grids of a table. Points, polylines and axes are read once
// each, however often they are referred to, and the points handed out are counted:
// a few records listing one long polyline many times must not grow without end.
struct Lectura {
    const TablaRegistrosSTEP& tabla;
    std::vector<EjeGrilla>& ejes;
    size_t limitePuntos = 0;
    size_t puntos = 0;
    std::unordered_map<std::int64_t, std::optional<scene::Vec3f>> puntosLeidos;
    std::unordered_map<std::int64_t, std::vector<scene::Vec3f>> polilineas;
    std::unordered_map<std::int64_t, std::optional<EjeLeido>> ejesLeidos;

    const std::optional<scene::Vec3f>& punto(std::int64_t numero)
    {
        auto it = puntosLeidos.find(numero);
        if (it == puntosLeidos.end()) {
            const RegistroSTEP* r = tabla.buscar(numero);
            std::optional<scene::Vec3f> p;
            if (r && r->tipo == "IFCCARTESIANPOINT")
                p = leerPunto(*r);
            it = puntosLeidos.emplace(numero, p).first;
        }
        return it->second;
    }

    // Points of the polyline stored under `numero`; empty unless it has at least two.
    const std::vector<scene::Vec3f>& polilinea(std::int64_t numero)
    {
        auto it = polilineas.find(numero);
        if (it != polilineas.end())
            return it->second;
        std::vector<scene::Vec3f> leidos;
        const RegistroSTEP* r = tabla.buscar(numero);
        if (r && r->tipo == "IFCPOLYLINE") {
            for (const std::int64_t ref : parsearListaReferenciasSTEP(r->argumentos)) {
                if (const auto& p = punto(ref))
                    leidos.push_back(*p);
            }
        }
        if (leidos.size() < 2)
            leidos.clear();
        return polilineas.emplace(numero, std::move(leidos)).first->second;
    }

    const std::optional<EjeLeido>& eje(std::int64_t numero)
    {
        auto it = ejesLeidos.find(numero);
        if (it != ejesLeidos.end())
            return it->second;
        std::optional<EjeLeido> leido;
        const RegistroSTEP* r = tabla.buscar(numero);
        if (r && r->tipo == "IFCGRIDAXIS") {
            std::vector<std::string_view> atributos;
            separarAtributosSTEP(r->argumentos, atributos, 2);
            if (atributos.size() >= 2) {
                const std::string_view curva = recortarSTEP(atributos[1]);
                if (curva.size() >= 2 && curva.front() == '#') {
                    if (const auto numeroCurva = leerEnteroSTEP(curva.substr(1)))
                        leido = EjeLeido{limpiarCadenaSTEP(atributos[0]), *numeroCurva};
                }
            }
        }
        return ejesLeidos.emplace(numero, std::move(leido)).first->second;
    }

    // Axes in the grid's own coordinates, brought to world metres by `colocacion`.
    void anadirEjes(std::string_view lista, bool esU, const scene::Mat4& colocacion, double metros)
    {
        for (const std::int64_t ref : parsearListaReferenciasSTEP(lista)) {
            const auto& leido = eje(ref);
            if (!leido)
                continue;
            const auto& puntosCurva = polilinea(leido->curva);
            if (puntosCurva.empty())
                continue;
            if (puntosCurva.size() > limitePuntos - puntos)
                return;
            puntos += puntosCurva.size();
            std::vector<scene::Vec3f> mundo;
            mundo.reserve(puntosCurva.size());
            for (const scene::Vec3f& p : puntosCurva)
                mundo.push_back(scene::toFloat(colocacion.transformPoint(scene::toDouble(p) * metros)));
            ejes.push_back(EjeGrilla{QUuid::createUuid(), leido->tag, esU, std::move(mundo)});
        }
    }
};

}  // namespace

std::vector<EjeGrilla> parsearGrillasIFC(const TablaRegistrosSTEP& tabla)
{
    return parsearGrillasIFC(tabla, 4'000'000 + 8 * tabla.entradas().size());
}

std::vector<EjeGrilla> parsearGrillasIFC(const TablaRegistrosSTEP& tabla, size_t limitePuntos)
{
    std::vector<EjeGrilla> ejes;
    Lectura lectura{tabla, ejes, limitePuntos, 0, {}, {}, {}};
    const auto& entradas = tabla.entradas();
    std::optional<double> metros;  // read with the first grid: files without one pay nothing
    for (size_t i = 0; i < entradas.size(); ++i) {
        const RegistroSTEP& r = entradas[i].registro;
        if (r.tipo != "IFCGRID" || !tabla.vigente(i))
            continue;
        const auto atributos = separarAtributosSTEP(r.argumentos);
        if (atributos.size() < 9)
            continue;
        if (!metros)
            metros = metrosPorUnidadIFC(tabla);
        const auto numeroColocacion = parsearReferenciaSTEP(atributos[5]);
        const scene::Mat4 colocacion =
            numeroColocacion ? matrizColocacionIFC(tabla, *numeroColocacion, *metros) : scene::Mat4::identity();
        lectura.anadirEjes(atributos[7], true, colocacion, *metros);
        lectura.anadirEjes(atributos[8], false, colocacion, *metros);
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
