#pragma once

#include <QString>
#include <QWidget>

#include <optional>

class QVBoxLayout;

namespace quelva {

// The frame every sidebar card shares: an optional upper-case title over a divider, then the
// content, on a rounded dark-grey panel.
class TarjetaSeccion : public QWidget {
    Q_OBJECT
public:
    TarjetaSeccion(const std::optional<QString>& titulo, QWidget* contenido, QWidget* parent = nullptr);

    const std::optional<QString>& titulo() const { return titulo_; }
    QWidget* contenido() const { return contenido_; }
    // Puts `contenido` where the current content is. The old one may hold the control whose
    // action is running: it leaves the card now and is deleted later.
    void cambiarContenido(QWidget* contenido);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QString> titulo_;
    QWidget* contenido_;
    QVBoxLayout* envoltura_ = nullptr;
};

// The brand row pinned above the sidebar's cards.
class CabeceraMarca : public QWidget {
    Q_OBJECT
public:
    explicit CabeceraMarca(QWidget* parent = nullptr);
};

}  // namespace quelva
