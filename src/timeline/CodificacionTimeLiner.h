#pragma once

// The timeline's part of the project document, as plain JSON values. Objects come out with
// their keys sorted (nlohmann::json keeps them so), UUIDs in upper case, dates as
// "2025-03-01T09:30:00Z"; absent optionals are left out. Reading needs every other key and
// fails as a whole, with a Spanish reason, on a missing key or a value of the wrong kind.

#include "timeline/TimeLiner.h"

#include <QString>

#include <nlohmann/json.hpp>

#include <variant>

namespace quelva {

// Encoding fails only on a number that is not finite.
std::variant<nlohmann::json, QString> codificarPaquete(const PaqueteAWP& paquete);
std::variant<nlohmann::json, QString> codificarTimeLiner(const TimeLinerConfig& config);

std::variant<PaqueteAWP, QString> decodificarPaquete(const nlohmann::json& json);
std::variant<TimeLinerConfig, QString> decodificarTimeLiner(const nlohmann::json& json);

}  // namespace quelva
