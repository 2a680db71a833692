#include "main_window/EspecialidadesPorDefecto.h"

namespace quelva {

namespace {
struct Defecto {
    const char* key;
    const char* nombre;
    const char* icono;
    double r, g, b;
};

const Defecto defectos[] = {
    {"ARQ", "Arquitectura", "building.2", 0.85, 0.85, 0.85},
    {"EST", "Estructura", "square.3.layers.3d", 0.6, 0.6, 0.6},
    {"MEP", "MEP", "pipe.and.drop", 0.2, 0.55, 1.0},
    {"TOP", "Topografía", "map", 0.55, 0.35, 0.1},
    {"ARE", "Áreas de Reserva", "rectangle.dashed", 1.0, 0.55, 0.0},
    {"EXI", "Existente", "clock.arrow.circlepath", 0.6, 0.25, 0.8},
};
}  // namespace

QStringList ordenEspecialidadesPorDefecto()
{
    QStringList orden;
    for (const Defecto& d : defectos)
        orden << QString::fromUtf8(d.key);
    return orden;
}

std::map<QString, EspecialidadBIM> especialidadesPorDefecto()
{
    std::map<QString, EspecialidadBIM> tabla;
    for (const Defecto& d : defectos) {
        EspecialidadBIM e;
        e.nombre = QString::fromUtf8(d.nombre);
        e.icono = QString::fromUtf8(d.icono);
        e.colorOriginal = QColor::fromRgbF(float(d.r), float(d.g), float(d.b));
        e.isVisible = true;
        tabla.emplace(QString::fromUtf8(d.key), std::move(e));
    }
    return tabla;
}

}  // namespace quelva
