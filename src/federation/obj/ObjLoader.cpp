#include "federation/obj/ObjLoader.h"

#include "federation/ifc/LecturaArchivo.h"
#include "federation/ifc/NombreElemento.h"
#include "federation/ifc/StepReader.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace quelva {

namespace {

struct Esquina {
    std::int32_t vertice;  // 0-based; out of range (negative included) puts the corner at the origin
    std::int32_t normal;   // 0-based, -1 without normal
};

// A group line met before the face numbered `cara` (counted over the whole file).
struct CambioGrupo {
    size_t cara;
    std::string nombre;
};

// What one stretch of lines holds. Stretches are read on their own threads: face indices
// are file-wide already, and counts are turned into file-wide offsets afterwards.
struct Trozo {
    std::vector<scene::Vec3f> vertices;
    std::vector<scene::Vec3f> normales;
    std::vector<std::uint32_t> verticesMalos;  // stretch-local numbers of "v" lines that hold no usable point
    std::vector<std::uint32_t> normalesMalas;
    std::vector<Esquina> esquinas;
    std::vector<std::uint32_t> caras;  // start of each face in `esquinas`; every face has three corners or more
    std::vector<CambioGrupo> cambios;  // `cara` counted within the stretch until the stretches are joined
    size_t primeraCara = 0;            // file-wide number of this stretch's first face
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
inline bool siguienteToken(std::string_view& resto, std::string_view& token)
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

inline bool leerFlotante(std::string_view t, float& valor)
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
inline std::int32_t aIndice(std::int64_t uno)
{
    if (uno < 1 || uno - 1 > std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int32_t>(uno - 1);
}

// A corner "v", "v/vt", "v//vn" or "v/vt/vn": vertex from field 1, normal from field 3.
inline Esquina leerEsquina(std::string_view ref)
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

// Every "v" or "vn" line takes its number, so that a line that cannot be read never moves the
// vertices after it; one without three finite numbers is remembered as unusable.
inline void leerTresFlotantes(std::string_view resto, std::vector<scene::Vec3f>& destino,
                              std::vector<std::uint32_t>& malos)
{
    std::string_view t1, t2, t3;
    scene::Vec3f v;
    if (siguienteToken(resto, t1) && siguienteToken(resto, t2) && siguienteToken(resto, t3) &&
        leerFlotante(t1, v.x) && leerFlotante(t2, v.y) && leerFlotante(t3, v.z) && std::isfinite(v.x) &&
        std::isfinite(v.y) && std::isfinite(v.z)) {
        destino.push_back(v);
        return;
    }
    malos.push_back(static_cast<std::uint32_t>(destino.size()));
    destino.push_back(scene::Vec3f{});
}

void leerTrozo(std::string_view texto, Trozo& t)
{
    std::vector<Esquina> cara;
    size_t inicio = 0;
    while (inicio < texto.size()) {
        const void* salto = std::memchr(texto.data() + inicio, '\n', texto.size() - inicio);
        const size_t fin = salto ? static_cast<size_t>(static_cast<const char*>(salto) - texto.data()) : texto.size();
        std::string_view linea = texto.substr(inicio, fin - inicio);
        inicio = fin + 1;
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
            leerTresFlotantes(resto, t.vertices, t.verticesMalos);
        } else if (primero == "f") {
            cara.clear();
            std::string_view ref;
            while (siguienteToken(resto, ref))
                cara.push_back(leerEsquina(ref));
            if (cara.size() < 3)
                continue;
            t.caras.push_back(static_cast<std::uint32_t>(t.esquinas.size()));
            t.esquinas.insert(t.esquinas.end(), cara.begin(), cara.end());
        } else if (primero == "vn") {
            leerTresFlotantes(resto, t.normales, t.normalesMalas);
        } else if (primero == "g" || primero == "o") {
            const size_t espacio = linea.find(' ');
            // cleaned as element names are everywhere, so a node finds its element's properties
            std::string nombre =
                espacio == std::string_view::npos ? std::string() : limpiarNombreElemento(linea.substr(espacio + 1));
            CambioGrupo cambio{t.caras.size(), nombre.empty() ? std::string("default") : std::move(nombre)};
            // a group line with no face since the one before replaces it
            if (!t.cambios.empty() && t.cambios.back().cara == cambio.cara)
                t.cambios.back() = std::move(cambio);
            else
                t.cambios.push_back(std::move(cambio));
        }
    }
    // Positions past the last corner close the last face; the corner list fits the 32-bit starts.
    if (t.esquinas.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
}

// The file's lists as one: vertices and normals joined, faces left in their stretches.
struct Modelo {
    std::vector<Trozo> trozos;
    std::vector<scene::Vec3f> vertices;
    std::vector<scene::Vec3f> normales;
    std::vector<bool> verticeMalo;  // empty when every vertex is usable
    std::vector<bool> normalMala;

    // Calls f(corners, count) for every face with file-wide number in [desde, hasta).
    template <typename F>
    void recorrerCaras(size_t desde, size_t hasta, F&& f) const
    {
        auto it = std::upper_bound(trozos.begin(), trozos.end(), desde,
                                   [](size_t cara, const Trozo& t) { return cara < t.primeraCara; });
        size_t k = static_cast<size_t>(it - trozos.begin()) - 1;
        size_t cara = desde;
        while (cara < hasta && k < trozos.size()) {
            const Trozo& t = trozos[k];
            for (size_t local = cara - t.primeraCara; local < t.caras.size() && cara < hasta; ++local, ++cara) {
                const size_t a = t.caras[local];
                const size_t b = local + 1 < t.caras.size() ? t.caras[local + 1] : t.esquinas.size();
                f(t.esquinas.data() + a, b - a);
            }
            ++k;
        }
    }
};

struct Grupo {
    std::string nombre;
    size_t primera = 0;  // file-wide face numbers
    size_t fin = 0;
};

scene::NodePtr construirNodo(const Grupo& grupo, const Modelo& m)
{
    const auto& vertices = m.vertices;
    const auto& normales = m.normales;
    const bool hayMalos = !m.verticeMalo.empty();
    auto caraUsable = [&](const Esquina* e, size_t n) {
        if (!hayMalos)
            return true;
        for (size_t k = 0; k < n; ++k)
            if (e[k].vertice >= 0 && static_cast<size_t>(e[k].vertice) < vertices.size() &&
                m.verticeMalo[static_cast<size_t>(e[k].vertice)])
                return false;
        return true;
    };

    size_t n = 0;
    bool todasConNormal = true;
    m.recorrerCaras(grupo.primera, grupo.fin, [&](const Esquina* e, size_t cuantas) {
        if (!caraUsable(e, cuantas))
            return;
        n += 3 * (cuantas - 2);
        for (size_t k = 0; k < cuantas && todasConNormal; ++k)
            todasConNormal = e[k].normal >= 0 && static_cast<size_t>(e[k].normal) < normales.size() &&
                             (m.normalMala.empty() || !m.normalMala[static_cast<size_t>(e[k].normal)]);
    });
    if (n == 0 || n > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()))
        return nullptr;

    scene::GeometrySource posiciones;
    posiciones.semantic = scene::GeometrySource::Semantic::Vertex;
    posiciones.vectorCount = static_cast<int>(n);
    posiciones.data.resize(n * sizeof(scene::Vec3f));

    scene::GeometrySource fuenteNormales;
    fuenteNormales.semantic = scene::GeometrySource::Semantic::Normal;
    if (todasConNormal) {
        fuenteNormales.vectorCount = static_cast<int>(n);
        fuenteNormales.data.resize(n * sizeof(scene::Vec3f));
    }

    scene::GeometryElement triangulos;
    triangulos.primitive = scene::GeometryElement::Primitive::Triangles;
    triangulos.indices.resize(n);
    for (size_t k = 0; k < n; ++k)
        triangulos.indices[k] = static_cast<std::int32_t>(k);

    auto* destinoPos = reinterpret_cast<scene::Vec3f*>(posiciones.data.data());
    auto* destinoNor = reinterpret_cast<scene::Vec3f*>(fuenteNormales.data.data());
    const scene::Vec3f origen{};
    size_t k = 0;
    auto esquina = [&](const Esquina& e) {
        destinoPos[k] = e.vertice >= 0 && static_cast<size_t>(e.vertice) < vertices.size()
                            ? vertices[static_cast<size_t>(e.vertice)]
                            : origen;
        if (todasConNormal)
            destinoNor[k] = normales[static_cast<size_t>(e.normal)];
        ++k;
    };
    m.recorrerCaras(grupo.primera, grupo.fin, [&](const Esquina* e, size_t cuantas) {
        if (!caraUsable(e, cuantas))
            return;
        for (size_t j = 1; j + 1 < cuantas; ++j) {
            esquina(e[0]);
            esquina(e[j]);
            esquina(e[j + 1]);
        }
    });

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

// Runs f(i) for i in [0, n) on up to `hilos` threads; the first exception is rethrown here.
template <typename F>
void enParalelo(size_t n, unsigned hilos, F&& f)
{
    if (hilos <= 1 || n <= 1) {
        for (size_t i = 0; i < n; ++i)
            f(i);
        return;
    }
    std::atomic<size_t> siguiente{0};
    std::exception_ptr error;
    std::atomic<bool> fallo{false};
    std::mutex cerrojo;
    auto trabajar = [&] {
        try {
            for (size_t i; !fallo.load(std::memory_order_relaxed) && (i = siguiente.fetch_add(1)) < n;)
                f(i);
        } catch (...) {
            std::lock_guard lock(cerrojo);
            if (!error)
                error = std::current_exception();
            fallo = true;
        }
    };
    std::vector<std::thread> otros;
    const unsigned extra = static_cast<unsigned>(std::min<size_t>(hilos, n)) - 1;
    otros.reserve(extra);
    try {
        for (unsigned h = 0; h < extra; ++h)
            otros.emplace_back(trabajar);
    } catch (...) {
        // no thread to spare: the ones started and this one do the work
    }
    trabajar();
    for (auto& h : otros)
        h.join();
    if (error)
        std::rethrow_exception(error);
}

unsigned hilosPara(size_t bytes)
{
    // A thread pays off only on files of several megabytes.
    constexpr size_t kBytesPorHilo = 4u << 20;
    const unsigned maquina = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::clamp<size_t>(bytes / kBytesPorHilo, 1, std::min(maquina, 8u)));
}

}  // namespace

scene::NodePtr cargarOBJDesdeTexto(std::string_view texto)
{
    return cargarOBJDesdeTexto(texto, hilosPara(texto.size()));
}

scene::NodePtr cargarOBJDesdeTexto(std::string_view texto, unsigned hilos)
{
    if (!esTextoUTF8(texto))
        return nullptr;
    hilos = std::max(1u, hilos);

    // Stretches of whole lines, one per thread.
    std::vector<std::string_view> partes;
    size_t inicio = 0;
    for (unsigned h = 1; h <= hilos && inicio < texto.size(); ++h) {
        size_t fin = h == hilos ? texto.size() : std::max(inicio, texto.size() / hilos * h);
        if (fin < texto.size()) {
            const size_t salto = texto.find('\n', fin);
            fin = salto == std::string_view::npos ? texto.size() : salto + 1;
        }
        partes.push_back(texto.substr(inicio, fin - inicio));
        inicio = fin;
    }

    Modelo m;
    m.trozos.resize(partes.size());
    enParalelo(partes.size(), hilos, [&](size_t i) { leerTrozo(partes[i], m.trozos[i]); });

    // Join the stretches: file-wide face numbers, vertices and normals in one list each.
    size_t caras = 0, nv = 0, nn = 0, malosV = 0, malasN = 0;
    std::vector<CambioGrupo> cambios;
    cambios.push_back({0, "default"});
    for (Trozo& t : m.trozos) {
        t.primeraCara = caras;
        for (CambioGrupo& c : t.cambios) {
            c.cara += caras;
            if (cambios.back().cara == c.cara)
                cambios.back() = std::move(c);
            else
                cambios.push_back(std::move(c));
        }
        t.cambios.clear();
        caras += t.caras.size();
        nv += t.vertices.size();
        nn += t.normales.size();
        malosV += t.verticesMalos.size();
        malasN += t.normalesMalas.size();
    }
    if (caras == 0)
        return nullptr;
    m.vertices.resize(nv);
    m.normales.resize(nn);
    if (malosV)
        m.verticeMalo.assign(nv, false);
    if (malasN)
        m.normalMala.assign(nn, false);
    std::vector<std::pair<size_t, size_t>> desplazamientos;  // first vertex, first normal of each stretch
    nv = nn = 0;
    for (Trozo& t : m.trozos) {
        desplazamientos.emplace_back(nv, nn);
        for (std::uint32_t i : t.verticesMalos)
            m.verticeMalo[nv + i] = true;
        for (std::uint32_t i : t.normalesMalas)
            m.normalMala[nn + i] = true;
        nv += t.vertices.size();
        nn += t.normales.size();
    }
    enParalelo(m.trozos.size(), hilos, [&](size_t i) {
        Trozo& t = m.trozos[i];
        std::copy(t.vertices.begin(), t.vertices.end(), m.vertices.begin() + static_cast<std::ptrdiff_t>(desplazamientos[i].first));
        std::copy(t.normales.begin(), t.normales.end(), m.normales.begin() + static_cast<std::ptrdiff_t>(desplazamientos[i].second));
        std::vector<scene::Vec3f>().swap(t.vertices);
        std::vector<scene::Vec3f>().swap(t.normales);
    });

    // A group runs from its line to the next group line; one without faces is left out.
    std::vector<Grupo> grupos;
    for (size_t i = 0; i < cambios.size(); ++i) {
        const size_t fin = i + 1 < cambios.size() ? cambios[i + 1].cara : caras;
        if (fin > cambios[i].cara)
            grupos.push_back(Grupo{std::move(cambios[i].nombre), cambios[i].cara, fin});
    }

    std::vector<scene::NodePtr> nodos(grupos.size());
    enParalelo(grupos.size(), hilos, [&](size_t i) { nodos[i] = construirNodo(grupos[i], m); });

    auto contenedor = scene::Node::make();
    for (auto& nodo : nodos)
        if (nodo)
            contenedor->addChild(std::move(nodo));
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
    } catch (const std::system_error&) {
        return nullptr;  // no thread could be started
    }
}

}  // namespace quelva
