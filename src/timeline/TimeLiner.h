#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <array>
#include <optional>
#include <vector>

namespace quelva {

// Level of a work package; its text is its identity and its stored form.
enum class NivelAWP { cwa, cwp, iwp, pwp };

inline constexpr std::array<NivelAWP, 4> todosLosNivelesAWP = {NivelAWP::cwa, NivelAWP::cwp, NivelAWP::iwp,
                                                               NivelAWP::pwp};

QString textoNivelAWP(NivelAWP nivel);
// Exactly "CWA", "CWP", "IWP" or "PWP"; anything else gives none.
std::optional<NivelAWP> nivelAWPDesdeTexto(const QString& texto);

// The instant plus whole calendar days/months in the user's calendar and time zone.
QDateTime sumarDias(const QDateTime& instante, int dias);
QDateTime sumarMeses(const QDateTime& instante, int meses);

// One work package.
struct PaqueteAWP {
    QUuid id = QUuid::createUuid();
    QString codigo;
    QString nombre;
    NivelAWP nivel = NivelAWP::iwp;
    std::optional<QString> parentCodigo;
    QDateTime fechaInicio = QDateTime::currentDateTime();
    QDateTime fechaFin = sumarDias(fechaInicio, 30);
    std::optional<QDateTime> fechaInicioReal;
    std::optional<QDateTime> fechaFinReal;
    double progreso = 0;  // fraction 0..1
    double presupuesto = 0;
    double costoReal = 0;
    double hh = 0;
    double hhReal = 0;
    QStringList elementosNombre;
    int colorIdx = 0;

    bool operator==(const PaqueteAWP&) const = default;
};

// The timeline of one project.
struct TimeLinerConfig {
    std::vector<PaqueteAWP> paquetes;
    QDateTime fechaInicio = QDateTime::currentDateTime();
    QDateTime fechaFin = sumarMeses(fechaInicio, 12);
    QString moneda = QStringLiteral("USD");

    // CWAs sorted by code (plain text order); IWPs sorted by planned start.
    std::vector<PaqueteAWP> cwas() const;
    std::vector<PaqueteAWP> iwps() const;

    bool operator==(const TimeLinerConfig&) const = default;
};

}  // namespace quelva
