// Draws the product logo (resource "logoQUELVA") into the PNG file named on
// the command line: a blue tile holding a see-through cube.
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const int size = 512;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient fondo(0, 0, size, size);
    fondo.setColorAt(0, QColor(64, 156, 255));
    fondo.setColorAt(1, QColor(0, 88, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(fondo);
    p.drawRoundedRect(QRectF(16, 16, size - 32, size - 32), 112, 112);

    // Isometric cube: hexagon outline, the three front edges solid, the hidden ones dashed.
    const QPointF c(256, 266);
    const double r = 150;
    const QPointF top(c.x(), c.y() - r), bottom(c.x(), c.y() + r);
    const QPointF ul(c.x() - r * 0.866, c.y() - r / 2), ur(c.x() + r * 0.866, c.y() - r / 2);
    const QPointF ll(c.x() - r * 0.866, c.y() + r / 2), lr(c.x() + r * 0.866, c.y() + r / 2);

    QPainterPath caraSuperior;
    caraSuperior.moveTo(top);
    caraSuperior.lineTo(ur);
    caraSuperior.lineTo(c);
    caraSuperior.lineTo(ul);
    caraSuperior.closeSubpath();
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawPath(caraSuperior);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 10, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    // In this projection the hidden corner falls on the centre too.
    p.drawLine(c, ll);
    p.drawLine(c, top);
    p.drawLine(c, lr);

    p.setPen(QPen(Qt::white, 18, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath hex;
    hex.moveTo(top);
    hex.lineTo(ur);
    hex.lineTo(lr);
    hex.lineTo(bottom);
    hex.lineTo(ll);
    hex.lineTo(ul);
    hex.closeSubpath();
    p.drawPath(hex);
    p.drawLine(c, ul);
    p.drawLine(c, ur);
    p.drawLine(c, bottom);
    p.end();
    return img.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
