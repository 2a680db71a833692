#pragma once

// Shared by the federation tests that run the stand-in converter.

#include "platform/Queues.h"
#include "platform/Resources.h"
#include "platform/WorkFolder.h"
#include "support/Fixtures.h"
#include "support/Esperar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace testfed {

// Spins the event loop until the condition holds; false after the timeout.
inline bool esperarHasta(const std::function<bool()>& condicion)
{
    return testsupport::esperarQue(condicion);
}

// Lets every background job finish and every result posted to the main queue arrive.
inline void vaciarColas()
{
    platform::BackgroundQueue::waitForIdle();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

inline const char* const kVariablesConversor[] = {
    "QUELVA_CONV_ARGS", "QUELVA_CONV_COPIA", "QUELVA_CONV_ESPERA", "QUELVA_CONV_STDERR",
    "QUELVA_CONV_STDERR_FILE", "QUELVA_CONV_STDERR_MB", "QUELVA_CONV_STDERR_IFC", "QUELVA_CONV_OBJ",
    "QUELVA_CONV_STATUS", "QUELVA_CONV_PARCIAL", "QUELVA_CONV_SENAL",
};

// A private temporary directory (so work files can be counted), the resource lookup pointed
// at the stand-in converter, and its behaviour reset.
class EntornoConversor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temporal_.isValid());
        ASSERT_TRUE(otros_.isValid());
        tmpdirAnterior_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temporal_.path()));
        ASSERT_EQ(QDir::tempPath(), QDir::cleanPath(temporal_.path()));
        platform::Resources::setBundleDir(testsupport::fixturePath("federation/conv"));
        for (const char* v : kVariablesConversor)
            qunsetenv(v);
    }

    void TearDown() override
    {
        vaciarColas();
        for (const char* v : kVariablesConversor)
            qunsetenv(v);
        platform::Resources::setBundleDir(QString());
        if (tmpdirAnterior_.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", tmpdirAnterior_);
    }

    static void fijar(const char* variable, const QString& valor) { qputenv(variable, valor.toUtf8()); }
    static QString conversor() { return testsupport::fixturePath("federation/conv/IfcConvert"); }
    static QString conv(const QString& archivo) { return testsupport::fixturePath("federation/conv/" + archivo); }

    // Names of what is left in the run's work folder.
    QStringList archivosTemporales() const
    {
        return QDir(temporal()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
    static QString temporal() { return platform::privateWorkFolder(); }
    QString otro(const QString& nombre) const { return otros_.filePath(nombre); }

private:
    QTemporaryDir temporal_;
    QTemporaryDir otros_;
    QByteArray tmpdirAnterior_;
};

}  // namespace testfed
