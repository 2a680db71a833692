#include "viewport/IconoSimbolo.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quelva {

namespace {

// Figures drawn in a 16 x 16 box.
void dibujarFlecha(QPainter& p, double angulo)
{
    p.save();
    p.translate(8, 8);
    p.rotate(angulo);
    p.drawLine(QPointF(0, 4), QPointF(0, -4));
    p.drawLine(QPointF(0, -4), QPointF(-3, -1));
    p.drawLine(QPointF(0, -4), QPointF(3, -1));
    p.restore();
}

void dibujarTijeras(QPainter& p, bool relleno)
{
    if (relleno)
        p.setBrush(p.pen().color());
    p.drawEllipse(QPointF(4.5, 12), 2.3, 2.3);
    p.drawEllipse(QPointF(11.5, 12), 2.3, 2.3);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(6, 10.3), QPointF(12, 1.5));
    p.drawLine(QPointF(10, 10.3), QPointF(4, 1.5));
}

void dibujar(QPainter& p, const QString& nombre, const QColor& color)
{
    QPen lapiz(color, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(lapiz);
    p.setBrush(Qt::NoBrush);
    const QRectF cuadro(2, 2, 12, 12);
    if (nombre == QLatin1String("scope")) {
        p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
        p.drawLine(QPointF(8, 0.5), QPointF(8, 4.5));
        p.drawLine(QPointF(8, 11.5), QPointF(8, 15.5));
        p.drawLine(QPointF(0.5, 8), QPointF(4.5, 8));
        p.drawLine(QPointF(11.5, 8), QPointF(15.5, 8));
        p.setBrush(color);
        p.drawEllipse(QPointF(8, 8), 1, 1);
    } else if (nombre == QLatin1String("scissors") || nombre == QLatin1String("scissors.fill")) {
        dibujarTijeras(p, nombre.endsWith(QLatin1String(".fill")));
    } else if (nombre == QLatin1String("arrow.up.square")) {
        p.drawRoundedRect(cuadro, 2.5, 2.5);
        dibujarFlecha(p, 0);
    } else if (nombre == QLatin1String("arrow.left.square")) {
        p.drawRoundedRect(cuadro, 2.5, 2.5);
        dibujarFlecha(p, -90);
    } else if (nombre == QLatin1String("arrow.right.square")) {
        p.drawRoundedRect(cuadro, 2.5, 2.5);
        dibujarFlecha(p, 90);
    } else if (nombre == QLatin1String("rectangle.portrait") || nombre == QLatin1String("rectangle.portrait.fill")) {
        if (nombre.endsWith(QLatin1String(".fill")))
            p.setBrush(color);
        p.drawRoundedRect(QRectF(4, 1.5, 8, 13), 1.5, 1.5);
    } else if (nombre == QLatin1String("view.3d")) {
        const QPointF frente[] = {{2, 5.5}, {10.5, 5.5}, {10.5, 14}, {2, 14}};
        const QPointF atras[] = {{5.5, 2}, {14, 2}, {14, 10.5}, {5.5, 10.5}};
        p.drawPolygon(frente, 4);
        p.drawPolyline(atras, 3);
        for (int i = 0; i < 3; ++i)
            p.drawLine(frente[i], atras[i]);
    } else if (nombre == QLatin1String("info.circle")) {
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.drawLine(QPointF(8, 7), QPointF(8, 11.5));
        p.setBrush(color);
        p.drawEllipse(QPointF(8, 4.7), 0.6, 0.6);
    } else {
        p.drawEllipse(QPointF(8, 8), 5, 5);
    }
}

}  // namespace

QIcon iconoSimbolo(const QString& nombre, int puntos, const QColor& color)
{
    const qreal escala = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap imagen(QSize(puntos, puntos) * escala);
    imagen.setDevicePixelRatio(escala);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(puntos / 16.0, puntos / 16.0);
    dibujar(p, nombre, color);
    p.end();
    return QIcon(imagen);
}

}  // namespace quelva
