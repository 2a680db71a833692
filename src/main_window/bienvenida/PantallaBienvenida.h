#pragma once

#include <QWidget>

namespace quelva {

// Shown over the 3D view while no model is loaded: the product, the coordination workflow and
// the two ways to start. Its buttons post the same commands as the File menu.
class PantallaBienvenida : public QWidget {
    Q_OBJECT
public:
    explicit PantallaBienvenida(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quelva
