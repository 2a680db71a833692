#pragma once

#include "qto/EstadoQTO.h"
#include "qto/ui/SheetParametrosIFC.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace quelva {

class TablaQTO;

// What the take-off window needs from outside: the save panel, so that tests can answer it.
struct ServiciosQTO {
    // Returns the chosen path, or an empty text when the user cancels.
    std::function<QString(QWidget* padre, const QString& nombrePropuesto)> elegirArchivoCSV;
};
ServiciosQTO serviciosQTOPorDefecto();

// The whole content of a take-off window: title and cards, the toolbar, the table and the
// summary. Holds its own copy of the groups for its whole life.
class VentanaQTO : public QWidget {
    Q_OBJECT
public:
    VentanaQTO(std::vector<GrupoQTO> grupos, const QDateTime& fecha, ServiciosQTO servicios = serviciosQTOPorDefecto(),
               QWidget* parent = nullptr);

    const EstadoQTO& estado() const { return estado_; }
    TablaQTO* tabla() const { return tabla_; }
    // The width at which the table shows every column and type name whole.
    int anchoPreferido() const;
    SheetParametrosIFC* sheet() const { return sheet_; }
    QMessageBox* alertaExportar() const { return alerta_; }

    // The controls' actions.
    void elegirFiltro(int opcion);  // 0 = all, then the disciplines in filter order
    void ordenarPor(int columna);
    void alternarGrupo(const QUuid& id);
    void expandirTodo();
    void contraerTodo();
    void quitarParametros();
    void abrirSheetParametros();
    void aplicarParametros(const QStringList& claves);
    void exportarCSV();

private:
    void construir();
    void refrescar();
    void refrescarTabla();

    EstadoQTO estado_;
    ServiciosQTO servicios_;
    QStringList especialidades_;  // the filter's options after "Todas"

    QLabel* valorElementos_ = nullptr;
    QLabel* valorTipos_ = nullptr;
    QLabel* valorPeso_ = nullptr;
    QPushButton* botonParametros_ = nullptr;
    QComboBox* filtro_ = nullptr;
    QLabel* notaDensidades_ = nullptr;
    QLabel* cuentaParametros_ = nullptr;
    QToolButton* botonQuitar_ = nullptr;
    TablaQTO* tabla_ = nullptr;
    QLabel* resumen_ = nullptr;
    QLabel* pie_ = nullptr;
    QPointer<SheetParametrosIFC> sheet_;
    QPointer<QMessageBox> alerta_;
};

}  // namespace quelva
