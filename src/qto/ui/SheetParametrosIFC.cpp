#include "qto/ui/SheetParametrosIFC.h"

#include "platform/SheetButtonRow.h"
#include "platform/Symbols.h"
#include "qto/ui/EstiloQTO.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace quelva {

namespace {

constexpr int kRolClave = Qt::UserRole + 1;
constexpr int kRolCuenta = Qt::UserRole + 2;
constexpr int kRolEsSeccion = Qt::UserRole + 3;
constexpr int kRolMarcado = Qt::UserRole + 4;

QFrame* divisor()
{
    auto* linea = new QFrame;
    linea->setFrameShape(QFrame::HLine);
    linea->setFixedHeight(1);
    linea->setStyleSheet(QStringLiteral("background: rgba(255,255,255,28); border: none;"));
    return linea;
}

// A property set heading, or a row: checkbox, name over key, count.
class DelegadoParametro : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        return {0, index.data(kRolEsSeccion).toBool() ? 26 : 34};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& opcion, const QModelIndex& index) const override
    {
        p->save();
        const QRect r = opcion.rect.adjusted(12, 0, -12, 0);
        if (index.data(kRolEsSeccion).toBool()) {
            p->setFont(estiloqto::fuente(11, QFont::DemiBold));
            p->setPen(estiloqto::secundario());
            p->drawText(r.adjusted(0, 6, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
            p->restore();
            return;
        }
        const bool marcado = index.data(kRolMarcado).toBool();
        QStyleOptionButton caja;
        caja.rect = QRect(r.left(), r.center().y() - 8, 16, 16);
        caja.state = QStyle::State_Enabled | (marcado ? QStyle::State_On : QStyle::State_Off);
        const QWidget* w = opcion.widget;
        (w ? w->style() : QApplication::style())->drawPrimitive(QStyle::PE_IndicatorCheckBox, &caja, p, w);

        const QString cuenta = QString::number(index.data(kRolCuenta).toLongLong()) + QStringLiteral(" elem.");
        const QFont fCuenta = estiloqto::fuente(9);
        const int anchoCuenta = QFontMetrics(fCuenta).horizontalAdvance(cuenta);
        const QRect textos(r.left() + 24, r.top() + 3, r.width() - 24 - anchoCuenta - 8, r.height() - 6);

        p->setFont(estiloqto::fuente(11, marcado ? QFont::DemiBold : QFont::Normal));
        p->setPen(estiloqto::primario());
        const QRect arriba(textos.left(), textos.top(), textos.width(), textos.height() / 2 + 2);
        p->drawText(arriba, Qt::AlignLeft | Qt::AlignVCenter,
                    p->fontMetrics().elidedText(index.data().toString(), Qt::ElideRight, arriba.width()));
        p->setFont(estiloqto::fuente(9));
        p->setPen(estiloqto::secundario());
        const QRect abajo(textos.left(), arriba.bottom(), textos.width(), textos.bottom() - arriba.bottom());
        p->drawText(abajo, Qt::AlignLeft | Qt::AlignVCenter,
                    p->fontMetrics().elidedText(index.data(kRolClave).toString(), Qt::ElideMiddle, abajo.width()));
        p->setFont(fCuenta);
        p->setPen(estiloqto::terciario());
        p->drawText(r, Qt::AlignRight | Qt::AlignVCenter, cuenta);
        p->restore();
    }
};

QWidget* estadoVacio()
{
    auto* w = new QWidget;
    auto* col = new QVBoxLayout(w);
    col->setContentsMargins(32, 0, 32, 0);
    col->setSpacing(10);
    col->addStretch();
    auto* icono = new QLabel;
    icono->setPixmap(platform::symbolPixmap(QStringLiteral("doc.text.magnifyingglass"), 48, estiloqto::secundario()));
    icono->setAlignment(Qt::AlignCenter);
    col->addWidget(icono);
    auto* titulo = estiloqto::etiqueta(QStringLiteral("Sin propiedades IFC disponibles"), estiloqto::fuente(13, QFont::DemiBold),
                            estiloqto::primario());
    titulo->setAlignment(Qt::AlignCenter);
    col->addWidget(titulo);
    auto* ayuda = estiloqto::etiqueta(QStringLiteral("<b>Las propiedades IFC se detectan cuando:</b><br>"
                                          "• El archivo IFC contiene Psets (Property Sets).<br>"
                                          "• Los nombres de los elementos en el visor 3D coinciden<br>"
                                          "&nbsp;&nbsp;con los nombres en el archivo IFC original.<br>"
                                          "• El archivo fue cargado con la opción de vinculación IFC."),
                           estiloqto::fuente(11), estiloqto::secundario());
    ayuda->setObjectName(QStringLiteral("ayudaSinPropiedades"));
    ayuda->setTextFormat(Qt::RichText);
    ayuda->setAlignment(Qt::AlignCenter);
    col->addWidget(ayuda);
    col->addStretch();
    return w;
}

}  // namespace

SheetParametrosIFC::SheetParametrosIFC(std::vector<ParamDisponible> disponibles, const QStringList& seleccionados,
                                       QWidget* parent)
    : QDialog(parent), disponibles_(std::move(disponibles)), selLocal_(seleccionados.begin(), seleccionados.end())
{
    setObjectName(QStringLiteral("sheetParametrosIFC"));
    setWindowTitle(QStringLiteral("Parámetros IFC detectados"));
    setFixedSize(560, 580);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    // Top bar: title and count, then the two buttons.
    platform::SheetButtonRow botones = platform::makeSheetButtonRow(this, QString());
    aplicar_ = botones.confirm;
    aplicar_->setObjectName(QStringLiteral("botonAplicar"));
    botones.cancel->setObjectName(QStringLiteral("botonCancelar"));
    auto* titulos = new QWidget;
    auto* colTitulos = new QVBoxLayout(titulos);
    colTitulos->setContentsMargins(0, 0, 0, 0);
    colTitulos->setSpacing(2);
    colTitulos->addWidget(estiloqto::etiqueta(QStringLiteral("Parámetros IFC detectados"), estiloqto::fuente(13, QFont::DemiBold),
                                   estiloqto::primario()));
    QSet<QString> psets;
    for (const ParamDisponible& p : disponibles_)
        psets.insert(p.pset);
    const QString resumen = disponibles_.empty()
                                ? QStringLiteral("No se encontraron propiedades IFC en los modelos cargados.")
                                : QStringLiteral("%1 parámetros en %2 Psets").arg(disponibles_.size()).arg(psets.size());
    auto* textoResumen = estiloqto::etiqueta(resumen, estiloqto::fuente(10), estiloqto::secundario());
    textoResumen->setObjectName(QStringLiteral("resumenParametros"));
    colTitulos->addWidget(textoResumen);
    botones.layout->insertWidget(0, titulos);
    botones.layout->setContentsMargins(20, 14, 20, 14);
    col->addLayout(botones.layout);
    col->addWidget(divisor());
    connect(botones.cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(aplicar_, &QPushButton::clicked, this, [this] {
        emit aplicado(resultado());
        accept();
    });

    if (disponibles_.empty()) {
        col->addWidget(estadoVacio(), 1);
        refrescar();
        return;
    }

    // Search row.
    auto* filaBusqueda = new QWidget;
    filaBusqueda->setAutoFillBackground(true);
    QPalette pb = filaBusqueda->palette();
    pb.setColor(QPalette::Window, estiloqto::fondoControl());
    filaBusqueda->setPalette(pb);
    auto* hb = new QHBoxLayout(filaBusqueda);
    hb->setContentsMargins(16, 8, 16, 8);
    auto* lupa = new QLabel;
    lupa->setPixmap(platform::symbolPixmap(QStringLiteral("magnifyingglass"), 14, estiloqto::secundario()));
    hb->addWidget(lupa);
    campoBusqueda_ = new QLineEdit;
    campoBusqueda_->setObjectName(QStringLiteral("campoBusqueda"));
    campoBusqueda_->setPlaceholderText(QStringLiteral("Buscar parámetro o Pset…"));
    campoBusqueda_->setFrame(false);
    hb->addWidget(campoBusqueda_, 1);
    limpiarBusqueda_ = new QToolButton;
    limpiarBusqueda_->setObjectName(QStringLiteral("limpiarBusqueda"));
    limpiarBusqueda_->setAutoRaise(true);
    limpiarBusqueda_->setIcon(platform::symbolIcon(QStringLiteral("xmark.circle.fill"), estiloqto::secundario()));
    hb->addWidget(limpiarBusqueda_);
    col->addWidget(filaBusqueda);
    col->addWidget(divisor());
    connect(campoBusqueda_, &QLineEdit::textChanged, this, [this] { reconstruirLista(); });
    connect(limpiarBusqueda_, &QToolButton::clicked, campoBusqueda_, &QLineEdit::clear);

    // Selection row.
    auto* filaSeleccion = new QHBoxLayout;
    filaSeleccion->setContentsMargins(16, 6, 16, 6);
    filaSeleccion->setSpacing(12);
    auto* todos = estiloqto::botonPlano(QStringLiteral("Seleccionar todos"));
    todos->setObjectName(QStringLiteral("seleccionarTodos"));
    auto* ninguno = estiloqto::botonPlano(QStringLiteral("Deseleccionar todos"));
    ninguno->setObjectName(QStringLiteral("deseleccionarTodos"));
    cuentaSeleccion_ = estiloqto::etiqueta(QString(), estiloqto::fuente(10), estiloqto::secundario());
    cuentaSeleccion_->setObjectName(QStringLiteral("cuentaSeleccion"));
    filaSeleccion->addWidget(todos);
    filaSeleccion->addWidget(ninguno);
    filaSeleccion->addStretch();
    filaSeleccion->addWidget(cuentaSeleccion_);
    col->addLayout(filaSeleccion);
    col->addWidget(divisor());
    connect(todos, &QToolButton::clicked, this, &SheetParametrosIFC::seleccionarTodos);
    connect(ninguno, &QToolButton::clicked, this, &SheetParametrosIFC::deseleccionarTodos);

    // The list, or the no-results text.
    contenido_ = new QStackedWidget;
    modelo_ = new QStandardItemModel(this);
    lista_ = new QListView;
    lista_->setObjectName(QStringLiteral("listaParametros"));
    lista_->setModel(modelo_);
    lista_->setItemDelegate(new DelegadoParametro(lista_));
    lista_->setSelectionMode(QAbstractItemView::NoSelection);
    lista_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista_->setFrameShape(QFrame::NoFrame);
    lista_->setUniformItemSizes(false);
    connect(lista_, &QListView::clicked, this, [this](const QModelIndex& i) {
        if (!i.data(kRolEsSeccion).toBool())
            alternar(i.data(kRolClave).toString());
    });
    auto* vacio = new QWidget;
    auto* colVacio = new QVBoxLayout(vacio);
    colVacio->addStretch();
    auto* lupaGrande = new QLabel;
    lupaGrande->setPixmap(platform::symbolPixmap(QStringLiteral("magnifyingglass"), 28, estiloqto::secundario()));
    lupaGrande->setAlignment(Qt::AlignCenter);
    colVacio->addWidget(lupaGrande);
    sinResultados_ = estiloqto::etiqueta(QString(), estiloqto::fuente(11), estiloqto::secundario());
    sinResultados_->setObjectName(QStringLiteral("sinResultados"));
    sinResultados_->setAlignment(Qt::AlignCenter);
    colVacio->addWidget(sinResultados_);
    colVacio->addStretch();
    contenido_->addWidget(lista_);
    contenido_->addWidget(vacio);
    col->addWidget(contenido_, 1);

    reconstruirLista();
}

QString SheetParametrosIFC::busqueda() const
{
    return campoBusqueda_ ? campoBusqueda_->text() : QString();
}

void SheetParametrosIFC::setBusqueda(const QString& texto)
{
    if (campoBusqueda_)
        campoBusqueda_->setText(texto);
}

void SheetParametrosIFC::alternar(const QString& clave)
{
    if (!selLocal_.remove(clave))
        selLocal_.insert(clave);
    refrescar();
}

void SheetParametrosIFC::seleccionarTodos()
{
    for (const ParamDisponible& p : filtrarParametros(disponibles_, busqueda()))
        selLocal_.insert(p.clave);
    refrescar();
}

void SheetParametrosIFC::deseleccionarTodos()
{
    for (const ParamDisponible& p : filtrarParametros(disponibles_, busqueda()))
        selLocal_.remove(p.clave);
    refrescar();
}

QStringList SheetParametrosIFC::clavesVisibles() const
{
    QStringList claves;
    if (!modelo_ || contenido_->currentWidget() != lista_)
        return claves;
    for (int r = 0; r < modelo_->rowCount(); ++r)
        if (!modelo_->item(r)->data(kRolEsSeccion).toBool())
            claves.append(modelo_->item(r)->data(kRolClave).toString());
    return claves;
}

QStringList SheetParametrosIFC::resultado() const
{
    return aplicarSeleccion(disponibles_, selLocal_);
}

void SheetParametrosIFC::reconstruirLista()
{
    const QString texto = busqueda();
    const std::vector<SeccionPset> secciones = agruparPorPset(filtrarParametros(disponibles_, texto));
    modelo_->clear();
    for (const SeccionPset& s : secciones) {
        auto* cabecera = new QStandardItem(s.pset);
        cabecera->setData(true, kRolEsSeccion);
        modelo_->appendRow(cabecera);
        for (const ParamDisponible& p : s.entradas) {
            auto* fila = new QStandardItem(p.nombre);
            fila->setData(p.clave, kRolClave);
            fila->setData(qlonglong(p.cuenta), kRolCuenta);
            fila->setData(false, kRolEsSeccion);
            modelo_->appendRow(fila);
        }
    }
    limpiarBusqueda_->setVisible(!texto.isEmpty());
    sinResultados_->setText(QStringLiteral("Sin resultados para \"") + texto + QStringLiteral("\""));
    contenido_->setCurrentWidget(secciones.empty() ? contenido_->widget(1) : lista_);
    refrescar();
}

void SheetParametrosIFC::refrescar()
{
    aplicar_->setText(QStringLiteral("Aplicar (%1)").arg(selLocal_.size()));
    if (cuentaSeleccion_)
        cuentaSeleccion_->setText(QStringLiteral("%1 seleccionados").arg(selLocal_.size()));
    if (!modelo_)
        return;
    for (int r = 0; r < modelo_->rowCount(); ++r) {
        QStandardItem* it = modelo_->item(r);
        if (!it->data(kRolEsSeccion).toBool())
            it->setData(selLocal_.contains(it->data(kRolClave).toString()), kRolMarcado);
    }
}

}  // namespace quelva
