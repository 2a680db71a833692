#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QSlider;
class QToolButton;

namespace quelva {

class ControladorComentarios;

// The floating markup panel: pen colours, pencil and text tools, width,
// clearing, the text to place, and the comment form with save and cancel.
class PanelMarkup : public QWidget {
    Q_OBJECT
public:
    PanelMarkup(ControladorComentarios& controlador, QWidget* parent = nullptr);

    // Shows the state's pen, tool and texts (fields being typed in keep their text).
    void actualizar();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ControladorComentarios& controlador_;
    QList<QToolButton*> muestras_;
    QToolButton* lapiz_ = nullptr;
    QToolButton* texto_ = nullptr;
    QSlider* grosor_ = nullptr;
    QWidget* filaTexto_ = nullptr;
    QLineEdit* campoTexto_ = nullptr;
    QLineEdit* autor_ = nullptr;
    QLineEdit* descripcion_ = nullptr;
};

// The two markup layers over the 3D view while markup mode is on: the canvas
// covering the view and the panel at the bottom.
class CapasMarkup : public QObject {
    Q_OBJECT
public:
    CapasMarkup(ControladorComentarios& controlador, QWidget* columna);

    // Makes or removes the layers as markup mode asks, and updates them.
    void refrescar();
    // Places them over `zona` of the column, above everything else.
    void colocar(const QRect& zona);

    QWidget* canvas() const { return canvas_.data(); }
    PanelMarkup* panel() const { return panel_.data(); }

private:
    void actualizarCanvas();

    ControladorComentarios& controlador_;
    QWidget* columna_;
    QPointer<QWidget> canvas_;
    QPointer<PanelMarkup> panel_;
    QRect zona_;
};

}  // namespace quelva
