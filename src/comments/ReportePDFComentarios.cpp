#include "comments/ReportePDFComentarios.h"

#include "platform/AtomicFile.h"
#include "platform/NumberFormat.h"
#include "platform/UserDate.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace quelva {

namespace {

constexpr double kAltoPagina = 842;
const QString kPunto = QString(QChar(0x00B7));

// Positions are given bottom-up, as on the page; Qt draws top-down.
double y(double desdeAbajo)
{
    return kAltoPagina - desdeAbajo;
}

QFont fuente(bool negrita, double tamano)
{
    QFont f(QStringLiteral("Helvetica"));
    f.setBold(negrita);
    f.setPointSizeF(tamano);
    return f;
}

QColor gris(double v, double alfa = 1.0)
{
    return QColor::fromRgbF(static_cast<float>(v), static_cast<float>(v), static_cast<float>(v),
                            static_cast<float>(alfa));
}

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

// One line, never wrapped: its baseline starts at (x, desdeAbajo).
void texto(QPainter& p, const QString& t, bool negrita, double tamano, const QColor& c, double x, double desdeAbajo)
{
    p.setFont(fuente(negrita, tamano));
    p.setPen(c);
    p.drawText(QPointF(x, y(desdeAbajo)), t);
}

double anchoLogo(const QImage& logo, double alto)
{
    return alto * logo.width() / std::max(1, logo.height());
}

// (x, desdeAbajo) is the logo's lower-left corner.
void logo(QPainter& p, const QImage& img, double x, double desdeAbajo, double alto)
{
    if (img.isNull())
        return;
    p.drawImage(QRectF(x, y(desdeAbajo + alto), anchoLogo(img, alto), alto), img);
}

void portada(QPainter& p, const std::vector<ComentarioMarkup>& comentarios, const OpcionesPDFComentarios& o)
{
    p.fillRect(QRectF(0, 0, 595, 842), rgb(0.1, 0.1, 0.12));
    logo(p, o.logo, 36, 471, 64);
    texto(p, QStringLiteral("Reporte de Comentarios"), true, 22, gris(0.92), 36, 445);
    texto(p,
          platform::qformat("%lld", static_cast<long long>(comentarios.size())) + QStringLiteral(" comentario(s)  ")
              + kPunto + QStringLiteral("  ") + platform::formatUserDate(o.ahora, platform::DateStyle::long_),
          false, 12, gris(0.52), 36, 421);
}

void paginaComentario(QPainter& p, const ComentarioMarkup& c, const OpcionesPDFComentarios& o)
{
    p.fillRect(QRectF(0, 0, 595, 842), rgb(0.12, 0.12, 0.13));
    p.fillRect(QRectF(0, 0, 595, 58), rgb(0.18, 0.18, 0.2));
    texto(p, c.tag, true, 18, rgb(1.0, 0.85, 0.1), 36, 802);
    if (!c.descripcion.isEmpty())
        texto(p, c.descripcion, true, 13, gris(0.92), 144, 806);
    const QString separador = QStringLiteral("   ") + kPunto + QStringLiteral("   ");
    texto(p,
          c.autor + separador
              + platform::formatUserDate(c.fecha, platform::DateStyle::medium, platform::DateStyle::short_),
          false, 9, gris(0.55), 144, 791);
    if (!o.logo.isNull())
        logo(p, o.logo, 559 - anchoLogo(o.logo, 32), 797, 32);

    double cursor = 768;
    const QImage captura = c.imagenJPEG ? QImage::fromData(*c.imagenJPEG, "JPEG") : QImage();
    if (!captura.isNull()) {
        const CajaCaptura caja = cajaCaptura(captura.size());
        const QRectF destino(caja.x, y(caja.yInferior + caja.alto), caja.ancho, caja.alto);
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(destino, captura);
        p.restore();
        p.setPen(QPen(gris(1.0, 0.1), 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(destino);
        cursor = caja.yInferior - 14;
    }

    QStringList conteos;
    if (!c.trazados.empty())
        conteos << platform::qformat("%lld", static_cast<long long>(c.trazados.size())) + QStringLiteral(" trazo(s)");
    if (!c.textos.empty())
        conteos << platform::qformat("%lld", static_cast<long long>(c.textos.size())) + QStringLiteral(" texto(s)");
    if (!conteos.isEmpty()) {
        texto(p, conteos.join(separador), false, 9, gris(0.45), 36, cursor - 12);
        cursor -= 26;
    }

    p.setPen(QPen(gris(1.0, 0.08), 0.5));
    p.drawLine(QPointF(36, y(cursor - 8)), QPointF(559, y(cursor - 8)));
    texto(p,
          QStringLiteral("Generado por QUELVA  ") + kPunto + QStringLiteral("  ")
              + platform::formatUserDate(o.ahora, platform::DateStyle::short_, platform::DateStyle::short_),
          false, 7, gris(0.4), 36, 14);
}

}  // namespace

CajaCaptura cajaCaptura(QSize imagen)
{
    const double a = static_cast<double>(imagen.width()) / std::max(1, imagen.height());
    const double alto = std::min(523.0 / a, 340.0);
    // A tall image keeps its proportions inside the 340-point box.
    const double ancho = std::min(523.0, alto * a);
    return {36, 768 - alto, ancho, alto};
}

std::optional<QString> escribirPDFComentarios(const QString& destino, const std::vector<ComentarioMarkup>& comentarios,
                                              const OpcionesPDFComentarios& opciones)
{
    platform::AtomicFileWriter archivo;
    if (auto error = archivo.open(destino))
        return error;
    {
        QPdfWriter pdf(archivo.device());
        pdf.setResolution(72);
        // A4 as whole points, so the pages measure exactly 595 × 842.
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(595, 842), QPageSize::Point, QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        pdf.setCreator(QStringLiteral("QUELVA"));
        QPainter p;
        if (!p.begin(&pdf))
            return QStringLiteral("No se pudo crear el documento PDF.");
        portada(p, comentarios, opciones);
        for (const ComentarioMarkup& c : comentarios) {
            pdf.newPage();
            paginaComentario(p, c, opciones);
        }
        if (!p.end())
            return QStringLiteral("No se pudo terminar el documento PDF.");
    }
    return archivo.commit();
}

}  // namespace quelva
