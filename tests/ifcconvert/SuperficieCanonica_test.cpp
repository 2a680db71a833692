#include "SuperficieCanonica.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

using quelva::ifcconvert::CarasPoligonales;
using quelva::ifcconvert::TriangulosCanonicos;
using quelva::ifcconvert::triangularSuperficie;

CarasPoligonales caras(std::initializer_list<std::vector<std::uint32_t>> lista)
{
    CarasPoligonales c;
    c.vaciar();
    for (const auto& cara : lista) {
        c.esquinas.insert(c.esquinas.end(), cara.begin(), cara.end());
        c.inicios.push_back(static_cast<std::uint32_t>(c.esquinas.size()));
    }
    return c;
}

double area(const std::vector<double>& xyz, const TriangulosCanonicos& t)
{
    double total = 0;
    for (std::size_t i = 0; i + 2 < t.vertices.size(); i += 3) {
        const double* a = &xyz[3 * t.vertices[i]];
        const double* b = &xyz[3 * t.vertices[i + 1]];
        const double* c = &xyz[3 * t.vertices[i + 2]];
        const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        // upward faces: the z of the cross product, signed
        total += (u[0] * v[1] - u[1] * v[0]) / 2;
    }
    return total;
}

// Every other way of splitting the region gives the first one's triangles and normals.
template <std::size_t N>
void esperarLaMismaQueLaPrimera(const std::vector<double>& xyz, const CarasPoligonales (&formas)[N],
                                const TriangulosCanonicos& primera)
{
    for (std::size_t k = 1; k < N; ++k) {
        SCOPED_TRACE(k);
        TriangulosCanonicos otra;
        triangularSuperficie(xyz, formas[k], otra);
        EXPECT_EQ(otra.vertices, primera.vertices);
        EXPECT_EQ(otra.normales, primera.normales);
    }
}

// A kernel splits one plane's region into faces in many ways (with a corner on an edge taken in
// or not, a sliver, another diagonal): the triangles must come out the same.
TEST(SuperficieCanonica, OneRegionGivesTheSameTrianglesHoweverItsFacesSplitIt)
{
    // a 4 x 2 square far from the origin, with a corner 4 on its lower edge, around a 1 x 1 hole
    const double x0 = 350000.2, y0 = 6250000.1;
    const std::vector<double> xyz = {
        x0, y0, 40, x0 + 4, y0, 40, x0 + 4, y0 + 2, 40, x0, y0 + 2, 40,     // 0-3 outline
        x0 + 2, y0, 40,                                                      // 4 on edge 0-1
        x0 + 1, y0 + 0.5, 40, x0 + 2, y0 + 0.5, 40, x0 + 2, y0 + 1.5, 40, x0 + 1, y0 + 1.5, 40,  // 5-8 hole
    };
    const CarasPoligonales formas[] = {
        // a face and its hole bridged by the kernel, 4 left out
        caras({{0, 1, 2, 3, 8, 7, 6, 5, 8, 3}}),
        // four quads around the hole, 4 taken in
        caras({{0, 4, 1, 6, 5}, {1, 2, 7, 6}, {2, 3, 8, 7}, {3, 0, 5, 8}}),
        // the same in triangles, one of them a sliver along the lower edge
        caras({{0, 4, 5}, {4, 6, 5}, {4, 1, 6}, {0, 4, 1}, {1, 2, 7}, {1, 7, 6}, {2, 3, 8}, {2, 8, 7}, {3, 0, 5}, {3, 5, 8}}),
    };
    TriangulosCanonicos primera;
    triangularSuperficie(xyz, formas[0], primera);
    EXPECT_NEAR(area(xyz, primera), 8 - 1, 1e-6);
    for (std::size_t i = 0; i < primera.normales.size(); i += 3)
        EXPECT_EQ(primera.normales[i + 2], 1.0);
    esperarLaMismaQueLaPrimera(xyz, formas, primera);
}

// A tilted facet (a pile's shaft) whose normal has a component close to zero: summed face by face
// in the kernel's order, that component changed in its last digits with the order the faces came in.
TEST(SuperficieCanonica, ATiltedRegionGivesTheSameNormalWhateverOrderItsFacesComeIn)
{
    // a quad on a plane that leans about 0.1 rad, and a hair about the other axis
    auto punto = [](double x, double y) { return std::vector<double>{x, y, 0.0987 * y + 3.1e-10 * x - 12.25}; };
    std::vector<double> xyz;
    for (const auto& [x, y] : {std::pair{350012.125, 6250003.5}, {350012.4375, 6250003.5}, {350012.4375, 6250004.25},
                               {350012.125, 6250004.25}, {350012.28125, 6250003.875}}) {
        const auto p = punto(x, y);
        xyz.insert(xyz.end(), p.begin(), p.end());
    }
    const CarasPoligonales formas[] = {
        caras({{0, 1, 2, 3}}),
        caras({{0, 1, 2}, {0, 2, 3}}),
        caras({{2, 3, 0}, {1, 2, 0}}),
        caras({{1, 2, 3}, {3, 0, 1}}),
        // a fan around a point inside, in two orders and from other corners
        caras({{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}}),
        caras({{4, 3, 0}, {4, 2, 3}, {4, 1, 2}, {4, 0, 1}}),
    };
    TriangulosCanonicos primera;
    triangularSuperficie(xyz, formas[0], primera);
    ASSERT_FALSE(primera.normales.empty());
    esperarLaMismaQueLaPrimera(xyz, formas, primera);
}

}  // namespace
