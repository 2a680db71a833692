#include "project/JsonEnFlujo.h"

#include "project/AnalizadorJson.h"

#include <memory>

namespace quelva {

namespace {

using nlohmann::json;

// Written to the device in pieces of about this size.
constexpr std::size_t kTamanoBloque = 1 << 20;

}  // namespace

// --- Writing --------------------------------------------------------------------------------

EscritorJsonEnFlujo::EscritorJsonEnFlujo(QIODevice& destino)
    : destino_(destino), serializador_(nlohmann::detail::output_adapter<char>(buffer_), ' ')
{
    buffer_.reserve(kTamanoBloque + kTamanoBloque / 4);
}

void EscritorJsonEnFlujo::antesDeValor()
{
    if (trasClave_) {
        trasClave_ = false;
        return;
    }
    if (niveles_.empty())
        return;
    Nivel& n = niveles_.back();
    buffer_ += n.hijos++ == 0 ? "\n" : ",\n";
    buffer_.append(niveles_.size() * 2, ' ');
}

void EscritorJsonEnFlujo::abrirObjeto()
{
    antesDeValor();
    buffer_ += '{';
    niveles_.push_back({'}'});
}

void EscritorJsonEnFlujo::abrirLista()
{
    antesDeValor();
    buffer_ += '[';
    niveles_.push_back({']'});
}

void EscritorJsonEnFlujo::cerrar()
{
    const Nivel n = niveles_.back();
    niveles_.pop_back();
    if (n.hijos > 0) {
        buffer_ += '\n';
        buffer_.append(niveles_.size() * 2, ' ');
    }
    buffer_ += n.cierre;
    vaciarSiLleno();
}

void EscritorJsonEnFlujo::clave(const std::string& clave)
{
    antesDeValor();
    serializador_.dump(json(clave), false, false, 0);
    buffer_ += ": ";
    trasClave_ = true;
}

void EscritorJsonEnFlujo::valor(const json& valor)
{
    antesDeValor();
    serializador_.dump(valor, true, false, 2, unsigned(niveles_.size() * 2));
    vaciarSiLleno();
}

void EscritorJsonEnFlujo::textoSinEscapes(std::string_view texto)
{
    antesDeValor();
    buffer_ += '"';
    buffer_ += texto;
    buffer_ += '"';
    vaciarSiLleno();
}

void EscritorJsonEnFlujo::vaciarSiLleno()
{
    if (buffer_.size() >= kTamanoBloque)
        terminar();
}

bool EscritorJsonEnFlujo::terminar()
{
    if (!fallo_ && !buffer_.empty())
        fallo_ = destino_.write(buffer_.data(), qint64(buffer_.size())) != qint64(buffer_.size());
    buffer_.clear();
    return !fallo_;
}

// --- Reading --------------------------------------------------------------------------------

LectorJsonEnFlujo::LectorJsonEnFlujo(int profundidadMaxima, Tomar tomar)
    : profundidadMaxima_(profundidadMaxima), tomar_(std::move(tomar))
{
}

bool LectorJsonEnFlujo::leer(const char* inicio, const char* fin)
{
    try {
        return AnalizadorJson<LectorJsonEnFlujo>(inicio, fin, nullptr, *this).analizar();
    } catch (...) {
        return false;
    }
}

bool LectorJsonEnFlujo::leer(QIODevice& origen)
{
    std::unique_ptr<char[]> bloque(new char[kTamanoBloque]);
    const auto rellenar = [&](const char*& pos, const char*& fin) {
        const qint64 n = origen.read(bloque.get(), qint64(kTamanoBloque));
        if (n <= 0)
            return false;
        pos = bloque.get();
        fin = pos + n;
        return true;
    };
    try {
        return AnalizadorJson<LectorJsonEnFlujo>(nullptr, nullptr, rellenar, *this).analizar();
    } catch (...) {
        return false;
    }
}

json* LectorJsonEnFlujo::poner(json&& v)
{
    if (pila_.empty()) {
        raiz_ = std::move(v);
        return &raiz_;
    }
    json& contenedor = *pila_.back();
    if (contenedor.is_array()) {
        contenedor.get_ref<json::array_t&>().push_back(std::move(v));
        return &contenedor.get_ref<json::array_t&>().back();
    }
    *miembro_ = std::move(v);
    return miembro_;
}

bool LectorJsonEnFlujo::abrir(json&& vacio)
{
    if (int(pila_.size()) >= profundidadMaxima_)
        return false;
    const bool lista = vacio.is_array();
    pila_.push_back(poner(std::move(vacio)));
    if (lista)
        ++listasAbiertas_;
    claves_.resize(pila_.size());
    return true;
}

bool LectorJsonEnFlujo::null()
{
    poner(json());
    return true;
}

bool LectorJsonEnFlujo::boolean(bool v)
{
    poner(json(v));
    return true;
}

bool LectorJsonEnFlujo::number_integer(json::number_integer_t v)
{
    poner(json(v));
    return true;
}

bool LectorJsonEnFlujo::number_unsigned(json::number_unsigned_t v)
{
    poner(json(v));
    return true;
}

bool LectorJsonEnFlujo::number_float(json::number_float_t v, const std::string&)
{
    poner(json(v));
    return true;
}

bool LectorJsonEnFlujo::string(std::string& v)
{
    // Copied, not moved: the parser keeps reusing the buffer's room for the next long text.
    poner(json(v));
    return true;
}

bool LectorJsonEnFlujo::start_object(std::size_t) { return abrir(json::object()); }

bool LectorJsonEnFlujo::start_array(std::size_t) { return abrir(json::array()); }

bool LectorJsonEnFlujo::key(std::string& v)
{
    // A repeated key replaces the earlier member, as the library's own reader does.
    json& objeto = *pila_.back();
    if (objeto.contains(v))
        clavesRepetidas_ = true;
    miembro_ = &objeto[v];
    *miembro_ = json();
    claves_[pila_.size() - 1] = v;  // copied: the parser's buffer keeps its room
    return true;
}

bool LectorJsonEnFlujo::end_object()
{
    json* objeto = pila_.back();
    pila_.pop_back();
    claves_.resize(pila_.size());
    if (pila_.empty() || !pila_.back()->is_array() || listasAbiertas_ != 1)
        return true;
    // Inside a list whose ancestors are all objects: the path is the keys alone.
    std::vector<std::string> ruta(claves_.begin(), claves_.end() - 1);
    if (tomar_(ruta, *objeto))
        pila_.back()->get_ref<json::array_t&>().pop_back();
    return true;
}

bool LectorJsonEnFlujo::end_array()
{
    pila_.pop_back();
    --listasAbiertas_;
    claves_.resize(pila_.size());
    return true;
}

}  // namespace quelva
