#pragma once

#include "timeline/ControladorTimeLiner.h"

#include "federation/EstadoFederacion.h"
#include "federation/ifc/GlobalIds.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class QSplitter;

namespace quelva {

class ArbolPaquetes;
class BarraScrubber;
class CabeceraTimeLiner;
class PanelAnalitica;
class VistaGantt;

// The timeline window: header over a split of package tree, timeline (Gantt and scrubber) and
// analytics. It is its own top-level window; closing it stops playback, gives the scene its
// own look back and deletes it.
class TimeLinerView : public QWidget {
    Q_OBJECT
public:
    // The federation's property table as it is now: models linked while the window is open count.
    using PropiedadesActuales = std::function<const PropiedadesPorEspecialidad&()>;

    TimeLinerView(TimeLinerStore& store, PropiedadesActuales propiedadesIFC,
                  std::map<QString, MapaGlobalIds> globalIdsPorEsp, ViewportController* viewport,
                  ControladorTimeLiner::Especialidades especialidades, QWidget* parent = nullptr);
    ~TimeLinerView() override;

    ControladorTimeLiner& controlador() { return *controlador_; }
    CabeceraTimeLiner* cabecera() const { return cabecera_; }
    ArbolPaquetes* arbol() const { return arbol_; }
    BarraScrubber* barraScrubber() const { return barra_; }
    QSplitter* division() const { return division_; }
    // The panes the charts and panels go into.
    QWidget* panelGantt() const { return panelGantt_; }
    QWidget* panelAnalitica() const { return panelAnalitica_; }
    VistaGantt* gantt() const { return gantt_; }
    PanelAnalitica* analitica() const { return analitica_; }
    QMessageBox* alertaCSV() const { return alertaCSV_; }

    // "Exportar Gantt", "CSV" and "Importar CSV": hand over to the registered tools.
    void exportarGanttPDF();
    void exportarCSV();
    void importarCSV();

signals:
    // The window was closed (it deletes itself once the event loop turns).
    void cerrada();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refrescar();
    void presentarHojas();
    // The preview's confirmation, merged in the background behind an overlay.
    void confirmarCSV(std::shared_ptr<const std::vector<PaqueteAWP>> elegidos);
    void presentar(QPointer<QDialog>& ranura, bool mostrar, ControladorTimeLiner::Hoja hoja,
                   const std::function<QDialog*()>& crear);

    TimeLinerStore& store_;
    PropiedadesActuales propiedadesIFC_;
    std::map<QString, MapaGlobalIds> globalIdsPorEsp_;
    ControladorTimeLiner* controlador_;
    CabeceraTimeLiner* cabecera_;
    ArbolPaquetes* arbol_;
    BarraScrubber* barra_;
    QSplitter* division_;
    QWidget* panelGantt_;
    QWidget* panelAnalitica_;
    VistaGantt* gantt_;
    PanelAnalitica* analitica_;
    bool mostrada_ = false;
    bool cerrada_ = false;

    QPointer<QDialog> hojaEditor_;
    QPointer<QDialog> hojaDetector_;
    QPointer<QDialog> hojaFicha_;
    QPointer<QDialog> hojaImportarCSV_;
    QPointer<QMessageBox> alertaCSV_;
};

}  // namespace quelva
