#include "timeline/ui/PanelAnalitica.h"

#include "timeline/ControladorTimeLiner.h"
#include "timeline/ui/ColumnaEVM.h"
#include "timeline/ui/VistaCurvaS.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace quelva {

namespace {

QPushButton* segmento(const QString& texto, const char* nombre, const char* esquinas, QWidget* padre)
{
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setCheckable(true);
    b->setFocusPolicy(Qt::TabFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setStyleSheet(QStringLiteral("QPushButton { color: rgba(255,255,255,220); background: rgba(255,255,255,18);"
                                    " border: 1px solid rgba(255,255,255,30); padding: 3px 6px; %1 }"
                                    " QPushButton:checked { background: rgba(255,255,255,60); }")
                         .arg(QString::fromLatin1(esquinas)));
    return b;
}

}  // namespace

PanelAnalitica::PanelAnalitica(ControladorTimeLiner& controlador, QWidget* parent) : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("panelAnalisis"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    auto* selector = new QHBoxLayout;
    selector->setContentsMargins(10, 10, 10, 10);
    selector->setSpacing(0);
    evm_ = segmento(QStringLiteral("EVM / Costo"), "segmentoEVM",
                    "border-top-left-radius: 5px; border-bottom-left-radius: 5px;", this);
    curvaS_ = segmento(QStringLiteral("S-Curve"), "segmentoCurvaS",
                       "border-top-right-radius: 5px; border-bottom-right-radius: 5px;", this);
    auto* grupo = new QButtonGroup(this);
    grupo->setExclusive(true);
    grupo->addButton(evm_, 0);
    grupo->addButton(curvaS_, 1);
    selector->addWidget(evm_);
    selector->addWidget(curvaS_);
    col->addLayout(selector);
    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setStyleSheet(QStringLiteral("color: rgba(255,255,255,30);"));
    col->addWidget(divisor);

    caras_ = new QStackedWidget(this);
    desplazable_ = new QScrollArea(caras_);
    desplazable_->setObjectName(QStringLiteral("desplazamientoEVM"));
    desplazable_->setFrameShape(QFrame::NoFrame);
    desplazable_->setWidgetResizable(true);
    desplazable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    desplazable_->viewport()->setAutoFillBackground(false);
    columna_ = new ColumnaEVM(controlador);
    columna_->setAutoFillBackground(false);
    desplazable_->setWidget(columna_);
    panelCurvaS_ = new PanelCurvaS(controlador, caras_);
    caras_->addWidget(desplazable_);
    caras_->addWidget(panelCurvaS_);
    col->addWidget(caras_, 1);

    connect(grupo, &QButtonGroup::idClicked, this, [this](int id) { c_.setPanelModo(id); });
    refrescar();
}

void PanelAnalitica::refrescar()
{
    const bool evm = c_.estado().panelModo == 0;
    evm_->setChecked(evm);
    curvaS_->setChecked(!evm);
    caras_->setCurrentIndex(evm ? 0 : 1);
    if (evm)
        columna_->refrescar();
    else
        panelCurvaS_->refrescar();
}

void PanelAnalitica::refrescarLectura()
{
    if (c_.estado().panelModo != 0)
        panelCurvaS_->superficie()->update();
}

}  // namespace quelva
