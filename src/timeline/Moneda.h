#pragma once

#include <QString>

namespace quelva {

// Money in the project currency: ICU's currency format for `moneda` in the user's locale with
// no fraction digits ("$1.234.568" for CLP in es_CL). When ICU gives no text (an unknown code),
// the value truncated to a whole number in plain digits.
QString formatoMoneda(double valor, const QString& moneda);

}  // namespace quelva
