#pragma once

// JSON that streams: a writer that gives the same bytes as the library's dump(2) without the
// whole document in memory, and a reader that builds the tree while handing finished records
// inside lists to the caller, who may keep them out of the tree.

#include <nlohmann/json.hpp>

#include <QIODevice>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quelva {

// Pretty JSON, two spaces, as nlohmann::json::dump(2): "{}" and "[]" when empty, "key": value.
// Members are written in the order given: the caller writes them sorted.
class EscritorJsonEnFlujo {
public:
    explicit EscritorJsonEnFlujo(QIODevice& destino);

    void abrirObjeto();
    void abrirLista();
    void cerrar();
    void clave(const std::string& clave);
    void valor(const nlohmann::json& valor);
    // A text that needs no escaping (Base64): written as it is, between quotes.
    void textoSinEscapes(std::string_view texto);
    // Bytes outside any value (the final line break).
    void crudo(std::string_view bytes) { buffer_ += bytes; }
    // Writes what is buffered; false when the device refused a write.
    bool terminar();

private:
    void antesDeValor();
    void vaciarSiLleno();

    struct Nivel {
        char cierre;
        std::size_t hijos = 0;
    };
    QIODevice& destino_;
    std::string buffer_;
    nlohmann::detail::serializer<nlohmann::json> serializador_;
    std::vector<Nivel> niveles_;
    bool trasClave_ = false;
    bool fallo_ = false;
};

// Reads a document into a tree, refusing what the JSON library refuses. Each object that closes
// inside a list whose own ancestors are all objects is offered to `tomar` with the keys that lead
// to that list; when it returns true the object leaves the tree. Stops (false) on a parse error, on a document nested deeper than
// `profundidadMaxima`, or when `tomar` throws.
class LectorJsonEnFlujo {
public:
    using Tomar = std::function<bool(const std::vector<std::string>& claves, nlohmann::json& objeto)>;

    LectorJsonEnFlujo(int profundidadMaxima, Tomar tomar);

    bool leer(const char* inicio, const char* fin);
    bool leer(QIODevice& origen);
    nlohmann::json& raiz() { return raiz_; }
    // A key met twice in one object: the later member wins in the tree, but what `tomar` took
    // of the earlier one is the caller's to throw away.
    bool hayClavesRepetidas() const { return clavesRepetidas_; }

    // The reader's events, named as the JSON library's SAX interface names them.
    bool null();
    bool boolean(bool v);
    bool number_integer(nlohmann::json::number_integer_t v);
    bool number_unsigned(nlohmann::json::number_unsigned_t v);
    bool number_float(nlohmann::json::number_float_t v, const std::string&);
    bool string(std::string& v);
    bool start_object(std::size_t);
    bool key(std::string& v);
    bool end_object();
    bool start_array(std::size_t);
    bool end_array();

private:
    nlohmann::json* poner(nlohmann::json&& v);
    bool abrir(nlohmann::json&& vacio);

    int profundidadMaxima_;
    Tomar tomar_;
    nlohmann::json raiz_;
    std::vector<nlohmann::json*> pila_;
    std::vector<std::string> claves_;  // the key of each open object's current member
    int listasAbiertas_ = 0;
    bool clavesRepetidas_ = false;
    nlohmann::json* miembro_ = nullptr;
};

}  // namespace quelva
