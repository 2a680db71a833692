#pragma once

#include "comments/ComentarioMarkup.h"

#include <QPointer>
#include <QWidget>

#include <vector>

class QFileDialog;
class QMessageBox;

namespace quelva {

// The on-screen comments report: header with the logo, the count and today's
// date, the two exports, and one card per comment. Works on its own copy of
// the comments, taken when it opens.
class ReporteComentariosView : public QWidget {
    Q_OBJECT
public:
    ReporteComentariosView(std::vector<ComentarioMarkup> comentarios, QWidget* parent = nullptr);

    const std::vector<ComentarioMarkup>& comentarios() const { return comentarios_; }
    static QString lineaConteo(long long n, const QDateTime& hoy);

    // The save panels; their completion runs the writers.
    void exportarBCF();
    void exportarPDF();
    // The completions, given the path the user confirmed.
    void alElegirDestinoBCF(const QString& elegida);
    void alElegirDestinoPDF(const QString& elegida);

    QFileDialog* dialogoActivo() const;
    QMessageBox* alertaActiva() const;

private:
    void escribirBCF(const QString& destino);
    void mostrarError(const QString& texto);

    std::vector<ComentarioMarkup> comentarios_;
    QPointer<QFileDialog> dialogo_;
    QPointer<QMessageBox> alerta_;
};

}  // namespace quelva
