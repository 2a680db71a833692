#include "clash/DeteccionInterferencias.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <thread>

namespace quelva {

QString clavePar(const QString& a, const QString& b)
{
    return a <= b ? a + QLatin1Char('|') + b : b + QLatin1Char('|') + a;
}

std::vector<scene::NodePtr> enumerarNodos(scene::Node& raiz)
{
    std::vector<scene::NodePtr> nodos;
    raiz.visitDescendants([&](scene::Node& n) {
        if (n.geometry)
            nodos.push_back(n.shared_from_this());
        return false;
    });
    return nodos;
}

scene::Box cajaMundo(const scene::Node& nodo)
{
    const scene::Box local = nodo.boundingBox();
    const scene::Mat4 mundo = nodo.worldTransform();
    scene::Box caja{mundo.transformPoint(local.min), mundo.transformPoint(local.min)};
    for (int i = 1; i < 8; ++i) {
        const scene::Vec3 p = mundo.transformPoint({(i & 1) ? local.max.x : local.min.x,
                                                    (i & 2) ? local.max.y : local.min.y,
                                                    (i & 4) ? local.max.z : local.min.z});
        // fmin/fmax would hide a NaN; keep it so the element is recognised as unusable.
        caja.min = {p.x < caja.min.x || std::isnan(p.x) ? p.x : caja.min.x,
                    p.y < caja.min.y || std::isnan(p.y) ? p.y : caja.min.y,
                    p.z < caja.min.z || std::isnan(p.z) ? p.z : caja.min.z};
        caja.max = {p.x > caja.max.x || std::isnan(p.x) ? p.x : caja.max.x,
                    p.y > caja.max.y || std::isnan(p.y) ? p.y : caja.max.y,
                    p.z > caja.max.z || std::isnan(p.z) ? p.z : caja.max.z};
    }
    return caja;
}

std::vector<NodoBB> recolectarNodos(const std::map<QString, EspecialidadBIM>& especialidades,
                                    const std::vector<QString>& claves)
{
    static const QString sinNombre = QStringLiteral("sin nombre");
    std::vector<NodoBB> lista;
    for (const QString& clave : claves) {
        const auto esp = especialidades.find(clave);
        if (esp == especialidades.end() || !esp->second.nodoRaiz)
            continue;
        for (scene::NodePtr& nodo : enumerarNodos(*esp->second.nodoRaiz)) {
            const scene::Box caja = cajaMundo(*nodo);
            // A point box (or a NaN corner) has no extent to test.
            if (!(caja.min.x < caja.max.x) && !(caja.min.y < caja.max.y) && !(caja.min.z < caja.max.z))
                continue;
            NodoBB e;
            e.key = clave;
            e.nombre = nodo->name ? QString::fromStdString(*nodo->name) : sinNombre;
            e.bbMin = caja.min;
            e.bbMax = caja.max;
            e.node = std::move(nodo);
            lista.push_back(std::move(e));
        }
    }
    return lista;
}

QSet<QString> conjuntoOmitidos(const std::vector<AnalisisInterferencias>& historial, bool excluirResueltos)
{
    QSet<QString> omitidos;
    if (!excluirResueltos)
        return omitidos;
    for (const AnalisisInterferencias& a : historial)
        for (const Interferencia& i : a.interferencias)
            if (estadoCierraClash(i.estado))
                omitidos.insert(clavePar(i.nombreA, i.nombreB));
    return omitidos;
}

std::vector<std::pair<QString, QString>> paresDeClaves(std::vector<QString> claves)
{
    std::sort(claves.begin(), claves.end());
    std::vector<std::pair<QString, QString>> pares;
    for (size_t i = 0; i < claves.size(); ++i)
        for (size_t j = i + 1; j < claves.size(); ++j)
            pares.emplace_back(claves[i], claves[j]);
    return pares;
}

namespace {

bool cajaFinita(const NodoBB& n)
{
    return scene::isFinite(n.bbMin) && scene::isFinite(n.bbMax);
}

// The box test and the record of one clash. Non-finite boxes are never handed here.
std::optional<Interferencia> probar(const NodoBB& a, const NodoBB& b, double tol)
{
    const double ox = std::min(a.bbMax.x, b.bbMax.x) - std::max(a.bbMin.x, b.bbMin.x);
    if (!(ox > tol))
        return std::nullopt;
    const double oy = std::min(a.bbMax.y, b.bbMax.y) - std::max(a.bbMin.y, b.bbMin.y);
    if (!(oy > tol))
        return std::nullopt;
    const double oz = std::min(a.bbMax.z, b.bbMax.z) - std::max(a.bbMin.z, b.bbMin.z);
    if (!(oz > tol))
        return std::nullopt;
    const scene::Vec3 c{(std::min(a.bbMax.x, b.bbMax.x) + std::max(a.bbMin.x, b.bbMin.x)) / 2,
                        (std::min(a.bbMax.y, b.bbMax.y) + std::max(a.bbMin.y, b.bbMin.y)) / 2,
                        (std::min(a.bbMax.z, b.bbMax.z) + std::max(a.bbMin.z, b.bbMin.z)) / 2};
    const scene::Vec3 ea = a.bbMax - a.bbMin;
    const scene::Vec3 eb = b.bbMax - b.bbMin;
    const double radio = std::max({ea.x, ea.y, ea.z, eb.x, eb.y, eb.z, 0.5});
    const double d = std::max(1.8 * radio, 0.5);
    Interferencia i;
    i.nodoA = a.node;
    i.nodoB = b.node;
    i.especialidadA = a.key;
    i.especialidadB = b.key;
    i.nombreA = a.nombre;
    i.nombreB = b.nombre;
    i.viewpointTarget = c;
    i.viewpointPos = {c.x + d, c.y + 0.6 * d, c.z + d};
    i.radio = radio;
    return i;
}

bool omitido(const QSet<QString>& omitidos, const NodoBB& a, const NodoBB& b)
{
    return !omitidos.isEmpty() && omitidos.contains(clavePar(a.nombre, b.nombre));
}

struct Grupos {
    std::vector<QString> claves;           // order of first appearance
    std::vector<std::vector<int>> indices;  // positions in the input, in order
};

Grupos agrupar(const std::vector<NodoBB>& nodos)
{
    Grupos g;
    for (int i = 0; i < int(nodos.size()); ++i) {
        const auto it = std::find(g.claves.begin(), g.claves.end(), nodos[size_t(i)].key);
        if (it == g.claves.end()) {
            g.claves.push_back(nodos[size_t(i)].key);
            g.indices.push_back({i});
        } else {
            g.indices[size_t(it - g.claves.begin())].push_back(i);
        }
    }
    return g;
}

// Bounding-volume hierarchy over the finite boxes of one discipline. A query gives every box
// that touches or overlaps the query box, as positions in the discipline's list, in list order.
class IndiceCajas {
public:
    IndiceCajas(const std::vector<NodoBB>& nodos, const std::vector<int>& grupo)
    {
        for (int k = 0; k < int(grupo.size()); ++k) {
            const NodoBB& n = nodos[size_t(grupo[size_t(k)])];
            if (!cajaFinita(n))
                continue;
            items_.push_back({{n.bbMin.x, n.bbMin.y, n.bbMin.z}, {n.bbMax.x, n.bbMax.y, n.bbMax.z}, k});
        }
        if (items_.empty())
            return;
        nodos_.reserve(2 * items_.size() / kHoja + 2);
        nodos_.emplace_back();
        construir(0, 0, int(items_.size()));
    }

    void consultar(const double lo[3], const double hi[3], std::vector<int>& salida, std::vector<int>& pila) const
    {
        salida.clear();
        if (nodos_.empty())
            return;
        pila.clear();
        pila.push_back(0);
        while (!pila.empty()) {
            const Nodo& n = nodos_[size_t(pila.back())];
            pila.pop_back();
            if (!toca(n.lo, n.hi, lo, hi))
                continue;
            if (n.cuenta > 0) {
                for (int k = n.primero; k < n.primero + n.cuenta; ++k)
                    if (toca(items_[size_t(k)].lo, items_[size_t(k)].hi, lo, hi))
                        salida.push_back(items_[size_t(k)].posicion);
            } else {
                pila.push_back(n.primero);
                pila.push_back(n.primero + 1);
            }
        }
        std::sort(salida.begin(), salida.end());
    }

private:
    static constexpr int kHoja = 4;
    struct Item {
        double lo[3];
        double hi[3];
        int posicion;
    };
    struct Nodo {
        double lo[3];
        double hi[3];
        int primero = 0;  // leaf: first item; inner: left child (the right one follows it)
        int cuenta = 0;   // items of a leaf, 0 for an inner node
    };

    static bool toca(const double alo[3], const double ahi[3], const double blo[3], const double bhi[3])
    {
        return alo[0] <= bhi[0] && ahi[0] >= blo[0] && alo[1] <= bhi[1] && ahi[1] >= blo[1] && alo[2] <= bhi[2] &&
               ahi[2] >= blo[2];
    }

    void construir(int nodo, int ini, int fin)
    {
        double lo[3], hi[3], clo[3], chi[3];
        for (int e = 0; e < 3; ++e) {
            lo[e] = clo[e] = HUGE_VAL;
            hi[e] = chi[e] = -HUGE_VAL;
        }
        for (int k = ini; k < fin; ++k) {
            const Item& it = items_[size_t(k)];
            for (int e = 0; e < 3; ++e) {
                lo[e] = std::min(lo[e], it.lo[e]);
                hi[e] = std::max(hi[e], it.hi[e]);
                const double c = it.lo[e] + it.hi[e];
                clo[e] = std::min(clo[e], c);
                chi[e] = std::max(chi[e], c);
            }
        }
        Nodo& n = nodos_[size_t(nodo)];
        std::copy(lo, lo + 3, n.lo);
        std::copy(hi, hi + 3, n.hi);
        if (fin - ini <= kHoja) {
            n.primero = ini;
            n.cuenta = fin - ini;
            return;
        }
        int eje = 0;
        for (int e = 1; e < 3; ++e)
            if (chi[e] - clo[e] > chi[eje] - clo[eje])
                eje = e;
        const int medio = ini + (fin - ini) / 2;
        std::nth_element(items_.begin() + ini, items_.begin() + medio, items_.begin() + fin,
                         [eje](const Item& a, const Item& b) { return a.lo[eje] + a.hi[eje] < b.lo[eje] + b.hi[eje]; });
        const int hijos = int(nodos_.size());
        nodos_[size_t(nodo)].primero = hijos;  // `n` may move with the next push
        nodos_[size_t(nodo)].cuenta = 0;
        nodos_.emplace_back();
        nodos_.emplace_back();
        construir(hijos, ini, medio);
        construir(hijos + 1, medio, fin);
    }

    std::vector<Item> items_;
    std::vector<Nodo> nodos_;
};

// The clashes of the elements grupoA[desde, hasta) with the discipline indexed by `indice`.
void buscarTramo(const std::vector<NodoBB>& nodos, const std::vector<int>& grupoA, const std::vector<int>& grupoB,
                 const IndiceCajas& indice, const QSet<QString>& omitidos, double tol, size_t desde, size_t hasta,
                 std::vector<Interferencia>& salida)
{
    std::vector<int> candidatos;
    std::vector<int> pila;
    salida.reserve(salida.size() + (hasta - desde));
    for (size_t k = desde; k < hasta; ++k) {
        const NodoBB& a = nodos[size_t(grupoA[k])];
        if (!cajaFinita(a))
            continue;
        const double lo[3] = {a.bbMin.x, a.bbMin.y, a.bbMin.z};
        const double hi[3] = {a.bbMax.x, a.bbMax.y, a.bbMax.z};
        indice.consultar(lo, hi, candidatos, pila);
        for (int posicionB : candidatos) {
            const NodoBB& b = nodos[size_t(grupoB[size_t(posicionB)])];
            if (std::optional<Interferencia> i = probar(a, b, tol); i && !omitido(omitidos, a, b))
                salida.push_back(std::move(*i));
        }
    }
}

void buscarPar(const std::vector<NodoBB>& nodos, const std::vector<int>& grupoA, const std::vector<int>& grupoB,
               const IndiceCajas& indice, const QSet<QString>& omitidos, double tol, std::vector<Interferencia>& salida)
{
    constexpr size_t kPorHilo = 1024;
    const size_t hilos = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()),
                                          (grupoA.size() + kPorHilo - 1) / kPorHilo);
    if (hilos <= 1) {
        buscarTramo(nodos, grupoA, grupoB, indice, omitidos, tol, 0, grupoA.size(), salida);
        return;
    }
    // Contiguous slices of A, joined in order: the list comes out as one loop would give it.
    std::vector<std::vector<Interferencia>> partes(hilos);
    std::vector<std::thread> trabajadores;
    const size_t paso = (grupoA.size() + hilos - 1) / hilos;
    for (size_t h = 0; h < hilos; ++h) {
        const size_t desde = std::min(grupoA.size(), h * paso);
        const size_t hasta = std::min(grupoA.size(), desde + paso);
        trabajadores.emplace_back([&, h, desde, hasta] {
            buscarTramo(nodos, grupoA, grupoB, indice, omitidos, tol, desde, hasta, partes[h]);
        });
    }
    for (std::thread& t : trabajadores)
        t.join();
    size_t total = salida.size();
    for (const std::vector<Interferencia>& p : partes)
        total += p.size();
    salida.reserve(total);
    for (std::vector<Interferencia>& p : partes)
        std::move(p.begin(), p.end(), std::back_inserter(salida));
}

}  // namespace

std::vector<Interferencia> buscarInterferenciasTodosLosPares(const std::vector<NodoBB>& nodos,
                                                             const std::set<QString>& paresActivos,
                                                             const QSet<QString>& omitidos, double tolerancia)
{
    std::vector<Interferencia> resultado;
    const Grupos g = agrupar(nodos);
    for (size_t i = 0; i < g.claves.size(); ++i)
        for (size_t j = i + 1; j < g.claves.size(); ++j) {
            if (!paresActivos.contains(clavePar(g.claves[i], g.claves[j])))
                continue;
            for (int ia : g.indices[i]) {
                const NodoBB& a = nodos[size_t(ia)];
                if (!cajaFinita(a))
                    continue;
                for (int ib : g.indices[j]) {
                    const NodoBB& b = nodos[size_t(ib)];
                    if (!cajaFinita(b))
                        continue;
                    if (std::optional<Interferencia> c = probar(a, b, tolerancia); c && !omitido(omitidos, a, b))
                        resultado.push_back(std::move(*c));
                }
            }
        }
    return resultado;
}

std::vector<Interferencia> buscarInterferencias(const std::vector<NodoBB>& nodos,
                                                const std::set<QString>& paresActivos,
                                                const QSet<QString>& omitidos, double tolerancia)
{
    // The index finds boxes that touch; only a tolerance of zero or more keeps every clash among them.
    if (!(tolerancia >= 0))
        return buscarInterferenciasTodosLosPares(nodos, paresActivos, omitidos, tolerancia);
    std::vector<Interferencia> resultado;
    const Grupos g = agrupar(nodos);
    std::vector<std::unique_ptr<IndiceCajas>> indices(g.claves.size());
    for (size_t i = 0; i < g.claves.size(); ++i)
        for (size_t j = i + 1; j < g.claves.size(); ++j) {
            if (!paresActivos.contains(clavePar(g.claves[i], g.claves[j])))
                continue;
            if (!indices[j])
                indices[j] = std::make_unique<IndiceCajas>(nodos, g.indices[j]);
            buscarPar(nodos, g.indices[i], g.indices[j], *indices[j], omitidos, tolerancia, resultado);
        }
    return resultado;
}

}  // namespace quelva
