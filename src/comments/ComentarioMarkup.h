#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace quelva {

// Markup canvas coordinates: points, origin top-left, y downwards; colours in 0..1.
struct PuntoMarkup {
    double x = 0;
    double y = 0;
    bool operator==(const PuntoMarkup&) const = default;
};

struct TrazadoMarkup {
    QUuid id = QUuid::createUuid();
    std::vector<PuntoMarkup> puntos;
    double r = 0, g = 0, b = 0;
    double grosor = 3.0;
};

struct TextoMarkup {
    QUuid id = QUuid::createUuid();
    QString texto;
    double x = 0, y = 0;
    double r = 0, g = 0, b = 0;
    double tamano = 16;
};

struct ComentarioMarkup {
    QUuid id = QUuid::createUuid();
    QString tag;
    std::vector<TrazadoMarkup> trazados;
    std::vector<TextoMarkup> textos;
    std::optional<QByteArray> imagenJPEG;
    QDateTime fecha = QDateTime::currentDateTime();
    QString autor;
    QString descripcion;
};

}  // namespace quelva
