#include "app/QUELVAApp.h"
#include "app/TemaVisual.h"
#include "app/TraduccionesQt.h"
#include "platform/NumberFormat.h"
#include "platform/Queues.h"
#include "platform/WorkFolder.h"
#include "timeline/csv/ui/IntercambioCSV.h"
#include "timeline/detector/ui/DetectorAWPView.h"
#include "timeline/editor/ui/EditorPaqueteView.h"
#include "timeline/impresion/RegistroImpresion.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QUELVA"));
    // Qt took the numeric locale from the environment; numbers are written with a full stop.
    platform::pinNumericLocale();
    quelva::aplicarTemaVisual(app);
    // Reports opened in other applications are kept a week.
    platform::BackgroundQueue::post([] { platform::removeOldReports(); });
    quelva::instalarTraduccionesQt(app);
    quelva::registrarEditorPaquete();
    // The timeline window finds its CSV roads and the detector here.
    quelva::registrarIntercambioCSV();
    quelva::registrarDetectorAWP();
    quelva::registrarImpresionTimeLiner();
    quelva::QUELVAApp quelvaApp;
    quelvaApp.ventanaPrincipal()->show();
    app.exec();
    return 0;
}
