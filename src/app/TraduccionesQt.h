#pragma once

class QCoreApplication;
class QTranslator;

namespace quelva {

// Installs Qt's own Spanish texts (file and colour dialogs, standard buttons) from the system's
// Qt translations. The translator belongs to the application; null when the catalogue is missing.
QTranslator* instalarTraduccionesQt(QCoreApplication& app);

}  // namespace quelva
