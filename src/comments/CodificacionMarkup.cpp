#include "comments/CodificacionMarkup.h"

#include "platform/DocumentText.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

namespace quelva {

using nlohmann::json;

namespace {

std::string utf8(const QString& s)
{
    return s.toStdString();
}

// One failure travels up as an exception inside this file only; the public
// functions turn it into a message.
struct FalloDecodificacion {
    QString mensaje;
};

[[noreturn]] void fallar(const QString& mensaje)
{
    throw FalloDecodificacion{mensaje};
}

const json& campo(const json& j, const char* clave, const char* registro)
{
    if (!j.is_object())
        fallar(QStringLiteral("%1: se esperaba un objeto.").arg(QLatin1String(registro)));
    const auto it = j.find(clave);
    if (it == j.end())
        fallar(QStringLiteral("%1: falta el campo «%2».").arg(QLatin1String(registro), QLatin1String(clave)));
    return *it;
}

[[noreturn]] void tipoErroneo(const char* clave, const char* registro, const char* esperado)
{
    fallar(QStringLiteral("%1: el campo «%2» debe ser %3.")
               .arg(QLatin1String(registro), QLatin1String(clave), QString::fromUtf8(esperado)));
}

double numero(const json& j, const char* clave, const char* registro)
{
    const json& v = campo(j, clave, registro);
    if (!v.is_number())
        tipoErroneo(clave, registro, "un número");
    return v.get<double>();
}

QString texto(const json& j, const char* clave, const char* registro)
{
    const json& v = campo(j, clave, registro);
    if (!v.is_string())
        tipoErroneo(clave, registro, "un texto");
    return QString::fromStdString(v.get_ref<const std::string&>());
}

const json& lista(const json& j, const char* clave, const char* registro)
{
    const json& v = campo(j, clave, registro);
    if (!v.is_array())
        tipoErroneo(clave, registro, "una lista");
    return v;
}

QUuid uuid(const json& j, const char* registro)
{
    const QString t = texto(j, "id", registro);
    const auto id = platform::documentUuid(t);
    if (!id)
        fallar(QStringLiteral("%1: «%2» no es un identificador UUID.").arg(QLatin1String(registro), t));
    return *id;
}

PuntoMarkup punto(const json& j)
{
    PuntoMarkup p;
    p.x = numero(j, "x", "PuntoMarkup");
    p.y = numero(j, "y", "PuntoMarkup");
    return p;
}

TrazadoMarkup trazado(const json& j)
{
    constexpr const char* r = "TrazadoMarkup";
    TrazadoMarkup t;
    t.id = uuid(j, r);
    for (const json& p : lista(j, "puntos", r))
        t.puntos.push_back(punto(p));
    t.r = numero(j, "r", r);
    t.g = numero(j, "g", r);
    t.b = numero(j, "b", r);
    t.grosor = numero(j, "grosor", r);
    return t;
}

TextoMarkup textoMarkup(const json& j)
{
    constexpr const char* r = "TextoMarkup";
    TextoMarkup t;
    t.id = uuid(j, r);
    t.texto = texto(j, "texto", r);
    t.x = numero(j, "x", r);
    t.y = numero(j, "y", r);
    t.r = numero(j, "r", r);
    t.g = numero(j, "g", r);
    t.b = numero(j, "b", r);
    t.tamano = numero(j, "tamano", r);
    return t;
}

ComentarioMarkup comentario(const json& j)
{
    constexpr const char* r = "ComentarioMarkup";
    ComentarioMarkup c;
    c.id = uuid(j, r);
    c.tag = texto(j, "tag", r);
    for (const json& t : lista(j, "trazados", r))
        c.trazados.push_back(trazado(t));
    for (const json& t : lista(j, "textos", r))
        c.textos.push_back(textoMarkup(t));
    if (const auto it = j.find("imagenJPEG"); it != j.end() && !it->is_null()) {
        if (!it->is_string())
            tipoErroneo("imagenJPEG", r, "un texto Base64");
        const auto bytes = platform::documentBase64(it->get_ref<const std::string&>());
        if (!bytes)
            fallar(QStringLiteral("%1: el campo «imagenJPEG» no es Base64 válido.").arg(QLatin1String(r)));
        c.imagenJPEG = *bytes;
    }
    const QString fecha = texto(j, "fecha", r);
    const auto cuando = leerFechaISO(fecha);
    if (!cuando)
        fallar(QStringLiteral("%1: «%2» no es una fecha ISO 8601.").arg(QLatin1String(r), fecha));
    c.fecha = *cuando;
    c.autor = texto(j, "autor", r);
    c.descripcion = texto(j, "descripcion", r);
    return c;
}

template <typename T, typename F>
Decodificado<T> proteger(F&& f)
{
    try {
        return f();
    } catch (const FalloDecodificacion& e) {
        return e.mensaje;
    }
}

}  // namespace

std::optional<QDateTime> leerFechaISO(const QString& texto)
{
    // The document's one date form: a fraction of a second or an offset does not read.
    return platform::documentDate(texto);
}

json codificar(const PuntoMarkup& p)
{
    return json{{"x", p.x}, {"y", p.y}};
}

json codificar(const TrazadoMarkup& t)
{
    json puntos = json::array();
    for (const PuntoMarkup& p : t.puntos)
        puntos.push_back(codificar(p));
    return json{{"id", utf8(platform::documentUuidText(t.id))}, {"puntos", std::move(puntos)}, {"r", t.r}, {"g", t.g},
                {"b", t.b}, {"grosor", t.grosor}};
}

json codificar(const TextoMarkup& t)
{
    return json{{"id", utf8(platform::documentUuidText(t.id))}, {"texto", utf8(t.texto)}, {"x", t.x}, {"y", t.y}, {"r", t.r},
                {"g", t.g}, {"b", t.b}, {"tamano", t.tamano}};
}

json codificar(const ComentarioMarkup& c)
{
    json trazados = json::array();
    for (const TrazadoMarkup& t : c.trazados)
        trazados.push_back(codificar(t));
    json textos = json::array();
    for (const TextoMarkup& t : c.textos)
        textos.push_back(codificar(t));
    json j{{"id", utf8(platform::documentUuidText(c.id))}, {"tag", utf8(c.tag)}, {"trazados", std::move(trazados)},
           {"textos", std::move(textos)}, {"fecha", utf8(platform::documentDateText(c.fecha))}, {"autor", utf8(c.autor)},
           {"descripcion", utf8(c.descripcion)}};
    if (c.imagenJPEG)
        j["imagenJPEG"] = c.imagenJPEG->toBase64().toStdString();
    return j;
}

json codificarComentarios(const std::vector<ComentarioMarkup>& comentarios)
{
    json lista = json::array();
    for (const ComentarioMarkup& c : comentarios)
        lista.push_back(codificar(c));
    return lista;
}

Decodificado<PuntoMarkup> decodificarPunto(const json& j)
{
    return proteger<PuntoMarkup>([&] { return punto(j); });
}

Decodificado<TrazadoMarkup> decodificarTrazado(const json& j)
{
    return proteger<TrazadoMarkup>([&] { return trazado(j); });
}

Decodificado<TextoMarkup> decodificarTexto(const json& j)
{
    return proteger<TextoMarkup>([&] { return textoMarkup(j); });
}

Decodificado<ComentarioMarkup> decodificarComentario(const json& j)
{
    return proteger<ComentarioMarkup>([&] { return comentario(j); });
}

Decodificado<std::vector<ComentarioMarkup>> decodificarComentarios(const json& j)
{
    return proteger<std::vector<ComentarioMarkup>>([&] {
        if (!j.is_array())
            fallar(QStringLiteral("comentarios: se esperaba una lista."));
        std::vector<ComentarioMarkup> lista;
        lista.reserve(j.size());
        for (const json& c : j)
            lista.push_back(comentario(c));
        return lista;
    });
}

}  // namespace quelva
