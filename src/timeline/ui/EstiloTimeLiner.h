#pragma once

#include "platform/SystemColors.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <algorithm>
#include <cmath>

namespace quelva::estilo {

// The timeline window is dark: its texts are light on grey panes.
inline QColor texto() { return QColor(255, 255, 255, 230); }
inline QColor secundario() { return QColor(235, 235, 245, 153); }
inline QColor terciario() { return QColor(235, 235, 245, 77); }
inline QColor fondoPanel() { return QColor::fromRgbF(0.12f, 0.12f, 0.12f); }
inline QColor fondoVentana() { return QColor(30, 30, 30); }
inline QColor sistema(platform::SystemColor c) { return platform::systemColor(c); }

// The sizes are the layout's points, one pixel each, as the printed pages count them: in
// typographic points at 96 dpi every text came out a third wider than the panes made room for.
inline QFont fuente(double puntos, QFont::Weight peso = QFont::Normal)
{
    QFont f;
    f.setPixelSize(std::max(1, int(std::lround(puntos))));
    f.setWeight(peso);
    return f;
}

// Progress colour: green when done, orange when begun, else the given one.
inline QColor colorAvance(double avance, QColor sinEmpezar)
{
    if (avance >= 1)
        return sistema(platform::SystemColor::green);
    if (avance > 0)
        return sistema(platform::SystemColor::orange);
    return sinEmpezar;
}

}  // namespace quelva::estilo
