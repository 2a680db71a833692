#include "main_window/dialogos/Confirmaciones.h"

namespace quelva {

namespace {
QString entreComillas(const QString& texto)
{
    return QStringLiteral("\"") + texto + QStringLiteral("\"");
}
}  // namespace

QString mensajeEliminarModelo(const QString& nombreModelo)
{
    return QStringLiteral("¿Eliminar ") + entreComillas(nombreModelo) +
           QStringLiteral(" de la escena? Esta acción no se puede deshacer.");
}

QString mensajeLimpiarTRELM()
{
    return QStringLiteral("Se eliminará el resultado de la comparación TRELM activa. "
                          "Los modelos base y nuevo permanecerán vinculados.");
}

QString mensajeCargarSlot(const QString& slot)
{
    const QString etiqueta = slot == QStringLiteral("BASE") ? QStringLiteral("Base") : QStringLiteral("Nueva");
    return QStringLiteral("Cargar un nuevo archivo en el slot ") + entreComillas(etiqueta) +
           QStringLiteral(" borrará el resultado de comparación TRELM actual. ¿Deseas continuar?");
}

QString mensajeEliminarComentario()
{
    return QStringLiteral("Esta acción no se puede deshacer.");
}

std::optional<QString> mensajeEliminarSeccion(const std::vector<SeccionGuardada>& secciones, const QUuid& id)
{
    for (const SeccionGuardada& s : secciones)
        if (s.id == id)
            return QStringLiteral("¿Eliminar la sección ") + entreComillas(s.nombre) +
                   QStringLiteral("? Esta acción no se puede deshacer.");
    return std::nullopt;
}

std::optional<QString> mensajeEliminarAnalisis(const std::vector<AnalisisInterferencias>& historial,
                                               std::int64_t indice)
{
    if (indice < 0 || indice >= std::int64_t(historial.size()))
        return std::nullopt;
    return QStringLiteral("¿Eliminar ") + entreComillas(historial[size_t(indice)].nombre) +
           QStringLiteral("? Esta acción no se puede deshacer.");
}

}  // namespace quelva
