#include "comments/ui/ReporteComentariosView.h"

#include "comments/PaqueteBCFComentarios.h"
#include "comments/ReportePDFComentarios.h"
#include "comments/ui/EstiloComentarios.h"
#include "comments/ui/ImagenComentario.h"
#include "platform/AlertTitle.h"
#include "platform/NumberFormat.h"
#include "platform/Resources.h"
#include "platform/SavePanel.h"
#include "platform/Symbols.h"
#include "platform/TextBreaks.h"
#include "platform/UserDate.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quelva {

namespace {

QImage logoQUELVA()
{
    const auto ruta = platform::Resources::path(QStringLiteral("logoQUELVA"), QStringLiteral("png"));
    return ruta ? QImage(*ruta) : QImage();
}

// The card's rounded panel: control background at 0.7, a faint white outline.
class MarcoTarjeta : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fondo = palette().color(QPalette::Base);
        fondo.setAlphaF(0.7f);
        p.setBrush(fondo);
        p.setPen(QPen(QColor(255, 255, 255, 18), 0.5));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    }
};

QWidget* tarjeta(const ComentarioMarkup& c, QWidget* padre)
{
    auto* marco = new MarcoTarjeta(padre);
    marco->setObjectName(QStringLiteral("tarjetaComentario"));
    auto* col = new QVBoxLayout(marco);
    col->setContentsMargins(16, 16, 16, 16);
    col->setSpacing(12);

    auto* arriba = new QHBoxLayout;
    arriba->setSpacing(12);
    auto* chip = etiquetaComentario(c.tag, 15, true, colorTag(), marco);
    chip->setObjectName(QStringLiteral("tag"));
    chip->setContentsMargins(8, 3, 8, 3);
    chip->setAutoFillBackground(false);
    chip->setStyleSheet(QStringLiteral("color: %1; background: rgba(255,204,0,38); border-radius: 5px;")
                            .arg(colorTag().name()));
    arriba->addWidget(chip, 0, Qt::AlignTop);
    auto* textos = new QVBoxLayout;
    textos->setSpacing(3);
    if (!c.descripcion.isEmpty()) {
        // A path or a GUID without spaces breaks anywhere rather than widening the card.
        auto* d = etiquetaComentario(platform::breakableAnywhere(c.descripcion), 13, true, QColor(255, 255, 255), marco);
        d->setObjectName(QStringLiteral("descripcion"));
        d->setWordWrap(true);
        textos->addWidget(d);
    }
    auto* meta = new QHBoxLayout;
    meta->setSpacing(14);
    meta->addWidget(filaIcono(QStringLiteral("person.fill"), c.autor, 12, colorSecundario(), marco));
    meta->addWidget(filaIcono(QStringLiteral("calendar"),
                              platform::formatUserDate(c.fecha, platform::DateStyle::medium,
                                                       platform::DateStyle::short_),
                              12, colorSecundario(), marco));
    meta->addStretch(1);
    textos->addLayout(meta);
    arriba->addLayout(textos, 1);
    col->addLayout(arriba);

    const QImage imagen = c.imagenJPEG ? QImage::fromData(*c.imagenJPEG, "JPEG") : QImage();
    if (!imagen.isNull()) {
        auto* img = new ImagenComentario(imagen, 8, marco);
        img->setObjectName(QStringLiteral("imagen"));
        col->addWidget(img);
    }

    if (!c.trazados.empty() || !c.textos.empty()) {
        auto* conteos = new QHBoxLayout;
        conteos->setSpacing(16);
        if (!c.trazados.empty())
            conteos->addWidget(filaIcono(QStringLiteral("pencil.tip"),
                                         platform::qformat("%lld", static_cast<long long>(c.trazados.size()))
                                             + QStringLiteral(" trazo(s)"),
                                         11, colorTerciario(), marco));
        if (!c.textos.empty())
            conteos->addWidget(filaIcono(QStringLiteral("textformat"),
                                         platform::qformat("%lld", static_cast<long long>(c.textos.size()))
                                             + QStringLiteral(" texto(s)"),
                                         11, colorTerciario(), marco));
        conteos->addStretch(1);
        col->addLayout(conteos);
    }
    return marco;
}

}  // namespace

QString ReporteComentariosView::lineaConteo(long long n, const QDateTime& hoy)
{
    return platform::qformat("%lld", n) + QStringLiteral(" comentario(s)  ") + QChar(0x00B7) + QStringLiteral("  ")
           + platform::formatUserDate(hoy, platform::DateStyle::long_);
}

ReporteComentariosView::ReporteComentariosView(std::vector<ComentarioMarkup> comentarios, QWidget* parent)
    : QWidget(parent), comentarios_(std::move(comentarios))
{
    setObjectName(QStringLiteral("reporteComentarios"));
    setMinimumSize(720, 500);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    auto* cabecera = new QHBoxLayout;
    cabecera->setContentsMargins(16, 16, 16, 16);
    cabecera->setSpacing(16);
    const QImage logo = logoQUELVA();
    if (!logo.isNull()) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("logo"));
        l->setPixmap(QPixmap::fromImage(logo.scaledToHeight(36 * devicePixelRatio(), Qt::SmoothTransformation)));
        cabecera->addWidget(l);
    }
    auto* titulos = new QVBoxLayout;
    titulos->setSpacing(2);
    titulos->addWidget(etiquetaComentario(QStringLiteral("Reporte de Comentarios"), 17, true, QColor(255, 255, 255), this));
    auto* conteo = etiquetaComentario(lineaConteo(static_cast<long long>(comentarios_.size()),
                                                  QDateTime::currentDateTime()),
                                      12, false, colorSecundario(), this);
    conteo->setObjectName(QStringLiteral("lineaConteo"));
    titulos->addWidget(conteo);
    cabecera->addLayout(titulos);
    cabecera->addStretch(1);
    auto* bcf = new QPushButton(platform::symbolIcon(QStringLiteral("archivebox"), Qt::white),
                                QStringLiteral("Exportar BCF"), this);
    bcf->setObjectName(QStringLiteral("exportarBCF"));
    connect(bcf, &QPushButton::clicked, this, &ReporteComentariosView::exportarBCF);
    cabecera->addWidget(bcf);
    auto* pdf = new QPushButton(platform::symbolIcon(QStringLiteral("doc.richtext"), Qt::white),
                                QStringLiteral("Exportar PDF"), this);
    pdf->setObjectName(QStringLiteral("exportarPDF"));
    pdf->setDefault(true);
    connect(pdf, &QPushButton::clicked, this, &ReporteComentariosView::exportarPDF);
    cabecera->addWidget(pdf);
    col->addLayout(cabecera);

    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFrameShadow(QFrame::Sunken);
    col->addWidget(divisor);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* lista = new QWidget(scroll);
    auto* tarjetas = new QVBoxLayout(lista);
    tarjetas->setContentsMargins(20, 20, 20, 20);
    tarjetas->setSpacing(20);
    for (const ComentarioMarkup& c : comentarios_)
        tarjetas->addWidget(tarjeta(c, lista));
    tarjetas->addStretch(1);
    scroll->setWidget(lista);
    col->addWidget(scroll, 1);
}

QFileDialog* ReporteComentariosView::dialogoActivo() const
{
    return dialogo_.data();
}

QMessageBox* ReporteComentariosView::alertaActiva() const
{
    return alerta_.data();
}

void ReporteComentariosView::exportarBCF()
{
    if (dialogo_)
        return;
    auto* d = new QFileDialog(this);
    d->setObjectName(QStringLiteral("dialogoBCF"));
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    d->setOption(QFileDialog::DontUseNativeDialog);
    d->selectFile(QStringLiteral("Comentarios_QUELVA.bcf"));
    connect(d, &QFileDialog::fileSelected, this, [this](const QString& ruta) {
        // After the panel has gone: the writer may ask or alert.
        QMetaObject::invokeMethod(this, [this, ruta] { alElegirDestinoBCF(ruta); }, Qt::QueuedConnection);
    });
    dialogo_ = d;
    d->open();
}

void ReporteComentariosView::exportarPDF()
{
    if (dialogo_)
        return;
    auto* d =
        new platform::SavePanel(this, QString(), QStringLiteral("pdf"), QStringLiteral("Reporte_Comentarios_QUELVA"));
    d->setObjectName(QStringLiteral("dialogoPDF"));
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setNameFilter(QStringLiteral("PDF (*.pdf)"));
    connect(d, &QFileDialog::fileSelected, this, [this](const QString& ruta) {
        QMetaObject::invokeMethod(this, [this, ruta] { alElegirDestinoPDF(ruta); }, Qt::QueuedConnection);
    });
    dialogo_ = d;
    d->open();
}

void ReporteComentariosView::alElegirDestinoBCF(const QString& elegida)
{
    if (elegida.isEmpty())
        return;
    const QString destino = rutaFinalBCF(elegida);
    // The panel confirmed the name the user typed, not the one with ".bcf" added.
    if (destino != elegida && QFileInfo::exists(destino)) {
        auto* pregunta = new QMessageBox(QMessageBox::Warning, QStringLiteral("Exportar BCF"),
                                         QStringLiteral("El archivo «%1» ya existe. ¿Deseas reemplazarlo?")
                                             .arg(QFileInfo(destino).fileName()),
                                         QMessageBox::NoButton, this);
        pregunta->setObjectName(QStringLiteral("preguntaReemplazar"));
        pregunta->setAttribute(Qt::WA_DeleteOnClose);
        pregunta->setWindowModality(Qt::WindowModal);
        QPushButton* reemplazar = pregunta->addButton(QStringLiteral("Reemplazar"), QMessageBox::DestructiveRole);
        reemplazar->setObjectName(QStringLiteral("reemplazar"));
        QPushButton* cancelar = pregunta->addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        cancelar->setObjectName(QStringLiteral("cancelar"));
        pregunta->setDefaultButton(cancelar);
        pregunta->setEscapeButton(cancelar);
        connect(pregunta, &QMessageBox::finished, this, [this, pregunta, reemplazar, destino] {
            if (pregunta->clickedButton() == reemplazar)
                QMetaObject::invokeMethod(this, [this, destino] { escribirBCF(destino); }, Qt::QueuedConnection);
        });
        alerta_ = pregunta;
        platform::keepAlertTitleWhole(*pregunta);
        pregunta->open();
        return;
    }
    escribirBCF(destino);
}

void ReporteComentariosView::escribirBCF(const QString& destino)
{
    if (const auto error = escribirBCFComentarios(destino, comentarios_))
        mostrarError(QStringLiteral("Error al exportar el BCF: ") + *error);
}

void ReporteComentariosView::alElegirDestinoPDF(const QString& elegida)
{
    if (elegida.isEmpty())
        return;
    OpcionesPDFComentarios opciones;
    opciones.logo = logoQUELVA();
    if (const auto error = escribirPDFComentarios(elegida, comentarios_, opciones))
        mostrarError(QStringLiteral("Error al exportar el PDF: ") + *error);
}

void ReporteComentariosView::mostrarError(const QString& texto)
{
    auto* alerta = new QMessageBox(QMessageBox::Warning, QStringLiteral("Error"), texto, QMessageBox::NoButton, this);
    alerta->setObjectName(QStringLiteral("alertaError"));
    alerta->setAttribute(Qt::WA_DeleteOnClose);
    alerta->setWindowModality(Qt::WindowModal);
    alerta->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    alerta_ = alerta;
    platform::keepAlertTitleWhole(*alerta);
    alerta->open();
}

}  // namespace quelva
