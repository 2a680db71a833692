#pragma once

#include "clash/Interferencia.h"
#include "clash/MiniaturasClash.h"

#include <QWidget>

namespace quelva {

// The on-screen clash report page: header band, five status cards, the table of clashes with
// their thumbnails and badges, and the footer. Painted as one page (reports run to thousands of
// rows); only the rows in view are drawn. A pure view of the analysis and the thumbnails.
class ReporteContenidoView : public QWidget {
    Q_OBJECT
public:
    ReporteContenidoView(AnalisisInterferencias analisis, QWidget* parent = nullptr);

    void setMiniaturas(const MiniaturasClash* miniaturas);

    static constexpr int kAltoFila = 130;
    // Where row `fila` (from 0) lies on the page, and the texts a row shows.
    QRect rectFila(int fila) const;
    QStringList textosFila(int fila) const;
    // The header and footer texts and the card numbers, as painted.
    QStringList textosCabecera() const;
    QString textoPie() const;
    QString textoRegistros() const;
    std::array<long long, 5> numerosTarjetas() const;
    bool filaConImagen(int fila) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int ancho) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int inicioTabla() const;

    AnalisisInterferencias analisis_;
    const MiniaturasClash* miniaturas_ = nullptr;
    QTimer* giro_ = nullptr;
    int fase_ = 0;
};

}  // namespace quelva
