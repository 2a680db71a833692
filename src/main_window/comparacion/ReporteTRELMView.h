#pragma once

#include "comparison/MiniaturasTRELM.h"
#include "comparison/ResultadoTRELM.h"

#include <QWidget>

#include <array>
#include <vector>

class QScrollArea;

namespace quelva {

class PaginaCambiosTRELM;

// Delta cell text: "%.3f m" above one millimetre, "—" otherwise.
QString textoDeltaTRELM(float delta);
// The modified elements by their larger delta, descending; equal ones keep their order.
std::vector<ElementoCambioTRELM> modificadosOrdenados(const ResultadoTRELM& resultado);

// The on-screen change report: header band, then in a scroll area the four summary cards, one
// section per change kind that has elements (rows with their thumbnails) and the footer. A pure
// view of a copy of the result and of the store's thumbnails; redraws when the store publishes.
class ReporteTRELMView : public QWidget {
    Q_OBJECT
public:
    ReporteTRELMView(ResultadoTRELM resultado, TRELMThumbnailStore* store, QWidget* parent = nullptr);

    const ResultadoTRELM& resultado() const { return resultado_; }

    // What the page paints, for callers that check it.
    QStringList textosCabecera() const;
    std::array<long long, 4> numerosTarjetas() const;
    struct Seccion {
        TipoCambioTRELM tipo;
        QString titulo;
        QString conteo;
        std::vector<ElementoCambioTRELM> elementos;  // as displayed
    };
    std::vector<Seccion> secciones() const;
    // Cells of row `fila` of a section: number, type, name, and the two deltas when modified.
    QStringList textosFila(const Seccion& seccion, int fila) const;
    bool filaConImagen(const ElementoCambioTRELM& elemento) const;
    QString textoPie() const;
    QString textoGenerado() const;

    QScrollArea* desplazable() const { return desplazable_; }
    QWidget* pagina() const;

private:
    ResultadoTRELM resultado_;
    TRELMThumbnailStore* store_;
    QScrollArea* desplazable_ = nullptr;
    PaginaCambiosTRELM* pagina_ = nullptr;
    friend class PaginaCambiosTRELM;
    friend class CabeceraCambiosTRELM;
};

}  // namespace quelva
