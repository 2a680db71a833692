#pragma once

#include "comments/ComentarioMarkup.h"

#include <nlohmann/json.hpp>

#include <QString>

#include <variant>
#include <vector>

namespace quelva {

// The saved form of the markup records: exactly the field names as keys, ids
// as upper-case UUID text, dates as "2025-03-01T09:30:00Z", the image as
// Base64 (left out when there is none). Decoding checks every key and type;
// a failure is a Spanish message naming the field.

nlohmann::json codificar(const PuntoMarkup& p);
nlohmann::json codificar(const TrazadoMarkup& t);
nlohmann::json codificar(const TextoMarkup& t);
nlohmann::json codificar(const ComentarioMarkup& c);
nlohmann::json codificarComentarios(const std::vector<ComentarioMarkup>& comentarios);

template <typename T>
using Decodificado = std::variant<T, QString>;

Decodificado<PuntoMarkup> decodificarPunto(const nlohmann::json& j);
Decodificado<TrazadoMarkup> decodificarTrazado(const nlohmann::json& j);
Decodificado<TextoMarkup> decodificarTexto(const nlohmann::json& j);
Decodificado<ComentarioMarkup> decodificarComentario(const nlohmann::json& j);
Decodificado<std::vector<ComentarioMarkup>> decodificarComentarios(const nlohmann::json& j);

// Shared with the rest of the project file.
std::optional<QDateTime> leerFechaISO(const QString& texto);

}  // namespace quelva
