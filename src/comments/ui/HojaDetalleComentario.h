#pragma once

#include "comments/ComentarioMarkup.h"

#include <QDialog>

namespace quelva {

// The detail sheet of one comment: tag, description, author, date and its
// picture, or "Sin captura de pantalla".
class HojaDetalleComentario : public QDialog {
    Q_OBJECT
public:
    HojaDetalleComentario(const ComentarioMarkup& comentario, QWidget* parent = nullptr);

signals:
    void cerrarPulsado();
};

}  // namespace quelva
