#include "qto/ui/TablaQTO.h"

#include "platform/Symbols.h"
#include "qto/FilasQTO.h"
#include "qto/ui/EstiloQTO.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <cmath>

namespace quelva {

namespace {

using TipoFila = ModeloTablaQTO::TipoFila;

QColor colorDivisor()
{
    QColor c = estiloqto::primario();
    c.setAlphaF(0.14f);
    return c;
}

// Draws every cell of a row: its background, its text in the row's font and colour, the group
// chevron and the faint divider that ends a group's block.
class DelegadoFilaQTO : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& opcion, const QModelIndex& index) const override
    {
        const auto tipo = static_cast<TipoFila>(index.data(ModeloTablaQTO::kRolTipoFila).toInt());
        const int columnas = index.model()->columnCount();
        const int c = index.column();
        QRect r = opcion.rect;
        p->save();
        if (tipo == TipoFila::grupo)
            p->fillRect(r, estiloqto::fondoControl());
        else if (tipo == TipoFila::total) {
            QColor a = estiloqto::acento();
            a.setAlphaF(0.08f);
            p->fillRect(r, a);
        }

        QRect contenido = r.adjusted(4, 0, -4, 0);
        if (c == 0)
            contenido.setLeft(r.left() + TablaQTO::kMargen);
        if (c == columnas - 1 || tipo == TipoFila::vacio)
            contenido.setRight(r.right() - TablaQTO::kMargen);
        if (tipo == TipoFila::item && c == 0)
            contenido.setLeft(contenido.left() + 16);
        if (tipo == TipoFila::grupo && c == 0) {
            const bool expandido = index.data(ModeloTablaQTO::kRolExpandido).toBool();
            const QRectF chevron(contenido.left(), contenido.center().y() - 4, 8, 8);
            platform::paintSymbol(*p, chevron, expandido ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"),
                                  estiloqto::secundario());
            contenido.setLeft(contenido.left() + 8 + 4);
        }

        const QString texto = index.data(Qt::DisplayRole).toString();
        if (!texto.isEmpty()) {
            p->setFont(qvariant_cast<QFont>(index.data(Qt::FontRole)));
            p->setPen(qvariant_cast<QColor>(index.data(Qt::ForegroundRole)));
            const int alineacion = index.data(Qt::TextAlignmentRole).toInt() | Qt::AlignVCenter;
            const QString visible = p->fontMetrics().elidedText(texto, Qt::ElideRight, contenido.width());
            p->drawText(contenido, alineacion, visible);
        }
        if (index.data(ModeloTablaQTO::kRolFinDeBloque).toBool()) {
            p->setPen(colorDivisor());
            p->drawLine(r.bottomLeft(), r.bottomRight());
        }
        p->restore();
    }
};

}  // namespace

EncabezadoQTO::EncabezadoQTO(const EstadoQTO& estado, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), estado_(estado)
{
    setSectionsClickable(true);
    setSortIndicatorShown(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setStretchLastSection(false);
    setFont(estiloqto::fuente(9, QFont::DemiBold));
}

QSize EncabezadoQTO::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(2 * QFontMetrics(font()).lineSpacing() + 10);
    return s;
}

void EncabezadoQTO::paintSection(QPainter* p, const QRect& rect, int columna) const
{
    p->save();
    p->fillRect(rect, estiloqto::fondoControl());
    QRect contenido = rect.adjusted(4, 5, -4, -5);
    if (columna == 0)
        contenido.setLeft(rect.left() + TablaQTO::kMargen);
    if (columna == count() - 1)
        contenido.setRight(rect.right() - TablaQTO::kMargen);

    QStringList lineas = (model() ? model()->headerData(columna, Qt::Horizontal).toString() : QString()).split(u'\n');
    const QFontMetrics medidas(font());
    for (QString& l : lineas)
        l = medidas.elidedText(l, Qt::ElideRight, contenido.width() - 9);
    const QString titulo = lineas.join(u'\n');
    const bool alInicio = columna <= int(ColumnaQTO::especialidad);
    const std::optional<OrdenQTO> orden =
        columna < kColumnasFijasQTO ? ordenDeColumna(static_cast<ColumnaQTO>(columna)) : std::nullopt;
    const bool conChevron = orden && *orden == estado_.ordenColumna;

    p->setFont(font());
    p->setPen(estiloqto::secundario());
    const QFontMetrics fm(font());
    const int hAlinea = alInicio ? Qt::AlignLeft : Qt::AlignRight;
    QRect zonaTexto = contenido;
    if (conChevron) {
        // Title and chevron form one block aligned to the column's side.
        const int anchoTexto = fm.boundingRect(contenido, hAlinea | Qt::AlignVCenter, titulo).width();
        const int anchoChevron = 7 + 2;
        if (alInicio)
            zonaTexto.setWidth(std::min(contenido.width(), anchoTexto));
        else
            zonaTexto.setLeft(contenido.right() - anchoChevron - anchoTexto + 1);
        const QRect bloque = zonaTexto;
        const QRectF chevron(bloque.right() + 1 + 2, contenido.center().y() - 3.5, 7, 7);
        platform::paintSymbol(*p, chevron,
                              estado_.ordenAscendente ? QStringLiteral("chevron.up") : QStringLiteral("chevron.down"),
                              estiloqto::secundario());
    }
    p->drawText(zonaTexto, hAlinea | Qt::AlignVCenter, titulo);
    p->setPen(colorDivisor());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    p->restore();
}

TablaQTO::TablaQTO(const EstadoQTO& estado, QWidget* parent)
    : QTableView(parent), estado_(estado), modelo_(new ModeloTablaQTO(estado, this)),
      encabezado_(new EncabezadoQTO(estado, this))
{
    setObjectName(QStringLiteral("tablaQTO"));
    setHorizontalHeader(encabezado_);
    setModel(modelo_);
    setItemDelegate(new DelegadoFilaQTO(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kAltoFila);
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);

    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        const ModeloTablaQTO::Fila& f = modelo_->fila(index.row());
        if (f.tipo == TipoFila::grupo)
            emit grupoPulsado(modelo_->grupo(f)->id);
    });
    connect(encabezado_, &QHeaderView::sectionClicked, this, &TablaQTO::columnaPulsada);
    reconstruir();
}

void TablaQTO::reconstruir()
{
    modelo_->reconstruir();
    clearSpans();
    if (const int vacia = modelo_->filaVacia(); vacia >= 0)
        setSpan(vacia, 0, 1, modelo_->columnCount());
    ajustarAnchos();
}

double TablaQTO::anchoTipo() const
{
    return anchoColumnaTipo(estado_.parametrosExtra.size(), viewport()->width());
}

int TablaQTO::anchoNecesario() const
{
    // A group's type cell: the row margin, the chevron and its gap, the name, the cell's end.
    const QFontMetrics medidas(estiloqto::fuenteCelda(int(TipoFila::grupo), int(ColumnaQTO::tipo)));
    int nombre = 0;
    for (const GrupoQTO& g : estado_.grupos)
        nombre = std::max(nombre, medidas.horizontalAdvance(g.tipoNombre));
    const double tipo = std::max(anchosQTO::wMinTipo, double(nombre + 8 + 4 + 4 + 2));
    // The type column takes what the other columns and the margins leave of a wide area.
    constexpr double kAmplio = 1e6;
    const double otras = kAmplio - anchoColumnaTipo(estado_.parametrosExtra.size(), kAmplio);
    const int barra = verticalScrollBar()->sizeHint().width();
    return int(std::ceil(tipo + otras)) + barra + 2 * frameWidth();
}

void TablaQTO::ajustarAnchos()
{
    const int columnas = modelo_->columnCount();
    for (int c = 0; c < columnas; ++c) {
        double ancho = c < kColumnasFijasQTO ? anchoColumna(static_cast<ColumnaQTO>(c)) : anchosQTO::wExtra;
        if (c == 0)
            ancho = anchoTipo() + kMargen;
        if (c == columnas - 1)
            ancho += kMargen;
        encabezado_->resizeSection(c, int(std::lround(ancho)));
    }
}

void TablaQTO::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    ajustarAnchos();
}

}  // namespace quelva
