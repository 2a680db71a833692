#pragma once

#include "sections/Vista2DView.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace quelva {

class Vista2DController;

// A top-level 2D window, 820 × 680. Closing it hands its edits back and only hides it.
class Ventana2D : public QWidget {
    Q_OBJECT
public:
    Ventana2D(const DatosPlano2D& datos, Vista2DController* controller,
              std::function<void(const QString&)> alGuardarSeccion);

    Vista2DView* contenido() const { return contenido_; }
    Vista2DController* controller() const { return controller_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Vista2DController* controller_;  // child of this window
    Vista2DView* contenido_;
};

}  // namespace quelva
