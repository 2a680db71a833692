#include "main_window/sidebar/PanelesServicios.h"

#include "comments/ui/TarjetaComentarios.h"
#include "main_window/ContentView.h"
#include "main_window/interferencias/PanelInterferencias.h"
#include "platform/NumberFormat.h"
#include "platform/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

namespace {

QPushButton* botonPequeno(const QString& texto, const QString& simbolo, QWidget* padre)
{
    auto* b = new QPushButton(platform::symbolIcon(simbolo, Qt::white), texto, padre);
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet(QStringLiteral("QPushButton { background: rgba(255,255,255,28); color: white; border: none;"
                                    " border-radius: 4px; padding: 2px 8px; font-size: 11px; }"
                                    "QPushButton:hover { background: rgba(255,255,255,45); }"));
    return b;
}

QWidget* filaSlot(ContentView& vista, const QString& slot, const QString& etiqueta, const QString& archivo,
                  QWidget* padre)
{
    auto* fila = new QWidget(padre);
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    auto* texto = new QLabel(etiqueta + QStringLiteral(": ") + archivo, fila);
    texto->setStyleSheet(QStringLiteral("font-size: 11px;"));
    texto->setMinimumWidth(40);
    h->addWidget(texto, 1);
    auto* cargar = botonPequeno(QStringLiteral("Cargar"), QStringLiteral("doc.badge.plus"), fila);
    cargar->setObjectName(QStringLiteral("cargar") + slot);
    QObject::connect(cargar, &QPushButton::clicked, &vista, [v = &vista, slot] { v->cargarSlotTRELM(slot); });
    h->addWidget(cargar);
    return fila;
}

}  // namespace

QWidget* panelTRELM(ContentView& vista)
{
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("panelTRELM"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(4);
    col->addWidget(filaSlot(vista, QStringLiteral("BASE"), QStringLiteral("Base"), vista.federacion.fileNameBase, panel));
    col->addWidget(
        filaSlot(vista, QStringLiteral("NUEVO"), QStringLiteral("Nueva"), vista.federacion.fileNameNuevo, panel));
    if (vista.comparacion.trelmActivo) {
        auto* limpiar = botonPequeno(QStringLiteral("Limpiar comparación"), QStringLiteral("xmark.circle"), panel);
        limpiar->setObjectName(QStringLiteral("limpiarTRELM"));
        QObject::connect(limpiar, &QPushButton::clicked, &vista, [v = &vista] { v->pedirLimpiarTRELM(); });
        col->addWidget(limpiar, 0, Qt::AlignLeft);
    }
    return panel;
}

QWidget* panelInterferencias(ContentView& vista)
{
    return panelInterferenciasClash(vista);
}

QWidget* panelComentarios(ContentView& vista)
{
    return tarjetaComentarios(vista.controladorComentarios());
}

}  // namespace quelva
