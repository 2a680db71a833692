#pragma once

#include "federation/EstadoFederacion.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quelva {

// The element names the loaded models offer, by discipline, sorted once when the editor opens
// (keys and names in code-point order, upper case before lower case).
struct IndiceElementos {
    struct Especialidad {
        QString clave;
        QStringList nombres;  // as the scene names them
    };
    std::vector<Especialidad> especialidades;  // every key, also one without elements
};
IndiceElementos indexarElementos(const PropiedadesPorEspecialidad& propiedadesIFC);

// A discipline with the names the search leaves (indices into its sorted names).
struct GrupoElementos {
    int especialidad = 0;
    std::vector<int> nombres;
};

// Groups shown for the search text (as typed, case-insensitive, over names only); disciplines
// left with no name are left out.
std::vector<GrupoElementos> gruposEspecialidad(const IndiceElementos& indice, const QString& busqueda);

// Ticking a row: an unlinked name goes last; a linked one leaves the list (every copy of it).
void alternarElemento(QStringList& elementos, bool vinculado, const QString& nombre);
// A group's button over its shown names: links the missing ones in the group's order, or, when
// all are linked, unlinks them all; other entries keep their place.
void seleccionarTodos(QStringList& elementos, bool todosVinculados, const QStringList& nombres);

}  // namespace quelva
