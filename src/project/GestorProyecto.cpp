#include "project/GestorProyecto.h"

#include "project/CodificacionProyecto.h"

#include <QFileInfo>

namespace quelva {

GestorProyecto::GestorProyecto(QObject* parent) : QObject(parent) {}

void GestorProyecto::setUrlActual(std::optional<QString> ruta)
{
    urlActual_ = std::move(ruta);
    emit urlActualChanged();
}

void GestorProyecto::setNombreProyecto(const QString& nombre)
{
    nombreProyecto_ = nombre;
    emit nombreProyectoChanged();
}

void GestorProyecto::establecerURL(const QString& ruta)
{
    setUrlActual(ruta);
    // "A.b.json" gives "A.b"; a name without extension stays whole.
    const QFileInfo info(ruta);
    const QString sinExtension = info.completeBaseName();
    setNombreProyecto(sinExtension.isEmpty() ? info.fileName() : sinExtension);
}

std::variant<QByteArray, QString> GestorProyecto::codificarProyecto(const ProyectoQUELVA& proyecto)
{
    return codificarProyectoQUELVA(proyecto);
}

}  // namespace quelva
