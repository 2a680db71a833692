#include "timeline/ui/ArbolPaquetes.h"

#include "timeline/ControladorTimeLiner.h"
#include "timeline/Moneda.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/NumberFormat.h"
#include "platform/Symbols.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolTip>
#include <QVBoxLayout>

namespace quelva {

namespace {

constexpr double margenFila = 4;
constexpr double anchoLapiz = 14;

bool esResumen(const PaqueteAWP& p)
{
    return p.nivel == NivelAWP::cwa || p.nivel == NivelAWP::cwp;
}

// Draws `texto` at x, vertically centred in the row, and returns where it ends.
double escribir(QPainter& p, double x, const QRectF& fila, const QString& texto, const QFont& fuente,
                const QColor& color, double limite)
{
    p.setFont(fuente);
    p.setPen(color);
    const QFontMetricsF m(fuente);
    const double ancho = std::min(m.horizontalAdvance(texto), std::max(0.0, limite - x));
    p.drawText(QRectF(x, fila.top(), ancho, fila.height()), Qt::AlignVCenter | Qt::AlignLeft,
               m.elidedText(texto, Qt::ElideRight, ancho));
    return x + ancho;
}

}  // namespace

ListaPaquetes::ListaPaquetes(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("listaPaquetes"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    actualizarFilas();
}

void ListaPaquetes::actualizarFilas()
{
    filas_ = c_.filasVisibles();
    setFixedHeight(int(filas_.size()) * ROW_H);
    updateGeometry();
    update();
}

QSize ListaPaquetes::sizeHint() const
{
    return {260, int(filas_.size()) * ROW_H};
}

QRectF ListaPaquetes::rectFila(int fila) const
{
    return QRectF(0, fila * ROW_H, width(), ROW_H);
}

QRectF ListaPaquetes::chevron(int fila) const
{
    const FilaVisible& f = filas_[std::size_t(fila)];
    const double x = margenFila + f.sangria * 10;
    return QRectF(x, fila * ROW_H, 10, ROW_H);
}

QRectF ListaPaquetes::lapiz(int fila) const
{
    return QRectF(width() - margenFila - anchoLapiz, fila * ROW_H, anchoLapiz, ROW_H);
}

int ListaPaquetes::filaEn(QPointF punto) const
{
    const int i = int(std::floor(punto.y() / ROW_H));
    return i >= 0 && i < int(filas_.size()) ? i : -1;
}

void ListaPaquetes::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int primera = std::max(0, event->rect().top() / ROW_H);
    const int ultima = std::min(int(filas_.size()) - 1, event->rect().bottom() / ROW_H);
    const std::optional<PaqueteAWP>& sel = c_.estado().seleccionado;
    const QFont fuente9 = estilo::fuente(9);
    for (int i = primera; i <= ultima; ++i) {
        const FilaVisible& f = filas_[std::size_t(i)];
        const PaqueteAWP& pkg = f.pkg;
        const QRectF fila = rectFila(i);
        if (sel && sel->id == pkg.id) {
            QPainterPath fondo;
            fondo.addRoundedRect(fila.adjusted(0, 1, 0, -1), 4, 4);
            p.fillPath(fondo, QColor(255, 255, 255, 20));
        }
        const QRectF lapizR = lapiz(i);
        const double limite = lapizR.left() - 4;
        double x = margenFila + f.sangria * 10;
        QString progreso;
        QColor colorProgreso = estilo::secundario();
        if (esResumen(pkg)) {
            if (pkg.nivel == NivelAWP::cwa) {
                const bool abierto = c_.estado().expandidosCWA.count(pkg.codigo) > 0;
                const QRectF ch = chevron(i);
                platform::paintSymbol(p, QRectF(ch.center().x() - 4, ch.center().y() - 4, 8, 8),
                                      abierto ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"),
                                      estilo::secundario());
            }
            x += 10 + 2;
            const bool cwa = pkg.nivel == NivelAWP::cwa;
            platform::paintSymbol(p, QRectF(x, fila.center().y() - 6, 12, 12),
                                  cwa ? QStringLiteral("map") : QStringLiteral("folder.fill"),
                                  estilo::sistema(cwa ? platform::SystemColor::blue : platform::SystemColor::purple));
            x += 16;
            x = escribir(p, x, fila, pkg.codigo, estilo::fuente(11, QFont::DemiBold), estilo::texto(), limite - 34) + 5;
            const double avance = c_.progresoAgregadoEfectivo(pkg);
            progreso = platform::qformat("%.0f%%", avance * 100);
            colorProgreso = estilo::colorAvance(avance, estilo::secundario());
        } else {
            x += 10 + 10;
            QPainterPath cuadro;
            cuadro.addRoundedRect(QRectF(x, fila.center().y() - 3.5, 7, 7), 2, 2);
            p.fillPath(cuadro, estilo::colorAvance(pkg.progreso, QColor::fromRgbF(0.45f, 0.45f, 0.45f)));
            x += 7 + 5;
            x = escribir(p, x, fila, pkg.codigo, estilo::fuente(10, QFont::Medium), estilo::texto(), limite - 34) + 5;
            progreso = platform::qformat("%.0f%%", c_.progresoEfectivo(pkg) * 100);
        }
        const QFontMetricsF m9(fuente9);
        const double anchoProgreso = m9.horizontalAdvance(progreso);
        const double inicioProgreso = limite - anchoProgreso;
        if (!pkg.nombre.isEmpty() && pkg.nombre != pkg.codigo)
            escribir(p, x, fila, pkg.nombre, estilo::fuente(esResumen(pkg) ? 10 : 9), estilo::secundario(),
                     inicioProgreso - 4);
        p.setFont(fuente9);
        p.setPen(colorProgreso);
        p.drawText(QRectF(inicioProgreso, fila.top(), anchoProgreso, fila.height()), Qt::AlignVCenter, progreso);
        platform::paintSymbol(p, QRectF(lapizR.left() + 1, fila.center().y() - 6, 12, 12),
                              QStringLiteral("pencil.circle"), estilo::terciario());
    }
}

bool ListaPaquetes::event(QEvent* event)
{
    // A long name ends in an ellipsis within the pane; the pointer reads it whole.
    if (event->type() == QEvent::ToolTip) {
        auto* ayuda = static_cast<QHelpEvent*>(event);
        const int i = filaEn(ayuda->pos());
        if (i < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const PaqueteAWP& pkg = filas_[std::size_t(i)].pkg;
        QString texto = pkg.codigo;
        if (!pkg.nombre.isEmpty() && pkg.nombre != pkg.codigo)
            texto += QStringLiteral(" — ") + pkg.nombre;
        QToolTip::showText(ayuda->globalPos(), texto, this, rectFila(i).toRect());
        return true;
    }
    return QWidget::event(event);
}

void ListaPaquetes::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int i = filaEn(event->position());
    if (i < 0)
        return;
    // Copies: the actions may rebuild the rows.
    const PaqueteAWP pkg = filas_[std::size_t(i)].pkg;
    if (pkg.nivel == NivelAWP::cwa && chevron(i).contains(event->position()))
        c_.alternarExpandidoCWA(pkg);
    else if (lapiz(i).contains(event->position()))
        c_.editarPaquete(pkg);
    else
        c_.seleccionarPaquete(pkg);
}

void ListaPaquetes::contextMenuEvent(QContextMenuEvent* event)
{
    const int i = filaEn(event->pos());
    if (i < 0 || !esResumen(filas_[std::size_t(i)].pkg))
        return;
    const PaqueteAWP pkg = filas_[std::size_t(i)].pkg;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menuPaquete"));
    QAction* ficha = menu.addAction(platform::symbolIcon(QStringLiteral("doc.text.magnifyingglass")),
                                    QStringLiteral("Ver Ficha AWP"));
    QAction* editar = menu.addAction(platform::symbolIcon(QStringLiteral("pencil")), QStringLiteral("Editar paquete"));
    QAction* elegida = menu.exec(event->globalPos());
    if (elegida == ficha)
        c_.abrirFicha(pkg);
    else if (elegida == editar)
        c_.editarPaquete(pkg);
}

ArbolPaquetes::ArbolPaquetes(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("arbolPaquetes"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, estilo::fondoPanel());
    setPalette(pal);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    auto* titulo = new QLabel(QStringLiteral("Jerarquía AWP").toUpper(), this);
    QFont f = estilo::fuente(11, QFont::DemiBold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    titulo->setFont(f);
    titulo->setStyleSheet(QStringLiteral("color: %1; padding: 0px 12px;").arg(estilo::secundario().name(QColor::HexArgb)));
    titulo->setFixedHeight(altoTitulo);
    col->addWidget(titulo);

    pila_ = new QStackedWidget(this);
    auto* vacio = new QWidget(pila_);
    vacio->setObjectName(QStringLiteral("sinPaquetes"));
    auto* v = new QVBoxLayout(vacio);
    v->addStretch(1);
    auto* icono = new QLabel(vacio);
    icono->setPixmap(platform::symbolPixmap(QStringLiteral("square.3.layers.3d.slash"), 36, estilo::terciario()));
    icono->setAlignment(Qt::AlignCenter);
    v->addWidget(icono);
    auto* t1 = new QLabel(QStringLiteral("Sin paquetes AWP"), vacio);
    t1->setAlignment(Qt::AlignCenter);
    t1->setStyleSheet(QStringLiteral("color: %1;").arg(estilo::secundario().name(QColor::HexArgb)));
    v->addWidget(t1);
    auto* t2 = new QLabel(QStringLiteral("Usa \"Detectar AWP\" o crea\npaquetes manualmente."), vacio);
    t2->setAlignment(Qt::AlignCenter);
    t2->setFont(estilo::fuente(10));
    t2->setStyleSheet(QStringLiteral("color: %1;").arg(estilo::terciario().name(QColor::HexArgb)));
    v->addWidget(t2);
    v->addStretch(1);
    pila_->addWidget(vacio);

    auto* desplazable = desplazable_ = new QScrollArea(pila_);
    desplazable->setObjectName(QStringLiteral("desplazamientoArbol"));
    desplazable->setFrameShape(QFrame::NoFrame);
    desplazable->setWidgetResizable(true);
    desplazable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lista_ = new ListaPaquetes(controlador);
    auto* contenedor = new QWidget;
    auto* cc = new QVBoxLayout(contenedor);
    cc->setContentsMargins(0, 0, 0, 0);
    cc->addWidget(lista_);
    cc->addStretch(1);
    desplazable->setWidget(contenedor);
    desplazable->viewport()->setAutoFillBackground(false);
    contenedor->setAutoFillBackground(false);
    pila_->addWidget(desplazable);
    col->addWidget(pila_, 1);

    auto* linea = new QFrame(this);
    linea->setFrameShape(QFrame::HLine);
    linea->setStyleSheet(QStringLiteral("color: rgba(255,255,255,30);"));
    col->addWidget(linea);

    auto* resumen = new QWidget(this);
    resumen->setObjectName(QStringLiteral("resumenIWP"));
    auto* g = new QGridLayout(resumen);
    g->setContentsMargins(12, 8, 12, 10);
    g->setVerticalSpacing(4);
    const QString etiqueta = QStringLiteral("color: %1;").arg(estilo::secundario().name(QColor::HexArgb));
    auto linea2 = [&](int fila, const QString& texto, const char* nombre) {
        auto* l = new QLabel(texto, resumen);
        l->setFont(estilo::fuente(10));
        l->setStyleSheet(etiqueta);
        auto* valor = new QLabel(resumen);
        valor->setObjectName(QString::fromLatin1(nombre));
        valor->setFont(estilo::fuente(10, QFont::Bold));
        valor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(l, fila, 0);
        g->addWidget(valor, fila, 1);
        return valor;
    };
    cuantos_ = linea2(0, QStringLiteral("Paquetes IWP"), "paquetesIWP");
    presupuesto_ = linea2(1, QStringLiteral("Presupuesto total"), "presupuestoTotal");
    avance_ = linea2(2, QStringLiteral("Avance global"), "avanceGlobal");
    barra_ = new QProgressBar(resumen);
    barra_->setObjectName(QStringLiteral("barraAvanceGlobal"));
    barra_->setRange(0, 1000);
    barra_->setTextVisible(false);
    barra_->setFixedHeight(5);
    g->addWidget(barra_, 3, 0, 1, 2);
    col->addWidget(resumen);

    refrescarConfig();
}

void ArbolPaquetes::refrescarConfig()
{
    version_ = c_.store().version();
    expandidos_ = c_.estado().expandidosCWA;
    lista_->actualizarFilas();
    pila_->setCurrentIndex(c_.config().paquetes.empty() ? 0 : 1);
    const ResumenIWP r = resumenIWP(c_.config());
    cuantos_->setText(platform::qformat("%d", r.paquetes));
    presupuesto_->setText(formatoMoneda(r.presupuesto, c_.config().moneda));
    avance_->setText(platform::qformat("%.0f%%", r.avance * 100));
    barra_->setValue(int(std::clamp(r.avance, 0.0, 1.0) * 1000));
    const QColor tinte = estilo::sistema(r.avance >= 1 ? platform::SystemColor::green : platform::SystemColor::blue);
    barra_->setStyleSheet(QStringLiteral("QProgressBar { background: rgba(255,255,255,30); border: none;"
                                         " border-radius: 2px; } QProgressBar::chunk { background: %1;"
                                         " border-radius: 2px; }")
                              .arg(tinte.name()));
}

void ArbolPaquetes::refrescar()
{
    if (version_ != c_.store().version() || expandidos_ != c_.estado().expandidosCWA)
        refrescarConfig();
    else
        lista_->update();
}

}  // namespace quelva
