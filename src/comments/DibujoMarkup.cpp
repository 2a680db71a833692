#include "comments/DibujoMarkup.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

namespace quelva {

namespace {

QColor color(double r, double g, double b)
{
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 1.0f);
}

void dibujarTrazado(QPainter& p, const TrazadoMarkup& t)
{
    if (t.puntos.size() < 2)
        return;
    QPainterPath camino(QPointF(t.puntos.front().x, t.puntos.front().y));
    for (std::size_t i = 1; i < t.puntos.size(); ++i)
        camino.lineTo(t.puntos[i].x, t.puntos[i].y);
    QPen pluma(color(t.r, t.g, t.b), t.grosor, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pluma);
    p.setBrush(Qt::NoBrush);
    p.drawPath(camino);
}

void dibujarTexto(QPainter& p, const TextoMarkup& t)
{
    if (t.texto.isEmpty() || !(t.tamano > 0))
        return;
    QFont fuente = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    fuente.setBold(true);
    // Canvas points are the image's pixels: size the font in pixels, not in
    // printer points, so screen and image agree.
    fuente.setPixelSize(std::max(1, qRound(t.tamano)));
    const QFontMetricsF medidas(fuente);
    QPainterPath camino;
    // Placed by its top-left corner: the baseline sits one ascent lower.
    camino.addText(QPointF(t.x, t.y + medidas.ascent()), fuente, t.texto);
    p.setPen(Qt::NoPen);
    p.setBrush(color(t.r, t.g, t.b));
    p.drawPath(camino);
    // Filled and outlined: a black line 2 % of the size wide.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, t.tamano * 0.02, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(camino);
}

}  // namespace

void dibujarMarkup(QPainter& p, const std::vector<TrazadoMarkup>& trazados, const std::vector<TextoMarkup>& textos,
                   const std::optional<TrazadoMarkup>& trazadoActual)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const TrazadoMarkup& t : trazados)
        dibujarTrazado(p, t);
    if (trazadoActual)
        dibujarTrazado(p, *trazadoActual);
    for (const TextoMarkup& t : textos)
        dibujarTexto(p, t);
    p.restore();
}

QImage imagenMarkup(QSize tamanoCanvas, const std::vector<TrazadoMarkup>& trazados,
                    const std::vector<TextoMarkup>& textos)
{
    if (tamanoCanvas.isEmpty())
        return {};
    QImage imagen(tamanoCanvas, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    dibujarMarkup(p, trazados, textos);
    return imagen;
}

QByteArray componerImagenComentario(const QImage& snapshot, const QImage& markup)
{
    if (snapshot.isNull())
        return {};
    QImage compuesta = snapshot.convertToFormat(QImage::Format_RGB32);
    compuesta.setDevicePixelRatio(1.0);
    if (!markup.isNull()) {
        QPainter p(&compuesta);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        QImage capa = markup;
        capa.setDevicePixelRatio(1.0);
        // The canvas covers the 3D view: its picture is stretched over the whole frame.
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(compuesta.size())), capa, QRectF(QPointF(0, 0), QSizeF(capa.size())));
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(85);
    if (!writer.write(compuesta))
        return {};
    return jpeg;
}

}  // namespace quelva
