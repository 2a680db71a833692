#include "timeline/csv/ArchivoCSV.h"
#include "timeline/csv/TimeLinerCSV.h"

#include "support/Fixtures.h"
#include "support/Paquetes.h"
#include "support/Esperar.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quelva;
namespace csv = quelva::TimeLinerCSV;

namespace {

const QString kCabecera = QStringLiteral("Nivel,Código,Nombre,Inicio,Fin\n");

QDateTime medianoche(int y, int m, int d)
{
    return QDate(y, m, d).startOfDay(Qt::LocalTime);
}

QStringList codigos(const std::vector<PaqueteAWP>& ps)
{
    QStringList l;
    for (const PaqueteAWP& p : ps)
        l.append(p.codigo);
    return l;
}

}  // namespace

TEST(TimeLinerCSV, HeaderAliasesAndPriority)
{
    struct Caso {
        const char* nombre;
        QString texto;
        QString codigo, nombreEsperado;
        double presupuesto, hh, progreso;
        QDateTime inicio;
    };
    const QDateTime m1 = medianoche(2025, 3, 1), m5 = medianoche(2025, 3, 5);
    const Caso casos[] = {
        {"Código wins over an earlier Code", "Code,Código,Nombre,Inicio,Fin,Nivel\nX,Y,n,2025-03-01,2025-03-10,iwp",
         "Y", "n", 0, 0, 0, m1},
        {"English header", "LEVEL NIVEL,code,name,start,end,budget,progress,HHPLAN\n"
                           "CWA,A1,Área,2025-03-01,2025-03-10,1500.5,40,12",
         "A1", "Área", 1500.5, 12, 0.4, m1},
        {"words around the aliases", "Nivel AWP,Código AWP,Nombre del paquete,Fecha Inicio,Fecha Fin,Avance%\n"
                                     "IWP,I-1,x,2025-03-01,2025-03-10,25%",
         "I-1", "x", 0, 0, 0.25, m1},
        {"Costo Real is the budget only without a budget column",
         "Nivel,Código,Nombre,Inicio,Fin,Costo Real\nIWP,I,n,2025-03-01,2025-03-10,700", "I", "n", 700, 0, 0, m1},
        {"Presupuesto wins over an earlier Costo Real",
         "Nivel,Código,Nombre,Inicio,Fin,Costo Real,Presupuesto\nIWP,I,n,2025-03-01,2025-03-10,700,900", "I", "n",
         900, 0, 0, m1},
        {"Inicio real left of Inicio is the one read",
         "Nivel,Código,Nombre,Inicio real,Inicio,Fin\nIWP,I,n,2025-03-05,2025-03-01,2025-03-10", "I", "n", 0, 0, 0,
         m5},
        {"quoted, padded, upper-case header", " \"NIVEL\" ,\"CÓDIGO\",\"NOMBRE\",INICIO,FIN,\"HH Plan\"\n"
                                              "PWP,P,n,2025-03-01,2025-03-10,8",
         "P", "n", 0, 8, 0, m1},
        {"empty name takes the code", kCabecera + "IWP,  I-9 , ,2025-03-01,2025-03-10", "I-9", "I-9", 0, 0, 0, m1},
    };
    for (const Caso& c : casos) {
        const auto ps = csv::parsear(c.texto);
        ASSERT_EQ(ps.size(), 1u) << c.nombre;
        EXPECT_EQ(ps[0].codigo, c.codigo) << c.nombre;
        EXPECT_EQ(ps[0].nombre, c.nombreEsperado) << c.nombre;
        EXPECT_DOUBLE_EQ(ps[0].presupuesto, c.presupuesto) << c.nombre;
        EXPECT_DOUBLE_EQ(ps[0].hh, c.hh) << c.nombre;
        EXPECT_DOUBLE_EQ(ps[0].progreso, c.progreso) << c.nombre;
        EXPECT_EQ(ps[0].fechaInicio, c.inicio) << c.nombre;
    }
    EXPECT_EQ(csv::indiceColumna({"código", "code"}, {"code", "x", "código awp"}), 2);
    EXPECT_EQ(csv::indiceColumna({"fin"}, {"inicio"}), std::nullopt);
}

TEST(TimeLinerCSV, RowsAndCells)
{
    struct Caso {
        const char* nombre;
        QString texto;
        QStringList codigos;
        QStringList nombres = {};
    };
    const Caso casos[] = {
        {"blank lines anywhere, CRLF", "\r\n  \r\n" + QString(kCabecera).replace("\n", "\r\n") +
                                            "IWP,A,a,2025-03-01,2025-03-02\r\n \t \r\n\r\nIWP,B,b,2025-03-01,2025-03-02\r\n",
         {"A", "B"}},
        {"byte order mark", QChar(0xFEFF) + kCabecera + "IWP,A,a,2025-03-01,2025-03-02", {"A"}},
        {"quoted comma, line break and doubled quotes",
         kCabecera + "IWP,A,\"Muro, eje 3\",2025-03-01,2025-03-02\nIWP,B,\"dos\nlíneas\",2025-03-01,2025-03-02\n"
                     "IWP,C,\"pulg \"\"12\"\"\",2025-03-01,2025-03-02",
         {"A", "B", "C"}, {"Muro, eje 3", "dos\nlíneas", "pulg \"12\""}},
        {"a quote inside an unquoted cell is kept", kCabecera + "IWP,A,pulg 12\",2025-03-01,2025-03-02", {"A"},
         {"pulg 12\""}},
        {"an unbalanced quote costs its own row only",
         kCabecera + "IWP,A,\"abierto,2025-03-01,2025-03-02\nIWP,B,b,2025-03-01,2025-03-02", {"B"}},
        {"short rows skipped, extra cells ignored",
         kCabecera + "IWP,A,a,2025-03-01\nIWP,B,b,2025-03-01,2025-03-02,x,y", {"B"}},
        {"level in any case; others skipped",
         kCabecera + "cwp,A,a,2025-03-01,2025-03-02\n Iwp ,B,b,2025-03-01,2025-03-02\n"
                     "WP,C,c,2025-03-01,2025-03-02\n,D,d,2025-03-01,2025-03-02",
         {"A", "B"}},
        {"empty code skipped", kCabecera + "IWP, ,a,2025-03-01,2025-03-02", {}},
        {"duplicate codes both returned", kCabecera + "IWP,A,1,2025-03-01,2025-03-02\nIWP,A,2,2025-03-01,2025-03-02",
         {"A", "A"}},
        {"a quoted header cell with a comma is one cell",
         "\"Nombre, largo\",Nivel,Código,Inicio,Fin\n\"n, m\",IWP,A,2025-03-01,2025-03-02", {"A"}, {"n, m"}},
        {"only a header", kCabecera, {}},
        {"empty text", "", {}},
        {"a required column missing", "Nivel,Código,Nombre,Inicio\nIWP,A,a,2025-03-01", {}},
        {"semicolons are not separators",
         "Nivel;Código;Nombre;Inicio;Fin\nIWP;A;a;2025-03-01;2025-03-02", {}},
    };
    for (const Caso& c : casos) {
        const auto ps = csv::parsear(c.texto);
        EXPECT_EQ(codigos(ps), c.codigos) << c.nombre;
        if (!c.nombres.isEmpty()) {
            QStringList nombres;
            for (const PaqueteAWP& p : ps)
                nombres.append(p.nombre);
            EXPECT_EQ(nombres, c.nombres) << c.nombre;
        }
    }
}

// A file of megabytes is read in pieces side by side: the result must be, row for row, what
// each row gives when it is read alone under the same header.
TEST(TimeLinerCSV, LargeFileGivesThePackagesOfItsRowsInOrder)
{
    tl::ZonaHoraria santiago("America/Santiago");
    const QString cabecera = QStringLiteral("Nivel,Código,Nombre,Padre,Inicio,Fin,Avance,Presupuesto,HH Plan\r\n");
    const QString formas[] = {
        "IWP,I-%1,\"Muro, eje %1\r\nsegunda línea\",C-%2,2025-03-01,01/04/2025,35.1,4200,12\r\n",
        "cwa,A-%1,,,%2/02/2025,2025-12-31,,1e3,\r\n",
        "\r\n \t\r\n",                                          // blank lines
        "PWP,P-%1,\"abierto,2025-03-01,2025-03-02\r\n",          // unbalanced quote: skipped
        "WP,X-%1,n,2025-03-01,2025-03-02\r\n",                   // no level: skipped
        "IWP,Q-%1,\"di \"\"hola\"\"\",,2025-03-02,2025-03-01\r\n",  // ends before it starts
        "PWP,W-%1,\"con \u2028 y \u0085\",\" \",12/25/2025,12/26/2025,75 %,-2.5,8\r\n",
    };
    QString texto = cabecera;
    std::vector<PaqueteAWP> esperados;
    for (int i = 0; texto.size() < 3 * (1 << 19); ++i) {
        const QString fila = formas[i % std::size(formas)].arg(i).arg(1 + i % 28);
        texto += fila;
        const auto sola = csv::parsear(cabecera + fila);
        esperados.insert(esperados.end(), sola.begin(), sola.end());
    }
    const auto leidos = csv::parsear(texto);
    ASSERT_EQ(leidos.size(), esperados.size());
    QSet<QUuid> ids;
    for (std::size_t i = 0; i < leidos.size(); ++i) {
        const PaqueteAWP& l = leidos[i];
        const PaqueteAWP& e = esperados[i];
        ASSERT_EQ(l.codigo, e.codigo) << i;
        EXPECT_EQ(l.nivel, e.nivel) << i;
        EXPECT_EQ(l.nombre, e.nombre) << i;
        EXPECT_EQ(l.parentCodigo, e.parentCodigo) << i;
        EXPECT_EQ(l.fechaInicio, e.fechaInicio) << i;
        EXPECT_EQ(l.fechaFin, e.fechaFin) << i;
        EXPECT_EQ(l.progreso, e.progreso) << i;
        EXPECT_EQ(l.presupuesto, e.presupuesto) << i;
        EXPECT_EQ(l.hh, e.hh) << i;
        ids.insert(l.id);
    }
    EXPECT_EQ(std::size_t(ids.size()), leidos.size());
}

TEST(TimeLinerCSV, DatesAreLocalCalendarDays)
{
    tl::ZonaHoraria santiago("America/Santiago");
    struct Caso {
        QString texto;
        std::optional<QDate> fecha;
    };
    const Caso casos[] = {
        {"2025-03-01", QDate(2025, 3, 1)},   {"03/04/2025", QDate(2025, 4, 3)},  {"12/25/2025", QDate(2025, 12, 25)},
        {"1/2/2025", QDate(2025, 2, 1)},     {"2025-02-29", std::nullopt},       {"03/04/25", std::nullopt},
        {"13/13/2025", std::nullopt},        {"2025-3-1", std::nullopt},         {"2025-03-01T10:00", std::nullopt},
        {"", std::nullopt},                  {"1/2/3/2025", std::nullopt},       {"٠١/٠٢/٢٠٢٥", std::nullopt},
        // Chile's clocks jump from 24:00 to 01:00 that night: the day still starts.
        {"2024-09-08", QDate(2024, 9, 8)},
    };
    for (const Caso& c : casos) {
        const auto f = csv::leerFecha(c.texto);
        ASSERT_EQ(f.has_value(), c.fecha.has_value()) << c.texto.toStdString();
        if (f) {
            EXPECT_EQ(f->toLocalTime().date(), *c.fecha) << c.texto.toStdString();
            EXPECT_LE(f->toLocalTime().time(), QTime(1, 0)) << c.texto.toStdString();
        }
    }
    // Local midnight, not UTC: 2025-03-01 is 03:00 UTC in Santiago.
    EXPECT_EQ(csv::leerFecha("2025-03-01")->toUTC(), tl::utc(2025, 3, 1, 3));

    const auto ps = csv::parsear(kCabecera + "IWP,A,a,2025-03-01,01/03/2025\nIWP,B,b,2025-03-02,2025-03-01\n"
                                             "IWP,C,c,2025-03-01,2025-03-31\nIWP,D,d,03/04/25,2025-05-01");
    EXPECT_EQ(codigos(ps), QStringList({"A", "C"}));  // an equal end is fine, an earlier one is not
}

TEST(TimeLinerCSV, OptionalColumnsAndNumbers)
{
    const QString h = QStringLiteral("Nivel,Código,Nombre,Inicio,Fin,Padre,Avance,Presupuesto\n");
    struct Caso {
        QString resto;  // Padre,Avance,Presupuesto cells
        std::optional<QString> padre;
        double progreso, presupuesto;
    };
    const Caso casos[] = {
        {"C1,75 %,1000", "C1", 0.75, 1000},
        {" C1 ,50,-2.5e3", "C1", 0.5, -2500},
        {",0.5,+12", std::nullopt, 0.005, 12},
        // the unquoted 1.234,56 is two cells; a blank parent is none (exported, it reads back as none)
        {"  ,150%,1.234,56", std::nullopt, 1.5, 1.234},
        {"x,\"75,5\",\"1.234,56\"", "x", 0, 0},
        {"x,50.0,$100", "x", 0.5, 0},
        {"x,nan,inf", "x", 0, 0},
        {"x,1e999,-1e999", "x", 0, 0},
        {"x,12 h,1 000", "x", 0, 0},
        {"x", "x", 0, 0},  // a row shorter than the optional columns keeps their defaults
    };
    for (const Caso& c : casos) {
        const auto ps = csv::parsear(h + "IWP,A,a,2025-03-01,2025-03-02," + c.resto);
        ASSERT_EQ(ps.size(), 1u) << c.resto.toStdString();
        EXPECT_EQ(ps[0].parentCodigo, c.padre) << c.resto.toStdString();
        EXPECT_DOUBLE_EQ(ps[0].progreso, c.progreso) << c.resto.toStdString();
        EXPECT_DOUBLE_EQ(ps[0].presupuesto, c.presupuesto) << c.resto.toStdString();
        EXPECT_EQ(ps[0].costoReal, 0);
        EXPECT_FALSE(ps[0].fechaInicioReal);
        EXPECT_EQ(ps[0].colorIdx, 0);
    }
    const auto dos = csv::parsear(kCabecera + "IWP,A,a,2025-03-01,2025-03-02\nIWP,A,a,2025-03-01,2025-03-02");
    ASSERT_EQ(dos.size(), 2u);
    EXPECT_NE(dos[0].id, dos[1].id);
}

TEST(TimeLinerCSV, ReadsAFileInEitherEncoding)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("paquetes.csv");
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Windows-1252, as a Spanish-locale spreadsheet saves it.
    f.write("Nivel,C\xF3" "digo,Nombre,Inicio,Fin\r\nIWP,S-1,Se\xF1" "al\xE9tica,2025-03-01,2025-03-02\r\n");
    f.close();
    auto r = leerArchivoCSV(ruta);
    ASSERT_TRUE(std::holds_alternative<std::vector<PaqueteAWP>>(r));
    ASSERT_EQ(std::get<0>(r).size(), 1u);
    EXPECT_EQ(std::get<0>(r)[0].nombre, QString("Señalética"));

}

// Each of these hung the window (a FIFO), ended the program out of memory (a device, a huge
// sparse file) or froze it for seconds: all are refused when opened, before a byte is read.
TEST(TimeLinerCSV, RefusesWhatIsNotAReadableCsvFileBeforeReadingIt)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("tuberia.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString grande = dir.filePath("grande.csv");
    {
        QFile f(grande);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kTamanoMaximoCSV + 1));  // sparse: no disk used
    }
    struct Caso {
        QString ruta;
        QString mensaje;
    };
    const Caso casos[] = {
        {fifo, QStringLiteral("«%1» no es un archivo.").arg(fifo)},
        {"/dev/zero", QStringLiteral("«/dev/zero» no es un archivo.")},
        {dir.path(), QStringLiteral("«%1» no es un archivo.").arg(dir.path())},
        {grande, QStringLiteral("El archivo «%1» es demasiado grande para importarlo como CSV (más de 256 MiB).")
                     .arg(grande)},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.ruta.toStdString());
        const auto abierto = abrirArchivoCSV(c.ruta);
        ASSERT_TRUE(std::holds_alternative<QString>(abierto));
        EXPECT_EQ(std::get<QString>(abierto), c.mensaje);
        const auto leido = leerArchivoCSV(c.ruta);
        ASSERT_TRUE(std::holds_alternative<QString>(leido));
        EXPECT_EQ(std::get<QString>(leido), c.mensaje);
    }
    const QString falta = dir.filePath("no-existe.csv");
    const auto leido = leerArchivoCSV(falta);
    ASSERT_TRUE(std::holds_alternative<QString>(leido));
    EXPECT_TRUE(std::get<QString>(leido).startsWith(QStringLiteral("No se pudo leer «%1»: ").arg(falta)));
}

namespace {

std::vector<PaqueteAWP> paquetesExportacion()
{
    using tl::paquete;
    std::vector<PaqueteAWP> ps;
    auto b1 = paquete("B1", NivelAWP::cwa, std::nullopt, medianoche(2025, 3, 1), medianoche(2025, 6, 30));
    b1.nombre = "Área B";
    b1.presupuesto = 1000;
    b1.costoReal = 500;
    b1.hh = 80;
    b1.hhReal = 50;
    b1.progreso = 0.5;
    ps.push_back(b1);
    auto a10 = paquete("A10", NivelAWP::iwp, "CWP,1", medianoche(2025, 3, 1), medianoche(2025, 3, 15));
    a10.nombre = "Muro \"norte\", eje 3\nsegunda línea";
    a10.presupuesto = 1234.9;
    a10.costoReal = -0.7;
    a10.progreso = 0.456;
    a10.hh = 1e20;
    ps.push_back(a10);
    auto a2 = paquete("A2", NivelAWP::pwp, std::nullopt, medianoche(2025, 12, 31), medianoche(2026, 1, 2));
    a2.nombre = "Plan";
    a2.presupuesto = -1234.9;
    ps.push_back(a2);
    auto coma = paquete("A,1", NivelAWP::cwp, std::nullopt, medianoche(2025, 1, 1), medianoche(2025, 1, 1));
    coma.nombre = "coma";
    ps.push_back(coma);
    return ps;
}

}  // namespace

TEST(TimeLinerCSV, ExportMatchesTheGoldenFile)
{
    tl::ZonaHoraria santiago("America/Santiago");
    EXPECT_EQ(csv::textoExportacion(paquetesExportacion()).toUtf8(),
              QByteArray::fromStdString(testsupport::readFixture("timeline/csv/exportacion.csv")));
    EXPECT_EQ(csv::textoExportacion({}), csv::cabeceraExportacion + "\n");

    struct Entero {
        double valor;
        const char* texto;
    };
    for (const Entero& e : {Entero{1234.9, "1234"}, Entero{-0.7, "0"}, Entero{-1234.9, "-1234"},
                            Entero{1e20, "100000000000000000000"}, Entero{9.3e18, "9300000000000000000"},
                            Entero{std::nan(""), "0"}, Entero{-INFINITY, "0"}})
        EXPECT_EQ(csv::textoEntero(e.valor), e.texto) << e.valor;
}

TEST(TimeLinerCSV, ExportReadsBack)
{
    for (const char* zona : {"UTC", "America/Santiago", "Pacific/Auckland"}) {
        tl::ZonaHoraria tz(zona);
        const std::vector<PaqueteAWP> originales = paquetesExportacion();
        const auto leidos = csv::parsear(csv::textoExportacion(originales));
        ASSERT_EQ(leidos.size(), originales.size()) << zona;
        for (const PaqueteAWP& l : leidos) {
            const auto o = std::find_if(originales.begin(), originales.end(),
                                        [&](const PaqueteAWP& p) { return p.codigo == l.codigo; });
            ASSERT_NE(o, originales.end()) << l.codigo.toStdString();
            EXPECT_EQ(l.nivel, o->nivel);
            EXPECT_EQ(l.nombre, o->nombre);
            EXPECT_EQ(l.parentCodigo, o->parentCodigo);
            EXPECT_EQ(l.fechaInicio, o->fechaInicio) << zona;
            EXPECT_EQ(l.fechaFin, o->fechaFin) << zona;
            EXPECT_NEAR(l.progreso, o->progreso, 0.0005);
            EXPECT_EQ(l.presupuesto, std::trunc(o->presupuesto));
            EXPECT_EQ(l.hh, std::trunc(o->hh));
            EXPECT_EQ(l.costoReal, 0);
        }
    }
}

TEST(TimeLinerCSV, ExportImportExportGivesTheSameBytes)
{
    // Every row's EV, CPI, earned man-hours and factor follow from the progress and amounts the
    // row itself shows, so reading the file back changes nothing.
    struct Caso {
        double progreso, presupuesto;
    };
    const Caso casos[] = {
        {0.3512, 4200},     // written 35.1: the EV is 1474, not the stored 1475.04
        {0.456, 1234.9},    // the budget is written 1234
        {1.0 / 3, 999.99},  {0.29, 100},      {0.99999, 1e6},   {1.5, 3},     {-0.2049, 501},
        {0.0004, 1e9},      {0.12345, 7777777}, {0.045, 80},    {0, 0},       {1e-12, 5e15},
    };
    for (const char* zona : {"UTC", "America/Santiago"}) {
        tl::ZonaHoraria tz(zona);
        std::vector<PaqueteAWP> ps;
        for (const Caso& c : casos) {
            PaqueteAWP p = tl::paquete(QStringLiteral("P%1").arg(ps.size(), 2, 10, QChar(u'0')), NivelAWP::iwp,
                                       std::nullopt, medianoche(2025, 3, 1), medianoche(2025, 4, 30));
            p.nombre = "n";
            p.progreso = c.progreso;
            p.presupuesto = c.presupuesto;
            p.hh = c.presupuesto / 7;
            // Below 1 the row says 0: its CPI and factor must then be those of 0.
            p.costoReal = 0.7;
            p.hhReal = 0.4;
            ps.push_back(p);
        }
        const QString primera = csv::textoExportacion(ps);
        const QString segunda = csv::textoExportacion(csv::parsear(primera));
        const QStringList a = primera.split(u'\n'), b = segunda.split(u'\n');
        ASSERT_EQ(a.size(), b.size()) << zona;
        for (qsizetype i = 0; i < a.size(); ++i)
            EXPECT_EQ(b[i], a[i]) << zona << " row " << i;
    }
    PaqueteAWP reportado =
        tl::paquete("R", NivelAWP::iwp, std::nullopt, medianoche(2025, 3, 1), medianoche(2025, 3, 2));
    reportado.nombre = "r";
    reportado.progreso = 0.3512;
    reportado.presupuesto = 4200;
    EXPECT_TRUE(csv::textoExportacion({reportado}).contains(",35.1,4200,0,1474,1.00,"));
}

TEST(TimeLinerCSV, CodesHoldingAnyLineBreakSurviveExportAndImport)
{
    // The import reads the Unicode line breaks as record ends too: unquoted, one package would
    // swallow the next.
    for (const char16_t salto : {u'\n', u'\r', u'\v', u'\f', char16_t(0x85), char16_t(0x2028), char16_t(0x2029)}) {
        std::vector<PaqueteAWP> originales;
        for (const char* codigo : {"A", "B", "C"}) {
            PaqueteAWP p;
            p.codigo = codigo + QString(QChar(salto)) + "1";
            p.nombre = "Muro";
            p.parentCodigo = "P" + QString(QChar(salto));
            p.fechaInicio = medianoche(2025, 3, 1);
            p.fechaFin = medianoche(2025, 3, 2);
            originales.push_back(p);
        }
        const auto leidos = csv::parsear(csv::textoExportacion(originales));
        ASSERT_EQ(leidos.size(), 3u) << int(salto);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(leidos[i].codigo, originales[i].codigo) << int(salto);
            EXPECT_EQ(leidos[i].parentCodigo, originales[i].parentCodigo) << int(salto);
        }
    }
}

TEST(TimeLinerCSV, ExportWritesAtomicallyAndPythonFindsFifteenCells)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("TimeLiner_AWP_QUELVA.csv");
    ASSERT_EQ(escribirArchivoCSV(ruta, paquetesExportacion()), std::nullopt);

    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        FAIL() << "python3 is missing: scripts/setup installs it";
    QProcess p;
    p.start(python, {"-c", "import csv,sys,json; print(json.dumps(list(csv.reader("
                           "open(sys.argv[1], encoding='utf-8', newline='')))))",
                     ruta});
    ASSERT_TRUE(p.waitForFinished(testsupport::kLimiteCuelgue));
    const QJsonArray filas = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    ASSERT_EQ(filas.size(), 5) << p.readAllStandardError().toStdString();
    for (const auto& fila : filas)
        EXPECT_EQ(fila.toArray().size(), 15);
    EXPECT_EQ(filas[1].toArray()[1].toString(), "A,1");
    EXPECT_EQ(filas[2].toArray()[2].toString(), "Muro \"norte\", eje 3\nsegunda línea");

    // A folder in the way: the reason names the file and nothing is written.
    const QString carpeta = dir.filePath("carpeta.csv");
    ASSERT_TRUE(QDir().mkpath(carpeta));
    const auto error = escribirArchivoCSV(carpeta, paquetesExportacion());
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->contains("carpeta.csv")) << error->toStdString();
    EXPECT_TRUE(QFileInfo(carpeta).isDir());
}
