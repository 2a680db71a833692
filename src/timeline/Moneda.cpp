#include "timeline/Moneda.h"

#include "platform/UserDate.h"

#include <unicode/numberformatter.h>
#include <unicode/unistr.h>

#include <cmath>
#include <cstdint>

namespace quelva {

QString formatoMoneda(double valor, const QString& moneda)
{
    using namespace icu::number;
    UErrorCode estado = U_ZERO_ERROR;
    const std::u16string codigo = moneda.toStdU16String();
    const icu::CurrencyUnit unidad(codigo.c_str(), estado);
    if (U_SUCCESS(estado) && moneda.size() == 3) {
        const icu::UnicodeString texto = NumberFormatter::withLocale(icu::Locale(platform::userLocaleName().toStdString().c_str()))
                                             .unit(unidad)
                                             .precision(Precision::maxFraction(0))
                                             .formatDouble(valor, estado)
                                             .toString(estado);
        if (U_SUCCESS(estado) && !texto.isEmpty())
            return QString(reinterpret_cast<const QChar*>(texto.getBuffer()), texto.length());
    }
    if (!std::isfinite(valor))
        return QStringLiteral("0");
    const double entero = std::trunc(valor);
    if (std::fabs(entero) >= 9.2e18)
        return QString::number(entero, 'f', 0);
    return QString::number(static_cast<std::int64_t>(entero));
}

}  // namespace quelva
