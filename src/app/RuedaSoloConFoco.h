#pragma once

#include <QObject>

namespace quelva {

// Inside a scrolling pane, a slider, spin box or combo box takes the mouse wheel only while it has
// keyboard focus (a click gives it); otherwise the wheel scrolls the pane. Scrolling a long
// column past a control must never change its value. Installed once on the application.
class RuedaSoloConFoco : public QObject {
    Q_OBJECT
public:
    explicit RuedaSoloConFoco(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

}  // namespace quelva
