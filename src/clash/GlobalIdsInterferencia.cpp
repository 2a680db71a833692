#include "clash/GlobalIdsInterferencia.h"

namespace quelva {

namespace {

QString buscar(const std::map<QString, MapaGlobalIds>& porEspecialidad, const QString& especialidad,
               const QString& nombre)
{
    const auto mapa = porEspecialidad.find(especialidad);
    if (mapa == porEspecialidad.end())
        return {};
    const qsizetype barra = nombre.indexOf(QLatin1Char('/'));
    for (const QString& candidato : {nombre, barra > 0 ? nombre.mid(barra + 1) : QString()}) {
        if (candidato.isEmpty())
            continue;
        const auto it = mapa->second.find(candidato.toStdString());
        if (it != mapa->second.end())
            return QString::fromStdString(it->second);  // "" when the name is shared
    }
    return {};
}

}  // namespace

std::map<QUuid, GlobalIdsInterferencia> globalIdsDeAnalisis(const AnalisisInterferencias& analisis,
                                                            const std::map<QString, MapaGlobalIds>& porEspecialidad)
{
    std::map<QUuid, GlobalIdsInterferencia> ids;
    for (const Interferencia& i : analisis.interferencias) {
        GlobalIdsInterferencia g{buscar(porEspecialidad, i.especialidadA, i.nombreA),
                                 buscar(porEspecialidad, i.especialidadB, i.nombreB)};
        if (!g.a.isEmpty() || !g.b.isEmpty())
            ids.emplace(i.id, std::move(g));
    }
    return ids;
}

bool esIfcGuid(const QString& texto)
{
    if (texto.size() != 22)
        return false;
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        const bool valido = (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
                            u == u'_' || u == u'$';
        if (!valido)
            return false;
    }
    return true;
}

}  // namespace quelva
