#include "ObjDePrueba.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace testsupport {

namespace {

std::vector<std::string_view> partir(std::string_view linea)
{
    std::vector<std::string_view> piezas;
    std::size_t i = 0;
    while (i < linea.size()) {
        while (i < linea.size() && linea[i] == ' ')
            ++i;
        const std::size_t inicio = i;
        while (i < linea.size() && linea[i] != ' ')
            ++i;
        if (i > inicio)
            piezas.push_back(linea.substr(inicio, i - inicio));
    }
    return piezas;
}

bool numero(std::string_view s, double& valor)
{
    const auto r = std::from_chars(s.data(), s.data() + s.size(), valor);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool entero(std::string_view s, long& valor)
{
    const auto r = std::from_chars(s.data(), s.data() + s.size(), valor);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

const GrupoOBJ* ObjDePrueba::grupo(std::string_view nombre) const
{
    for (const auto& g : grupos)
        if (g.nombre == nombre)
            return &g;
    return nullptr;
}

double ObjDePrueba::volumen(const GrupoOBJ& g) const
{
    double v = 0;
    for (const auto& t : g.triangulos) {
        const auto& a = vertices[t[0]];
        const auto& b = vertices[t[1]];
        const auto& c = vertices[t[2]];
        v += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return v / 6.0;
}

CajaOBJ ObjDePrueba::caja(const GrupoOBJ& g) const
{
    CajaOBJ c;
    c.min.fill(std::numeric_limits<double>::infinity());
    c.max.fill(-std::numeric_limits<double>::infinity());
    for (const auto& t : g.triangulos)
        for (int i : t)
            for (int k = 0; k < 3; ++k) {
                c.min[k] = std::min(c.min[k], vertices[i][k]);
                c.max[k] = std::max(c.max[k], vertices[i][k]);
            }
    return c;
}

std::optional<ObjDePrueba> leerObjDePrueba(std::string_view texto, std::string* error)
{
    ObjDePrueba obj;
    std::vector<std::array<long, 6>> caras;  // vertex and normal numbers as written
    std::vector<std::size_t> grupoDeCara;
    auto fallo = [&](std::string_view linea) -> std::optional<ObjDePrueba> {
        if (error)
            *error = std::string(linea);
        return std::nullopt;
    };
    std::size_t inicio = 0;
    while (inicio < texto.size()) {
        std::size_t fin = texto.find('\n', inicio);
        if (fin == std::string_view::npos)
            fin = texto.size();
        const std::string_view linea = texto.substr(inicio, fin - inicio);
        inicio = fin + 1;
        if (linea.empty() || linea[0] == '#')
            continue;
        const auto t = partir(linea);
        if (t.empty())
            return fallo(linea);
        if (t[0] == "v" || t[0] == "vn") {
            std::array<double, 3> p{};
            if (t.size() != 4 || !numero(t[1], p[0]) || !numero(t[2], p[1]) || !numero(t[3], p[2]))
                return fallo(linea);
            (t[0] == "v" ? obj.vertices : obj.normales).push_back(p);
        } else if (t[0] == "g") {
            if (linea.size() < 3)
                return fallo(linea);
            obj.grupos.push_back({std::string(linea.substr(2)), {}});
        } else if (t[0] == "f") {
            if (t.size() != 4 || obj.grupos.empty())
                return fallo(linea);
            std::array<long, 6> cara{};
            for (int k = 0; k < 3; ++k) {
                const std::string_view r = t[k + 1];
                const std::size_t barras = r.find("//");
                if (barras == std::string_view::npos || !entero(r.substr(0, barras), cara[k]) ||
                    !entero(r.substr(barras + 2), cara[k + 3]))
                    return fallo(linea);
            }
            caras.push_back(cara);
            grupoDeCara.push_back(obj.grupos.size() - 1);
        } else {
            return fallo(linea);
        }
    }
    // global, 1-based indices into the vertices and normals of the whole file
    for (std::size_t i = 0; i < caras.size(); ++i) {
        std::array<int, 3> tri{};
        for (int k = 0; k < 3; ++k) {
            if (caras[i][k] < 1 || caras[i][k] > static_cast<long>(obj.vertices.size()) || caras[i][k + 3] < 1 ||
                caras[i][k + 3] > static_cast<long>(obj.normales.size()))
                return fallo("f con índice fuera de rango");
            tri[k] = static_cast<int>(caras[i][k] - 1);
        }
        obj.grupos[grupoDeCara[i]].triangulos.push_back(tri);
    }
    return obj;
}

}  // namespace testsupport
