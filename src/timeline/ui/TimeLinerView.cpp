#include "timeline/ui/TimeLinerView.h"

#include "timeline/HojasTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/csv/ui/CapaProcesando.h"
#include "timeline/ui/ArbolPaquetes.h"
#include "timeline/ui/BarraScrubber.h"
#include "timeline/ui/CabeceraTimeLiner.h"
#include "timeline/ui/EstiloTimeLiner.h"
#include "timeline/ui/PanelAnalitica.h"
#include "timeline/ui/VistaCurvaS.h"
#include "timeline/ui/VistaGantt.h"

#include "platform/NumberFormat.h"
#include "platform/Queues.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

namespace quelva {

namespace {

QFrame* lineaHorizontal(QWidget* padre)
{
    auto* l = new QFrame(padre);
    l->setFrameShape(QFrame::HLine);
    l->setStyleSheet(QStringLiteral("color: rgba(255,255,255,30);"));
    return l;
}

QWidget* panelOscuro(const char* nombre, QWidget* padre)
{
    auto* w = new QWidget(padre);
    w->setObjectName(QString::fromLatin1(nombre));
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, estilo::fondoPanel());
    w->setPalette(pal);
    return w;
}

}  // namespace

TimeLinerView::TimeLinerView(TimeLinerStore& store, PropiedadesActuales propiedadesIFC,
                             std::map<QString, MapaGlobalIds> globalIdsPorEsp, ViewportController* viewport,
                             ControladorTimeLiner::Especialidades especialidades, QWidget* parent)
    : QWidget(parent, Qt::Window),
      store_(store),
      propiedadesIFC_(std::move(propiedadesIFC)),
      globalIdsPorEsp_(std::move(globalIdsPorEsp))
{
    setObjectName(QStringLiteral("TimeLinerView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Timeline / Control de Obra — QUELVA"));
    setMinimumSize(1100, 640);
    controlador_ = new ControladorTimeLiner(store, viewport, std::move(especialidades), this);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    cabecera_ = new CabeceraTimeLiner(*controlador_, this);
    col->addWidget(cabecera_);
    col->addWidget(lineaHorizontal(this));

    division_ = new QSplitter(Qt::Horizontal, this);
    division_->setObjectName(QStringLiteral("divisionTimeLiner"));
    division_->setChildrenCollapsible(false);
    arbol_ = new ArbolPaquetes(*controlador_, division_);
    arbol_->setMinimumWidth(220);
    arbol_->setMaximumWidth(320);

    auto* centro = new QWidget(division_);
    centro->setObjectName(QStringLiteral("panelTimeline"));
    auto* cc = new QVBoxLayout(centro);
    cc->setContentsMargins(0, 0, 0, 0);
    cc->setSpacing(0);
    panelGantt_ = new QWidget(centro);
    panelGantt_->setObjectName(QStringLiteral("panelGantt"));
    panelGantt_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* pg = new QVBoxLayout(panelGantt_);
    pg->setContentsMargins(0, 0, 0, 0);
    gantt_ = new VistaGantt(*controlador_, ArbolPaquetes::altoTitulo, panelGantt_);
    gantt_->acoplar(arbol_->desplazamiento()->verticalScrollBar());
    gantt_->cuerpo()->setFuenteFilas([this]() -> const std::vector<FilaVisible>& { return arbol_->lista()->filas(); });
    pg->addWidget(gantt_);
    cc->addWidget(panelGantt_, 1);
    cc->addWidget(lineaHorizontal(centro));
    barra_ = new BarraScrubber(*controlador_, centro);
    cc->addWidget(barra_);

    panelAnalitica_ = panelOscuro("panelAnalitica", division_);
    panelAnalitica_->setMinimumWidth(230);
    panelAnalitica_->setMaximumWidth(300);
    auto* pa = new QVBoxLayout(panelAnalitica_);
    pa->setContentsMargins(0, 0, 0, 0);
    analitica_ = new PanelAnalitica(*controlador_, panelAnalitica_);
    pa->addWidget(analitica_);

    division_->addWidget(arbol_);
    division_->addWidget(centro);
    division_->addWidget(panelAnalitica_);
    division_->setStretchFactor(0, 0);
    division_->setStretchFactor(1, 1);
    division_->setStretchFactor(2, 0);
    division_->setSizes({260, 680, 260});
    col->addWidget(division_, 1);

    gantt_->refrescar(int(arbol_->lista()->filas().size()));

    connect(cabecera_, &CabeceraTimeLiner::exportarGantt, this, &TimeLinerView::exportarGanttPDF);
    connect(cabecera_, &CabeceraTimeLiner::exportarCSV, this, &TimeLinerView::exportarCSV);
    connect(cabecera_, &CabeceraTimeLiner::importarCSV, this, &TimeLinerView::importarCSV);
    connect(controlador_, &ControladorTimeLiner::cambiado, this, &TimeLinerView::refrescar);
    connect(controlador_, &ControladorTimeLiner::lecturaCurvaSCambiada, analitica_, &PanelAnalitica::refrescarLectura);
    // A change of the store reaches the window through the controller, which follows it first.
}

TimeLinerView::~TimeLinerView()
{
    // The controller restores the scene as it goes and says so; this view is half gone by then.
    QObject::disconnect(controlador_, nullptr, this, nullptr);
    delete controlador_;
}

void TimeLinerView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!mostrada_) {
        mostrada_ = true;
        controlador_->irAlInicio();
    }
}

void TimeLinerView::closeEvent(QCloseEvent* event)
{
    if (!cerrada_) {
        cerrada_ = true;
        controlador_->detenerYRestaurar();
        for (QPointer<QDialog>* hoja : {&hojaEditor_, &hojaDetector_, &hojaFicha_, &hojaImportarCSV_})
            if (*hoja)
                (*hoja)->reject();
        if (alertaCSV_)
            alertaCSV_->done(QMessageBox::Ok);
        emit cerrada();
    }
    QWidget::closeEvent(event);
}

void TimeLinerView::refrescar()
{
    cabecera_->refrescar();
    arbol_->refrescar();
    gantt_->refrescar(int(arbol_->lista()->filas().size()));
    barra_->refrescar();
    analitica_->refrescar();
    presentarHojas();
}

void TimeLinerView::presentar(QPointer<QDialog>& ranura, bool mostrar, ControladorTimeLiner::Hoja hoja,
                              const std::function<QDialog*()>& crear)
{
    if (!mostrar || ranura || cerrada_)
        return;
    QDialog* d = crear ? crear() : nullptr;
    if (!d) {
        // No tool registered for this sheet yet: the flag goes down at once.
        controlador_->hojaCerrada(hoja);
        return;
    }
    ranura = d;
    d->setAttribute(Qt::WA_DeleteOnClose);
    connect(d, &QDialog::finished, this, [this, &ranura, hoja] {
        ranura = nullptr;  // it deletes itself later; the slot is free now
        controlador_->hojaCerrada(hoja);
    });
    d->open();
}

void TimeLinerView::presentarHojas()
{
    const EstadoTimeLinerView& e = controlador_->estado();
    const HojasTimeLiner& hojas = hojasTimeLiner();
    using Hoja = ControladorTimeLiner::Hoja;
    static const PropiedadesPorEspecialidad sinModelos;
    const PropiedadesPorEspecialidad& propiedades = propiedadesIFC_ ? propiedadesIFC_() : sinModelos;
    presentar(hojaEditor_, e.mostrarEditor, Hoja::editor, [&]() -> QDialog* {
        return hojas.editor ? hojas.editor(this, controlador_->paqueteEditando(), store_, propiedades) : nullptr;
    });
    presentar(hojaDetector_, e.mostrarDetector, Hoja::detector, [&]() -> QDialog* {
        if (!hojas.detector)
            return nullptr;
        // The scan reads its own copy on a background thread while the federation may change.
        return hojas.detector(this, std::make_shared<const PropiedadesPorEspecialidad>(propiedades), globalIdsPorEsp_,
                              store_);
    });
    presentar(hojaFicha_, e.mostrarFicha, Hoja::ficha, [&]() -> QDialog* {
        if (!hojas.ficha || !e.fichaAWP)
            return nullptr;
        return hojas.ficha(this, *e.fichaAWP, store_.config(), e.fichaImagen);
    });
    presentar(hojaImportarCSV_, e.mostrarImportarCSV, Hoja::importarCSV, [&]() -> QDialog* {
        if (!hojas.importarCSV || !e.paquetesCSV)
            return nullptr;
        QPointer<TimeLinerView> yo(this);
        auto confirmar = [yo, lista = e.paquetesCSV](const std::vector<PaqueteAWP>& elegidos) {
            if (!yo)
                return;
            // Every package ticked comes back as the shared list itself, which is not copied.
            yo->confirmarCSV(&elegidos == lista.get() ? lista
                                                      : std::make_shared<const std::vector<PaqueteAWP>>(elegidos));
        };
        return hojas.importarCSV(this, e.paquetesCSV, std::move(confirmar));
    });

    if (e.errorCSV && !alertaCSV_ && !cerrada_) {
        auto* alerta = new QMessageBox(QMessageBox::Warning, QStringLiteral("Error al importar CSV"), *e.errorCSV,
                                       QMessageBox::NoButton, this);
        alerta->setObjectName(QStringLiteral("alertaErrorCSV"));
        alerta->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        alerta->setAttribute(Qt::WA_DeleteOnClose);
        alertaCSV_ = alerta;
        // However the alert goes away, the error goes with it.
        connect(alerta, &QDialog::finished, this, [this] {
            alertaCSV_ = nullptr;
            controlador_->cerrarErrorCSV();
        });
        alerta->open();
    }
}

void TimeLinerView::confirmarCSV(std::shared_ptr<const std::vector<PaqueteAWP>> elegidos)
{
    // Hundreds of thousands of packages take seconds to merge and lay out: the window stays
    // drawn under the overlay meanwhile.
    const auto cuantos = static_cast<long long>(elegidos->size());
    QPointer<CapaProcesando> capa = new CapaProcesando(this, platform::qformat("Importando %lld paquetes…", cuantos));
    std::optional<PedidoCurvaS> curva;
    const EstadoTimeLinerView& e = controlador_->estado();
    if (e.panelModo != 0)
        curva = PedidoCurvaS{e.curvasModo, analitica_->panelCurvaS()->superficie()->size()};
    controlador_->agregarPaquetesCSVEnSegundoPlano(
        std::move(elegidos), [capa] { delete capa.data(); }, curva);
}

void TimeLinerView::exportarGanttPDF()
{
    const HojasTimeLiner& hojas = hojasTimeLiner();
    if (!hojas.exportarGantt)
        return;
    PaginaGantt pagina;
    pagina.gCfg = store_.config();
    pagina.gFilas = filasCompletas(pagina.gCfg);
    if (pagina.gFilas.empty())
        return;
    pagina.gScrubber = controlador_->estado().fechaScrubber;
    pagina.gAutoAvance = controlador_->estado().modoAutoAvance;
    pagina.nombreSugerido =
        QStringLiteral("Gantt_") + pagina.gCfg.fechaInicio.toLocalTime().toString(QStringLiteral("yyyyMM"));
    hojas.exportarGantt(this, pagina);
}

void TimeLinerView::exportarCSV()
{
    if (const auto& exportar = hojasTimeLiner().exportarCSV)
        exportar(this, store_.config());
}

void TimeLinerView::importarCSV()
{
    const auto& leer = hojasTimeLiner().leerCSV;
    if (!leer)
        return;
    QPointer<ControladorTimeLiner> c(controlador_);
    leer(this, [c](std::vector<PaqueteAWP> paquetes) {
        platform::MainQueue::post([c, paquetes = std::move(paquetes)]() mutable {
            if (c)
                c->errorSinPaquetesCSV(std::move(paquetes));
        });
    });
}

}  // namespace quelva
