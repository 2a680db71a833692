#include "timeline/editor/LecturaNumero.h"

#include "platform/NumberFormat.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace quelva {

namespace {

locale_t localeC()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

}  // namespace

std::optional<double> leerNumeroFinito(const QString& texto)
{
    const QByteArray bytes = texto.toUtf8();
    // strtod skips leading white space; the field does not.
    if (bytes.isEmpty() || std::isspace(static_cast<unsigned char>(bytes.front())))
        return std::nullopt;
    char* fin = nullptr;
    const double valor = strtod_l(bytes.constData(), &fin, localeC());
    // An embedded NUL also stops short of the end.
    if (fin != bytes.constData() + bytes.size() || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

std::optional<double> leerTextoCampo(const QString& texto)
{
    QString t = texto;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    qsizetype inicio = 0;
    qsizetype fin = t.size();
    const auto blanco = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (inicio < fin && blanco(t[inicio]))
        ++inicio;
    while (fin > inicio && blanco(t[fin - 1]))
        --fin;
    if (inicio == fin)
        return 0.0;
    return leerNumeroFinito(t.mid(inicio, fin - inicio));
}

QString formatearCampo(double valor, int decimales)
{
    return QString::fromStdString(platform::fixedText(valor, decimales < 1 ? 0 : decimales));
}

std::optional<QString> textoTrasCambio(const QString& texto, double nuevo, int decimales)
{
    QString t = texto;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const double dice = leerNumeroFinito(t).value_or(-1.0);
    if (std::abs(dice - nuevo) <= 0.001)
        return std::nullopt;
    return nuevo == 0 ? QString() : formatearCampo(nuevo, decimales);
}

}  // namespace quelva
