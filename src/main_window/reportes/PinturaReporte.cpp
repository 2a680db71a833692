#include "main_window/reportes/PinturaReporte.h"

#include "platform/Symbols.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace quelva::reporte {

QColor conAlfa(QColor c, double alfa)
{
    c.setAlphaF(float(alfa));
    return c;
}

QFont fuente(const QFont& base, int px, QFont::Weight peso, bool mono)
{
    QFont f = base;
    if (mono) {
        f.setFamily(QStringLiteral("DejaVu Sans Mono"));
        f.setStyleHint(QFont::Monospace);
    }
    f.setPixelSize(px);
    f.setWeight(peso);
    return f;
}

QString dosLineas(const QString& texto, const QFontMetrics& m, int ancho)
{
    if (m.horizontalAdvance(texto) <= ancho)
        return texto;
    int n = 1;
    while (n < texto.size() && m.horizontalAdvance(texto.left(n + 1)) <= ancho)
        ++n;
    // Never between the two halves of a character outside the basic plane.
    if (n < texto.size() && texto[n].isLowSurrogate() && n > 1)
        --n;
    return texto.left(n) + QLatin1Char('\n') + m.elidedText(texto.mid(n), Qt::ElideRight, ancho);
}

void pintarTarjeta(QPainter& p, const QFont& base, const QRectF& r, const Tarjeta& t, int pxNumero)
{
    QPainterPath forma;
    forma.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    p.fillPath(forma, conAlfa(t.color, 0.08));
    p.setPen(QPen(conAlfa(t.color, 0.2), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(forma);
    platform::paintSymbol(p, QRectF(r.center().x() - 11, r.top() + 14, 22, 22), t.simbolo, t.colorSimbolo);
    const int altoNumero = pxNumero + 8;
    p.setPen(kPrimario);
    p.setFont(fuente(base, pxNumero, QFont::Bold, true));
    p.drawText(QRectF(r.left(), r.top() + 40, r.width(), altoNumero), Qt::AlignCenter, QString::number(t.numero));
    p.setPen(kSecundario);
    p.setFont(fuente(base, 11));
    p.drawText(QRectF(r.left(), r.top() + 44 + altoNumero, r.width(), 16), Qt::AlignCenter, t.etiqueta);
}

void pintarMiniatura(QPainter& p, QPoint origen, const QImage* imagen, int fase, const QPen& borde)
{
    const QRect miniatura(origen, QSize(180, 118));
    QPainterPath forma;
    forma.addRoundedRect(QRectF(miniatura), 6, 6);
    p.save();
    p.setClipPath(forma, Qt::IntersectClip);
    if (imagen && !imagen->isNull()) {
        p.drawImage(miniatura, *imagen);
    } else {
        p.fillRect(miniatura, QColor::fromRgbF(0.14f, 0.14f, 0.14f));
        // Eight dots, one brighter, turning.
        const QPointF c = QRectF(miniatura).center();
        p.setPen(Qt::NoPen);
        for (int d = 0; d < 8; ++d) {
            const double ang = d * M_PI / 4;
            p.setBrush(QColor(255, 255, 255, d == fase ? 220 : 70));
            p.drawEllipse(c + QPointF(7 * std::cos(ang), 7 * std::sin(ang)), 1.6, 1.6);
        }
    }
    p.restore();
    p.setPen(borde);
    p.setBrush(Qt::NoBrush);
    p.drawPath(forma);
}

void pintarTituloLista(QPainter& p, const QFont& base, QRect linea, const QString& simbolo, const QColor& color,
                       const QString& titulo, const QString& conteo)
{
    platform::paintSymbol(p, QRectF(linea.left(), linea.top() + 4, 14, 14), simbolo, color);
    p.setPen(color);
    p.setFont(fuente(base, 13, QFont::DemiBold));
    p.drawText(QRect(linea.left() + 20, linea.top(), 300, linea.height()), Qt::AlignLeft | Qt::AlignVCenter, titulo);
    p.setPen(kSecundario);
    p.setFont(fuente(base, 11));
    p.drawText(QRect(linea.right() + 1 - 200, linea.top(), 200, linea.height()), Qt::AlignRight | Qt::AlignVCenter,
               conteo);
}

void pintarPie(QPainter& p, const QFont& base, QRect linea, const QString& izquierda, const QString& derecha)
{
    const int mitad = linea.width() / 2;
    p.setPen(kSecundario);
    p.setFont(fuente(base, 11));
    p.drawText(QRect(linea.left(), linea.top(), mitad, linea.height()), Qt::AlignLeft | Qt::AlignVCenter, izquierda);
    p.setPen(kTerciario);
    p.setFont(fuente(base, 10));
    p.drawText(QRect(linea.left() + mitad, linea.top(), linea.width() - mitad, linea.height()),
               Qt::AlignRight | Qt::AlignVCenter, derecha);
}

}  // namespace quelva::reporte
