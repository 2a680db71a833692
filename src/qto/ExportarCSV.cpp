#include "qto/ExportarCSV.h"

#include "platform/AtomicFile.h"
#include "platform/Csv.h"
#include "platform/NumberFormat.h"

#include <array>

namespace quelva {

namespace {

constexpr std::array<const char16_t*, 12> kCabecera = {
    u"Tipo IFC",     u"Tipo (nombre)", u"Especialidad",     u"Nombre",
    u"Densidad (kg/m³)", u"Ancho (m)", u"Alto (m)",         u"Largo (m)",
    u"Volumen (m³)", u"Área planta (m²)", u"Área cara (m²)", u"Peso (kg)",
};

// Digits with at most one decimal point or comma, after an optional sign.
bool esNumeroDecimal(const QString& t)
{
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    bool digitos = false;
    bool separador = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9')
            digitos = true;
        else if ((c == u'.' || c == u',') && !separador)
            separador = true;
        else
            return false;
    }
    return digitos;
}

QString numero(float valor, int decimales)
{
    return QString::fromLatin1(platform::fixedText(double(valor), decimales));
}

}  // namespace

QString protegerFormula(const QString& texto)
{
    if (texto.isEmpty())
        return texto;
    const QChar c = texto.front();
    const bool arriesgado = c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
    if (!arriesgado || esNumeroDecimal(texto))
        return texto;
    return QLatin1Char('\'') + texto;
}

QByteArray textoCSV(const std::vector<const GrupoQTO*>& grupos, const QStringList& extras)
{
    using platform::CsvQuoting;
    platform::CsvWriter::Options opciones;
    opciones.quoting = CsvQuoting::always;
    platform::CsvWriter csv(opciones);

    for (const char16_t* titulo : kCabecera)
        csv.addCell(QString::fromUtf16(titulo));
    for (const QString& clave : extras)
        csv.addCell(protegerFormula(clave));
    csv.endRow();

    std::vector<std::string> claves;
    for (const QString& clave : extras)
        claves.push_back(clave.toStdString());
    // Keys looked up once per store, not once per item.
    const AlmacenPropiedadesQTO* almacen = nullptr;
    std::vector<AlmacenPropiedadesQTO::ClaveId> ids(claves.size(), AlmacenPropiedadesQTO::kSinClave);

    for (const GrupoQTO* g : grupos)
        for (const ItemQTO& i : g->items) {
            csv.addCell(protegerFormula(i.tipoIFC));
            csv.addCell(protegerFormula(i.tipoNombre));
            csv.addCell(protegerFormula(i.especialidad));
            csv.addCell(protegerFormula(i.nombre));
            csv.addCell(numero(i.densidad, 0));
            csv.addCell(numero(i.dx, 4));
            csv.addCell(numero(i.dy, 4));
            csv.addCell(numero(i.dz, 4));
            csv.addCell(numero(i.volumen(), 4));
            csv.addCell(numero(i.areaPlanta(), 4));
            csv.addCell(numero(i.areaCara(), 4));
            csv.addCell(numero(i.peso(), 2));
            if (i.propiedades.almacen() != almacen && i.propiedades.almacen()) {
                almacen = i.propiedades.almacen();
                for (size_t k = 0; k < claves.size(); ++k)
                    ids[k] = almacen->buscarClave(claves[k]);
            }
            for (size_t k = 0; k < claves.size(); ++k) {
                const std::optional<std::string_view> v = i.propiedades.valor(ids[k]);
                csv.addCell(v && !valorPropiedadVacio(*v)
                                ? protegerFormula(QString::fromUtf8(v->data(), qsizetype(v->size())))
                                : QString());
            }
            csv.endRow();
        }
    return csv.toUtf8();
}

QString nombreArchivoCSV(qint64 segundosUnix)
{
    return QStringLiteral("QUELVA_QTO_%1.csv").arg(segundosUnix);
}

std::optional<QString> escribirCSV(const QString& ruta, const QByteArray& bytes)
{
    return platform::replaceFileAtomically(ruta, bytes);
}

}  // namespace quelva
