#include "timeline/detector/ui/DetectorAWPView.h"

#include "timeline/EstiloNivel.h"
#include "timeline/HojasTimeLiner.h"
#include "timeline/ui/PiezasHoja.h"

#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace quelva {

namespace {

using hoja::divisor;
using hoja::etiqueta;
using hoja::fuente;
using hoja::secundario;

// Borderless: as wide as its text.
QPushButton* botonPlano(const QString& texto, QWidget* padre, const QColor& color = {})
{
    auto* b = new QPushButton(texto, padre);
    b->setFlat(true);
    b->setAutoDefault(false);
    b->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    QString estilo = QStringLiteral("QPushButton { border: none; padding: 3px 6px; background: transparent; ");
    if (color.isValid())
        estilo += QStringLiteral("color: rgba(%1,%2,%3,%4); ").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha());
    b->setStyleSheet(estilo + u'}');
    return b;
}

constexpr int kAltoFila = 40;
constexpr int kLado = 18;

QRect marcaEn(const QRect& fila)
{
    return QRect(fila.left() + 10, fila.center().y() - kLado / 2, kLado, kLado);
}

}  // namespace

class ModeloDetectorAWP : public QAbstractListModel {
public:
    explicit ModeloDetectorAWP(ControladorDetectorAWP& c, QObject* parent) : QAbstractListModel(parent), c_(c) {}
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(c_.resultados().size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        return c_.resultados()[std::size_t(index.row())].codigo;
    }
    const ParametroAWPDetectado& resultado(int fila) const { return c_.resultados()[std::size_t(fila)]; }
    ControladorDetectorAWP& controlador() const { return c_; }
    void reiniciar()
    {
        beginResetModel();
        endResetModel();
    }

private:
    ControladorDetectorAWP& c_;
};

namespace {

// One row: tick box, level symbol, code over its element count, level badge. Only the tick
// box reacts to the mouse.
class DelegadoDetector : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex&) const override
    {
        return {o.rect.width(), kAltoFila};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& index) const override
    {
        const auto* m = static_cast<const ModeloDetectorAWP*>(index.model());
        const ParametroAWPDetectado& r = m->resultado(index.row());
        const bool marcado = m->controlador().estaSeleccionado(r.codigo);
        const QColor color = colorNivel(r.nivel);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        const QRect marca = marcaEn(o.rect);
        platform::paintSymbol(*p, marca, marcado ? QStringLiteral("checkmark.square.fill") : QStringLiteral("square"),
                              marcado ? color : secundario());
        const QRect simbolo(marca.right() + 9, marca.top(), kLado, kLado);
        platform::paintSymbol(*p, simbolo, simboloNivel(r.nivel), color);

        // Badge on the right.
        const QString nivel = textoNivelAWP(r.nivel);
        const QFont fBadge = fuente(9);
        const int anchoBadge = QFontMetrics(fBadge).horizontalAdvance(nivel) + 12;
        const int altoBadge = QFontMetrics(fBadge).height() + 4;
        const QRectF badge(o.rect.right() - 12 - anchoBadge, o.rect.center().y() - altoBadge / 2.0, anchoBadge,
                           altoBadge);
        QColor fondo = color;
        fondo.setAlphaF(0.15f);
        QPainterPath capsula;
        capsula.addRoundedRect(badge, altoBadge / 2.0, altoBadge / 2.0);
        p->fillPath(capsula, fondo);
        p->setFont(fBadge);
        p->setPen(secundario());
        p->drawText(badge, Qt::AlignCenter, nivel);

        const int x = simbolo.right() + 9;
        const int ancho = int(badge.left()) - 8 - x;
        const QFont fCodigo = fuente(12, QFont::DemiBold);
        const QFont fCuenta = fuente(10);
        const int h1 = QFontMetrics(fCodigo).height(), h2 = QFontMetrics(fCuenta).height();
        const int y = o.rect.center().y() - (h1 + 1 + h2) / 2;
        p->setFont(fCodigo);
        p->setPen(o.palette.color(QPalette::Text));
        p->drawText(QRect(x, y, ancho, h1), Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(fCodigo).elidedText(r.codigo, Qt::ElideRight, ancho));
        p->setFont(fCuenta);
        p->setPen(secundario());
        p->drawText(QRect(x, y + h1 + 1, ancho, h2), Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("%1 elemento(s)").arg(r.elementos.size()));
        p->restore();
    }

    bool editorEvent(QEvent* e, QAbstractItemModel* model, const QStyleOptionViewItem& o,
                     const QModelIndex& index) override
    {
        if (e->type() != QEvent::MouseButtonRelease && e->type() != QEvent::MouseButtonPress &&
            e->type() != QEvent::MouseButtonDblClick)
            return false;
        const auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() != Qt::LeftButton || !marcaEn(o.rect).contains(me->position().toPoint()))
            return true;  // the rest of the row does nothing
        if (e->type() == QEvent::MouseButtonRelease) {
            auto* m = static_cast<ModeloDetectorAWP*>(model);
            m->controlador().alternarSeleccion(m->resultado(index.row()).codigo);
        }
        return true;
    }
};

}  // namespace

DetectorAWPView::DetectorAWPView(std::shared_ptr<const PropiedadesPorEspecialidad> propiedadesIFC,
                                 TimeLinerStore& store, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DetectorAWPView"));
    setWindowTitle(QStringLiteral("Detector de Parámetros AWP"));
    setFixedSize(540, 460);
    controlador_ = new ControladorDetectorAWP(std::move(propiedadesIFC), store, this);
    modelo_ = new ModeloDetectorAWP(*controlador_, this);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    auto* cabecera = new QHBoxLayout;
    cabecera->setContentsMargins(16, 16, 16, 16);
    auto* titulos = new QVBoxLayout;
    titulos->setSpacing(2);
    titulos->addWidget(etiqueta(QStringLiteral("Detector de Parámetros AWP"), fuente(13, QFont::DemiBold), {}, this));
    titulos->addWidget(etiqueta(QStringLiteral("Extrae CWA · CWP · IWP · PWP desde las propiedades IFC"), fuente(10),
                                secundario(), this));
    cabecera->addLayout(titulos);
    cabecera->addStretch(1);
    auto* cerrar = botonPlano(QStringLiteral("Cerrar"), this);
    cabecera->addWidget(cerrar);
    col->addLayout(cabecera);
    col->addWidget(divisor(this));

    centro_ = new QStackedWidget(this);
    // Scanning.
    auto* progreso = new QWidget(centro_);
    auto* pc = new QVBoxLayout(progreso);
    pc->setContentsMargins(48, 48, 48, 48);
    pc->addStretch(1);
    auto* barra = new QProgressBar(progreso);
    barra->setRange(0, 0);
    barra->setTextVisible(false);
    barra->setMaximumHeight(8);
    pc->addWidget(barra);
    auto* analizando = etiqueta(QStringLiteral("Analizando propiedades IFC…"), fuente(11), secundario(), progreso);
    analizando->setAlignment(Qt::AlignCenter);
    pc->addWidget(analizando);
    pc->addStretch(1);
    centro_->addWidget(progreso);
    // Nothing found yet.
    auto* vacio = new QWidget(centro_);
    auto* vc = new QVBoxLayout(vacio);
    vc->setContentsMargins(40, 40, 40, 40);
    vc->setSpacing(14);
    vc->addStretch(1);
    auto* lupa = new QLabel(vacio);
    lupa->setPixmap(platform::symbolPixmap(QStringLiteral("magnifyingglass.circle"), 48, secundario()));
    lupa->setAlignment(Qt::AlignCenter);
    vc->addWidget(lupa);
    auto* explica = etiqueta(QStringLiteral("Analiza los archivos IFC cargados para encontrar\nlos parámetros CWA, CWP, "
                                            "IWP y PWP."),
                             fuente(12), secundario(), vacio);
    explica->setAlignment(Qt::AlignCenter);
    vc->addWidget(explica);
    auto* detectarAhora = new QPushButton(QStringLiteral("Detectar ahora"), vacio);
    detectarAhora->setObjectName(QStringLiteral("botonDetectarAhora"));
    detectarAhora->setDefault(true);
    vc->addWidget(detectarAhora, 0, Qt::AlignHCenter);
    vc->addStretch(1);
    centro_->addWidget(vacio);
    // Results.
    auto* resultados = new QWidget(centro_);
    auto* rc = new QVBoxLayout(resultados);
    rc->setContentsMargins(0, 10, 0, 0);
    rc->setSpacing(6);
    auto* filaCuentas = new QHBoxLayout;
    filaCuentas->setContentsMargins(16, 0, 16, 0);
    cuentas_ = etiqueta(QString(), fuente(12), secundario(), resultados);
    cuentas_->setObjectName(QStringLiteral("cuentasDetector"));
    cuentas_->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    filaCuentas->addWidget(cuentas_);
    filaCuentas->addStretch(1);
    auto* todo = botonPlano(QStringLiteral("Seleccionar todo"), resultados);
    todo->setFont(fuente(12));
    auto* limpiar = botonPlano(QStringLiteral("Limpiar"), resultados, secundario());
    limpiar->setFont(fuente(12));
    filaCuentas->addWidget(todo);
    filaCuentas->addWidget(limpiar);
    rc->addLayout(filaCuentas);
    lista_ = new QListView(resultados);
    lista_->setObjectName(QStringLiteral("listaDetector"));
    lista_->setModel(modelo_);
    lista_->setItemDelegate(new DelegadoDetector(lista_));
    lista_->setSelectionMode(QAbstractItemView::NoSelection);
    lista_->setUniformItemSizes(true);
    lista_->setFrameShape(QFrame::NoFrame);
    lista_->setFocusPolicy(Qt::NoFocus);
    lista_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    rc->addWidget(lista_, 1);
    centro_->addWidget(resultados);
    col->addWidget(centro_, 1);
    col->addWidget(divisor(this));

    auto* pie = new QHBoxLayout;
    pie->setContentsMargins(16, 16, 16, 16);
    detectarDeNuevo_ = botonPlano(QStringLiteral("Detectar de nuevo"), this);
    pie->addWidget(detectarDeNuevo_);
    pie->addStretch(1);
    auto* cancelar = botonPlano(QStringLiteral("Cancelar"), this);
    pie->addWidget(cancelar);
    importar_ = new QPushButton(QStringLiteral("Importar seleccionados"), this);
    importar_->setObjectName(QStringLiteral("botonImportarDetectados"));
    importar_->setAutoDefault(false);
    pie->addWidget(importar_);
    col->addLayout(pie);

    connect(cerrar, &QPushButton::clicked, this, &QDialog::reject);
    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(detectarAhora, &QPushButton::clicked, controlador_, &ControladorDetectorAWP::detectar);
    connect(detectarDeNuevo_, &QPushButton::clicked, controlador_, &ControladorDetectorAWP::detectar);
    connect(todo, &QPushButton::clicked, controlador_, &ControladorDetectorAWP::seleccionarTodo);
    connect(limpiar, &QPushButton::clicked, controlador_, &ControladorDetectorAWP::limpiarSeleccion);
    connect(importar_, &QPushButton::clicked, this, [this] {
        if (controlador_->seleccionados().isEmpty())
            return;
        controlador_->importarSeleccionados();
        accept();
    });
    // However the sheet goes, a scan still running is dropped.
    connect(this, &QDialog::finished, controlador_, &ControladorDetectorAWP::cerrar);
    connect(controlador_, &ControladorDetectorAWP::cambiado, this, &DetectorAWPView::refrescar);
    refrescar();
}

int DetectorAWPView::estadoVisible() const
{
    return centro_->currentIndex();
}

QRect DetectorAWPView::rectMarca(int fila) const
{
    return marcaEn(lista_->visualRect(modelo_->index(fila)));
}

void DetectorAWPView::refrescar()
{
    const ControladorDetectorAWP& c = *controlador_;
    if (c.versionResultados() != versionMostrada_) {
        versionMostrada_ = c.versionResultados();
        modelo_->reiniciar();
    } else {
        lista_->viewport()->update();
    }
    centro_->setCurrentIndex(c.detectando() ? 0 : c.resultados().empty() ? 1 : 2);
    cuentas_->setText(QStringLiteral("%1 paquetes detectados con %2 elemento(s)")
                          .arg(qint64(c.resultados().size()))
                          .arg(c.totalElementos()));
    cuentas_->setMinimumWidth(cuentas_->fontMetrics().horizontalAdvance(cuentas_->text()) + 4);
    detectarDeNuevo_->setVisible(!c.resultados().empty());
    importar_->setEnabled(!c.seleccionados().isEmpty());
}

void registrarDetectorAWP()
{
    hojasTimeLiner().detector = [](QWidget* padre, std::shared_ptr<const PropiedadesPorEspecialidad> propiedadesIFC,
                                   const std::map<QString, MapaGlobalIds>&, TimeLinerStore& store) -> QDialog* {
        return new DetectorAWPView(std::move(propiedadesIFC), store, padre);
    };
}

}  // namespace quelva
