#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quelva::ifcconvert {

// What a quick pass over the exchange structure says about a file before IFC++ reads it.
struct RevisionSTEP {
    bool cabeceraISO = false;            // the first statement is ISO-10303-21
    std::vector<std::string> esquemas;   // names listed by FILE_SCHEMA, upper case
    bool seccionDatos = false;           // a DATA; statement was found
    std::size_t inicioDatos = 0;         // offset of that statement in the text
    bool datosCerrados = false;          // ... and an ENDSEC; after it
    std::size_t registros = 0;           // entity instances inside DATA
};

// One pass over the text, aware of strings and comments.
RevisionSTEP revisarSTEP(std::string_view texto);

// True for the schemas the converter reads (IFC2X3 and IFC4 with its addenda).
bool esquemaSoportado(std::string_view esquema);

}  // namespace quelva::ifcconvert
