#include "project/CodificacionProyecto.h"

#include "comments/CodificacionMarkup.h"
#include "federation/Transformacion.h"
#include "platform/DocumentText.h"
#include "project/JsonEnFlujo.h"
#include "project/TareasAparte.h"
#include "sections/JsonSeccion.h"
#include "timeline/CodificacionTimeLiner.h"

#include <nlohmann/json.hpp>

#include <QBuffer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

namespace quelva {

namespace {

using nlohmann::json;

// Deeper documents are refused before they are parsed: no saved record nests this far.
constexpr int kProfundidadMaxima = 64;

// Records read and not yet decoded: a few pictures' worth at most.
constexpr std::size_t kRegistrosEnEspera = 8;

struct ErrorProyecto {
    QString motivo;
};

[[noreturn]] void fallar(const QString& donde, const QString& motivo)
{
    throw ErrorProyecto{donde.isEmpty() ? motivo : donde + QStringLiteral(": ") + motivo};
}

std::string s(const QString& t) { return t.toStdString(); }
QString q(const std::string& t) { return QString::fromStdString(t); }

QString en(const QString& donde, const char* clave) { return donde + QLatin1Char('.') + QLatin1String(clave); }
QString en(const QString& donde, std::size_t i) { return donde + QStringLiteral("[%1]").arg(i); }

// --- Writing --------------------------------------------------------------------------------

json modeloAJson(const ModeloGuardado& m)
{
    json o = json::object();
    o["nombre"] = s(m.nombre);
    o["rutaAbsoluta"] = s(m.rutaAbsoluta);
    if (m.rutaRelativa)
        o["rutaRelativa"] = s(*m.rutaRelativa);
    o["isVisible"] = m.isVisible;
    o["transparencia"] = m.transparencia;
    if (m.transformacion && *m.transformacion != TransformacionModelo{}) {
        const TransformacionModelo& t = *m.transformacion;
        o["transformacion"] = {{"unidades", s(textoUnidades(t.unidades))},
                               {"offsetX", t.offsetX},
                               {"offsetY", t.offsetY},
                               {"offsetZ", t.offsetZ},
                               {"giroZ", t.giroZ}};
    }
    return o;
}

json especialidadAJson(const EspecialidadGuardada& e)
{
    json modelos = json::array();
    for (const ModeloGuardado& m : e.modelos)
        modelos.push_back(modeloAJson(m));
    return {{"key", s(e.key)},         {"nombre", s(e.nombre)}, {"icono", s(e.icono)},
            {"colorR", e.colorR},      {"colorG", e.colorG},    {"colorB", e.colorB},
            {"isVisible", e.isVisible}, {"modelos", std::move(modelos)}};
}

json analisisAJson(const AnalisisGuardado& a)
{
    json lista = json::array();
    for (const InterferenciaGuardada& i : a.interferencias)
        lista.push_back({{"id", s(platform::documentUuidText(i.id))},
                         {"nombreA", s(i.nombreA)},
                         {"especialidadA", s(i.especialidadA)},
                         {"nombreB", s(i.nombreB)},
                         {"especialidadB", s(i.especialidadB)},
                         {"estado", s(i.estado)},
                         {"vpPosX", i.vpPosX},
                         {"vpPosY", i.vpPosY},
                         {"vpPosZ", i.vpPosZ},
                         {"vpTgtX", i.vpTgtX},
                         {"vpTgtY", i.vpTgtY},
                         {"vpTgtZ", i.vpTgtZ},
                         {"radio", i.radio}});
    return {{"id", s(platform::documentUuidText(a.id))},
            {"nombre", s(a.nombre)},
            {"fecha", s(platform::documentDateText(a.fecha))},
            {"tolerancia", a.tolerancia},
            {"interferencias", std::move(lista)}};
}

// Where the first number that is not finite lies, as "proyecto.secciones[0].posicion".
std::optional<QString> rutaNoFinito(const json& j, const QString& donde)
{
    switch (j.type()) {
    case json::value_t::number_float:
        if (!std::isfinite(j.get<double>()))
            return donde;
        break;
    case json::value_t::array:
        for (std::size_t i = 0; i < j.size(); ++i)
            if (auto r = rutaNoFinito(j[i], en(donde, i)))
                return r;
        break;
    case json::value_t::object:
        for (const auto& [clave, valor] : j.items())
            if (auto r = rutaNoFinito(valor, donde + QLatin1Char('.') + q(clave)))
                return r;
        break;
    default: break;
    }
    return std::nullopt;
}

bool todoFinito(const json& j)
{
    switch (j.type()) {
    case json::value_t::number_float: return std::isfinite(j.get<double>());
    case json::value_t::array:
    case json::value_t::object:
        for (const json& v : j)
            if (!todoFinito(v))
                return false;
        return true;
    default: return true;
    }
}

// Every number of every record passes here once, whichever tool coded it; the path is worked
// out only for a document that fails.
void exigirFinitos(const json& j, const QString& donde)
{
    if (todoFinito(j))
        return;
    fallar(rutaNoFinito(j, donde).value_or(donde), QStringLiteral("el valor no es un número finito."));
}

json jsonDeCodec(std::variant<json, QString> r, const QString& donde)
{
    if (auto* error = std::get_if<QString>(&r))
        fallar(donde, *error);
    return std::get<json>(std::move(r));
}

json proyectoAJson(const ProyectoQUELVA& p)
{
    json o = json::object();
    o["version"] = p.version;
    json orden = json::array();
    for (const QString& k : p.ordenEspecialidades)
        orden.push_back(s(k));
    o["ordenEspecialidades"] = std::move(orden);
    json especialidades = json::array();
    for (const EspecialidadGuardada& e : p.especialidades)
        especialidades.push_back(especialidadAJson(e));
    o["especialidades"] = std::move(especialidades);
    json historial = json::array();
    for (const AnalisisGuardado& a : p.historialAnalisis)
        historial.push_back(analisisAJson(a));
    o["historialAnalisis"] = std::move(historial);
    if (p.timeLiner)
        o["timeLiner"] = jsonDeCodec(codificarTimeLiner(*p.timeLiner), QStringLiteral("timeLiner"));
    if (p.secciones) {
        json lista = json::array();
        for (const SeccionGuardada& sec : *p.secciones)
            lista.push_back(seccionGuardadaAJson(sec));
        o["secciones"] = std::move(lista);
    }
    if (p.cotasPorSeccion) {
        json dic = json::object();
        for (const auto& [titulo, cotas] : *p.cotasPorSeccion) {
            json lista = json::array();
            for (const Cota2D& c : cotas)
                lista.push_back(cotaAJson(c));
            dic[s(titulo)] = std::move(lista);
        }
        o["cotasPorSeccion"] = std::move(dic);
    }
    if (p.etiquetasPorSeccion) {
        json dic = json::object();
        for (const auto& [titulo, etiquetas] : *p.etiquetasPorSeccion) {
            json lista = json::array();
            for (const Etiqueta2DGuardada& e : etiquetas)
                lista.push_back(etiquetaGuardadaAJson(e));
            dic[s(titulo)] = std::move(lista);
        }
        o["etiquetasPorSeccion"] = std::move(dic);
    }
    if (p.comentarios)
        o["comentarios"] = codificarComentarios(*p.comentarios);
    exigirFinitos(o, QStringLiteral("proyecto"));
    return o;
}

// --- Reading --------------------------------------------------------------------------------

const json& objeto(const json& j, const QString& donde)
{
    if (!j.is_object())
        fallar(donde, QStringLiteral("se esperaba un objeto."));
    return j;
}

// The member, or none when it is missing or null.
const json* miembro(const json& o, const char* clave)
{
    const auto it = o.find(clave);
    return it == o.end() || it->is_null() ? nullptr : &*it;
}

const json& requerido(const json& o, const char* clave, const QString& donde)
{
    const json* v = miembro(o, clave);
    if (!v)
        fallar(donde, QStringLiteral("falta la clave «%1».").arg(QLatin1String(clave)));
    return *v;
}

[[noreturn]] void tipo(const QString& donde, const char* clave, const char* esperado)
{
    fallar(en(donde, clave), QStringLiteral("se esperaba %1.").arg(QString::fromUtf8(esperado)));
}

QString texto(const json& o, const char* clave, const QString& donde)
{
    const json& v = requerido(o, clave, donde);
    if (!v.is_string())
        tipo(donde, clave, "un texto");
    return q(v.get_ref<const std::string&>());
}

double numero(const json& o, const char* clave, const QString& donde)
{
    const json& v = requerido(o, clave, donde);
    if (!v.is_number())
        tipo(donde, clave, "un número");
    const double d = v.get<double>();
    if (!std::isfinite(d))
        tipo(donde, clave, "un número finito");
    return d;
}

bool logico(const json& o, const char* clave, const QString& donde)
{
    const json& v = requerido(o, clave, donde);
    if (!v.is_boolean())
        tipo(donde, clave, "true o false");
    return v.get<bool>();
}

const json& lista(const json& o, const char* clave, const QString& donde)
{
    const json& v = requerido(o, clave, donde);
    if (!v.is_array())
        tipo(donde, clave, "una lista");
    return v;
}

QUuid uuid(const json& o, const char* clave, const QString& donde)
{
    const QString t = texto(o, clave, donde);
    const std::optional<QUuid> id = platform::documentUuid(t);
    if (!id)
        fallar(en(donde, clave), QStringLiteral("«%1» no es un identificador UUID.").arg(t));
    return *id;
}

QDateTime fecha(const json& o, const char* clave, const QString& donde)
{
    const QString t = texto(o, clave, donde);
    const std::optional<QDateTime> f = platform::documentDate(t);
    if (!f)
        fallar(en(donde, clave), QStringLiteral("«%1» no es una fecha como 2025-03-01T09:30:00Z.").arg(t));
    return *f;
}

ModeloGuardado modeloDesdeJson(const json& j, const QString& donde)
{
    const json& o = objeto(j, donde);
    ModeloGuardado m;
    m.nombre = texto(o, "nombre", donde);
    m.rutaAbsoluta = texto(o, "rutaAbsoluta", donde);
    if (miembro(o, "rutaRelativa"))
        m.rutaRelativa = texto(o, "rutaRelativa", donde);
    m.isVisible = logico(o, "isVisible", donde);
    m.transparencia = numero(o, "transparencia", donde);
    if (const json* t = miembro(o, "transformacion")) {
        const QString dt = en(donde, "transformacion");
        objeto(*t, dt);
        TransformacionModelo tr;
        const QString unidades = texto(*t, "unidades", dt);
        const auto u = unidadesDesdeTexto(unidades);
        if (!u)
            fallar(en(dt, "unidades"), QStringLiteral("«%1» no es una unidad conocida.").arg(unidades));
        tr.unidades = *u;
        tr.offsetX = numero(*t, "offsetX", dt);
        tr.offsetY = numero(*t, "offsetY", dt);
        tr.offsetZ = numero(*t, "offsetZ", dt);
        tr.giroZ = numero(*t, "giroZ", dt);
        m.transformacion = tr;
    }
    return m;
}

EspecialidadGuardada especialidadDesdeJson(const json& j, const QString& donde)
{
    const json& o = objeto(j, donde);
    EspecialidadGuardada e;
    e.key = texto(o, "key", donde);
    e.nombre = texto(o, "nombre", donde);
    e.icono = texto(o, "icono", donde);
    e.colorR = numero(o, "colorR", donde);
    e.colorG = numero(o, "colorG", donde);
    e.colorB = numero(o, "colorB", donde);
    e.isVisible = logico(o, "isVisible", donde);
    const json& modelos = lista(o, "modelos", donde);
    for (std::size_t i = 0; i < modelos.size(); ++i)
        e.modelos.push_back(modeloDesdeJson(modelos[i], en(en(donde, "modelos"), i)));
    return e;
}

AnalisisGuardado analisisDesdeJson(const json& j, const QString& donde)
{
    const json& o = objeto(j, donde);
    AnalisisGuardado a;
    a.id = uuid(o, "id", donde);
    a.nombre = texto(o, "nombre", donde);
    a.fecha = fecha(o, "fecha", donde);
    a.tolerancia = numero(o, "tolerancia", donde);
    const json& lista_ = lista(o, "interferencias", donde);
    a.interferencias.reserve(lista_.size());
    for (std::size_t n = 0; n < lista_.size(); ++n) {
        const QString d = en(en(donde, "interferencias"), n);
        const json& io = objeto(lista_[n], d);
        InterferenciaGuardada i;
        i.id = uuid(io, "id", d);
        i.nombreA = texto(io, "nombreA", d);
        i.especialidadA = texto(io, "especialidadA", d);
        i.nombreB = texto(io, "nombreB", d);
        i.especialidadB = texto(io, "especialidadB", d);
        i.estado = texto(io, "estado", d);
        i.vpPosX = numero(io, "vpPosX", d);
        i.vpPosY = numero(io, "vpPosY", d);
        i.vpPosZ = numero(io, "vpPosZ", d);
        i.vpTgtX = numero(io, "vpTgtX", d);
        i.vpTgtY = numero(io, "vpTgtY", d);
        i.vpTgtZ = numero(io, "vpTgtZ", d);
        i.radio = numero(io, "radio", d);
        a.interferencias.push_back(std::move(i));
    }
    return a;
}

template <class T, class R>
T desdeCodec(R r, const QString& donde)
{
    if (auto* error = std::get_if<QString>(&r))
        fallar(donde, *error);
    return std::get<T>(std::move(r));
}

// A JSON object of window title to a list of records.
template <class T, class Decodificar>
std::map<QString, std::vector<T>> diccionario(const json& v, const char* clave, Decodificar decodificar)
{
    const QString donde = QString::fromLatin1(clave);
    objeto(v, donde);
    std::map<QString, std::vector<T>> dic;
    for (const auto& [titulo, registros] : v.items()) {
        const QString d = donde + QStringLiteral("[«%1»]").arg(q(titulo));
        if (!registros.is_array())
            fallar(d, QStringLiteral("se esperaba una lista."));
        std::vector<T>& destino = dic[q(titulo)];
        for (std::size_t i = 0; i < registros.size(); ++i)
            destino.push_back(desdeCodec<T>(decodificar(registros[i]), en(d, i)));
    }
    return dic;
}

ProyectoQUELVA proyectoDesdeJson(const json& j)
{
    const QString raiz = QStringLiteral("proyecto");
    const json& o = objeto(j, raiz);
    ProyectoQUELVA p;
    const json& version = requerido(o, "version", raiz);
    if (!version.is_number_integer())
        tipo(raiz, "version", "un número entero");
    p.version = version.is_number_unsigned() ? std::int64_t(std::min<std::uint64_t>(version.get<std::uint64_t>(), std::uint64_t(INT64_MAX)))
                                             : version.get<std::int64_t>();
    const json& orden = lista(o, "ordenEspecialidades", raiz);
    for (std::size_t i = 0; i < orden.size(); ++i) {
        if (!orden[i].is_string())
            fallar(en(QStringLiteral("ordenEspecialidades"), i), QStringLiteral("se esperaba un texto."));
        p.ordenEspecialidades.append(q(orden[i].get_ref<const std::string&>()));
    }
    const json& especialidades = lista(o, "especialidades", raiz);
    for (std::size_t i = 0; i < especialidades.size(); ++i)
        p.especialidades.push_back(especialidadDesdeJson(especialidades[i], en(QStringLiteral("especialidades"), i)));
    const json& historial = lista(o, "historialAnalisis", raiz);
    for (std::size_t i = 0; i < historial.size(); ++i)
        p.historialAnalisis.push_back(analisisDesdeJson(historial[i], en(QStringLiteral("historialAnalisis"), i)));
    if (const json* v = miembro(o, "timeLiner"))
        p.timeLiner = desdeCodec<TimeLinerConfig>(decodificarTimeLiner(*v), QStringLiteral("timeLiner"));
    if (const json* v = miembro(o, "secciones")) {
        if (!v->is_array())
            tipo(raiz, "secciones", "una lista");
        std::vector<SeccionGuardada> secciones;
        for (std::size_t i = 0; i < v->size(); ++i)
            secciones.push_back(desdeCodec<SeccionGuardada>(seccionGuardadaDesdeJson((*v)[i]), en(QStringLiteral("secciones"), i)));
        p.secciones = std::move(secciones);
    }
    if (const json* v = miembro(o, "cotasPorSeccion"))
        p.cotasPorSeccion = diccionario<Cota2D>(*v, "cotasPorSeccion", [](const json& r) { return cotaDesdeJson(r); });
    if (const json* v = miembro(o, "etiquetasPorSeccion"))
        p.etiquetasPorSeccion = diccionario<Etiqueta2DGuardada>(
            *v, "etiquetasPorSeccion", [](const json& r) { return etiquetaGuardadaDesdeJson(r); });
    if (const json* v = miembro(o, "comentarios"))
        p.comentarios = desdeCodec<std::vector<ComentarioMarkup>>(decodificarComentarios(*v), QStringLiteral("comentarios"));
    return p;
}

// Brackets outside strings, counted before the parser sees them.
bool anidamientoAceptable(const QByteArray& bytes)
{
    int profundidad = 0;
    bool enTexto = false;
    bool escape = false;
    for (const char c : bytes) {
        if (enTexto) {
            if (escape)
                escape = false;
            else if (c == '\\')
                escape = true;
            else if (c == '"')
                enTexto = false;
        } else if (c == '"') {
            enTexto = true;
        } else if (c == '[' || c == '{') {
            if (++profundidad > kProfundidadMaxima)
                return false;
        } else if (c == ']' || c == '}') {
            --profundidad;
        }
    }
    return true;
}

// --- Streaming ------------------------------------------------------------------------------

// A record that cannot be written: the reason comes from the whole-tree writer.
struct NoEscribible {};

void escribirRegistro(EscritorJsonEnFlujo& w, const json& registro)
{
    if (!todoFinito(registro))
        throw NoEscribible{};
    w.valor(registro);
}

template <class Lista, class AJson>
void escribirLista(EscritorJsonEnFlujo& w, const Lista& lista, AJson aJson)
{
    w.abrirLista();
    for (const auto& r : lista)
        escribirRegistro(w, aJson(r));
    w.cerrar();
}

// Titles in the document's key order (UTF-8 bytes); of two titles with one spelling the later wins.
template <class T, class AJson>
void escribirDiccionario(EscritorJsonEnFlujo& w, const std::map<QString, std::vector<T>>& dic, AJson aJson)
{
    std::map<std::string, const std::vector<T>*> ordenado;
    for (const auto& [titulo, registros] : dic)
        ordenado[s(titulo)] = &registros;
    w.abrirObjeto();
    for (const auto& [titulo, registros] : ordenado) {
        w.clave(titulo);
        escribirLista(w, *registros, aJson);
    }
    w.cerrar();
}

// The picture, the bulk of a comment, goes out as its Base64 text without a copy in the tree.
void escribirComentario(EscritorJsonEnFlujo& w, const ComentarioMarkup& c)
{
    ComentarioMarkup sinImagen = c;
    sinImagen.imagenJPEG.reset();
    const json j = codificar(sinImagen);
    if (!todoFinito(j))
        throw NoEscribible{};
    constexpr std::string_view kImagen = "imagenJPEG";
    bool imagenEscrita = !c.imagenJPEG;
    const auto escribirImagen = [&] {
        w.clave(std::string(kImagen));
        const QByteArray base64 = c.imagenJPEG->toBase64();
        w.textoSinEscapes(std::string_view(base64.constData(), std::size_t(base64.size())));
        imagenEscrita = true;
    };
    w.abrirObjeto();
    for (const auto& [clave, valor] : j.items()) {
        if (!imagenEscrita && std::string_view(clave) > kImagen)
            escribirImagen();
        w.clave(clave);
        w.valor(valor);
    }
    if (!imagenEscrita)
        escribirImagen();
    w.cerrar();
}

void escribirTimeLiner(EscritorJsonEnFlujo& w, const TimeLinerConfig& config)
{
    TimeLinerConfig cabecera;
    cabecera.fechaInicio = config.fechaInicio;
    cabecera.fechaFin = config.fechaFin;
    cabecera.moneda = config.moneda;
    auto r = codificarTimeLiner(cabecera);
    if (std::holds_alternative<QString>(r))
        throw NoEscribible{};
    w.abrirObjeto();
    for (const auto& [clave, valor] : std::get<json>(r).items()) {
        w.clave(clave);
        if (clave != "paquetes") {
            escribirRegistro(w, valor);
            continue;
        }
        w.abrirLista();
        for (const PaqueteAWP& q : config.paquetes) {
            auto paquete = codificarPaquete(q);
            if (std::holds_alternative<QString>(paquete))
                throw NoEscribible{};
            escribirRegistro(w, std::get<json>(paquete));
        }
        w.cerrar();
    }
    w.cerrar();
}

// Members in the order the whole-tree writer sorts them.
void escribirProyecto(EscritorJsonEnFlujo& w, const ProyectoQUELVA& p)
{
    w.abrirObjeto();
    if (p.comentarios) {
        w.clave("comentarios");
        w.abrirLista();
        for (const ComentarioMarkup& c : *p.comentarios)
            escribirComentario(w, c);
        w.cerrar();
    }
    if (p.cotasPorSeccion) {
        w.clave("cotasPorSeccion");
        escribirDiccionario(w, *p.cotasPorSeccion, [](const Cota2D& c) { return cotaAJson(c); });
    }
    w.clave("especialidades");
    escribirLista(w, p.especialidades, especialidadAJson);
    if (p.etiquetasPorSeccion) {
        w.clave("etiquetasPorSeccion");
        escribirDiccionario(w, *p.etiquetasPorSeccion, [](const Etiqueta2DGuardada& e) { return etiquetaGuardadaAJson(e); });
    }
    w.clave("historialAnalisis");
    escribirLista(w, p.historialAnalisis, analisisAJson);
    w.clave("ordenEspecialidades");
    json orden = json::array();
    for (const QString& k : p.ordenEspecialidades)
        orden.push_back(s(k));
    w.valor(orden);
    if (p.secciones) {
        w.clave("secciones");
        escribirLista(w, *p.secciones, [](const SeccionGuardada& sec) { return seccionGuardadaAJson(sec); });
    }
    if (p.timeLiner) {
        w.clave("timeLiner");
        escribirTimeLiner(w, *p.timeLiner);
    }
    w.clave("version");
    w.valor(p.version);
    w.cerrar();
    w.crudo("\n");
}

// Why a document cannot be written, from the whole tree (only for documents that fail).
QString motivoNoEscribible(const ProyectoQUELVA& proyecto)
{
    try {
        proyectoAJson(proyecto);
    } catch (const ErrorProyecto& e) {
        return e.motivo;
    } catch (const json::exception& e) {
        return QStringLiteral("No se pudo escribir el documento: %1").arg(QString::fromUtf8(e.what()));
    }
    return QStringLiteral("No se pudo escribir el documento.");
}

// The big lists (comments, analyses, packages) are decoded as each record closes and kept out
// of the tree; null when anything is amiss, and the whole-tree reader then says why.
// Records decoded on helpers, each into the slot kept for it when it was read, so every list
// keeps the document's order whichever finishes first. Slots are only added by the reader; a
// deque leaves the ones already handed out where they are.
template <class T>
class Ranuras {
public:
    std::optional<T>& nueva() { return ranuras_.emplace_back(); }
    bool vacia() const { return ranuras_.empty(); }
    std::vector<T> lista()
    {
        std::vector<T> v;
        v.reserve(ranuras_.size());
        for (std::optional<T>& r : ranuras_)
            v.push_back(std::move(*r));
        ranuras_.clear();
        return v;
    }

private:
    std::deque<std::optional<T>> ranuras_;
};

template <class Leer>
std::optional<ProyectoQUELVA> leerEnFlujo(Leer leer)
{
    struct Rechazado {};
    Ranuras<ComentarioMarkup> comentarios;
    Ranuras<AnalisisGuardado> historial;
    Ranuras<PaqueteAWP> paquetes;
    // Records are decoded (pictures, texts, dates) beside the parser, which goes on with the next.
    std::atomic<bool> rechazado{false};
    TareasAparte aparte(kRegistrosEnEspera);
    const auto decodificarAparte = [&](json& o, auto decodificar) {
        aparte.agregar([&rechazado, o = std::move(o), decodificar]() mutable {
            if (rechazado)
                return;
            try {
                if (!decodificar(o))
                    rechazado = true;
            } catch (...) {
                rechazado = true;
            }
        });
    };
    LectorJsonEnFlujo lector(kProfundidadMaxima, [&](const std::vector<std::string>& ruta, json& o) {
        if (rechazado)
            throw Rechazado{};
        if (ruta.size() == 1 && ruta[0] == "comentarios") {
            decodificarAparte(o, [&ranura = comentarios.nueva()](const json& j) {
                auto r = decodificarComentario(j);
                if (!std::holds_alternative<ComentarioMarkup>(r))
                    return false;
                ranura = std::move(std::get<ComentarioMarkup>(r));
                return true;
            });
            return true;
        }
        if (ruta.size() == 1 && ruta[0] == "historialAnalisis") {
            decodificarAparte(o, [&ranura = historial.nueva()](const json& j) {
                try {
                    ranura = analisisDesdeJson(j, QStringLiteral("historialAnalisis"));
                } catch (const ErrorProyecto&) {
                    return false;
                }
                return true;
            });
            return true;
        }
        if (ruta.size() == 2 && ruta[0] == "timeLiner" && ruta[1] == "paquetes") {
            decodificarAparte(o, [&ranura = paquetes.nueva()](const json& j) {
                auto r = decodificarPaquete(j);
                if (!std::holds_alternative<PaqueteAWP>(r))
                    return false;
                ranura = std::move(std::get<PaqueteAWP>(r));
                return true;
            });
            return true;
        }
        return false;
    });
    const bool leido = leer(lector);
    aparte.terminar();
    if (!leido || rechazado || lector.hayClavesRepetidas())
        return std::nullopt;
    ProyectoQUELVA p;
    try {
        p = proyectoDesdeJson(lector.raiz());
    } catch (...) {
        return std::nullopt;
    }
    // The lists were emptied as they were read: the records read on the way take their place.
    if (!p.comentarios && !comentarios.vacia())
        return std::nullopt;
    if (!p.timeLiner && !paquetes.vacia())
        return std::nullopt;
    if (p.comentarios)
        p.comentarios = comentarios.lista();
    if (p.timeLiner)
        p.timeLiner->paquetes = paquetes.lista();
    p.historialAnalisis = historial.lista();
    return p;
}

std::variant<ProyectoQUELVA, QString> decodificarCompleto(const QByteArray& bytes)
{
    if (!anidamientoAceptable(bytes))
        return QStringLiteral("El documento anida más de %1 niveles.").arg(kProfundidadMaxima);
    json j;
    try {
        j = json::parse(bytes.cbegin(), bytes.cend());
    } catch (const json::parse_error& e) {
        return QStringLiteral("El archivo no es un documento JSON válido (byte %1).").arg(qulonglong(e.byte));
    } catch (const json::exception& e) {
        return QStringLiteral("El archivo no es un documento JSON válido: %1").arg(QString::fromUtf8(e.what()));
    }
    try {
        return proyectoDesdeJson(j);
    } catch (const ErrorProyecto& e) {
        return e.motivo;
    } catch (const json::exception& e) {
        return QStringLiteral("Documento de proyecto no válido: %1").arg(QString::fromUtf8(e.what()));
    }
}

}  // namespace

std::optional<QString> escribirProyectoQUELVA(const ProyectoQUELVA& proyecto, QIODevice& destino)
{
    EscritorJsonEnFlujo w(destino);
    try {
        escribirProyecto(w, proyecto);
    } catch (const NoEscribible&) {
        return motivoNoEscribible(proyecto);
    } catch (const ErrorProyecto& e) {
        return e.motivo;
    } catch (const json::exception& e) {
        return QStringLiteral("No se pudo escribir el documento: %1").arg(QString::fromUtf8(e.what()));
    }
    if (!w.terminar())
        return QStringLiteral("No se pudo escribir el documento: %1").arg(destino.errorString());
    return std::nullopt;
}

std::variant<QByteArray, QString> codificarProyectoQUELVA(const ProyectoQUELVA& proyecto)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (auto error = escribirProyectoQUELVA(proyecto, buffer))
        return *error;
    buffer.close();
    return bytes;
}

std::variant<ProyectoQUELVA, QString> decodificarProyectoQUELVA(const QByteArray& bytes)
{
    if (auto p = leerEnFlujo([&](LectorJsonEnFlujo& l) { return l.leer(bytes.constData(), bytes.constData() + bytes.size()); }))
        return std::move(*p);
    return decodificarCompleto(bytes);
}

std::variant<ProyectoQUELVA, QString> leerProyectoQUELVA(QIODevice& origen)
{
    if (auto p = leerEnFlujo([&](LectorJsonEnFlujo& l) { return l.leer(origen); }))
        return std::move(*p);
    if (!origen.seek(0))
        return QStringLiteral("No se pudo volver a leer el documento: %1").arg(origen.errorString());
    const QByteArray bytes = origen.readAll();
    return decodificarCompleto(bytes);
}

}  // namespace quelva
