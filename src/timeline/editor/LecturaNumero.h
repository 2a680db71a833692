#pragma once

#include <QString>

#include <optional>

namespace quelva {

// The whole text as the C library reads a double in the "C" locale (sign, digits, one ".",
// exponent); none when any character is left over, when it starts with a blank or line break,
// or when the number is not finite ("inf", "nan", "1e999"): such a value could never be saved.
std::optional<double> leerNumeroFinito(const QString& texto);

// What a number field reads from its text: "," taken as ".", spaces and tabs trimmed at both
// ends, the empty text as 0, the rest by leerNumeroFinito. None leaves the value as it was.
std::optional<double> leerTextoCampo(const QString& texto);

// The text a number field writes for a value: "%.Nf" with a point and no grouping; fewer than
// one decimal gives "%.0f".
QString formatearCampo(double valor, int decimales);

// The text a field shows after its value changed to `nuevo`: none keeps what was typed (it
// already says that number within 0.001); otherwise the written value, empty for 0.
std::optional<QString> textoTrasCambio(const QString& texto, double nuevo, int decimales);

}  // namespace quelva
