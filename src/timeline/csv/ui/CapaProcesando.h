#pragma once

#include <QWidget>

class QLabel;

namespace quelva {

// The processing overlay over a whole window while a file is read in the background: it covers
// the window (clicks and keys go nowhere), follows its size and shows an indeterminate bar with
// what is being done. The window keeps repainting underneath.
class CapaProcesando : public QWidget {
    Q_OBJECT
public:
    CapaProcesando(QWidget* ventana, const QString& texto);

    QString texto() const;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

private:
    QLabel* texto_ = nullptr;
};

}  // namespace quelva
