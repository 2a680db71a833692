#pragma once

#include "main_window/EstadoVentana.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace quelva {

class ViewportController;
class AlmacenCotas;
class AlmacenEtiquetas;
class GestorProyecto;
class TimeLinerStore;

// The main window's view. The whole open project lives here as state; the
// five long-lived holders are created once with the view and die with it.
class ContentView : public QWidget {
    Q_OBJECT
public:
    explicit ContentView(QWidget* parent = nullptr);
    ~ContentView() override;

    EstadoFederacion federacion;
    EstadoVinculacion vinculacion;
    EstadoEscena escena;
    EstadoEspecialidades disciplinas;
    EstadoModelosVinculados modelosVinculados;
    EstadoProyecto proyecto;
    EstadoComparacion comparacion;
    EstadoSeleccion seleccion;
    EstadoInterferencias clashes;
    EstadoVentanas ventanas;
    EstadoTimeline timeline;
    EstadoSecciones secciones;
    EstadoMedicion medicion;
    EstadoCorteCamara corteCamara;
    EstadoMarkup markup;

    ViewportController* viewport() const { return viewport_; }
    AlmacenCotas* almacenCotas() const { return almacenCotas_; }
    AlmacenEtiquetas* almacenEtiquetas() const { return almacenEtiquetas_; }
    GestorProyecto* gestor() const { return gestor_; }
    TimeLinerStore* timeLinerStore() const { return timeLinerStore_; }

    // Changes the discipline table in place and announces it once.
    void modificarEspecialidades(const std::function<void(std::map<QString, EspecialidadBIM>&)>& cambio);

    // True when any discipline has a root node, even one without models.
    bool hayModelosCargados() const;

signals:
    void especialidadesCambiadas();

private:
    // Children of this view: made in the constructor, gone with the view.
    ViewportController* viewport_ = nullptr;
    AlmacenCotas* almacenCotas_ = nullptr;
    AlmacenEtiquetas* almacenEtiquetas_ = nullptr;
    GestorProyecto* gestor_ = nullptr;
    TimeLinerStore* timeLinerStore_ = nullptr;
};

}  // namespace quelva
