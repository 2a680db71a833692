#include "platform/ProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>

#include <gtest/gtest.h>

using platform::ProcessOptions;
using platform::runProcess;

namespace {
const QString sh = QStringLiteral("/bin/sh");
}

TEST(ProcessRunner, DrainsMegabytesOfStandardErrorWithoutBlocking)
{
    // 8 MB is far beyond a pipe's buffer: an undrained pipe would hang here.
    const auto r = runProcess(sh, {"-c", "head -c 8388608 /dev/zero | tr '\\000' x >&2; exit 3"});
    ASSERT_TRUE(r.started) << r.startError.toStdString();
    EXPECT_TRUE(r.exitedNormally);
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_FALSE(r.succeeded());
    ASSERT_EQ(r.standardError.size(), 8u * 1024 * 1024);
    EXPECT_EQ(r.standardError.find_first_not_of('x'), std::string::npos);
}

TEST(ProcessRunner, DrainsCapturedStandardOutputAndErrorTogether)
{
    const auto r = runProcess(sh, {"-c", "head -c 3000000 /dev/zero; head -c 3000000 /dev/zero >&2"},
                              ProcessOptions{.captureStandardOutput = true});
    ASSERT_TRUE(r.started);
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(r.standardOutput.size(), 3000000u);
    EXPECT_EQ(r.standardError.size(), 3000000u);
}

TEST(ProcessRunner, ExitStatusIsTheChildsCode)
{
    const struct { const char* script; std::int32_t status; bool ok; } cases[] = {
        {"exit 0", 0, true},
        {"exit 1", 1, false},
        {"echo 'falla' >&2; exit 255", 255, false},
    };
    for (const auto& c : cases) {
        const auto r = runProcess(sh, {"-c", c.script});
        ASSERT_TRUE(r.started) << c.script;
        EXPECT_TRUE(r.exitedNormally) << c.script;
        EXPECT_EQ(r.exitStatus, c.status) << c.script;
        EXPECT_EQ(r.succeeded(), c.ok) << c.script;
    }
}

TEST(ProcessRunner, EndingBySignalIsAFailure)
{
    for (const char* sig : {"SEGV", "KILL", "TERM"}) {
        // A signal that ends the child with no error text and no exit code.
        const auto r = runProcess(sh, {"-c", QStringLiteral("kill -%1 $$").arg(sig)});
        ASSERT_TRUE(r.started) << sig;
        EXPECT_FALSE(r.exitedNormally) << sig;
        EXPECT_NE(r.exitStatus, 0) << sig;
        EXPECT_FALSE(r.succeeded()) << sig;
    }
}

TEST(ProcessRunner, MissingOrUnrunnableProgramSaysWhyInSpanish)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notExecutable = dir.filePath("IfcConvert");
    QFile f(notExecutable);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    const struct { QString program; const char* fragment; } cases[] = {
        {dir.filePath("no-existe"), "no se encontró"},
        {QStringLiteral("quelva-programa-que-no-existe"), "no se encontró"},
        {notExecutable, "permiso"},
        {QString(), "ningún programa"},
    };
    for (const auto& c : cases) {
        const auto r = runProcess(c.program, {"a"});
        EXPECT_FALSE(r.started) << c.program.toStdString();
        EXPECT_FALSE(r.succeeded());
        EXPECT_TRUE(r.startError.contains(QString::fromUtf8(c.fragment))) << r.startError.toStdString();
    }
}

TEST(ProcessRunner, ArgumentsReachTheProgramUnchanged)
{
    const QStringList args = {"con espacio", "comilla\"doble", "'simple'", "$HOME", "*", "", "a;b|c && d",
                              "ñandú/á", "línea\nnueva", "`date`", "\\"};
    // Each argument back on standard output, NUL-terminated.
    const auto r = runProcess(sh, QStringList{"-c", "for a in \"$@\"; do printf '%s\\000' \"$a\"; done", "sh"} + args,
                              ProcessOptions{.captureStandardOutput = true});
    ASSERT_TRUE(r.succeeded()) << r.standardError;
    QStringList back;
    std::string::size_type start = 0;
    for (auto end = r.standardOutput.find('\0'); end != std::string::npos;
         start = end + 1, end = r.standardOutput.find('\0', start))
        back << QString::fromStdString(r.standardOutput.substr(start, end - start));
    EXPECT_EQ(back, args);
}

TEST(ProcessRunner, RunsOnABackgroundThreadWithoutEventLoop)
{
    auto future = QtConcurrent::run([] { return runProcess(sh, {"-c", "echo hola >&2; exit 7"}); });
    const auto r = future.result();
    EXPECT_EQ(r.exitStatus, 7);
    EXPECT_EQ(r.standardError, "hola\n");
}
