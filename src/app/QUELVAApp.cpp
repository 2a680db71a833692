#include "app/QUELVAApp.h"

#include "app/AboutView.h"
#include "app/AtajosDeMenu.h"
#include "app/Menus.h"
#include "app/RuedaSoloConFoco.h"
#include "main_window/ContentView.h"
#include "platform/OpenWithDefault.h"
#include "platform/Resources.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

namespace quelva {

QUELVAApp::QUELVAApp(QObject* parent) : QObject(parent)
{
    ventana_ = std::make_unique<QMainWindow>();
    ventana_->setWindowTitle(QStringLiteral("QUELVA"));
    ventana_->setUnifiedTitleAndToolBarOnMac(true);
    contentView_ = new ContentView(ventana_.get());
    ventana_->setCentralWidget(contentView_);
    ventana_->setMinimumSize(1100, 700);
    ventana_->resize(1440, 900);
    ventana_->installEventFilter(this);
    construirMenus();
    rueda_ = new RuedaSoloConFoco(this);
    atajos_ = new AtajosDeMenu(*ventana_, this);
    qApp->installEventFilter(rueda_);
    qApp->installEventFilter(atajos_);
}

QUELVAApp::~QUELVAApp()
{
    // The window goes with the members, after this body; its last events must not reach the filter.
    ventana_->removeEventFilter(this);
    // The application outlives this object: its filters go before the window they refer to.
    delete atajos_;
    delete rueda_;
}

void QUELVAApp::construirMenus()
{
    QMenuBar* barra = ventana_->menuBar();
    for (const Menu& menu : menusDeComandos()) {
        QMenu* m = barra->addMenu(menu.titulo);
        for (const ItemMenu& item : menu.items) {
            if (item.texto.isEmpty()) {
                m->addSeparator();
                continue;
            }
            QAction* a = m->addAction(item.texto);
            a->setShortcut(item.atajo);
            const QString nombre = item.notificacion;
            connect(a, &QAction::triggered, this, [nombre] { publicarNotificacion(nombre); });
        }
        // Linux desktops keep the quit command at the end of the file menu.
        if (menu.titulo == QStringLiteral("Archivo")) {
            m->addSeparator();
            QAction* salir = m->addAction(QStringLiteral("Salir"));
            salir->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
            salir->setMenuRole(QAction::QuitRole);
            connect(salir, &QAction::triggered, this, &QUELVAApp::salir);
        }
    }
    // The help and about items of the platform's application menu live here.
    QMenu* ayuda = barra->addMenu(QStringLiteral("Ayuda"));
    connect(ayuda->addAction(QStringLiteral("Road Map QUELVA")), &QAction::triggered, this,
            [] { abrirRoadMap(); });
    connect(ayuda->addAction(QString::fromUtf8(tituloAcercaDe)), &QAction::triggered, this,
            [] { mostrarAcercaDe(); });
}

void QUELVAApp::salir()
{
    contentView_->antesDeDescartarProyecto([this] { cerrarSinPreguntar([] { QApplication::closeAllWindows(); }); });
}

void QUELVAApp::cerrarSinPreguntar(const std::function<void()>& cerrar)
{
    cerrandoRespondido_ = true;
    cerrar();
    cerrandoRespondido_ = false;
}

bool QUELVAApp::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == ventana_.get() && evento->type() == QEvent::Close && !cerrandoRespondido_
        && contentView_->hayCambiosSinGuardar()) {
        // The window stays until the question is answered; the answer closes it again.
        evento->ignore();
        contentView_->preguntarGuardarCambios([this] { cerrarSinPreguntar([this] { ventana_->close(); }); });
        return true;
    }
    return QObject::eventFilter(objeto, evento);
}

void QUELVAApp::abrirRoadMap()
{
    if (const auto ruta = platform::Resources::path(QStringLiteral("ROADMAP"), QStringLiteral("md")))
        platform::openFileWithDefaultApplication(*ruta);
}

}  // namespace quelva
