#pragma once

// Where the timeline-editing tools plug into the timeline window: the package editor, the
// detector, the package card, the CSV preview, the CSV road in and out, and the printable
// Gantt page. The window raises a sheet when its flag is set and reads these at that moment,
// so a tool registers itself once at start-up and the window needs no change. Whatever is not
// registered does nothing.

#include "timeline/FigurasTimeLiner.h"
#include "timeline/TimeLiner.h"

#include "federation/EstadoFederacion.h"
#include "federation/ifc/GlobalIds.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace quelva {

class TimeLinerStore;

// What "Exportar Gantt" hands over: the page's configuration, rows (every CWA expanded),
// scrubber date and automatic-progress switch, and the file name to propose.
struct PaginaGantt {
    TimeLinerConfig gCfg;
    std::vector<FilaVisible> gFilas;
    QDateTime gScrubber;
    bool gAutoAvance = false;
    QString nombreSugerido;  // "Gantt_" and the project start as yyyyMM
};

struct HojasTimeLiner {
    // Each sheet factory returns the dialog to show over `padre`; the window clears the flag
    // when the dialog closes. Changes go through the store, which announces them.

    // Editor: `paqueteEditando` is the working copy (a new package or a stored one, same id).
    std::function<QDialog*(QWidget* padre, PaqueteAWP& paqueteEditando, TimeLinerStore& store,
                           const PropiedadesPorEspecialidad& propiedadesIFC)>
        editor;
    // The table is shared and never changes, so a scan may go on reading it after the window closed.
    std::function<QDialog*(QWidget* padre, std::shared_ptr<const PropiedadesPorEspecialidad> propiedadesIFC,
                           const std::map<QString, MapaGlobalIds>& globalIdsPorEsp, TimeLinerStore& store)>
        detector;
    // Card of one package, with a copy of the configuration and the picture of its elements.
    std::function<QDialog*(QWidget* padre, const PaqueteAWP& fichaAWP, const TimeLinerConfig& config,
                           const std::optional<QImage>& fichaImagen)>
        ficha;
    // Preview of parsed packages, all ticked; `confirmar` takes the ticked ones in file order.
    std::function<QDialog*(QWidget* padre, std::shared_ptr<const std::vector<PaqueteAWP>> paquetesCSV,
                           std::function<void(const std::vector<PaqueteAWP>&)> confirmar)>
        importarCSV;

    // "Importar CSV": asks for the file, reads and parses it, and hands over the packages read
    // (possibly none). An unreadable file ends the road without calling `alLeer`.
    std::function<void(QWidget* padre, std::function<void(std::vector<PaqueteAWP>)> alLeer)> leerCSV;
    // "CSV": asks where and writes the configuration's packages.
    std::function<void(QWidget* padre, const TimeLinerConfig& config)> exportarCSV;
    // "Exportar Gantt": asks where and writes the page.
    std::function<void(QWidget* padre, const PaginaGantt& pagina)> exportarGantt;
};

// The one registry, filled at start-up by the tools that provide these.
HojasTimeLiner& hojasTimeLiner();

}  // namespace quelva
