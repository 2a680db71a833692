#pragma once

#include "comments/ComentarioMarkup.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QUuid>
#include <QWidget>

#include <vector>

namespace quelva {

class ControladorComentarios;

// The comment rows of the sidebar card, painted in one widget: a project brings hundreds of
// comments, and eight widgets a row under the sidebar's style sheets weigh megabytes. Each row
// shows its tag, the eye that opens the detail and the minus that asks to delete it, up to two
// lines of description, the author and the date. The buttons act by ids, from the mouse or from
// the keyboard (Tab moves between them, Space or Enter presses).
class FilasComentarios : public QWidget {
    Q_OBJECT
public:
    FilasComentarios(ControladorComentarios& controlador, const std::vector<ComentarioMarkup>& comentarios,
                     QWidget* parent = nullptr);

    enum class Parte { tag, verDetalle, eliminar, descripcion, autor, fecha };

    int cantidad() const { return int(filas_.size()); }
    // At the widget's width: the whole row, a part of it (empty when the row has none: no
    // description), and the text that part shows whole (the date in the user's own format).
    QRect rectFila(int fila) const;
    QRect rectParte(int fila, Parte parte) const;
    QString texto(int fila, Parte parte) const;
    QFont fuente(Parte parte) const;
    // The help shown over a point: the button's action, or a text the row shows cut.
    QString ayudaEn(QPoint p) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int ancho) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, heightForWidth(width())}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool siguiente) override;
    bool event(QEvent* event) override;

private:
    struct Fila {
        QUuid id;
        QString tag, descripcion, autor, fecha;
        QString descripcionPartible;  // as drawn: long runs without spaces break anywhere
    };
    // A button of a row: 2 × row + 0 for the eye, + 1 for the minus; -1 none.
    int botonEn(QPoint p) const;
    QRect rectBoton(int boton) const;
    void pulsar(int boton);
    void mostrarFoco();
    // At one width: where each row starts (one more for the end) and its description's lines.
    struct Disposicion {
        int ancho = -1;
        std::vector<int> inicios;
        std::vector<int> lineas;
    };
    Disposicion disponer(int ancho) const;
    // At the current width, worked out again only when the width or the font changes.
    const Disposicion& disposicion() const;
    int lineasDescripcion(const QString& descripcion, int ancho) const;
    int altoPrimera() const;
    int altoUltima() const;

    ControladorComentarios& controlador_;
    std::vector<Fila> filas_;
    mutable Disposicion disposicion_;
    int encima_ = -1;
    int pulsado_ = -1;
    int foco_ = -1;
};

}  // namespace quelva
