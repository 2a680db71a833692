#include "timeline/csv/ui/ImportarCSVView.h"

#include "timeline/EstiloNivel.h"
#include "timeline/csv/TimeLinerCSV.h"
#include "timeline/ui/PiezasHoja.h"

#include "platform/SheetButtonRow.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace quelva {

namespace {

using hoja::divisor;
using hoja::etiqueta;
using hoja::fuente;
using hoja::secundario;

QString unaLinea(QString s)
{
    for (QChar& c : s)
        if (c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85))
            c = u' ';
    return s;
}

// Column widths; the name takes what is left.
constexpr int kAnchos[ModeloImportarCSV::numColumnas] = {30, 50, 100, 0, 90, 80, 80, 60};

}  // namespace

ModeloImportarCSV::ModeloImportarCSV(std::shared_ptr<const std::vector<PaqueteAWP>> paquetes, QObject* parent)
    : QAbstractTableModel(parent),
      paquetes_(paquetes ? std::move(paquetes) : std::make_shared<const std::vector<PaqueteAWP>>()),
      marcados_(paquetes_->size(), 1),
      numSeleccionados_(int(paquetes_->size()))
{
}

int ModeloImportarCSV::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(paquetes_->size());
}

int ModeloImportarCSV::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : numColumnas;
}

QVariant ModeloImportarCSV::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(paquetes_->size()))
        return {};
    const std::size_t fila = std::size_t(index.row());
    const PaqueteAWP& p = (*paquetes_)[fila];
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        switch (col) {
        case nivel: return textoNivelAWP(p.nivel);
        case codigo: return unaLinea(p.codigo);
        case nombre: return unaLinea(p.nombre);
        case padre: return p.parentCodigo ? unaLinea(*p.parentCodigo) : QStringLiteral("—");
        case inicio: return platform::formatUserDate(p.fechaInicio, platform::DateStyle::short_);
        case fin: return platform::formatUserDate(p.fechaFin, platform::DateStyle::short_);
        case avance: return TimeLinerCSV::textoEntero(p.progreso * 100.0) + u'%';
        default: return {};
        }
    case Qt::ToolTipRole:
        if (col == nombre || col == codigo)
            return col == nombre ? p.nombre : p.codigo;
        return {};
    case Qt::CheckStateRole:
        if (col == marca)
            return marcados_[fila] ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::FontRole:
        switch (col) {
        case nivel: return fuente(11, QFont::DemiBold);
        case codigo: {
            QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            f.setPixelSize(11);
            return f;
        }
        case nombre: return fuente(11);
        case marca: return {};
        default: return fuente(10);
        }
    case Qt::ForegroundRole:
        if (col == nivel)
            return colorNivel(p.nivel);
        if (col == padre)
            return secundario();
        return {};
    case Qt::BackgroundRole:
        if (marcados_[fila]) {
            QColor c = QApplication::palette().color(QPalette::Highlight);
            c.setAlphaF(0.06f);
            return c;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (col == avance)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (col == marca)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant ModeloImportarCSV::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    static const char* const titulos[numColumnas] = {"", "Nivel", "Código", "Nombre", "Padre", "Inicio", "Fin",
                                                     "Avance"};
    switch (role) {
    case Qt::DisplayRole: return section >= 0 && section < numColumnas ? QString::fromUtf8(titulos[section]) : QVariant();
    case Qt::FontRole: return fuente(10, QFont::Bold);
    case Qt::ForegroundRole: return secundario();
    case Qt::TextAlignmentRole:
        return section == avance ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

Qt::ItemFlags ModeloImportarCSV::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == marca)
        return Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
    return Qt::ItemIsEnabled;
}

bool ModeloImportarCSV::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != marca || role != Qt::CheckStateRole)
        return false;
    alternarSeleccion((*paquetes_)[std::size_t(index.row())].id, value.toInt() == Qt::Checked);
    return true;
}

bool ModeloImportarCSV::estaSeleccionado(const QUuid& id) const
{
    for (std::size_t i = 0; i < paquetes_->size(); ++i)
        if ((*paquetes_)[i].id == id)
            return marcados_[i];
    return false;
}

void ModeloImportarCSV::alternarSeleccion(const QUuid& id, bool marcado)
{
    // Every row of that id, as a set of ids would have it.
    bool cambio = false;
    for (std::size_t i = 0; i < paquetes_->size(); ++i) {
        if ((*paquetes_)[i].id != id || bool(marcados_[i]) == marcado)
            continue;
        marcados_[i] = marcado;
        numSeleccionados_ += marcado ? 1 : -1;
        cambio = true;
        emit dataChanged(index(int(i), 0), index(int(i), numColumnas - 1));
    }
    if (cambio)
        emit seleccionCambiada();
}

void ModeloImportarCSV::seleccionarTodos()
{
    std::fill(marcados_.begin(), marcados_.end(), 1);
    numSeleccionados_ = int(paquetes_->size());
    todoCambio();
}

void ModeloImportarCSV::deseleccionarTodos()
{
    std::fill(marcados_.begin(), marcados_.end(), 0);
    numSeleccionados_ = 0;
    todoCambio();
}

void ModeloImportarCSV::todoCambio()
{
    if (!paquetes_->empty())
        emit dataChanged(index(0, 0), index(int(paquetes_->size()) - 1, numColumnas - 1));
    emit seleccionCambiada();
}

std::vector<PaqueteAWP> ModeloImportarCSV::elegidos() const
{
    std::vector<PaqueteAWP> r;
    r.reserve(std::size_t(numSeleccionados_));
    for (std::size_t i = 0; i < paquetes_->size(); ++i)
        if (marcados_[i])
            r.push_back((*paquetes_)[i]);
    return r;
}

ImportarCSVView::ImportarCSVView(std::vector<PaqueteAWP> paquetes,
                                 std::function<void(const std::vector<PaqueteAWP>&)> confirmar, QWidget* parent)
    : ImportarCSVView(std::make_shared<const std::vector<PaqueteAWP>>(std::move(paquetes)), std::move(confirmar),
                      parent)
{
}

ImportarCSVView::ImportarCSVView(std::shared_ptr<const std::vector<PaqueteAWP>> paquetes,
                                 std::function<void(const std::vector<PaqueteAWP>&)> confirmar, QWidget* parent)
    : QDialog(parent), confirmar_(std::move(confirmar))
{
    setObjectName(QStringLiteral("ImportarCSVView"));
    setWindowTitle(QStringLiteral("Importar paquetes AWP desde CSV"));
    setFixedSize(780, 520);
    modelo_ = new ModeloImportarCSV(std::move(paquetes), this);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    // Header: title, counter, select all / none.
    auto* cabecera = new QHBoxLayout;
    cabecera->setContentsMargins(16, 16, 16, 16);
    auto* titulos = new QVBoxLayout;
    titulos->setSpacing(2);
    titulos->addWidget(etiqueta(QStringLiteral("Importar paquetes AWP desde CSV"), fuente(13, QFont::DemiBold),
                                QColor(), this));
    contador_ = etiqueta(QString(), fuente(10), secundario(), this);
    contador_->setObjectName(QStringLiteral("contadorCSV"));
    titulos->addWidget(contador_);
    cabecera->addLayout(titulos);
    cabecera->addStretch(1);
    for (const auto& [texto, accion] :
         {std::pair{QStringLiteral("Seleccionar todos"), &ModeloImportarCSV::seleccionarTodos},
          std::pair{QStringLiteral("Deseleccionar todos"), &ModeloImportarCSV::deseleccionarTodos}}) {
        auto* b = new QPushButton(texto, this);
        b->setFlat(true);
        b->setFont(fuente(10));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, modelo_, accion);
        cabecera->addWidget(b);
    }
    col->addLayout(cabecera);
    col->addWidget(divisor(this));

    tabla_ = new QTableView(this);
    tabla_->setObjectName(QStringLiteral("tablaImportarCSV"));
    tabla_->setModel(modelo_);
    tabla_->setFrameShape(QFrame::NoFrame);
    tabla_->setShowGrid(false);
    tabla_->setSelectionMode(QAbstractItemView::NoSelection);
    tabla_->setFocusPolicy(Qt::NoFocus);
    tabla_->setWordWrap(false);
    tabla_->setTextElideMode(Qt::ElideRight);
    tabla_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    tabla_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tabla_->verticalHeader()->hide();
    tabla_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabla_->verticalHeader()->setDefaultSectionSize(24);
    QHeaderView* h = tabla_->horizontalHeader();
    h->setHighlightSections(false);
    h->setSectionsClickable(false);
    h->setMinimumSectionSize(20);
    for (int c = 0; c < ModeloImportarCSV::numColumnas; ++c) {
        if (c == ModeloImportarCSV::nombre) {
            h->setSectionResizeMode(c, QHeaderView::Stretch);
        } else {
            h->setSectionResizeMode(c, QHeaderView::Fixed);
            h->resizeSection(c, kAnchos[c]);
        }
    }
    tabla_->setStyleSheet(QStringLiteral("QTableView { border-bottom: none; } "
                                         "QTableView::item { padding-left: 4px; padding-right: 4px; "
                                         "border-bottom: 1px solid rgba(128,128,128,40); }"));
    col->addWidget(tabla_, 1);
    col->addWidget(divisor(this));

    // Which columns a file needs.
    auto* ayuda = new QHBoxLayout;
    ayuda->setContentsMargins(16, 8, 16, 0);
    ayuda->setSpacing(6);
    auto* icono = new QLabel(this);
    icono->setPixmap(platform::symbolPixmap(QStringLiteral("info.circle"), 12, secundario()));
    ayuda->addWidget(icono);
    ayuda->addWidget(etiqueta(QStringLiteral("Columnas requeridas: Nivel (CWA/CWP/IWP/PWP), Código, Nombre, Inicio, Fin "
                                             "(YYYY-MM-DD o DD/MM/YYYY)"),
                              fuente(9), secundario(), this));
    ayuda->addStretch(1);
    col->addLayout(ayuda);

    platform::SheetButtonRow fila = platform::makeSheetButtonRow(this, QString());
    cancelar_ = fila.cancel;
    importar_ = fila.confirm;
    importar_->setObjectName(QStringLiteral("botonImportarCSV"));
    // "Cancelar" on the left, the import on the right.
    delete fila.layout->takeAt(0);
    fila.layout->insertStretch(1, 1);
    fila.layout->setContentsMargins(16, 16, 16, 16);
    col->addLayout(fila.layout);
    connect(cancelar_, &QPushButton::clicked, this, &QDialog::reject);
    connect(importar_, &QPushButton::clicked, this, &ImportarCSVView::confirmarSeleccion);
    connect(modelo_, &ModeloImportarCSV::seleccionCambiada, this, &ImportarCSVView::refrescar);
    refrescar();
}

void ImportarCSVView::refrescar()
{
    const int n = int(modelo_->paquetes().size());
    const int s = modelo_->numSeleccionados();
    contador_->setText(QStringLiteral("%1 paquetes encontrados · %2 seleccionados").arg(n).arg(s));
    importar_->setText(QStringLiteral("Importar %1 paquetes").arg(s));
    importar_->setEnabled(s > 0);
}

void ImportarCSVView::confirmarSeleccion()
{
    if (modelo_->numSeleccionados() == 0)
        return;
    if (confirmar_) {
        // Everything ticked (the usual case): the list itself, not a copy of it.
        if (modelo_->todosSeleccionados())
            confirmar_(modelo_->paquetes());
        else
            confirmar_(modelo_->elegidos());
    }
    accept();
}

}  // namespace quelva
