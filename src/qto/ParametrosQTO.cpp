#include "qto/ParametrosQTO.h"

#include "platform/TextOrder.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

namespace quelva {

namespace {

const QString& separador()
{
    static const QString s = QString::fromUtf8(kSeparadorPropiedad);
    return s;
}

}  // namespace

std::pair<QString, QString> dividirClave(const QString& clave)
{
    const qsizetype i = clave.indexOf(separador());
    if (i < 0)
        return {clave, clave};
    return {clave.left(i), clave.mid(i + separador().size())};
}

QString nombreColumnaParametro(const QString& clave)
{
    const qsizetype i = clave.lastIndexOf(separador());
    return i < 0 ? clave : clave.mid(i + separador().size());
}

std::vector<ParamDisponible> parametrosDisponibles(const std::vector<GrupoQTO>& grupos)
{
    // Counted per key of each store, then joined by key text.
    std::unordered_map<const AlmacenPropiedadesQTO*, std::vector<std::int64_t>> porAlmacen;
    for (const GrupoQTO& g : grupos)
        for (const ItemQTO& item : g.items) {
            if (item.propiedades.vacio())
                continue;
            std::vector<std::int64_t>& c = porAlmacen[item.propiedades.almacen()];
            item.propiedades.paraCada([&](AlmacenPropiedadesQTO::ClaveId id, std::string_view, std::string_view) {
                if (c.size() <= id)
                    c.resize(id + 1, 0);
                ++c[id];
            });
        }
    std::map<std::string_view, std::int64_t> cuentas;
    for (const auto& [almacen, c] : porAlmacen)
        for (size_t id = 0; id < c.size(); ++id)
            if (c[id] > 0 && almacen->clave(AlmacenPropiedadesQTO::ClaveId(id)) != kClaveTipoIFC)
                cuentas[almacen->clave(AlmacenPropiedadesQTO::ClaveId(id))] += c[id];

    std::vector<ParamDisponible> lista;
    lista.reserve(cuentas.size());
    for (const auto& [clave, cuenta] : cuentas) {
        ParamDisponible p;
        p.id = QUuid::createUuid();
        p.clave = QString::fromUtf8(clave.data(), qsizetype(clave.size()));
        std::tie(p.pset, p.nombre) = dividirClave(p.clave);
        p.cuenta = cuenta;
        lista.push_back(std::move(p));
    }
    std::sort(lista.begin(), lista.end(), [](const ParamDisponible& a, const ParamDisponible& b) {
        if (a.cuenta != b.cuenta)
            return a.cuenta > b.cuenta;
        return platform::compareCodePoints(a.clave, b.clave) < 0;
    });
    return lista;
}

std::vector<ParamDisponible> filtrarParametros(const std::vector<ParamDisponible>& disponibles,
                                               const QString& busqueda)
{
    if (busqueda.isEmpty())
        return disponibles;
    std::vector<ParamDisponible> r;
    for (const ParamDisponible& p : disponibles)
        if (p.clave.contains(busqueda, Qt::CaseInsensitive))
            r.push_back(p);
    return r;
}

std::vector<SeccionPset> agruparPorPset(const std::vector<ParamDisponible>& entradas)
{
    std::vector<SeccionPset> secciones;
    for (const ParamDisponible& p : entradas) {
        auto it = std::find_if(secciones.begin(), secciones.end(),
                               [&](const SeccionPset& s) { return s.pset == p.pset; });
        if (it == secciones.end()) {
            secciones.push_back({p.pset, {}});
            it = std::prev(secciones.end());
        }
        it->entradas.push_back(p);
    }
    std::stable_sort(secciones.begin(), secciones.end(), [](const SeccionPset& a, const SeccionPset& b) {
        return platform::lessCodePoints(a.pset, b.pset);
    });
    for (SeccionPset& s : secciones)
        std::stable_sort(s.entradas.begin(), s.entradas.end(), [](const ParamDisponible& a, const ParamDisponible& b) {
            return platform::lessCodePoints(a.nombre, b.nombre);
        });
    return secciones;
}

QStringList aplicarSeleccion(const std::vector<ParamDisponible>& disponibles, const QSet<QString>& seleccion)
{
    QStringList claves;
    for (const ParamDisponible& p : disponibles)
        if (seleccion.contains(p.clave))
            claves.append(p.clave);
    return claves;
}

}  // namespace quelva
