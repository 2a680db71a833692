#pragma once

#include "comparison/MiniaturasTRELM.h"
#include "comparison/ResultadoTRELM.h"
#include "scene/Node.h"

#include <QWidget>

namespace quelva {

class ReporteTRELMView;

// "Informe TRELM · a.ifc → b.ifc": the change report of one comparison, on a copy of its result
// and of the changed elements taken when it opens. Renders the thumbnails once it is shown, one
// per event-loop turn, and publishes them all at once.
class VentanaReporteTRELM : public QWidget {
    Q_OBJECT
public:
    VentanaReporteTRELM(ResultadoTRELM resultado, const scene::NodePtr& modeloNuevo, const scene::NodePtr& modeloBase,
                        QWidget* parent = nullptr);

    TRELMThumbnailStore* store() const { return store_; }
    GeneradorMiniaturasTRELM* generador() const { return generador_; }
    ReporteTRELMView* reporte() const { return reporte_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    TRELMThumbnailStore* store_ = nullptr;
    GeneradorMiniaturasTRELM* generador_ = nullptr;
    ReporteTRELMView* reporte_ = nullptr;
};

}  // namespace quelva
