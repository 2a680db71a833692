// A save or export killed halfway leaves its work files beside the user's file; the next save
// in that folder removes them, and nothing else: not a running save's, not a look-alike.

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include <sys/file.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool escribir(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList contenido(const QString& carpeta)
{
    return QDir(carpeta).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// Runs `trabajo` in a child that ends without cleaning up, as a killed program does.
void enUnProcesoQueMuere(const std::function<void()>& trabajo)
{
    const pid_t hijo = ::fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        trabajo();
        ::_exit(0);
    }
    int estado = 0;
    ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
    ASSERT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0);
}

TEST(RestosGuardado, AKilledSavesLeftoversGoWithTheNextSaveAndNothingElse)
{
    QTemporaryDir dir;
    const QString proyecto = dir.filePath("obra.json");
    const QString paquete = dir.filePath("obra.quelvapkg");
    ASSERT_TRUE(escribir(proyecto, "guardado"));
    const QStringList antes = contenido(dir.path());

    // A streamed save, then a package export whose zip library and parts were half done.
    enUnProcesoQueMuere([&] {
        auto* guardado = new platform::AtomicFileWriter;  // never committed nor destroyed
        if (guardado->open(proyecto) || !guardado->write("a medias"))
            ::_exit(1);
        platform::replaceFileAtomicallyWith(paquete, [](const QString& temporal) -> std::optional<QString> {
            escribir(temporal, "PK a medias");
            escribir(temporal + ".k3Xq9Z", "PK de la biblioteca a medias");
            QTemporaryDir partes(temporal + ".partes-XXXXXX");
            partes.setAutoRemove(false);
            escribir(partes.filePath("0.zip"), "parte");
            ::_exit(0);
        });
        ::_exit(1);
    });
    const QStringList restos = contenido(dir.path());
    ASSERT_EQ(restos.size(), antes.size() + 5) << restos.join(' ').toStdString();
    QString reserva;
    for (const QString& n : restos) {
        if (antes.contains(n))
            continue;
        EXPECT_TRUE(n.startsWith(".obra.json.quelva-") || n.startsWith(".obra.quelvapkg.quelva-")) << n.toStdString();
        if (n.startsWith(".obra.quelvapkg.quelva-") && (reserva.isEmpty() || n.size() < reserva.size()))
            reserva = n;
    }

    // What must stay: names that only look like ours, even beside a dead save's, and a save
    // that is still running.
    const QStringList parecidos = {
        ".obra.json.quelva-ABC12", ".obra.json.quelva-ABCDEFG", "obra.json.quelva-ABCDEF",
        ".obra.json.quelva-ABCD_F", ".obra.json.bak", reserva + ".bak", reserva + ".tmp.partes-ab",
        reserva + ".tmp.abc", reserva.mid(1),
    };
    for (const QString& n : parecidos)
        ASSERT_TRUE(escribir(dir.filePath(n), "del usuario"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(".otra.json.quelva-Carpet"));
    ASSERT_TRUE(QFile::link(dir.filePath("obra.json"), dir.filePath(".enlace.json.quelva-Enlace")));
    const QString enCurso = dir.filePath(".plano.pdf.quelva-Vivo01");
    ASSERT_TRUE(escribir(enCurso, "escribiendo"));
    ASSERT_TRUE(escribir(enCurso + ".tmp", "escribiendo"));
    const int fd = ::open(QFile::encodeName(enCurso).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    const QStringList quedan = contenido(dir.path());
    ASSERT_EQ(platform::replaceFileAtomically(dir.filePath("otro.csv"), "a;b\n"), std::nullopt);
    QStringList esperados = antes + parecidos;
    esperados.removeDuplicates();
    esperados << ".otra.json.quelva-Carpet" << ".enlace.json.quelva-Enlace" << ".plano.pdf.quelva-Vivo01"
              << ".plano.pdf.quelva-Vivo01.tmp" << "otro.csv";
    esperados.sort();
    EXPECT_EQ(contenido(dir.path()).join(' ').toStdString(), esperados.join(' ').toStdString())
        << "before: " << quedan.join(' ').toStdString();
    ::close(fd);
    EXPECT_EQ(QFile(proyecto).size(), 8);
}

}  // namespace
