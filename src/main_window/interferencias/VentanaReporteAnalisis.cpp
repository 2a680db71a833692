#include "main_window/interferencias/VentanaReporteAnalisis.h"

#include "clash/BCFExporter.h"
#include "clash/ReporteHTML.h"
#include "main_window/interferencias/ReporteContenidoView.h"
#include "platform/AlertTitle.h"
#include "platform/OpenWithDefault.h"
#include "platform/SavePanel.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "platform/WorkFolder.h"
#include "render/Thumbnails.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace quelva {

namespace {

using platform::SystemColor;

QProgressBar* giro(QWidget* padre)
{
    auto* g = new QProgressBar(padre);
    g->setRange(0, 0);
    g->setTextVisible(false);
    g->setFixedSize(36, 8);
    return g;
}

}  // namespace

VentanaReporteAnalisis::VentanaReporteAnalisis(AnalisisInterferencias analisis, scene::ScenePtr escena, QWidget* parent)
    : QWidget(parent, Qt::Window), analisis_(std::move(analisis)), escena_(std::move(escena))
{
    setObjectName(QStringLiteral("VentanaReporteAnalisis"));
    setWindowTitle(QStringLiteral("Reporte · ") + analisis_.nombre);
    setMinimumSize(820, 600);
    resize(820, 700);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    auto* barra = new QWidget(this);
    barra->setObjectName(QStringLiteral("barraReporte"));
    auto* h = new QHBoxLayout(barra);
    h->setContentsMargins(16, 10, 16, 10);
    h->setSpacing(10);
    auto* nombre = new QLabel(barra);
    nombre->setObjectName(QStringLiteral("nombreReporte"));
    nombre->setTextFormat(Qt::PlainText);
    nombre->setText(analisis_.nombre);
    QFont fn = nombre->font();
    fn.setBold(true);
    nombre->setFont(fn);
    nombre->setMinimumWidth(40);
    nombre->setMaximumWidth(360);
    h->addWidget(nombre);
    conteo_ = new QLabel(QStringLiteral("· ") + QString::number(analisis_.interferencias.size()) +
                             QStringLiteral(" colisiones"),
                         barra);
    conteo_->setObjectName(QStringLiteral("conteoReporte"));
    conteo_->setStyleSheet(QStringLiteral("color: palette(mid);"));
    h->addWidget(conteo_);
    h->addStretch(1);

    generandoFila_ = new QWidget(barra);
    generandoFila_->setObjectName(QStringLiteral("generandoVistas"));
    auto* hg = new QHBoxLayout(generandoFila_);
    hg->setContentsMargins(0, 0, 0, 0);
    hg->setSpacing(6);
    hg->addWidget(giro(generandoFila_));
    auto* tg = new QLabel(QStringLiteral("Generando vistas…"), generandoFila_);
    tg->setStyleSheet(QStringLiteral("color: palette(mid);"));
    hg->addWidget(tg);
    h->addWidget(generandoFila_);

    filaEstadoBCF_ = new QWidget(barra);
    filaEstadoBCF_->setObjectName(QStringLiteral("filaEstadoBCF"));
    auto* he = new QHBoxLayout(filaEstadoBCF_);
    he->setContentsMargins(0, 0, 0, 0);
    he->setSpacing(4);
    simboloBCF_ = new QLabel(filaEstadoBCF_);
    simboloBCF_->setObjectName(QStringLiteral("simboloEstadoBCF"));
    he->addWidget(simboloBCF_);
    estadoBCF_ = new QLabel(filaEstadoBCF_);
    estadoBCF_->setObjectName(QStringLiteral("estadoBCF"));
    he->addWidget(estadoBCF_);
    h->addWidget(filaEstadoBCF_);

    bcf_ = new QPushButton(platform::symbolIcon(QStringLiteral("square.and.arrow.up.on.square")),
                           QStringLiteral("Exportar BCF"), barra);
    bcf_->setObjectName(QStringLiteral("exportarBCF"));
    bcf_->setToolTip(QStringLiteral("Exportar como BIM Collaboration Format 2.1 (Revit, Navisworks, Solibri)"));
    h->addWidget(bcf_);
    giroBCF_ = giro(barra);
    h->addWidget(giroBCF_);
    imprimir_ = new QPushButton(platform::symbolIcon(QStringLiteral("printer.fill")), QStringLiteral("Imprimir / PDF"), barra);
    imprimir_->setObjectName(QStringLiteral("imprimir"));
    imprimir_->setDefault(true);
    h->addWidget(imprimir_);
    col->addWidget(barra);

    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFrameShadow(QFrame::Sunken);
    col->addWidget(divisor);

    auto* desplazable = new QScrollArea(this);
    desplazable->setWidgetResizable(true);
    desplazable->setFrameShape(QFrame::NoFrame);
    desplazable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pagina_ = new ReporteContenidoView(analisis_, desplazable);
    pagina_->setMiniaturas(&miniaturas_);
    desplazable->setWidget(pagina_);
    col->addWidget(desplazable, 1);

    connect(bcf_, &QPushButton::clicked, this, &VentanaReporteAnalisis::exportarBCF);
    connect(imprimir_, &QPushButton::clicked, this, &VentanaReporteAnalisis::generarHTML);
    selectorDestino_ = [this](const QString& sugerido) -> std::optional<QString> {
        const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        // Any kind of file: the package goes to the very name typed (other tools also read
        // ".bcfzip"); only the proposed name carries ".bcf".
        platform::SavePanel panel(this, QStringLiteral("Guardar informe BCF 2.1"), QString(),
                                  QDir(carpeta).filePath(sugerido));
        if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
            return std::nullopt;
        return panel.selectedFiles().front();
    };
    actualizarBarra();
    // The thumbnail renderer gets ready while the window comes up.
    if (!analisis_.interferencias.empty())
        render::sharedThumbnailer();
}

VentanaReporteAnalisis::~VentanaReporteAnalisis() = default;

bool VentanaReporteAnalisis::generando() const
{
    return miniaturas_.empty() && !analisis_.interferencias.empty();
}

void VentanaReporteAnalisis::setSelectorDestinoBCF(std::function<std::optional<QString>(const QString&)> selector)
{
    selectorDestino_ = std::move(selector);
}

void VentanaReporteAnalisis::actualizarBarra()
{
    generandoFila_->setVisible(generando());
    imprimir_->setEnabled(!generando());
    bcf_->setVisible(!exportandoBCF_);
    giroBCF_->setVisible(exportandoBCF_);
    filaEstadoBCF_->setVisible(bcfExito_.has_value());
    if (bcfExito_) {
        const QColor color = platform::systemColor(*bcfExito_ ? SystemColor::green : SystemColor::red);
        simboloBCF_->setPixmap(platform::symbolPixmap(
            *bcfExito_ ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("xmark.circle.fill"),
            estadoBCF_->fontMetrics().height(), color));
        estadoBCF_->setText(*bcfExito_ ? QStringLiteral("BCF exportado") : QStringLiteral("Error al exportar"));
        estadoBCF_->setStyleSheet(QStringLiteral("color: %1;").arg(color.name()));
    }
}

void VentanaReporteAnalisis::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!renderizando_ && generando())
        programarMiniaturas();
}

void VentanaReporteAnalisis::closeEvent(QCloseEvent* event)
{
    // Rendering stops with the window; showing it again starts over.
    ++generacion_;
    renderizando_ = false;
    pendientes_.clear();
    QWidget::closeEvent(event);
}

void VentanaReporteAnalisis::programarMiniaturas()
{
    renderizando_ = true;
    pendientes_.clear();
    siguiente_ = 0;
    const int generacion = ++generacion_;
    QTimer::singleShot(200, this, [this, generacion] { renderSiguiente(generacion); });
}

void VentanaReporteAnalisis::renderSiguiente(int generacion)
{
    if (generacion != generacion_)
        return;
    if (siguiente_ < analisis_.interferencias.size()) {
        render::Thumbnailer& renderizador = render::sharedThumbnailer();
        if (!renderizador.isReady()) {
            // Its shaders are still being made on their own thread: look again shortly.
            QTimer::singleShot(15, this, [this, generacion] { renderSiguiente(generacion); });
            return;
        }
        // One thumbnail per turn of the event loop: the windows keep answering meanwhile.
        const Interferencia& i = analisis_.interferencias[siguiente_++];
        const VistaMiniatura vista = vistaMiniatura(i, escena_.get());
        const QImage imagen = renderizador.render(vista.elementos, vista.camara);
        pendientes_[i.id] = miniaturaDesdeImagen(imagen);
        QTimer::singleShot(0, this, [this, generacion] { renderSiguiente(generacion); });
        return;
    }
    // All at once: the page, the progress row and the print button change together.
    miniaturas_ = std::move(pendientes_);
    pendientes_.clear();
    renderizando_ = false;
    pagina_->setMiniaturas(&miniaturas_);
    actualizarBarra();
    emit miniaturasPublicadas();
}

void VentanaReporteAnalisis::exportarBCF()
{
    if (exportandoBCF_)
        return;
    exportandoBCF_ = true;
    bcfExito_.reset();
    actualizarBarra();
    BCFExporter exportador;
    exportador.analisis = analisis_;
    exportador.nombreProyecto = analisis_.nombre;
    exportador.globalIds = globalIds_;
    for (const auto& [id, m] : miniaturas_)
        exportador.snapshots[id] = m.png;
    QPointer<VentanaReporteAnalisis> self(this);
    exportador.exportar(
        [self](const QString& nombre) -> std::optional<QString> {
            if (!self || !self->selectorDestino_)
                return std::nullopt;
            return self->selectorDestino_(nombre);
        },
        [self](bool ok) {
            if (!self)
                return;
            self->exportandoBCF_ = false;
            self->bcfExito_ = ok;
            self->actualizarBarra();
            emit self->bcfTerminado(ok);
            QTimer::singleShot(3000, self, [self] {
                if (!self || self->exportandoBCF_)
                    return;
                self->bcfExito_.reset();
                self->actualizarBarra();
            });
        });
}

void VentanaReporteAnalisis::generarHTML()
{
    const auto resultado = escribirReporteHTML(analisis_, miniaturas_, platform::reportsFolder());
    if (resultado.index() == 1) {
        mostrarError(std::get<1>(resultado));
        return;
    }
    const QString ruta = std::get<0>(resultado);
    if (!platform::openFileWithDefaultApplication(ruta))
        mostrarError(QStringLiteral("No se pudo abrir el reporte en la aplicación predeterminada: ") + ruta);
}

void VentanaReporteAnalisis::mostrarError(const QString& mensaje)
{
    auto* alerta = new QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), QStringLiteral("Error"),
                                   QMessageBox::Ok, this);
    alerta->setAttribute(Qt::WA_DeleteOnClose);
    alerta->setInformativeText(mensaje);
    alerta->setWindowModality(Qt::WindowModal);
    platform::keepAlertTitleWhole(*alerta);
    alerta->open();
}

}  // namespace quelva
