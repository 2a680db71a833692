#include "support/Fixtures.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcessEnvironment>

namespace testsupport {

QString fixturesDir()
{
    return QProcessEnvironment::systemEnvironment().value(
        "QUELVA_FIXTURES", QStringLiteral(QUELVA_FIXTURES_DEFAULT));
}

QString fixturePath(const QString& relative)
{
    return fixturesDir() + "/" + relative;
}

std::string readFixture(const QString& relative)
{
    QFile f(fixturePath(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString bundleDir()
{
    return QCoreApplication::applicationDirPath();
}

}  // namespace testsupport
