#pragma once

#include "sections/Vista2DNSView.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace quelva {

class AlmacenCotas;
class AlmacenEtiquetas;

// Ties a 2D window to its canvas: the canvas (once made) and the hand-back of its edits.
class Vista2DController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QPointer<Vista2DNSView> nsView;
    std::function<void()> alGuardar = [] {};
};

// The hand-back of a window: the canvas's dimensions and labels go to the stores under the
// title, replacing what was there; empty lists when the controller or its canvas is gone.
std::function<void()> devolucionAlmacenes(Vista2DController* controller, const QString& titulo,
                                          AlmacenCotas* cotas, AlmacenEtiquetas* etiquetas);

}  // namespace quelva
