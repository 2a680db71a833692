#include "main_window/comparacion/VentanaReporteTRELM.h"

#include "main_window/comparacion/ReporteTRELMView.h"

#include <QVBoxLayout>

namespace quelva {

VentanaReporteTRELM::VentanaReporteTRELM(ResultadoTRELM resultado, const scene::NodePtr& modeloNuevo,
                                         const scene::NodePtr& modeloBase, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("VentanaReporteTRELM"));
    setWindowTitle(QStringLiteral("Informe TRELM · ") + resultado.archivoBase + QStringLiteral(" → ") +
                   resultado.archivoNuevo);
    resize(1020, 700);
    store_ = new TRELMThumbnailStore(this);
    generador_ = new GeneradorMiniaturasTRELM(reunirMiniaturasTRELM(resultado.elementos, modeloNuevo, modeloBase),
                                              store_, this);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    reporte_ = new ReporteTRELMView(std::move(resultado), store_, this);
    col->addWidget(reporte_);
}

void VentanaReporteTRELM::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // After the first paint: the page shows its placeholders at once.
    generador_->empezar(100);
}

}  // namespace quelva
