#pragma once

#include <QObject>

class QMainWindow;
class QWidget;

namespace quelva {

// The menu bar belongs to the application: its shortcuts also work while a tool window (timeline,
// reports, 2D plans, take-off) is the active window. Each such window gets window-wide stand-ins
// of the menu's shortcuts that trigger the main window's own actions. A window's own shortcut for
// the same keys wins, a sheet on the tool window holds the stand-ins as it holds the window, and
// nothing runs while the main window is held by a sheet of its own. Installed once on the
// application.
class AtajosDeMenu : public QObject {
    Q_OBJECT
public:
    AtajosDeMenu(QMainWindow& principal, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void prepararVentana(QWidget* ventana);

    QMainWindow& principal_;
};

}  // namespace quelva
