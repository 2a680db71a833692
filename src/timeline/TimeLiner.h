#pragma once

#include <QColor>
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

// The eight package colours: blue, purple, teal, indigo, cyan, mint, orange, pink.
const std::array<QColor, 8>& paletaColores();
// Entry colorIdx modulo 8; a negative index (a hand-edited file) wraps into the palette too.
QColor colorPaleta(int colorIdx);

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

    // Planned length in whole days, at least 1.
    int duracionDias() const;
    // Planned minus actual, in whole days: positive = ahead. None without the actual date.
    std::optional<int> desfaseInicioDias() const;
    std::optional<int> desfaseFinDias() const;
    QColor color() const { return colorPaleta(colorIdx); }

    bool operator==(const PaqueteAWP&) const = default;
};

// The timeline of one project.
struct TimeLinerConfig {
    std::vector<PaqueteAWP> paquetes;
    QDateTime fechaInicio = QDateTime::currentDateTime();
    QDateTime fechaFin = sumarMeses(fechaInicio, 12);
    QString moneda = QStringLiteral("USD");

    // Sorted lists; ties keep their order in paquetes.
    // CWAs by code (plain text order); IWPs by planned start.
    std::vector<PaqueteAWP> cwas() const;
    std::vector<PaqueteAWP> iwps() const;
    // Packages of `nivel` whose parent is `codigo`, by planned start.
    std::vector<PaqueteAWP> hijos(const QString& codigo, NivelAWP nivel) const;
    // IWPs hanging directly under the CWA or under one of its CWPs, by planned start.
    std::vector<PaqueteAWP> iwpsDeCWA(const QString& codigo) const;
    // The packages whose figures stand for `paquete`: a CWA's IWPs, a CWP's IWP children, an
    // IWP or PWP itself.
    std::vector<PaqueteAWP> alcanceIWP(const PaqueteAWP& paquete) const;

    // Project length in whole days, at least 1.
    int duracionDias() const;

    // Sums over the IWP scope (0 when empty).
    double presupuestoAgregado(const PaqueteAWP& paquete) const;
    double costoRealAgregado(const PaqueteAWP& paquete) const;
    double hhAgregadas(const PaqueteAWP& paquete) const;
    double hhRealesAgregadas(const PaqueteAWP& paquete) const;
    double hhGanadasAgregadas(const PaqueteAWP& paquete) const;
    double valorGanadoAgregado(const PaqueteAWP& paquete) const;
    // Budget-weighted stored progress over the scope; the plain mean when the budgets add up to
    // nothing; the package's own progress when the scope is empty.
    double progresoAgregado(const PaqueteAWP& paquete) const;

    bool operator==(const TimeLinerConfig&) const = default;
};

// Whole days from `desde` to `hasta` in the user's calendar and time zone (a part day is
// dropped, toward zero; 10th 18:00 to 11th 09:00 is 0).
int diasCompletos(const QDateTime& desde, const QDateTime& hasta);

bool algunoConFinReal(const std::vector<PaqueteAWP>& paquetes);

// A date as a sort key in the order QDateTime compares: ms since the epoch, invalid first.
qint64 claveOrdenFecha(const QDateTime& fecha);

}  // namespace quelva
