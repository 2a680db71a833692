#pragma once

#include "federation/Especialidad.h"
#include "federation/EstadoFederacion.h"
#include "qto/ItemQTO.h"
#include "scene/Node.h"

#include <QString>
#include <QStringList>

#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quelva {

// The groups while a take-off is built, by IFC class and discipline name.
class TablaGruposQTO {
public:
    TablaGruposQTO();

    // The group of that class and discipline, made on first use.
    GrupoQTO& grupo(const std::string& tipoIFC, const QString& especialidad);
    // A copy of an element's properties in the take-off's store.
    PropiedadesQTO propiedades(const PropiedadesElementoIFC* entrada);

    bool vacia() const { return grupos_.empty(); }
    // The groups in their default order.
    std::vector<GrupoQTO> lista() &&;

private:
    std::map<std::pair<std::string, QString>, GrupoQTO> grupos_;  // nodes stay put
    // The groups of the discipline being walked, by class, found without building a key.
    QString especialidadActual_;
    std::unordered_map<std::string, GrupoQTO*> porTipo_;
    std::shared_ptr<AlmacenPropiedadesQTO> almacen_;
};

// Measures a node and, when it has a name and some extent above 1 mm, adds it as an item.
// `propiedades` is its discipline's part of the property table.
void agregarNodo(const scene::Node& nodo, const TablaPropiedadesIFC& propiedades, const QString& especialidad,
                 TablaGruposQTO& tabla);

// Every named element below the linked disciplines' root nodes, grouped and in the default
// order. Reads the scene and the table only; an empty list means nothing to measure.
std::vector<GrupoQTO> construirGrupos(const TablaEspecialidades& especialidades, const QStringList& orden,
                                      const PropiedadesPorEspecialidad& propiedadesIFC);

}  // namespace quelva
