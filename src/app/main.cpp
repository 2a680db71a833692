#include "app/QUELVAApp.h"
#include "app/TemaVisual.h"
#include "platform/NumberFormat.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QUELVA"));
    // Qt took the numeric locale from the environment; numbers are written with a full stop.
    platform::pinNumericLocale();
    quelva::aplicarTemaVisual(app);
    quelva::QUELVAApp quelvaApp;
    quelvaApp.ventanaPrincipal()->show();
    app.exec();
    return 0;
}
