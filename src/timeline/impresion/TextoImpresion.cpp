#include "timeline/impresion/TextoImpresion.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

// A glyph of a colour bitmap font (the emoji font) has a picture and no outline.
bool esDeColor(const QGlyphRun& tramo)
{
    const QRawFont f = tramo.rawFont();
    for (const quint32 g : tramo.glyphIndexes())
        if (!f.boundingRect(g).isEmpty())
            return f.pathForGlyph(g).isEmpty();
    return false;
}

// A PDF embeds the emoji font without its pictures, so colour emoji come out blank: the text
// stays as it is (selectable, its spacing kept) and the pictures go over the blanks.
void pintarEmoji(QPainter& p, const QRectF& caja, int banderas, const QString& texto, const QFont& fuente)
{
    if (std::none_of(texto.begin(), texto.end(), [](QChar c) { return c.isSurrogate() || c.unicode() >= 0x2190; }))
        return;
    QTextLayout capa(texto, fuente, p.device());
    capa.beginLayout();
    QTextLine linea = capa.createLine();
    capa.endLayout();
    if (!linea.isValid())
        return;
    // Where drawText put the line.
    const QRectF puesta = QFontMetricsF(fuente, p.device()).boundingRect(caja, banderas, texto);
    const QPointF origen(puesta.left() - linea.naturalTextRect().left(), caja.top());
    for (const QGlyphRun& tramo : capa.glyphRuns()) {
        if (!esDeColor(tramo))
            continue;
        const QRectF marco = tramo.boundingRect();
        // The picture at four times the page's resolution: the font itself at that size, as
        // a scaled painter draws no bitmap glyphs.
        constexpr double escala = 4;
        QRawFont grande = tramo.rawFont();
        grande.setPixelSize(grande.pixelSize() * escala);
        QList<QPointF> posiciones;
        for (const QPointF& punto : tramo.positions())
            posiciones.append((punto - marco.topLeft()) * escala);
        QGlyphRun ampliado = tramo;
        ampliado.setRawFont(grande);
        ampliado.setPositions(posiciones);
        QImage imagen((marco.size() * escala).toSize() + QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
        imagen.fill(Qt::transparent);
        QPainter q(&imagen);
        q.drawGlyphRun(QPointF(0, 0), ampliado);
        q.end();
        p.drawImage(QRectF(origen + marco.topLeft(), QSizeF(imagen.size()) / escala), imagen);
    }
}

}  // namespace

QFont fuenteImpresion(double puntos, QFont::Weight peso)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(puntos);
    f.setWeight(peso);
    return f;
}

QFont fuenteFicha(double puntos, QFont::Weight peso)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(puntos))));
    f.setWeight(peso);
    return f;
}

void textoEnCaja(QPainter& p, const QRectF& caja, const QString& texto, const QFont& fuente, const QColor& color,
                 Qt::Alignment alineacion)
{
    if (texto.isEmpty() || caja.width() <= 0)
        return;
    p.setFont(fuente);
    p.setPen(color);
    const QFontMetricsF m(fuente, p.device());
    const QString visible = m.horizontalAdvance(texto) > caja.width()
                                ? m.elidedText(texto, Qt::ElideRight, caja.width())
                                : texto;
    // Not clipped: a box taller than the text is common, a text over its box is cut above.
    const int banderas = int(alineacion | Qt::AlignTop | Qt::TextSingleLine);
    p.drawText(caja, banderas, visible);
    pintarEmoji(p, caja, banderas, visible, fuente);
}

QColor gris(double g)
{
    return QColor::fromRgbF(float(g), float(g), float(g));
}

QColor blancoAlfa(double alfa)
{
    return QColor::fromRgbF(1, 1, 1, float(alfa));
}

QColor conAlfa(QColor color, double alfa)
{
    color.setAlphaF(float(alfa));
    return color;
}

}  // namespace quelva
