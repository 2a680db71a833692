#include "sections/CorteSeccion.h"

#include "platform/NumberFormat.h"
#include "scene/Node.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

namespace quelva::CorteSeccion {

namespace {

double componente(const scene::Vec3& v, int eje)
{
    return eje == 0 ? v.x : eje == 1 ? v.y : v.z;
}

float componente(const scene::Vec3f& v, int eje)
{
    return eje == 0 ? v.x : eje == 1 ? v.y : v.z;
}

bool esIdentidad(const scene::Node& n)
{
    return n.position == scene::Vec3{} && n.scale == scene::Vec3{1, 1, 1} && n.orientation.x == 0 &&
           n.orientation.y == 0 && n.orientation.z == 0 && n.orientation.w == 1;
}

scene::Box cajaEnMundo(const scene::Box& local, const scene::Mat4& m)
{
    scene::Box caja{m.transformPoint(local.min), m.transformPoint(local.min)};
    for (int i = 0; i < 8; ++i) {
        const scene::Vec3 e{i & 1 ? local.max.x : local.min.x, i & 2 ? local.max.y : local.min.y,
                            i & 4 ? local.max.z : local.min.z};
        const scene::Vec3 p = m.transformPoint(e);
        caja.min = {std::min(caja.min.x, p.x), std::min(caja.min.y, p.y), std::min(caja.min.z, p.z)};
        caja.max = {std::max(caja.max.x, p.x), std::max(caja.max.y, p.y), std::max(caja.max.z, p.z)};
    }
    return caja;
}

// One node met under a discipline root, with what every step needs of it.
struct Visitado {
    scene::Node& nodo;
    const scene::Mat4* transformacion;  // to the world; null when it is the identity
    const std::string& nombre;          // nearest named node, the root left out
    scene::Box caja;                    // in the world
};

template <typename F>
void recorrer(scene::Node& nodo, const scene::Mat4& padre, bool padreIdentidad, const std::string& nombrePadre,
              F& f)
{
    const bool identidad = padreIdentidad && esIdentidad(nodo);
    const scene::Mat4 m = identidad ? padre : padre * nodo.localTransform();
    const std::string& nombre = nodo.name && !nodo.name->empty() ? *nodo.name : nombrePadre;
    if (nodo.geometry) {
        const scene::Box local = nodo.boundingBox();
        f(Visitado{nodo, identidad ? nullptr : &m, nombre, identidad ? local : cajaEnMundo(local, m)});
    }
    for (const scene::NodePtr& hijo : nodo.children())
        recorrer(*hijo, m, identidad, nombre, f);
}

// Every node below the root, depth first in child order, the root itself left out.
template <typename F>
void recorrerEspecialidad(const EspecialidadBIM& esp, F&& f)
{
    if (!esp.nodoRaiz)
        return;
    const scene::Mat4 m = esp.nodoRaiz->worldTransform();
    const bool identidad = m.m == scene::Mat4::identity().m;
    static const std::string vacio;
    for (const scene::NodePtr& hijo : esp.nodoRaiz->children())
        recorrer(*hijo, m, identidad, vacio, f);
}

// The disciplines in display order, then any other key; the result is reproducible.
std::vector<std::pair<QString, const EspecialidadBIM*>> enOrden(const TablaEspecialidades& especialidades,
                                                               const QStringList& orden)
{
    std::vector<std::pair<QString, const EspecialidadBIM*>> lista;
    std::set<QString> vistas;
    for (const QString& key : orden) {
        const auto it = especialidades.find(key);
        if (it != especialidades.end() && vistas.insert(key).second)
            lista.emplace_back(key, &it->second);
    }
    for (const auto& [key, esp] : especialidades)
        if (vistas.insert(key).second)
            lista.emplace_back(key, &esp);
    return lista;
}

// Reads the vertices of a geometry as stored, never outside its data.
class LectorVertices {
public:
    LectorVertices(const scene::Geometry& g, const scene::Mat4* m)
    {
        const scene::GeometrySource* s = nullptr;
        for (const scene::GeometrySource& fuente : g.sources())
            if (fuente.semantic == scene::GeometrySource::Semantic::Vertex) {
                s = &fuente;
                break;
            }
        if (!s || s->componentsPerVector < 3 || s->bytesPerComponent != 4 || s->vectorCount <= 0 ||
            s->dataOffset < 0 || s->dataStride < 0)
            return;
        const long long tamano = static_cast<long long>(s->data.size());
        const long long libre = tamano - s->dataOffset - 12;
        if (libre < 0)
            return;
        long long legibles = s->dataStride == 0 ? s->vectorCount : libre / s->dataStride + 1;
        cuenta_ = static_cast<int>(std::min<long long>(legibles, s->vectorCount));
        base_ = s->data.data() + s->dataOffset;
        paso_ = s->dataStride;
        if (m) {
            mundo_.resize(static_cast<size_t>(cuenta_));
            for (int i = 0; i < cuenta_; ++i)
                mundo_[static_cast<size_t>(i)] = scene::toFloat(m->transformPoint(scene::toDouble(crudo(i))));
        }
    }

    int cuenta() const { return cuenta_; }
    scene::Vec3f operator[](int i) const { return mundo_.empty() ? crudo(i) : mundo_[static_cast<size_t>(i)]; }

private:
    scene::Vec3f crudo(int i) const
    {
        float xyz[3];
        std::memcpy(xyz, base_ + static_cast<size_t>(i) * static_cast<size_t>(paso_), sizeof xyz);
        return {xyz[0], xyz[1], xyz[2]};
    }

    const std::uint8_t* base_ = nullptr;
    int paso_ = 0;
    int cuenta_ = 0;
    std::vector<scene::Vec3f> mundo_;
};

template <typename F>
void cortarGeometria(const scene::Geometry& g, const scene::Mat4* m, int eje, float plano, F&& agregar)
{
    const LectorVertices v(g, m);
    const int n = v.cuenta();
    if (n == 0)
        return;
    for (const scene::GeometryElement& e : g.elements()) {
        if (e.primitive != scene::GeometryElement::Primitive::Triangles)
            continue;
        const size_t triangulos = e.indices.size() / 3;
        const std::int32_t* idx = e.indices.data();
        for (size_t t = 0; t < triangulos; ++t) {
            const std::int32_t a = idx[3 * t], b = idx[3 * t + 1], c = idx[3 * t + 2];
            if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n)
                continue;
            if (auto s = intersectarTriangulo(eje, v[a], v[b], v[c], plano))
                agregar(s->first, s->second);
        }
    }
}

}  // namespace

Punto2D proyectar(int eje, const scene::Vec3f& p)
{
    switch (eje) {
    case 0: return {p.y, p.z};
    case 1: return {p.x, p.z};
    default: return {p.x, p.y};
    }
}

std::optional<std::pair<Punto2D, Punto2D>> intersectarTriangulo(int eje, const scene::Vec3f& a,
                                                                const scene::Vec3f& b, const scene::Vec3f& c3,
                                                                float plano)
{
    const float da = componente(a, eje) - plano;
    const float db = componente(b, eje) - plano;
    const float dc = componente(c3, eje) - plano;
    const bool sa = da > 0, sb = db > 0, sc = dc > 0;
    if (sa == sb && sb == sc)
        return std::nullopt;
    Punto2D puntos[2];
    int n = 0;
    const auto borde = [&](const scene::Vec3f& u, const scene::Vec3f& w, float du, float dw) {
        const float t = du / (du - dw);
        const scene::Vec3f p{u.x + (w.x - u.x) * t, u.y + (w.y - u.y) * t, u.z + (w.z - u.z) * t};
        if (n < 2)
            puntos[n] = proyectar(eje, p);
        ++n;
    };
    if (sa != sb)
        borde(a, b, da, db);
    if (sb != sc)
        borde(b, c3, db, dc);
    if (sc != sa)
        borde(c3, a, dc, da);
    if (n < 2)
        return std::nullopt;
    return std::pair{puntos[0], puntos[1]};
}

std::vector<Segmento2D> rectanguloProyeccion(int eje, const QString& key, const QColor& color, const scene::Box& caja)
{
    const int iu = eje == 0 ? 1 : 0;
    const int iv = eje == 2 ? 1 : 2;
    const auto comp = [](const scene::Vec3& v, int i) { return float(i == 0 ? v.x : i == 1 ? v.y : v.z); };
    const float umin = comp(caja.min, iu), umax = comp(caja.max, iu);
    const float vmin = comp(caja.min, iv), vmax = comp(caja.max, iv);
    const Punto2D q[4] = {{umin, vmin}, {umax, vmin}, {umax, vmax}, {umin, vmax}};
    std::vector<Segmento2D> s;
    s.reserve(4);
    for (int i = 0; i < 4; ++i)
        s.push_back(Segmento2D{q[i], q[(i + 1) % 4], key, color, false, QString()});
    return s;
}

std::vector<Segmento2D> cortarModelos(const TablaEspecialidades& especialidades, const QStringList& orden, int eje,
                                      double posicion, double profundidad)
{
    const float c = float(posicion);
    float limite = c;
    if (std::isinf(profundidad))
        limite = std::numeric_limits<float>::lowest();
    else if (profundidad != 0)
        limite = float(posicion - profundidad);

    std::vector<Segmento2D> resultado;
    for (const auto& [key, esp] : enOrden(especialidades, orden)) {
        if (!esp->isVisible || !esp->nodoRaiz)
            continue;
        const QColor color = esp->colorOriginal;
        const QString clave = key;
        recorrerEspecialidad(*esp, [&](const Visitado& v) {
            const float kmin = float(componente(v.caja.min, eje));
            const float kmax = float(componente(v.caja.max, eje));
            // A box wholly on one side holds no crossing triangle. Transformed points round
            // differently from their box: leave a margin there.
            const float margen = v.transformacion ? 1e-4f * (1.0f + std::abs(c)) : 0.0f;
            if (kmin <= c + margen && c - margen < kmax) {
                const QString nombre = QString::fromStdString(v.nombre);
                cortarGeometria(*v.nodo.geometry, v.transformacion, eje, c, [&](Punto2D p, Punto2D q) {
                    resultado.push_back(Segmento2D{p, q, clave, color, true, nombre});
                });
            }
            if (profundidad > 0) {
                const float m = float(componente(v.caja.min, eje) + componente(v.caja.max, eje)) * 0.5f;
                if (limite <= m && m < c)
                    for (Segmento2D& s : rectanguloProyeccion(eje, clave, color, v.caja))
                        resultado.push_back(std::move(s));
            }
        });
    }
    return resultado;
}

QString nombreTipoIFC(const QString& claseIFC)
{
    static const std::unordered_map<std::string, const char*> tabla = {
        {"IFCWALL", "Muro"},
        {"IFCWALLSTANDARDCASE", "Muro"},
        {"IFCSLAB", "Losa"},
        {"IFCBEAM", "Viga"},
        {"IFCCOLUMN", "Columna"},
        {"IFCDOOR", "Puerta"},
        {"IFCWINDOW", "Ventana"},
        {"IFCSTAIR", "Escalera"},
        {"IFCSTAIRFLIGHT", "Tramo de escalera"},
        {"IFCROOF", "Cubierta"},
        {"IFCSPACE", "Espacio"},
        {"IFCFURNISHINGELEMENT", "Mobiliario"},
        {"IFCMEMBER", "Miembro estructural"},
        {"IFCPLATE", "Placa"},
        {"IFCFLOWSEGMENT", "Conducto"},
        {"IFCFLOWTERMINAL", "Terminal"},
        {"IFCFLOWFITTING", "Accesorio"},
        {"IFCPIPESEGMENT", "Tubería"},
        {"IFCPIPEFITTING", "Accs. tubería"},
        {"IFCDUCTSEGMENT", "Conducto aire"},
        {"IFCDUCTFITTING", "Accs. conducto"},
        {"IFCBUILDINGELEMENTPROXY", "Elemento genérico"},
        {"IFCCOVERING", "Revestimiento"},
        {"IFCFOOTING", "Fundación"},
        {"IFCPILE", "Pilote"},
        {"IFCRAILING", "Baranda"},
    };
    if (const auto it = tabla.find(claseIFC.toStdString()); it != tabla.end())
        return QString::fromUtf8(it->second);
    if (claseIFC.isEmpty())
        return {};
    QString texto = claseIFC;
    texto.remove(QStringLiteral("IFC"), Qt::CaseSensitive);
    // Capitalised word by word: first letter upper case, the rest lower case.
    bool inicio = true;
    for (QChar& ch : texto) {
        if (ch.isLetterOrNumber()) {
            ch = inicio ? ch.toUpper() : ch.toLower();
            inicio = false;
        } else {
            inicio = true;
        }
    }
    return texto;
}

namespace {

bool contiene(const QString& claveMinusculas, const char* palabra)
{
    return claveMinusculas.contains(QLatin1String(palabra));
}

// The first property in key order that `acepta`, or empty.
template <typename F>
QString primeraPropiedad(const PropiedadesElementoIFC& props, F acepta)
{
    for (const auto& [clave, valor] : props) {
        if (clave.rfind("__", 0) == 0)
            continue;
        if (acepta(QString::fromStdString(clave).toLower()))
            return QString::fromStdString(valor);
    }
    return {};
}

void distribuirEnColumnas(std::vector<Etiqueta2D>& etiquetas)
{
    if (etiquetas.empty())
        return;
    double suma = 0;
    for (const Etiqueta2D& e : etiquetas)
        suma += e.ancla.u;
    const double media = suma / double(etiquetas.size());
    std::vector<size_t> izquierda, derecha;
    for (size_t i = 0; i < etiquetas.size(); ++i)
        (etiquetas[i].ancla.u < media ? izquierda : derecha).push_back(i);
    const auto colocar = [&](std::vector<size_t>& columna, float x) {
        std::stable_sort(columna.begin(), columna.end(),
                         [&](size_t i, size_t j) { return etiquetas[i].ancla.v > etiquetas[j].ancla.v; });
        const long long n = static_cast<long long>(columna.size());
        for (long long k = 0; k < n; ++k) {
            const float y = n == 1 ? 0.0f : float(k - n / 2) * 1.5f;
            etiquetas[columna[static_cast<size_t>(k)]].offsetTexto = {x, y};
        }
    };
    colocar(izquierda, -4.0f);
    colocar(derecha, 1.5f);
}

}  // namespace

std::vector<Etiqueta2D> generarEtiquetas(const TablaEspecialidades& especialidades, const QStringList& orden, int eje,
                                         const PropiedadesPorEspecialidad& propiedades, double posicion)
{
    const float plano = float(posicion);
    static const PropiedadesElementoIFC sinPropiedades;
    static const TablaPropiedadesIFC tablaVacia;
    std::vector<Etiqueta2D> etiquetas;
    for (const auto& [key, esp] : enOrden(especialidades, orden)) {
        if (!esp->isVisible || !esp->nodoRaiz)
            continue;
        const auto itTabla = propiedades.find(key);
        const TablaPropiedadesIFC& tabla = itTabla != propiedades.end() ? itTabla->second : tablaVacia;
        std::set<std::string> vistos;
        // Named copies: clang 14 cannot capture structured bindings.
        const auto& claveEsp = key;
        const auto& espActual = esp;
        recorrerEspecialidad(*esp, [&](const Visitado& v) {
            if (v.nombre.empty() || !vistos.insert(v.nombre).second)
                return;
            const scene::Box& caja = v.caja;
            if (!(float(componente(caja.min, eje)) <= plano && plano <= float(componente(caja.max, eje))))
                return;
            const int iu = eje == 0 ? 1 : 0;
            const int iv = eje == 2 ? 1 : 2;
            const auto comp = [](const scene::Vec3& p, int i) { return i == 0 ? p.x : i == 1 ? p.y : p.z; };
            Etiqueta2D e;
            e.ancla = {float(comp(caja.min, iu) + comp(caja.max, iu)) * 0.5f,
                       float(comp(caja.min, iv) + comp(caja.max, iv)) * 0.5f};
            e.dimensiones = platform::qformat("%.2f", comp(caja.max, iu) - comp(caja.min, iu)) +
                            QStringLiteral(" × ") +
                            platform::qformat("%.2f m", comp(caja.max, iv) - comp(caja.min, iv));
            const auto itProps = tabla.find(v.nombre);
            const PropiedadesElementoIFC& props = itProps != tabla.end() ? itProps->second : sinPropiedades;
            const auto itTipo = props.find(kClaveTipoIFC);
            e.tipoIFC = nombreTipoIFC(itTipo != props.end() ? QString::fromStdString(itTipo->second) : QString());
            e.material = primeraPropiedad(props, [](const QString& k) { return contiene(k, "material"); });
            e.nivel = primeraPropiedad(props, [](const QString& k) {
                return contiene(k, "storey") || contiene(k, "nivel") || contiene(k, "level") ||
                       contiene(k, "floor") || contiene(k, "piso");
            });
            e.nombre = QString::fromStdString(v.nombre);
            e.visible = false;
            e.key = claveEsp;
            e.color = espActual->colorOriginal;
            etiquetas.push_back(std::move(e));
        });
    }
    distribuirEnColumnas(etiquetas);
    return etiquetas;
}

std::vector<Etiqueta2D> aplicarEtiquetasGuardadas(std::vector<Etiqueta2D> nuevas,
                                                  const std::vector<Etiqueta2D>& guardadas)
{
    std::map<QString, const Etiqueta2D*> porClave;
    for (const Etiqueta2D& g : guardadas)
        porClave.emplace(g.claveFusion(), &g);  // the first of a repeated key wins
    for (Etiqueta2D& e : nuevas)
        if (const auto it = porClave.find(e.claveFusion()); it != porClave.end()) {
            e.visible = it->second->visible;
            e.offsetTexto = it->second->offsetTexto;
        }
    return nuevas;
}

std::vector<Segmento2D> segmentosGrilla(const std::vector<EjeGrilla>& ejes, int eje)
{
    const QColor gris = QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.55f);
    std::vector<Segmento2D> segmentos;
    for (const EjeGrilla& g : ejes) {
        const QString tag = QString::fromStdString(g.tag);
        for (size_t i = 0; i + 1 < g.puntos.size(); ++i)
            segmentos.push_back(Segmento2D{proyectar(eje, g.puntos[i]), proyectar(eje, g.puntos[i + 1]),
                                           QStringLiteral("GRILLA"), gris, false, tag});
    }
    return segmentos;
}

std::optional<std::pair<float, float>> rangoModelos(const TablaEspecialidades& especialidades, int eje)
{
    std::optional<std::pair<float, float>> rango;
    for (const auto& [key, esp] : especialidades) {
        if (!esp.isVisible || !esp.nodoRaiz)
            continue;
        recorrerEspecialidad(esp, [&](const Visitado& v) {
            const float lo = float(componente(v.caja.min, eje));
            const float hi = float(componente(v.caja.max, eje));
            if (!rango)
                rango = std::pair{lo, hi};
            else
                rango = std::pair{std::min(rango->first, lo), std::max(rango->second, hi)};
        });
    }
    return rango;
}

void ocultarMasAllaDelCorte(const TablaEspecialidades& especialidades, bool activa, int eje, double posicion)
{
    const float plano = float(posicion);
    for (const auto& [key, esp] : especialidades) {
        if (!esp.nodoRaiz)
            continue;
        if (!activa) {
            esp.nodoRaiz->visitDescendants([](scene::Node& n) {
                if (n.geometry)
                    n.hidden = false;
                return false;
            });
            continue;
        }
        recorrerEspecialidad(esp, [&](const Visitado& v) {
            v.nodo.hidden = plano < float(componente(v.caja.min, eje));
        });
    }
}

QString tituloPlano(int eje, double posicion, int modoProfundidad, double profundidad)
{
    const char* letra = eje == 0 ? "X" : eje == 1 ? "Y" : "Z";
    QString titulo = QStringLiteral("Plano 2D — Eje ") + QLatin1String(letra) + QStringLiteral(" = ") +
                     platform::qformat("%.2f m", posicion);
    if (modoProfundidad == 1)
        titulo += QStringLiteral(" · ") + platform::qformat("%.1f m", profundidad) + QStringLiteral(" prof.");
    else if (modoProfundidad == 2)
        titulo += QStringLiteral(" · ilimitado");
    return titulo;
}

double profundidadDeModo(int modoProfundidad, double profundidad)
{
    if (modoProfundidad == 1)
        return profundidad;
    if (modoProfundidad == 2)
        return std::numeric_limits<double>::infinity();
    return 0;
}

QString nombreSeccionNueva(const std::vector<SeccionGuardada>& guardadas, const QString& nombre)
{
    const QString n = QString::number(static_cast<long long>(guardadas.size()) + 1);
    const QString recortado = nombre.trimmed();
    if (recortado.isEmpty())
        return QStringLiteral("Sección ") + n;
    for (const SeccionGuardada& s : guardadas)
        if (s.nombre == recortado)
            return recortado + QLatin1Char(' ') + n;
    return recortado;
}

}  // namespace quelva::CorteSeccion
