#include "timeline/impresion/RegistroImpresion.h"

#include "timeline/HojasTimeLiner.h"
#include "timeline/impresion/FichaAWPView.h"
#include "timeline/impresion/GuardarPDF.h"
#include "timeline/impresion/PaginaGanttPDF.h"

namespace quelva {

void registrarImpresionTimeLiner()
{
    HojasTimeLiner& hojas = hojasTimeLiner();
    hojas.exportarGantt = [](QWidget* padre, const PaginaGantt& pagina) {
        if (pagina.gFilas.empty())
            return;
        // The page keeps the window's state as it was when the button was pressed.
        pedirDestinoPDF(padre, QStringLiteral("Exportar Gantt a PDF"), pagina.nombreSugerido,
                        [pagina](const QString& ruta) { return escribirPDFGantt(ruta, pagina); });
    };
    hojas.ficha = [](QWidget* padre, const PaqueteAWP& fichaAWP, const TimeLinerConfig& config,
                     const std::optional<QImage>& fichaImagen) -> QDialog* {
        return new FichaAWPView(DatosFicha{fichaAWP, config, fichaImagen}, padre);
    };
}

}  // namespace quelva
