#include "app/TemaVisual.h"

#include "platform/SystemColors.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace quelva {

void aplicarTemaVisual(QApplication& app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QColor fondo(0x23, 0x23, 0x27);
    const QColor base(0x1c, 0x1c, 0x1f);
    const QColor texto(0xf2, 0xf2, 0xf7);
    const QColor acento = platform::systemColor(platform::SystemColor::blue);

    QPalette p;
    p.setColor(QPalette::Window, fondo);
    p.setColor(QPalette::WindowText, texto);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, fondo);
    p.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3f));
    p.setColor(QPalette::ToolTipText, texto);
    p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
    p.setColor(QPalette::Text, texto);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3f));
    p.setColor(QPalette::ButtonText, texto);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, acento);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, acento.lighter(120));
    p.setColor(QPalette::Mid, QColor(0x8e, 0x8e, 0x93));
    p.setColor(QPalette::Dark, QColor(0x16, 0x16, 0x18));
    p.setColor(QPalette::Light, QColor(0x48, 0x48, 0x4e));
    for (auto rol : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, rol, QColor(0x6e, 0x6e, 0x73));
    app.setPalette(p);
}

}  // namespace quelva
