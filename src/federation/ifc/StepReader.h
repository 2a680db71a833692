#pragma once

// Reader of ISO 10303-21 exchange structures (IFC text files): cuts the file
// into entity instance records, keeps them in a table keyed by instance number
// and turns attributes into texts, references and lists of references.
// Nothing here throws or reports errors: what cannot be read is skipped.

#include "federation/ifc/LecturaArchivo.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quelva {

struct RegistroSTEP {
    std::string_view tipo;        // entity type, upper-case ("IFCWALL"); empty for complex instances
    std::string_view argumentos;  // attribute text, without the outer parentheses
};

// Parsed record table of one file. Copies share the same immutable data, so one
// reading of a file can serve several readers, also on different threads.
class TablaRegistrosSTEP {
public:
    struct Entrada {
        std::int64_t numero = 0;
        bool numeroValido = false;  // false when the text after "#" is not an integer
        RegistroSTEP registro;
    };

    TablaRegistrosSTEP();

    // Parses a whole file text. Text that is not valid UTF-8 gives the empty table.
    static TablaRegistrosSTEP desdeTexto(std::string texto);
    static TablaRegistrosSTEP desdeContenido(ContenidoArchivo archivo);

    // The record stored under a number (the later one when a number repeats).
    const RegistroSTEP* buscar(std::int64_t numero) const;
    std::optional<std::size_t> indiceDe(std::int64_t numero) const;

    // Every record beginning with "#" whose "=" comes before its "(", in file order,
    // repeated numbers and non-integer numbers included.
    const std::vector<Entrada>& entradas() const;
    // True when the entry at `indice` is the one the table holds for its number.
    bool vigente(std::size_t indice) const;

    bool vacia() const { return entradas().empty(); }

    // Slots looked at while the number index was built: about one per record whatever the numbers.
    std::size_t sondeosIndice() const;

private:
    struct Datos;
    static TablaRegistrosSTEP construir(std::shared_ptr<Datos> datos);
    std::shared_ptr<const Datos> datos_;
};

// Reads a file; a missing or unreadable file, or one that is not UTF-8, gives the empty table.
TablaRegistrosSTEP leerArchivoSTEP(const std::filesystem::path& ruta);

// The entity instance records of a file text, in file order: the characters from
// "#" up to the terminating ";" outside strings, with line ends and comments
// removed and the ";" left out. Header entries and other statements are skipped,
// as is an unterminated record at the end of the text.
std::vector<std::string> leerRegistrosSTEP(std::string_view texto);

// Removes spaces (Unicode Zs) and tabs from both ends.
std::string_view recortarSTEP(std::string_view texto);

// Top-level attributes of an attribute text, each trimmed; views into `argumentos`.
std::vector<std::string_view> separarAtributosSTEP(std::string_view argumentos);
// The same into a reused list, stopping after the first `maximo` attributes.
void separarAtributosSTEP(std::string_view argumentos, std::vector<std::string_view>& atributos,
                          size_t maximo = static_cast<size_t>(-1));

// "$" and "*" give the empty text; a quoted string gives its decoded content.
std::string limpiarCadenaSTEP(std::string_view atributo);

// The text of a typed value (IFCLABEL('x') gives x) or of an enumeration (.T. gives T).
std::string valorNominalSTEP(std::string_view atributo);

// "#12" gives 12; anything else gives nothing.
std::optional<std::int64_t> parsearReferenciaSTEP(std::string_view atributo);

// "(#1,#2)" gives [1, 2]; pieces that are not references are skipped.
std::vector<std::int64_t> parsearListaReferenciasSTEP(std::string_view atributo);
// The same into a reused list.
void parsearListaReferenciasSTEP(std::string_view atributo, std::vector<std::int64_t>& numeros);

// Decimal integer with an optional sign, the whole text; no locale, no exceptions.
std::optional<std::int64_t> leerEnteroSTEP(std::string_view texto);

}  // namespace quelva
