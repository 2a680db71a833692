// Grid axes in world metres: the file's length unit and the grid's placement chain applied as
// the converter applies them to the geometry.

#include "federation/ConversionIFC.h"
#include "federation/ifc/ColocacionIFC.h"
#include "federation/ifc/IfcGrids.h"

#include "platform/TemporaryFiles.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace quelva {
namespace {

TablaRegistrosSTEP tablaDe(const std::string& datos)
{
    return TablaRegistrosSTEP::desdeTexto("DATA;\n" + datos + "ENDSEC;\n");
}

const std::string kProyecto = "#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9M',$,'P',$,$,$,$,$,#10);\n";

TEST(ColocacionIFC, LengthUnitOfTheProject)
{
    const struct {
        const char* unidades;
        double metros;
    } casos[] = {
        {"#10=IFCUNITASSIGNMENT((#11));#11=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);", 1.0},
        {"#10=IFCUNITASSIGNMENT((#12,#11));#12=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);"
         "#11=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);",
         0.001},
        {"#10=IFCUNITASSIGNMENT((#11));#11=IFCSIUNIT(*,.LENGTHUNIT.,.CENTI.,.METRE.);", 0.01},
        {"#10=IFCUNITASSIGNMENT((#11));#11=IFCSIUNIT(*,.LENGTHUNIT.,.KILO.,.METRE.);", 1000.0},
        {"#10=IFCUNITASSIGNMENT((#11));#11=IFCCONVERSIONBASEDUNIT(#14,.LENGTHUNIT.,'FOOT',#15);"
         "#15=IFCMEASUREWITHUNIT(IFCLENGTHMEASURE(0.3048),#16);#16=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);",
         0.3048},
        {"#10=IFCUNITASSIGNMENT((#11));#11=IFCCONVERSIONBASEDUNIT(#14,.LENGTHUNIT.,'INCH',#15);"
         "#15=IFCMEASUREWITHUNIT(IFCRATIOMEASURE(0.0254),#16);#16=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);",
         0.0254},
        // none named, or the assignment missing: metres
        {"#10=IFCUNITASSIGNMENT((#12));#12=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);", 1.0},
        {"", 1.0},
    };
    for (const auto& c : casos)
        EXPECT_DOUBLE_EQ(metrosPorUnidadIFC(tablaDe(kProyecto + c.unidades)), c.metros) << c.unidades;
    EXPECT_DOUBLE_EQ(metrosPorUnidadIFC(tablaDe("#11=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);")), 1.0);
}

TEST(ColocacionIFC, PlacementChainInMetres)
{
    const auto tabla = tablaDe(
        "#1=IFCLOCALPLACEMENT($,#2);#2=IFCAXIS2PLACEMENT3D(#3,$,#4);"
        "#3=IFCCARTESIANPOINT((1000.,2000.,0.));#4=IFCDIRECTION((0.,1.,0.));"
        "#5=IFCLOCALPLACEMENT(#1,#6);#6=IFCAXIS2PLACEMENT3D(#7,$,$);#7=IFCCARTESIANPOINT((500.,0.,3000.));"
        // a chain that loops ends where it would repeat
        "#8=IFCLOCALPLACEMENT(#9,#6);#9=IFCLOCALPLACEMENT(#8,#6);");
    const scene::Mat4 m = matrizColocacionIFC(tabla, 5, 0.001);
    const scene::Vec3 p = m.transformPoint({0, 0, 0});
    EXPECT_NEAR(p.x, 1.0, 1e-12);  // turned a quarter: the child's x runs along the world's y
    EXPECT_NEAR(p.y, 2.5, 1e-12);
    EXPECT_NEAR(p.z, 3.0, 1e-12);
    const scene::Vec3 x = m.transformDirection({1, 0, 0});
    EXPECT_NEAR(x.y, 1.0, 1e-12);
    const scene::Vec3 bucle = matrizColocacionIFC(tabla, 8, 1.0).transformPoint({0, 0, 0});
    EXPECT_NEAR(bucle.x, 1000.0, 1e-9);
    EXPECT_NEAR(bucle.z, 6000.0, 1e-9);
    EXPECT_EQ(matrizColocacionIFC(tabla, 404, 1.0).m, scene::Mat4::identity().m);
}

// Where the two named axes cross, in the XY plane, with the axes' height.
scene::Vec3 cruce(const std::vector<EjeGrilla>& ejes, const std::string& u, const std::string& v)
{
    const EjeGrilla* a = nullptr;
    const EjeGrilla* b = nullptr;
    for (const EjeGrilla& e : ejes) {
        if (e.esU && e.tag == u)
            a = &e;
        if (!e.esU && e.tag == v)
            b = &e;
    }
    if (!a || !b)
        return {};
    const scene::Vec3 p = scene::toDouble(a->puntos[0]), r = scene::toDouble(a->puntos[1]) - p;
    const scene::Vec3 q = scene::toDouble(b->puntos[0]), s = scene::toDouble(b->puntos[1]) - q;
    const double den = r.x * s.y - r.y * s.x;
    const double t = ((q.x - p.x) * s.y - (q.y - p.y) * s.x) / den;
    return p + r * t;
}

class GrillaYGeometria : public ::testing::TestWithParam<const char*> {};

// The fixtures stand a column on the crossing of axes B and 2, placed relative to the grid
// through a chain that moves and turns; the grid must cross under the column's centre, at its
// foot, wherever the converter puts it.
TEST_P(GrillaYGeometria, AxesCrossUnderTheConvertedColumn)
{
    const QString motor = QDir(testsupport::bundleDir()).filePath("IfcConvert");
    if (!QFileInfo(motor).isExecutable())
        FAIL() << "IfcConvert is not built beside the tests";
    const QString obj = platform::temporaryWorkPath(".obj");
    auto salida = convertirIFC(testsupport::fixturePath(QString("federation/") + GetParam()), motor, obj);
    QFile::remove(obj);
    auto* r = std::get_if<ResultadoVinculo>(&salida);
    ASSERT_TRUE(r) << std::get<QString>(salida).toStdString();
    ASSERT_TRUE(r->nodo);
    ASSERT_EQ(r->nodo->children().size(), 1u);
    const scene::Box pilar = r->nodo->boundingBox();
    ASSERT_EQ(r->grillas.size(), 4u);

    const scene::Vec3 c = cruce(r->grillas, "B", "2");
    EXPECT_NEAR(c.x, pilar.center().x, 1e-3);
    EXPECT_NEAR(c.y, pilar.center().y, 1e-3);
    EXPECT_NEAR(c.z, pilar.min.z, 1e-3);
    // and that is in metres, not in the file's unit
    EXPECT_LT(pilar.size().x, 1.0);
    EXPECT_GT(pilar.size().z, 2.9);
}

INSTANTIATE_TEST_SUITE_P(Unidades, GrillaYGeometria, ::testing::Values("grilla_mm.ifc", "grilla_pies.ifc"));

}  // namespace
}  // namespace quelva
