#pragma once

#include "qto/ItemQTO.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <cstdint>
#include <utility>
#include <vector>

namespace quelva {

// A property found on the take-off's items.
struct ParamDisponible {
    QUuid id;
    QString clave;   // "Pset › Propiedad", as the items hold it
    QString pset;    // before the first " › "; the whole key without one
    QString nombre;  // after the first " › "; the whole key without one
    std::int64_t cuenta = 0;  // items holding the key
};

// The property set and property name of a key.
std::pair<QString, QString> dividirClave(const QString& clave);
// The column title of a key: the part after its last " › ".
QString nombreColumnaParametro(const QString& clave);

// Every property key of every item (the IFC class key left out), most frequent first; equal
// counts by key, so the order is the same on every run.
std::vector<ParamDisponible> parametrosDisponibles(const std::vector<GrupoQTO>& grupos);

// The entries whose key contains the search text, ignoring case; an empty text matches all.
std::vector<ParamDisponible> filtrarParametros(const std::vector<ParamDisponible>& disponibles,
                                               const QString& busqueda);

struct SeccionPset {
    QString pset;
    std::vector<ParamDisponible> entradas;  // by property name
};
// The entries by property set, sets and names in text order.
std::vector<SeccionPset> agruparPorPset(const std::vector<ParamDisponible>& entradas);

// The ticked keys in the order of `disponibles`.
QStringList aplicarSeleccion(const std::vector<ParamDisponible>& disponibles, const QSet<QString>& seleccion);

}  // namespace quelva
