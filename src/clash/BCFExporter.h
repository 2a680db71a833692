#pragma once

// A clash analysis as a BCF 2.1 package: one "Clash" topic per clash with its viewpoint and, when
// the report has one, its thumbnail.

#include "clash/GlobalIdsInterferencia.h"
#include "clash/Interferencia.h"

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <array>
#include <functional>
#include <map>
#include <optional>

namespace quelva {

// BCF camera of a clash: from its viewpoint towards its target, in single precision, Z up.
struct CamaraBCF {
    std::array<float, 3> posicion;
    std::array<float, 3> direccion;
    std::array<float, 3> arriba;
};
CamaraBCF camaraBCF(const scene::Vec3& posicion, const scene::Vec3& objetivo);

struct BCFExporter {
    AnalisisInterferencias analisis;
    QString nombreProyecto;
    std::map<QUuid, QByteArray> snapshots;  // clash id -> PNG bytes
    // Clash id -> the elements' GlobalIds, written as each component's IfcGuid when valid.
    std::map<QUuid, GlobalIdsInterferencia> globalIds;

    static QString xmlVersion();
    QString xmlProyecto(const QUuid& proyecto = QUuid::createUuid()) const;
    QString xmlMarkup(const Interferencia& interferencia, const QUuid& viewpoint, bool conSnapshot) const;
    QString xmlViewpoint(const Interferencia& interferencia, const QUuid& viewpoint) const;
    // Keeps letters, marks and digits of any script, "-", "_" and spaces; drops the rest.
    static QString nombreArchivoSeguro(const QString& nombre);
    // The file name offered for the package.
    QString nombreArchivo() const { return nombreArchivoSeguro(analisis.nombre) + QStringLiteral(".bcf"); }

    // Writes the whole package to `ruta` (replaced atomically). Any thread. nullopt on success.
    std::optional<QString> escribirPaquete(const QString& ruta) const;

    // The whole export: the package is built on the background queue, then `elegirDestino` is asked
    // on the GUI thread for where to save it (none = cancelled) and the package replaces that file.
    // `terminado` gets true only when the package is in place; it is called once, on the GUI thread.
    void exportar(std::function<std::optional<QString>(const QString& nombreSugerido)> elegirDestino,
                  std::function<void(bool)> terminado) const;
};

}  // namespace quelva
