#include "main_window/interferencias/PanelInterferencias.h"

#include "main_window/interferencias/CabeceraAnalisis.h"

#include "clash/ControladorInterferencias.h"
#include "main_window/ContentView.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace quelva {

namespace {

using platform::SystemColor;

const QColor kSecundario(235, 235, 245, 150);
const QColor kPrimario(255, 255, 255, 235);

QString css(const QColor& c)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

QString simboloEstado(EstadoClash e)
{
    switch (e) {
    case EstadoClash::abierto: return QStringLiteral("exclamationmark.circle.fill");
    case EstadoClash::enRevision: return QStringLiteral("clock.circle.fill");
    case EstadoClash::aprobado: return QStringLiteral("checkmark.seal.fill");
    case EstadoClash::resuelto: return QStringLiteral("checkmark.circle.fill");
    }
    return {};
}

QWidget* cabeceraAnalisis(ContentView& vista, const AnalisisInterferencias& a, bool expandido, QWidget* padre)
{
    auto* cab = new CabeceraAnalisis(a, expandido, padre);
    cab->alPulsar = [v = &vista, id = a.id, expandido] {
        v->controladorInterferencias().expandirAnalisis(id, !expandido);
    };
    return cab;
}

QWidget* accionesAnalisis(ContentView& vista, const AnalisisInterferencias& a, QWidget* padre)
{
    auto* barra = new QWidget(padre);
    barra->setObjectName(QStringLiteral("accionesAnalisis"));
    auto* h = new QHBoxLayout(barra);
    h->setContentsMargins(4, 0, 0, 0);
    h->setSpacing(10);
    auto* reporte = new QToolButton(barra);
    reporte->setObjectName(QStringLiteral("verReporte"));
    reporte->setText(QStringLiteral("Ver Reporte"));
    reporte->setIcon(platform::symbolIcon(QStringLiteral("doc.text.magnifyingglass"), kPrimario));
    reporte->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    reporte->setAutoRaise(true);
    reporte->setCursor(Qt::PointingHandCursor);
    reporte->setStyleSheet(QStringLiteral("QToolButton { color: white; border: none; font-size: 11px; }"));
    QObject::connect(reporte, &QToolButton::clicked, &vista, [v = &vista, id = a.id] {
        // The analysis as it is now, found by its id.
        if (const AnalisisInterferencias* actual = v->controladorInterferencias().buscarAnalisis(id))
            v->mostrarReporteAnalisis(*actual);
    });
    h->addWidget(reporte);
    h->addStretch(1);
    auto* borrar = new QToolButton(barra);
    borrar->setObjectName(QStringLiteral("eliminarAnalisis"));
    borrar->setIcon(platform::symbolIcon(QStringLiteral("trash"), platform::systemColor(SystemColor::red)));
    borrar->setAutoRaise(true);
    borrar->setCursor(Qt::PointingHandCursor);
    borrar->setStyleSheet(QStringLiteral("QToolButton { border: none; }"));
    QObject::connect(borrar, &QToolButton::clicked, &vista, [v = &vista, id = a.id] {
        const auto& h = v->clashes.historialAnalisis;
        for (size_t k = 0; k < h.size(); ++k)
            if (h[k].id == id) {
                v->clashes.analisisPendienteEliminar = std::int64_t(k);
                v->refrescar();
                return;
            }
    });
    h->addWidget(borrar);
    return barra;
}

QWidget* seccionAnalisis(ContentView& vista, const AnalisisInterferencias& a, QWidget* padre)
{
    const bool expandido = vista.clashes.analisisExpandidos.contains(a.id);
    auto* seccion = new QWidget(padre);
    seccion->setObjectName(QStringLiteral("seccionAnalisis"));
    seccion->setProperty("analisis", a.id.toString());
    auto* col = new QVBoxLayout(seccion);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(2);
    col->addWidget(cabeceraAnalisis(vista, a, expandido, seccion));
    if (!expandido)
        return seccion;
    if (!a.interferencias.empty())
        col->addWidget(new FilasInterferencias(vista, a, seccion));
    auto* divisor = new QFrame(seccion);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFixedHeight(1);
    divisor->setStyleSheet(QStringLiteral("background: rgba(255,255,255,30); border: none;"));
    col->addSpacing(2);
    col->addWidget(divisor);
    col->addSpacing(2);
    col->addWidget(accionesAnalisis(vista, a, seccion));
    return seccion;
}

}  // namespace

QWidget* panelInterferenciasClash(ContentView& vista, QWidget* padre)
{
    auto* panel = new QWidget(padre);
    panel->setObjectName(QStringLiteral("panelInterferencias"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(6);

    int conModelo = 0;
    for (const auto& [clave, esp] : vista.federacion.especialidades)
        conModelo += esp.nodoRaiz != nullptr;

    if (vista.clashes.detectando) {
        auto* fila = new QWidget(panel);
        fila->setObjectName(QStringLiteral("analizando"));
        auto* h = new QHBoxLayout(fila);
        h->setContentsMargins(0, 0, 0, 0);
        auto* giro = new QProgressBar(fila);
        giro->setRange(0, 0);
        giro->setTextVisible(false);
        giro->setFixedSize(40, 8);
        h->addWidget(giro);
        auto* t = new QLabel(QStringLiteral("Analizando..."), fila);
        t->setStyleSheet(QStringLiteral("color: %1; font-size: 12px;").arg(css(kSecundario)));
        h->addWidget(t);
        h->addStretch(1);
        col->addWidget(fila);
    } else {
        auto* nueva = new QPushButton(platform::symbolIcon(QStringLiteral("exclamationmark.triangle"), Qt::white),
                                      QStringLiteral("Nueva detección"), panel);
        nueva->setObjectName(QStringLiteral("nuevaDeteccion"));
        nueva->setCursor(Qt::PointingHandCursor);
        nueva->setEnabled(conModelo >= 2);
        nueva->setStyleSheet(QStringLiteral("QPushButton { background: rgba(255,255,255,28); color: white; border: none;"
                                            " border-radius: 4px; padding: 3px 8px; font-size: 11px; }"
                                            "QPushButton:hover { background: rgba(255,255,255,45); }"
                                            "QPushButton:disabled { color: rgba(235,235,245,80); }"));
        QObject::connect(nueva, &QPushButton::clicked, &vista,
                         [v = &vista] { v->controladorInterferencias().prepararAnalisis(); });
        col->addWidget(nueva, 0, Qt::AlignLeft);
    }
    for (const AnalisisInterferencias& a : vista.clashes.historialAnalisis)
        col->addWidget(seccionAnalisis(vista, a, panel));
    return panel;
}

// ---------------------------------------------------------------------------------------------

FilasInterferencias::FilasInterferencias(ContentView& vista, const AnalisisInterferencias& analisis, QWidget* parent)
    : QWidget(parent), vista_(vista), analisis_(analisis.id)
{
    setObjectName(QStringLiteral("filasInterferencias"));
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(false);
    filas_.reserve(analisis.interferencias.size());
    for (const Interferencia& i : analisis.interferencias)
        filas_.push_back({i.id, i.nombreA, QStringLiteral("↔ ") + i.nombreB,
                          i.especialidadA + QStringLiteral(" / ") + i.especialidadB, i.estado});
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize FilasInterferencias::sizeHint() const
{
    return {200, int(filas_.size()) * kAltoFila};
}

int FilasInterferencias::filaEn(QPoint p) const
{
    if (p.y() < 0 || p.x() < 0 || p.x() >= width())
        return -1;
    const int fila = p.y() / kAltoFila;
    return fila < int(filas_.size()) ? fila : -1;
}

QString FilasInterferencias::ayudaFila(int fila) const
{
    if (fila < 0 || fila >= int(filas_.size()))
        return {};
    return textoEstadoClash(filas_[size_t(fila)].estado) + QStringLiteral(" — clic derecho para cambiar estado");
}

void FilasInterferencias::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int primera = std::max(0, event->rect().top() / kAltoFila);
    const int ultima = std::min(int(filas_.size()) - 1, event->rect().bottom() / kAltoFila);
    QFont f13 = font();
    f13.setPixelSize(13);
    QFont f12 = font();
    f12.setPixelSize(12);
    const QFontMetrics m13(f13);
    const int anchoTexto = std::max(10, width() - 15);
    for (int k = primera; k <= ultima; ++k) {
        const Fila& f = filas_[size_t(k)];
        const int y = k * kAltoFila;
        p.setPen(Qt::NoPen);
        p.setBrush(colorEstadoClash(f.estado));
        p.drawEllipse(QRectF(0, y + 5, 9, 9));
        p.setFont(f13);
        p.setPen(kPrimario);
        p.drawText(QRect(15, y + 1, anchoTexto, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   m13.elidedText(f.nombreA, Qt::ElideRight, anchoTexto));
        p.drawText(QRect(15, y + 17, anchoTexto, 16), Qt::AlignLeft | Qt::AlignVCenter,
                   m13.elidedText(f.nombreB, Qt::ElideRight, anchoTexto));
        p.setFont(f12);
        p.setPen(kSecundario);
        p.drawText(QRect(15, y + 33, anchoTexto, 15), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(f12).elidedText(f.especialidades, Qt::ElideRight, anchoTexto));
    }
}

void FilasInterferencias::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int fila = filaEn(event->position().toPoint());
    if (fila < 0)
        return;
    // The action may rebuild the sidebar (and retire this widget later): copy what it needs.
    ContentView* v = &vista_;
    const QUuid analisis = analisis_;
    const QUuid clash = filas_[size_t(fila)].id;
    v->controladorInterferencias().enfocarInterferencia(analisis, clash);
}

void FilasInterferencias::llenarMenu(QMenu& menu, int fila) const
{
    if (fila < 0 || fila >= int(filas_.size()))
        return;
    auto* titulo = new QAction(QStringLiteral("Cambiar estado"), &menu);
    QFont fb = menu.font();
    fb.setBold(true);
    titulo->setFont(fb);
    titulo->setEnabled(false);
    menu.addAction(titulo);
    menu.addSeparator();
    for (EstadoClash e : todosLosEstadosClash) {
        QAction* opcion =
            menu.addAction(platform::symbolIcon(simboloEstado(e), colorEstadoClash(e)), textoEstadoClash(e));
        opcion->setObjectName(QStringLiteral("estado_") + textoEstadoClash(e));
        QObject::connect(opcion, &QAction::triggered, &vista_,
                         [v = &vista_, analisis = analisis_, clash = filas_[size_t(fila)].id, e] {
                             v->controladorInterferencias().cambiarEstadoInterferencia(analisis, clash, e);
                         });
    }
}

void FilasInterferencias::contextMenuEvent(QContextMenuEvent* event)
{
    const int fila = filaEn(event->pos());
    if (fila < 0)
        return;
    // Not a child of the rows: a refresh while it is open retires this widget.
    QMenu menu;
    llenarMenu(menu, fila);
    menu.exec(event->globalPos());
}

bool FilasInterferencias::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* ayuda = static_cast<QHelpEvent*>(event);
        const int fila = filaEn(ayuda->pos());
        if (fila >= 0)
            QToolTip::showText(ayuda->globalPos(), ayudaFila(fila), this, rectFila(fila));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

}  // namespace quelva
