#pragma once

#include "scene/Node.h"

#include <QColor>
#include <QString>
#include <QUuid>

#include <array>
#include <optional>
#include <vector>

namespace quelva {

// Placement correction of a linked model.
struct TransformacionModelo {
    enum class Unidades { milimetros, metros, pies, pulgadas };

    Unidades unidades = Unidades::metros;
    double offsetX = 0;  // metres
    double offsetY = 0;
    double offsetZ = 0;
    double giroZ = 0;  // degrees about Z

    bool operator==(const TransformacionModelo&) const = default;
};

inline constexpr std::array<TransformacionModelo::Unidades, 4> todasLasUnidades = {
    TransformacionModelo::Unidades::milimetros, TransformacionModelo::Unidades::metros,
    TransformacionModelo::Unidades::pies, TransformacionModelo::Unidades::pulgadas};

// Display text of a unit system (its stored raw value).
inline QString textoUnidades(TransformacionModelo::Unidades u)
{
    switch (u) {
    case TransformacionModelo::Unidades::milimetros: return QStringLiteral("Milímetros");
    case TransformacionModelo::Unidades::metros: return QStringLiteral("Metros");
    case TransformacionModelo::Unidades::pies: return QStringLiteral("Pies");
    case TransformacionModelo::Unidades::pulgadas: return QStringLiteral("Pulgadas");
    }
    return QStringLiteral("Metros");
}

// One IFC file linked to a discipline. id, nombre and nodo are fixed at creation.
struct ModeloVinculado {
    QUuid id = QUuid::createUuid();
    QString nombre;        // the IFC file name with its extension
    scene::NodePtr nodo;   // the model's container node
    bool isVisible = true;
    double transparencia = 0;  // 0 opaque ... 1 fully transparent
    std::optional<QString> rutaOrigen;  // absolute path of the source IFC file
    TransformacionModelo transformacion;
    // Place among the discipline's models as saved: restored models keep their saved order
    // whatever order their conversions end in, and pending ones are written back in theirs.
    int orden = 0;
};

// A model not in the scene: still converting after a project was opened or while it is being
// linked, or its file was not found or did not convert. Kept with its discipline so a save or a
// package made meanwhile writes it, unchanged and in its place, instead of dropping it.
struct ModeloPendiente {
    int orden = 0;
    QString nombre;
    QString rutaAbsoluta;
    std::optional<QString> rutaRelativa;
    bool isVisible = true;
    double transparencia = 0;
    std::optional<TransformacionModelo> transformacion;
    bool enConversion = false;
    QString rutaEncontrada;  // where the file was found; empty when it was not
    QUuid vinculo;           // the link run converting it; null for a saved model
};

// A discipline ("especialidad") with its root node and linked models.
struct EspecialidadBIM {
    QString nombre;
    QString icono;             // symbol name
    scene::NodePtr nodoRaiz;   // none until the first model is linked
    std::vector<ModeloVinculado> modelos;
    std::vector<ModeloPendiente> pendientes;  // in saved order
    QColor colorOriginal;
    bool isVisible = true;
};

// Where a linked model lives: its discipline key and its id.
struct DireccionModelo {
    QString key;
    QUuid modeloId;
    QString nombre;

    bool operator==(const DireccionModelo&) const = default;
};

}  // namespace quelva
