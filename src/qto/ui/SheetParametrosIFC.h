#pragma once

#include "qto/ParametrosQTO.h"

#include <QDialog>
#include <QSet>
#include <QStringList>

#include <vector>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStackedWidget;
class QStandardItemModel;
class QToolButton;

namespace quelva {

// Picks the extra property columns. Ticks stay in the sheet until "Aplicar", which hands
// the ticked keys over in the order of `disponibles`; any other way out changes nothing.
class SheetParametrosIFC : public QDialog {
    Q_OBJECT
public:
    SheetParametrosIFC(std::vector<ParamDisponible> disponibles, const QStringList& seleccionados,
                       QWidget* parent = nullptr);

    const QSet<QString>& seleccion() const { return selLocal_; }
    QString busqueda() const;
    void setBusqueda(const QString& texto);
    // Ticks or unticks a key, as a tap on its row does.
    void alternar(const QString& clave);
    void seleccionarTodos();
    void deseleccionarTodos();
    // The keys of the rows shown now, in list order.
    QStringList clavesVisibles() const;
    // The keys "Aplicar" hands over.
    QStringList resultado() const;

signals:
    void aplicado(const QStringList& claves);

private:
    void reconstruirLista();
    void refrescar();

    std::vector<ParamDisponible> disponibles_;
    QSet<QString> selLocal_;

    QPushButton* aplicar_ = nullptr;
    QLineEdit* campoBusqueda_ = nullptr;
    QToolButton* limpiarBusqueda_ = nullptr;
    QLabel* cuentaSeleccion_ = nullptr;
    QStackedWidget* contenido_ = nullptr;
    QLabel* sinResultados_ = nullptr;
    QListView* lista_ = nullptr;
    QStandardItemModel* modelo_ = nullptr;
};

}  // namespace quelva
