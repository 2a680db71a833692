#pragma once

// Kinds of clashing pairs, as world boxes, shared by the framing, focus and thumbnail tests.

#include "clash/Interferencia.h"
#include "scene/Math.h"
#include "scene/Node.h"
#include "scene/Primitives.h"

#include <algorithm>
#include <vector>

namespace quelva::testsupport {

struct ParClash {
    const char* nombre;
    scene::Box a, b;
    bool transparenteA;   // the larger one, which may hide the other
    scene::Vec3 ladoAbierto;  // the camera must be on this side of the target (zero: any)
};

inline std::vector<ParClash> paresClash()
{
    const scene::Box muro{{0, 0, 0}, {17, 0.2, 3}};
    const scene::Box losa{{0, 0, 3}, {10, 10, 3.3}};
    return {
        {"cubo dentro de cubo", {{0, 0, 0}, {3, 3, 3}}, {{1, 1, 1}, {2, 2, 2}}, true, {}},
        // A receptacle in a long wall, standing out into the room on +Y.
        {"tomacorriente en muro", muro, {{3, 0.15, 0.3}, {3.1, 0.25, 0.45}}, true, {0, 1, 0}},
        {"lado a lado", {{0, 0, 0}, {1, 1, 1}}, {{0.5, 0, 0}, {1.5, 1, 1}}, true, {}},
        {"cubos unitarios", {{0, 0, 0}, {1, 1, 1}}, {{0.5, 0.5, 0.5}, {1.5, 1.5, 1.5}}, true, {}},
        // A beam hanging under a slab: seen from the room below.
        {"viga bajo losa", losa, {{2, 4, 2.8}, {8, 4.3, 3.2}}, true, {0, 0, -1}},
        {"tubo que cruza la losa", losa, {{5, 5, 2}, {5.1, 5.1, 4.5}}, true, {}},
        {"B envuelve a A", {{1, 1, 1}, {2, 2, 2}}, {{0, 0, 0}, {3, 3, 3}}, false, {}},
    };
}

inline bool dentro(const scene::Vec3& p, const scene::Box& c)
{
    return p.x >= c.min.x && p.x <= c.max.x && p.y >= c.min.y && p.y <= c.max.y && p.z >= c.min.z && p.z <= c.max.z;
}

inline std::vector<scene::Vec3> esquinas(const scene::Box& c)
{
    std::vector<scene::Vec3> e;
    for (int i = 0; i < 8; ++i)
        e.push_back({(i & 1) ? c.max.x : c.min.x, (i & 2) ? c.max.y : c.min.y, (i & 4) ? c.max.z : c.min.z});
    return e;
}

// An element node filling the box.
inline scene::NodePtr nodoCaja(const scene::Box& c, const char* nombre)
{
    const scene::Vec3 s = c.size();
    auto n = scene::Node::make(scene::makeBox(s.x, s.y, s.z));
    n->position = c.center();
    n->name = nombre;
    return n;
}

// A clash between the two boxes as detection records it.
inline Interferencia interferenciaDe(const ParClash& par)
{
    Interferencia i;
    i.nodoA = nodoCaja(par.a, "A");
    i.nodoB = nodoCaja(par.b, "B");
    i.nombreA = "A";
    i.nombreB = "B";
    const scene::Box s{{std::max(par.a.min.x, par.b.min.x), std::max(par.a.min.y, par.b.min.y),
                        std::max(par.a.min.z, par.b.min.z)},
                       {std::min(par.a.max.x, par.b.max.x), std::min(par.a.max.y, par.b.max.y),
                        std::min(par.a.max.z, par.b.max.z)}};
    i.viewpointTarget = s.center();
    const scene::Vec3 ea = par.a.size(), eb = par.b.size();
    i.radio = std::max({ea.x, ea.y, ea.z, eb.x, eb.y, eb.z, 0.5});
    const double d = std::max(1.8 * i.radio, 0.5);
    i.viewpointPos = i.viewpointTarget + scene::Vec3{d, 0.6 * d, d};
    return i;
}

}  // namespace quelva::testsupport
