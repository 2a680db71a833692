#include "federation/EstadoFederacion.h"

namespace quelva {

namespace {

struct EspecialidadInicial {
    const char* key;
    const char* nombre;
    const char* icono;
    double r, g, b;
};

const EspecialidadInicial kIniciales[] = {
    {"ARQ", "Arquitectura", "building.2", 0.85, 0.85, 0.85},
    {"EST", "Estructura", "square.3.layers.3d", 0.6, 0.6, 0.6},
    {"MEP", "MEP", "pipe.and.drop", 0.2, 0.55, 1.0},
    {"TOP", "Topografía", "map", 0.55, 0.35, 0.1},
    {"ARE", "Áreas de Reserva", "rectangle.dashed", 1.0, 0.55, 0.0},
    {"EXI", "Existente", "clock.arrow.circlepath", 0.6, 0.25, 0.8},
};

}  // namespace

TablaEspecialidades especialidadesPorDefecto()
{
    TablaEspecialidades tabla;
    for (const EspecialidadInicial& e : kIniciales) {
        EspecialidadBIM esp;
        esp.nombre = QString::fromUtf8(e.nombre);
        esp.icono = QString::fromUtf8(e.icono);
        esp.colorOriginal = QColor::fromRgbF(float(e.r), float(e.g), float(e.b));
        esp.isVisible = true;
        tabla.emplace(QString::fromUtf8(e.key), std::move(esp));
    }
    return tabla;
}

QStringList ordenEspecialidadesPorDefecto()
{
    QStringList orden;
    for (const EspecialidadInicial& e : kIniciales)
        orden << QString::fromUtf8(e.key);
    return orden;
}

bool EstadoFederacion::hayModelosCargados() const
{
    for (const auto& [key, esp] : especialidades)
        if (esp.nodoRaiz)
            return true;
    return false;
}

}  // namespace quelva
