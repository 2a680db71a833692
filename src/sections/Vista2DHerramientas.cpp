// Pointer, wheel and keyboard handling of the 2D canvas: zoom about the pointer, pan, fit,
// the dimension and label tools, selection, hiding, deleting and dragging.

#include "sections/Vista2DNSView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace quelva {

void Vista2DNSView::aplicarZoom(double deltaVertical, QPointF p)
{
    if (deltaVertical == 0)
        return;
    const double factor = deltaVertical > 0 ? 1.15 : 1 / 1.15;
    const double nueva = std::max(std::min(escala * factor, 4000.0), 4.0);
    if (nueva == escala)
        return;
    const double w = width(), h = height();
    const double cx = w / 2 + panOffset.x(), cy = h / 2 + panOffset.y();
    const double vieja = escala;
    escala = nueva;
    panOffset = QPointF(p.x() - nueva * (p.x() - cx) / vieja - w / 2, p.y() + nueva * (cy - p.y()) / vieja - h / 2);
    redibujar();
}

void Vista2DNSView::procesarMouseDown(QPointF p, int clics)
{
    if (modoCota_) {
        const Punto2D q = puntoSnap(p).value_or(aDibujo(p));
        if (!cotaP1Preview) {
            cotaP1Preview = q;
        } else {
            if (std::hypot(double(q.u) - cotaP1Preview->u, double(q.v) - cotaP1Preview->v) > 0.01) {
                Cota2D c;
                c.p1 = *cotaP1Preview;
                c.p2 = q;
                c.offsetLateral = 0.6f;
                cotas_.push_back(c);
            }
            cotaP1Preview.reset();
        }
        redibujar();
        return;
    }
    if (modoEtiquetar_) {
        if (const auto s = segmentoEnPunto(p, 12)) {
            const auto it = std::find_if(etiquetas_.begin(), etiquetas_.end(), [&](const Etiqueta2D& e) {
                return e.nombre == s->nombreElemento && e.key == s->key;
            });
            if (it != etiquetas_.end() && !it->visible) {
                const Punto2D d = aDibujo(p);
                const float du = d.u - it->ancla.u, dv = d.v - it->ancla.v;
                const float lado = float(80 / escala);
                it->offsetTexto = {du > 0 ? du + lado : du - lado, dv};
                it->visible = true;
            }
        }
        redibujar();
        return;
    }
    if (clics == 2) {
        encuadrarTodo();
        return;
    }
    if (etiquetaSeleccionadaId) {
        const auto it = std::find_if(etiquetas_.begin(), etiquetas_.end(),
                                     [&](const Etiqueta2D& e) { return e.id == *etiquetaSeleccionadaId; });
        if (it != etiquetas_.end() && it->visible && cuadradoOcultar(*it).contains(p)) {
            it->visible = false;
            redibujar();
            return;
        }
    }
    if (cotaSeleccionadaId) {
        const auto it = std::find_if(cotas_.begin(), cotas_.end(),
                                     [&](const Cota2D& c) { return c.id == *cotaSeleccionadaId; });
        if (it != cotas_.end()) {
            const auto cuadrado = cuadradoBorrar(*it);
            if (cuadrado && cuadrado->contains(p)) {
                const QUuid id = *cotaSeleccionadaId;
                std::erase_if(cotas_, [&](const Cota2D& c) { return c.id == id; });
                cotaSeleccionadaId.reset();
                redibujar();
                return;
            }
        }
    }
    if (const auto d = cotaEnPunto(p)) {
        cotaDragId = d;
        cotaDragMouseStart = p;
        cotaDragHasMoved = false;
        const auto it = std::find_if(cotas_.begin(), cotas_.end(), [&](const Cota2D& c) { return c.id == *d; });
        cotaDragOffsetStart = it != cotas_.end() ? it->offsetLateral : 0;
        etiquetaSeleccionadaId.reset();
        redibujar();
        return;
    }
    cotaSeleccionadaId.reset();
    if (mostrarEtiquetas_)
        if (const auto l = etiquetaEnPunto(p)) {
            draggedLabelId = l;
            dragMouseStart = p;
            dragHasMoved = false;
            etiquetaSeleccionadaId.reset();
            return;
        }
    etiquetaSeleccionadaId.reset();
    lastMouse = p;
    redibujar();
}

void Vista2DNSView::procesarMouseDragged(QPointF p)
{
    if (cotaDragId && cotaDragMouseStart) {
        cotaDragHasMoved = true;
        const auto it = std::find_if(cotas_.begin(), cotas_.end(), [&](const Cota2D& c) { return c.id == *cotaDragId; });
        if (it != cotas_.end()) {
            const QPointF a = aVista(it->p1), b = aVista(it->p2);
            const double l = std::hypot(b.x() - a.x(), b.y() - a.y());
            if (l > 0) {
                const QPointF t = (b - a) / l;
                const QPointF d = p - *cotaDragMouseStart;
                const double avance = (d.y() * t.x() - d.x() * t.y()) / escala;
                it->offsetLateral = float(std::max(double(cotaDragOffsetStart) + avance, 0.1));
            }
        }
        redibujar();
        return;
    }
    if (draggedLabelId && dragMouseStart) {
        dragHasMoved = true;
        const auto it = std::find_if(etiquetas_.begin(), etiquetas_.end(),
                                     [&](const Etiqueta2D& e) { return e.id == *draggedLabelId; });
        if (it != etiquetas_.end()) {
            it->offsetTexto.u += float((p.x() - dragMouseStart->x()) / escala);
            it->offsetTexto.v -= float((p.y() - dragMouseStart->y()) / escala);
        }
        dragMouseStart = p;
        redibujar();
        return;
    }
    if (lastMouse) {
        panOffset += p - *lastMouse;
        lastMouse = p;
        redibujar();
    }
}

void Vista2DNSView::procesarMouseUp()
{
    if (cotaDragId) {
        if (!cotaDragHasMoved) {
            cotaSeleccionadaId = cotaDragId;
            redibujar();
        }
        cotaDragId.reset();
        cotaDragMouseStart.reset();
        cotaDragOffsetStart = 0;
        cotaDragHasMoved = false;
        return;
    }
    if (draggedLabelId && !dragHasMoved) {
        etiquetaSeleccionadaId = draggedLabelId;
        redibujar();
    }
    draggedLabelId.reset();
    dragMouseStart.reset();
    dragHasMoved = false;
    lastMouse.reset();
}

void Vista2DNSView::procesarMouseMoved(QPointF p)
{
    mousePos = p;
    if (modoCota_) {
        snapPoint = puntoSnap(p);
        update();
    } else if (modoEtiquetar_) {
        update();
    }
}

void Vista2DNSView::procesarEscape()
{
    cotaP1Preview.reset();
    update();
}

void Vista2DNSView::wheelEvent(QWheelEvent* event)
{
    aplicarZoom(event->angleDelta().y(), event->position());
    event->accept();
}

void Vista2DNSView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    procesarMouseDown(event->position(), 1);
}

void Vista2DNSView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    procesarMouseDown(event->position(), 2);
}

void Vista2DNSView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        procesarMouseDragged(event->position());
    else
        procesarMouseMoved(event->position());
}

void Vista2DNSView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        procesarMouseUp();
}

void Vista2DNSView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        procesarEscape();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace quelva
