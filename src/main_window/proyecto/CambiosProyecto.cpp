// Unsaved work: what a save would write now, compared with what was last saved or opened; and
// the question asked before quitting or opening another project throws it away.

#include "main_window/ContentView.h"

#include "project/HuellaProyecto.h"

#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace quelva {

void ContentView::marcarSinCambios()
{
    const std::optional<QByteArray> huella = huellaProyecto(proyectoDesdeEstado(estadoAplicacion()));
    marcarSinCambios(HuellaDiferida::conocida(huella.value_or(QByteArray())));
}

void ContentView::marcarSinCambios(HuellaDiferida huella)
{
    huellaGuardada_ = std::move(huella);
}

bool ContentView::hayCambiosSinGuardar()
{
    // The document a save would write: anything not saved (camera, selection, grids) is no change.
    const std::optional<QByteArray> huella = huellaProyecto(proyectoDesdeEstado(estadoAplicacion()));
    const QByteArray guardada = huellaGuardada_.valor();
    // A state that cannot be written is not what was saved.
    return !huella || guardada.isEmpty() || *huella != guardada;
}

void ContentView::antesDeDescartarProyecto(std::function<void()> continuar)
{
    if (!hayCambiosSinGuardar()) {
        continuar();
        return;
    }
    preguntarGuardarCambios(std::move(continuar));
}

void ContentView::preguntarGuardarCambios(std::function<void()> continuar)
{
    // One question, and no second one while the save it started is still asking where to write.
    if (trasGuardar_)
        return;
    if (alertaGuardarCambios_ && alertaGuardarCambios_->isVisible()) {
        alertaGuardarCambios_->raise();
        return;
    }
    auto* alerta = new QMessageBox(QMessageBox::Warning, QStringLiteral("Guardar cambios"),
                                   QStringLiteral("¿Guardar los cambios del proyecto?"), QMessageBox::NoButton, this);
    alerta->setAttribute(Qt::WA_DeleteOnClose);
    alerta->setWindowModality(Qt::WindowModal);
    auto* guardar = alerta->addButton(QStringLiteral("Guardar"), QMessageBox::AcceptRole);
    guardar->setObjectName(QStringLiteral("botonGuardar"));
    auto* noGuardar = alerta->addButton(QStringLiteral("No guardar"), QMessageBox::DestructiveRole);
    noGuardar->setObjectName(QStringLiteral("botonNoGuardar"));
    auto* cancelar = alerta->addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    cancelar->setObjectName(QStringLiteral("botonCancelar"));
    alerta->setDefaultButton(guardar);
    alerta->setEscapeButton(cancelar);
    connect(alerta, &QMessageBox::finished, this, [this, alerta, guardar, noGuardar, continuar] {
        QAbstractButton* pulsado = alerta->clickedButton();
        // After the alert has gone: the action may close this window or open another panel.
        if (pulsado == guardar) {
            QMetaObject::invokeMethod(
                this,
                [this, continuar] {
                    trasGuardar_ = continuar;
                    guardarProyecto();
                },
                Qt::QueuedConnection);
        } else if (pulsado == noGuardar) {
            QMetaObject::invokeMethod(this, continuar, Qt::QueuedConnection);
        }
    });
    alertaGuardarCambios_ = alerta;
    alerta->open();
}

void ContentView::terminarGuardadoPedido(bool guardado)
{
    std::function<void()> continuar = std::exchange(trasGuardar_, nullptr);
    if (!guardado || !continuar)
        return;
    QPointer<ContentView> vista(this);
    QMetaObject::invokeMethod(
        this,
        [vista, continuar] {
            if (vista)
                continuar();
        },
        Qt::QueuedConnection);
}

}  // namespace quelva
