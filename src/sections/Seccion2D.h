#pragma once

#include <QColor>
#include <QString>
#include <QUuid>

namespace quelva {

// A point of a 2D drawing in metres: u horizontal, v vertical (upwards).
struct Punto2D {
    float u = 0;
    float v = 0;
    bool operator==(const Punto2D&) const = default;
};

// The label of one cut element in one 2D drawing.
struct Etiqueta2D {
    QUuid id = QUuid::createUuid();
    Punto2D ancla;
    Punto2D offsetTexto;
    QString nombre;
    QString tipoIFC;
    QString dimensiones;
    QString material;
    QString nivel;
    bool visible = false;
    QString key;
    QColor color;

    // Labels of two openings are the same label when this key agrees.
    QString claveFusion() const { return nombre + QLatin1Char('|') + key; }
};

// One dimension line of a 2D drawing.
struct Cota2D {
    QUuid id = QUuid::createUuid();
    Punto2D p1;
    Punto2D p2;
    float offsetLateral = 0;  // along the normal (uy, -ux) of p1 -> p2
};

// A saved section bookmark: axis and plane position only.
struct SeccionGuardada {
    QUuid id = QUuid::createUuid();
    QString nombre;
    int eje = 2;  // 0 = X, 1 = Y, 2 = Z
    double posicion = 0;
};

}  // namespace quelva
