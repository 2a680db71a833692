#include "main_window/sidebar/Sidebar.h"

#include "main_window/ContentView.h"
#include "main_window/sidebar/PanelesServicios.h"
#include "main_window/sidebar/TarjetaFederacion.h"
#include "main_window/sidebar/TarjetaSeccion.h"
#include "main_window/sidebar/TarjetaTimeLiner.h"
#include "platform/Symbols.h"

#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quelva {

namespace {

QWidget* botonQTO(ContentView& vista)
{
    auto* boton = new QPushButton(platform::symbolIcon(QStringLiteral("chart.bar.doc.horizontal"), Qt::white),
                                  QStringLiteral("Cuantificación (QTO)"));
    boton->setObjectName(QStringLiteral("botonQTO"));
    boton->setFlat(true);
    boton->setCursor(Qt::PointingHandCursor);
    boton->setToolTip(QStringLiteral("Tabla de volúmenes y áreas por tipo IFC · Cmd+Shift+Q"));
    boton->setStyleSheet(QStringLiteral("QPushButton { color: white; border: none; text-align: left; padding: 2px;"
                                        " font-size: 12px; }"
                                        "QPushButton:hover { color: #9fd0ff; }"));
    QObject::connect(boton, &QPushButton::clicked, &vista, [v = &vista] { v->abrirQTO(); });
    return boton;
}

}  // namespace

Sidebar::Sidebar(ContentView& vista, QWidget* parent) : QWidget(parent), vista_(vista)
{
    setObjectName(QStringLiteral("Sidebar"));
    setMinimumWidth(290);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#Sidebar { background: #1c1c1f; } #Sidebar QLabel { color: white; }"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    col->addWidget(new CabeceraMarca(this));

    desplazable_ = new QScrollArea(this);
    desplazable_->setWidgetResizable(true);
    desplazable_->setFrameShape(QFrame::NoFrame);
    desplazable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    desplazable_->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    col->addWidget(desplazable_, 1);
    refrescar();
}

void Sidebar::refrescar()
{
    const int posicion = desplazable_->verticalScrollBar()->value();

    auto* tarjetas = new QWidget;
    tarjetas->setObjectName(QStringLiteral("tarjetasSidebar"));
    tarjetas->setStyleSheet(QStringLiteral("#tarjetasSidebar { background: transparent; }"));
    auto* col = new QVBoxLayout(tarjetas);
    col->setContentsMargins(8, 8, 8, 8);
    col->setSpacing(8);
    col->addWidget(new TarjetaSeccion(QStringLiteral("Federación de Modelos"), new TarjetaFederacion(vista_), tarjetas));
    col->addWidget(new TarjetaSeccion(std::nullopt, botonQTO(vista_), tarjetas));
    col->addWidget(new TarjetaSeccion(QStringLiteral("Comparación TRELM"), panelTRELM(vista_), tarjetas));
    col->addWidget(new TarjetaSeccion(QStringLiteral("Interferencias"), panelInterferencias(vista_), tarjetas));
    col->addWidget(new TarjetaSeccion(QStringLiteral("Sección"), panelSecciones(vista_), tarjetas));
    col->addWidget(new TarjetaSeccion(QStringLiteral("Comentarios"), panelComentarios(vista_), tarjetas));
    col->addWidget(new TarjetaSeccion(QStringLiteral("Timeline / Control de Obra"), new TarjetaTimeLiner(vista_),
                                      tarjetas));
    col->addStretch(1);

    // The old cards may hold the control whose action is running: retire them later.
    if (QWidget* viejo = desplazable_->takeWidget()) {
        viejo->hide();
        viejo->deleteLater();
    }
    desplazable_->setWidget(tarjetas);
    // Keep the reader's place once the new cards have their sizes.
    QMetaObject::invokeMethod(
        desplazable_, [barra = desplazable_->verticalScrollBar(), posicion] { barra->setValue(posicion); },
        Qt::QueuedConnection);
}

}  // namespace quelva
