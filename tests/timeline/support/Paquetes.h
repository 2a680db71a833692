#pragma once

#include "timeline/TimeLiner.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace tl {

// A UTC instant, for tables.
inline QDateTime utc(int y, int m, int d, int h = 12, int min = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s), Qt::UTC);
}

inline quelva::PaqueteAWP paquete(const QString& codigo, quelva::NivelAWP nivel,
                                  std::optional<QString> padre = std::nullopt, QDateTime inicio = utc(2025, 6, 1),
                                  QDateTime fin = utc(2025, 6, 11))
{
    quelva::PaqueteAWP p;
    p.codigo = codigo;
    p.nivel = nivel;
    p.parentCodigo = std::move(padre);
    p.fechaInicio = inicio;
    p.fechaFin = fin;
    return p;
}

// Sets TZ for the life of the object (the process's local time follows it).
class ZonaHoraria {
public:
    explicit ZonaHoraria(const char* zona)
    {
        if (const char* antes = std::getenv("TZ"))
            antes_ = antes;
        setenv("TZ", zona, 1);
        tzset();
    }
    ~ZonaHoraria()
    {
        if (antes_)
            setenv("TZ", antes_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> antes_;
};

}  // namespace tl
