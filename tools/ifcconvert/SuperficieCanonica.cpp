#include "SuperficieCanonica.h"

#include <carve/triangulator.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <tuple>
#include <utility>

namespace quelva::ifcconvert {

namespace {

using P3 = std::array<double, 3>;

P3 menos(const P3& a, const P3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double punto(const P3& a, const P3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
P3 cruz(const P3& a, const P3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double largo(const P3& a)
{
    return std::sqrt(punto(a, a));
}

// Beyond this many points the search for corners lying on edges would cost more than the rest
// of the element; such meshes keep their faces' own corners.
constexpr std::size_t kMaximoPuntosParaCruces = 20000;

struct Trabajo {
    explicit Trabajo(const std::vector<double>& puntos) : xyz(puntos) {}
    const std::vector<double>& xyz;
    double tol = 0;
    std::vector<std::uint32_t> porX;  // point numbers by x
    // faces with the corners lying on their edges taken in
    std::vector<std::uint32_t> esquinas;
    std::vector<std::uint32_t> inicios;
    std::vector<P3> normales;   // Newell, not normalised
    std::vector<double> areas;  // twice the area
    std::vector<std::uint32_t> padre;

    P3 p(std::uint32_t i) const { return {xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]}; }

    std::uint32_t raiz(std::uint32_t i)
    {
        while (padre[i] != i)
            i = padre[i] = padre[padre[i]];
        return i;
    }

    // Points other than a and b that lie on the open segment a-b, in their order from a.
    void sobreArista(std::uint32_t a, std::uint32_t b, std::vector<std::pair<double, std::uint32_t>>& dentro) const
    {
        dentro.clear();
        const P3 pa = p(a), pb = p(b);
        const P3 d = menos(pb, pa);
        const double l2 = punto(d, d);
        if (!(l2 > tol * tol))
            return;
        const double x0 = std::min(pa[0], pb[0]) - tol, x1 = std::max(pa[0], pb[0]) + tol;
        auto desde = std::lower_bound(porX.begin(), porX.end(), x0,
                                      [&](std::uint32_t i, double x) { return xyz[3 * i] < x; });
        for (auto it = desde; it != porX.end() && xyz[3 * *it] <= x1; ++it) {
            const std::uint32_t c = *it;
            if (c == a || c == b)
                continue;
            const P3 pc = p(c);
            const double t = punto(menos(pc, pa), d) / l2;
            if (t <= 0 || t >= 1)
                continue;
            const P3 q = {pa[0] + t * d[0], pa[1] + t * d[1], pa[2] + t * d[2]};
            if (largo(menos(pc, q)) < tol && largo(menos(pc, pa)) >= tol && largo(menos(pc, pb)) >= tol)
                dentro.push_back({t, c});
        }
        std::sort(dentro.begin(), dentro.end());
    }
};

// Twice the signed area of a loop in the plane of axes u and v.
double areaPlana(const std::vector<carve::geom2d::P2>& lazo)
{
    double a = 0;
    for (std::size_t i = 0; i < lazo.size(); ++i) {
        const auto& p = lazo[i];
        const auto& q = lazo[(i + 1) % lazo.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a;
}

bool dentroDe(const carve::geom2d::P2& p, const std::vector<carve::geom2d::P2>& lazo)
{
    bool dentro = false;
    for (std::size_t i = 0, j = lazo.size() - 1; i < lazo.size(); j = i++) {
        const auto& a = lazo[i];
        const auto& b = lazo[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            dentro = !dentro;
    }
    return dentro;
}

}  // namespace

void triangularSuperficie(const std::vector<double>& xyz, const CarasPoligonales& caras, TriangulosCanonicos& salida)
{
    salida.vertices.clear();
    salida.normales.clear();
    const std::size_t nPuntos = xyz.size() / 3;
    if (caras.inicios.size() < 2 || nPuntos == 0)
        return;
    Trabajo w(xyz);
    double escala = 0;
    for (const double v : xyz)
        escala = std::max(escala, std::abs(v));
    // the coordinates are written to 10 significant digits: corners the kernel put on an edge
    // are off it by less than this once written
    w.tol = 1e-6 + 1e-9 * escala;
    const bool cruces = nPuntos <= kMaximoPuntosParaCruces;
    if (cruces) {
        w.porX.resize(nPuntos);
        std::iota(w.porX.begin(), w.porX.end(), 0u);
        std::sort(w.porX.begin(), w.porX.end(), [&](std::uint32_t a, std::uint32_t b) {
            return std::tie(xyz[3 * a], a) < std::tie(xyz[3 * b], b);
        });
    }

    // faces with their corners on edges, Newell normals; faces without area are left out
    std::vector<std::uint32_t> lazo;
    std::vector<std::pair<double, std::uint32_t>> dentro;
    w.inicios.push_back(0);
    const std::size_t nCaras = caras.inicios.size() - 1;
    for (std::size_t f = 0; f < nCaras; ++f) {
        lazo.clear();
        for (std::uint32_t k = caras.inicios[f]; k < caras.inicios[f + 1]; ++k) {
            const std::uint32_t v = caras.esquinas[k];
            if (v < nPuntos && (lazo.empty() || lazo.back() != v))
                lazo.push_back(v);
        }
        while (lazo.size() > 1 && lazo.front() == lazo.back())
            lazo.pop_back();
        if (lazo.size() < 3)
            continue;
        const std::size_t inicio = w.esquinas.size();
        for (std::size_t k = 0; k < lazo.size(); ++k) {
            const std::uint32_t a = lazo[k], b = lazo[(k + 1) % lazo.size()];
            w.esquinas.push_back(a);
            if (cruces) {
                w.sobreArista(a, b, dentro);
                for (const auto& [t, c] : dentro)
                    w.esquinas.push_back(c);
            }
        }
        P3 n = {0, 0, 0};
        const std::size_t m = w.esquinas.size() - inicio;
        for (std::size_t k = 0; k < m; ++k) {
            const P3 a = w.p(w.esquinas[inicio + k]), b = w.p(w.esquinas[inicio + (k + 1) % m]);
            n[0] += (a[1] - b[1]) * (a[2] + b[2]);
            n[1] += (a[2] - b[2]) * (a[0] + b[0]);
            n[2] += (a[0] - b[0]) * (a[1] + b[1]);
        }
        // a face narrower than the tolerance has its corners on its own edges by now: its edges
        // cancel out, and its normal says nothing, so it joins no plane
        double aristaMayor = 0;
        for (std::size_t k = 0; k < m; ++k)
            aristaMayor = std::max(aristaMayor, largo(menos(w.p(w.esquinas[inicio + (k + 1) % m]), w.p(w.esquinas[inicio + k]))));
        if (!(largo(n) > 2 * w.tol * aristaMayor)) {
            w.esquinas.resize(inicio);
            continue;
        }
        w.normales.push_back(n);
        w.areas.push_back(largo(n));
        w.inicios.push_back(static_cast<std::uint32_t>(w.esquinas.size()));
    }
    const std::size_t nf = w.normales.size();
    if (nf == 0)
        return;

    // faces that share an edge and lie in one plane are joined
    w.padre.resize(nf);
    std::iota(w.padre.begin(), w.padre.end(), 0u);
    struct Arista {
        std::uint32_t a, b, cara;
        bool operator<(const Arista& o) const { return std::tie(a, b, cara) < std::tie(o.a, o.b, o.cara); }
    };
    std::vector<Arista> aristas;
    for (std::uint32_t f = 0; f < nf; ++f) {
        const std::uint32_t i0 = w.inicios[f], m = w.inicios[f + 1] - i0;
        for (std::uint32_t k = 0; k < m; ++k) {
            const std::uint32_t a = w.esquinas[i0 + k], b = w.esquinas[i0 + (k + 1) % m];
            aristas.push_back({std::min(a, b), std::max(a, b), f});
        }
    }
    std::sort(aristas.begin(), aristas.end());
    auto coplanares = [&](std::uint32_t f, std::uint32_t g) {
        if (punto(w.normales[f], w.normales[g]) <= 0)
            return false;
        if (w.areas[g] > w.areas[f] || (w.areas[g] == w.areas[f] && g < f))
            std::swap(f, g);  // f: the larger, whose normal is the surer
        const P3 n = {w.normales[f][0] / w.areas[f], w.normales[f][1] / w.areas[f], w.normales[f][2] / w.areas[f]};
        const P3 origen = w.p(w.esquinas[w.inicios[f]]);
        for (std::uint32_t k = w.inicios[g]; k < w.inicios[g + 1]; ++k)
            if (std::abs(punto(menos(w.p(w.esquinas[k]), origen), n)) > w.tol)
                return false;
        return true;
    };
    for (std::size_t i = 0; i < aristas.size();) {
        std::size_t j = i + 1;
        while (j < aristas.size() && aristas[j].a == aristas[i].a && aristas[j].b == aristas[i].b)
            ++j;
        for (std::size_t x = i; x < j; ++x)
            for (std::size_t y = x + 1; y < j; ++y) {
                const std::uint32_t f = aristas[x].cara, g = aristas[y].cara;
                if (f != g && w.raiz(f) != w.raiz(g) && coplanares(f, g))
                    w.padre[w.raiz(f)] = w.raiz(g);
            }
        i = j;
    }

    // per plane: the edges no other face of it runs back along
    struct Dirigida {
        std::uint32_t plano, a, b;
        bool operator<(const Dirigida& o) const { return std::tie(plano, a, b) < std::tie(o.plano, o.a, o.b); }
    };
    std::vector<Dirigida> dirigidas;
    for (std::uint32_t f = 0; f < nf; ++f) {
        const std::uint32_t r = w.raiz(f);
        const std::uint32_t i0 = w.inicios[f], m = w.inicios[f + 1] - i0;
        for (std::uint32_t k = 0; k < m; ++k)
            dirigidas.push_back({r, w.esquinas[i0 + k], w.esquinas[i0 + (k + 1) % m]});
    }
    std::sort(dirigidas.begin(), dirigidas.end());
    std::vector<Dirigida> borde;
    for (std::size_t i = 0; i < dirigidas.size();) {
        std::size_t j = i + 1;
        while (j < dirigidas.size() && !(dirigidas[i] < dirigidas[j]))
            ++j;
        const Dirigida inversa{dirigidas[i].plano, dirigidas[i].b, dirigidas[i].a};
        const auto rango = std::equal_range(dirigidas.begin(), dirigidas.end(), inversa);
        const std::ptrdiff_t neto = static_cast<std::ptrdiff_t>(j - i) - (rango.second - rango.first);
        for (std::ptrdiff_t k = 0; k < neto; ++k)
            borde.push_back(dirigidas[i]);
        i = j;
    }

    // planes in the order of their outlines' edges, whatever their faces were
    struct Plano {
        std::uint32_t raiz;
        std::size_t desde, hasta;  // in borde
    };
    std::vector<Plano> planos;
    for (std::size_t i = 0; i < borde.size();) {
        std::size_t j = i;
        while (j < borde.size() && borde[j].plano == borde[i].plano)
            ++j;
        planos.push_back({borde[i].plano, i, j});
        i = j;
    }
    std::sort(planos.begin(), planos.end(), [&](const Plano& x, const Plano& y) {
        return std::lexicographical_compare(
            borde.begin() + static_cast<std::ptrdiff_t>(x.desde), borde.begin() + static_cast<std::ptrdiff_t>(x.hasta),
            borde.begin() + static_cast<std::ptrdiff_t>(y.desde), borde.begin() + static_cast<std::ptrdiff_t>(y.hasta),
            [](const Dirigida& p, const Dirigida& q) { return std::tie(p.a, p.b) < std::tie(q.a, q.b); });
    });

    std::vector<std::vector<std::uint32_t>> lazos;
    std::vector<std::vector<carve::geom2d::P2>> planos2d;
    std::vector<char> usada;
    std::vector<carve::triangulate::tri_idx> tris;
    std::vector<carve::geom2d::P2> unido;
    std::vector<std::uint32_t> unidoIndices;
    for (const Plano& plano : planos) {
        const auto* e = borde.data() + plano.desde;
        const std::size_t ne = plano.hasta - plano.desde;
        // Newell's normal of the outline in its sorted order, about one of its corners: the same
        // sum whatever faces the region came in and in whatever order, and without the digits
        // lost summing large coordinates
        const P3 o = w.p(e[0].a);
        P3 normal = {0, 0, 0};
        for (std::size_t k = 0; k < ne; ++k) {
            const P3 a = menos(w.p(e[k].a), o), b = menos(w.p(e[k].b), o);
            normal[0] += (a[1] - b[1]) * (a[2] + b[2]);
            normal[1] += (a[2] - b[2]) * (a[0] + b[0]);
            normal[2] += (a[0] - b[0]) * (a[1] + b[1]);
        }
        const double l = largo(normal);
        if (!(l > 1e-20))
            continue;
        normal = {normal[0] / l, normal[1] / l, normal[2] / l};

        // outlines: from the first unused edge, always on along the first unused edge out of the corner reached
        usada.assign(ne, 0);
        lazos.clear();
        for (std::size_t s = 0; s < ne; ++s) {
            if (usada[s])
                continue;
            std::vector<std::uint32_t> lazoNuevo;
            std::size_t actual = s;
            bool cerrado = false;
            while (true) {
                usada[actual] = 1;
                lazoNuevo.push_back(e[actual].a);
                if (e[actual].b == e[s].a) {
                    cerrado = true;
                    break;
                }
                const Dirigida clave{plano.raiz, e[actual].b, 0};
                std::size_t siguiente = static_cast<std::size_t>(std::lower_bound(e, e + ne, clave) - e);
                while (siguiente < ne && e[siguiente].a == e[actual].b && usada[siguiente])
                    ++siguiente;
                if (siguiente >= ne || e[siguiente].a != e[actual].b)
                    break;
                actual = siguiente;
            }
            if (!cerrado)
                continue;
            // corners the outline passes straight through
            bool cambio = true;
            while (cambio && lazoNuevo.size() >= 3) {
                cambio = false;
                for (std::size_t k = 0; k < lazoNuevo.size() && lazoNuevo.size() >= 3; ++k) {
                    const std::size_t m = lazoNuevo.size();
                    const P3 a = w.p(lazoNuevo[(k + m - 1) % m]), b = w.p(lazoNuevo[k]), c = w.p(lazoNuevo[(k + 1) % m]);
                    const P3 ac = menos(c, a);
                    const double lac = largo(ac);
                    if (!(lac > 0))
                        continue;
                    if (largo(cruz(menos(b, a), ac)) / lac < w.tol && punto(menos(b, a), menos(c, b)) > 0) {
                        lazoNuevo.erase(lazoNuevo.begin() + static_cast<std::ptrdiff_t>(k));
                        cambio = true;
                    }
                }
            }
            if (lazoNuevo.size() >= 3)
                lazos.push_back(std::move(lazoNuevo));
        }
        if (lazos.empty())
            continue;

        // onto the plane of the two axes the normal leans on least, outlines counter-clockwise
        int eje = 0;
        if (std::abs(normal[1]) > std::abs(normal[eje]))
            eje = 1;
        if (std::abs(normal[2]) > std::abs(normal[eje]))
            eje = 2;
        int u = (eje + 1) % 3, v = (eje + 2) % 3;
        if (normal[eje] < 0)
            std::swap(u, v);
        planos2d.assign(lazos.size(), {});
        std::vector<double> area(lazos.size());
        for (std::size_t k = 0; k < lazos.size(); ++k) {
            for (const std::uint32_t i : lazos[k]) {
                const P3 q = w.p(i);
                planos2d[k].push_back(carve::geom::VECTOR(q[u], q[v]));
            }
            area[k] = areaPlana(planos2d[k]);
        }
        // each hole goes to the smallest outline around it
        std::vector<std::vector<std::size_t>> huecosDe(lazos.size());
        for (std::size_t h = 0; h < lazos.size(); ++h) {
            if (!(area[h] < 0))
                continue;
            std::size_t mejor = lazos.size();
            for (std::size_t k = 0; k < lazos.size(); ++k)
                if (area[k] > 0 && dentroDe(planos2d[h][0], planos2d[k]) && (mejor == lazos.size() || area[k] < area[mejor]))
                    mejor = k;
            if (mejor < lazos.size())
                huecosDe[mejor].push_back(h);
        }
        for (std::size_t k = 0; k < lazos.size(); ++k) {
            if (!(area[k] > 0))
                continue;
            unido.clear();
            unidoIndices.clear();
            if (huecosDe[k].empty()) {
                unido = planos2d[k];
                unidoIndices = lazos[k];
            } else {
                std::vector<std::vector<carve::geom2d::P2>> conHuecos{planos2d[k]};
                std::vector<const std::vector<std::uint32_t>*> origen{&lazos[k]};
                for (const std::size_t h : huecosDe[k]) {
                    conHuecos.push_back(planos2d[h]);
                    origen.push_back(&lazos[h]);
                }
                try {
                    for (const auto& [cual, indice] : carve::triangulate::incorporateHolesIntoPolygon(conHuecos)) {
                        unido.push_back(conHuecos[cual][indice]);
                        unidoIndices.push_back((*origen[cual])[indice]);
                    }
                } catch (...) {
                    unido = planos2d[k];
                    unidoIndices = lazos[k];
                }
            }
            const std::size_t n = unido.size();
            tris.clear();
            if (n == 3) {
                tris.emplace_back(0, 1, 2);
            } else {
                try {
                    carve::triangulate::triangulate(unido, tris);
                } catch (...) {
                    tris.clear();
                }
                if (tris.size() != n - 2) {
                    tris.clear();
                    for (unsigned t = 1; t + 1 < n; ++t)
                        tris.emplace_back(0u, t, t + 1);
                }
            }
            for (const auto& t : tris) {
                unsigned x = t.a, y = t.b, z = t.c;
                if (x >= n || y >= n || z >= n)
                    continue;
                const P3 px = w.p(unidoIndices[x]);
                if (punto(cruz(menos(w.p(unidoIndices[y]), px), menos(w.p(unidoIndices[z]), px)), normal) < 0)
                    std::swap(y, z);
                salida.vertices.insert(salida.vertices.end(), {unidoIndices[x], unidoIndices[y], unidoIndices[z]});
                salida.normales.insert(salida.normales.end(), {normal[0], normal[1], normal[2]});
            }
        }
    }
}

}  // namespace quelva::ifcconvert
