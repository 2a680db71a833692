#include "comparison/ComparacionTRELM.h"
#include "comparison/NombresTRELM.h"
#include "comparison/support/ModelosTRELM.h"

#include <gtest/gtest.h>

#include <map>

using namespace quelva;
using pruebas_trelm::material;
using pruebas_trelm::modelo;

namespace {

SalidaComparacionTRELM comparar(const scene::NodePtr& base, const scene::NodePtr& nuevo,
                                const MapaGlobalIds& gBase = {}, const MapaGlobalIds& gNuevo = {})
{
    EntradaComparacionTRELM e;
    e.base = base.get();
    e.nuevo = nuevo.get();
    e.globalIdsBase = &gBase;
    e.globalIdsNuevo = &gNuevo;
    e.archivoBase = QStringLiteral("a.ifc");
    e.archivoNuevo = QStringLiteral("b.ifc");
    return compararModelosTRELM(e);
}

std::vector<std::pair<QString, TipoCambioTRELM>> nombresYTipos(const ResultadoTRELM& r)
{
    std::vector<std::pair<QString, TipoCambioTRELM>> out;
    for (const auto& e : r.elementos)
        out.emplace_back(e.nombre, e.tipoCambio);
    return out;
}

}  // namespace

TEST(NombresTRELM, SplitNameIntoTypeAndName)
{
    const struct { const char* nombre; int piezas; const char* tipo; const char* resto; } casos[] = {
        {"IfcWall/Muro 1", 2, "IfcWall", "Muro 1"},
        {"IfcWall/A/B", 2, "IfcWall", "A/B"},
        {"/IfcWall/A", 2, "IfcWall", "A"},
        {"IfcWall//A", 2, "IfcWall", "/A"},
        {"Muro", 1, "", "Muro"},
        {"IfcWall/", 1, "", "IfcWall/"},
        {"/Muro", 1, "", "/Muro"},
        {"//", 0, "", "//"},
        {"", 0, "", ""},
        {"IfcDoor/Puerta ñandú/β", 2, "IfcDoor", "Puerta ñandú/β"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(partirNombreTRELM(c.nombre).cuenta, c.piezas) << c.nombre;
        auto nodo = scene::Node::make();
        nodo->name = c.nombre;
        const NombreYTipoTRELM n = tipoYNombreDeNodo(*nodo);
        EXPECT_EQ(n.tipoIFC, QString::fromUtf8(c.tipo)) << c.nombre;
        EXPECT_EQ(n.nombre, QString::fromUtf8(c.resto)) << c.nombre;
    }
    const NombreYTipoTRELM sinNombre = tipoYNombreDeNodo(*scene::Node::make());
    EXPECT_TRUE(sinNombre.nombre.isEmpty());
    EXPECT_TRUE(sinNombre.tipoIFC.isEmpty());
}

TEST(NombresTRELM, KeyIsTheNameOrTheGlobalIdOfTheWholeNameThenOfTheNamePart)
{
    const MapaGlobalIds mapa{{"Muro 1", "G-muro"}, {"Puerta 90/210", "G-puerta"}, {"210", "G-210"}, {"Losa", "G-losa"}};
    const struct { const char* nombre; bool usar; const MapaGlobalIds* mapa; const char* clave; } casos[] = {
        {"IfcWall/Muro 1", true, &mapa, "G-muro"},
        {"IfcWall/Muro 1", false, &mapa, "Muro 1"},
        {"IfcWall/Muro 2", true, &mapa, "Muro 2"},
        // The converter keys the map by the whole Name, which may hold "/".
        {"Puerta 90/210", true, &mapa, "G-puerta"},
        {"IfcDoor/Puerta 90/210", true, &mapa, "G-puerta"},
        {"Losa", true, &mapa, "G-losa"},
        {"IfcWall/", true, &mapa, "IfcWall/"},
        {"", true, &mapa, ""},
    };
    for (const auto& c : casos) {
        auto nodo = scene::Node::make();
        nodo->name = c.nombre;
        EXPECT_EQ(claveElementoTRELM(*nodo, *c.mapa, c.usar), c.clave) << c.nombre;
    }
    EXPECT_EQ(claveElementoTRELM(*scene::Node::make(), mapa, true), "");
    EXPECT_EQ(claveElementoTRELM(*scene::Node::make(), {}, true), "");
}

TEST(ComparacionTRELM, ThresholdIsStrictlyAboveFiveCentimetres)
{
    using scene::Box;
    const struct { const char* caso; Box base; Box nuevo; double posicion; double tamano; bool modificado; } casos[] = {
        {"quieto", {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, 0, 0, false},
        {"mueve 0.04", {{0, 0, 0}, {1, 1, 1}}, {{0.04, 0, 0}, {1.04, 1, 1}}, 0.04, 0, false},
        {"mueve justo 0.05", {{-0.05, 0, 0}, {0.05, 1, 1}}, {{0, 0, 0}, {0.1, 1, 1}}, 0.05, 0, false},
        {"crece justo 0.05", {{0, 0, 0}, {0, 1, 1}}, {{-0.025, 0, 0}, {0.025, 1, 1}}, 0, 0.05, false},
        {"mueve 0.06", {{0, 0, 0}, {1, 1, 1}}, {{0, 0.06, 0}, {1, 1.06, 1}}, 0.06, 0, true},
        {"crece 0.06 en altura", {{0, 0, 0}, {1, 1, 1}}, {{0, 0, -0.03}, {1, 1, 1.03}}, 0, 0.06, true},
        {"encoge 0.06", {{0, 0, 0}, {1, 1, 1}}, {{0.03, 0, 0}, {0.97, 1, 1}}, 0, 0.06, true},
    };
    for (const auto& c : casos) {
        const DeltasTRELM d = deltasCajasTRELM(c.base, c.nuevo);
        EXPECT_NEAR(d.posicion, c.posicion, 1e-9) << c.caso;
        EXPECT_NEAR(d.tamano, c.tamano, 1e-9) << c.caso;
        EXPECT_EQ(d.modificado(), c.modificado) << c.caso;
    }
    // Exactly the threshold in double precision is no change.
    EXPECT_FALSE((DeltasTRELM{kUmbralCambioTRELM, kUmbralCambioTRELM}.modificado()));
    EXPECT_TRUE((DeltasTRELM{0, std::nextafter(kUmbralCambioTRELM, 1.0)}.modificado()));
}

TEST(ComparacionTRELM, ClassifiesCountsAndPaintsBothVersions)
{
    auto base = modelo({
        {"IfcWall/Muro", {0, 0, 0}, {4, 0.2f, 3}},
        {"IfcBeam/Viga", {0, 0, 3}, {4, 0.3f, 3.4f}},
        {"IfcSlab/Losa", {0, 0, -0.2f}, {4, 4, 0}},
        {"IfcColumn/Pilar", {0, 0, 0}, {0.3f, 0.3f, 3}},
        {"IfcWindow/Ventana", {1, 0, 1}, {2, 0.1f, 2}},
    });
    auto nuevo = modelo({
        {"IfcWall/Muro", {0, 0, 0}, {4, 0.2f, 3}},              // same
        {"IfcBeam/Viga", {0.06f, 0, 3}, {4.06f, 0.3f, 3.4f}},  // moved 0.06
        {"IfcColumn/Pilar", {0, 0, -0.03f}, {0.3f, 0.3f, 3.03f}},  // grown 0.06
        {"IfcWindow/Ventana", {1.04f, 0, 1}, {2.04f, 0.1f, 2}},   // moved 0.04
        {"IfcDoor/Puerta", {2, 0, 0}, {3, 0.2f, 2.1f}},           // added
    });
    const SalidaComparacionTRELM s = comparar(base, nuevo);

    EXPECT_EQ(s.stats, (EstadisticasTRELM{1, 1, 2, 2}));
    EXPECT_EQ(s.resultado.iguales, 2);
    EXPECT_EQ(s.resultado.archivoBase, "a.ifc");
    EXPECT_EQ(s.resultado.archivoNuevo, "b.ifc");
    EXPECT_TRUE(s.resultado.fecha.isValid());
    using T = TipoCambioTRELM;
    const std::vector<std::pair<QString, TipoCambioTRELM>> esperado{
        {"Losa", T::eliminado}, {"Pilar", T::modificado}, {"Puerta", T::agregado}, {"Viga", T::modificado}};
    EXPECT_EQ(nombresYTipos(s.resultado), esperado);
    const auto& e = s.resultado.elementos;
    EXPECT_EQ(e[0].tipoIFC, "IfcSlab");
    EXPECT_EQ(e[2].tipoIFC, "IfcDoor");  // added: named after the new node
    EXPECT_EQ(e[0].deltaPosicion, 0.f);
    EXPECT_EQ(e[2].deltaTamano, 0.f);
    EXPECT_NEAR(e[1].deltaPosicion, 0, 1e-6);
    EXPECT_NEAR(e[1].deltaTamano, 0.06, 1e-5);
    EXPECT_NEAR(e[3].deltaPosicion, 0.06, 1e-5);
    EXPECT_NEAR(e[3].deltaTamano, 0, 1e-6);

    const struct { const scene::NodePtr* m; size_t i; scene::Color color; double transparencia; } pintura[] = {
        {&base, 0, coloresTRELM::igual, 0.75},           {&base, 1, coloresTRELM::modificadoBase, 1.0},
        {&base, 2, coloresTRELM::eliminado, 1.0},        {&base, 3, coloresTRELM::modificadoBase, 1.0},
        {&base, 4, coloresTRELM::igual, 0.75},           {&nuevo, 0, coloresTRELM::igual, 0.0},
        {&nuevo, 1, coloresTRELM::modificadoNuevo, 1.0}, {&nuevo, 2, coloresTRELM::modificadoNuevo, 1.0},
        {&nuevo, 3, coloresTRELM::igual, 0.0},           {&nuevo, 4, coloresTRELM::agregado, 1.0},
    };
    for (const auto& p : pintura) {
        const scene::Material& m = material(*p.m, p.i);
        const std::string& nombre = *(*p.m)->children()[p.i]->name;
        ASSERT_TRUE(m.diffuse.color()) << nombre;
        EXPECT_EQ(*m.diffuse.color(), p.color) << nombre << (p.m == &base ? " base" : " nuevo");
        EXPECT_EQ(m.transparency, p.transparencia) << nombre << (p.m == &base ? " base" : " nuevo");
    }
}

TEST(ComparacionTRELM, IdenticalVersionsHaveNoRecordsAndOnlyTheBaseShows)
{
    auto base = modelo({{"IfcWall/Muro", {0, 0, 0}, {1, 1, 1}}, {"Sin tipo", {2, 0, 0}, {3, 1, 1}}});
    auto nuevo = modelo({{"IfcWall/Muro", {0, 0, 0}, {1, 1, 1}}, {"Sin tipo", {2, 0, 0}, {3, 1, 1}}});
    // A node without any material is still counted.
    nuevo->addChild(pruebas_trelm::nodoCaja("IfcSlab/Losa", {0, 0, 0}, {1, 1, 0}));
    nuevo->children().back()->geometry->materials.clear();
    base->addChild(pruebas_trelm::nodoCaja("IfcSlab/Losa", {0, 0, 0}, {1, 1, 0}));
    const SalidaComparacionTRELM s = comparar(base, nuevo);
    EXPECT_EQ(s.stats, (EstadisticasTRELM{0, 0, 0, 3}));
    EXPECT_TRUE(s.resultado.elementos.empty());
    EXPECT_EQ(s.resultado.iguales, 3);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(material(base, i).transparency, 0.75);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(material(nuevo, i).transparency, 0.0);
}

TEST(ComparacionTRELM, OfTwoNodesWithOneKeyTheLaterIsComparedAndTheEarlierLeftAlone)
{
    auto base = modelo({{"IfcWall/Muro", {9, 9, 9}, {10, 10, 10}}, {"IfcWall/Muro", {0, 0, 0}, {1, 1, 1}}});
    // Nested deeper: still an element, found depth-first.
    auto grupo = scene::Node::make();
    grupo->addChild(pruebas_trelm::nodoCaja("IfcWall/Muro", {0, 0, 0}, {1, 1, 1}));
    auto nuevo = modelo({});
    nuevo->addChild(grupo);
    const SalidaComparacionTRELM s = comparar(base, nuevo);
    EXPECT_EQ(s.stats, (EstadisticasTRELM{0, 0, 0, 1}));
    EXPECT_EQ(*material(base, 0).diffuse.color(), scene::Color::white(0.75));
    EXPECT_EQ(material(base, 0).transparency, 1.0);
    EXPECT_EQ(*material(base, 1).diffuse.color(), coloresTRELM::igual);
}

TEST(ComparacionTRELM, GlobalIdsMatchARenamedElementOnlyWhenBothSlotsHaveThem)
{
    const MapaGlobalIds gBase{{"Muro viejo", "2O2Fr$t4X7Zf8NOew3FLOH"}};
    const MapaGlobalIds gNuevo{{"Muro nuevo", "2O2Fr$t4X7Zf8NOew3FLOH"}};
    const struct { const char* caso; const MapaGlobalIds* base; EstadisticasTRELM stats; } casos[] = {
        {"ambos mapas", &gBase, {0, 0, 0, 1}},
        {"mapa base vacío", nullptr, {1, 1, 0, 0}},
    };
    for (const auto& c : casos) {
        auto base = modelo({{"IfcWall/Muro viejo", {0, 0, 0}, {1, 1, 1}}});
        auto nuevo = modelo({{"IfcWall/Muro nuevo", {0, 0, 0}, {1, 1, 1}}});
        const SalidaComparacionTRELM s = comparar(base, nuevo, c.base ? *c.base : MapaGlobalIds{}, gNuevo);
        EXPECT_EQ(s.stats, c.stats) << c.caso;
        EXPECT_EQ(s.resultado.elementos.size(), size_t(c.stats.agregados + c.stats.eliminados)) << c.caso;
    }
}

TEST(ComparacionTRELM, RecordsSortByCodePointsOfTheComposedFormStably)
{
    const QString nfd = QStringLiteral("A\u0301rbol");
    const QString nfc = QStringLiteral("\u00C1rbol");
    const QString ancha = QStringLiteral("\uFF21");          // fullwidth A, below U+10000
    const QString astral = QString::fromUcs4(U"\U0001D538");  // double-struck A, a surrogate pair
    auto base = modelo({});
    auto nuevo = modelo({});
    for (const QString& n : {astral, QStringLiteral("Zeta"), nfd, ancha, QStringLiteral("arbol"), nfc,
                             QStringLiteral("Arbol")})
        nuevo->addChild(pruebas_trelm::nodoCaja("IfcWall/" + n.toStdString(), {0, 0, 0}, {1, 1, 1}));
    const SalidaComparacionTRELM s = comparar(base, nuevo);
    QStringList nombres;
    for (const auto& e : s.resultado.elementos)
        nombres << e.nombre;
    // Canonically equal names keep their order; the names are kept as written.
    EXPECT_EQ(nombres, (QStringList{QStringLiteral("Arbol"), QStringLiteral("Zeta"), QStringLiteral("arbol"), nfd, nfc,
                                    ancha, astral}));
}

TEST(ComparacionTRELM, WithoutBothModelsNothingIsCompared)
{
    auto base = modelo({{"IfcWall/Muro", {0, 0, 0}, {1, 1, 1}}});
    EntradaComparacionTRELM e;
    e.base = base.get();
    const SalidaComparacionTRELM s = compararModelosTRELM(e);
    EXPECT_EQ(s.stats, EstadisticasTRELM{});
    EXPECT_EQ(*material(base, 0).diffuse.color(), scene::Color::white(0.75));
}

TEST(ComparacionTRELM, ThousandsOfElementsAreKeyedPairedAndPaintedLikeAFewOnes)
{
    // Enough elements that the work is split: every kind of element and both ways of keying
    // must come out as for a handful. Every 7th base element is gone, every 11th moved, every
    // 13th renamed (the same GlobalId), and 400 are new.
    using T = TipoCambioTRELM;
    constexpr int n = 12000;
    for (const bool conGlobalIds : {false, true}) {
        auto base = modelo({});
        auto nuevo = modelo({});
        MapaGlobalIds gBase, gNuevo;
        std::vector<std::pair<QString, TipoCambioTRELM>> esperado;
        std::vector<scene::Color> coloresBase, coloresNuevo;
        const auto cambio = [&](const std::string& nombre, TipoCambioTRELM tipo) {
            esperado.emplace_back(QString::fromStdString(nombre), tipo);
        };
        for (int k = 0; k < n; ++k) {
            const std::string nombre = "E" + std::to_string(k);
            const float x = float(k % 100), y = float(k / 100);
            base->addChild(pruebas_trelm::nodoCaja("IfcWall/" + nombre, {x, y, 0}, {x + 0.5f, y + 0.5f, 3}));
            gBase[nombre] = "G" + std::to_string(k);
            if (k % 7 == 0) {
                cambio(nombre, T::eliminado);
                coloresBase.push_back(coloresTRELM::eliminado);
                continue;
            }
            const std::string nombreNuevo = k % 13 == 0 ? nombre + "b" : nombre;
            const float dx = k % 11 == 0 ? 0.1f : 0;
            nuevo->addChild(
                pruebas_trelm::nodoCaja("IfcWall/" + nombreNuevo, {x + dx, y, 0}, {x + dx + 0.5f, y + 0.5f, 3}));
            gNuevo[nombreNuevo] = "G" + std::to_string(k);
            if (nombreNuevo != nombre && !conGlobalIds) {
                cambio(nombre, T::eliminado);
                cambio(nombreNuevo, T::agregado);
                coloresBase.push_back(coloresTRELM::eliminado);
                coloresNuevo.push_back(coloresTRELM::agregado);
            } else if (dx > 0) {
                cambio(nombre, T::modificado);
                coloresBase.push_back(coloresTRELM::modificadoBase);
                coloresNuevo.push_back(coloresTRELM::modificadoNuevo);
            } else {
                coloresBase.push_back(coloresTRELM::igual);
                coloresNuevo.push_back(coloresTRELM::igual);
            }
        }
        for (int k = 0; k < 400; ++k) {
            const std::string nombre = "N" + std::to_string(k);
            nuevo->addChild(pruebas_trelm::nodoCaja("IfcDoor/" + nombre, {0, 0, 5}, {1, 1, 6}));
            gNuevo[nombre] = "H" + std::to_string(k);
            cambio(nombre, T::agregado);
            coloresNuevo.push_back(coloresTRELM::agregado);
        }
        std::stable_sort(esperado.begin(), esperado.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

        const SalidaComparacionTRELM s = conGlobalIds ? comparar(base, nuevo, gBase, gNuevo) : comparar(base, nuevo);
        std::map<TipoCambioTRELM, std::int64_t> cuenta;
        for (const auto& [nombre, tipo] : esperado)
            ++cuenta[tipo];
        const std::int64_t iguales = std::int64_t(nuevo->children().size()) - cuenta[T::agregado] - cuenta[T::modificado];
        EXPECT_EQ(s.stats, (EstadisticasTRELM{cuenta[T::agregado], cuenta[T::eliminado], cuenta[T::modificado], iguales}))
            << conGlobalIds;
        EXPECT_EQ(nombresYTipos(s.resultado), esperado) << conGlobalIds;
        size_t malPintados = 0;
        for (size_t i = 0; i < coloresBase.size(); ++i)
            malPintados += *material(base, i).diffuse.color() != coloresBase[i];
        for (size_t i = 0; i < coloresNuevo.size(); ++i)
            malPintados += *material(nuevo, i).diffuse.color() != coloresNuevo[i];
        EXPECT_EQ(malPintados, 0u) << conGlobalIds;
    }
}
