// Secondary windows the main window opens: the quantity take-off and the timeline. They stay in
// the window lists, so a window outlives the action that opened it.

#include "main_window/ContentView.h"

#include "qto/ConstruirGrupos.h"
#include "qto/ui/VentanaQTO.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace quelva {

namespace {

// A top-level tool window, centred, that stays alive (hidden) after it is closed.
QWidget* ventanaHerramienta(const QString& titulo, QSize tamano, QWidget* contenido)
{
    auto* ventana = new QWidget(nullptr, Qt::Window);
    ventana->setWindowTitle(titulo);
    ventana->resize(tamano);
    auto* col = new QVBoxLayout(ventana);
    col->setContentsMargins(0, 0, 0, 0);
    col->addWidget(contenido);
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect zona = pantalla->availableGeometry();
        ventana->move(zona.center() - QPoint(tamano.width() / 2, tamano.height() / 2));
    }
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
    return ventana;
}

QLabel* contenidoPendiente(const QString& texto)
{
    auto* l = new QLabel(texto);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(QStringLiteral("color: rgba(235,235,245,150); font-size: 14px;"));
    return l;
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
    QWidget* ventana = ventanaHerramienta(QStringLiteral("Cuantificación de Elementos (QTO)"), QSize(870, 700), vista);
    ventanas.reportWindows.append(ventana);
}

void ContentView::abrirVentanaTimeLiner()
{
    for (const QPointer<QWidget>& v : timeline.timeLinerWindows)
        if (v && v->isVisible()) {
            v->raise();
            v->activateWindow();
            return;
        }
    // None is visible: the closed ones leave the list.
    for (const QPointer<QWidget>& v : timeline.timeLinerWindows)
        if (v)
            v->deleteLater();
    timeline.timeLinerWindows.clear();

    QWidget* ventana = ventanaHerramienta(QStringLiteral("Timeline / Control de Obra — QUELVA"), QSize(1200, 720),
                                          contenidoPendiente(QStringLiteral("Timeline / Control de Obra")));
    timeline.timeLinerWindows.append(ventana);
}

}  // namespace quelva
