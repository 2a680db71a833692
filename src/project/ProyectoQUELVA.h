#pragma once

// The project document's records: flat values with no scene nodes. The live state they come
// from and go back to belongs to the federation, clash, timeline, section and comment tools.

#include "comments/ComentarioMarkup.h"
#include "federation/Especialidad.h"
#include "sections/Seccion2D.h"
#include "timeline/TimeLiner.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace quelva {

inline constexpr std::int64_t kVersionProyecto = 2;

struct ModeloGuardado {
    QString nombre;
    QString rutaAbsoluta;                 // empty when the model has no known source file
    std::optional<QString> rutaRelativa;  // "modelos/<file>", written by package export only
    bool isVisible = true;
    double transparencia = 0;
    // Written only when it is not the identity; documents without it load at the identity.
    std::optional<TransformacionModelo> transformacion;

    bool operator==(const ModeloGuardado&) const = default;
};

struct EspecialidadGuardada {
    QString key;
    QString nombre;
    QString icono;
    double colorR = 0;
    double colorG = 0;
    double colorB = 0;
    bool isVisible = true;
    std::vector<ModeloGuardado> modelos;

    bool operator==(const EspecialidadGuardada&) const = default;
};

struct InterferenciaGuardada {
    QUuid id;
    QString nombreA;
    QString especialidadA;
    QString nombreB;
    QString especialidadB;
    QString estado;  // the raw status text; an unknown one reads back as "Abierto"
    double vpPosX = 0, vpPosY = 0, vpPosZ = 0;
    double vpTgtX = 0, vpTgtY = 0, vpTgtZ = 0;
    double radio = 0;

    bool operator==(const InterferenciaGuardada&) const = default;
};

struct AnalisisGuardado {
    QUuid id;
    QString nombre;
    QDateTime fecha;
    double tolerancia = 0;
    std::vector<InterferenciaGuardada> interferencias;

    bool operator==(const AnalisisGuardado&) const = default;
};

using CotasPorSeccion = std::map<QString, std::vector<Cota2D>>;
using EtiquetasPorSeccion = std::map<QString, std::vector<Etiqueta2DGuardada>>;

// The whole document. Writers fill every member; the optional ones may be absent in files.
struct ProyectoQUELVA {
    std::int64_t version = kVersionProyecto;
    QStringList ordenEspecialidades;
    std::vector<EspecialidadGuardada> especialidades;
    std::vector<AnalisisGuardado> historialAnalisis;
    std::optional<TimeLinerConfig> timeLiner;
    std::optional<std::vector<SeccionGuardada>> secciones;
    std::optional<CotasPorSeccion> cotasPorSeccion;
    std::optional<EtiquetasPorSeccion> etiquetasPorSeccion;
    std::optional<std::vector<ComentarioMarkup>> comentarios;
};

}  // namespace quelva
