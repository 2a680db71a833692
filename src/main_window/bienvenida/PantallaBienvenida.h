#pragma once

#include <QRegion>
#include <QWidget>

#include <optional>
#include <vector>

class QGraphicsOpacityEffect;
class QGridLayout;
class QPropertyAnimation;
class QVBoxLayout;

namespace quelva {

// Shown over the 3D view while no model is loaded: the product, the coordination workflow and
// the two ways to start. Its buttons post the same commands as the File menu.
class PantallaBienvenida : public QWidget {
    Q_OBJECT
public:
    explicit PantallaBienvenida(QWidget* parent = nullptr);

    // Shows or hides the screen, fading over 0.3 s once the window is on screen; asking again
    // for where it is already heading changes nothing.
    void presentar(bool presente);
    // 0 while hidden, 1 when shown plainly, in between while fading.
    double opacidad() const;

    // What floats over the screen (the viewport toolbar's buttons), in this widget's coordinates:
    // the content keeps clear of it, and the steps wrap into rows when that leaves too little width.
    void setZonaOcupada(const QRegion& zona);
    int pasosPorFila() const { return porFila_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void reacomodar();
    void colocarPasos(int porFila);

    QVBoxLayout* contenido_ = nullptr;
    QWidget* tira_ = nullptr;
    QGridLayout* rejilla_ = nullptr;
    std::vector<QWidget*> tarjetas_;
    std::vector<QWidget*> chevrones_;
    int anchoMinimoTarjeta_ = 84;
    int porFila_ = 0;
    QRegion zonaOcupada_;
    QGraphicsOpacityEffect* efecto_ = nullptr;
    QPropertyAnimation* fundido_ = nullptr;
    std::optional<bool> presente_;
};

}  // namespace quelva
