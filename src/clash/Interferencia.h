#pragma once

#include "scene/Math.h"
#include "scene/Node.h"

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QUuid>

#include <array>
#include <optional>
#include <vector>

namespace quelva {

// Review status of a clash; the raw text is what users and files see.
enum class EstadoClash { abierto, enRevision, aprobado, resuelto };

inline constexpr std::array<EstadoClash, 4> todosLosEstadosClash = {
    EstadoClash::abierto, EstadoClash::enRevision, EstadoClash::aprobado, EstadoClash::resuelto};

QString textoEstadoClash(EstadoClash estado);
// Exactly the four raw texts (case and accents as written); anything else gives none.
std::optional<EstadoClash> estadoClashDesdeTexto(const QString& texto);
QColor colorEstadoClash(EstadoClash estado);
// Approved and resolved clashes are closed: detection leaves their pairs out.
inline bool estadoCierraClash(EstadoClash e) { return e == EstadoClash::aprobado || e == EstadoClash::resuelto; }

// One clash between element nodes of two disciplines. Only estado changes after creation.
struct Interferencia {
    QUuid id = QUuid::createUuid();
    scene::NodePtr nodoA;
    scene::NodePtr nodoB;
    QString especialidadA;
    QString especialidadB;
    QString nombreA;
    QString nombreB;
    scene::Vec3 viewpointPos;
    scene::Vec3 viewpointTarget;  // centre of the overlap of the two boxes
    double radio = 0.5;
    EstadoClash estado = EstadoClash::abierto;
};

// One analysis run with the clashes it found, in detection order.
struct AnalisisInterferencias {
    QUuid id = QUuid::createUuid();
    QString nombre;
    QDateTime fecha;
    double tolerancia = 0;  // metres
    std::vector<Interferencia> interferencias;
};

}  // namespace quelva
