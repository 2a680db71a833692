#pragma once

#include "sections/Seccion2D.h"

#include <QPointF>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QUuid>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace quelva {

// The canvas of a 2D section: metre grid, grid axes, projection and cut lines, labels,
// dimensions and the overlays of the two tools. It holds the view transform and all the
// interaction state of its window. One paint routine draws into any painter (screen, image,
// PDF). View coordinates: origin top-left, y down, one unit per pixel.
class Vista2DNSView : public QWidget {
    Q_OBJECT
public:
    explicit Vista2DNSView(QWidget* parent = nullptr);

    // Assigning any of these redraws; assigning modoCota also drops a pending dimension origin.
    void setSegmentos(std::vector<Segmento2D> s);
    void setEtiquetas(std::vector<Etiqueta2D> e);
    void setCotas(std::vector<Cota2D> c);
    void setMostrarEtiquetas(bool v);
    void setModoCota(bool v);
    void setModoEtiquetar(bool v);
    void setGrosorCorte(double v);
    void setGrosorProyeccion(double v);
    void setSegmentosGrilla(std::vector<Segmento2D> s);

    const std::vector<Segmento2D>& segmentos() const { return segmentos_; }
    const std::vector<Etiqueta2D>& etiquetas() const { return etiquetas_; }
    const std::vector<Cota2D>& cotas() const { return cotas_; }
    bool mostrarEtiquetas() const { return mostrarEtiquetas_; }
    bool modoCota() const { return modoCota_; }
    bool modoEtiquetar() const { return modoEtiquetar_; }

    // View transform: pixels per metre and offset of the drawing origin from the centre.
    double escala = 100.0;
    QPointF panOffset;

    // Interaction state (changed by the pointer and keyboard handlers).
    std::optional<QPointF> lastMouse;
    std::optional<QUuid> draggedLabelId;
    std::optional<QPointF> dragMouseStart;
    bool dragHasMoved = false;
    std::optional<QUuid> etiquetaSeleccionadaId;
    std::optional<Punto2D> cotaP1Preview;
    QPointF mousePos;
    std::optional<Punto2D> snapPoint;
    std::optional<QUuid> cotaDragId;
    std::optional<QPointF> cotaDragMouseStart;
    float cotaDragOffsetStart = 0;
    bool cotaDragHasMoved = false;
    std::optional<QUuid> cotaSeleccionadaId;

    // Mapping between drawing metres and view points, from the current size.
    QPointF aVista(Punto2D p) const;
    Punto2D aDibujo(QPointF p) const;

    // The whole drawing, as on screen, into any painter over this view's size (vectors: the PDF
    // export paints through this).
    void dibujar(QPainter& p) const;
    // What the screen shows: the still drawing from an image kept while only the pointer moves,
    // the overlays of the tools drawn live on top.
    void pintar(QPainter& p) const;

    // Fits the cut and projection lines with 50 px to spare on each side.
    void encuadrarTodo();

    // Hit geometry shared by the tools and the overlays.
    std::optional<Punto2D> puntoSnap(QPointF p) const;
    std::optional<Segmento2D> segmentoEnPunto(QPointF p, double maximo) const;
    std::optional<QUuid> etiquetaEnPunto(QPointF p) const;
    std::optional<QUuid> cotaEnPunto(QPointF p) const;
    QRectF cuadradoOcultar(const Etiqueta2D& e) const;
    std::optional<QRectF> cuadradoBorrar(const Cota2D& c) const;

    // Where a label and a dimension text are drawn (view points).
    QRectF cajaEtiqueta(const Etiqueta2D& e) const;
    QRectF rectTextoCota(const Cota2D& c) const;

    // Label name as shown: more than 32 characters become the first 30 and "…".
    static QString nombreCorto(const QString& nombre);
    // Size of the dimension text at a scale: 7 up to 70 px/m, 11 from 110.
    static double tamanoTextoCota(double escala);

    // Event bodies of the tools (also called directly by tests).
    void aplicarZoom(double deltaVertical, QPointF p);
    void procesarMouseDown(QPointF p, int clics);
    void procesarMouseDragged(QPointF p);
    void procesarMouseUp();
    void procesarMouseMoved(QPointF p);
    void procesarEscape();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Linea {
        QString texto;
        QFont fuente;
        QColor color;
    };
    std::vector<Linea> lineasEtiqueta(const Etiqueta2D& e, const QPaintDevice* dispositivo) const;
    QSizeF tamanoEtiqueta(const std::vector<Linea>& lineas, const QPaintDevice* dispositivo) const;
    QRectF cajaEtiqueta(const Etiqueta2D& e, const QPaintDevice* dispositivo) const;
    void dibujarCuadricula(QPainter& p) const;
    void dibujarLineas(QPainter& p) const;
    void dibujarEtiquetas(QPainter& p) const;
    void dibujarCotas(QPainter& p) const;
    void dibujarCota(QPainter& p, const Cota2D& c, bool arrastrada, bool seleccionada) const;
    // Dimension line in view points; none when it is too short to draw.
    struct GeometriaCota {
        QPointF a, b, a2, b2, t, n;
    };
    std::optional<GeometriaCota> geometriaCota(const Cota2D& c) const;
    void dibujarHerramientas(QPainter& p) const;
    void dibujarFijo(QPainter& p) const;

    // Content or interaction state changed: the kept still image is stale.
    void redibujar();
    // Everything the still image depends on besides the content generation.
    struct ClaveFijo {
        double escala = 0;
        QPointF pan;
        QSize tamano;
        double dpr = 0;
        int dpiX = 0, dpiY = 0;
        quint64 generacion = 0;
        std::optional<QUuid> etiquetaSeleccionada, cotaSeleccionada, cotaArrastrada, etiquetaArrastrada;
        bool operator==(const ClaveFijo&) const = default;
    };
    ClaveFijo claveFijo() const;
    quint64 generacion_ = 0;
    mutable QImage fijo_;
    mutable std::optional<ClaveFijo> claveFijo_;

    std::vector<Segmento2D> segmentos_;
    std::vector<Etiqueta2D> etiquetas_;
    std::vector<Cota2D> cotas_;
    bool mostrarEtiquetas_ = true;
    bool modoCota_ = false;
    bool modoEtiquetar_ = false;
    double grosorCorte_ = 1.0;
    double grosorProyeccion_ = 0.5;
    std::vector<Segmento2D> segmentosGrilla_;
};

}  // namespace quelva
