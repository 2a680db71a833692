#pragma once

#include <QImage>
#include <QWidget>

namespace quelva {

// A comment's picture: scaled to fit with its proportions, rounded corners
// and a faint white outline. Its height follows its width.
class ImagenComentario : public QWidget {
    Q_OBJECT
public:
    ImagenComentario(const QImage& imagen, double radio, QWidget* parent = nullptr);

    const QImage& imagen() const { return imagen_; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int ancho) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage imagen_;
    double radio_;
};

}  // namespace quelva
