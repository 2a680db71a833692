#pragma once

#include <QMainWindow>
#include <QObject>

#include <memory>

namespace quelva {

class ContentView;

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

private:
    void construirMenus();

    std::unique_ptr<QMainWindow> ventana_;
    ContentView* contentView_ = nullptr;  // owned by the window
};

}  // namespace quelva
