#include "federation/ifc/ColocacionIFC.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace quelva {

namespace {

using scene::Mat4;
using scene::Vec3;

std::optional<double> leerReal(std::string_view texto)
{
    texto = recortarSTEP(texto);
    if (!texto.empty() && texto.front() == '+')
        texto.remove_prefix(1);
    double valor = 0;
    const auto [fin, error] = std::from_chars(texto.data(), texto.data() + texto.size(), valor);
    if (error != std::errc() || fin != texto.data() + texto.size() || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

const RegistroSTEP* registroDe(const TablaRegistrosSTEP& tabla, std::string_view referencia,
                               std::string_view tipo)
{
    const auto numero = parsearReferenciaSTEP(referencia);
    if (!numero)
        return nullptr;
    const RegistroSTEP* r = tabla.buscar(*numero);
    return r && r->tipo == tipo ? r : nullptr;
}

// Numbers of a "((a,b,c))"-style list attribute; pieces that are not numbers are skipped.
std::vector<double> listaReales(std::string_view atributo)
{
    atributo = recortarSTEP(atributo);
    if (atributo.size() >= 2 && atributo.front() == '(' && atributo.back() == ')')
        atributo = atributo.substr(1, atributo.size() - 2);
    std::vector<double> valores;
    size_t inicio = 0;
    while (inicio <= atributo.size()) {
        size_t coma = atributo.find(',', inicio);
        if (coma == std::string_view::npos)
            coma = atributo.size();
        if (const auto v = leerReal(atributo.substr(inicio, coma - inicio)))
            valores.push_back(*v);
        inicio = coma + 1;
    }
    return valores;
}

// Coordinates of the IfcCartesianPoint or ratios of the IfcDirection a reference names.
std::vector<double> coordenadas(const TablaRegistrosSTEP& tabla, std::string_view referencia, std::string_view tipo)
{
    const RegistroSTEP* r = registroDe(tabla, referencia, tipo);
    if (!r)
        return {};
    const auto atributos = separarAtributosSTEP(r->argumentos);
    return atributos.empty() ? std::vector<double>{} : listaReales(atributos[0]);
}

double factorPrefijo(std::string_view prefijo)
{
    static const struct {
        const char* nombre;
        double factor;
    } kPrefijos[] = {
        {"EXA", 1e18},   {"PETA", 1e15}, {"TERA", 1e12}, {"GIGA", 1e9},    {"MEGA", 1e6},   {"KILO", 1e3},
        {"HECTO", 1e2},  {"DECA", 1e1},  {"DECI", 1e-1}, {"CENTI", 1e-2},  {"MILLI", 1e-3}, {"MICRO", 1e-6},
        {"NANO", 1e-9},  {"PICO", 1e-12}, {"FEMTO", 1e-15}, {"ATTO", 1e-18},
    };
    for (const auto& p : kPrefijos)
        if (prefijo == p.nombre)
            return p.factor;
    return 1.0;
}

// Metres of an IfcSIUnit of length (its prefix), or nothing when it is no metre.
std::optional<double> metrosUnidadSI(const RegistroSTEP& r)
{
    const auto a = separarAtributosSTEP(r.argumentos);
    if (a.size() < 4 || valorNominalSTEP(a[1]) != "LENGTHUNIT" || valorNominalSTEP(a[3]) != "METRE")
        return std::nullopt;
    return factorPrefijo(valorNominalSTEP(a[2]));
}

// The converter's library reads a conversion-based length unit as the bare value of its
// conversion factor, a length or ratio, whose unit component is a length unit.
std::optional<double> metrosUnidadConvertida(const TablaRegistrosSTEP& tabla, const RegistroSTEP& r)
{
    const auto a = separarAtributosSTEP(r.argumentos);
    if (a.size() < 4)
        return std::nullopt;
    const RegistroSTEP* medida = registroDe(tabla, a[3], "IFCMEASUREWITHUNIT");
    if (!medida)
        return std::nullopt;
    const auto m = separarAtributosSTEP(medida->argumentos);
    if (m.size() < 2)
        return std::nullopt;
    const RegistroSTEP* componente = registroDe(tabla, m[1], "IFCSIUNIT");
    if (!componente)
        return std::nullopt;
    const auto c = separarAtributosSTEP(componente->argumentos);
    if (c.size() < 2 || valorNominalSTEP(c[1]) != "LENGTHUNIT")
        return std::nullopt;
    const std::string_view valor = recortarSTEP(m[0]);
    if (!valor.starts_with("IFCLENGTHMEASURE(") && !valor.starts_with("IFCRATIOMEASURE(") &&
        !valor.starts_with("IFCPOSITIVELENGTHMEASURE(") && !valor.starts_with("IFCPOSITIVERATIOMEASURE("))
        return std::nullopt;
    const auto v = leerReal(valorNominalSTEP(valor));
    if (!v || !(*v > 0))
        return std::nullopt;
    return *v;
}

Vec3 vector3(const std::vector<double>& v, const Vec3& siNo)
{
    if (v.size() >= 3)
        return {v[0], v[1], v[2]};
    return siNo;
}

// One IfcAxis2Placement3D or IfcAxis2Placement2D as a matrix; the location in metres.
Mat4 matrizEjes(const TablaRegistrosSTEP& tabla, std::string_view referencia, double metros)
{
    const auto numero = parsearReferenciaSTEP(referencia);
    const RegistroSTEP* r = numero ? tabla.buscar(*numero) : nullptr;
    if (!r)
        return Mat4::identity();
    const bool es3D = r->tipo == "IFCAXIS2PLACEMENT3D";
    if (!es3D && r->tipo != "IFCAXIS2PLACEMENT2D")
        return Mat4::identity();
    const auto a = separarAtributosSTEP(r->argumentos);
    Vec3 origen;
    if (!a.empty()) {
        const auto p = coordenadas(tabla, a[0], "IFCCARTESIANPOINT");
        if (p.size() >= 2)
            origen = Vec3{p[0], p[1], p.size() >= 3 ? p[2] : 0.0} * metros;
    }
    Vec3 z{0, 0, 1};
    Vec3 referenciaX{1, 0, 0};
    if (es3D) {
        if (a.size() >= 2)
            z = vector3(coordenadas(tabla, a[1], "IFCDIRECTION"), z);
        if (a.size() >= 3)
            referenciaX = vector3(coordenadas(tabla, a[2], "IFCDIRECTION"), referenciaX);
    } else if (a.size() >= 2) {
        const auto d = coordenadas(tabla, a[1], "IFCDIRECTION");
        if (d.size() >= 2)
            referenciaX = {d[0], d[1], 0};
    }
    z = scene::normalized(z);
    if (z == Vec3{})
        z = {0, 0, 1};
    // The reference direction need not be perpendicular to the axis: x is made so.
    Vec3 y = scene::normalized(scene::cross(z, referenciaX));
    if (y == Vec3{})
        y = scene::normalized(scene::cross(z, std::abs(z.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0}));
    const Vec3 x = scene::normalized(scene::cross(y, z));
    Mat4 m;
    m.m[0] = {x.x, x.y, x.z, 0};
    m.m[1] = {y.x, y.y, y.z, 0};
    m.m[2] = {z.x, z.y, z.z, 0};
    m.m[3] = {origen.x, origen.y, origen.z, 1};
    return m;
}

}  // namespace

double metrosPorUnidadIFC(const TablaRegistrosSTEP& tabla)
{
    const auto& entradas = tabla.entradas();
    for (size_t i = 0; i < entradas.size(); ++i) {
        const RegistroSTEP& proyecto = entradas[i].registro;
        if (proyecto.tipo != "IFCPROJECT" || !tabla.vigente(i))
            continue;
        const auto a = separarAtributosSTEP(proyecto.argumentos);
        const RegistroSTEP* asignacion = a.size() >= 9 ? registroDe(tabla, a[8], "IFCUNITASSIGNMENT") : nullptr;
        if (!asignacion)
            return 1.0;
        for (const std::int64_t ref : parsearListaReferenciasSTEP(asignacion->argumentos)) {
            const RegistroSTEP* unidad = tabla.buscar(ref);
            if (!unidad)
                continue;
            std::optional<double> metros;
            if (unidad->tipo == "IFCSIUNIT")
                metros = metrosUnidadSI(*unidad);
            else if (unidad->tipo == "IFCCONVERSIONBASEDUNIT")
                metros = metrosUnidadConvertida(tabla, *unidad);
            if (metros)
                return *metros;
        }
        return 1.0;
    }
    return 1.0;
}

Mat4 matrizColocacionIFC(const TablaRegistrosSTEP& tabla, std::int64_t colocacion, double metrosPorUnidad)
{
    Mat4 total;
    std::unordered_set<std::int64_t> vistas;
    std::optional<std::int64_t> actual = colocacion;
    while (actual && vistas.insert(*actual).second) {
        const RegistroSTEP* r = tabla.buscar(*actual);
        if (!r || r->tipo != "IFCLOCALPLACEMENT")
            break;
        const auto a = separarAtributosSTEP(r->argumentos);
        if (a.size() < 2)
            break;
        total = matrizEjes(tabla, a[1], metrosPorUnidad) * total;
        actual = parsearReferenciaSTEP(a[0]);
    }
    return total;
}

}  // namespace quelva
