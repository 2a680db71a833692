#pragma once

#include <QAbstractButton>

namespace quelva {

// An on/off switch: a pill with a sliding knob, checkable, without a text of its own.
class Interruptor : public QAbstractButton {
    Q_OBJECT

public:
    explicit Interruptor(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quelva
