#include "timeline/csv/TimeLinerCSV.h"

#include "timeline/editor/LecturaNumero.h"

#include "platform/Csv.h"
#include "platform/CsvReader.h"
#include "platform/NumberFormat.h"
#include "platform/TextOrder.h"
#include "platform/UserDate.h"

#include <QDate>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <string>
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

QDateTime inicioDelDia(const QDate& fecha)
{
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
    // Worked on the characters: the export writes hundreds of thousands of rows.
    char buf[400];
    const auto escribir = [&](double porcentaje) {
        const auto r = std::to_chars(buf, buf + sizeof buf, std::isfinite(porcentaje) ? porcentaje : 0.0,
                                     std::chars_format::fixed, 1);
        return r.ec == std::errc() ? std::string(buf, r.ptr) : platform::fixedText(porcentaje, 1);
    };
    // As the import reads it: "-35.1" is the double nearest -351/10, which is what dividing the
    // two exact integers gives; longer texts go through the C library.
    const auto leer = [](const std::string& t) {
        const bool menos = !t.empty() && t.front() == '-';
        if (t.size() <= 16) {  // at most 15 digits: exact as a double
            long long decimas = 0;
            for (std::size_t i = menos ? 1 : 0; i < t.size(); ++i)
                if (t[i] != '.')
                    decimas = decimas * 10 + (t[i] - '0');
            return (menos ? -double(decimas) : double(decimas)) / 10.0 / 100.0;
        }
        return numeroOCero(QString::fromLatin1(t.data(), qsizetype(t.size()))) / 100.0;
    };
    std::string avance = escribir(p.progreso * 100.0);
    f.progreso = leer(avance);
    // Where the percentage read back does not write the same text (only far beyond any real
    // progress), the text it does write is taken: a few turns settle it.
    for (int vuelta = 0; vuelta < 4; ++vuelta) {
        std::string otra = escribir(f.progreso * 100.0);
        if (otra == avance)
            break;
        avance = std::move(otra);
        f.progreso = leer(avance);
    }
    f.avance = QString::fromLatin1(avance.data(), qsizetype(avance.size()));
    // A whole-number cell holds the exact digits of the truncated value: that is what reads back.
    const auto entero = [](double valor, QString& texto, double& leido) {
        texto = textoEntero(valor);
        leido = std::isfinite(valor) && std::trunc(valor) != 0 ? std::trunc(valor) : 0.0;
    };
    entero(p.presupuesto, f.textoPresupuesto, f.presupuesto);
    entero(p.costoReal, f.textoCostoReal, f.costoReal);
    entero(p.hh, f.textoHH, f.hh);
    entero(p.hhReal, f.textoHHReal, f.hhReal);
    return f;
}

}  // namespace

namespace {

// The calendar day a date cell names: yyyy-MM-dd, else dd/MM/yyyy, else MM/dd/yyyy.
std::optional<QDate> leerDia(QStringView t)
{
    if (t.size() == 10 && t[4] == u'-' && t[7] == u'-') {
        const auto y = digitos(t.sliced(0, 4), 4, 4);
        const auto m = digitos(t.sliced(5, 2), 2, 2);
        const auto d = digitos(t.sliced(8, 2), 2, 2);
        if (y && m && d && QDate::isValid(*y, *m, *d))
            return QDate(*y, *m, *d);
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
    if (QDate::isValid(*y, *b, *a))
        return QDate(*y, *b, *a);
    if (QDate::isValid(*y, *a, *b))
        return QDate(*y, *a, *b);
    return std::nullopt;
}

// The start of a day in the user's time zone costs a time-zone lookup, and a file names the
// same few hundred days over and over: each is looked up once per file.
class LectorFechas {
public:
    std::optional<QDateTime> leer(QStringView texto)
    {
        const auto dia = leerDia(texto);
        if (!dia)
            return std::nullopt;
        auto it = inicios_.find(dia->toJulianDay());
        if (it == inicios_.end())
            it = inicios_.emplace(dia->toJulianDay(), inicioDelDia(*dia)).first;
        return it->second;
    }

private:
    std::unordered_map<qint64, QDateTime> inicios_;
};

}  // namespace

std::optional<QDateTime> leerFecha(const QString& texto)
{
    const auto dia = leerDia(texto);
    if (!dia)
        return std::nullopt;
    return inicioDelDia(*dia);
}

std::optional<int> indiceColumna(const QStringList& aliases, const QStringList& cabecera)
{
    for (const QString& alias : aliases)
        for (int i = 0; i < cabecera.size(); ++i)
            if (cabecera[i].contains(alias))
                return i;
    return std::nullopt;
}

namespace {

struct Columnas {
    int nivel = 0, codigo = 0, nombre = 0, inicio = 0, fin = 0;
    std::optional<int> padre, avance, presupuesto, hh;
    int requeridas = 0;  // the largest index of the five above
};

platform::CsvReadOptions opcionesLectura()
{
    platform::CsvReadOptions opciones;
    opciones.unicodeLineBreaks = true;
    return opciones;
}

// The next record that is not a blank line (blank lines may stand anywhere).
bool siguienteNoVacio(platform::CsvRecordReader& lector, QStringList& registro)
{
    while (lector.next(registro))
        if (registro.size() != 1 || !recortar(registro[0]).isEmpty())
            return true;
    return false;
}

std::optional<Columnas> columnasDe(const QStringList& celdas)
{
    QStringList cabecera;
    for (const QString& celda : celdas) {
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
    const auto nivel = col({"nivel"});
    const auto codigo = col({"código", "codigo", "code"});
    const auto nombre = col({"nombre", "name"});
    const auto inicio = col({"inicio", "start"});
    const auto fin = col({"fin", "end", "term"});
    if (!nivel || !codigo || !nombre || !inicio || !fin)
        return std::nullopt;
    Columnas c;
    c.nivel = *nivel;
    c.codigo = *codigo;
    c.nombre = *nombre;
    c.inicio = *inicio;
    c.fin = *fin;
    c.padre = col({"padre", "parent"});
    c.avance = col({"avance", "progreso", "progress"});
    c.presupuesto = col({"presupuesto", "budget", "cost"});
    c.hh = col({"hh plan", "hh_plan", "horas hombre plan", "hhplan"});
    c.requeridas = std::max({c.nivel, c.codigo, c.nombre, c.inicio, c.fin});
    return c;
}

// The packages of the data records in [desde, hasta) of the text, in order.
std::vector<PaqueteAWP> leerFilas(const QString& texto, qsizetype desde, qsizetype hasta, const Columnas& col)
{
    platform::CsvRecordReader lector(texto, opcionesLectura(), desde, hasta);
    // The defaults once: a default package asks the clock and the time zone, and its dates are
    // replaced anyway.
    const PaqueteAWP plantilla;
    LectorFechas fechas;
    std::vector<PaqueteAWP> paquetes;
    QStringList celdas;
    while (siguienteNoVacio(lector, celdas)) {
        if (celdas.size() <= col.requeridas)
            continue;
        const auto nivel = nivelAWPDesdeTexto(recortar(celdas[col.nivel]).toUpper());
        if (!nivel)
            continue;
        const QString codigo = recortar(celdas[col.codigo]);
        if (codigo.isEmpty())
            continue;
        QString nombre = recortar(celdas[col.nombre]);
        if (nombre.isEmpty())
            nombre = codigo;
        const auto inicio = fechas.leer(recortar(celdas[col.inicio]));
        if (!inicio)
            continue;
        const auto fin = fechas.leer(recortar(celdas[col.fin]));
        if (!fin || *fin < *inicio)
            continue;

        PaqueteAWP& p = paquetes.emplace_back(plantilla);
        p.id = QUuid::createUuid();
        p.nivel = *nivel;
        p.codigo = codigo;
        p.nombre = std::move(nombre);
        p.fechaInicio = *inicio;
        p.fechaFin = *fin;
        const auto dentro = [&](const std::optional<int>& i) { return i && *i < celdas.size(); };
        // A blank parent cell is no parent: exported, it would come back empty.
        if (dentro(col.padre)) {
            QString padre = recortar(celdas[*col.padre]);
            if (!padre.isEmpty())
                p.parentCodigo = std::move(padre);
        }
        if (dentro(col.avance)) {
            QString a = celdas[*col.avance];
            a.remove(u'%');
            p.progreso = numeroOCero(recortar(a)) / 100.0;
        }
        if (dentro(col.presupuesto))
            p.presupuesto = numeroOCero(recortar(celdas[*col.presupuesto]));
        if (dentro(col.hh))
            p.hh = numeroOCero(recortar(celdas[*col.hh]));
    }
    return paquetes;
}

// Below this many characters of data a file is read on the calling thread alone.
constexpr qsizetype kTextoParaRepartir = 1 << 20;

}  // namespace

std::vector<PaqueteAWP> parsear(const QString& texto)
{
    platform::CsvRecordReader lector(texto, opcionesLectura());
    QStringList celdas;
    if (!siguienteNoVacio(lector, celdas))
        return {};
    // Decided by the header alone: a file of anything else is not read through.
    const std::optional<Columnas> col = columnasDe(celdas);
    if (!col)
        return {};

    const qsizetype inicio = lector.position();
    const int hilos = std::clamp(QThread::idealThreadCount(), 1, 8);
    if (hilos == 1 || texto.size() - inicio < kTextoParaRepartir)
        return leerFilas(texto, inicio, texto.size(), *col);

    // A large file is cut where records start (found by walking it once without building
    // cells) and its pieces are read side by side, a few per thread so none waits long.
    struct Trozo {
        qsizetype desde = 0, hasta = 0;
        std::vector<PaqueteAWP> paquetes;
    };
    std::vector<Trozo> trozos;
    const qsizetype paso = std::max<qsizetype>(1, (texto.size() - inicio) / (qsizetype(hilos) * 4));
    qsizetype desde = inicio;
    while (lector.skip()) {
        if (lector.position() - desde >= paso) {
            trozos.push_back({desde, lector.position(), {}});
            desde = lector.position();
        }
    }
    if (desde < texto.size())
        trozos.push_back({desde, texto.size(), {}});
    QThreadPool grupo;
    grupo.setMaxThreadCount(hilos);
    QtConcurrent::blockingMap(&grupo, trozos,
                              [&](Trozo& t) { t.paquetes = leerFilas(texto, t.desde, t.hasta, *col); });

    std::size_t total = 0;
    for (const Trozo& t : trozos)
        total += t.paquetes.size();
    std::vector<PaqueteAWP> paquetes;
    paquetes.reserve(total);
    for (Trozo& t : trozos)
        paquetes.insert(paquetes.end(), std::make_move_iterator(t.paquetes.begin()),
                        std::make_move_iterator(t.paquetes.end()));
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
