#include "timeline/editor/GruposElementos.h"

#include "platform/TextOrder.h"

#include <QSet>

#include <algorithm>
#include <numeric>

namespace quelva {

namespace {

// Sorts by the canonical form without keeping it: element names stay as the scene has them.
QStringList ordenados(QStringList textos)
{
    std::vector<QString> claves;
    claves.reserve(textos.size());
    for (const QString& t : textos)
        claves.push_back(platform::nfc(t));
    std::vector<qsizetype> orden(textos.size());
    std::iota(orden.begin(), orden.end(), 0);
    std::stable_sort(orden.begin(), orden.end(), [&](qsizetype a, qsizetype b) {
        return platform::compareNormalizedCodePoints(claves[a], claves[b]) < 0;
    });
    QStringList r;
    r.reserve(textos.size());
    for (qsizetype i : orden)
        r.append(std::move(textos[i]));
    return r;
}

}  // namespace

IndiceElementos indexarElementos(const PropiedadesPorEspecialidad& propiedadesIFC)
{
    QStringList claves;
    for (const auto& [clave, tabla] : propiedadesIFC)
        claves.append(clave);
    IndiceElementos indice;
    for (const QString& clave : ordenados(claves)) {
        const TablaPropiedadesIFC& tabla = propiedadesIFC.at(clave);
        QStringList nombres;
        nombres.reserve(qsizetype(tabla.size()));
        for (const auto& [nombre, propiedades] : tabla)
            nombres.append(QString::fromStdString(nombre));
        indice.especialidades.push_back({clave, ordenados(std::move(nombres))});
    }
    return indice;
}

std::vector<GrupoElementos> gruposEspecialidad(const IndiceElementos& indice, const QString& busqueda)
{
    std::vector<GrupoElementos> grupos;
    for (int e = 0; e < int(indice.especialidades.size()); ++e) {
        const QStringList& nombres = indice.especialidades[e].nombres;
        GrupoElementos g{e, {}};
        for (int i = 0; i < int(nombres.size()); ++i)
            if (busqueda.isEmpty() || nombres[i].contains(busqueda, Qt::CaseInsensitive))
                g.nombres.push_back(i);
        if (!g.nombres.empty())
            grupos.push_back(std::move(g));
    }
    return grupos;
}

void alternarElemento(QStringList& elementos, bool vinculado, const QString& nombre)
{
    if (vinculado)
        elementos.removeAll(nombre);
    else
        elementos.append(nombre);
}

void seleccionarTodos(QStringList& elementos, bool todosVinculados, const QStringList& nombres)
{
    if (todosVinculados) {
        const QSet<QString> quitar(nombres.begin(), nombres.end());
        elementos.removeIf([&](const QString& e) { return quitar.contains(e); });
        return;
    }
    QSet<QString> ya(elementos.begin(), elementos.end());
    for (const QString& n : nombres)
        if (!ya.contains(n)) {
            elementos.append(n);
            ya.insert(n);
        }
}

}  // namespace quelva
