#include "timeline/editor/ui/PanelElementos.h"

#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/Symbols.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QToolButton>

namespace quelva {

namespace {

constexpr int altoFila = 22;

QColor azul() { return estilo::sistema(platform::SystemColor::blue); }

QString textoBoton(bool completo)
{
    return completo ? QStringLiteral("Quitar todos") : QStringLiteral("Seleccionar todos");
}

// Paints both kinds of row and turns clicks into ticks: a header only through its button.
class DelegadoElementos : public QStyledItemDelegate {
public:
    explicit DelegadoElementos(PanelElementos& panel) : QStyledItemDelegate(&panel), panel_(panel) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {100, altoFila}; }

    static QRect rectBoton(const QRect& fila, bool completo)
    {
        const QFontMetrics fm(estilo::fuente(9));
        const int ancho = fm.horizontalAdvance(textoBoton(completo)) + 8;
        return QRect(fila.right() - 8 - ancho, fila.top(), ancho, fila.height());
    }

    void paint(QPainter* p, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override
    {
        p->save();
        const QRect r = opcion.rect;
        if (indice.data(ModeloElementos::esCabecera).toBool()) {
            p->fillRect(r, QColor::fromRgbF(0.17f, 0.17f, 0.18f));
            p->setFont(estilo::fuente(10, QFont::Bold));
            p->setPen(estilo::texto());
            p->drawText(r.adjusted(10, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, indice.data().toString());
            const bool completo = indice.data(ModeloElementos::todosVinculados).toBool();
            p->setFont(estilo::fuente(9));
            p->setPen(azul());
            p->drawText(rectBoton(r, completo), Qt::AlignCenter, textoBoton(completo));
        } else {
            const bool vinculado = indice.data(ModeloElementos::vinculado).toBool();
            const QColor color = vinculado ? azul() : estilo::secundario();
            const QRectF caja(r.left() + 16, r.center().y() - 6, 12, 12);
            platform::paintSymbol(*p, caja, vinculado ? QStringLiteral("checkmark.square.fill") : QStringLiteral("square"),
                                  color);
            p->setFont(estilo::fuente(10));
            p->setPen(vinculado ? estilo::texto() : estilo::secundario());
            const QRect texto = r.adjusted(16 + 12 + 6, 0, -8, 0);
            p->drawText(texto, Qt::AlignVCenter | Qt::AlignLeft,
                        p->fontMetrics().elidedText(indice.data().toString(), Qt::ElideMiddle, texto.width()));
        }
        p->restore();
    }

    bool editorEvent(QEvent* evento, QAbstractItemModel*, const QStyleOptionViewItem& opcion,
                     const QModelIndex& indice) override
    {
        if (evento->type() == QEvent::MouseButtonDblClick)
            return true;  // a double click is two taps, not an edit
        if (evento->type() != QEvent::MouseButtonRelease)
            return false;
        auto* raton = static_cast<QMouseEvent*>(evento);
        if (raton->button() != Qt::LeftButton)
            return false;
        if (indice.data(ModeloElementos::esCabecera).toBool()) {
            const bool completo = indice.data(ModeloElementos::todosVinculados).toBool();
            if (rectBoton(opcion.rect, completo).contains(raton->position().toPoint()))
                panel_.seleccionarGrupo(panel_.modelo()->grupoDeFila(indice.row()));
        } else {
            panel_.alternar(indice.row());
        }
        return true;
    }

private:
    PanelElementos& panel_;
};

QFrame* divisor(QWidget* padre)
{
    auto* l = new QFrame(padre);
    l->setFrameShape(QFrame::HLine);
    l->setFixedHeight(1);
    l->setStyleSheet(QStringLiteral("background: rgba(255,255,255,30); border: none;"));
    return l;
}

QString colorCss(const QColor& c) { return c.name(QColor::HexArgb); }

}  // namespace

ModeloElementos::ModeloElementos(const IndiceElementos& indice, const QStringList& elementos, QObject* parent)
    : QAbstractListModel(parent), indice_(indice), elementos_(elementos)
{
    enlazados_ = QSet<QString>(elementos_.begin(), elementos_.end());
    filtrar({});
}

int ModeloElementos::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(filas_.size());
}

const QString& ModeloElementos::nombre(int fila) const
{
    const Fila& f = filas_[fila];
    const GrupoElementos& g = grupos_[f.grupo];
    return indice_.especialidades[g.especialidad].nombres[g.nombres[f.nombre]];
}

QVariant ModeloElementos::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(filas_.size()))
        return {};
    const Fila& f = filas_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return f.nombre < 0 ? indice_.especialidades[grupos_[f.grupo].especialidad].clave : nombre(index.row());
    case esCabecera: return f.nombre < 0;
    case vinculado: return f.nombre >= 0 && enlazados_.contains(nombre(index.row()));
    case todosVinculados: return bool(completos_[f.grupo]);
    default: return {};
    }
}

void ModeloElementos::filtrar(const QString& busqueda)
{
    beginResetModel();
    grupos_ = gruposEspecialidad(indice_, busqueda);
    filas_.clear();
    for (int g = 0; g < int(grupos_.size()); ++g) {
        filas_.push_back({g, -1});
        for (int n = 0; n < int(grupos_[g].nombres.size()); ++n)
            filas_.push_back({g, n});
    }
    completos_.assign(grupos_.size(), false);
    for (int g = 0; g < int(grupos_.size()); ++g) {
        const QStringList& nombres = indice_.especialidades[grupos_[g].especialidad].nombres;
        completos_[g] = std::all_of(grupos_[g].nombres.begin(), grupos_[g].nombres.end(),
                                    [&](int i) { return enlazados_.contains(nombres[i]); });
    }
    endResetModel();
}

void ModeloElementos::refrescarVinculos()
{
    enlazados_ = QSet<QString>(elementos_.begin(), elementos_.end());
    for (int g = 0; g < int(grupos_.size()); ++g) {
        const QStringList& nombres = indice_.especialidades[grupos_[g].especialidad].nombres;
        completos_[g] = std::all_of(grupos_[g].nombres.begin(), grupos_[g].nombres.end(),
                                    [&](int i) { return enlazados_.contains(nombres[i]); });
    }
    if (!filas_.empty())
        emit dataChanged(index(0), index(int(filas_.size()) - 1));
}

QStringList ModeloElementos::nombresGrupo(int grupo) const
{
    const GrupoElementos& g = grupos_[grupo];
    const QStringList& nombres = indice_.especialidades[g.especialidad].nombres;
    QStringList r;
    r.reserve(qsizetype(g.nombres.size()));
    for (int i : g.nombres)
        r.append(nombres[i]);
    return r;
}

PanelElementos::PanelElementos(PaqueteAWP& paquete, const PropiedadesPorEspecialidad& propiedadesIFC,
                               std::function<void()> alCambiar, QWidget* parent)
    : QWidget(parent), paquete_(paquete), indice_(indexarElementos(propiedadesIFC)), alCambiar_(std::move(alCambiar))
{
    setMinimumWidth(240);
    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->setSpacing(0);

    // Header: title and count.
    auto* cabecera = new QWidget(this);
    auto* filaCabecera = new QHBoxLayout(cabecera);
    filaCabecera->setContentsMargins(12, 8, 12, 8);
    auto* titulo = new QLabel(QStringLiteral("Elementos vinculados").toUpper(), cabecera);
    QFont f = estilo::fuente(11, QFont::DemiBold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    titulo->setFont(f);
    titulo->setStyleSheet(QStringLiteral("color: %1;").arg(colorCss(estilo::secundario())));
    cuenta_ = new QLabel(cabecera);
    cuenta_->setObjectName(QStringLiteral("cuentaElementos"));
    cuenta_->setFont(estilo::fuente(11, QFont::Bold));
    filaCabecera->addWidget(titulo);
    filaCabecera->addStretch(1);
    filaCabecera->addWidget(cuenta_);
    capa->addWidget(cabecera);
    capa->addWidget(divisor(this));

    // Search.
    auto* filaBusqueda = new QWidget(this);
    filaBusqueda->setAutoFillBackground(true);
    QPalette pal = filaBusqueda->palette();
    pal.setColor(QPalette::Window, QColor::fromRgbF(0.15f, 0.15f, 0.15f));
    filaBusqueda->setPalette(pal);
    auto* capaBusqueda = new QHBoxLayout(filaBusqueda);
    capaBusqueda->setContentsMargins(10, 6, 10, 6);
    capaBusqueda->setSpacing(6);
    auto* lupa = new QLabel(filaBusqueda);
    lupa->setPixmap(platform::symbolPixmap(QStringLiteral("magnifyingglass"), 12, estilo::secundario()));
    busqueda_ = new QLineEdit(filaBusqueda);
    busqueda_->setObjectName(QStringLiteral("buscarElemento"));
    busqueda_->setPlaceholderText(QStringLiteral("Buscar elemento…"));
    busqueda_->setFrame(false);
    busqueda_->setFont(estilo::fuente(11));
    busqueda_->setStyleSheet(QStringLiteral("background: transparent;"));
    borrarBusqueda_ = new QToolButton(filaBusqueda);
    borrarBusqueda_->setObjectName(QStringLiteral("borrarBusqueda"));
    borrarBusqueda_->setAutoRaise(true);
    borrarBusqueda_->setIcon(platform::symbolIcon(QStringLiteral("xmark.circle.fill"), estilo::secundario()));
    borrarBusqueda_->setVisible(false);
    capaBusqueda->addWidget(lupa);
    capaBusqueda->addWidget(busqueda_, 1);
    capaBusqueda->addWidget(borrarBusqueda_);
    capa->addWidget(filaBusqueda);
    capa->addWidget(divisor(this));

    // Body: the list, or the empty state without models.
    auto* cuerpo = new QStackedWidget(this);
    modelo_ = new ModeloElementos(indice_, paquete_.elementosNombre, this);
    lista_ = new QListView(cuerpo);
    lista_->setObjectName(QStringLiteral("listaElementos"));
    lista_->setModel(modelo_);
    lista_->setUniformItemSizes(true);
    lista_->setSelectionMode(QAbstractItemView::NoSelection);
    lista_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lista_->setItemDelegate(new DelegadoElementos(*this));
    lista_->setFrameShape(QFrame::NoFrame);
    lista_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    vacio_ = new QWidget(cuerpo);
    vacio_->setObjectName(QStringLiteral("sinModelos"));
    auto* capaVacio = new QVBoxLayout(vacio_);
    capaVacio->setSpacing(8);
    capaVacio->addStretch(1);
    auto* cubo = new QLabel(vacio_);
    cubo->setPixmap(platform::symbolPixmap(QStringLiteral("cube.transparent"), 34, estilo::terciario()));
    cubo->setAlignment(Qt::AlignCenter);
    auto* sinModelos = new QLabel(QStringLiteral("No hay modelos IFC cargados"), vacio_);
    sinModelos->setFont(estilo::fuente(12));
    sinModelos->setStyleSheet(QStringLiteral("color: %1;").arg(colorCss(estilo::secundario())));
    sinModelos->setAlignment(Qt::AlignCenter);
    auto* pista = new QLabel(QStringLiteral("Vincula al menos un archivo IFC\npara poder asignar elementos."), vacio_);
    pista->setFont(estilo::fuente(10));
    pista->setStyleSheet(QStringLiteral("color: %1;").arg(colorCss(estilo::terciario())));
    pista->setAlignment(Qt::AlignCenter);
    capaVacio->addWidget(cubo);
    capaVacio->addWidget(sinModelos);
    capaVacio->addWidget(pista);
    capaVacio->addStretch(1);
    cuerpo->addWidget(lista_);
    cuerpo->addWidget(vacio_);
    cuerpo->setCurrentWidget(indice_.especialidades.empty() ? vacio_ : static_cast<QWidget*>(lista_));
    capa->addWidget(cuerpo, 1);

    // Footer: how many are linked, and unlinking them all.
    pie_ = new QWidget(this);
    pie_->setObjectName(QStringLiteral("pieElementos"));
    auto* capaPie = new QVBoxLayout(pie_);
    capaPie->setContentsMargins(0, 0, 0, 0);
    capaPie->setSpacing(0);
    capaPie->addWidget(divisor(pie_));
    auto* filaPie = new QWidget(pie_);
    filaPie->setAutoFillBackground(true);
    pal = filaPie->palette();
    pal.setColor(QPalette::Window, QColor::fromRgbF(0.13f, 0.13f, 0.13f));
    filaPie->setPalette(pal);
    auto* capaFilaPie = new QHBoxLayout(filaPie);
    capaFilaPie->setContentsMargins(10, 6, 10, 6);
    asignados_ = new QLabel(filaPie);
    asignados_->setObjectName(QStringLiteral("elementosAsignados"));
    asignados_->setFont(estilo::fuente(10));
    asignados_->setStyleSheet(QStringLiteral("color: %1;").arg(colorCss(estilo::secundario())));
    auto* limpiar = new QPushButton(QStringLiteral("Limpiar todo"), filaPie);
    limpiar->setObjectName(QStringLiteral("limpiarTodo"));
    limpiar->setFlat(true);
    limpiar->setAutoDefault(false);
    limpiar->setFont(estilo::fuente(10));
    QColor rojo = estilo::sistema(platform::SystemColor::red);
    rojo.setAlphaF(0.8f);
    limpiar->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; padding: 0px 4px; }").arg(colorCss(rojo)));
    capaFilaPie->addWidget(asignados_);
    capaFilaPie->addStretch(1);
    capaFilaPie->addWidget(limpiar);
    capaPie->addWidget(filaPie);
    capa->addWidget(pie_);

    connect(busqueda_, &QLineEdit::textChanged, this, [this](const QString& texto) {
        borrarBusqueda_->setVisible(!texto.isEmpty());
        modelo_->filtrar(texto);
    });
    connect(borrarBusqueda_, &QToolButton::clicked, busqueda_, &QLineEdit::clear);
    connect(limpiar, &QPushButton::clicked, this, &PanelElementos::limpiarTodo);
    refrescar();
}

void PanelElementos::refrescar()
{
    const qsizetype n = paquete_.elementosNombre.size();
    cuenta_->setText(QString::number(n));
    cuenta_->setStyleSheet(QStringLiteral("color: %1;").arg(colorCss(n > 0 ? azul() : estilo::secundario())));
    asignados_->setText(QString::number(n) + QStringLiteral(" elemento(s) asignado(s)"));
    pie_->setVisible(!indice_.especialidades.empty() && n > 0);
    modelo_->refrescarVinculos();
}

void PanelElementos::alternar(int fila)
{
    if (fila < 0 || fila >= modelo_->rowCount() || modelo_->cabecera(fila))
        return;
    const QString nombre = modelo_->nombre(fila);
    alternarElemento(paquete_.elementosNombre, paquete_.elementosNombre.contains(nombre), nombre);
    alCambiar_();
}

void PanelElementos::seleccionarGrupo(int grupo)
{
    if (grupo < 0 || grupo >= int(modelo_->grupos().size()))
        return;
    seleccionarTodos(paquete_.elementosNombre, modelo_->grupoCompleto(grupo), modelo_->nombresGrupo(grupo));
    alCambiar_();
}

void PanelElementos::limpiarTodo()
{
    paquete_.elementosNombre.clear();
    alCambiar_();
}

}  // namespace quelva
