// Runs a fuzz target over the files of its seed folders once, without libFuzzer: the test suite
// builds every target this way, so a target that stops building or a seed that trips an
// invariant fails there.

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t largo);

int main(int argc, char** argv)
{
    int leidos = 0;
    for (int a = 1; a < argc; ++a) {
        const QString raiz = QFile::decodeName(argv[a]);
        QStringList archivos;
        if (QFileInfo(raiz).isDir()) {
            QDirIterator it(raiz, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                archivos.append(it.next());
            archivos.sort();
        } else {
            archivos.append(raiz);
        }
        for (const QString& ruta : archivos) {
            QFile f(ruta);
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "no se puede leer %s\n", qPrintable(ruta));
                return 1;
            }
            const QByteArray datos = f.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(ruta));
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(datos.constData()),
                                   static_cast<std::size_t>(datos.size()));
            ++leidos;
        }
    }
    if (leidos == 0) {
        std::fprintf(stderr, "ninguna semilla\n");
        return 1;
    }
    std::printf("%d semillas\n", leidos);
    return 0;
}
