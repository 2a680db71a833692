#include "app/TraduccionesQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quelva {

QTranslator* instalarTraduccionesQt(QCoreApplication& app)
{
    // The interface is Spanish whatever the user's locale: Qt's texts follow it.
    auto* traductor = new QTranslator(&app);
    if (!traductor->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(traductor)) {
        delete traductor;
        return nullptr;
    }
    return traductor;
}

}  // namespace quelva
