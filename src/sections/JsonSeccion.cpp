#include "sections/JsonSeccion.h"

#include "platform/DocumentText.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>

namespace quelva {

namespace {

using nlohmann::json;

// The float's own shortest text read back as a double, so 0.6f is written 0.6. A value that
// is not finite stays so: the document writer refuses it rather than saving a made-up 0.
json numeroFloat(float f)
{
    if (!std::isfinite(f))
        return double(f);
    char texto[32];
    const auto fin = std::to_chars(texto, texto + sizeof texto, f).ptr;
    double d = 0;
    std::from_chars(texto, fin, d);
    return d;
}

json textoUuid(const QUuid& id)
{
    return platform::documentUuidText(id).toStdString();
}

json punto(const Punto2D& p)
{
    return json::array({numeroFloat(p.u), numeroFloat(p.v)});
}

QString faltaClave(const char* clave)
{
    return QStringLiteral("Falta la clave \"%1\" o su valor no es válido.").arg(QString::fromUtf8(clave));
}

// The check shared by every decoder: an object holding every key.
std::optional<QString> exigirClaves(const json& j, std::initializer_list<const char*> claves)
{
    if (!j.is_object())
        return QStringLiteral("Se esperaba un objeto JSON.");
    for (const char* c : claves)
        if (!j.contains(c))
            return faltaClave(c);
    return std::nullopt;
}

std::optional<float> leerFloat(const json& j)
{
    if (!j.is_number())
        return std::nullopt;
    const double d = j.get<double>();
    if (!std::isfinite(d) || std::abs(d) > std::numeric_limits<float>::max())
        return std::nullopt;
    return float(d);
}

std::optional<Punto2D> leerPunto(const json& j)
{
    if (!j.is_array() || j.size() != 2)
        return std::nullopt;
    const auto u = leerFloat(j[0]);
    const auto v = leerFloat(j[1]);
    if (!u || !v)
        return std::nullopt;
    return Punto2D{*u, *v};
}

std::optional<QUuid> leerUuid(const json& j)
{
    if (!j.is_string())
        return std::nullopt;
    return platform::documentUuid(QString::fromStdString(j.get<std::string>()));
}

std::optional<QString> leerTexto(const json& j)
{
    if (!j.is_string())
        return std::nullopt;
    return QString::fromStdString(j.get<std::string>());
}

}  // namespace

json cotaAJson(const Cota2D& cota)
{
    return {{"id", textoUuid(cota.id)},
            {"p1", punto(cota.p1)},
            {"p2", punto(cota.p2)},
            {"offsetLateral", numeroFloat(cota.offsetLateral)}};
}

ResultadoDecodificacion<Cota2D> cotaDesdeJson(const json& j)
{
    if (auto error = exigirClaves(j, {"id", "p1", "p2", "offsetLateral"}))
        return *error;
    Cota2D c;
    const auto id = leerUuid(j["id"]);
    if (!id)
        return faltaClave("id");
    const auto p1 = leerPunto(j["p1"]);
    if (!p1)
        return faltaClave("p1");
    const auto p2 = leerPunto(j["p2"]);
    if (!p2)
        return faltaClave("p2");
    const auto offset = leerFloat(j["offsetLateral"]);
    if (!offset)
        return faltaClave("offsetLateral");
    c.id = *id;
    c.p1 = *p1;
    c.p2 = *p2;
    c.offsetLateral = *offset;
    return c;
}

json seccionGuardadaAJson(const SeccionGuardada& s)
{
    return {{"id", textoUuid(s.id)}, {"nombre", s.nombre.toStdString()}, {"eje", s.eje}, {"posicion", s.posicion}};
}

ResultadoDecodificacion<SeccionGuardada> seccionGuardadaDesdeJson(const json& j)
{
    if (auto error = exigirClaves(j, {"id", "nombre", "eje", "posicion"}))
        return *error;
    SeccionGuardada s;
    const auto id = leerUuid(j["id"]);
    if (!id)
        return faltaClave("id");
    const auto nombre = leerTexto(j["nombre"]);
    if (!nombre)
        return faltaClave("nombre");
    const json& eje = j["eje"];
    if (!eje.is_number_integer() || eje.get<long long>() < std::numeric_limits<int>::min() ||
        eje.get<long long>() > std::numeric_limits<int>::max())
        return faltaClave("eje");
    if (!j["posicion"].is_number() || !std::isfinite(j["posicion"].get<double>()))
        return faltaClave("posicion");
    s.id = *id;
    s.nombre = *nombre;
    s.eje = int(eje.get<long long>());
    s.posicion = j["posicion"].get<double>();
    return s;
}

json etiquetaGuardadaAJson(const Etiqueta2DGuardada& e)
{
    return {{"nombre", e.nombre.toStdString()},
            {"key", e.key.toStdString()},
            {"visible", e.visible},
            {"offsetTexto", punto(e.offsetTexto)}};
}

ResultadoDecodificacion<Etiqueta2DGuardada> etiquetaGuardadaDesdeJson(const json& j)
{
    if (auto error = exigirClaves(j, {"nombre", "key", "visible", "offsetTexto"}))
        return *error;
    Etiqueta2DGuardada e;
    const auto nombre = leerTexto(j["nombre"]);
    if (!nombre)
        return faltaClave("nombre");
    const auto key = leerTexto(j["key"]);
    if (!key)
        return faltaClave("key");
    if (!j["visible"].is_boolean())
        return faltaClave("visible");
    const auto offset = leerPunto(j["offsetTexto"]);
    if (!offset)
        return faltaClave("offsetTexto");
    e.nombre = *nombre;
    e.key = *key;
    e.visible = j["visible"].get<bool>();
    e.offsetTexto = *offset;
    return e;
}

Etiqueta2DGuardada guardarEtiqueta(const Etiqueta2D& e)
{
    return {e.nombre, e.key, e.visible, e.offsetTexto};
}

Etiqueta2D etiquetaDesdeGuardada(const Etiqueta2DGuardada& g)
{
    Etiqueta2D e;
    e.nombre = g.nombre;
    e.key = g.key;
    e.visible = g.visible;
    e.offsetTexto = g.offsetTexto;
    return e;
}

}  // namespace quelva
