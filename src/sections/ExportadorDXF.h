#pragma once

// ASCII DXF (release 12, metres) of a 2D section drawing: one layer per discipline, dashed
// projection lines, the visible labels and the dimensions. Every byte of the file is ASCII.

#include "sections/Seccion2D.h"

#include <QString>

#include <string>
#include <vector>

namespace quelva::ExportadorDXF {

std::string generarDXF(const std::vector<Segmento2D>& segmentos, const std::vector<Etiqueta2D>& etiquetas,
                       const std::vector<Cota2D>& cotas);

// One group pair with a real value: the code, then "%.6f".
std::string parNumero(int codigo, double valor);

// Plain ASCII for a TEXT entity: diacritics folded, a few signs spelled out, other characters
// beyond ASCII dropped, control characters turned into spaces.
std::string textoASCII(const QString& texto);

// The layer name of a discipline key: folded, upper case, only A-Z 0-9 $ - _, at most 31.
std::string nombreCapaBase(const QString& key);

}  // namespace quelva::ExportadorDXF
