#pragma once

#include "qto/PropiedadesQTO.h"

#include <QString>
#include <QUuid>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quelva {

// One measured element. Extents in metres: dx along X, dy the height (the scene's Z),
// dz along Y, so dx·dz is the footprint.
struct ItemQTO {
    QUuid id;
    QString nombre;
    QString tipoIFC;
    QString tipoNombre;
    QString especialidad;  // the discipline's display name
    float dx = 0;
    float dy = 0;
    float dz = 0;
    float densidad = 0;  // kg/m³
    PropiedadesQTO propiedades;  // as the property table held them when the take-off was built

    float volumen() const { return (dx * dy) * dz; }
    float areaPlanta() const { return dx * dz; }
    float areaCara() const { return 2.0f * (dx * dz + (dx * dy + dy * dz)); }
    float peso() const { return densidad * volumen(); }

    // The value under exactly that key; none when the item has none.
    std::optional<std::string_view> propiedad(std::string_view clave) const { return propiedades.valor(clave); }
};

// The items of one IFC class within one discipline.
struct GrupoQTO {
    QUuid id;
    QString tipoIFC;
    QString tipoNombre;
    QString especialidad;
    float densidad = 0;
    std::vector<ItemQTO> items;

    // Sums in item order, in single precision, computed on every call.
    float volumen() const;
    float areaPlanta() const;
    float areaCara() const;
    float peso() const;
    // Mean extents (an empty group divides by 1).
    float dxMedio() const;
    float dyMedio() const;
    float dzMedio() const;

    // The items' common value of a property: "—" when none has a value (empty and "$"
    // count as none), "varios" when they differ.
    QString valorParametro(const QString& clave) const;

    // Discipline, then type name, in code-point order of the composed forms.
    static bool ordenPorDefecto(const GrupoQTO& a, const GrupoQTO& b);
};

// "$" is how an IFC file writes an unset value.
bool valorPropiedadVacio(std::string_view valor);

// What the table shows for a missing value.
inline QString guionVacio() { return QStringLiteral("\u2014"); }

}  // namespace quelva
