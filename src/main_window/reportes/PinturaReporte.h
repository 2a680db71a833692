#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QFontMetrics;
class QImage;
class QPainter;

// What the painted report pages (clashes, version changes) draw alike: their dark palette, fonts,
// summary cards, picture cells, list titles and footer.
namespace quelva::reporte {

inline const QColor kPrimario(255, 255, 255, 235);
inline const QColor kSecundario(235, 235, 245, 153);
inline const QColor kTerciario(235, 235, 245, 76);
inline const QColor kFondoControl(42, 42, 46);
inline const QColor kFondoPagina(30, 30, 32);

QColor conAlfa(QColor c, double alfa);
QFont fuente(const QFont& base, int px, QFont::Weight peso = QFont::Normal, bool mono = false);

// A name on at most two lines: what fits on the first, the rest cut on the second.
QString dosLineas(const QString& texto, const QFontMetrics& m, int ancho);

// A summary card: symbol, number and label, tinted by `color`.
struct Tarjeta {
    QString simbolo;
    QColor colorSimbolo;
    QColor color;
    long long numero = 0;
    QString etiqueta;
};
void pintarTarjeta(QPainter& p, const QFont& base, const QRectF& r, const Tarjeta& t, int pxNumero);

// The 180 × 118 picture of a row at `origen`: the image when there is one, else a turning spinner
// at step `fase` (0-7); outlined in `borde`.
void pintarMiniatura(QPainter& p, QPoint origen, const QImage* imagen, int fase, const QPen& borde);

// A list's title line across `linea`: symbol and title on the left, the count on the right.
void pintarTituloLista(QPainter& p, const QFont& base, QRect linea, const QString& simbolo, const QColor& color,
                       const QString& titulo, const QString& conteo);

// The footer: what the page holds on the left, who made it and when on the right.
void pintarPie(QPainter& p, const QFont& base, QRect linea, const QString& izquierda, const QString& derecha);

}  // namespace quelva::reporte
