#include "sections/Vista2DView.h"

#include "platform/AlertTitle.h"
#include "platform/AtomicFile.h"
#include "platform/ElidedLabel.h"
#include "platform/NumberFormat.h"
#include "platform/SavePanel.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "sections/ExportadorDXF.h"
#include "sections/Vista2DController.h"
#include "sections/Vista2DNSView.h"

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace quelva {

namespace {

using platform::SystemColor;

QString colorCss(const QColor& c)
{
    return c.name(QColor::HexArgb);
}

QToolButton* boton(const QString& nombreObjeto, const QString& ayuda, QWidget* padre)
{
    auto* b = new QToolButton(padre);
    b->setObjectName(nombreObjeto);
    b->setToolTip(ayuda);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setCursor(Qt::PointingHandCursor);
    b->setIconSize(QSize(13, 13));
    QFont f = b->font();
    f.setPixelSize(11);  // the small control size: the whole row fits the 820-wide window
    b->setFont(f);
    // In the narrow window the title gives way, never a button's text.
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return b;
}

void pintarBoton(QToolButton* b, const QString& texto, const QString& simbolo, const QColor& color)
{
    b->setText(texto);
    b->setIcon(platform::symbolIcon(simbolo, color));
    b->setStyleSheet(QStringLiteral("QToolButton { color: %1; border: 1px solid rgba(0,0,0,40); border-radius: 5px;"
                                    " padding: 2px 4px; background: rgba(255,255,255,160); }"
                                    "QToolButton:hover { background: rgba(255,255,255,230); }")
                         .arg(colorCss(color)));
}

QFrame* divisor(QWidget* padre)
{
    auto* d = new QFrame(padre);
    d->setFrameShape(QFrame::VLine);
    d->setFixedHeight(16);
    d->setStyleSheet(QStringLiteral("color: rgba(0,0,0,50);"));
    return d;
}

// Spaces and tabs only: a line break typed into the name stays.
QString recortarEspacios(const QString& s)
{
    qsizetype inicio = 0, fin = s.size();
    while (inicio < fin && (s[inicio] == QLatin1Char(' ') || s[inicio] == QLatin1Char('\t')))
        ++inicio;
    while (fin > inicio && (s[fin - 1] == QLatin1Char(' ') || s[fin - 1] == QLatin1Char('\t')))
        --fin;
    return s.mid(inicio, fin - inicio);
}

}  // namespace

Vista2DView::Vista2DView(const DatosPlano2D& datos, Vista2DController* controller,
                         std::function<void(const QString&)> alGuardarSeccion, QWidget* parent)
    : QWidget(parent),
      titulo_(datos.titulo),
      segmentos_(datos.segmentos),
      segmentosGrilla_(datos.segmentosGrilla),
      controller_(controller),
      alGuardarSeccion_(std::move(alGuardarSeccion))
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    lienzo_ = new Vista2DNSView(this);
    lienzo_->setObjectName(QStringLiteral("lienzo2D"));
    if (controller_)
        controller_->nsView = lienzo_;
    lienzo_->setEtiquetas(datos.etiquetas);
    lienzo_->setCotas(datos.cotas);
    col->addWidget(construirBarra());
    col->addWidget(lienzo_, 1);
    actualizar();
    QTimer::singleShot(50, lienzo_, [l = lienzo_] { l->encuadrarTodo(); });
}

QWidget* Vista2DView::construirBarra()
{
    auto* barra = new QWidget(this);
    barra->setObjectName(QStringLiteral("barra2D"));
    barra->setAttribute(Qt::WA_StyledBackground);
    barra->setStyleSheet(QStringLiteral("#barra2D { background: rgba(246,246,246,235); }"
                                        " #barra2D QLabel { color: black; }"));
    // The window keeps its size; a narrow one clips the end of the row.
    barra->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // Two rows: the 820-wide window has no room for the title, the buttons and the hint on one.
    // The title and the navigation hint above, the counts and the tools below.
    auto* filas = new QVBoxLayout(barra);
    filas->setContentsMargins(12, 8, 12, 8);
    filas->setSpacing(6);
    auto* arriba = new QHBoxLayout;
    arriba->setSpacing(6);
    filas->addLayout(arriba);
    auto* fila = new QHBoxLayout;
    fila->setSpacing(6);
    filas->addLayout(fila);

    // A title longer than the row is cut with "…"; the window's own title bar keeps it whole.
    auto* titulo = new platform::ElidedLabel(titulo_, barra);
    titulo->setObjectName(QStringLiteral("tituloPlano"));
    QFont ft = titulo->font();
    ft.setPixelSize(13);
    ft.setBold(true);
    titulo->setFont(ft);
    arriba->addWidget(titulo, 1);

    long long cortes = 0, proyecciones = 0;
    for (const Segmento2D& s : segmentos_)
        (s.esCorte ? cortes : proyecciones)++;
    auto* cuentas = new QVBoxLayout;
    cuentas->setSpacing(0);
    const auto cuenta = [&](const QString& texto, SystemColor color, const char* nombre) {
        auto* l = new QLabel(texto, barra);
        l->setObjectName(QString::fromLatin1(nombre));
        l->setAlignment(Qt::AlignRight);
        QFont f = l->font();
        f.setPixelSize(10);
        l->setFont(f);
        l->setStyleSheet(QStringLiteral("color: %1;").arg(colorCss(platform::systemColor(color))));
        l->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        cuentas->addWidget(l);
    };
    cuenta(platform::qformat("%lld", cortes) + QStringLiteral(" líneas de corte"), SystemColor::secondaryLabel,
           "cuentaCorte");
    if (proyecciones > 0)
        cuenta(platform::qformat("%lld", proyecciones) + QStringLiteral(" de proyección"),
               SystemColor::tertiaryLabel, "cuentaProyeccion");
    fila->addLayout(cuentas);
    fila->addWidget(divisor(barra));

    botonEtiquetas_ = boton(QStringLiteral("botonEtiquetas"), QStringLiteral("Mostrar / ocultar etiquetas IFC"), barra);
    connect(botonEtiquetas_, &QToolButton::clicked, this, &Vista2DView::alternarEtiquetas);
    fila->addWidget(botonEtiquetas_);
    botonEtiquetar_ = boton(QStringLiteral("botonEtiquetar"),
                            QStringLiteral("Modo etiqueta: pinchar sobre un elemento para crear su etiqueta\nClic en "
                                           "etiqueta: seleccionar · × : ocultar · Arrastrar: mover"),
                            barra);
    connect(botonEtiquetar_, &QToolButton::clicked, this, &Vista2DView::alternarModoEtiquetar);
    fila->addWidget(botonEtiquetar_);
    fila->addWidget(divisor(barra));

    botonCota_ = boton(QStringLiteral("botonCota"),
                       QStringLiteral("Herramienta de cotas: clic en dos puntos para medir\nEsc: cancelar · Clic 1: "
                                      "origen · Clic 2: destino\nArrastrar cota creada: ajustar separación"),
                       barra);
    connect(botonCota_, &QToolButton::clicked, this, &Vista2DView::alternarModoCota);
    fila->addWidget(botonCota_);
    botonBorrar_ = boton(QStringLiteral("botonBorrarCotas"), QStringLiteral("Borrar todas las cotas"), barra);
    pintarBoton(botonBorrar_, QString(), QStringLiteral("trash"), platform::systemColor(SystemColor::red));
    botonBorrar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(botonBorrar_, &QToolButton::clicked, this, &Vista2DView::borrarCotas);
    fila->addWidget(botonBorrar_);
    fila->addWidget(divisor(barra));

    botonGrosor_ = boton(QStringLiteral("botonGrosor"), QStringLiteral("Editar espesores de línea"), barra);
    botonGrosor_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(botonGrosor_, &QToolButton::clicked, this, [this] { abrirPopoverGrosor(botonGrosor_); });
    fila->addWidget(botonGrosor_);
    fila->addWidget(divisor(barra));

    const QColor primario = platform::systemColor(SystemColor::primaryLabel);
    auto* encuadre = boton(QStringLiteral("botonEncuadrar"),
                           QStringLiteral("Encuadrar todo (también: doble clic en el lienzo)"), barra);
    pintarBoton(encuadre, QString(), QStringLiteral("viewfinder"), primario);
    encuadre->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(encuadre, &QToolButton::clicked, this, &Vista2DView::encuadrar);
    fila->addWidget(encuadre);
    auto* dxf = boton(QStringLiteral("botonDXF"), QStringLiteral("Exportar DXF compatible con AutoCAD / Revit"), barra);
    pintarBoton(dxf, QStringLiteral("DXF"), QStringLiteral("square.and.arrow.up"), primario);
    connect(dxf, &QToolButton::clicked, this, &Vista2DView::exportarDXF);
    fila->addWidget(dxf);
    auto* pdf = boton(QStringLiteral("botonPDF"), QStringLiteral("Exportar PDF de la vista 2D actual"), barra);
    pintarBoton(pdf, QStringLiteral("PDF"), QStringLiteral("doc.richtext"), primario);
    connect(pdf, &QToolButton::clicked, this, &Vista2DView::exportarPDF);
    fila->addWidget(pdf);
    fila->addWidget(divisor(barra));

    botonGuardar_ = boton(QStringLiteral("botonGuardar"), QStringLiteral("Guardar sección en el panel lateral"), barra);
    connect(botonGuardar_, &QToolButton::clicked, this, &Vista2DView::guardar);
    fila->addWidget(botonGuardar_);

    fila->addStretch(1);

    auto* estado = new QLabel(QStringLiteral("Scroll: zoom · Arrastrar: pan · Doble clic: encuadrar"), barra);
    estado->setObjectName(QStringLiteral("ayudaNavegacion"));
    QFont fe = estado->font();
    fe.setPixelSize(10);
    estado->setFont(fe);
    estado->setStyleSheet(
        QStringLiteral("color: %1;").arg(colorCss(platform::systemColor(SystemColor::tertiaryLabel))));
    estado->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    arriba->addWidget(estado);
    return barra;
}

void Vista2DView::actualizar()
{
    lienzo_->setSegmentos(segmentos_);
    lienzo_->setMostrarEtiquetas(mostrarEtiquetas);
    lienzo_->setModoCota(modoCota);  // also drops a pending dimension origin
    lienzo_->setModoEtiquetar(modoEtiquetar);
    lienzo_->setGrosorCorte(grosorCorte);
    lienzo_->setGrosorProyeccion(grosorProyeccion);
    lienzo_->setSegmentosGrilla(segmentosGrilla_);

    const QColor acento = platform::systemColor(SystemColor::blue);
    const QColor primario = platform::systemColor(SystemColor::primaryLabel);
    const QColor secundario = platform::systemColor(SystemColor::secondaryLabel);
    pintarBoton(botonEtiquetas_, QStringLiteral("Etiquetas"),
                mostrarEtiquetas ? QStringLiteral("tag.fill") : QStringLiteral("tag"),
                mostrarEtiquetas ? acento : secundario);
    pintarBoton(botonEtiquetar_, modoEtiquetar ? QStringLiteral("Etiquetando…") : QStringLiteral("Etiquetar"),
                modoEtiquetar ? QStringLiteral("tag.circle.fill") : QStringLiteral("tag.circle"),
                modoEtiquetar ? acento : primario);
    pintarBoton(botonCota_, modoCota ? QStringLiteral("Midiendo…") : QStringLiteral("Cota"), QStringLiteral("ruler"),
                modoCota ? acento : primario);
    botonBorrar_->setVisible(modoCota);
    pintarBoton(botonGrosor_, QString(), QStringLiteral("lineweight"), mostrarGrosor ? acento : primario);
    const QColor verde = platform::systemColor(SystemColor::green);
    botonGuardar_->setText(guardadoFlash ? QStringLiteral("Guardado") : QStringLiteral("Guardar"));
    botonGuardar_->setIcon(platform::symbolIcon(
        guardadoFlash ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("bookmark"),
        guardadoFlash ? verde : QColor(Qt::white)));
    botonGuardar_->setStyleSheet(QStringLiteral("QToolButton { color: %1; background: %2; border: none;"
                                                " border-radius: 5px; padding: 3px 8px; }")
                                     .arg(guardadoFlash ? colorCss(verde) : QStringLiteral("white"),
                                          colorCss(acento)));
}

void Vista2DView::alternarEtiquetas()
{
    mostrarEtiquetas = !mostrarEtiquetas;
    actualizar();
}

void Vista2DView::alternarModoEtiquetar()
{
    modoEtiquetar = !modoEtiquetar;
    if (modoEtiquetar)
        modoCota = false;
    actualizar();
}

void Vista2DView::alternarModoCota()
{
    modoCota = !modoCota;
    if (modoCota)
        modoEtiquetar = false;
    actualizar();
}

void Vista2DView::borrarCotas()
{
    lienzo_->setCotas({});
    actualizar();
}

void Vista2DView::cambiarGrosores(double corte, double proyeccion)
{
    grosorCorte = corte;
    grosorProyeccion = proyeccion;
    actualizar();
}

void Vista2DView::encuadrar()
{
    lienzo_->encuadrarTodo();
}

void Vista2DView::abrirPopoverGrosor(QToolButton* ancla)
{
    if (popoverGrosor_) {
        popoverGrosor_->close();
        return;
    }
    auto* pop = new QFrame(this, Qt::Popup);
    pop->setObjectName(QStringLiteral("popoverGrosor"));
    pop->setAttribute(Qt::WA_DeleteOnClose);
    pop->setFixedWidth(280);
    pop->setFrameShape(QFrame::StyledPanel);
    auto* col = new QVBoxLayout(pop);
    col->setContentsMargins(12, 12, 12, 12);
    col->setSpacing(10);
    auto* titulo = new QLabel(QStringLiteral("Espesores de línea"), pop);
    QFont ft = titulo->font();
    ft.setPixelSize(12);
    ft.setBold(true);
    titulo->setFont(ft);
    col->addWidget(titulo);
    auto* linea = new QFrame(pop);
    linea->setFrameShape(QFrame::HLine);
    col->addWidget(linea);
    // Sliders in steps of 0.25 from their minimum.
    const auto fila = [&](const QString& nombre, const char* objeto, double minimo, double maximo, double valor,
                          std::function<void(double)> cambiar) {
        auto* h = new QHBoxLayout;
        h->setSpacing(8);
        auto* l = new QLabel(nombre, pop);
        l->setFixedWidth(70);
        h->addWidget(l);
        auto* s = new QSlider(Qt::Horizontal, pop);
        s->setObjectName(QString::fromLatin1(objeto));
        s->setFixedWidth(100);
        s->setRange(0, int(std::lround((maximo - minimo) / 0.25)));
        s->setValue(int(std::lround((valor - minimo) / 0.25)));
        h->addWidget(s);
        auto* v = new QLabel(platform::qformat("%.2f", valor), pop);
        v->setFixedWidth(32);
        v->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 8));
        h->addWidget(v);
        connect(s, &QSlider::valueChanged, pop, [v, minimo, cambiar](int paso) {
            const double x = minimo + paso * 0.25;
            v->setText(platform::qformat("%.2f", x));
            cambiar(x);
        });
        col->addLayout(h);
        return s;
    };
    auto* corte = fila(QStringLiteral("Corte"), "sliderCorte", 0.5, 4.0, grosorCorte,
                       [this](double x) { cambiarGrosores(x, grosorProyeccion); });
    auto* proyeccion = fila(QStringLiteral("Proyección"), "sliderProyeccion", 0.25, 2.0, grosorProyeccion,
                            [this](double x) { cambiarGrosores(grosorCorte, x); });
    auto* restablecer = new QPushButton(QStringLiteral("Restablecer"), pop);
    connect(restablecer, &QPushButton::clicked, pop, [corte, proyeccion] {
        corte->setValue(2);       // 1.0
        proyeccion->setValue(1);  // 0.5
    });
    col->addWidget(restablecer, 0, Qt::AlignLeft);
    connect(pop, &QObject::destroyed, this, [this] {
        mostrarGrosor = false;
        actualizar();
    });
    popoverGrosor_ = pop;
    mostrarGrosor = true;
    actualizar();
    pop->adjustSize();
    pop->move(ancla->mapToGlobal(QPoint(0, ancla->height() + 4)));
    pop->show();
}

void Vista2DView::guardar()
{
    if (controller_ && controller_->alGuardar)
        controller_->alGuardar();
    nombreSeccionTemp = titulo_;
    if (dialogoGuardar_ && dialogoGuardar_->isVisible())
        return;
    auto* d = new QDialog(this);
    d->setObjectName(QStringLiteral("dialogoGuardarSeccion"));
    d->setAttribute(Qt::WA_DeleteOnClose);
    d->setWindowTitle(QStringLiteral("Guardar sección"));
    d->setWindowModality(Qt::WindowModal);
    auto* col = new QVBoxLayout(d);
    auto* titulo = new QLabel(QStringLiteral("Guardar sección"), d);
    QFont ft = titulo->font();
    ft.setBold(true);
    titulo->setFont(ft);
    col->addWidget(titulo);
    auto* mensaje = new QLabel(QStringLiteral("Asigna un nombre para identificar esta sección en el panel lateral."), d);
    mensaje->setWordWrap(true);
    col->addWidget(mensaje);
    auto* campo = new QLineEdit(nombreSeccionTemp, d);
    campo->setObjectName(QStringLiteral("nombreSeccion"));
    campo->setPlaceholderText(QStringLiteral("Nombre de la sección"));
    connect(campo, &QLineEdit::textChanged, this, [this](const QString& t) { nombreSeccionTemp = t; });
    col->addWidget(campo);
    auto* botones = new QDialogButtonBox(d);
    auto* cancelar = botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancelar->setObjectName(QStringLiteral("botonCancelar"));
    auto* ok = botones->addButton(QStringLiteral("Guardar"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("botonConfirmar"));
    ok->setDefault(true);
    connect(botones, &QDialogButtonBox::accepted, d, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, d, &QDialog::reject);
    connect(d, &QDialog::accepted, this, [this] { confirmarGuardar(nombreSeccionTemp); });
    col->addWidget(botones);
    dialogoGuardar_ = d;
    d->open();
}

void Vista2DView::confirmarGuardar(const QString& nombre)
{
    QString n = recortarEspacios(nombre);
    if (n.isEmpty())
        n = titulo_;
    if (alGuardarSeccion_)
        alGuardarSeccion_(n);
    guardadoFlash = true;
    actualizar();
    QTimer::singleShot(1800, this, [this] {
        guardadoFlash = false;
        actualizar();
    });
}

QString Vista2DView::nombreArchivoPorDefecto(const QString& titulo)
{
    QString n = titulo;
    n.replace(QLatin1Char('/'), QLatin1Char('-'));
    n.remove(QLatin1Char(':'));
    n.replace(QLatin1Char(' '), QLatin1Char('_'));
    return n;
}

std::optional<QString> Vista2DView::exportarDXFA(const QString& ruta)
{
    const std::string texto = ExportadorDXF::generarDXF(segmentos_, lienzo_->etiquetas(), lienzo_->cotas());
    // A large drawing is tens of megabytes: written from the text itself, not from a copy.
    return platform::replaceFileAtomically(ruta, QByteArray::fromRawData(texto.data(), qsizetype(texto.size())));
}

std::optional<QByteArray> Vista2DView::documentoPDF(const Vista2DNSView& lienzo, const QString& titulo)
{
    QByteArray datos;
    QBuffer buffer(&datos);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageSize(QPageSize(QSizeF(lienzo.width(), lienzo.height()), QPageSize::Point,
                                  QStringLiteral("lienzo"), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
        pdf.setCreator(QStringLiteral("QUELVA"));
        pdf.setTitle(titulo);
        QPainter p(&pdf);
        if (!p.isActive())
            return std::nullopt;
        lienzo.dibujar(p);
    }
    return datos;
}

std::optional<QString> Vista2DView::exportarPDFA(const QString& ruta)
{
    const auto datos = documentoPDF(*lienzo_, titulo_);
    if (!datos)
        return QStringLiteral("No se pudo preparar el documento PDF.");
    return platform::replaceFileAtomically(ruta, *datos);
}

void Vista2DView::mostrarError(const QString& mensaje, const QString& detalle)
{
    auto* alerta = new QMessageBox(QMessageBox::Warning, mensaje, mensaje, QMessageBox::Ok, this);
    alerta->setObjectName(QStringLiteral("alertaExportacion"));
    alerta->setAttribute(Qt::WA_DeleteOnClose);
    alerta->setInformativeText(detalle);
    alerta->setWindowModality(Qt::WindowModal);
    platform::keepAlertTitleWhole(*alerta);
    alerta->open();
}

void Vista2DView::completarExportacionDXF(const QString& ruta)
{
    if (ruta.isEmpty())
        return;
    if (const auto error = exportarDXFA(ruta))
        mostrarError(QStringLiteral("Error al exportar DXF"), *error);
}

void Vista2DView::completarExportacionPDF(const QString& ruta)
{
    if (ruta.isEmpty())
        return;
    if (const auto error = exportarPDFA(ruta))
        mostrarError(QStringLiteral("Error al exportar PDF"), *error);
}

void Vista2DView::exportarDXF()
{
    auto* panel = new platform::SavePanel(this, QStringLiteral("Exportar plano DXF"), QStringLiteral("dxf"),
                                          nombreArchivoPorDefecto(titulo_));
    panel->setObjectName(QStringLiteral("panelExportarDXF"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setNameFilter(QStringLiteral("*.dxf"));
    connect(panel, &QFileDialog::fileSelected, this, &Vista2DView::completarExportacionDXF);
    panel->open();
}

void Vista2DView::exportarPDF()
{
    if (!lienzo_)
        return;
    auto* panel = new platform::SavePanel(this, QStringLiteral("Exportar sección como PDF"), QStringLiteral("pdf"),
                                          nombreArchivoPorDefecto(titulo_));
    panel->setObjectName(QStringLiteral("panelExportarPDF"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setNameFilter(QStringLiteral("*.pdf"));
    connect(panel, &QFileDialog::fileSelected, this, &Vista2DView::completarExportacionPDF);
    panel->open();
}

}  // namespace quelva
