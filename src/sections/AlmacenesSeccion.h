#pragma once

#include "sections/Seccion2D.h"

#include <QObject>
#include <QString>

#include <map>
#include <vector>

namespace quelva {

// Dimensions of each 2D drawing, keyed by the window title, kept between
// openings of the same section. Changes publish nothing.
class AlmacenCotas : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::map<QString, std::vector<Cota2D>> porTitulo;
};

// Label states of each 2D drawing, keyed by the window title.
class AlmacenEtiquetas : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::map<QString, std::vector<Etiqueta2D>> porTitulo;
};

}  // namespace quelva
