// Safe extraction of any bytes as a zip archive: nothing lands outside the
// folder, no link or special file is made, no ".partial" folder is left, and
// what is extracted stays within the limits.

#include "Invariantes.h"

#include "platform/SafeExtraction.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo)
{
    static QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath("entrada.zip");
    {
        QFile f(archivo);
        EXIGIR(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(reinterpret_cast<const char*>(datos), static_cast<qint64>(largo));
    }
    const QString destino = carpeta.filePath("sub/d");
    platform::ZipExtractionLimits limites;
    limites.maxTotalBytes = 4u << 20;
    limites.maxEntries = 500;
    const auto error = platform::extractZipSafely(archivo, destino, limites);

    const QStringList arriba = QDir(carpeta.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXIGIR(arriba == QStringList({"entrada.zip", "sub"}) || arriba == QStringList({"entrada.zip"}));
    const QStringList junto = QDir(carpeta.filePath("sub")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXIGIR(junto.isEmpty() || (!error && junto == QStringList({"d"})));
    if (!error) {
        qint64 total = 0;
        QDirIterator it(destino, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            EXIGIR(!info.isSymLink() && (info.isDir() || info.isFile()));
            if (info.isFile())
                total += info.size();
        }
        EXIGIR(total <= qint64(limites.maxTotalBytes));
        EXIGIR(QDir(destino).removeRecursively());
    }
    return 0;
}
