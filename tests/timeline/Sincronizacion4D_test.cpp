#include "timeline/Sincronizacion4D.h"

#include "support/Paquetes.h"

#include "scene/Geometry.h"

#include <gtest/gtest.h>

using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::RaicesEscena;
using quelva::Sincronizacion4D;
using quelva::TimeLinerConfig;
using tl::paquete;
using tl::utc;

namespace {

const scene::Color rojo{1, 0, 0, 1};

scene::NodePtr elemento(const std::string& nombre, scene::Color color = rojo)
{
    const scene::Vec3f puntos[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::int32_t indices[] = {0, 1, 2};
    scene::NodePtr n = scene::Node::make(scene::makeTriangleGeometry(puntos, indices));
    n->geometry->materials = {scene::makeMaterial()};
    n->geometry->materials[0]->diffuse.contents = color;
    n->name = nombre;
    return n;
}

scene::Color diffuse(const scene::NodePtr& n)
{
    return *n->geometry->firstMaterial()->diffuse.color();
}

scene::Color emision(const scene::NodePtr& n)
{
    return *n->geometry->firstMaterial()->emission.color();
}

// A scene root holding one discipline root with one model of elements.
struct Escena {
    scene::NodePtr raiz = scene::Node::make();
    scene::NodePtr especialidad = scene::Node::make();
    scene::NodePtr modelo = scene::Node::make();
    Escena()
    {
        raiz->addChild(especialidad);
        especialidad->addChild(modelo);
    }
    scene::NodePtr agregar(const std::string& nombre, scene::Color color = rojo)
    {
        scene::NodePtr n = elemento(nombre, color);
        modelo->addChild(n);
        return n;
    }
    RaicesEscena conVista() const { return {true, raiz, {especialidad}}; }
    RaicesEscena sinVista() const { return {false, nullptr, {especialidad}}; }
};

PaqueteAWP conElementos(const QString& codigo, QStringList nombres, QDateTime inicio, QDateTime fin)
{
    PaqueteAWP p = paquete(codigo, NivelAWP::iwp, std::nullopt, inicio, fin);
    p.elementosNombre = std::move(nombres);
    return p;
}

}  // namespace

TEST(Sincronizacion4D, StatesByPlannedDatesOnly)
{
    PaqueteAWP p = conElementos("I", {"Muro"}, utc(2025, 6, 1), utc(2025, 6, 11));
    p.fechaInicioReal = utc(2025, 5, 1);
    p.progreso = 1;
    const struct { QDateTime fecha; int estado; } casos[] = {
        {utc(2025, 6, 1).addSecs(-1), 0}, {utc(2025, 6, 1), 1}, {utc(2025, 6, 11), 1}, {utc(2025, 6, 11).addSecs(1), 2},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Sincronizacion4D::estado4DElemento("Muro", {p}, c.fecha), c.estado) << c.fecha.toString().toStdString();
    EXPECT_EQ(Sincronizacion4D::estado4DElemento("Otro", {p}, utc(2025, 6, 5)), 2);

    // The first package that names an element decides.
    const PaqueteAWP despues = conElementos("J", {"Muro"}, utc(2025, 7, 1), utc(2025, 7, 11));
    EXPECT_EQ(Sincronizacion4D::estado4DElemento("Muro", {despues, p}, utc(2025, 6, 5)), 0);
    EXPECT_EQ(Sincronizacion4D::estado4DElemento("Muro", {p, despues}, utc(2025, 6, 5)), 1);
}

TEST(Sincronizacion4D, ColoursHidesAndCountsNames)
{
    Escena e;
    const scene::NodePtr muroA = e.agregar("Muro");
    const scene::NodePtr muroB = e.agregar("Muro", {0, 0, 1, 1});  // one name, two nodes
    const scene::NodePtr losa = e.agregar("Losa");
    const scene::NodePtr techo = e.agregar("Techo");
    const scene::NodePtr libre = e.agregar("Libre");
    libre->opacity = 0.4;
    TimeLinerConfig c;
    c.paquetes = {conElementos("A", {"Muro"}, utc(2025, 6, 1), utc(2025, 6, 11)),
                  conElementos("B", {"Losa", "Muro"}, utc(2025, 6, 5), utc(2025, 6, 20)),
                  conElementos("C", {"Techo", "Fantasma"}, utc(2025, 7, 1), utc(2025, 7, 11)),
                  paquete("D", NivelAWP::iwp)};

    Sincronizacion4D s;
    EXPECT_EQ(s.sincronizar(c, 1, utc(2025, 6, 11), e.conVista()), "🔵0 ✅2 ⬜2");
    for (const scene::NodePtr& n : {muroA, muroB, losa}) {
        EXPECT_EQ(n->opacity, Sincronizacion4D::opacidadEnCurso);
        EXPECT_EQ(diffuse(n), Sincronizacion4D::verdeEnCurso());
    }
    EXPECT_EQ(techo->opacity, 0.0);
    EXPECT_EQ(diffuse(techo), rojo);
    EXPECT_EQ(libre->opacity, 0.4);  // no package names it: never touched

    // One second after the end of A the walls are finished, in their own colours.
    EXPECT_EQ(s.sincronizar(c, 1, utc(2025, 6, 11).addSecs(1), e.conVista()), "🔵1 ✅1 ⬜2");
    EXPECT_EQ(muroA->opacity, 1.0);
    EXPECT_EQ(diffuse(muroA), rojo);
    EXPECT_EQ(diffuse(muroB), (scene::Color{0, 0, 1, 1}));

    // Back before everything: all hidden, the green kept while hidden.
    EXPECT_EQ(s.sincronizar(c, 1, utc(2025, 1, 1), e.conVista()), "🔵0 ✅0 ⬜4");
    EXPECT_EQ(losa->opacity, 0.0);
    EXPECT_EQ(diffuse(losa), Sincronizacion4D::verdeEnCurso());

    s.restaurar();
    for (const scene::NodePtr& n : {muroA, losa, techo}) {
        EXPECT_EQ(n->opacity, 1.0);
        EXPECT_EQ(diffuse(n), rojo);
    }
    EXPECT_EQ(libre->opacity, 0.4);
    EXPECT_FALSE(s.colorOriginal(*muroA));
}

TEST(Sincronizacion4D, StatusLines)
{
    Escena e;
    e.agregar("Muro");
    TimeLinerConfig sinElementos;
    sinElementos.paquetes = {paquete("A", NivelAWP::iwp)};
    TimeLinerConfig ajenos;
    ajenos.paquetes = {conElementos("A", {"X", "Y", "X"}, utc(2025, 6, 1), utc(2025, 6, 2)),
                       conElementos("B", {"Y", "Z"}, utc(2025, 6, 1), utc(2025, 6, 2))};
    TimeLinerConfig propios;
    propios.paquetes = {conElementos("A", {"Muro"}, utc(2025, 6, 1), utc(2025, 6, 2))};

    const struct { const char* caso; const TimeLinerConfig* config; RaicesEscena raices; const char* estado; } casos[] = {
        {"sin elementos", &sinElementos, e.conVista(), "⚠ Sin elementos asignados"},
        {"nombres ajenos", &ajenos, e.conVista(), "⚠ Nombres no coinciden (3 buscados)"},
        {"sin vista ni raíces", &propios, {false, nullptr, {}}, "⚠ Vista 3D no disponible"},
        {"sin vista, nombres ajenos", &ajenos, e.sinVista(), "⚠ Vista 3D no disponible"},
        {"sin vista, por las raíces", &propios, e.sinVista(), "🔵1 ✅0 ⬜0"},
        {"vista sin escena, por las raíces", &propios, {true, nullptr, {e.especialidad}}, "🔵1 ✅0 ⬜0"},
    };
    for (const auto& c : casos) {
        Sincronizacion4D s;
        EXPECT_EQ(s.sincronizar(*c.config, 1, utc(2025, 7, 1), c.raices).toStdString(), c.estado) << c.caso;
    }
}

TEST(Sincronizacion4D, FallsBackToDisciplineRootsWhenTheViewMatchesNothing)
{
    Escena e;
    Escena otra;  // the view shows a scene without these elements
    const scene::NodePtr muro = e.agregar("Muro");
    TimeLinerConfig c;
    c.paquetes = {conElementos("A", {"Muro"}, utc(2025, 6, 1), utc(2025, 6, 11))};
    Sincronizacion4D s;
    EXPECT_EQ(s.sincronizar(c, 1, utc(2025, 5, 1), {true, otra.raiz, {e.especialidad}}), "🔵0 ✅0 ⬜1");
    EXPECT_EQ(muro->opacity, 0.0);
}

TEST(Sincronizacion4D, ConfigurationAndSceneChangesAreSeen)
{
    Escena e;
    const scene::NodePtr muro = e.agregar("Muro");
    const scene::NodePtr losa = e.agregar("Losa");
    TimeLinerConfig c;
    c.paquetes = {conElementos("A", {"Muro"}, utc(2025, 6, 1), utc(2025, 6, 11))};
    Sincronizacion4D s;
    s.sincronizar(c, 1, utc(2025, 5, 1), e.conVista());
    EXPECT_EQ(muro->opacity, 0.0);

    // A new version of the configuration: the wall leaves the package, the slab joins.
    c.paquetes[0].elementosNombre = {"Losa"};
    s.sincronizar(c, 2, utc(2025, 5, 1), e.conVista());
    EXPECT_EQ(muro->opacity, 1.0);
    EXPECT_EQ(diffuse(muro), rojo);
    EXPECT_EQ(losa->opacity, 0.0);

    // A node added to the scene is found once the scene is said to have changed.
    const scene::NodePtr nueva = e.agregar("Losa");
    s.escenaCambiada();
    s.sincronizar(c, 2, utc(2025, 5, 1), e.conVista());
    EXPECT_EQ(nueva->opacity, 0.0);
}

TEST(Sincronizacion4D, AFreedNodesAddressIsNotTakenForItsSuccessor)
{
    Escena e;
    TimeLinerConfig c;
    c.paquetes = {conElementos("A", {"Muro"}, utc(2025, 6, 1), utc(2025, 6, 11))};
    Sincronizacion4D s;
    const scene::Node* direccion = nullptr;
    {
        scene::NodePtr viejo = e.agregar("Muro", {0, 1, 0, 1});
        direccion = viejo.get();
        s.sincronizar(c, 1, utc(2025, 6, 5), e.conVista());
        viejo->removeFromParent();
    }
    // The pool hands out freed slots again; whatever address the new node gets, its own colour
    // is what it keeps.
    scene::NodePtr nuevo = e.agregar("Muro", {0, 0, 1, 1});
    s.escenaCambiada();
    s.sincronizar(c, 1, utc(2025, 7, 1), e.conVista());
    EXPECT_EQ(diffuse(nuevo), (scene::Color{0, 0, 1, 1}));
    (void)direccion;
    s.restaurar();
    EXPECT_EQ(diffuse(nuevo), (scene::Color{0, 0, 1, 1}));
}

TEST(Sincronizacion4D, ColoursSetElsewhereBecomeTheElementsOwn)
{
    Escena e;
    const scene::NodePtr enCurso = e.agregar("EnCurso");
    const scene::NodePtr terminado = e.agregar("Terminado");
    TimeLinerConfig c;
    c.paquetes = {conElementos("A", {"EnCurso"}, utc(2025, 6, 1), utc(2025, 6, 30)),
                  conElementos("B", {"Terminado"}, utc(2025, 5, 1), utc(2025, 5, 30))};
    Sincronizacion4D s;
    s.sincronizar(c, 1, utc(2025, 6, 10), e.conVista());

    // A discipline recolour: both get the new colour as their own, and keep their 4D look.
    const scene::Color azul{0, 0, 1, 1};
    for (const scene::NodePtr& n : {enCurso, terminado}) {
        n->geometry->firstMaterial()->diffuse.contents = azul;
        n->opacity = 1.0;
        s.alRecolorear(*n, azul);
    }
    EXPECT_EQ(diffuse(enCurso), Sincronizacion4D::verdeEnCurso());
    EXPECT_EQ(enCurso->opacity, Sincronizacion4D::opacidadEnCurso);
    EXPECT_EQ(diffuse(terminado), azul);

    // The selection gives back the green it found: not the element's colour.
    enCurso->geometry->firstMaterial()->diffuse.contents = Sincronizacion4D::verdeEnCurso();
    s.alRecolorear(*enCurso, Sincronizacion4D::verdeEnCurso());
    s.sincronizar(c, 1, utc(2025, 7, 10), e.conVista());
    EXPECT_EQ(diffuse(enCurso), azul);

    s.restaurar();
    EXPECT_EQ(diffuse(enCurso), azul);
    EXPECT_EQ(diffuse(terminado), azul);

    // Untouched nodes are no business of the timeline.
    const scene::NodePtr ajeno = e.agregar("Ajeno");
    s.alRecolorear(*ajeno, azul);
    EXPECT_FALSE(s.colorOriginal(*ajeno));
}

TEST(Sincronizacion4D, HighlightAddsEmissionAndIsRemoved)
{
    Escena e;
    const scene::NodePtr muro = e.agregar("Muro");
    const scene::NodePtr losa = e.agregar("Losa");
    Sincronizacion4D s;
    s.destacar({"Muro"}, {e.especialidad});
    EXPECT_EQ(emision(muro), Sincronizacion4D::colorDestacado());
    EXPECT_EQ(emision(losa), scene::Color::black());
    EXPECT_EQ(diffuse(muro), rojo);
    s.destacar({"Losa"}, {e.especialidad});
    EXPECT_EQ(emision(muro), scene::Color::black());
    EXPECT_EQ(emision(losa), Sincronizacion4D::colorDestacado());
    s.restaurar();
    EXPECT_EQ(emision(losa), scene::Color::black());
    EXPECT_EQ(s.nodosDestacados(), 0u);
}

TEST(Sincronizacion4D, NamesOfAPackageFollowItsLevel)
{
    TimeLinerConfig c;
    auto con = [](PaqueteAWP p, QStringList n) {
        p.elementosNombre = std::move(n);
        return p;
    };
    c.paquetes = {con(paquete("A", NivelAWP::cwa), {"a"}),
                  con(paquete("A-P", NivelAWP::cwp, "A"), {"p"}),
                  con(paquete("A-P-I", NivelAWP::iwp, "A-P"), {"pi"}),
                  con(paquete("A-I", NivelAWP::iwp, "A"), {"i"}),
                  con(paquete("A-I-W", NivelAWP::pwp, "A-I"), {"w"})};
    EXPECT_EQ(quelva::nombresDestacado(c, c.paquetes[0]), (std::set<QString>{"a", "pi", "i"}));
    EXPECT_EQ(quelva::nombresFicha(c, c.paquetes[0]), (std::set<QString>{"a", "p", "pi", "i"}));
    EXPECT_EQ(quelva::nombresDestacado(c, c.paquetes[1]), (std::set<QString>{"p", "pi"}));
    EXPECT_EQ(quelva::nombresFicha(c, c.paquetes[1]), (std::set<QString>{"p", "pi"}));
    EXPECT_EQ(quelva::nombresDestacado(c, c.paquetes[3]), (std::set<QString>{"i"}));
}

TEST(Sincronizacion4D, IsolationForThePictureIsUndone)
{
    Escena e;
    const scene::NodePtr muro = e.agregar("Muro");
    const scene::NodePtr losa = e.agregar("Losa");
    losa->opacity = 0.65;
    const auto guardadas = quelva::aislarNombres(*e.raiz, {"Muro"});
    EXPECT_EQ(guardadas.size(), 2u);  // containers without geometry are left alone
    EXPECT_EQ(muro->opacity, 1.0);
    EXPECT_EQ(losa->opacity, 0.0);
    EXPECT_EQ(e.modelo->opacity, 1.0);
    quelva::devolverOpacidades(guardadas);
    EXPECT_EQ(losa->opacity, 0.65);
}
