#include "main_window/sidebar/Sidebar.h"

#include "main_window/ContentView.h"
#include "main_window/sidebar/PanelesServicios.h"
#include "main_window/sidebar/TarjetaFederacion.h"
#include "main_window/sidebar/TarjetaSeccion.h"
#include "main_window/sidebar/TarjetaTimeLiner.h"
#include "platform/Symbols.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <utility>

namespace quelva {

namespace {

// Building and styling a row of widgets under the sidebar's style sheets takes a fraction of a
// millisecond: a card with more rows than this (a hundred comments, fifty analyses) is built on
// a turn of the event loop of its own and styled a part per turn, not in one go.
constexpr qsizetype kFilasDeUnaVez = 40;
// How long one turn of the event loop may style such a card for.
constexpr qint64 kTurnoEstiloNs = 8'000'000;

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

    auto* tarjetas = new QWidget;
    tarjetas->setObjectName(QStringLiteral("tarjetasSidebar"));
    tarjetas->setStyleSheet(QStringLiteral("#tarjetasSidebar { background: transparent; }"));
    auto* columna = new QVBoxLayout(tarjetas);
    columna->setContentsMargins(8, 8, 8, 8);
    columna->setSpacing(8);
    const auto agregar = [&](TarjetaSidebar cual, const std::optional<QString>& titulo,
                             std::function<QWidget*(QWidget*)> contenido, std::function<qsizetype()> filas = {}) {
        auto* marco = new TarjetaSeccion(titulo, contenido(nullptr), tarjetas);
        columna->addWidget(marco);
        tarjetas_.push_back({cual, marco, std::move(contenido), std::move(filas), nullptr, nullptr, 0, false});
    };
    ContentView* v = &vista_;
    agregar(TarjetaSidebar::federacion, QStringLiteral("Federación de Modelos"),
            [v](QWidget* padre) { return new TarjetaFederacion(*v, padre); });
    columna->addWidget(new TarjetaSeccion(std::nullopt, botonQTO(vista_), tarjetas));
    agregar(TarjetaSidebar::comparacion, QStringLiteral("Comparación TRELM"),
            [v](QWidget* padre) { return panelTRELM(*v, padre); });
    agregar(
        TarjetaSidebar::interferencias, QStringLiteral("Interferencias"),
        [v](QWidget* padre) { return panelInterferencias(*v, padre); },
        [v] { return qsizetype(v->clashes.historialAnalisis.size()); });
    agregar(TarjetaSidebar::seccion, QStringLiteral("Sección"), [v](QWidget* padre) { return panelSecciones(*v, padre); });
    agregar(
        TarjetaSidebar::comentarios, QStringLiteral("Comentarios"),
        [v](QWidget* padre) { return panelComentarios(*v, padre); },
        [v] { return qsizetype(v->markup.comentarios.size()); });
    agregar(TarjetaSidebar::timeLiner, QStringLiteral("Timeline / Control de Obra"),
            [v](QWidget* padre) { return new TarjetaTimeLiner(*v, padre); });
    columna->addStretch(1);
    desplazable_->setWidget(tarjetas);
}

void Sidebar::refrescar()
{
    TarjetasSidebar todas;
    for (const Tarjeta& t : tarjetas_)
        todas |= t.cual;
    refrescarTarjetas(todas);
}

void Sidebar::refrescarTarjetas(TarjetasSidebar tarjetas)
{
    // Only the contents change: the column, the frames and the reader's place stay. Built in
    // its frame: moved there afterwards, every widget of a long card would be styled again.
    for (std::size_t n = 0; n < tarjetas_.size(); ++n) {
        Tarjeta& t = tarjetas_[n];
        if (!tarjetas.testFlag(t.cual))
            continue;
        // Content still being built or styled was never shown: a newer state replaces it outright.
        delete t.turno.data();
        delete t.preparando.data();
        if (!t.filas || t.filas() <= kFilasDeUnaVez) {
            mostrarContenido(t, t.contenido(t.marco));
            continue;
        }
        t.estilizadas = 0;
        t.turno = new QTimer(t.marco);
        connect(t.turno, &QTimer::timeout, this, [this, n] { prepararPorPartes(n); });
        t.turno->start(0);
    }
}

void Sidebar::prepararPorPartes(std::size_t tarjeta)
{
    Tarjeta& t = tarjetas_[tarjeta];
    if (!t.preparando) {
        t.preparando = t.contenido(t.marco);
        // Each new widget asked to be styled on the next turn, all in one go: it is done a part
        // per turn instead, between the window's other events.
        QCoreApplication::removePostedEvents(t.preparando, QEvent::PolishRequest);
        for (QWidget* w : t.preparando->findChildren<QWidget*>())
            QCoreApplication::removePostedEvents(w, QEvent::PolishRequest);
        return;
    }
    // Row by row, each with what it holds; what is styled already is not styled again on show.
    const QList<QWidget*> filas = t.preparando->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QElapsedTimer turno;
    turno.start();
    while (t.estilizadas < filas.size() && turno.nsecsElapsed() < kTurnoEstiloNs)
        filas[t.estilizadas++]->ensurePolished();
    if (t.estilizadas < filas.size())
        return;
    t.turno->stop();
    t.turno->deleteLater();
    t.turno = nullptr;
    mostrarContenido(t, std::exchange(t.preparando, nullptr));
}

void Sidebar::mostrarContenido(Tarjeta& t, QWidget* nuevo)
{
    t.marco->cambiarContenido(nuevo);
    if (std::exchange(t.mostrarAlCambiar, false))
        mostrarTarjeta(t.cual);
}

void Sidebar::mostrarTarjeta(TarjetaSidebar cual)
{
    QTimer::singleShot(0, this, [this, cual] {
        // The card's new size reaches the column and then the scroll area one posted layout
        // request after the other.
        for (int i = 0; i < 4; ++i)
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (Tarjeta& t : tarjetas_)
            if (t.cual == cual) {
                // Its new size is known once it is shown.
                if (t.turno)
                    t.mostrarAlCambiar = true;
                else
                    desplazarHasta(*t.marco);
            }
    });
}

void Sidebar::desplazarHasta(const QWidget& marco)
{
    QScrollBar* barra = desplazable_->verticalScrollBar();
    const int arriba = marco.mapTo(desplazable_->widget(), QPoint(0, 0)).y();
    const int abajo = arriba + marco.height();
    int valor = barra->value();
    valor = std::max(valor, abajo - desplazable_->viewport()->height());
    valor = std::min(valor, arriba);
    barra->setValue(valor);
}

}  // namespace quelva
