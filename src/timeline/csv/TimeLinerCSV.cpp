#include "timeline/csv/TimeLinerCSV.h"

#include "timeline/editor/LecturaNumero.h"

#include "platform/Csv.h"
#include "platform/CsvReader.h"
#include "platform/NumberFormat.h"
#include "platform/TextOrder.h"
#include "platform/UserDate.h"

#include <QDate>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace quelva::TimeLinerCSV {

namespace {

bool esBlanco(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

// Blanks only: a line break kept inside a quoted cell stays.
QString recortar(const QString& s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && esBlanco(s[a]))
        ++a;
    while (b > a && esBlanco(s[b - 1]))
        --b;
    return (a == 0 && b == s.size()) ? s : s.mid(a, b - a);
}

double numeroOCero(const QString& celda)
{
    return leerNumeroFinito(celda).value_or(0.0);
}

// Exactly `minimo`..`maximo` ASCII digits.
std::optional<int> digitos(QStringView s, int minimo, int maximo)
{
    if (s.size() < minimo || s.size() > maximo)
        return std::nullopt;
    int v = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

std::optional<QDateTime> inicioDelDia(int y, int m, int d)
{
    const QDate fecha(y, m, d);
    if (!fecha.isValid())
        return std::nullopt;
    // The start of the day even where midnight falls in a clock change.
    return fecha.startOfDay(Qt::LocalTime);
}

// "%.Nf" with a point; what is not a number is written as 0.
QString textoFijo(double v, int decimales)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::isfinite(v) ? v : 0.0, std::chars_format::fixed,
                                 decimales);
    if (r.ec != std::errc())
        return QString::fromStdString(platform::fixedText(v, decimales));
    return QString::fromLatin1(buf, r.ptr - buf);
}

// The calendar day of an instant in the user's time zone as yyyy-MM-dd; packages share dates, and
// the local-time conversion is the slow part, so each instant is converted once.
class FechasLocales {
public:
    QString texto(const QDateTime& f)
    {
        // A local time already names its day (and asking its instant costs a time-zone lookup).
        if (f.timeSpec() == Qt::LocalTime)
            return escribir(f.date());
        const qint64 ms = f.toMSecsSinceEpoch();
        auto it = cache_.find(ms);
        if (it == cache_.end())
            it = cache_.emplace(ms, escribir(platform::userCalendarDate(f))).first;
        return it->second;
    }

private:
    static QString escribir(const QDate& d)
    {
        if (!d.isValid() || d.year() < 0 || d.year() > 9999)
            return d.isValid() ? d.toString(Qt::ISODate) : QString();
        const int y = d.year(), m = d.month(), dd = d.day();
        const char buf[10] = {char('0' + y / 1000),     char('0' + y / 100 % 10), char('0' + y / 10 % 10),
                              char('0' + y % 10),       '-',
                              char('0' + m / 10),       char('0' + m % 10),       '-',
                              char('0' + dd / 10),      char('0' + dd % 10)};
        return QString::fromLatin1(buf, 10);
    }

    std::unordered_map<qint64, QString> cache_;
};

// A row's own figures as its cells say them and as the import reads them back: the progress
// as the one-decimal percentage written, the amounts truncated. EV, CPI, earned man-hours and
// the productivity factor are worked out from these, so a file imported and exported again
// says the same thing (the stored 35.12 % of 4,200 is written 35.1 with an EV of 1474, not 1475).
struct FigurasFila {
    QString avance, textoPresupuesto, textoCostoReal, textoHH, textoHHReal;
    double progreso = 0, presupuesto = 0, costoReal = 0, hh = 0, hhReal = 0;
};

FigurasFila figurasFila(const PaqueteAWP& p)
{
    FigurasFila f;
    f.avance = textoFijo(p.progreso * 100.0, 1);
    f.progreso = numeroOCero(f.avance) / 100.0;
    // Where the percentage read back does not write the same text (only far beyond any real
    // progress), the text it does write is taken: a few turns settle it.
    for (int vuelta = 0; vuelta < 4; ++vuelta) {
        QString otra = textoFijo(f.progreso * 100.0, 1);
        if (otra == f.avance)
            break;
        f.avance = std::move(otra);
        f.progreso = numeroOCero(f.avance) / 100.0;
    }
    const auto entero = [](double valor, QString& texto, double& leido) {
        texto = textoEntero(valor);
        leido = numeroOCero(texto);
    };
    entero(p.presupuesto, f.textoPresupuesto, f.presupuesto);
    entero(p.costoReal, f.textoCostoReal, f.costoReal);
    entero(p.hh, f.textoHH, f.hh);
    entero(p.hhReal, f.textoHHReal, f.hhReal);
    return f;
}

}  // namespace

std::optional<QDateTime> leerFecha(const QString& texto)
{
    const QStringView t(texto);
    if (t.size() == 10 && t[4] == u'-' && t[7] == u'-') {
        const auto y = digitos(t.sliced(0, 4), 4, 4);
        const auto m = digitos(t.sliced(5, 2), 2, 2);
        const auto d = digitos(t.sliced(8, 2), 2, 2);
        if (y && m && d)
            return inicioDelDia(*y, *m, *d);
        return std::nullopt;
    }
    const qsizetype s1 = t.indexOf(u'/');
    const qsizetype s2 = s1 < 0 ? -1 : t.indexOf(u'/', s1 + 1);
    if (s2 < 0 || t.indexOf(u'/', s2 + 1) >= 0)
        return std::nullopt;
    const auto a = digitos(t.sliced(0, s1), 1, 2);
    const auto b = digitos(t.sliced(s1 + 1, s2 - s1 - 1), 1, 2);
    const auto y = digitos(t.sliced(s2 + 1), 4, 4);
    if (!a || !b || !y)
        return std::nullopt;
    if (auto diaPrimero = inicioDelDia(*y, *b, *a))
        return diaPrimero;
    return inicioDelDia(*y, *a, *b);
}

std::optional<int> indiceColumna(const QStringList& aliases, const QStringList& cabecera)
{
    for (const QString& alias : aliases)
        for (int i = 0; i < cabecera.size(); ++i)
            if (cabecera[i].contains(alias))
                return i;
    return std::nullopt;
}

std::vector<PaqueteAWP> parsear(const QString& texto)
{
    platform::CsvReadOptions opciones;
    opciones.unicodeLineBreaks = true;
    std::vector<QStringList> registros = platform::readCsv(texto, opciones);
    // Blank lines may stand anywhere.
    std::erase_if(registros, [](const QStringList& r) { return r.size() == 1 && recortar(r[0]).isEmpty(); });
    if (registros.empty())
        return {};

    QStringList cabecera;
    for (const QString& celda : registros.front()) {
        QString c = recortar(celda);
        while (c.startsWith(u'"'))
            c.remove(0, 1);
        while (c.endsWith(u'"'))
            c.chop(1);
        cabecera.append(platform::nfc(c).toLower());
    }
    const auto col = [&](std::initializer_list<const char*> aliases) {
        QStringList l;
        for (const char* a : aliases)
            l.append(QString::fromUtf8(a));
        return indiceColumna(l, cabecera);
    };
    const auto iNivel = col({"nivel"});
    const auto iCodigo = col({"código", "codigo", "code"});
    const auto iNombre = col({"nombre", "name"});
    const auto iInicio = col({"inicio", "start"});
    const auto iFin = col({"fin", "end", "term"});
    const auto iPadre = col({"padre", "parent"});
    const auto iAvance = col({"avance", "progreso", "progress"});
    const auto iPresupuesto = col({"presupuesto", "budget", "cost"});
    const auto iHH = col({"hh plan", "hh_plan", "horas hombre plan", "hhplan"});
    if (!iNivel || !iCodigo || !iNombre || !iInicio || !iFin)
        return {};
    const int r = std::max({*iNivel, *iCodigo, *iNombre, *iInicio, *iFin});

    std::vector<PaqueteAWP> paquetes;
    paquetes.reserve(registros.size() - 1);
    for (std::size_t f = 1; f < registros.size(); ++f) {
        const QStringList& celdas = registros[f];
        if (celdas.size() <= r)
            continue;
        const auto nivel = nivelAWPDesdeTexto(recortar(celdas[*iNivel]).toUpper());
        if (!nivel)
            continue;
        const QString codigo = recortar(celdas[*iCodigo]);
        if (codigo.isEmpty())
            continue;
        QString nombre = recortar(celdas[*iNombre]);
        if (nombre.isEmpty())
            nombre = codigo;
        const auto inicio = leerFecha(recortar(celdas[*iInicio]));
        if (!inicio)
            continue;
        const auto fin = leerFecha(recortar(celdas[*iFin]));
        if (!fin || *fin < *inicio)
            continue;

        PaqueteAWP p;
        p.nivel = *nivel;
        p.codigo = codigo;
        p.nombre = nombre;
        p.fechaInicio = *inicio;
        p.fechaFin = *fin;
        const auto dentro = [&](const std::optional<int>& i) { return i && *i < celdas.size(); };
        // A blank parent cell is no parent: exported, it would come back empty.
        if (dentro(iPadre)) {
            QString padre = recortar(celdas[*iPadre]);
            if (!padre.isEmpty())
                p.parentCodigo = std::move(padre);
        }
        if (dentro(iAvance)) {
            QString a = celdas[*iAvance];
            a.remove(u'%');
            p.progreso = numeroOCero(recortar(a)) / 100.0;
        }
        if (dentro(iPresupuesto))
            p.presupuesto = numeroOCero(recortar(celdas[*iPresupuesto]));
        if (dentro(iHH))
            p.hh = numeroOCero(recortar(celdas[*iHH]));
        paquetes.push_back(std::move(p));
    }
    return paquetes;
}

QString textoEntero(double valor)
{
    if (!std::isfinite(valor))
        return QStringLiteral("0");
    const double t = std::trunc(valor);
    if (t == 0)
        return QStringLiteral("0");  // never "-0"
    // Within 64 bits as an integer; beyond, the double's own digits.
    if (std::fabs(t) < 9.2e18) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(t));
        return QString::fromLatin1(buf, r.ptr - buf);
    }
    return textoFijo(t, 0);
}

QString textoExportacion(const std::vector<PaqueteAWP>& paquetes)
{
    // Codes in NFC once, then compared by code points; equal codes keep their timeline order.
    std::vector<QString> claves;
    claves.reserve(paquetes.size());
    for (const PaqueteAWP& p : paquetes)
        claves.push_back(platform::nfc(p.codigo));
    std::vector<std::size_t> orden(paquetes.size());
    std::iota(orden.begin(), orden.end(), std::size_t(0));
    std::stable_sort(orden.begin(), orden.end(), [&](std::size_t a, std::size_t b) {
        return platform::compareNormalizedCodePoints(claves[a], claves[b]) < 0;
    });

    platform::CsvWriter::Options opciones;
    opciones.lineEnd = QStringLiteral("\n");
    opciones.finalLineEnd = true;
    opciones.quoting = platform::CsvQuoting::whenNeeded;
    platform::CsvWriter w(opciones);
    w.reserve(qsizetype(paquetes.size() + 1) * 120);
    w.addRow(cabeceraExportacion.split(u','));

    using platform::CsvQuoting;
    FechasLocales fechas;
    const auto fecha = [&](const QDateTime& f) { return fechas.texto(f); };
    const auto fijo = textoFijo;
    for (std::size_t i : orden) {
        const PaqueteAWP& p = paquetes[i];
        const FigurasFila f = figurasFila(p);
        const double ev = f.progreso * f.presupuesto;
        const double cpi = f.costoReal > 0 ? ev / f.costoReal : 1.0;
        const double hhGanadas = f.progreso * f.hh;
        const double factor = f.hhReal > 0 ? hhGanadas / f.hhReal : 1.0;
        w.addCell(textoNivelAWP(p.nivel));
        w.addCell(p.codigo);
        w.addCell(p.nombre, CsvQuoting::always);
        w.addCell(p.parentCodigo.value_or(QString()));
        w.addCell(fecha(p.fechaInicio));
        w.addCell(fecha(p.fechaFin));
        w.addCell(f.avance);
        w.addCell(f.textoPresupuesto);
        w.addCell(f.textoCostoReal);
        w.addCell(textoEntero(ev));
        w.addCell(fijo(cpi, 2));
        w.addCell(f.textoHH);
        w.addCell(f.textoHHReal);
        w.addCell(textoEntero(hhGanadas));
        w.addCell(fijo(factor, 2));
        w.endRow();
    }
    return w.text();
}

}  // namespace quelva::TimeLinerCSV
