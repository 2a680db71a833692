#include "qto/ui/VentanaQTO.h"

#include "platform/AlertTitle.h"
#include "platform/SavePanel.h"
#include "platform/Symbols.h"
#include "platform/UserDate.h"
#include "qto/ExportarCSV.h"
#include "qto/FilasQTO.h"
#include "qto/ParametrosQTO.h"
#include "qto/ui/EstiloQTO.h"
#include "qto/ui/SheetParametrosIFC.h"
#include "qto/ui/TablaQTO.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace quelva {

namespace {

QFrame* divisor()
{
    auto* linea = new QFrame;
    linea->setFrameShape(QFrame::NoFrame);
    linea->setFixedHeight(1);
    linea->setAutoFillBackground(true);
    QPalette p = linea->palette();
    QColor c = estiloqto::primario();
    c.setAlphaF(0.14f);
    p.setColor(QPalette::Window, c);
    linea->setPalette(p);
    return linea;
}

QWidget* banda(QLayout* contenido, const QMargins& margenes, double opacidadFondo)
{
    auto* w = new QWidget;
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    QColor fondo = estiloqto::fondoControl();
    if (opacidadFondo < 1) {
        // Half of the control colour over the window colour.
        const QColor base = p.color(QPalette::Window);
        fondo = QColor::fromRgbF(float(base.redF() + (fondo.redF() - base.redF()) * opacidadFondo),
                                 float(base.greenF() + (fondo.greenF() - base.greenF()) * opacidadFondo),
                                 float(base.blueF() + (fondo.blueF() - base.blueF()) * opacidadFondo));
    }
    p.setColor(QPalette::Window, fondo);
    w->setPalette(p);
    contenido->setContentsMargins(margenes);
    w->setLayout(contenido);
    return w;
}

QString rgba(const QColor& c, double alfa)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(int(alfa * 255));
}

QFrame* tarjeta(const QColor& tinte)
{
    auto* f = new QFrame;
    f->setObjectName(QStringLiteral("tarjetaQTO"));
    f->setStyleSheet(QStringLiteral("QFrame#tarjetaQTO { background: %1; border-radius: 6px; }").arg(rgba(tinte, 0.08)));
    return f;
}

// A card with an icon beside a number over its caption.
QFrame* tarjetaConIcono(const QString& simbolo, const QColor& tinte, const QString& leyenda, QLabel*& valor)
{
    QFrame* f = tarjeta(tinte);
    auto* fila = new QHBoxLayout(f);
    fila->setContentsMargins(8, 8, 8, 8);
    fila->setSpacing(8);
    auto* icono = new QLabel;
    icono->setPixmap(platform::symbolPixmap(simbolo, 20, tinte));
    fila->addWidget(icono);
    auto* col = new QVBoxLayout;
    col->setSpacing(0);
    valor = estiloqto::etiqueta(QString(), estiloqto::fuente(20, QFont::Bold, true), estiloqto::primario());
    col->addWidget(valor);
    col->addWidget(estiloqto::etiqueta(leyenda, estiloqto::fuente(10), estiloqto::secundario()));
    fila->addLayout(col);
    return f;
}

QPushButton* botonBordeado(const QString& texto, const QString& simbolo)
{
    auto* b = new QPushButton(platform::symbolIcon(simbolo), texto);
    b->setFont(estiloqto::fuente(11));
    b->setIconSize({12, 12});
    return b;
}

QString elegirArchivoConDialogo(QWidget* padre, const QString& nombre)
{
    platform::SavePanel dialogo(padre, QString(), QStringLiteral("csv"), nombre);
    dialogo.setNameFilter(QStringLiteral("*.csv"));
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().front();
}

}  // namespace

ServiciosQTO serviciosQTOPorDefecto()
{
    return {elegirArchivoConDialogo};
}

VentanaQTO::VentanaQTO(std::vector<GrupoQTO> grupos, const QDateTime& fecha, ServiciosQTO servicios, QWidget* parent)
    : QWidget(parent), estado_(std::move(grupos), fecha), servicios_(std::move(servicios))
{
    setObjectName(QStringLiteral("ventanaQTO"));
    especialidades_ = estado_.especialidadesFiltro();
    construir();
    refrescar();
}

void VentanaQTO::construir()
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    // Header band: title and cards on the left, date, brand and buttons on the right.
    auto* cabecera = new QHBoxLayout;
    cabecera->setSpacing(16);
    auto* izquierda = new QVBoxLayout;
    izquierda->setSpacing(6);
    izquierda->addWidget(estiloqto::etiqueta(QStringLiteral("Cuantificación de Elementos (QTO)"), estiloqto::fuente(17, QFont::Bold),
                                  estiloqto::primario()));
    auto* tarjetas = new QHBoxLayout;
    tarjetas->setSpacing(12);
    tarjetas->addWidget(tarjetaConIcono(QStringLiteral("cube.box"), estiloqto::acento(), QStringLiteral("Elementos"),
                                        valorElementos_));
    tarjetas->addWidget(tarjetaConIcono(QStringLiteral("list.bullet"), estiloqto::secundario(), QStringLiteral("Tipos IFC"),
                                        valorTipos_));
    QFrame* tarjetaPeso = tarjeta(estiloqto::naranja());
    tarjetaPeso->setToolTip(QStringLiteral("Peso total estimado en toneladas"));
    auto* filaPeso = new QHBoxLayout(tarjetaPeso);
    filaPeso->setContentsMargins(8, 8, 8, 8);
    valorPeso_ = estiloqto::etiqueta(QString(), estiloqto::fuente(18, QFont::Bold, true), estiloqto::primario());
    filaPeso->addWidget(valorPeso_);
    tarjetas->addWidget(tarjetaPeso);
    tarjetas->addStretch();
    valorElementos_->setObjectName(QStringLiteral("valorElementos"));
    valorTipos_->setObjectName(QStringLiteral("valorTipos"));
    valorPeso_->setObjectName(QStringLiteral("valorPeso"));
    izquierda->addLayout(tarjetas);
    cabecera->addLayout(izquierda);
    cabecera->addStretch();

    auto* derecha = new QVBoxLayout;
    derecha->setSpacing(6);
    auto* fechaTexto = estiloqto::etiqueta(platform::formatUserSkeleton(estado_.fecha, QStringLiteral("dMMMMy")),
                                estiloqto::fuente(11), estiloqto::secundario());
    fechaTexto->setObjectName(QStringLiteral("fechaQTO"));
    derecha->addWidget(fechaTexto, 0, Qt::AlignRight);
    derecha->addWidget(estiloqto::etiqueta(QStringLiteral("QUELVA"), estiloqto::fuente(11, QFont::Bold), estiloqto::terciario()), 0,
                       Qt::AlignRight);
    auto* botones = new QHBoxLayout;
    botones->setSpacing(8);
    botonParametros_ = botonBordeado(QStringLiteral("Parámetros IFC"), QStringLiteral("slider.horizontal.3"));
    botonParametros_->setObjectName(QStringLiteral("botonParametros"));
    botonParametros_->setToolTip(
        parametrosDisponibles(estado_.grupos).empty()
            ? QStringLiteral("No se detectaron propiedades IFC en los modelos. Verifica que el archivo IFC contenga Psets.")
            : QStringLiteral("Seleccionar parámetros del archivo IFC para añadir como columnas"));
    auto* botonExportar = botonBordeado(QStringLiteral("Exportar CSV"), QStringLiteral("square.and.arrow.up"));
    botonExportar->setObjectName(QStringLiteral("botonExportarCSV"));
    botones->addWidget(botonParametros_);
    botones->addWidget(botonExportar);
    derecha->addLayout(botones);
    derecha->addStretch();
    cabecera->addLayout(derecha);
    col->addWidget(banda(cabecera, {24, 16, 24, 16}, 1));
    col->addWidget(divisor());
    connect(botonParametros_, &QPushButton::clicked, this, &VentanaQTO::abrirSheetParametros);
    connect(botonExportar, &QPushButton::clicked, this, &VentanaQTO::exportarCSV);

    // Toolbar band.
    auto* barra = new QHBoxLayout;
    barra->setSpacing(12);
    barra->addWidget(estiloqto::etiqueta(QStringLiteral("Especialidad:"), estiloqto::fuente(11), estiloqto::secundario()));
    filtro_ = new QComboBox;
    filtro_->setObjectName(QStringLiteral("filtroEspecialidad"));
    filtro_->setFixedWidth(160);
    filtro_->addItem(QString::fromUtf16(kFiltroTodas));
    filtro_->addItems(especialidades_);
    barra->addWidget(filtro_);
    barra->addStretch();
    notaDensidades_ = estiloqto::etiqueta(QStringLiteral("* Pesos estimados con densidades por defecto por tipo IFC"),
                               estiloqto::fuente(9), estiloqto::terciario());
    notaDensidades_->setObjectName(QStringLiteral("notaDensidades"));
    barra->addWidget(notaDensidades_);
    cuentaParametros_ = estiloqto::etiqueta(QString(), estiloqto::fuente(9), estiloqto::acento());
    cuentaParametros_->setObjectName(QStringLiteral("cuentaParametros"));
    barra->addWidget(cuentaParametros_);
    botonQuitar_ = new QToolButton;
    botonQuitar_->setObjectName(QStringLiteral("botonQuitarParametros"));
    botonQuitar_->setAutoRaise(true);
    botonQuitar_->setIcon(platform::symbolIcon(QStringLiteral("xmark.circle"), estiloqto::secundario()));
    botonQuitar_->setIconSize({10, 10});
    botonQuitar_->setToolTip(QStringLiteral("Quitar parámetros extra"));
    barra->addWidget(botonQuitar_);
    barra->addStretch();
    auto* expandir = estiloqto::botonPlano(QStringLiteral("Expandir todo"));
    expandir->setObjectName(QStringLiteral("botonExpandirTodo"));
    auto* contraer = estiloqto::botonPlano(QStringLiteral("Contraer todo"));
    contraer->setObjectName(QStringLiteral("botonContraerTodo"));
    barra->addWidget(expandir);
    barra->addWidget(contraer);
    col->addWidget(banda(barra, {24, 8, 24, 8}, 0.5));
    col->addWidget(divisor());
    connect(filtro_, &QComboBox::activated, this, &VentanaQTO::elegirFiltro);
    connect(botonQuitar_, &QToolButton::clicked, this, &VentanaQTO::quitarParametros);
    connect(expandir, &QToolButton::clicked, this, &VentanaQTO::expandirTodo);
    connect(contraer, &QToolButton::clicked, this, &VentanaQTO::contraerTodo);

    // The table.
    tabla_ = new TablaQTO(estado_);
    col->addWidget(tabla_, 1);
    col->addWidget(divisor());
    connect(tabla_, &TablaQTO::grupoPulsado, this, &VentanaQTO::alternarGrupo);
    connect(tabla_, &TablaQTO::columnaPulsada, this, &VentanaQTO::ordenarPor);

    // Summary band.
    auto* pie = new QHBoxLayout;
    pie->setSpacing(16);
    pie->addStretch();
    resumen_ = estiloqto::etiqueta(QString(), estiloqto::fuente(11), estiloqto::secundario());
    resumen_->setObjectName(QStringLiteral("lineaResumen"));
    pie_ = estiloqto::etiqueta(QStringLiteral("Generado por QUELVA · ")
                        + platform::formatUserDate(estado_.fecha, platform::DateStyle::short_, platform::DateStyle::short_),
                    estiloqto::fuente(10), estiloqto::terciario());
    pie_->setObjectName(QStringLiteral("pieQTO"));
    pie->addWidget(resumen_);
    pie->addWidget(pie_);
    pie->addStretch();
    col->addWidget(banda(pie, {24, 10, 24, 10}, 1));
}

void VentanaQTO::refrescar()
{
    const std::vector<const GrupoQTO*> visibles = estado_.gruposFiltrados();
    qsizetype elementos = 0;
    for (const GrupoQTO* g : visibles)
        elementos += qsizetype(g->items.size());
    valorElementos_->setText(QString::number(elementos));
    valorTipos_->setText(QString::number(visibles.size()));
    valorPeso_->setText(textoPesoToneladas(estado_.totalPeso()));

    const qsizetype n = estado_.parametrosExtra.size();
    botonParametros_->setText(n == 0 ? QStringLiteral("Parámetros IFC") : QStringLiteral("Parámetros IFC (%1)").arg(n));
    notaDensidades_->setVisible(n == 0);
    cuentaParametros_->setVisible(n > 0);
    botonQuitar_->setVisible(n > 0);
    cuentaParametros_->setText(QStringLiteral("%1 parámetros IFC activos").arg(n));

    const int opcion = estado_.filtroEsp ? int(especialidades_.indexOf(*estado_.filtroEsp)) + 1 : 0;
    filtro_->setCurrentIndex(opcion);
    resumen_->setText(lineaResumen(estado_));
    refrescarTabla();
}

void VentanaQTO::refrescarTabla()
{
    tabla_->reconstruir();
    tabla_->horizontalHeader()->viewport()->update();
}

int VentanaQTO::anchoPreferido() const
{
    const QMargins m = layout() ? layout()->contentsMargins() : QMargins();
    return tabla_->anchoNecesario() + m.left() + m.right();
}

void VentanaQTO::elegirFiltro(int opcion)
{
    if (opcion <= 0 || opcion > especialidades_.size())
        estado_.filtroEsp.reset();
    else
        estado_.filtroEsp = especialidades_[opcion - 1];
    refrescar();
}

void VentanaQTO::ordenarPor(int columna)
{
    if (columna >= kColumnasFijasQTO)
        return;
    estado_.ordenarPor(ordenDeColumna(static_cast<ColumnaQTO>(columna)));
    refrescar();
}

void VentanaQTO::alternarGrupo(const QUuid& id)
{
    estado_.alternarGrupo(id);
    refrescarTabla();
}

void VentanaQTO::expandirTodo()
{
    estado_.expandirTodo();
    refrescarTabla();
}

void VentanaQTO::contraerTodo()
{
    estado_.contraerTodo();
    refrescarTabla();
}

void VentanaQTO::quitarParametros()
{
    estado_.quitarParametros();
    refrescar();
}

void VentanaQTO::abrirSheetParametros()
{
    if (sheet_)
        return;
    estado_.mostrarSheet = true;
    sheet_ = new SheetParametrosIFC(parametrosDisponibles(estado_.grupos), estado_.parametrosExtra, this);
    sheet_->setAttribute(Qt::WA_DeleteOnClose);
    sheet_->setWindowModality(Qt::WindowModal);
    connect(sheet_, &SheetParametrosIFC::aplicado, this, &VentanaQTO::aplicarParametros);
    connect(sheet_, &QDialog::finished, this, [this] { estado_.mostrarSheet = false; });
    sheet_->open();
}

void VentanaQTO::aplicarParametros(const QStringList& claves)
{
    estado_.parametrosExtra = claves;
    refrescar();
}

void VentanaQTO::exportarCSV()
{
    // The text is taken now: the file shows the table as it was when the button was pressed.
    const QByteArray texto = textoCSV(estado_.gruposFiltrados(), estado_.parametrosExtra);
    const QString nombre = nombreArchivoCSV(QDateTime::currentSecsSinceEpoch());
    const QString ruta = servicios_.elegirArchivoCSV ? servicios_.elegirArchivoCSV(this, nombre) : QString();
    if (ruta.isEmpty())
        return;
    if (const std::optional<QString> error = escribirCSV(ruta, texto)) {
        if (alerta_)
            alerta_->close();
        alerta_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Error al exportar CSV"),
                                  QStringLiteral("Error al exportar CSV"), QMessageBox::Ok, this);
        alerta_->setObjectName(QStringLiteral("alertaExportarCSV"));
        alerta_->setInformativeText(*error);
        alerta_->setAttribute(Qt::WA_DeleteOnClose);
        alerta_->setWindowModality(Qt::WindowModal);
        platform::keepAlertTitleWhole(*alerta_);
        alerta_->open();
    }
}

}  // namespace quelva
