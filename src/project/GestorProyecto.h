#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace quelva {

// Where the open project lives and what it is called.
class GestorProyecto : public QObject {
    Q_OBJECT
public:
    explicit GestorProyecto(QObject* parent = nullptr);

    static QString nombrePorDefecto() { return QStringLiteral("Proyecto sin título"); }

    const std::optional<QString>& urlActual() const { return urlActual_; }  // a file path
    const QString& nombreProyecto() const { return nombreProyecto_; }
    void setUrlActual(std::optional<QString> ruta);
    void setNombreProyecto(const QString& nombre);

    // After a save or an open: the path, and its file name without the last extension as the name.
    void establecerURL(const QString& ruta);

signals:
    void urlActualChanged();
    void nombreProyectoChanged();

private:
    std::optional<QString> urlActual_;
    QString nombreProyecto_ = nombrePorDefecto();
};

}  // namespace quelva
