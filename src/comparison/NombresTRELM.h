#pragma once

// How a comparison names and keys an element node. Node names are normally an IFC type, a "/"
// and the element name; names without a "/" (or with several) occur and are handled.

#include "federation/ifc/GlobalIds.h"
#include "scene/Node.h"

#include <QString>

#include <string>
#include <string_view>

namespace quelva {

// Up to two pieces of a name cut at "/": empty pieces are dropped and do not count as cuts;
// the first non-empty piece closed by a "/" is the first piece, everything after that "/" the
// second (unless empty). "IfcWall/A/B" -> "IfcWall", "A/B"; "/IfcWall/A" -> "IfcWall", "A";
// "Muro" and "IfcWall/" -> one piece; "" -> none.
struct PiezasNombreTRELM {
    int cuenta = 0;
    std::string_view primera;
    std::string_view segunda;
};
PiezasNombreTRELM partirNombreTRELM(std::string_view nombre);

struct NombreYTipoTRELM {
    QString nombre;   // second piece, or the whole name
    QString tipoIFC;  // first piece when there are two, else empty
};
NombreYTipoTRELM tipoYNombreDeNodo(const scene::Node& nodo);
NombreYTipoTRELM tipoYNombreTRELM(std::string_view nombre);

// The name part (second piece, or the whole name), or with GlobalIds in use the element's
// GlobalId: looked up under the whole name first (names may hold "/" themselves and the map is
// keyed by the whole name), then under the name part.
std::string claveElementoTRELM(const scene::Node& nodo, const MapaGlobalIds& globalIds, bool usarGlobalIds);
// The same key as a view into the node's name or the map's value (valid while both live);
// `busqueda` is scratch space for the lookups, kept by the caller across calls.
std::string_view vistaClaveElementoTRELM(const scene::Node& nodo, const MapaGlobalIds& globalIds, bool usarGlobalIds,
                                         std::string& busqueda);

}  // namespace quelva
