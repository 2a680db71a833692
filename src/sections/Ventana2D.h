#pragma once

#include "sections/Seccion2D.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace quelva {

class Vista2DController;
class Vista2DNSView;

// What a 2D window opens with.
struct DatosPlano2D {
    QString titulo;
    std::vector<Segmento2D> segmentos;
    std::vector<Etiqueta2D> etiquetas;
    std::vector<Cota2D> cotas;
    std::vector<Segmento2D> segmentosGrilla;
    int eje = 2;            // where the drawing was cut, for saving it
    double posicion = 0;
};

// The content of a 2D window: the canvas, made with the drawing and fitted 0.05 s later.
class Vista2DView : public QWidget {
    Q_OBJECT
public:
    Vista2DView(const DatosPlano2D& datos, Vista2DController* controller,
                std::function<void(const QString&)> alGuardarSeccion, QWidget* parent = nullptr);

    Vista2DNSView* lienzo() const { return lienzo_; }
    const QString& titulo() const { return titulo_; }

private:
    QString titulo_;
    QPointer<Vista2DController> controller_;
    std::function<void(const QString&)> alGuardarSeccion_;
    Vista2DNSView* lienzo_ = nullptr;
};

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
