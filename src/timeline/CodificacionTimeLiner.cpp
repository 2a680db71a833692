#include "timeline/CodificacionTimeLiner.h"

#include "platform/DocumentText.h"

#include <cmath>
#include <limits>
#include <string>

namespace quelva {

namespace {

using nlohmann::json;

// Thrown inside the decoder only, turned into the error value at its edge.
struct ErrorLectura {
    QString motivo;
};

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& t) { return t.toStdString(); }

const json& requerido(const json& objeto, const char* clave)
{
    const auto it = objeto.find(clave);
    if (it == objeto.end() || it->is_null())
        throw ErrorLectura{QStringLiteral("Falta la clave «%1».").arg(QString::fromUtf8(clave))};
    return *it;
}

const json* opcional(const json& objeto, const char* clave)
{
    const auto it = objeto.find(clave);
    return it == objeto.end() || it->is_null() ? nullptr : &*it;
}

[[noreturn]] void tipoIncorrecto(const char* clave, const char* esperado)
{
    throw ErrorLectura{QStringLiteral("La clave «%1» no tiene %2.").arg(QString::fromUtf8(clave), QString::fromUtf8(esperado))};
}

QString texto(const json& v, const char* clave)
{
    if (!v.is_string())
        tipoIncorrecto(clave, "un texto");
    return q(v.get<std::string>());
}

double numero(const json& v, const char* clave)
{
    if (!v.is_number())
        tipoIncorrecto(clave, "un número");
    return v.get<double>();
}

int entero(const json& v, const char* clave)
{
    if (v.is_number_integer()) {
        const auto n = v.get<std::int64_t>();
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return int(n);
    } else if (v.is_number_unsigned()) {
        const auto n = v.get<std::uint64_t>();
        if (n <= std::uint64_t(std::numeric_limits<int>::max()))
            return int(n);
    }
    // A number written with a fraction (2.0 too) is not a whole number in the document.
    tipoIncorrecto(clave, "un número entero");
}

QDateTime fecha(const json& v, const char* clave)
{
    const std::optional<QDateTime> f = platform::documentDate(texto(v, clave));
    if (!f)
        tipoIncorrecto(clave, "una fecha ISO 8601 válida");
    return *f;
}

void finito(double v, const char* clave)
{
    if (!std::isfinite(v))
        throw ErrorLectura{QStringLiteral("El valor de «%1» no es un número finito.").arg(QString::fromUtf8(clave))};
}

json paqueteAJson(const PaqueteAWP& p)
{
    json o = json::object();
    o["id"] = s(platform::documentUuidText(p.id));
    o["codigo"] = s(p.codigo);
    o["nombre"] = s(p.nombre);
    o["nivel"] = s(textoNivelAWP(p.nivel));
    if (p.parentCodigo)
        o["parentCodigo"] = s(*p.parentCodigo);
    o["fechaInicio"] = s(platform::documentDateText(p.fechaInicio));
    o["fechaFin"] = s(platform::documentDateText(p.fechaFin));
    if (p.fechaInicioReal)
        o["fechaInicioReal"] = s(platform::documentDateText(*p.fechaInicioReal));
    if (p.fechaFinReal)
        o["fechaFinReal"] = s(platform::documentDateText(*p.fechaFinReal));
    const std::pair<const char*, double> numeros[] = {{"progreso", p.progreso}, {"presupuesto", p.presupuesto},
                                                      {"costoReal", p.costoReal}, {"hh", p.hh},
                                                      {"hhReal", p.hhReal}};
    for (const auto& [clave, valor] : numeros) {
        finito(valor, clave);
        o[clave] = valor;
    }
    json elementos = json::array();
    for (const QString& e : p.elementosNombre)
        elementos.push_back(s(e));
    o["elementosNombre"] = std::move(elementos);
    o["colorIdx"] = p.colorIdx;
    return o;
}

PaqueteAWP paqueteDesdeJson(const json& o)
{
    if (!o.is_object())
        throw ErrorLectura{QStringLiteral("Un paquete no es un objeto JSON.")};
    PaqueteAWP p;
    const std::optional<QUuid> id = platform::documentUuid(texto(requerido(o, "id"), "id"));
    if (!id)
        tipoIncorrecto("id", "un identificador válido");
    p.id = *id;
    p.codigo = texto(requerido(o, "codigo"), "codigo");
    p.nombre = texto(requerido(o, "nombre"), "nombre");
    const std::optional<NivelAWP> nivel = nivelAWPDesdeTexto(texto(requerido(o, "nivel"), "nivel"));
    if (!nivel)
        tipoIncorrecto("nivel", "un nivel CWA, CWP, IWP o PWP");
    p.nivel = *nivel;
    if (const json* v = opcional(o, "parentCodigo"))
        p.parentCodigo = texto(*v, "parentCodigo");
    p.fechaInicio = fecha(requerido(o, "fechaInicio"), "fechaInicio");
    p.fechaFin = fecha(requerido(o, "fechaFin"), "fechaFin");
    if (const json* v = opcional(o, "fechaInicioReal"))
        p.fechaInicioReal = fecha(*v, "fechaInicioReal");
    if (const json* v = opcional(o, "fechaFinReal"))
        p.fechaFinReal = fecha(*v, "fechaFinReal");
    p.progreso = numero(requerido(o, "progreso"), "progreso");
    p.presupuesto = numero(requerido(o, "presupuesto"), "presupuesto");
    p.costoReal = numero(requerido(o, "costoReal"), "costoReal");
    p.hh = numero(requerido(o, "hh"), "hh");
    p.hhReal = numero(requerido(o, "hhReal"), "hhReal");
    const json& elementos = requerido(o, "elementosNombre");
    if (!elementos.is_array())
        tipoIncorrecto("elementosNombre", "una lista de textos");
    p.elementosNombre.reserve(qsizetype(elementos.size()));
    for (const json& e : elementos)
        p.elementosNombre.append(texto(e, "elementosNombre"));
    p.colorIdx = entero(requerido(o, "colorIdx"), "colorIdx");
    return p;
}

QString conPaquete(const QString& motivo, const json& o)
{
    if (o.is_object())
        if (const auto it = o.find("codigo"); it != o.end() && it->is_string())
            return QStringLiteral("Paquete «%1»: %2").arg(q(it->get<std::string>()), motivo);
    return motivo;
}

}  // namespace

std::variant<nlohmann::json, QString> codificarPaquete(const PaqueteAWP& paquete)
{
    try {
        return paqueteAJson(paquete);
    } catch (const ErrorLectura& e) {
        return QStringLiteral("Paquete «%1»: %2").arg(paquete.codigo, e.motivo);
    }
}

std::variant<nlohmann::json, QString> codificarTimeLiner(const TimeLinerConfig& config)
{
    json paquetes = json::array();
    for (const PaqueteAWP& p : config.paquetes) {
        auto r = codificarPaquete(p);
        if (auto* error = std::get_if<QString>(&r))
            return *error;
        paquetes.push_back(std::move(std::get<json>(r)));
    }
    json o = json::object();
    o["paquetes"] = std::move(paquetes);
    o["fechaInicio"] = s(platform::documentDateText(config.fechaInicio));
    o["fechaFin"] = s(platform::documentDateText(config.fechaFin));
    o["moneda"] = s(config.moneda);
    return o;
}

std::variant<PaqueteAWP, QString> decodificarPaquete(const nlohmann::json& json)
{
    try {
        return paqueteDesdeJson(json);
    } catch (const ErrorLectura& e) {
        return conPaquete(e.motivo, json);
    } catch (const nlohmann::json::exception& e) {
        return conPaquete(QString::fromUtf8(e.what()), json);
    }
}

std::variant<TimeLinerConfig, QString> decodificarTimeLiner(const nlohmann::json& o)
{
    try {
        if (!o.is_object())
            throw ErrorLectura{QStringLiteral("El timeline no es un objeto JSON.")};
        TimeLinerConfig config;
        const json& paquetes = requerido(o, "paquetes");
        if (!paquetes.is_array())
            tipoIncorrecto("paquetes", "una lista de paquetes");
        config.fechaInicio = fecha(requerido(o, "fechaInicio"), "fechaInicio");
        config.fechaFin = fecha(requerido(o, "fechaFin"), "fechaFin");
        config.moneda = texto(requerido(o, "moneda"), "moneda");
        config.paquetes.reserve(paquetes.size());
        for (const json& p : paquetes) {
            auto r = decodificarPaquete(p);
            if (auto* error = std::get_if<QString>(&r))
                return *error;
            config.paquetes.push_back(std::move(std::get<PaqueteAWP>(r)));
        }
        return config;
    } catch (const ErrorLectura& e) {
        return QStringLiteral("Timeline: %1").arg(e.motivo);
    }
}

}  // namespace quelva
