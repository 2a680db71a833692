#include "clash/ReporteHTML.h"

#include "platform/AtomicFile.h"
#include "platform/DateFormat.h"
#include "platform/NumberFormat.h"
#include "platform/XmlText.h"

#include <QDir>
#include <QStringList>

namespace quelva {

namespace {

const char* const kEstilos[] = {
    "  * { box-sizing: border-box; }",
    "  body { font-family: -apple-system, Helvetica, sans-serif; margin: 32px; color: #1c1c1e; font-size: 12px; "
    "background: #fff; }",
    "  .header { display: flex; justify-content: space-between; align-items: flex-start;",
    "            padding: 18px 20px; background: #f5f5f7; border-radius: 10px; margin-bottom: 20px; }",
    "  .header h1 { font-size: 20px; margin: 0 0 4px; }",
    "  .header h2 { font-size: 13px; margin: 0 0 6px; color: #555; font-weight: normal; }",
    "  .header .meta { font-size: 10px; color: #888; }",
    "  .header .brand { font-size: 11px; font-weight: bold; color: #ff9500; text-align: right; margin-top: 4px; }",
    "  .cards { display: flex; gap: 10px; margin-bottom: 20px; }",
    "  .card { flex: 1; text-align: center; padding: 12px 8px; border-radius: 8px; border: 1px solid #ddd; }",
    "  .card .n { font-size: 26px; font-weight: 700; font-variant-numeric: tabular-nums; }",
    "  .card .lbl { font-size: 10px; color: #666; margin-top: 2px; }",
    "  .card.total  { background: #fff3e0; border-color: #ff9500; }",
    "  .card.open   { background: #fdecea; border-color: #e53935; }",
    "  .card.review { background: #fff8e1; border-color: #fb8c00; }",
    "  .card.aprob  { background: #e3f2fd; border-color: #1e88e5; }",
    "  .card.solved { background: #e8f5e9; border-color: #43a047; }",
    "  table.main { width: 100%; border-collapse: collapse; font-size: 11px; }",
    "  table.main th { background: #fff3e0; color: #555; font-size: 10px; padding: 7px 10px;",
    "                   text-align: left; border-bottom: 2px solid #ffd09e; }",
    "  table.main td { padding: 7px 10px; vertical-align: middle; border-bottom: 1px solid #f0f0f0; }",
    "  table.main tr:nth-child(even) td { background: #fafafa; }",
    "  .thumb { width: 120px; height: 78px; object-fit: cover; border-radius: 5px; background: #1a1a1a;",
    "           border: 1px solid rgba(255,149,0,0.3); }",
    "  .badge { display: inline-block; padding: 2px 8px; border-radius: 4px; font-size: 10px; font-weight: 600; }",
    "  .badge.abierto    { background: #fdecea; color: #c62828; }",
    "  .badge.enrevision { background: #fff3e0; color: #e65100; }",
    "  .badge.aprobado   { background: #e3f2fd; color: #1565c0; }",
    "  .badge.resuelto   { background: #e8f5e9; color: #2e7d32; }",
    "  .pie { font-size: 10px; color: #999; margin-top: 16px; text-align: right; }",
    "  hr   { border: none; border-top: 2px solid #ff9500; margin: 0 0 20px; }",
    "  @media print { body { margin: 16px; } }",
};

QString claseInsignia(EstadoClash e)
{
    QString t = textoEstadoClash(e).toLower().remove(QLatin1Char(' '));
    t.replace(QStringLiteral("ó"), QStringLiteral("o")).replace(QStringLiteral("é"), QStringLiteral("e"));
    return t;
}

QString celdaMiniatura(const MiniaturasClash& miniaturas, const QUuid& id)
{
    const auto it = miniaturas.find(id);
    if (it == miniaturas.end() || it->second.png.isEmpty())
        return QStringLiteral("<div class='thumb'></div>");
    return QStringLiteral("<img class='thumb' src='data:image/png;base64,") +
           QString::fromLatin1(it->second.png.toBase64()) + QStringLiteral("'>");
}

}  // namespace

QString textoFechaReporteHTML(const QDateTime& fecha)
{
    return platform::formatDate(fecha, QStringLiteral("d 'de' MMMM 'de' yyyy, HH:mm"));
}

QString nombreArchivoReporteHTML(const QString& nombreAnalisis)
{
    QString n = nombreAnalisis;
    n.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char(':'), QLatin1Char('-'));
    return n + QStringLiteral(".html");
}

QString paginaReporteHTML(const AnalisisInterferencias& a, const MiniaturasClash& miniaturas)
{
    const auto e = [](const QString& s) { return platform::escapeHtml(s); };
    const QString fecha = e(textoFechaReporteHTML(a.fecha));
    long long cuentas[4] = {0, 0, 0, 0};
    for (const Interferencia& i : a.interferencias)
        ++cuentas[int(i.estado)];
    const QString total = QString::number(a.interferencias.size());

    QStringList l;
    l << QStringLiteral("<!DOCTYPE html><html lang=\"es\">") << QStringLiteral("<head><meta charset=\"UTF-8\">")
      << QStringLiteral("<style>");
    for (const char* regla : kEstilos)
        l << QString::fromUtf8(regla);
    l << QStringLiteral("</style></head><body>") << QStringLiteral("<div class=\"header\">") << QStringLiteral("  <div>")
      << QStringLiteral("    <h1>Informe de Interferencias BIM</h1>")
      << QStringLiteral("    <h2>") + e(a.nombre) + QStringLiteral("</h2>")
      << QStringLiteral("    <div class=\"meta\">Fecha: ") + fecha + QStringLiteral(" &nbsp;·&nbsp; Tolerancia: ") +
             platform::qformat("%.3f", a.tolerancia) + QStringLiteral(" m &nbsp;·&nbsp; ") + total +
             QStringLiteral(" colisiones detectadas</div>")
      << QStringLiteral("  </div>") << QStringLiteral("  <div class=\"brand\">QUELVA</div>") << QStringLiteral("</div>")
      << QStringLiteral("<div class=\"cards\">")
      << QStringLiteral("  <div class=\"card total\"><div class=\"n\">") + total +
             QStringLiteral("</div><div class=\"lbl\">Total</div></div>");
    const char* const tarjetas[4][2] = {
        {"open", "Abiertos"}, {"review", "En revisión"}, {"aprob", "Aprobados"}, {"solved", "Resueltos"}};
    for (int k = 0; k < 4; ++k)
        l << QStringLiteral("  <div class=\"card ") + QString::fromUtf8(tarjetas[k][0]) +
                 QStringLiteral("\"><div class=\"n\">") + QString::number(cuentas[k]) +
                 QStringLiteral("</div><div class=\"lbl\">") + QString::fromUtf8(tarjetas[k][1]) +
                 QStringLiteral("</div></div>");
    l << QStringLiteral("</div>") << QStringLiteral("<table class=\"main\">") << QStringLiteral("  <thead><tr>")
      << QStringLiteral("    <th>#</th><th>Vista 3D</th>") << QStringLiteral("    <th>Elemento A</th><th>Esp. A</th>")
      << QStringLiteral("    <th>Elemento B</th><th>Esp. B</th>") << QStringLiteral("    <th>Estado</th>");
    // The rows start on the line that closes the head and each ends without a line feed.
    QString filas = QStringLiteral("  </tr></thead><tbody>");
    for (size_t k = 0; k < a.interferencias.size(); ++k) {
        const Interferencia& i = a.interferencias[k];
        filas += QStringLiteral("<tr>\n  <td style=\"text-align:right;color:#999;\">") + QString::number(k + 1) +
                 QStringLiteral("</td>\n  <td>") + celdaMiniatura(miniaturas, i.id) + QStringLiteral("</td>\n  <td><b>") +
                 e(i.nombreA) + QStringLiteral("</b></td>\n  <td style=\"color:#666;\">") + e(i.especialidadA) +
                 QStringLiteral("</td>\n  <td><b>") + e(i.nombreB) + QStringLiteral("</b></td>\n  <td style=\"color:#666;\">") +
                 e(i.especialidadB) + QStringLiteral("</td>\n  <td><span class=\"badge ") + claseInsignia(i.estado) +
                 QStringLiteral("\">") + textoEstadoClash(i.estado) + QStringLiteral("</span></td>\n</tr>");
    }
    filas += QStringLiteral("</tbody></table>");
    l << filas << QStringLiteral("<div class=\"pie\">Generado por QUELVA · ") + fecha + QStringLiteral("</div>")
      << QStringLiteral("</body></html>");
    return l.join(QLatin1Char('\n'));
}

std::variant<QString, QString> escribirReporteHTML(const AnalisisInterferencias& analisis,
                                                   const MiniaturasClash& miniaturas, const QString& carpeta)
{
    const QString ruta = QDir(carpeta).filePath(nombreArchivoReporteHTML(analisis.nombre));
    if (const std::optional<QString> error =
            platform::replaceFileAtomically(ruta, paginaReporteHTML(analisis, miniaturas).toUtf8()))
        return std::variant<QString, QString>(std::in_place_index<1>, QStringLiteral("No se pudo generar el reporte: ") + *error);
    return std::variant<QString, QString>(std::in_place_index<0>, ruta);
}

}  // namespace quelva
