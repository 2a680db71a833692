#pragma once

#include "timeline/TimeLiner.h"
#include "timeline/editor/GruposElementos.h"

#include <QAbstractListModel>
#include <QSet>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace quelva {

// Rows of the linked-elements list: a header per discipline, then its shown names.
class ModeloElementos : public QAbstractListModel {
    Q_OBJECT
public:
    enum Rol { esCabecera = Qt::UserRole + 1, vinculado, todosVinculados };

    ModeloElementos(const IndiceElementos& indice, const QStringList& elementos, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void filtrar(const QString& busqueda);
    // The linked names changed: ticks and buttons follow.
    void refrescarVinculos();

    const std::vector<GrupoElementos>& grupos() const { return grupos_; }
    // A group's shown names, in order.
    QStringList nombresGrupo(int grupo) const;
    bool grupoCompleto(int grupo) const { return completos_[grupo]; }
    // For a row: its group and whether it is the header; the name of an element row.
    int grupoDeFila(int fila) const { return filas_[fila].grupo; }
    bool cabecera(int fila) const { return filas_[fila].nombre < 0; }
    const QString& nombre(int fila) const;

private:
    struct Fila {
        int grupo;
        int nombre;  // -1 for the discipline header
    };
    const IndiceElementos& indice_;
    const QStringList& elementos_;
    QSet<QString> enlazados_;
    std::vector<GrupoElementos> grupos_;
    std::vector<bool> completos_;
    std::vector<Fila> filas_;
};

// The right pane of the editor: search, one section per discipline, and the count.
class PanelElementos : public QWidget {
    Q_OBJECT
public:
    // `alCambiar` runs after the working copy's names changed.
    PanelElementos(PaqueteAWP& paquete, const PropiedadesPorEspecialidad& propiedadesIFC,
                   std::function<void()> alCambiar, QWidget* parent = nullptr);

    void refrescar();
    void alternar(int fila);
    void seleccionarGrupo(int grupo);
    void limpiarTodo();

    QLineEdit* busqueda() const { return busqueda_; }
    QListView* lista() const { return lista_; }
    ModeloElementos* modelo() const { return modelo_; }

private:
    PaqueteAWP& paquete_;
    IndiceElementos indice_;
    std::function<void()> alCambiar_;
    ModeloElementos* modelo_ = nullptr;
    QLabel* cuenta_ = nullptr;
    QLineEdit* busqueda_ = nullptr;
    QToolButton* borrarBusqueda_ = nullptr;
    QListView* lista_ = nullptr;
    QWidget* vacio_ = nullptr;
    QWidget* pie_ = nullptr;
    QLabel* asignados_ = nullptr;
};

}  // namespace quelva
