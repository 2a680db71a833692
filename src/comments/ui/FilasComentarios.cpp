#include "comments/ui/FilasComentarios.h"

#include "comments/ControladorComentarios.h"
#include "comments/ui/EstiloComentarios.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "platform/TextBreaks.h"
#include "platform/UserDate.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

namespace quelva {

namespace {

constexpr int kMargenX = 6;
constexpr int kMargenY = 4;
constexpr int kEntreLineas = 3;
constexpr int kEntreFilas = 6;  // as the card's column spaces its widgets
constexpr int kBoton = 20;
constexpr int kIconoBoton = 13;
constexpr int kIconoPersona = 11;
constexpr int kEspacio = 4;
constexpr int kLineasDescripcion = 2;

QFont conPixeles(QFont f, int pixeles, bool negrita = false)
{
    f.setPixelSize(pixeles);
    f.setBold(negrita);
    return f;
}

QTextOption opcionDescripcion()
{
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return o;
}

}  // namespace

FilasComentarios::FilasComentarios(ControladorComentarios& controlador, const std::vector<ComentarioMarkup>& comentarios,
                                   QWidget* parent)
    : QWidget(parent), controlador_(controlador)
{
    setObjectName(QStringLiteral("filasComentarios"));
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
    // Only what the rows show: the pictures and drawings stay with the comments.
    filas_.reserve(comentarios.size());
    for (const ComentarioMarkup& c : comentarios)
        filas_.push_back({c.id, c.tag, c.descripcion, c.autor,
                          platform::formatUserDate(c.fecha, platform::DateStyle::short_, platform::DateStyle::short_),
                          platform::breakableAnywhere(c.descripcion)});
    QSizePolicy politica(QSizePolicy::Ignored, QSizePolicy::Preferred);
    politica.setHeightForWidth(true);
    setSizePolicy(politica);
}

QFont FilasComentarios::fuente(Parte parte) const
{
    switch (parte) {
    case Parte::tag: return conPixeles(font(), 11, true);
    case Parte::autor: return conPixeles(font(), 12);
    case Parte::descripcion:
    case Parte::fecha:
    case Parte::verDetalle:
    case Parte::eliminar: break;
    }
    return conPixeles(font(), 11);
}

int FilasComentarios::altoPrimera() const
{
    return std::max(kBoton, QFontMetrics(fuente(Parte::tag)).height());
}

int FilasComentarios::altoUltima() const
{
    return std::max({kIconoPersona, QFontMetrics(fuente(Parte::autor)).height(),
                     QFontMetrics(fuente(Parte::fecha)).height()});
}

int FilasComentarios::lineasDescripcion(const QString& descripcion, int ancho) const
{
    if (descripcion.isEmpty())
        return 0;
    QTextLayout disposicion(descripcion, fuente(Parte::descripcion));
    disposicion.setTextOption(opcionDescripcion());
    disposicion.beginLayout();
    int lineas = 0;
    while (lineas < kLineasDescripcion) {
        QTextLine linea = disposicion.createLine();
        if (!linea.isValid())
            break;
        linea.setLineWidth(std::max(1, ancho - 2 * kMargenX));
        ++lineas;
    }
    disposicion.endLayout();
    return std::max(1, lineas);
}

FilasComentarios::Disposicion FilasComentarios::disponer(int ancho) const
{
    Disposicion d;
    d.ancho = ancho;
    d.inicios.reserve(filas_.size() + 1);
    d.lineas.reserve(filas_.size());
    const int fijo = kMargenY + altoPrimera() + kEntreLineas + altoUltima() + kMargenY;
    const int linea = QFontMetrics(fuente(Parte::descripcion)).lineSpacing();
    int y = 0;
    for (const Fila& f : filas_) {
        d.inicios.push_back(y);
        const int lineas = lineasDescripcion(f.descripcionPartible, ancho);
        d.lineas.push_back(lineas);
        y += fijo + (lineas > 0 ? lineas * linea + kEntreLineas : 0) + kEntreFilas;
    }
    d.inicios.push_back(filas_.empty() ? 0 : y - kEntreFilas);
    return d;
}

const FilasComentarios::Disposicion& FilasComentarios::disposicion() const
{
    if (disposicion_.ancho != width())
        disposicion_ = disponer(width());
    return disposicion_;
}

int FilasComentarios::heightForWidth(int ancho) const
{
    return ancho == disposicion_.ancho ? disposicion_.inicios.back() : disponer(ancho).inicios.back();
}

QSize FilasComentarios::sizeHint() const
{
    return {200, heightForWidth(width() > 0 ? width() : 200)};
}

void FilasComentarios::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int antes = disposicion_.inicios.empty() ? -1 : disposicion_.inicios.back();
    // A description that now takes one line more or less: the card's height follows.
    if (disposicion().inicios.back() != antes)
        updateGeometry();
}

void FilasComentarios::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        disposicion_ = {};
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

QRect FilasComentarios::rectFila(int fila) const
{
    if (fila < 0 || fila >= cantidad())
        return {};
    const std::vector<int>& v = disposicion().inicios;
    return QRect(0, v[size_t(fila)], width(), v[size_t(fila) + 1] - v[size_t(fila)] - (fila + 1 < cantidad() ? kEntreFilas : 0));
}

QRect FilasComentarios::rectParte(int fila, Parte parte) const
{
    const QRect r = rectFila(fila);
    if (r.isNull())
        return {};
    const Fila& f = filas_[size_t(fila)];
    const int ancho = r.width() - 2 * kMargenX;
    const int primera = r.top() + kMargenY;
    const int h1 = altoPrimera();
    const QRect eliminar(r.right() + 1 - kMargenX - kBoton, primera + (h1 - kBoton) / 2, kBoton, kBoton);
    const QRect ver = eliminar.translated(-kBoton - kEspacio, 0);
    const int lineas = disposicion().lineas[size_t(fila)];
    const int altoDescripcion = lineas * QFontMetrics(fuente(Parte::descripcion)).lineSpacing();
    const int ultima = primera + h1 + kEntreLineas + (lineas > 0 ? altoDescripcion + kEntreLineas : 0);
    const int h3 = altoUltima();
    const int anchoFecha = QFontMetrics(fuente(Parte::fecha)).horizontalAdvance(f.fecha);
    const QRect fecha(r.right() + 1 - kMargenX - anchoFecha, ultima, anchoFecha, h3);
    const int xAutor = r.left() + kMargenX + kIconoPersona + kEspacio;
    switch (parte) {
    case Parte::tag: return QRect(r.left() + kMargenX, primera, std::max(0, ver.left() - kEspacio - kMargenX), h1);
    case Parte::verDetalle: return ver;
    case Parte::eliminar: return eliminar;
    case Parte::descripcion:
        return lineas > 0 ? QRect(r.left() + kMargenX, primera + h1 + kEntreLineas, ancho, altoDescripcion) : QRect();
    case Parte::autor: return QRect(xAutor, ultima, std::max(0, fecha.left() - kEspacio - xAutor), h3);
    case Parte::fecha: return fecha;
    }
    return {};
}

QString FilasComentarios::texto(int fila, Parte parte) const
{
    if (fila < 0 || fila >= cantidad())
        return {};
    const Fila& f = filas_[size_t(fila)];
    switch (parte) {
    case Parte::tag: return f.tag;
    case Parte::descripcion: return f.descripcion;
    case Parte::autor: return f.autor;
    case Parte::fecha: return f.fecha;
    case Parte::verDetalle:
    case Parte::eliminar: break;
    }
    return {};
}

int FilasComentarios::botonEn(QPoint p) const
{
    for (int fila = 0; fila < cantidad(); ++fila) {
        const QRect r = rectFila(fila);
        if (p.y() < r.top())
            return -1;
        if (p.y() > r.bottom())
            continue;
        if (rectParte(fila, Parte::verDetalle).contains(p))
            return 2 * fila;
        if (rectParte(fila, Parte::eliminar).contains(p))
            return 2 * fila + 1;
        return -1;
    }
    return -1;
}

QRect FilasComentarios::rectBoton(int boton) const
{
    if (boton < 0)
        return {};
    return rectParte(boton / 2, boton % 2 == 0 ? Parte::verDetalle : Parte::eliminar);
}

QString FilasComentarios::ayudaEn(QPoint p) const
{
    if (const int boton = botonEn(p); boton >= 0)
        return boton % 2 == 0 ? QStringLiteral("Ver detalle") : QStringLiteral("Eliminar comentario");
    for (int fila = 0; fila < cantidad(); ++fila) {
        if (!rectFila(fila).contains(p))
            continue;
        if (rectParte(fila, Parte::descripcion).contains(p))
            return texto(fila, Parte::descripcion);
        // A tag or an author too long for the row shows cut; the help gives it whole.
        for (Parte parte : {Parte::tag, Parte::autor}) {
            const QRect zona = rectParte(fila, parte);
            if (zona.contains(p) && QFontMetrics(fuente(parte)).horizontalAdvance(texto(fila, parte)) > zona.width())
                return texto(fila, parte);
        }
        return {};
    }
    return {};
}

void FilasComentarios::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFont fTag = fuente(Parte::tag), fDescripcion = fuente(Parte::descripcion), fAutor = fuente(Parte::autor),
                fFecha = fuente(Parte::fecha);
    const QFontMetrics mTag(fTag), mDescripcion(fDescripcion), mAutor(fAutor);
    const QColor secundario = colorSecundario();
    const QColor rojo = platform::systemColor(platform::SystemColor::red);
    for (int fila = 0; fila < cantidad(); ++fila) {
        const QRect r = rectFila(fila);
        if (r.bottom() < event->rect().top())
            continue;
        if (r.top() > event->rect().bottom())
            break;
        const Fila& f = filas_[size_t(fila)];
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 13));
        p.drawRoundedRect(QRectF(r), 6, 6);

        const QRect tag = rectParte(fila, Parte::tag);
        p.setFont(fTag);
        p.setPen(colorTag());
        p.drawText(tag, Qt::AlignLeft | Qt::AlignVCenter, mTag.elidedText(f.tag, Qt::ElideRight, tag.width()));

        for (int boton : {2 * fila, 2 * fila + 1}) {
            const QRect caja = rectBoton(boton);
            if (boton == pulsado_ || boton == encima_) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(255, 255, 255, boton == pulsado_ && boton == encima_ ? 50 : 28));
                p.drawRoundedRect(QRectF(caja), 4, 4);
            }
            if (boton == foco_ && hasFocus()) {
                p.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(QRectF(caja).adjusted(0.75, 0.75, -0.75, -0.75), 4, 4);
            }
            const QRect icono(caja.center() - QPoint(kIconoBoton / 2, kIconoBoton / 2), QSize(kIconoBoton, kIconoBoton));
            const bool ver = boton % 2 == 0;
            platform::paintSymbol(p, icono, ver ? QStringLiteral("eye") : QStringLiteral("minus.circle"),
                                  ver ? secundario : rojo);
        }

        if (const QRect d = rectParte(fila, Parte::descripcion); !d.isNull()) {
            // Two lines at most, the second ending in "…" when there is more.
            p.setFont(fDescripcion);
            p.setPen(QColor(255, 255, 255));
            const QString& texto = f.descripcionPartible;
            QTextLayout disposicion(texto, fDescripcion);
            disposicion.setTextOption(opcionDescripcion());
            disposicion.beginLayout();
            int y = d.top();
            for (int n = 0; n < kLineasDescripcion; ++n) {
                QTextLine linea = disposicion.createLine();
                if (!linea.isValid())
                    break;
                linea.setLineWidth(d.width());
                const bool hayMas = linea.textStart() + linea.textLength() < texto.size();
                const bool ultima = n == kLineasDescripcion - 1 && hayMas;
                QString trozo = texto.mid(linea.textStart(), ultima ? -1 : linea.textLength());
                if (ultima)
                    trozo = mDescripcion.elidedText(trozo, Qt::ElideRight, d.width());
                p.drawText(QRect(d.left(), y, d.width(), mDescripcion.lineSpacing()), Qt::AlignLeft | Qt::AlignTop, trozo);
                y += mDescripcion.lineSpacing();
            }
            disposicion.endLayout();
        }

        const QRect autor = rectParte(fila, Parte::autor);
        const QRect persona(r.left() + kMargenX, autor.center().y() - kIconoPersona / 2, kIconoPersona, kIconoPersona);
        platform::paintSymbol(p, persona, QStringLiteral("person.fill"), secundario);
        p.setPen(secundario);
        p.setFont(fAutor);
        p.drawText(autor, Qt::AlignLeft | Qt::AlignVCenter, mAutor.elidedText(f.autor, Qt::ElideRight, autor.width()));
        p.setFont(fFecha);
        p.drawText(rectParte(fila, Parte::fecha), Qt::AlignLeft | Qt::AlignVCenter, f.fecha);
    }
}

void FilasComentarios::mouseMoveEvent(QMouseEvent* event)
{
    const int boton = botonEn(event->position().toPoint());
    if (boton != encima_) {
        update(rectBoton(encima_));
        update(rectBoton(boton));
        encima_ = boton;
        if (boton >= 0)
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    }
}

void FilasComentarios::leaveEvent(QEvent* event)
{
    update(rectBoton(encima_));
    encima_ = -1;
    unsetCursor();
    QWidget::leaveEvent(event);
}

void FilasComentarios::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    pulsado_ = botonEn(event->position().toPoint());
    encima_ = pulsado_;
    update(rectBoton(pulsado_));
}

void FilasComentarios::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    const int pulsado = std::exchange(pulsado_, -1);
    update(rectBoton(pulsado));
    // As a button: only when released over what was pressed.
    if (pulsado >= 0 && botonEn(event->position().toPoint()) == pulsado)
        pulsar(pulsado);
}

void FilasComentarios::pulsar(int boton)
{
    if (boton < 0 || boton / 2 >= cantidad())
        return;
    // The action may rebuild the card (and retire this widget later): copy what it needs.
    ControladorComentarios& controlador = controlador_;
    const QUuid id = filas_[size_t(boton / 2)].id;
    if (boton % 2 == 1) {
        controlador.pedirEliminar(id);
        return;
    }
    // The comment as it is now, found by its id.
    for (const ComentarioMarkup& c : controlador.estado().comentarios)
        if (c.id == id) {
            const ComentarioMarkup actual = c;
            controlador.verDetalle(actual);
            return;
        }
}

void FilasComentarios::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (foco_ >= 0) {
            pulsar(foco_);
            return;
        }
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

void FilasComentarios::focusInEvent(QFocusEvent* event)
{
    // Tab comes in at the first button, Shift+Tab at the last; a click keeps the last one.
    if (event->reason() == Qt::BacktabFocusReason)
        foco_ = 2 * cantidad() - 1;
    else if (event->reason() == Qt::TabFocusReason || foco_ < 0 || foco_ >= 2 * cantidad())
        foco_ = cantidad() > 0 ? 0 : -1;
    mostrarFoco();
    QWidget::focusInEvent(event);
}

void FilasComentarios::focusOutEvent(QFocusEvent* event)
{
    update(rectBoton(foco_));
    QWidget::focusOutEvent(event);
}

bool FilasComentarios::focusNextPrevChild(bool siguiente)
{
    // Tab walks the rows' buttons before it leaves the rows.
    const int proximo = foco_ + (siguiente ? 1 : -1);
    if (hasFocus() && proximo >= 0 && proximo < 2 * cantidad()) {
        update(rectBoton(foco_));
        foco_ = proximo;
        mostrarFoco();
        return true;
    }
    return QWidget::focusNextPrevChild(siguiente);
}

void FilasComentarios::mostrarFoco()
{
    const QRect caja = rectBoton(foco_);
    if (caja.isNull())
        return;
    update(caja);
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(w)) {
            if (area->widget() && area->widget()->isAncestorOf(this)) {
                const QPoint centro = mapTo(area->widget(), caja.center());
                area->ensureVisible(centro.x(), centro.y(), kBoton, kBoton);
            }
            break;
        }
}

bool FilasComentarios::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* ayuda = static_cast<QHelpEvent*>(event);
        const QString texto = ayudaEn(ayuda->pos());
        if (texto.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(ayuda->globalPos(), texto, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace quelva
