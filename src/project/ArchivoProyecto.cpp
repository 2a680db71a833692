#include "project/ArchivoProyecto.h"

#include "platform/AtomicFile.h"
#include "project/CodificacionProyecto.h"

#include <QDir>
#include <QFile>

namespace quelva {

std::optional<QString> guardarArchivoProyecto(const ProyectoQUELVA& proyecto, const QString& ruta)
{
    platform::AtomicFileWriter escritor;
    if (auto error = escritor.open(ruta))
        return error;
    if (auto error = escribirProyectoQUELVA(proyecto, *escritor.device())) {
        escritor.abort();
        return error;
    }
    return escritor.commit();
}

std::variant<ProyectoQUELVA, QString> leerArchivoProyecto(const QString& ruta)
{
    QFile archivo(ruta);
    const auto noSeLee = [&] {
        return QStringLiteral("No se pudo leer «%1»: %2").arg(QDir::toNativeSeparators(ruta), archivo.errorString());
    };
    if (!archivo.open(QIODevice::ReadOnly))
        return noSeLee();
    auto leido = leerProyectoQUELVA(archivo);
    if (archivo.error() != QFileDevice::NoError)
        return noSeLee();
    return leido;
}

}  // namespace quelva
