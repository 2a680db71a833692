#pragma once

// JSON forms of the section records kept with a project: exactly the record's keys, all
// required; floats written shortest, UUIDs in upper case.

#include "sections/Seccion2D.h"

#include <QString>
#include <nlohmann/json.hpp>

#include <variant>

namespace quelva {

template <typename T>
using ResultadoDecodificacion = std::variant<T, QString>;  // the record, or why it was refused

nlohmann::json cotaAJson(const Cota2D& cota);
ResultadoDecodificacion<Cota2D> cotaDesdeJson(const nlohmann::json& j);

nlohmann::json seccionGuardadaAJson(const SeccionGuardada& seccion);
ResultadoDecodificacion<SeccionGuardada> seccionGuardadaDesdeJson(const nlohmann::json& j);

nlohmann::json etiquetaGuardadaAJson(const Etiqueta2DGuardada& etiqueta);
ResultadoDecodificacion<Etiqueta2DGuardada> etiquetaGuardadaDesdeJson(const nlohmann::json& j);

// A label's saved state, and a label rebuilt from one (the texts, anchor and colour come back
// with the next cut, through the merge).
Etiqueta2DGuardada guardarEtiqueta(const Etiqueta2D& etiqueta);
Etiqueta2D etiquetaDesdeGuardada(const Etiqueta2DGuardada& guardada);

}  // namespace quelva
