#pragma once

#include "comments/ComentarioMarkup.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace quelva {

// The transparent drawing surface over the 3D view in markup mode. It only
// records and draws: finished strokes and placed texts go to its owner through
// the two callbacks, and the owner's lists come back for drawing.
class MarkupCanvasNSView : public QWidget {
    Q_OBJECT
public:
    explicit MarkupCanvasNSView(QWidget* parent = nullptr);

    std::vector<TrazadoMarkup> trazados;
    std::vector<TextoMarkup> textos;
    std::optional<TrazadoMarkup> trazadoActual;
    double colorR = 1.0, colorG = 0.0, colorB = 0.0;
    double grosor = 3.0;
    bool modoTexto = false;
    QString textoPendiente;
    std::function<void(const TrazadoMarkup&)> onNuevoTrazado;
    std::function<void(const TextoMarkup&)> onNuevoTexto;

    // Mouse up: hands on a stroke of two or more points, drops a click.
    void terminarTrazado();

    // The markup as drawn on screen, on a transparent image of the canvas's size.
    QImage imagenMarkup() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The binding of a canvas to the main window's markup state: what the canvas
// draws and with which pen, and where finished marks go.
struct MarkupCanvasView {
    std::function<std::vector<TrazadoMarkup>&()> trazados;
    std::function<std::vector<TextoMarkup>&()> textos;
    double colorR = 1.0, colorG = 0.0, colorB = 0.0;
    double grosor = 3.0;
    bool modoTexto = false;
    QString textoPendiente;
    std::function<void(QWidget*)> canvasRef;  // publishes the live canvas
    std::function<void()> alCambiar;          // after a mark was appended

    MarkupCanvasNSView* makeNSView(QWidget* parent) const;
    void updateNSView(MarkupCanvasNSView& canvas) const;
};

}  // namespace quelva
