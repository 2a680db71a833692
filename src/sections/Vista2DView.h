#pragma once

#include "sections/Seccion2D.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include <QDialog>
class QLabel;
class QLineEdit;
class QMessageBox;
class QToolButton;

namespace quelva {

class Vista2DController;
class Vista2DNSView;

// What a 2D window opens with.
struct DatosPlano2D {
    QString titulo;
    std::vector<Segmento2D> segmentos;
    std::vector<Etiqueta2D> etiquetas;
    std::vector<Cota2D> cotas;
    std::vector<Segmento2D> segmentosGrilla;
};

// The content of a 2D window: the toolbar row (title, counts, tools, line weights, fit,
// exports, save) above the canvas, which is fitted 0.05 s after it is made.
class Vista2DView : public QWidget {
    Q_OBJECT
public:
    Vista2DView(const DatosPlano2D& datos, Vista2DController* controller,
                std::function<void(const QString&)> alGuardarSeccion, QWidget* parent = nullptr);

    Vista2DNSView* lienzo() const { return lienzo_; }
    const QString& titulo() const { return titulo_; }

    // Toolbar state; every change goes to the canvas (never its labels or dimensions).
    bool mostrarEtiquetas = true;
    bool modoCota = false;
    bool modoEtiquetar = false;
    bool guardadoFlash = false;
    double grosorCorte = 1.0;
    double grosorProyeccion = 0.5;
    bool mostrarGrosor = false;
    QString nombreSeccionTemp;

    void alternarEtiquetas();
    void alternarModoEtiquetar();
    void alternarModoCota();
    void borrarCotas();
    void cambiarGrosores(double corte, double proyeccion);
    void encuadrar();

    // Save flow: hands the edits back and asks for a name; confirmarGuardar finishes it.
    void guardar();
    void confirmarGuardar(const QString& nombre);
    QDialog* dialogoGuardar() const { return dialogoGuardar_; }

    // Exports to a file: none on success, else the error's description (the alert shows it).
    std::optional<QString> exportarDXFA(const QString& ruta);
    std::optional<QString> exportarPDFA(const QString& ruta);
    // One page the canvas's size in points, painted in vectors as the screen shows it; none when
    // the PDF painter cannot start.
    static std::optional<QByteArray> documentoPDF(const Vista2DNSView& lienzo, const QString& titulo);
    // The panels' completions: export, and the alert when writing fails.
    void completarExportacionDXF(const QString& ruta);
    void completarExportacionPDF(const QString& ruta);
    void exportarDXF();
    void exportarPDF();

    // "Plano 2D — Eje X = 1.50 m" gives "Plano_2D_—_Eje_X_=_1.50_m".
    static QString nombreArchivoPorDefecto(const QString& titulo);

private:
    void actualizar();
    QWidget* construirBarra();
    void mostrarError(const QString& mensaje, const QString& detalle);
    void abrirPopoverGrosor(QToolButton* ancla);

    QString titulo_;
    std::vector<Segmento2D> segmentos_;
    std::vector<Segmento2D> segmentosGrilla_;
    QPointer<Vista2DController> controller_;
    std::function<void(const QString&)> alGuardarSeccion_;
    Vista2DNSView* lienzo_ = nullptr;

    QToolButton* botonEtiquetas_ = nullptr;
    QToolButton* botonEtiquetar_ = nullptr;
    QToolButton* botonCota_ = nullptr;
    QToolButton* botonBorrar_ = nullptr;
    QToolButton* botonGrosor_ = nullptr;
    QToolButton* botonGuardar_ = nullptr;
    QPointer<QDialog> dialogoGuardar_;
    QPointer<QWidget> popoverGrosor_;
};

}  // namespace quelva
