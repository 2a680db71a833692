#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

namespace quelva {

// A caption and a text field bound to one number: every readable entry is written at once, the
// typed text stays as typed while it says the value, and an outside change rewrites it. The
// text first shown is not read back, so opening never rounds a stored fraction.
class CampoNumerico : public QWidget {
    Q_OBJECT
public:
    CampoNumerico(const QString& titulo, std::function<double()> leer, std::function<void(double)> escribir,
                  const QString& placeholder, int decimales, bool layoutVertical, QWidget* parent = nullptr);

    // The bound value may have changed elsewhere: follow it.
    void refrescar();
    QLineEdit* campo() const { return campo_; }
    QLabel* titulo() const { return titulo_; }

private:
    void alEditar(const QString& texto);

    std::function<double()> leer_;
    std::function<void(double)> escribir_;
    int decimales_;
    double ultimo_;
    QLabel* titulo_;
    QLineEdit* campo_;
};

}  // namespace quelva
