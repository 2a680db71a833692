#include "timeline/ui/PiezasHoja.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPalette>

namespace quelva::hoja {

QFont fuente(int puntos, QFont::Weight peso)
{
    QFont f = QApplication::font();
    f.setPixelSize(puntos);
    f.setWeight(peso);
    return f;
}

QColor secundario()
{
    QColor c = QApplication::palette().color(QPalette::WindowText);
    c.setAlphaF(0.6f);
    return c;
}

QFrame* divisor(QWidget* padre)
{
    auto* l = new QFrame(padre);
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Plain);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, secundario().lighter(150));
    l->setPalette(p);
    return l;
}

QLabel* etiqueta(const QString& texto, const QFont& f, const QColor& color, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    l->setFont(f);
    if (color.isValid()) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, color);
        l->setPalette(p);
    }
    return l;
}

}  // namespace quelva::hoja
