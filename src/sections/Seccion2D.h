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

// One line of a 2D drawing: a cut line, a projection outline or a grid-axis line.
struct Segmento2D {
    Punto2D p1;
    Punto2D p2;
    QString key;  // discipline key, or "GRILLA" for a grid-axis line
    QColor color;
    bool esCorte = false;
    QString nombreElemento;  // element name (cut lines), axis tag (grid lines), empty otherwise
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

// What a project keeps of a label: the rest is rebuilt by the next cut.
struct Etiqueta2DGuardada {
    QString nombre;
    QString key;
    bool visible = false;
    Punto2D offsetTexto;
    bool operator==(const Etiqueta2DGuardada&) const = default;
};

// One dimension line of a 2D drawing.
struct Cota2D {
    QUuid id = QUuid::createUuid();
    Punto2D p1;
    Punto2D p2;
    float offsetLateral = 0;  // along the normal (uy, -ux) of p1 -> p2
    bool operator==(const Cota2D&) const = default;
};

// A saved section bookmark: axis and plane position only.
struct SeccionGuardada {
    QUuid id = QUuid::createUuid();
    QString nombre;
    int eje = 2;  // 0 = X, 1 = Y, 2 = Z
    double posicion = 0;
    bool operator==(const SeccionGuardada&) const = default;
};

}  // namespace quelva
