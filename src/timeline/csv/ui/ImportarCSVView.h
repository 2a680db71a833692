#pragma once

#include "timeline/TimeLiner.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QUuid>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace quelva {

// The packages read from a file, one row each in file order, ticked by id (two packages with
// one code are ticked apart). Column 0 is the tick box. The list is shared with the window and
// the ticks are kept by row (every row has its own id), so hundreds of thousands of packages
// are neither copied nor hashed when the sheet opens.
class ModeloImportarCSV : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Columna { marca, nivel, codigo, nombre, padre, inicio, fin, avance, numColumnas };

    explicit ModeloImportarCSV(std::shared_ptr<const std::vector<PaqueteAWP>> paquetes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const std::vector<PaqueteAWP>& paquetes() const { return *paquetes_; }
    int numSeleccionados() const { return numSeleccionados_; }
    bool estaSeleccionado(const QUuid& id) const;
    void alternarSeleccion(const QUuid& id, bool marcado);
    void seleccionarTodos();
    void deseleccionarTodos();
    bool todosSeleccionados() const { return numSeleccionados_ == int(paquetes_->size()); }
    // The ticked packages in file order.
    std::vector<PaqueteAWP> elegidos() const;

signals:
    void seleccionCambiada();

private:
    void todoCambio();

    std::shared_ptr<const std::vector<PaqueteAWP>> paquetes_;
    std::vector<char> marcados_;  // by row
    int numSeleccionados_ = 0;
};

// The preview sheet: review, tick, and hand the ticked packages to `confirmar`.
class ImportarCSVView : public QDialog {
    Q_OBJECT
public:
    ImportarCSVView(std::shared_ptr<const std::vector<PaqueteAWP>> paquetes,
                    std::function<void(const std::vector<PaqueteAWP>&)> confirmar, QWidget* parent = nullptr);
    ImportarCSVView(std::vector<PaqueteAWP> paquetes, std::function<void(const std::vector<PaqueteAWP>&)> confirmar,
                    QWidget* parent = nullptr);

    ModeloImportarCSV& modelo() { return *modelo_; }
    QTableView* tabla() const { return tabla_; }
    QPushButton* botonImportar() const { return importar_; }
    QPushButton* botonCancelar() const { return cancelar_; }
    QLabel* contador() const { return contador_; }

    void confirmarSeleccion();

private:
    void refrescar();

    ModeloImportarCSV* modelo_ = nullptr;
    std::function<void(const std::vector<PaqueteAWP>&)> confirmar_;
    QTableView* tabla_ = nullptr;
    QLabel* contador_ = nullptr;
    QPushButton* importar_ = nullptr;
    QPushButton* cancelar_ = nullptr;
};

}  // namespace quelva
