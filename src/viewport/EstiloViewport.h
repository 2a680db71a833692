#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace quelva {

// Looks shared by the panels that float over the 3D view.
inline QColor colorMaterialFino() { return QColor(255, 255, 255, 150); }   // ultra-thin material
inline QColor colorFondoControl() { return QColor(255, 255, 255, 204); }   // control background at 0.8

inline QString rgba(const QColor& c)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

// A tool button with no border of its own on a rounded background.
inline QString estiloBotonPlano(const QColor& fondo, int radio, int relleno = 0)
{
    // The panels are light whatever the application's palette: their captions stay dark.
    return QStringLiteral("QToolButton { background: %1; color: rgba(0,0,0,217); border: none; border-radius: %2px;"
                          " padding: %3px; }"
                          "QToolButton:pressed { background: rgba(0,0,0,40); }")
        .arg(rgba(fondo))
        .arg(radio)
        .arg(relleno);
}

inline QFont fuenteSistema(double puntos, bool negrita = false)
{
    QFont f;
    f.setPointSizeF(puntos);
    f.setBold(negrita);
    return f;
}

}  // namespace quelva
