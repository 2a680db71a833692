#pragma once

class QWidget;

namespace quelva {

class ControladorComentarios;

// The content of the sidebar's "Comentarios" card: "Nuevo comentario", one row
// per comment and "Reporte de comentarios", or "Sin comentarios registrados".
QWidget* tarjetaComentarios(ControladorComentarios& controlador, QWidget* padre = nullptr);

}  // namespace quelva
