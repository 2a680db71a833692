#include "project/PaqueteCompartible.h"

#include "platform/SafeExtraction.h"
#include "platform/ZipWriter.h"
#include "project/CodificacionProyecto.h"
#include "project/ConversionProyecto.h"
#include "project/LecturaProyecto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace quelva {

namespace {

const QString kProyectoJson = QStringLiteral("proyecto.json");
const QString kModelos = QStringLiteral("modelos");

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

std::vector<ModeloPendientePaquete> modelosPendientesPaquete(const ProyectoQUELVA& documento,
                                                             const TablaEspecialidades& especialidades)
{
    std::vector<ModeloPendientePaquete> lista;
    for (std::size_t i = 0; i < documento.especialidades.size(); ++i) {
        const EspecialidadGuardada& esp = documento.especialidades[i];
        for (std::size_t j = 0; j < esp.modelos.size(); ++j) {
            const ModeloPendiente* p = modeloPendiente(especialidades, esp.key, j);
            if (!p)
                continue;
            QStringList rutas;
            for (const QString& r : {p->rutaEncontrada, p->rutaAbsoluta})
                if (!r.isEmpty() && !rutas.contains(r))
                    rutas << r;
            lista.push_back({i, j, rutas});
        }
    }
    return lista;
}

CopiasPaquete asignarCopias(ProyectoQUELVA& documento, const std::vector<ModeloPendientePaquete>& pendientes)
{
    CopiasPaquete resultado;
    QSet<QString> usados;
    for (std::size_t i = 0; i < documento.especialidades.size(); ++i) {
        auto& modelos = documento.especialidades[i].modelos;
        for (std::size_t j = 0; j < modelos.size(); ++j) {
            ModeloGuardado& m = modelos[j];
            const auto pendiente = std::find_if(pendientes.begin(), pendientes.end(), [&](const ModeloPendientePaquete& p) {
                return p.especialidad == i && p.modelo == j;
            });
            if (pendiente != pendientes.end()) {
                const auto encontrada = std::find_if(pendiente->rutas.begin(), pendiente->rutas.end(),
                                                     [](const QString& r) { return QFileInfo(r).isFile(); });
                if (encontrada == pendiente->rutas.end()) {
                    const QString ruta = !m.rutaAbsoluta.isEmpty() ? m.rutaAbsoluta : m.rutaRelativa.value_or(QString());
                    // A path the package does not hold would lead the receiver to another model's copy.
                    m.rutaRelativa.reset();
                    if (!ruta.isEmpty() || !pendiente->rutas.isEmpty())
                        resultado.omitidos.push_back(
                            {documento.especialidades[i].key, m.nombre, ruta.isEmpty() ? pendiente->rutas.first() : ruta});
                    continue;
                }
                m.rutaAbsoluta = *encontrada;
            }
            if (m.rutaAbsoluta.isEmpty()) {
                m.rutaRelativa.reset();
                continue;
            }
            const QString entrada = kModelos + QLatin1Char('/') + nombreEnPaquete(m.rutaAbsoluta, usados);
            m.rutaRelativa = entrada;
            resultado.copias.push_back({entrada, m.rutaAbsoluta});
        }
    }
    return resultado;
}

std::variant<PaqueteExportado, ErrorPaquete> exportarPaquete(const QString& destino, ProyectoQUELVA documento,
                                                             const std::vector<ModeloPendientePaquete>& pendientes)
{
    const CopiasPaquete asignadas = asignarCopias(documento, pendientes);
    // Every source before the first byte is compressed: a missing one fails at once.
    for (const CopiaModelo& c : asignadas.copias) {
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
    for (const CopiaModelo& c : asignadas.copias)
        zip.addFileFromPath(c.entrada, c.origen);
    if (const auto error = zip.finish(destino))
        return ErrorPaquete{ErrorPaquete::comprimir, QStringLiteral("Error al comprimir el paquete: ") + *error};
    return PaqueteExportado{asignadas.omitidos};
}

QString textoModelosOmitidos(const QString& archivo, const std::vector<ModeloOmitido>& omitidos)
{
    QStringList lineas;
    lineas << QStringLiteral("El archivo \"%1\" se creó, pero no incluye %2 porque no se encontró su archivo IFC:")
                  .arg(archivo, omitidos.size() == 1 ? QStringLiteral("este modelo") : QStringLiteral("estos modelos"));
    for (const ModeloOmitido& m : omitidos)
        lineas << QStringLiteral("• %1 (%2): %3").arg(m.nombre, m.especialidad, QDir::toNativeSeparators(m.ruta));
    return lineas.join(QLatin1Char('\n'));
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
    if (json.size() > kTamanoMaximoProyecto)
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
