#include "federation/obj/ObjLoader.h"

#include "federation/ifc/LecturaArchivo.h"
#include "federation/ifc/StepReader.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quelva {

namespace {

struct Esquina {
    std::int32_t vertice;  // 0-based; out of range (negative included) puts the corner at the origin
    std::int32_t normal;   // 0-based, -1 without normal
};

// A closed group: its name and its range in the file's corner list, which holds
// every face already fanned into triangles, three corners per triangle.
struct Grupo {
    std::string nombre;
    size_t primera = 0;
    size_t fin = 0;
};

// Unicode Zs or tab at the start / end (byte length), as recortarSTEP trims.
std::string_view recortar(std::string_view s)
{
    // Fast path: plain ASCII ends.
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (!s.empty() && (static_cast<unsigned char>(s.front()) >= 0x80 || static_cast<unsigned char>(s.back()) >= 0x80))
        return recortarSTEP(s);
    return s;
}

// Next token separated by U+0020 only; runs of spaces count as one.
bool siguienteToken(std::string_view& resto, std::string_view& token)
{
    size_t i = 0;
    while (i < resto.size() && resto[i] == ' ')
        ++i;
    if (i == resto.size()) {
        resto = {};
        return false;
    }
    size_t j = i;
    while (j < resto.size() && resto[j] != ' ')
        ++j;
    token = resto.substr(i, j - i);
    resto.remove_prefix(j);
    return true;
}

bool leerFlotante(std::string_view t, float& valor)
{
    if (!t.empty() && t.front() == '+') {
        t.remove_prefix(1);
        if (!t.empty() && (t.front() == '+' || t.front() == '-'))
            return false;
    }
    if (t.empty())
        return false;
    const auto [fin, error] = std::from_chars(t.data(), t.data() + t.size(), valor);
    return error == std::errc() && fin == t.data() + t.size();
}

// Decimal integer, optional sign, digits only; too large a value saturates, so
// that it still reads as an index out of range.
inline std::optional<std::int64_t> leerEntero(std::string_view t)
{
    bool negativo = false;
    size_t i = 0;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negativo = t[0] == '-';
        i = 1;
    }
    if (i == t.size())
        return std::nullopt;
    std::uint64_t valor = 0;
    if (t.size() - i <= 18) {
        // Cannot overflow: no check per digit.
        for (; i < t.size(); ++i) {
            const unsigned digito = static_cast<unsigned char>(t[i]) - static_cast<unsigned>('0');
            if (digito > 9)
                return std::nullopt;
            valor = valor * 10 + digito;
        }
        return negativo ? -static_cast<std::int64_t>(valor) : static_cast<std::int64_t>(valor);
    }
    bool desborde = false;
    for (; i < t.size(); ++i) {
        const unsigned digito = static_cast<unsigned char>(t[i]) - static_cast<unsigned>('0');
        if (digito > 9)
            return std::nullopt;
        if (valor > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
            desborde = true;
        else
            valor = valor * 10 + digito;
    }
    if (desborde || valor > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return negativo ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    return negativo ? -static_cast<std::int64_t>(valor) : static_cast<std::int64_t>(valor);
}

// 1-based file index to 0-based; -1 when it cannot lie within any list.
std::int32_t aIndice(std::int64_t uno)
{
    if (uno < 1 || uno - 1 > std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int32_t>(uno - 1);
}

// A corner "v", "v/vt", "v//vn" or "v/vt/vn": vertex from field 1, normal from field 3.
Esquina leerEsquina(std::string_view ref)
{
    std::string_view campos[3];
    size_t cuantos = 0;
    size_t inicio = 0;
    for (size_t i = 0; i <= ref.size() && cuantos < 3; ++i) {
        if (i == ref.size() || ref[i] == '/') {
            campos[cuantos++] = ref.substr(inicio, i - inicio);
            inicio = i + 1;
        }
    }
    Esquina e{0, -1};
    // A vertex field that is not an integer counts as 1.
    if (const auto v = leerEntero(campos[0]))
        e.vertice = aIndice(*v);
    if (cuantos >= 3) {
        if (const auto n = leerEntero(campos[2]))
            e.normal = aIndice(*n);
    }
    return e;
}

bool leerTresFlotantes(std::string_view resto, std::vector<scene::Vec3f>& destino)
{
    std::string_view t1, t2, t3;
    if (!siguienteToken(resto, t1) || !siguienteToken(resto, t2) || !siguienteToken(resto, t3))
        return false;
    scene::Vec3f v;
    if (!leerFlotante(t1, v.x) || !leerFlotante(t2, v.y) || !leerFlotante(t3, v.z))
        return false;
    destino.push_back(v);
    return true;
}

scene::NodePtr construirNodo(const Grupo& grupo, const std::vector<Esquina>& todas,
                             const std::vector<scene::Vec3f>& vertices, const std::vector<scene::Vec3f>& normales)
{
    const std::span<const Esquina> esquinas(todas.data() + grupo.primera, grupo.fin - grupo.primera);
    const size_t n = esquinas.size();
    if (n == 0 || n > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()))
        return nullptr;

    scene::GeometrySource posiciones;
    posiciones.semantic = scene::GeometrySource::Semantic::Vertex;
    posiciones.vectorCount = static_cast<int>(n);
    posiciones.data.resize(n * sizeof(scene::Vec3f));

    bool todasConNormal = true;
    for (const Esquina& e : esquinas) {
        if (e.normal < 0 || static_cast<size_t>(e.normal) >= normales.size()) {
            todasConNormal = false;
            break;
        }
    }

    scene::GeometrySource fuenteNormales;
    fuenteNormales.semantic = scene::GeometrySource::Semantic::Normal;
    if (todasConNormal) {
        fuenteNormales.vectorCount = static_cast<int>(n);
        fuenteNormales.data.resize(n * sizeof(scene::Vec3f));
    }

    scene::GeometryElement triangulos;
    triangulos.primitive = scene::GeometryElement::Primitive::Triangles;
    triangulos.indices.resize(n);

    auto* destinoPos = posiciones.data.data();
    auto* destinoNor = fuenteNormales.data.data();
    const scene::Vec3f origen{};
    for (size_t k = 0; k < n; ++k) {
        const Esquina& e = esquinas[k];
        const scene::Vec3f& p =
            e.vertice >= 0 && static_cast<size_t>(e.vertice) < vertices.size() ? vertices[static_cast<size_t>(e.vertice)] : origen;
        std::memcpy(destinoPos + k * sizeof(scene::Vec3f), &p, sizeof(scene::Vec3f));
        if (todasConNormal)
            std::memcpy(destinoNor + k * sizeof(scene::Vec3f), &normales[static_cast<size_t>(e.normal)],
                        sizeof(scene::Vec3f));
        triangulos.indices[k] = static_cast<std::int32_t>(k);
    }

    std::vector<scene::GeometrySource> fuentes;
    fuentes.push_back(std::move(posiciones));
    if (todasConNormal)
        fuentes.push_back(std::move(fuenteNormales));
    std::vector<scene::GeometryElement> elementos;
    elementos.push_back(std::move(triangulos));

    auto geometria = std::make_shared<scene::Geometry>(std::move(fuentes), std::move(elementos));
    geometria->name = grupo.nombre;
    auto material = scene::makeMaterial();
    material->diffuse.contents = scene::Color::white(0.75, 1.0);
    material->lightingModel = scene::LightingModel::Phong;
    material->doubleSided = true;
    geometria->materials.push_back(std::move(material));

    auto nodo = scene::Node::make(std::move(geometria));
    nodo->name = grupo.nombre;
    return nodo;
}

}  // namespace

scene::NodePtr cargarOBJDesdeTexto(std::string_view texto)
{
    if (!esTextoUTF8(texto))
        return nullptr;
    std::vector<scene::Vec3f> vertices;
    std::vector<scene::Vec3f> normales;
    std::vector<Grupo> grupos;
    std::vector<Esquina> esquinas;
    std::string nombreActual = "default";
    size_t primeraActual = 0;
    std::vector<Esquina> cara;

    auto cerrarGrupo = [&] {
        if (esquinas.size() == primeraActual)
            return;
        grupos.push_back(Grupo{std::move(nombreActual), primeraActual, esquinas.size()});
        nombreActual.clear();
        primeraActual = esquinas.size();
    };

    size_t inicio = 0;
    while (inicio < texto.size()) {
        const size_t fin = texto.find('\n', inicio);
        std::string_view linea = texto.substr(inicio, fin == std::string_view::npos ? std::string_view::npos : fin - inicio);
        inicio = fin == std::string_view::npos ? texto.size() : fin + 1;
        if (!linea.empty() && linea.back() == '\r')
            linea.remove_suffix(1);  // CR LF line ends
        linea = recortar(linea);
        if (linea.empty() || linea.front() == '#')
            continue;

        std::string_view resto = linea;
        std::string_view primero;
        if (!siguienteToken(resto, primero))
            continue;

        if (primero == "v") {
            leerTresFlotantes(resto, vertices);
        } else if (primero == "vn") {
            leerTresFlotantes(resto, normales);
        } else if (primero == "f") {
            cara.clear();
            std::string_view ref;
            while (siguienteToken(resto, ref))
                cara.push_back(leerEsquina(ref));
            if (cara.size() < 3)
                continue;
            for (size_t k = 1; k + 1 < cara.size(); ++k) {
                esquinas.push_back(cara[0]);
                esquinas.push_back(cara[k]);
                esquinas.push_back(cara[k + 1]);
            }
        } else if (primero == "g" || primero == "o") {
            cerrarGrupo();
            const size_t espacio = linea.find(' ');
            const std::string_view nombre =
                espacio == std::string_view::npos ? std::string_view() : recortar(linea.substr(espacio + 1));
            nombreActual = nombre.empty() ? std::string("default") : std::string(nombre);
        }
    }
    cerrarGrupo();
    if (grupos.empty())
        return nullptr;

    auto contenedor = scene::Node::make();
    for (const Grupo& grupo : grupos) {
        if (auto nodo = construirNodo(grupo, esquinas, vertices, normales))
            contenedor->addChild(nodo);
    }
    if (contenedor->children().empty())
        return nullptr;
    return contenedor;
}

scene::NodePtr cargarOBJ(const std::filesystem::path& ruta)
{
    const auto contenido = leerContenidoArchivo(ruta);
    if (!contenido)
        return nullptr;
    try {
        return cargarOBJDesdeTexto(contenido->texto());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace quelva
