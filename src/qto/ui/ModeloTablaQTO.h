#pragma once

#include "qto/EstadoQTO.h"

#include <QAbstractTableModel>

#include <vector>

namespace quelva {

// The take-off table as one flat list of uniform rows: per visible group its row and, when
// expanded, its items; the empty-filter text when nothing is visible; and the TOTAL row.
class ModeloTablaQTO : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class TipoFila { grupo, item, vacio, total };
    struct Fila {
        TipoFila tipo;
        int grupo = -1;  // into the visible groups
        int item = -1;
        bool finDeBloque = false;  // a faint divider goes below it
    };

    // Roles for the delegate and the header.
    static constexpr int kRolTipoFila = Qt::UserRole + 1;
    static constexpr int kRolFinDeBloque = Qt::UserRole + 2;
    static constexpr int kRolExpandido = Qt::UserRole + 3;

    explicit ModeloTablaQTO(const EstadoQTO& estado, QObject* parent = nullptr);

    // Rebuilds the rows from the state (filter, sort, expansion, extra columns).
    void reconstruir();

    const Fila& fila(int row) const { return filas_[size_t(row)]; }
    const GrupoQTO* grupo(const Fila& f) const { return f.grupo < 0 ? nullptr : visibles_[size_t(f.grupo)]; }
    // The row of the empty-filter text, or -1.
    int filaVacia() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString texto(const Fila& f, int columna) const;

    const EstadoQTO& estado_;
    std::vector<const GrupoQTO*> visibles_;
    // Group and TOTAL texts sum over all items: each is worked out once per rebuild.
    mutable std::vector<QStringList> celdasGrupo_;
    QStringList celdasTotal_;
    std::vector<Fila> filas_;
    int columnas_ = 0;
};

}  // namespace quelva
