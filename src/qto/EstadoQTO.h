#pragma once

#include "qto/ItemQTO.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>
#include <vector>

namespace quelva {

// The sortable columns; each is known by its title.
enum class OrdenQTO { tipoNombre, especialidad, cantidad, volumen, areaPlanta, areaCara, peso };

QString tituloOrden(OrdenQTO orden);
// Exactly one of the seven titles; none for any other text.
std::optional<OrdenQTO> ordenDesdeTitulo(const QString& titulo);

// Column widths of the take-off table, in points.
namespace anchosQTO {
inline constexpr double wEsp = 110;
inline constexpr double wCant = 50;
inline constexpr double wDens = 68;
inline constexpr double wDim = 72;
inline constexpr double wVol = 90;
inline constexpr double wAP = 100;
inline constexpr double wAC = 90;
inline constexpr double wPeso = 90;
inline constexpr double wExtra = 110;
inline constexpr double wMinTipo = 130;
}  // namespace anchosQTO

// Width of the type column for n extra columns in a table area W points wide.
double anchoColumnaTipo(qsizetype extras, double anchoDisponible);

// The text of the discipline filter's "all" option.
inline constexpr const char16_t* kFiltroTodas = u"Todas";

// A take-off window's state: the groups it was opened with and how they are shown.
struct EstadoQTO {
    std::vector<GrupoQTO> grupos;  // in the default order; never changes
    QDateTime fecha;
    // The discipline shown; none shows all of them (so a discipline named "Todas" can be chosen).
    std::optional<QString> filtroEsp;
    QSet<QUuid> expandidos;
    OrdenQTO ordenColumna = OrdenQTO::tipoNombre;
    bool ordenAscendente = true;
    bool mostrarSheet = false;
    QStringList parametrosExtra;

    EstadoQTO() = default;
    EstadoQTO(std::vector<GrupoQTO> grupos, QDateTime fecha);

    // The groups of the filter, sorted by the column; ties keep the default order.
    std::vector<const GrupoQTO*> gruposFiltrados() const;
    // True when a comes before b under the current column and direction.
    bool compararGrupos(const GrupoQTO& a, const GrupoQTO& b) const;
    // The distinct discipline names of all groups, in text order (without the "all" option).
    QStringList especialidadesFiltro() const;

    float totalVolumen() const;
    float totalAreaPlanta() const;
    float totalPeso() const;
    qsizetype totalElementos() const;

    // A click on a column title: none for columns that do not sort.
    void ordenarPor(std::optional<OrdenQTO> columna);
    void alternarGrupo(const QUuid& id);
    void expandirTodo();
    void contraerTodo();
    void quitarParametros();
};

}  // namespace quelva
