#include "GeometriaIFC.h"

#include "LectorEnHilos.h"
#include "MemoriaKernel.h"
#include "SuperficieCanonica.h"

#include <ifcpp/IFC4/include/IfcArbitraryClosedProfileDef.h>
#include <ifcpp/IFC4/include/IfcArbitraryOpenProfileDef.h>
#include <ifcpp/IFC4/include/IfcArbitraryProfileDefWithVoids.h>
#include <ifcpp/IFC4/include/IfcBlock.h>
#include <ifcpp/IFC4/include/IfcCartesianPointList2D.h>
#include <ifcpp/IFC4/include/IfcCartesianPointList3D.h>
#include <ifcpp/IFC4/include/IfcIndexedPolyCurve.h>
#include <ifcpp/IFC4/include/IfcPolygonalBoundedHalfSpace.h>
#include <ifcpp/IFC4/include/IfcPolyline.h>
#include <ifcpp/IFC4/include/IfcSweptDiskSolid.h>
#include <ifcpp/IFC4/include/IfcFeatureElementSubtraction.h>
#include <ifcpp/IFC4/include/IfcLocalPlacement.h>
#include <ifcpp/IFC4/include/IfcPositiveLengthMeasure.h>
#include <ifcpp/IFC4/include/IfcProductRepresentation.h>
#include <ifcpp/IFC4/include/IfcRectangularPyramid.h>
#include <ifcpp/IFC4/include/IfcRelAggregates.h>
#include <ifcpp/IFC4/include/IfcRelVoidsElement.h>
#include <ifcpp/IFC4/include/IfcRepresentation.h>
#include <ifcpp/IFC4/include/IfcSpace.h>
#include <ifcpp/IFC4/include/IfcSphere.h>
#include <ifcpp/geometry/GeometrySettings.h>
#include <ifcpp/geometry/Carve/CSG_Adapter.h>
#include <ifcpp/geometry/Carve/RepresentationConverter.h>
#include <ifcpp/model/AttributeObject.h>
#include <ifcpp/model/BuildingModel.h>
#include <ifcpp/model/UnitConverter.h>
#include <ifcpp/reader/ReaderSTEP.h>

#include <carve/triangulator.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <cctype>
#include <cmath>
#include <limits>
#include <string_view>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>

namespace quelva::ifcconvert {

namespace {

using Matriz = carve::math::Matrix;
using MeshSet = carve::mesh::MeshSet<3>;

// IFC++ reports through callbacks; the converter keeps going on per-item errors.
void ignorarMensaje(void*, shared_ptr<StatusCallback::Message>) {}

std::string minusculas(const std::wstring& texto)
{
    std::string s;
    s.reserve(texto.size());
    for (wchar_t c : texto)
        s.push_back(c < 128 ? static_cast<char>(std::tolower(static_cast<int>(c))) : '?');
    return s;
}

// Rigid placements only: the transpose of the rotation undoes it.
Matriz inversaRigida(const Matriz& m)
{
    Matriz r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[j][i] = m.m[i][j];
    const vec3 t = carve::geom::VECTOR(m.m[3][0], m.m[3][1], m.m[3][2]);
    for (int i = 0; i < 3; ++i)
        r.m[3][i] = -(r.m[0][i] * t.x + r.m[1][i] * t.y + r.m[2][i] * t.z);
    r.m[0][3] = r.m[1][3] = r.m[2][3] = 0.0;
    r.m[3][3] = 1.0;
    return r;
}

// Which representations describe the body: "Body" when the product has one; otherwise
// the ones that are not plainly something else (axis, footprint, bounding box...).
std::vector<shared_ptr<IfcRepresentation>> representacionesCuerpo(const shared_ptr<IfcProduct>& producto)
{
    std::vector<shared_ptr<IfcRepresentation>> cuerpo;
    std::vector<shared_ptr<IfcRepresentation>> otras;
    // not a set made on first use: that would be made in the kernel's memory, which each product reuses
    static constexpr std::array<std::string_view, 12> noCuerpo = {
        "axis", "footprint", "box", "annotation", "profile", "clearance", "lighting",
        "reference", "cog", "surface", "plan", "survey"};
    for (const auto& rep : producto->m_Representation->m_Representations) {
        if (!rep)
            continue;
        const std::string id = rep->m_RepresentationIdentifier
                                   ? minusculas(rep->m_RepresentationIdentifier->m_value)
                                   : std::string();
        if (id == "body")
            cuerpo.push_back(rep);
        else if (std::find(noCuerpo.begin(), noCuerpo.end(), id) == noCuerpo.end())
            otras.push_back(rep);
    }
    return cuerpo.empty() ? otras : cuerpo;
}

// IFC++ draws nothing for an IfcIndexedPolyCurve, which IFC4 exporters use for most profiles, and
// does not read its segment list. The curve becomes the polyline through its points, following
// the segments read from the text; arcs (three-point segments) become short chords.
shared_ptr<IfcPolyline> polilineaDe(const IfcIndexedPolyCurve& curva, const SegmentosIndexados& segmentos)
{
    std::vector<vec3> puntos;
    bool tresD = false;
    auto copiar = [&](const std::vector<std::vector<shared_ptr<IfcLengthMeasure>>>& lista) {
        for (const auto& c : lista) {
            vec3 p = carve::geom::VECTOR(0.0, 0.0, 0.0);
            for (std::size_t k = 0; k < c.size() && k < 3; ++k)
                if (c[k])
                    p[k] = c[k]->m_value;
            puntos.push_back(p);
        }
    };
    if (auto l2 = dynamic_pointer_cast<IfcCartesianPointList2D>(curva.m_Points)) {
        copiar(l2->m_CoordList);
    } else if (auto l3 = dynamic_pointer_cast<IfcCartesianPointList3D>(curva.m_Points)) {
        copiar(l3->m_CoordList);
        tresD = true;
    }
    if (puntos.empty())
        return nullptr;

    std::vector<vec3> salida;
    auto agregar = [&](const vec3& p) {
        if (salida.empty() || (salida.back() - p).length2() > 1e-18)
            salida.push_back(p);
    };
    auto indice = [&](int i, vec3& p) {
        if (i < 1 || static_cast<std::size_t>(i) > puntos.size())
            return false;
        p = puntos[static_cast<std::size_t>(i) - 1];
        return true;
    };
    auto arco = [&](const vec3& p1, const vec3& p2, const vec3& p3) {
        const vec3 a = p1 - p3, b = p2 - p3;
        const vec3 axb = carve::geom::cross(a, b);
        const double l2 = axb.length2();
        agregar(p1);
        if (l2 < 1e-18) {  // collinear: a straight run
            agregar(p2);
            agregar(p3);
            return;
        }
        const vec3 centro = p3 + carve::geom::cross(a.length2() * b - b.length2() * a, axb) / (2.0 * l2);
        const double radio = (p1 - centro).length();
        const vec3 n = axb / std::sqrt(l2);
        const vec3 u = (p1 - centro) / radio;
        // a x b points the way p1 -> p2 -> p3 turns, so angles counted about it grow along the arc
        const vec3 w = carve::geom::cross(n, u);
        double barrido = std::atan2(carve::geom::dot(p3 - centro, w), carve::geom::dot(p3 - centro, u));
        if (barrido <= 0)
            barrido += 2 * M_PI;
        const int pasos = std::max(2, static_cast<int>(std::ceil(barrido / (2 * M_PI / 32))));
        for (int k = 1; k < pasos; ++k) {
            const double t = barrido * k / pasos;
            agregar(centro + radio * (std::cos(t) * u + std::sin(t) * w));
        }
        agregar(p3);
    };
    const auto leidos = segmentos.find(curva.m_entity_id);
    if (leidos == segmentos.end() || leidos->second.empty()) {
        for (const vec3& p : puntos)
            agregar(p);
    } else {
        for (const SegmentoIndexado& segmento : leidos->second) {
            vec3 p1, p2, p3;
            if (!segmento.arco) {
                for (int i : segmento.indices)
                    if (indice(i, p1))
                        agregar(p1);
            } else if (segmento.indices.size() == 3 && indice(segmento.indices[0], p1) &&
                       indice(segmento.indices[1], p2) && indice(segmento.indices[2], p3)) {
                arco(p1, p2, p3);
            }
        }
    }
    if (salida.size() < 2)
        return nullptr;
    auto polilinea = std::make_shared<IfcPolyline>();
    polilinea->m_entity_id = curva.m_entity_id;
    for (const vec3& p : salida) {
        auto punto = std::make_shared<IfcCartesianPoint>();
        for (int k = 0; k < (tresD ? 3 : 2); ++k)
            punto->m_Coordinates.push_back(std::make_shared<IfcLengthMeasure>(p[k]));
        polilinea->m_Points.push_back(punto);
    }
    return polilinea;
}

template <typename Curva>
void reemplazarCurvaIndexada(shared_ptr<Curva>& curva, const SegmentosIndexados& segmentos)
{
    if (auto indexada = dynamic_pointer_cast<IfcIndexedPolyCurve>(curva))
        if (auto polilinea = polilineaDe(*indexada, segmentos))
            curva = polilinea;
}

}  // namespace

struct GeometriaIFC::Impl {
    // What the converter does with an entity, by its type: a dynamic_cast across the library's
    // types compares type names, and the model holds hundreds of thousands of entities of a few
    // dozen types, so each type is cast once. Keyed by the type's descriptor, whose address is
    // cheap to hash (a type with two descriptors is only cast twice).
    enum Clase : std::uint8_t { kOtra, kParcheable, kProducto, kProductoSinCuerpo };
    std::unordered_map<const std::type_info*, Clase> clases;
    Clase claseDe(const shared_ptr<BuildingEntity>& entidad);

    shared_ptr<BuildingModel> modelo = std::make_shared<BuildingModel>();
    std::unordered_set<int> omitidos;
    shared_ptr<GeometrySettings> ajustes;
    shared_ptr<RepresentationConverter> conversor;

    Matriz matrizColocacion(const shared_ptr<IfcObjectPlacement>& colocacion);
    void prepararModelo(const SegmentosIndexados& segmentos);
    bool convertirRepresentaciones(const shared_ptr<IfcProduct>& producto, ProductShapeData& datos);
    void restarAberturas(const shared_ptr<IfcElement>& anfitrion, ProductShapeData& datos, const Matriz& colocacion);
    void triangular(const ProductShapeData& datos, const Matriz& colocacion, MallaElemento& malla);
    void agregarMeshSet(const MeshSet& ms, const Matriz& colocacion, MallaElemento& malla);

    std::vector<shared_ptr<IfcProduct>> productos;
    // kept from one mesh to the next, so converting allocates little of our own
    struct Buferes {
        std::vector<std::uint32_t> orden;
        std::vector<std::array<std::uint64_t, 3>> claves;
        std::vector<std::uint32_t> canonico;
        std::vector<vec3> escritos;  // per kernel vertex
        std::vector<double> xyz;     // per vertex written
        CarasPoligonales caras;
        TriangulosCanonicos triangulos;
        std::vector<std::uint32_t> numero;  // per vertex written: its number in the mesh
    } buferes;
};

GeometriaIFC::GeometriaIFC() : impl_(std::make_unique<Impl>()) {}
GeometriaIFC::~GeometriaIFC() = default;

std::size_t GeometriaIFC::leer(std::string contenido)
{
    // Reading from memory rather than from the path keeps IFC++ away from its locale switch.
    // Two threads: with more, making the entities slowed down again on an 8-processor machine.
    auto lector = std::make_shared<LectorEnHilos>(2);
    lector->setMessageCallBack(this, ignorarMensaje);
    impl_->modelo->setMessageCallBack(this, ignorarMensaje);
    try {
        lector->loadModelFromString(contenido, impl_->modelo);
    } catch (...) {
        return 0;
    }
    return impl_->modelo->getMapIfcEntities().size();
}

GeometriaIFC::Impl::Clase GeometriaIFC::Impl::claseDe(const shared_ptr<BuildingEntity>& entidad)
{
    if (!entidad)
        return kOtra;
    const auto [it, nueva] = clases.try_emplace(&typeid(*entidad), kOtra);
    if (nueva) {
        if (dynamic_pointer_cast<IfcProduct>(entidad))
            // openings are carved out of their hosts; spaces are rooms, not built elements
            it->second = dynamic_pointer_cast<IfcFeatureElementSubtraction>(entidad) || dynamic_pointer_cast<IfcSpace>(entidad)
                             ? kProductoSinCuerpo
                             : kProducto;
        else if (dynamic_pointer_cast<IfcArbitraryClosedProfileDef>(entidad) ||
                 dynamic_pointer_cast<IfcArbitraryOpenProfileDef>(entidad) ||
                 dynamic_pointer_cast<IfcPolygonalBoundedHalfSpace>(entidad) || dynamic_pointer_cast<IfcSweptDiskSolid>(entidad) ||
                 dynamic_pointer_cast<IfcBlock>(entidad) || dynamic_pointer_cast<IfcRectangularPyramid>(entidad) ||
                 dynamic_pointer_cast<IfcSphere>(entidad))
            it->second = kParcheable;
    }
    return it->second;
}

Matriz GeometriaIFC::Impl::matrizColocacion(const shared_ptr<IfcObjectPlacement>& colocacion)
{
    // Walks the chain itself: IFC++ drops a level whose axis placement instance is shared
    // with another level of the same chain.
    Matriz total;
    std::unordered_set<const IfcObjectPlacement*> vistas;
    shared_ptr<IfcObjectPlacement> actual = colocacion;
    while (actual && vistas.insert(actual.get()).second) {
        auto local = dynamic_pointer_cast<IfcLocalPlacement>(actual);
        if (!local)
            break;
        if (auto relativa = dynamic_pointer_cast<IfcPlacement>(local->m_RelativePlacement)) {
            shared_ptr<TransformData> t;
            conversor->getPlacementConverter()->convertIfcPlacement(relativa, t);
            if (t)
                total = t->m_matrix * total;
        }
        actual = local->m_PlacementRelTo;
    }
    return total;
}

// Patches the model where IFC++ draws it wrong or not at all: indexed poly curves become
// polylines; blocks and pyramids, which IFC++ centres on their position, are moved so that
// the position is their corner (pyramid: the corner of its base) and the pyramid gets back
// the height IFC++ halves; a sphere's radius, which IFC++ takes as metres, is scaled.
void GeometriaIFC::Impl::prepararModelo(const SegmentosIndexados& segmentos)
{
    const double factor = modelo->getUnitConverter()->getLengthInMeterFactor();
    auto nuevaPosicion = [&](const shared_ptr<IfcAxis2Placement3D>& vieja, double dx, double dy, double dz) {
        // dx, dy, dz in file units along the primitive's own axes
        auto nueva = std::make_shared<IfcAxis2Placement3D>();
        vec3 origen = carve::geom::VECTOR(0.0, 0.0, 0.0);
        Matriz giro;
        if (vieja) {
            nueva->m_Axis = vieja->m_Axis;
            nueva->m_RefDirection = vieja->m_RefDirection;
            nueva->m_entity_id = vieja->m_entity_id;
            if (vieja->m_Location) {
                const auto& c = vieja->m_Location->m_Coordinates;
                for (std::size_t i = 0; i < c.size() && i < 3; ++i)
                    if (c[i])
                        origen[i] = c[i]->m_value;
            }
            shared_ptr<TransformData> t;
            conversor->getPlacementConverter()->convertIfcAxis2Placement3D(vieja, t, true);
            if (t)
                giro = t->m_matrix;
        }
        const vec3 desplazado = origen + giro * carve::geom::VECTOR(dx, dy, dz);
        nueva->m_Location = std::make_shared<IfcCartesianPoint>();
        for (int i = 0; i < 3; ++i)
            nueva->m_Location->m_Coordinates.push_back(std::make_shared<IfcLengthMeasure>(desplazado[i]));
        return nueva;
    };
    for (const auto& [id, entidad] : modelo->getMapIfcEntities()) {
        if (claseDe(entidad) != kParcheable)
            continue;
        if (auto perfil = dynamic_pointer_cast<IfcArbitraryClosedProfileDef>(entidad)) {
            reemplazarCurvaIndexada(perfil->m_OuterCurve, segmentos);
            if (auto conHuecos = dynamic_pointer_cast<IfcArbitraryProfileDefWithVoids>(perfil))
                for (auto& interior : conHuecos->m_InnerCurves)
                    reemplazarCurvaIndexada(interior, segmentos);
        } else if (auto abierto = dynamic_pointer_cast<IfcArbitraryOpenProfileDef>(entidad)) {
            reemplazarCurvaIndexada(abierto->m_Curve, segmentos);
        } else if (auto semiespacio = dynamic_pointer_cast<IfcPolygonalBoundedHalfSpace>(entidad)) {
            reemplazarCurvaIndexada(semiespacio->m_PolygonalBoundary, segmentos);
        } else if (auto disco = dynamic_pointer_cast<IfcSweptDiskSolid>(entidad)) {
            reemplazarCurvaIndexada(disco->m_Directrix, segmentos);
        } else if (auto bloque = dynamic_pointer_cast<IfcBlock>(entidad)) {
            if (bloque->m_XLength && bloque->m_YLength && bloque->m_ZLength)
                bloque->m_Position = nuevaPosicion(bloque->m_Position, bloque->m_XLength->m_value / 2,
                                                   bloque->m_YLength->m_value / 2, bloque->m_ZLength->m_value / 2);
        } else if (auto piramide = dynamic_pointer_cast<IfcRectangularPyramid>(entidad)) {
            if (piramide->m_XLength && piramide->m_YLength && piramide->m_Height) {
                piramide->m_Position = nuevaPosicion(piramide->m_Position, piramide->m_XLength->m_value / 2,
                                                     piramide->m_YLength->m_value / 2, 0.0);
                piramide->m_Height = std::make_shared<IfcPositiveLengthMeasure>(piramide->m_Height->m_value * 2);
            }
        } else if (auto esfera = dynamic_pointer_cast<IfcSphere>(entidad)) {
            if (esfera->m_Radius)
                esfera->m_Radius = std::make_shared<IfcPositiveLengthMeasure>(esfera->m_Radius->m_value * factor);
        }
    }
}

bool GeometriaIFC::Impl::convertirRepresentaciones(const shared_ptr<IfcProduct>& producto, ProductShapeData& datos)
{
    bool alguna = false;
    for (const auto& rep : representacionesCuerpo(producto)) {
        auto rd = std::make_shared<RepresentationData>();
        try {
            conversor->convertIfcRepresentation(rep, rd);
        } catch (const OutOfMemoryException&) {
            throw;
        } catch (...) {
            // keep what was converted before the failing item
        }
        datos.m_vec_representations.push_back(rd);
        alguna = true;
    }
    return alguna;
}

namespace {

// Relative change of volume (cubic metres for smaller solids) within which a cut took nothing away.
constexpr double kVolumenSinCambio = 1e-9;

}  // namespace

void GeometriaIFC::Impl::restarAberturas(const shared_ptr<IfcElement>& anfitrion, ProductShapeData& datos,
                                         const Matriz& colocacion)
{
    if (anfitrion->m_HasOpenings_inverse.empty())
        return;
    const Matriz inversa = inversaRigida(colocacion);
    std::vector<shared_ptr<MeshSet>> huecos;
    for (const auto& relDebil : anfitrion->m_HasOpenings_inverse) {
        shared_ptr<IfcRelVoidsElement> rel = relDebil.lock();
        if (!rel || !rel->m_RelatedOpeningElement || !rel->m_RelatedOpeningElement->m_Representation ||
            omitidos.count(rel->m_RelatedOpeningElement->m_entity_id))
            continue;
        const auto& abertura = rel->m_RelatedOpeningElement;
        // The opening's meshes are brought into the host's local frame, where the host's meshes live.
        const Matriz relativa = inversa * matrizColocacion(abertura->m_ObjectPlacement);
        ProductShapeData datosAbertura(abertura->m_entity_id);
        convertirRepresentaciones(abertura, datosAbertura);
        for (const auto& rd : datosAbertura.m_vec_representations)
            for (const auto& item : rd->m_vec_item_data) {
                if (!item || item->m_meshsets.empty())
                    continue;
                item->applyTransformToItem(relativa);
                for (const auto& ms : item->m_meshsets)
                    if (ms && !ms->meshes.empty())
                        huecos.push_back(ms);
            }
    }
    if (huecos.empty())
        return;
    for (const auto& rd : datos.m_vec_representations)
        for (const auto& item : rd->m_vec_item_data) {
            if (!item)
                continue;
            for (auto& ms : item->m_meshsets) {
                if (!ms || !CSG_Adapter::checkMeshSetValidAndClosed(ms, conversor.get(), anfitrion.get()))
                    continue;
                for (auto& hueco : huecos) {
                    const double volumen = CSG_Adapter::getVolume(ms.get());
                    shared_ptr<MeshSet> resultado;
                    try {
                        CSG_Adapter::computeCSG(ms, hueco, carve::csg::CSG::A_MINUS_B, resultado, conversor.get(),
                                                anfitrion.get());
                    } catch (const OutOfMemoryException&) {
                        throw;
                    } catch (...) {
                        resultado.reset();
                    }
                    // A cut must take volume away. One that takes none (the opening's faces lie on a
                    // hole the exporter already cut) or adds some (the kernel lost faces of the host)
                    // leaves the host as it was, as a cut the kernel fails at does: its result only
                    // had faces inside the host, or holes in its surface.
                    if (resultado && CSG_Adapter::getVolume(resultado.get()) <
                                         volumen - kVolumenSinCambio * std::max(1.0, std::abs(volumen)))
                        ms = resultado;
                }
            }
        }
}

namespace {

// A total order on doubles (NaN and the zeros included) that sort can rely on.
std::uint64_t claveOrden(double valor)
{
    std::uint64_t bits;
    std::memcpy(&bits, &valor, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The coordinate as the OBJ file writes it (10 significant digits, no "-0" or denormal noise).
double comoSeEscribe(double valor)
{
    if (!std::isfinite(valor))
        return valor;  // left for the caller to refuse
    if (std::abs(valor) < 1e-12)
        return 0.0;
    char texto[40];
    const auto r = std::to_chars(texto, texto + sizeof texto, valor, std::chars_format::general, 10);
    double leido = valor;
    std::from_chars(texto, r.ptr, leido);
    return leido;
}

}  // namespace

// The kernel hands its vertices and faces back in an order that follows memory addresses (it
// gathers them in hash maps keyed by pointers), starts each face at any of its edges, splits a
// boolean result's planes into faces differently run after run, and its coordinates differ in
// the last bits with that order. The mesh is built from the coordinates as they are written:
// vertices by those coordinates (vertices written alike merged), triangles from the region each
// plane's faces cover (triangularSuperficie), only the vertices the triangles use. So a product
// gives the same text run after run and in whichever worker converts it.
void GeometriaIFC::Impl::agregarMeshSet(const MeshSet& ms, const Matriz& colocacion, MallaElemento& malla)
{
    const std::size_t nv = ms.vertex_storage.size();
    if (nv == 0)
        return;
    Buferes& b = buferes;
    b.orden.resize(nv);
    b.claves.resize(nv);
    b.escritos.resize(nv);
    for (std::size_t i = 0; i < nv; ++i) {
        b.orden[i] = static_cast<std::uint32_t>(i);
        const vec3 p = colocacion * ms.vertex_storage[i].v;
        vec3& e = b.escritos[i];
        e = carve::geom::VECTOR(comoSeEscribe(p.x), comoSeEscribe(p.y), comoSeEscribe(p.z));
        b.claves[i] = {claveOrden(e.x), claveOrden(e.y), claveOrden(e.z)};
    }
    std::sort(b.orden.begin(), b.orden.end(), [&](std::uint32_t x, std::uint32_t y) { return b.claves[x] < b.claves[y]; });
    b.canonico.resize(nv);
    b.xyz.clear();
    for (std::size_t k = 0; k < nv; ++k) {
        const std::uint32_t i = b.orden[k];
        if (k == 0 || b.claves[i] != b.claves[b.orden[k - 1]]) {
            const vec3& p = b.escritos[i];
            b.xyz.insert(b.xyz.end(), {p.x, p.y, p.z});
        }
        b.canonico[i] = static_cast<std::uint32_t>(b.xyz.size() / 3 - 1);
    }
    for (const double v : b.xyz)
        if (!(std::abs(v) <= std::numeric_limits<float>::max())) {
            malla.lejos = true;
            return;
        }

    b.caras.vaciar();
    const auto* primero = ms.vertex_storage.data();
    for (const auto* mesh : ms.meshes)
        for (const auto* cara : mesh->faces) {
            const carve::mesh::Edge<3>* e = cara->edge;
            if (!e)
                continue;
            const std::size_t inicio = b.caras.esquinas.size();
            bool valida = true;
            do {
                const std::ptrdiff_t i = e->vert - primero;
                if (i < 0 || static_cast<std::size_t>(i) >= nv) {
                    valida = false;
                    break;
                }
                b.caras.esquinas.push_back(b.canonico[static_cast<std::size_t>(i)]);
                e = e->next;
            } while (e && e != cara->edge && b.caras.esquinas.size() - inicio <= cara->n_edges);
            if (!valida || b.caras.esquinas.size() - inicio != cara->n_edges) {
                b.caras.esquinas.resize(inicio);
                continue;
            }
            b.caras.inicios.push_back(static_cast<std::uint32_t>(b.caras.esquinas.size()));
        }
    triangularSuperficie(b.xyz, b.caras, b.triangulos);

    // only the vertices the triangles use, in the order of their coordinates
    const std::size_t nEscritos = b.xyz.size() / 3;
    b.numero.assign(nEscritos, UINT32_MAX);
    for (const std::uint32_t v : b.triangulos.vertices)
        b.numero[v] = 0;
    std::uint32_t siguiente = static_cast<std::uint32_t>(malla.vertices.size() / 3);
    for (std::size_t k = 0; k < nEscritos; ++k)
        if (b.numero[k] == 0) {
            b.numero[k] = siguiente++;
            malla.vertices.insert(malla.vertices.end(), {b.xyz[3 * k], b.xyz[3 * k + 1], b.xyz[3 * k + 2]});
        }
    for (const std::uint32_t v : b.triangulos.vertices)
        malla.triangulos.push_back(b.numero[v]);
    malla.normales.insert(malla.normales.end(), b.triangulos.normales.begin(), b.triangulos.normales.end());
}

void GeometriaIFC::Impl::triangular(const ProductShapeData& datos, const Matriz& colocacion, MallaElemento& malla)
{
    for (const auto& rd : datos.m_vec_representations)
        for (const auto& item : rd->m_vec_item_data) {
            if (!item)
                continue;
            for (const auto& ms : item->m_meshsets)
                if (ms)
                    agregarMeshSet(*ms, colocacion, malla);
            for (const auto& ms : item->m_meshsets_open)
                if (ms)
                    agregarMeshSet(*ms, colocacion, malla);
        }
}

namespace {

// Entities an attribute value holds (lists flattened), and how many; missing entries count none.
// Values that are neither (labels, numbers, enumerations) are most of them: their types are
// told apart once, not cast value by value. Keyed by the type's descriptor (hashing its name
// cost more than the walk itself); an entity type keeps where its entity part lies, fixed for a
// most-derived type.
int entidadesDe(const shared_ptr<BuildingObject>& valor, std::vector<BuildingEntity*>* destino)
{
    if (!valor)
        return 0;
    enum : std::uint8_t { kValor, kEntidad, kLista };
    struct Tipo {
        std::uint8_t clase = kValor;
        std::ptrdiff_t aEntidad = 0;  // bytes from the object to its BuildingEntity part
    };
    static std::unordered_map<const std::type_info*, Tipo> tipos;
    BuildingObject* objeto = valor.get();
    const auto [tipo, nuevo] = tipos.try_emplace(&typeid(*objeto));
    if (nuevo) {
        if (auto* entidad = dynamic_cast<BuildingEntity*>(objeto)) {
            tipo->second.clase = kEntidad;
            tipo->second.aEntidad = reinterpret_cast<char*>(entidad) - reinterpret_cast<char*>(objeto);
        } else if (dynamic_cast<AttributeObjectVector*>(objeto)) {
            tipo->second.clase = kLista;
        }
    }
    if (tipo->second.clase == kEntidad) {
        if (destino)
            destino->push_back(reinterpret_cast<BuildingEntity*>(reinterpret_cast<char*>(objeto) + tipo->second.aEntidad));
        return 1;
    }
    int n = 0;
    if (tipo->second.clase == kLista)
        for (const auto& v : static_cast<AttributeObjectVector*>(objeto)->m_vec)
            n += entidadesDe(v, destino);
    return n;
}

// A small state per entity in one open-addressed table: a node map's scattered nodes (a cache
// miss or two per look-up, an allocation per entity) cost more than the rest of the walk.
class EstadoPorEntidad {
public:
    explicit EstadoPorEntidad(std::size_t esperadas)
    {
        std::size_t capacidad = 64;
        while (capacidad < 2 * esperadas)
            capacidad *= 2;
        celdas_.assign(capacidad, Celda{});
        ajustarDesplazamiento();
    }

    // The entity's state, 0 the first time it is asked for. Valid until the next call.
    std::uint8_t& operator[](const BuildingEntity* entidad)
    {
        if (2 * (usadas_ + 1) > celdas_.size())
            crecer();
        Celda& c = celdas_[lugar(entidad)];
        if (!c.entidad) {
            c.entidad = entidad;
            ++usadas_;
        }
        return c.estado;
    }

private:
    struct Celda {
        const BuildingEntity* entidad = nullptr;
        std::uint8_t estado = 0;
    };

    std::size_t lugar(const BuildingEntity* entidad) const
    {
        const std::size_t mascara = celdas_.size() - 1;
        // the product's high bits: the low ones only mix the address's low bits
        std::size_t i = static_cast<std::size_t>(
            (static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(entidad)) * UINT64_C(0x9E3779B97F4A7C15)) >>
            desplazamiento_);
        while (celdas_[i].entidad && celdas_[i].entidad != entidad)
            i = (i + 1) & mascara;
        return i;
    }

    void crecer()
    {
        std::vector<Celda> viejas(celdas_.size() * 2);
        viejas.swap(celdas_);
        ajustarDesplazamiento();
        for (const Celda& c : viejas)
            if (c.entidad)
                celdas_[lugar(c.entidad)] = c;
    }

    void ajustarDesplazamiento()
    {
        desplazamiento_ = 64;
        for (std::size_t c = celdas_.size(); c > 1; c /= 2)
            --desplazamiento_;
    }

    std::vector<Celda> celdas_;
    std::size_t usadas_ = 0;
    int desplazamiento_ = 64;
};

}  // namespace

std::vector<ProductoOmitido> GeometriaIFC::revisar(const ReferenciasEnTexto& referencias)
{
    enum : std::uint8_t { kNuevo, kEnCamino, kSano, kCiclo, kReferencia };
    EstadoPorEntidad estado(impl_->modelo->getMapIfcEntities().size());
    // The open entities' children share one list: each frame's run ends where the next frame's starts.
    struct Marco {
        BuildingEntity* entidad;
        std::size_t inicio;  // of its children in hijos
        std::size_t siguiente;
        std::size_t fin;
        std::uint8_t resultado;
    };
    std::vector<BuildingEntity*> hijos;
    std::vector<std::pair<std::string, shared_ptr<BuildingObject>>> atributos;
    std::vector<int> enTexto;

    // Children to follow and the entity's own fault: a reference the text writes that IFC++ holds no object for.
    auto abrir = [&](BuildingEntity* entidad, bool producto) {
        Marco m{entidad, hijos.size(), hijos.size(), 0, kSano};
        const bool escrito = referencias(entidad->m_entity_id, enTexto);
        // A record that writes no reference holds no entity (points, directions: most records):
        // nothing to follow and nothing unresolved, so IFC++'s attribute list is not built.
        if (escrito && std::all_of(enTexto.begin(), enTexto.end(), [](int n) { return n == 0; })) {
            m.fin = hijos.size();
            return m;
        }
        atributos.clear();
        entidad->getAttributes(atributos);
        const bool comparable = escrito && enTexto.size() == atributos.size();
        for (std::size_t i = 0; i < atributos.size(); ++i) {
            const bool seguir = !producto || atributos[i].first == "ObjectPlacement" ||
                                atributos[i].first == "Representation";
            const int leidas = entidadesDe(atributos[i].second, seguir ? &hijos : nullptr);
            if (comparable && leidas < enTexto[i])
                m.resultado = kReferencia;
        }
        m.fin = hijos.size();
        return m;
    };

    // Iterative depth-first walk: a chain of a million mapped items must not overflow our stack either.
    std::vector<Marco> pila;
    auto revisarDesde = [&](BuildingEntity* raiz) -> std::uint8_t {
        pila.clear();
        hijos.clear();
        pila.push_back(abrir(raiz, true));
        estado[raiz] = kEnCamino;
        std::uint8_t final = kSano;
        while (!pila.empty()) {
            Marco& m = pila.back();
            if (m.siguiente < m.fin) {
                BuildingEntity* hijo = hijos[m.siguiente++];
                std::uint8_t& visto = estado[hijo];
                if (visto == kNuevo) {
                    visto = kEnCamino;
                    pila.push_back(abrir(hijo, false));
                } else if (visto == kEnCamino) {
                    m.resultado = kCiclo;
                } else if (visto != kSano && m.resultado == kSano) {
                    m.resultado = visto;
                }
                continue;
            }
            const std::uint8_t resultado = m.resultado;
            estado[m.entidad] = resultado;
            hijos.resize(m.inicio);
            pila.pop_back();
            if (pila.empty())
                final = resultado;
            else if (resultado != kSano && (pila.back().resultado == kSano))
                pila.back().resultado = resultado;
        }
        return final;
    };

    std::vector<ProductoOmitido> omitidos;
    for (const auto& [id, entidad] : impl_->modelo->getMapIfcEntities()) {
        const Impl::Clase clase = impl_->claseDe(entidad);
        if (clase != Impl::kProducto && clase != Impl::kProductoSinCuerpo)
            continue;
        auto producto = dynamic_pointer_cast<IfcProduct>(entidad);
        const std::uint8_t visto = estado[producto.get()];  // reached before through another product's graph
        const std::uint8_t r = visto != kNuevo ? visto : revisarDesde(producto.get());
        if (r == kSano)
            continue;
        impl_->omitidos.insert(id);
        omitidos.push_back({id, r == kCiclo ? "su geometría se contiene a sí misma (referencia circular)"
                                            : "su geometría usa una referencia a un registro que no existe "
                                              "o no es del tipo esperado"});
    }
    return omitidos;
}

std::size_t GeometriaIFC::preparar(const SegmentosIndexados& segmentos)
{
    Impl& d = *impl_;
    shared_ptr<UnitConverter>& unidades = d.modelo->getUnitConverter();
    if (!unidades) {
        unidades = std::make_shared<UnitConverter>();
    }
    d.ajustes = std::make_shared<GeometrySettings>();
    // Enough segments that a round column keeps its area within a fraction of a percent.
    d.ajustes->setNumVerticesPerCircle(32);
    d.ajustes->setNumVerticesPerCircleGivenRadius([](double radio) {
        if (!(radio > 0))
            return 32;
        const double paso = std::acos(std::max(-1.0, 1.0 - 0.001 / radio));
        const int n = paso > 0 ? static_cast<int>(std::ceil(M_PI / paso)) : 128;
        return std::clamp(n, 32, 128);
    });
    d.conversor = std::make_shared<RepresentationConverter>(d.ajustes, unidades);
    d.conversor->setMessageCallBack(this, ignorarMensaje);
    // Coordinates are metres whatever the file's unit, so one tolerance fits all.
    carve::setEpsilon(1.5e-05);

    d.prepararModelo(segmentos);

    d.productos.clear();
    for (const auto& [id, entidad] : d.modelo->getMapIfcEntities()) {
        if (d.claseDe(entidad) != Impl::kProducto || d.omitidos.count(id))
            continue;
        auto producto = dynamic_pointer_cast<IfcProduct>(entidad);
        if (!producto || !producto->m_Representation)
            continue;
        d.productos.push_back(producto);
    }
    return d.productos.size();
}

int GeometriaIFC::idProducto(std::size_t indice) const
{
    return impl_->productos.at(indice)->m_entity_id;
}

bool GeometriaIFC::convertirProducto(std::size_t indice, MallaElemento& malla)
{
    Impl& d = *impl_;
    const shared_ptr<IfcProduct>& producto = d.productos.at(indice);
    malla.id = producto->m_entity_id;
    malla.vertices.clear();
    malla.normales.clear();
    malla.triangulos.clear();
    malla.lejos = false;
    // The kernel starts every product from the same state: the same addresses for what it
    // allocates, the same random rays for its inside tests, no profiles cached from another
    // product. What the previous product cached lies in the memory about to be reused.
    d.conversor->clearCache();
    reiniciarMemoriaKernel();
    ::srandom(1);
    EnMemoriaKernel memoria;
    try {
        ProductShapeData datos(malla.id);
        if (!d.convertirRepresentaciones(producto, datos))
            return false;
        const Matriz colocacion = d.matrizColocacion(producto->m_ObjectPlacement);
        if (auto elemento = dynamic_pointer_cast<IfcElement>(producto)) {
            d.restarAberturas(elemento, datos, colocacion);
            // parts of an aggregate are cut by the openings of the whole as well
            for (const auto& agregadoDebil : elemento->m_Decomposes_inverse) {
                auto agregado = agregadoDebil.lock();
                auto todo = agregado ? dynamic_pointer_cast<IfcElement>(agregado->m_RelatingObject) : nullptr;
                if (todo)
                    d.restarAberturas(todo, datos, colocacion);
            }
        }
        FueraDeMemoriaKernel fuera;  // the mesh outlives the product
        d.triangular(datos, colocacion, malla);
    } catch (const OutOfMemoryException&) {
        throw;
    } catch (...) {
        // an element whose geometry fails is left out rather than failing the whole file
        malla.triangulos.clear();
    }
    return !malla.triangulos.empty() || malla.lejos;
}

}  // namespace quelva::ifcconvert
