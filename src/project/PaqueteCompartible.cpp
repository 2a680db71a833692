#include "project/PaqueteCompartible.h"

#include "platform/SafeExtraction.h"
#include "platform/ZipWriter.h"
#include "project/CodificacionProyecto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

namespace quelva {

namespace {

const QString kProyectoJson = QStringLiteral("proyecto.json");
const QString kModelos = QStringLiteral("modelos");

// No project document comes near this; a package that claims one is not read into memory.
constexpr qint64 kMaximoDocumento = qint64{1} << 30;

}  // namespace

QString rutaConExtensionPaquete(const QString& elegida)
{
    if (QFileInfo(elegida).suffix().toLower() == extensionPaquete())
        return elegida;
    return elegida + QLatin1Char('.') + extensionPaquete();
}

QString nombreEnPaquete(const QString& rutaOrigen, QSet<QString>& usados)
{
    const QFileInfo info(rutaOrigen);
    // A backslash would read as a folder on the other side.
    QString nombre = info.fileName().replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (usados.contains(nombre)) {
        const QString raiz = QFileInfo(nombre).completeBaseName();
        const QString extension = QFileInfo(nombre).suffix();
        for (int n = 1;; ++n) {
            const QString candidato = raiz + QLatin1Char('_') + QString::number(n) + QLatin1Char('.') + extension;
            if (!usados.contains(candidato)) {
                nombre = candidato;
                break;
            }
        }
    }
    usados.insert(nombre);
    return nombre;
}

std::vector<CopiaModelo> asignarCopias(ProyectoQUELVA& documento, const std::vector<std::vector<bool>>& pendientes)
{
    std::vector<CopiaModelo> copias;
    QSet<QString> usados;
    for (std::size_t i = 0; i < documento.especialidades.size(); ++i) {
        auto& modelos = documento.especialidades[i].modelos;
        for (std::size_t j = 0; j < modelos.size(); ++j) {
            ModeloGuardado& m = modelos[j];
            // Not in the scene: written back as saved, never copied.
            if (i < pendientes.size() && j < pendientes[i].size() && pendientes[i][j])
                continue;
            if (m.rutaAbsoluta.isEmpty()) {
                m.rutaRelativa.reset();
                continue;
            }
            const QString entrada = kModelos + QLatin1Char('/') + nombreEnPaquete(m.rutaAbsoluta, usados);
            m.rutaRelativa = entrada;
            copias.push_back({entrada, m.rutaAbsoluta});
        }
    }
    return copias;
}

std::optional<ErrorPaquete> exportarPaquete(const QString& destino, ProyectoQUELVA documento,
                                            const std::vector<std::vector<bool>>& pendientes)
{
    const std::vector<CopiaModelo> copias = asignarCopias(documento, pendientes);
    // Every source before the first byte is compressed: a missing one fails at once.
    for (const CopiaModelo& c : copias) {
        const QFileInfo info(c.origen);
        if (!info.exists())
            return ErrorPaquete{ErrorPaquete::otro,
                                QStringLiteral("El modelo «%1» ya no existe.").arg(QDir::toNativeSeparators(c.origen))};
        if (!info.isFile() || !info.isReadable())
            return ErrorPaquete{ErrorPaquete::otro,
                                QStringLiteral("No se pudo leer el modelo «%1».").arg(QDir::toNativeSeparators(c.origen))};
    }
    documento.version = kVersionProyecto;
    auto bytes = codificarProyectoQUELVA(documento);
    if (const QString* motivo = std::get_if<QString>(&bytes))
        return ErrorPaquete{ErrorPaquete::otro, *motivo};

    platform::ZipWriter zip;
    zip.setParallelCompression(true);
    zip.addFile(kProyectoJson, std::get<QByteArray>(bytes));
    zip.addDirectory(kModelos);
    for (const CopiaModelo& c : copias)
        zip.addFileFromPath(c.entrada, c.origen);
    if (const auto error = zip.finish(destino))
        return ErrorPaquete{ErrorPaquete::comprimir, QStringLiteral("Error al comprimir el paquete: ") + *error};
    return std::nullopt;
}

QString carpetaPaquetes()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/paquetes");
}

std::variant<PaqueteAbierto, ErrorPaquete> importarPaquete(const QString& paquete, const QString& carpetaDestino)
{
    const QFileInfo info(paquete);
    QString nombre = info.completeBaseName();
    if (nombre.isEmpty())
        nombre = info.fileName();
    const QString carpeta = QDir(carpetaDestino)
                                .filePath(nombre.left(100) + QLatin1Char('-')
                                          + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    if (const auto error = platform::extractZipSafely(paquete, carpeta))
        return ErrorPaquete{ErrorPaquete::abrir, QStringLiteral("Error al abrir el paquete: ") + *error};

    auto fallo = [&](ErrorPaquete error) -> std::variant<PaqueteAbierto, ErrorPaquete> {
        QDir(carpeta).removeRecursively();
        return error;
    };
    QFile json(QDir(carpeta).filePath(kProyectoJson));
    if (!QFileInfo(json.fileName()).isFile())
        return fallo({ErrorPaquete::sinProyecto, QStringLiteral("El paquete no contiene un proyecto válido.")});
    if (json.size() > kMaximoDocumento)
        return fallo({ErrorPaquete::otro, QStringLiteral("El proyecto del paquete es demasiado grande para abrirlo.")});
    if (!json.open(QIODevice::ReadOnly))
        return fallo({ErrorPaquete::otro,
                      QStringLiteral("No se pudo leer «%1»: %2").arg(kProyectoJson, json.errorString())});
    auto decodificado = decodificarProyectoQUELVA(json.readAll());
    if (const QString* motivo = std::get_if<QString>(&decodificado))
        return fallo({ErrorPaquete::otro, *motivo});

    ProyectoQUELVA proyecto = std::move(std::get<ProyectoQUELVA>(decodificado));
    for (EspecialidadGuardada& esp : proyecto.especialidades) {
        for (ModeloGuardado& m : esp.modelos) {
            if (!m.rutaRelativa || m.rutaRelativa->isEmpty())
                continue;
            const platform::SafeEntryName ruta = platform::safeEntryPath(*m.rutaRelativa);
            if (ruta.refusal) {
                m.rutaRelativa.reset();
                continue;
            }
            // The copy that was sent wins over whatever the receiver has at the sender's path.
            const QString copia = QDir(carpeta).filePath(ruta.path);
            if (QFileInfo(copia).isFile())
                m.rutaAbsoluta = copia;
        }
    }
    return PaqueteAbierto{std::move(proyecto), carpeta, nombre};
}

}  // namespace quelva
