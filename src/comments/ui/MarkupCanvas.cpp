#include "comments/ui/MarkupCanvas.h"

#include "comments/DibujoMarkup.h"
#include "platform/Queues.h"

#include <QMouseEvent>
#include <QPainter>

namespace quelva {

MarkupCanvasNSView::MarkupCanvasNSView(QWidget* parent) : QWidget(parent)
{
    // The 3D view shows through: nothing but the marks is painted.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::CrossCursor);
}

void MarkupCanvasNSView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    dibujarMarkup(p, trazados, textos, trazadoActual);
}

QImage MarkupCanvasNSView::imagenMarkup() const
{
    return quelva::imagenMarkup(size(), trazados, textos);
}

void MarkupCanvasNSView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPointF p = event->position();
    if (modoTexto) {
        if (textoPendiente.isEmpty())
            return;
        TextoMarkup t;
        t.texto = textoPendiente;
        t.x = p.x();
        t.y = p.y();
        t.r = colorR;
        t.g = colorG;
        t.b = colorB;
        t.tamano = 16.0;
        if (onNuevoTexto)
            onNuevoTexto(t);
        return;
    }
    TrazadoMarkup t;
    t.puntos.push_back({p.x(), p.y()});
    t.r = colorR;
    t.g = colorG;
    t.b = colorB;
    t.grosor = grosor;
    trazadoActual = std::move(t);
}

void MarkupCanvasNSView::mouseMoveEvent(QMouseEvent* event)
{
    if (trazadoActual) {
        const QPointF p = event->position();
        trazadoActual->puntos.push_back({p.x(), p.y()});
    }
    update();
}

void MarkupCanvasNSView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    terminarTrazado();
}

void MarkupCanvasNSView::terminarTrazado()
{
    if (trazadoActual && trazadoActual->puntos.size() >= 2 && onNuevoTrazado) {
        // The callback may update this canvas: hand on a copy and clear first.
        const TrazadoMarkup terminado = *trazadoActual;
        trazadoActual.reset();
        onNuevoTrazado(terminado);
    }
    trazadoActual.reset();
    update();
}

MarkupCanvasNSView* MarkupCanvasView::makeNSView(QWidget* parent) const
{
    auto* canvas = new MarkupCanvasNSView(parent);
    const auto trazadosLista = trazados;
    const auto textosLista = textos;
    const auto cambiar = alCambiar;
    canvas->onNuevoTrazado = [trazadosLista, cambiar](const TrazadoMarkup& t) {
        if (trazadosLista)
            trazadosLista().push_back(t);
        if (cambiar)
            cambiar();
    };
    canvas->onNuevoTexto = [textosLista, cambiar](const TextoMarkup& t) {
        if (textosLista)
            textosLista().push_back(t);
        if (cambiar)
            cambiar();
    };
    // Published one turn later, as the canvas is not yet in place now.
    if (canvasRef) {
        QPointer<MarkupCanvasNSView> guardado(canvas);
        const auto publicar = canvasRef;
        platform::MainQueue::post([guardado, publicar] {
            if (guardado)
                publicar(guardado.data());
        });
    }
    return canvas;
}

void MarkupCanvasView::updateNSView(MarkupCanvasNSView& canvas) const
{
    if (trazados)
        canvas.trazados = trazados();
    if (textos)
        canvas.textos = textos();
    canvas.colorR = colorR;
    canvas.colorG = colorG;
    canvas.colorB = colorB;
    canvas.grosor = grosor;
    canvas.modoTexto = modoTexto;
    canvas.textoPendiente = textoPendiente;
    canvas.update();
}

}  // namespace quelva
