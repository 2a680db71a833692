#include "platform/WorkFolder.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

QString carpetaTrabajo;

void borrarCarpetaTrabajo()
{
    if (!carpetaTrabajo.isEmpty() && carpetaTrabajo != QDir::tempPath())
        QDir(carpetaTrabajo).removeRecursively();
}

QString crearCarpetaPrivada()
{
    const QStringList bases{QDir::tempPath(), qEnvironmentVariable("XDG_RUNTIME_DIR"),
                            QStandardPaths::writableLocation(QStandardPaths::CacheLocation)};
    for (const QString& base : bases) {
        if (base.isEmpty() || !QDir().mkpath(base))
            continue;
        // mkdtemp makes the folder readable by its owner only.
        QByteArray plantilla = QFile::encodeName(QDir(base).filePath(QStringLiteral("quelva-XXXXXX")));
        if (::mkdtemp(plantilla.data()))
            return QFile::decodeName(plantilla);
    }
    qWarning("No se pudo crear la carpeta de trabajo privada; se usa la carpeta temporal del sistema.");
    return QDir::tempPath();
}

}  // namespace

QString privateWorkFolder()
{
    static std::mutex guarda;
    static bool registrado = false;
    std::lock_guard<std::mutex> bloqueo(guarda);
    // Made again when something removed it (a cleaner of old temporary files).
    if (carpetaTrabajo.isEmpty() || !QFileInfo(carpetaTrabajo).isDir()) {
        carpetaTrabajo = crearCarpetaPrivada();
        if (!registrado && carpetaTrabajo != QDir::tempPath()) {
            std::atexit(borrarCarpetaTrabajo);
            registrado = true;
        }
    }
    return carpetaTrabajo;
}

QString reportsFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".cache/QUELVA"));
    const QString carpeta = QDir(base).filePath(QStringLiteral("reportes"));
    QDir().mkpath(carpeta);
    return carpeta;
}

int removeOldReports(const QString& folder, const QDateTime& now)
{
    if (folder.isEmpty())
        return 0;
    const QDateTime limite = now.addDays(-7);
    int borrados = 0;
    const QFileInfoList entradas = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entrada : entradas) {
        if (entrada.lastModified() >= limite)
            continue;
        // A link goes itself; what it points to is not ours.
        const bool ok = entrada.isDir() && !entrada.isSymLink()
                            ? QDir(entrada.absoluteFilePath()).removeRecursively()
                            : QFile::remove(entrada.absoluteFilePath());
        if (ok)
            ++borrados;
    }
    return borrados;
}

int removeOldReports()
{
    return removeOldReports(reportsFolder(), QDateTime::currentDateTime());
}

}  // namespace platform
