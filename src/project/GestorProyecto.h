#pragma once

#include "project/ConversionProyecto.h"
#include "project/ProyectoQUELVA.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>
#include <variant>

namespace quelva {

// Where the open project lives and what it is called.
class GestorProyecto : public QObject {
    Q_OBJECT
public:
    explicit GestorProyecto(QObject* parent = nullptr);

    static QString nombrePorDefecto() { return QStringLiteral("Proyecto sin título"); }
    // Project files: "Obra.json".
    static QString extension() { return QStringLiteral("json"); }
    static QString filtroArchivos() { return QStringLiteral("Proyecto QUELVA (*.json)"); }

    const std::optional<QString>& urlActual() const { return urlActual_; }  // a file path
    const QString& nombreProyecto() const { return nombreProyecto_; }
    void setUrlActual(std::optional<QString> ruta);
    void setNombreProyecto(const QString& nombre);

    // After a save or an open: the path, and its file name without the last extension as the name.
    void establecerURL(const QString& ruta);

    static std::vector<EspecialidadGuardada> convertirEspecialidades(const QStringList& orden,
                                                                     const TablaEspecialidades& especialidades)
    {
        return quelva::convertirEspecialidades(orden, especialidades);
    }
    static std::vector<AnalisisGuardado> convertirHistorial(const std::vector<AnalisisInterferencias>& historial)
    {
        return quelva::convertirHistorial(historial);
    }
    // The document's bytes, or why it cannot be written (a number that is not finite).
    static std::variant<QByteArray, QString> codificarProyecto(const ProyectoQUELVA& proyecto);

signals:
    void urlActualChanged();
    void nombreProyectoChanged();

private:
    std::optional<QString> urlActual_;
    QString nombreProyecto_ = nombrePorDefecto();
};

}  // namespace quelva
