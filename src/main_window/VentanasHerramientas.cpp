// Secondary windows the main window opens: the quantity take-off and the timeline. They stay in
// the window lists, so a window outlives the action that opened it.

#include "main_window/ContentView.h"

#include "federation/ControladorFederacion.h"
#include "qto/ConstruirGrupos.h"
#include "qto/ui/VentanaQTO.h"
#include "timeline/ui/TimeLinerView.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace quelva {

namespace {

void mostrarCentrada(QWidget* ventana, QSize tamano)
{
    ventana->resize(tamano);
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect zona = pantalla->availableGeometry();
        ventana->move(zona.center() - QPoint(tamano.width() / 2, tamano.height() / 2));
    }
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
}

// A top-level tool window, centred, that stays alive (hidden) after it is closed.
QWidget* ventanaHerramienta(const QString& titulo, QSize tamano, QWidget* contenido)
{
    auto* ventana = new QWidget(nullptr, Qt::Window);
    ventana->setWindowTitle(titulo);
    auto* col = new QVBoxLayout(ventana);
    col->setContentsMargins(0, 0, 0, 0);
    col->addWidget(contenido);
    mostrarCentrada(ventana, tamano);
    return ventana;
}

}  // namespace

void ContentView::abrirQTO()
{
    std::vector<GrupoQTO> grupos =
        construirGrupos(federacion.especialidades, federacion.ordenEspecialidades, federacion.propiedadesIFC);
    if (grupos.empty()) {
        informarError(QStringLiteral("No hay elementos cargados para cuantificar. Vincula al menos un archivo IFC."));
        return;
    }
    auto* vista = new VentanaQTO(std::move(grupos), QDateTime::currentDateTime());
    // 870 wide, or as wide as the table's columns and type names need, within the screen.
    int ancho = std::max(870, vista->anchoPreferido());
    if (const QScreen* pantalla = QGuiApplication::primaryScreen())
        ancho = std::min(ancho, pantalla->availableGeometry().width());
    QWidget* ventana = ventanaHerramienta(QStringLiteral("Cuantificación de Elementos (QTO)"), QSize(ancho, 700), vista);
    ventanas.reportWindows.append(ventana);
}

void ContentView::abrirVentanaTimeLiner()
{
    // A window leaves the list as it closes; what is left is open, minimised or not.
    timeline.timeLinerWindows.removeAll(QPointer<QWidget>());
    for (const QPointer<QWidget>& v : timeline.timeLinerWindows) {
        if (v->isMinimized())
            v->showNormal();
        v->show();
        v->raise();
        v->activateWindow();
        return;
    }

    auto* ventana = new TimeLinerView(
        *timeLinerStore_, [this]() -> const PropiedadesPorEspecialidad& { return federacion.propiedadesIFC; },
        timeline.globalIdsPorEsp, viewport_,
        [this]() -> const std::map<QString, EspecialidadBIM>& { return federacion.especialidades; });
    // Linked or removed models: the 4D colouring looks for its nodes again.
    const auto escenaCambiada = [ventana] { ventana->controlador().escenaCambiada(); };
    connect(this, &ContentView::especialidadesCambiadas, ventana, escenaCambiada);
    connect(federacionControlador_, &ControladorFederacion::estadoCambiado, ventana, escenaCambiada);
    connect(ventana, &TimeLinerView::cerrada, this,
            [this, ventana] {
                timeline.timeLinerWindows.removeAll(QPointer<QWidget>(ventana));
                timeLinerCerrandose_.removeAll(QPointer<QWidget>());
                timeLinerCerrandose_.append(ventana);
            });
    mostrarCentrada(ventana, QSize(1200, 720));
    timeline.timeLinerWindows.append(ventana);
}

void ContentView::colorDevueltoATimeLiner(scene::Node& nodo, const QColor& color)
{
    for (const QPointer<QWidget>& v : timeline.timeLinerWindows)
        if (auto* t = qobject_cast<TimeLinerView*>(v.data()))
            t->controlador().alColorearNodo(nodo, color);
}

}  // namespace quelva
