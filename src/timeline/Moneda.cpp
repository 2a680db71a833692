#include "timeline/Moneda.h"

#include <QtGlobal>

#include <unicode/numberformatter.h>
#include <unicode/unistr.h>

#include <cmath>
#include <cstdint>

namespace quelva {

namespace {

// Stand-in until the shared user-locale helper is in.
icu::Locale localeUsuario()
{
    QString nombre;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        nombre = qEnvironmentVariable(variable);
        if (!nombre.isEmpty())
            break;
    }
    nombre = nombre.section(u'.', 0, 0).section(u'@', 0, 0);
    if (nombre.isEmpty() || nombre == QLatin1String("C") || nombre == QLatin1String("POSIX"))
        nombre = QStringLiteral("es_CL");
    return icu::Locale(nombre.toStdString().c_str());
}

}  // namespace

QString formatoMoneda(double valor, const QString& moneda)
{
    using namespace icu::number;
    UErrorCode estado = U_ZERO_ERROR;
    const std::u16string codigo = moneda.toStdU16String();
    const icu::CurrencyUnit unidad(codigo.c_str(), estado);
    if (U_SUCCESS(estado) && moneda.size() == 3) {
        const icu::UnicodeString texto = NumberFormatter::withLocale(localeUsuario())
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
