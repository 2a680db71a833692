#include "timeline/impresion/TextoImpresion.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quelva {

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
    p.drawText(caja, int(alineacion | Qt::AlignTop | Qt::TextSingleLine), visible);
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
