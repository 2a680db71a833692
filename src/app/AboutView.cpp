#include "app/AboutView.h"

#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace quelva {

namespace {

// The brand symbol, filled with a gradient of the system blue.
class SimboloMarca : public QWidget {
public:
    SimboloMarca(int size, QWidget* parent) : QWidget(parent), size_(size) { setFixedSize(size, size); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QColor azul = platform::systemColor(platform::SystemColor::blue);
        QLinearGradient g(0, 0, 0, size_);
        g.setColorAt(0, azul.lighter(130));
        g.setColorAt(1, azul);
        platform::paintSymbol(p, QRectF(0, 0, size_, size_), QStringLiteral("cube.transparent.fill"), g);
    }

private:
    int size_;
};

QLabel* etiqueta(const QString& texto, qreal escala, bool negrita, bool secundaria, QWidget* parent)
{
    auto* l = new QLabel(texto, parent);
    l->setAlignment(Qt::AlignHCenter);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * escala);
    f.setBold(negrita);
    l->setFont(f);
    if (secundaria) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, platform::systemColor(platform::SystemColor::secondaryLabel));
        l->setPalette(pal);
    }
    return l;
}

}  // namespace

AboutView::AboutView(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(340);
    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(0);

    auto* cabecera = new QVBoxLayout;
    cabecera->setSpacing(8);
    cabecera->setContentsMargins(0, 28, 0, 14);
    cabecera->addWidget(new SimboloMarca(56, this), 0, Qt::AlignHCenter);
    auto* marca = new QLabel(QStringLiteral("QUELVA"), this);
    marca->setAlignment(Qt::AlignHCenter);
    QFont fm = marca->font();
    fm.setPixelSize(24);
    fm.setBold(true);
    marca->setFont(fm);
    cabecera->addWidget(marca);
    cabecera->addWidget(etiqueta(QStringLiteral("Versión 1.0  ·  Build 1"), 0.85, false, true, this));
    cabecera->addWidget(etiqueta(QStringLiteral("Software de Coordinación BIM"), 1.0, false, true, this));
    raiz->addLayout(cabecera);

    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFrameShadow(QFrame::Sunken);
    auto* filaDivisor = new QHBoxLayout;
    filaDivisor->setContentsMargins(28, 0, 28, 0);
    filaDivisor->addWidget(divisor);
    raiz->addLayout(filaDivisor);
}

void mostrarAcercaDe()
{
    const QString titulo = QString::fromUtf8(tituloAcercaDe);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isWindow() && w->windowTitle() == titulo) {
            w->show();
            w->raise();
            w->activateWindow();
            return;
        }
    }
    // Titled and closable only; the window takes its height from the view.
    auto* ventana = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                             | Qt::WindowCloseButtonHint);
    ventana->setWindowTitle(titulo);
    // Closing the main window ends the program even while this one is open.
    ventana->setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(ventana);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(new AboutView(ventana));
    // Kept when closed, so that the next request finds it again; gone with the application.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, ventana, &QObject::deleteLater);
    ventana->adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect zona = pantalla->availableGeometry();
        ventana->move(zona.center() - QPoint(ventana->width() / 2, ventana->height() / 2));
    }
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
}

}  // namespace quelva
