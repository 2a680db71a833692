#include "Capturas.h"

#include <QDir>
#include <QProcessEnvironment>

namespace testsupport {

void guardarCaptura(QWidget& widget, const QString& nombre)
{
    const QString carpeta = QProcessEnvironment::systemEnvironment().value("QUELVA_CAPTURAS");
    if (carpeta.isEmpty())
        return;
    QDir().mkpath(carpeta);
    widget.grab().save(carpeta + "/" + nombre + ".png");
}

}  // namespace testsupport
