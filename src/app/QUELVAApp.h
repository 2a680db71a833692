#pragma once

#include <QMainWindow>
#include <QObject>

#include <functional>
#include <memory>

namespace quelva {

class ContentView;
class AtajosDeMenu;
class RuedaSoloConFoco;

// The application object: the one main window with its menu commands.
class QUELVAApp : public QObject {
    Q_OBJECT
public:
    explicit QUELVAApp(QObject* parent = nullptr);
    ~QUELVAApp() override;

    QMainWindow* ventanaPrincipal() const { return ventana_.get(); }
    ContentView* contentView() const { return contentView_; }

    // Opens the road map of the bundle with the default application; does
    // nothing when the resource is missing.
    static void abrirRoadMap();

    // "Salir": asks about unsaved changes, then closes every window.
    void salir();

protected:
    // Closing the main window asks about unsaved changes first.
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void construirMenus();
    // Closes without asking again: the question was answered.
    void cerrarSinPreguntar(const std::function<void()>& cerrar);

    std::unique_ptr<QMainWindow> ventana_;
    ContentView* contentView_ = nullptr;  // owned by the window
    bool cerrandoRespondido_ = false;
    RuedaSoloConFoco* rueda_ = nullptr;  // children; installed on the application
    AtajosDeMenu* atajos_ = nullptr;
};

}  // namespace quelva
