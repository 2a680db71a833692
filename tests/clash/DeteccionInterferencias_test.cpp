// The clash search on plain boxes, the collection from the scene and the preparation of a run.

#include "clash/ControladorInterferencias.h"
#include "clash/DeteccionInterferencias.h"
#include "platform/Queues.h"
#include "scene/Primitives.h"
#include "support/Esperar.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace quelva;
using scene::Vec3;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

NodoBB caja(const QString& key, const QString& nombre, Vec3 min, Vec3 max)
{
    NodoBB n;
    n.node = scene::Node::make();
    n.key = key;
    n.nombre = nombre;
    n.bbMin = min;
    n.bbMax = max;
    return n;
}

const std::set<QString> kArqEst{QStringLiteral("ARQ|EST")};

std::vector<Interferencia> buscar(const std::vector<NodoBB>& nodos, double tol = 0.02,
                                  const QSet<QString>& omitidos = {})
{
    return buscarInterferencias(nodos, kArqEst, omitidos, tol);
}

void expectVec(const Vec3& v, const Vec3& esperado, double margen = 1e-12)
{
    EXPECT_NEAR(v.x, esperado.x, margen);
    EXPECT_NEAR(v.y, esperado.y, margen);
    EXPECT_NEAR(v.z, esperado.z, margen);
}

// An element node whose world box is (min, max), under `padre`.
scene::NodePtr elemento(const scene::NodePtr& padre, const char* nombre, Vec3 min, Vec3 max)
{
    const Vec3 t = max - min;
    auto n = scene::Node::make(scene::makeBox(t.x, t.y, t.z));
    if (nombre)
        n->name = nombre;
    n->position = (min + max) * 0.5;
    padre->addChild(n);
    return n;
}

}  // namespace

TEST(BuscarInterferencias, BoxPairsAgainstTheTolerance)
{
    const struct {
        const char* caso;
        Vec3 minB, maxB;
        double tol;
        bool choca;
    } casos[] = {
        {"overlap equal to the tolerance", {0.875, 0, 0}, {2, 1, 1}, 0.125, false},
        {"overlap 0.03 at 0.02", {0.97, 0.97, 0.97}, {2, 2, 2}, 0.02, true},
        {"touching faces", {1, 0, 0}, {2, 1, 1}, 0.0, false},
        {"flat box inside", {0.2, 0.2, 0.5}, {0.8, 0.8, 0.5}, 0.001, false},
        {"apart", {3, 3, 3}, {4, 4, 4}, 0.02, false},
        {"NaN corner", {0.2, kNaN, 0.2}, {0.8, 0.8, 0.8}, 0.02, false},
        {"infinite box", {-kInf, -kInf, -kInf}, {kInf, kInf, kInf}, 0.02, false},
        {"half-infinite box", {0.2, 0.2, 0.2}, {kInf, 0.8, 0.8}, 0.02, false},
    };
    for (const auto& c : casos) {
        const std::vector<NodoBB> nodos{caja("ARQ", "A", {0, 0, 0}, {1, 1, 1}), caja("EST", "B", c.minB, c.maxB)};
        EXPECT_EQ(buscar(nodos, c.tol).size(), c.choca ? 1u : 0u) << c.caso;
        EXPECT_EQ(buscarInterferenciasTodosLosPares(nodos, kArqEst, {}, c.tol).size(), c.choca ? 1u : 0u) << c.caso;
    }
}

TEST(BuscarInterferencias, ViewpointAndSizeOfAClash)
{
    const struct {
        Vec3 minA, maxA, minB, maxB;
        Vec3 centro;
        double radio;
        Vec3 posicion;
    } casos[] = {
        // Two unit cubes overlapping by half: d = 1.8.
        {{0, 0, 0}, {1, 1, 1}, {0.5, 0.5, 0.5}, {1.5, 1.5, 1.5}, {0.75, 0.75, 0.75}, 1.0, {2.55, 1.83, 2.55}},
        // Small boxes: radius at least 0.5, d = 0.9.
        {{0, 0, 0}, {0.2, 0.2, 0.2}, {0.1, 0.1, 0.1}, {0.3, 0.3, 0.3}, {0.15, 0.15, 0.15}, 0.5, {1.05, 0.69, 1.05}},
        // The largest extent of either box.
        {{0, 0, 0}, {6, 0.3, 0.3}, {2, 0, 0}, {2.2, 0.2, 4}, {2.1, 0.1, 0.15}, 6.0, {12.9, 6.58, 10.95}},
    };
    for (const auto& c : casos) {
        const auto r = buscar({caja("ARQ", "A", c.minA, c.maxA), caja("EST", "B", c.minB, c.maxB)});
        ASSERT_EQ(r.size(), 1u);
        expectVec(r[0].viewpointTarget, c.centro);
        EXPECT_DOUBLE_EQ(r[0].radio, c.radio);
        expectVec(r[0].viewpointPos, c.posicion);
        EXPECT_EQ(r[0].estado, EstadoClash::abierto);
        EXPECT_EQ(r[0].especialidadA, "ARQ");
        EXPECT_EQ(r[0].nombreB, "B");
    }
}

TEST(BuscarInterferencias, DisciplinesPairsAndSkippedNames)
{
    const std::vector<NodoBB> nodos{
        caja("ARQ", "Muro", {0, 0, 0}, {1, 1, 1}),  caja("ARQ", "Losa", {0, 0, 0}, {1, 1, 1}),
        caja("EST", "Viga", {0, 0, 0}, {1, 1, 1}),  caja("MEP", "Tubo", {0, 0, 0}, {1, 1, 1}),
        caja("EST", "Viga", {0.5, 0, 0}, {1, 1, 1}),
    };
    // One discipline pair: never two elements of one discipline, each node pair once, A from ARQ.
    auto r = buscar(nodos);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].nodoA, nodos[0].node);
    EXPECT_EQ(r[0].nodoB, nodos[2].node);
    EXPECT_EQ(r[1].nodoB, nodos[4].node);
    EXPECT_EQ(r[2].nodoA, nodos[1].node);

    // The skip set drops every node pair with those names, whichever side they are on.
    r = buscar(nodos, 0.02, {clavePar("Viga", "Muro")});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].nombreA, "Losa");

    // Inactive pairs are not tested; with all three, discipline order follows the list.
    r = buscarInterferencias(nodos, {clavePar("EST", "MEP"), clavePar("ARQ", "MEP")}, {}, 0.02);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].especialidadA, "ARQ");
    EXPECT_EQ(r[0].especialidadB, "MEP");
    EXPECT_EQ(r[2].especialidadA, "EST");
    EXPECT_EQ(r[2].especialidadB, "MEP");

    EXPECT_TRUE(buscarInterferencias({nodos[0], nodos[1]}, kArqEst, {}, 0.02).empty());
}

TEST(BuscarInterferencias, IndexGivesTheAllPairsListOnRandomBuildings)
{
    std::mt19937 gen(20261210);
    for (int ronda = 0; ronda < 8; ++ronda) {
        std::uniform_real_distribution<double> pos(0, ronda % 3 == 0 ? 5 : 40);
        std::uniform_real_distribution<double> largo(0.01, ronda % 2 ? 8 : 1.5);
        std::uniform_int_distribution<int> disciplina(0, 2);
        std::uniform_int_distribution<int> nombre(0, 30);
        std::vector<NodoBB> nodos;
        const int n = 200 + ronda * 120;
        for (int k = 0; k < n; ++k) {
            const Vec3 min{pos(gen), pos(gen), pos(gen)};
            Vec3 max = min + Vec3{largo(gen), largo(gen), largo(gen)};
            if (k % 97 == 0)
                max.y = min.y;  // flat
            if (k % 211 == 0)
                max.z = kNaN;
            static const char* claves[] = {"ARQ", "EST", "MEP"};
            nodos.push_back(caja(claves[disciplina(gen)], QString::number(nombre(gen)), min, max));
        }
        const std::set<QString> pares{clavePar("ARQ", "EST"), clavePar("EST", "MEP"), clavePar("ARQ", "MEP")};
        const QSet<QString> omitidos = ronda % 2 ? QSet<QString>{clavePar("1", "2"), clavePar("3", "3")} : QSet<QString>{};
        const double tol = ronda % 4 == 0 ? 0.0 : 0.02 * ronda;
        const auto rapido = buscarInterferencias(nodos, pares, omitidos, tol);
        const auto referencia = buscarInterferenciasTodosLosPares(nodos, pares, omitidos, tol);
        ASSERT_EQ(rapido.size(), referencia.size()) << "ronda " << ronda;
        EXPECT_GT(referencia.size(), 0u);
        for (size_t k = 0; k < rapido.size(); ++k) {
            ASSERT_EQ(rapido[k].nodoA, referencia[k].nodoA) << "ronda " << ronda << " fila " << k;
            ASSERT_EQ(rapido[k].nodoB, referencia[k].nodoB) << "ronda " << ronda << " fila " << k;
            ASSERT_EQ(rapido[k].viewpointPos, referencia[k].viewpointPos);
            ASSERT_EQ(rapido[k].radio, referencia[k].radio);
        }
    }
}

TEST(RecoleccionInterferencias, WorldBoxesOfShownDisciplines)
{
    std::map<QString, EspecialidadBIM> esp;
    for (const char* k : {"ARQ", "EST", "MEP"}) {
        esp[k].nombre = k;
        esp[k].nodoRaiz = scene::Node::make();
    }
    esp["MEP"].isVisible = false;
    esp["SAN"].nombre = "Sanitaria";  // no root node

    // ARQ: a hidden model inside a shown discipline, and a model moved 10 m along X and turned.
    auto oculto = scene::Node::make();
    oculto->hidden = true;
    esp["ARQ"].nodoRaiz->addChild(oculto);
    elemento(oculto, "Muro", {0, 0, 0}, {1, 1, 1});
    auto movido = scene::Node::make();
    movido->position = {10, 0, 0};
    movido->orientation = scene::Quat::fromAxisAngle({0, 0, 1}, scene::kPi / 2);
    esp["ARQ"].nodoRaiz->addChild(movido);
    elemento(movido, "Losa", {0, 0, 0}, {2, 1, 0.2});
    elemento(movido, nullptr, {0, 0, 0}, {0, 0, 0});  // a point: left out
    elemento(esp["EST"].nodoRaiz, nullptr, {0, 0, 0}, {1, 1, 0});  // flat, unnamed: kept
    elemento(esp["MEP"].nodoRaiz, "Tubo", {0, 0, 0}, {1, 1, 1});

    ControladorInterferencias::Servicios s;
    s.especialidades = [&]() -> const auto& { return esp; };
    EstadoInterferencias estado;
    ControladorInterferencias c(estado, s);
    EXPECT_TRUE(c.especialidadAnalizable("ARQ"));
    EXPECT_FALSE(c.especialidadAnalizable("MEP"));
    EXPECT_FALSE(c.especialidadAnalizable("SAN"));
    EXPECT_FALSE(c.especialidadAnalizable("XYZ"));

    const auto nodos = recolectarNodos(esp, {"ARQ", "EST", "SAN"});
    ASSERT_EQ(nodos.size(), 3u);
    EXPECT_EQ(nodos[0].nombre, "Muro");
    EXPECT_EQ(nodos[1].nombre, "Losa");
    // The turned slab lies along Y, 10 m away, as it is shown.
    // Geometry is single precision.
    expectVec(nodos[1].bbMin, {9, 0, 0}, 1e-6);
    expectVec(nodos[1].bbMax, {10, 2, 0.2}, 1e-6);
    EXPECT_EQ(nodos[2].nombre, "sin nombre");
    EXPECT_EQ(nodos[2].key, "EST");
}

TEST(PreparacionInterferencias, SkipSetFollowsClosedStatuses)
{
    AnalisisInterferencias a;
    const struct { const char* na; const char* nb; EstadoClash e; } filas[] = {
        {"Muro", "Viga", EstadoClash::aprobado}, {"Tubo", "Losa", EstadoClash::resuelto},
        {"Puerta", "Pilar", EstadoClash::enRevision}, {"Ducto", "Viga", EstadoClash::abierto},
        {"sin nombre", "sin nombre", EstadoClash::resuelto},
    };
    for (const auto& f : filas) {
        Interferencia i;
        i.nombreA = f.na;
        i.nombreB = f.nb;
        i.estado = f.e;
        a.interferencias.push_back(i);
    }
    EXPECT_EQ(conjuntoOmitidos({a}, true),
              (QSet<QString>{"Muro|Viga", "Losa|Tubo", "sin nombre|sin nombre"}));
    EXPECT_TRUE(conjuntoOmitidos({a}, false).isEmpty());
    EXPECT_EQ(clavePar("MEP", "ARQ"), "ARQ|MEP");
}

TEST(PreparacionInterferencias, DefaultNameAndEveryPairSelected)
{
    std::map<QString, EspecialidadBIM> esp;
    for (const char* k : {"MEP", "ARQ", "EST", "SAN"}) {
        esp[k].nombre = k;
        esp[k].nodoRaiz = scene::Node::make();
    }
    esp["SAN"].isVisible = false;
    EstadoInterferencias estado;
    estado.toleranciaAnalisis = 0.05;
    estado.excluirResueltos = false;
    ControladorInterferencias::Servicios s;
    s.especialidades = [&]() -> const auto& { return esp; };
    ControladorInterferencias c(estado, s);
    c.prepararAnalisis(QDateTime(QDate(2026, 12, 9), QTime(8, 5)));
    EXPECT_EQ(estado.nombreAnalisis, QString::fromUtf8("Análisis 09/12/26 08:05"));
    const std::vector<std::pair<QString, QString>> pares{{"ARQ", "EST"}, {"ARQ", "MEP"}, {"EST", "MEP"}};
    EXPECT_EQ(estado.paresDisponibles, pares);
    EXPECT_EQ(estado.paresActivos, (std::set<QString>{"ARQ|EST", "ARQ|MEP", "EST|MEP"}));
    EXPECT_TRUE(estado.mostrarConfigAnalisis);
    EXPECT_EQ(estado.toleranciaAnalisis, 0.05);
    EXPECT_FALSE(estado.excluirResueltos);

    // One analysable discipline: no pairs.
    esp.erase("ARQ");
    esp.erase("EST");
    c.prepararAnalisis();
    EXPECT_TRUE(estado.paresDisponibles.empty());
    EXPECT_TRUE(estado.paresActivos.empty());
}

namespace {

bool esperar(const std::function<bool()>& cond)
{
    return testsupport::esperarQue(cond);
}

}  // namespace

TEST(DeteccionInterferencias, RunIsRecordedGlowingAndStaleRunsAreDropped)
{
    std::map<QString, EspecialidadBIM> esp;
    for (const char* k : {"ARQ", "EST"}) {
        esp[k].nombre = k;
        esp[k].nodoRaiz = scene::Node::make();
    }
    auto muro = elemento(esp["ARQ"].nodoRaiz, "Muro", {0, 0, 0}, {1, 1, 1});
    auto viga = elemento(esp["EST"].nodoRaiz, "Viga", {0.5, 0.5, 0.5}, {1.5, 1.5, 1.5});
    int generacion = 1;
    EstadoInterferencias estado;
    ControladorInterferencias::Servicios s;
    s.especialidades = [&]() -> const auto& { return esp; };
    s.generacionProyecto = [&] { return generacion; };
    auto* c = new ControladorInterferencias(estado, s);
    c->prepararAnalisis();

    c->detectarInterferencias(QStringLiteral(" Primero"), 0.02);
    EXPECT_TRUE(estado.detectando);
    c->detectarInterferencias(QStringLiteral("ignorado"), 0.02);  // one run at a time
    ASSERT_TRUE(esperar([&] { return !estado.detectando; }));
    ASSERT_EQ(estado.historialAnalisis.size(), 1u);
    const AnalisisInterferencias& a = estado.historialAnalisis[0];
    EXPECT_EQ(a.nombre, " Primero");
    EXPECT_EQ(a.tolerancia, 0.02);
    ASSERT_EQ(a.interferencias.size(), 1u);
    EXPECT_TRUE(estado.analisisExpandidos.contains(a.id));
    EXPECT_EQ(estado.interferencias.size(), 1u);
    EXPECT_NE(muro->geometry->firstMaterial()->emission.contents, scene::Contents(scene::Color::black()));

    // Resolved: the next run skips the pair; with exclusion off it comes back.
    const QUuid idAnalisis = a.id;
    ASSERT_TRUE(c->cambiarEstadoInterferencia(idAnalisis, a.interferencias[0].id, EstadoClash::resuelto));
    EXPECT_FALSE(c->cambiarEstadoInterferencia(idAnalisis, QUuid::createUuid(), EstadoClash::aprobado));
    EXPECT_EQ(estado.historialAnalisis[0].interferencias[0].estado, EstadoClash::resuelto);
    c->detectarInterferencias(QStringLiteral("Segundo"), 0.02);
    // Starting a run switches the old list's glow off.
    EXPECT_EQ(muro->geometry->firstMaterial()->emission.contents, scene::Contents(scene::Color::black()));
    ASSERT_TRUE(esperar([&] { return !estado.detectando; }));
    EXPECT_TRUE(estado.historialAnalisis.back().interferencias.empty());
    estado.excluirResueltos = false;
    c->detectarInterferencias(QStringLiteral("Tercero"), 0.02);
    ASSERT_TRUE(esperar([&] { return !estado.detectando; }));
    EXPECT_EQ(estado.historialAnalisis.back().interferencias.size(), 1u);

    // A run that ends after its project was replaced is dropped.
    c->detectarInterferencias(QStringLiteral("Viejo"), 0.02);
    ++generacion;
    ASSERT_TRUE(esperar([&] { return !estado.detectando; }));
    EXPECT_EQ(estado.historialAnalisis.size(), 3u);

    // A run whose controller has gone is dropped without touching anything.
    c->detectarInterferencias(QStringLiteral("Huérfano"), 0.02);
    delete c;
    platform::BackgroundQueue::waitForIdle();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(estado.historialAnalisis.size(), 3u);
    (void)viga;
}
