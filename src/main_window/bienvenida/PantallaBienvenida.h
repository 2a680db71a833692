#pragma once

#include <QWidget>

#include <optional>

class QGraphicsOpacityEffect;
class QPropertyAnimation;

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
    double opacidad() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QGraphicsOpacityEffect* efecto_ = nullptr;
    QPropertyAnimation* fundido_ = nullptr;
    std::optional<bool> presente_;
};

}  // namespace quelva
