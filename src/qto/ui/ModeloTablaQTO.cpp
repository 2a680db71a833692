#include "qto/ui/ModeloTablaQTO.h"

#include "qto/FilasQTO.h"
#include "qto/ParametrosQTO.h"
#include "qto/ui/EstiloQTO.h"

#include <QFont>

namespace quelva {

ModeloTablaQTO::ModeloTablaQTO(const EstadoQTO& estado, QObject* parent) : QAbstractTableModel(parent), estado_(estado)
{
    reconstruir();
}

void ModeloTablaQTO::reconstruir()
{
    beginResetModel();
    filas_.clear();
    visibles_ = estado_.gruposFiltrados();
    celdasGrupo_.assign(visibles_.size(), {});
    celdasTotal_ = celdasTotal(estado_);
    size_t n = visibles_.size() + 1;
    for (const GrupoQTO* g : visibles_)
        if (estado_.expandidos.contains(g->id))
            n += g->items.size();
    filas_.reserve(n);
    for (size_t k = 0; k < visibles_.size(); ++k) {
        const GrupoQTO* g = visibles_[k];
        filas_.push_back({TipoFila::grupo, int(k), -1, false});
        if (estado_.expandidos.contains(g->id))
            for (size_t i = 0; i < g->items.size(); ++i)
                filas_.push_back({TipoFila::item, int(k), int(i), false});
        filas_.back().finDeBloque = true;
    }
    if (visibles_.empty())
        filas_.push_back({TipoFila::vacio});
    filas_.push_back({TipoFila::total});
    columnas_ = kColumnasFijasQTO + int(estado_.parametrosExtra.size());
    endResetModel();
}

int ModeloTablaQTO::filaVacia() const
{
    for (size_t i = 0; i < filas_.size(); ++i)
        if (filas_[i].tipo == TipoFila::vacio)
            return int(i);
    return -1;
}

int ModeloTablaQTO::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(filas_.size());
}

int ModeloTablaQTO::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnas_;
}

QString ModeloTablaQTO::texto(const Fila& f, int c) const
{
    switch (f.tipo) {
    case TipoFila::grupo: {
        QStringList& celdas = celdasGrupo_[size_t(f.grupo)];
        if (celdas.isEmpty())
            celdas = celdasGrupo(*visibles_[size_t(f.grupo)], estado_.parametrosExtra);
        return celdas.value(c);
    }
    case TipoFila::item: {
        const ItemQTO& item = visibles_[size_t(f.grupo)]->items[size_t(f.item)];
        if (c >= kColumnasFijasQTO)
            return valorParametroItem(item, estado_.parametrosExtra.value(c - kColumnasFijasQTO));
        return celdasItem(item, {}).value(c);
    }
    case TipoFila::vacio:
        return c == 0 ? QStringLiteral("No hay datos para el filtro seleccionado.") : QString();
    case TipoFila::total:
        return celdasTotal_.value(c);
    }
    return {};
}

QVariant ModeloTablaQTO::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(filas_.size()))
        return {};
    const Fila& f = filas_[size_t(index.row())];
    const int c = index.column();
    const bool extra = c >= kColumnasFijasQTO;
    const auto col = static_cast<ColumnaQTO>(std::min(c, kColumnasFijasQTO - 1));
    switch (role) {
    case Qt::DisplayRole:
        return texto(f, c);
    case kRolTipoFila:
        return int(f.tipo);
    case kRolFinDeBloque:
        return f.finDeBloque;
    case kRolExpandido:
        return f.tipo == TipoFila::grupo && estado_.expandidos.contains(visibles_[size_t(f.grupo)]->id);
    case Qt::TextAlignmentRole: {
        if (f.tipo == TipoFila::vacio)
            return int(Qt::AlignCenter);
        if (!extra && (col == ColumnaQTO::tipo || col == ColumnaQTO::especialidad))
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        const QString t = texto(f, c);
        if (t.isEmpty() || t == guionVacio())
            return int(Qt::AlignCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    case Qt::FontRole:
        return estiloqto::fuenteCelda(int(f.tipo), c);
    case Qt::ForegroundRole:
        return estiloqto::colorCelda(int(f.tipo), c, grupo(f), extra ? texto(f, c) : QString());
    default:
        return {};
    }
}

QVariant ModeloTablaQTO::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section >= kColumnasFijasQTO)
        return nombreColumnaParametro(estado_.parametrosExtra.value(section - kColumnasFijasQTO));
    return tituloColumna(static_cast<ColumnaQTO>(section));
}

}  // namespace quelva
