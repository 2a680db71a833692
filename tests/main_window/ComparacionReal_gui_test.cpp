// End to end with the real converter: two versions of a small model go into the two slots, are
// compared, and the change report pictures every changed element in the colour of its kind.

#include "comparison/ComparacionTRELM.h"
#include "comparison/MiniaturasTRELM.h"
#include "federation/ControladorFederacion.h"
#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "main_window/bienvenida/PantallaBienvenida.h"
#include "main_window/comparacion/ReporteTRELMView.h"
#include "main_window/comparacion/VentanaReporteTRELM.h"
#include "platform/Resources.h"
#include "support/Capturas.h"
#include "support/Esperar.h"
#include "support/Fixtures.h"

#include <QFileInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;

namespace {

const scene::Material* materialDe(const scene::NodePtr& modelo, const std::string& nombre)
{
    const scene::Material* m = nullptr;
    modelo->visitDescendants([&](scene::Node& n) {
        if (n.hasName(nombre) && n.geometry)
            m = n.geometry->firstMaterial().get();
        return m != nullptr;
    });
    return m;
}

QColor colorDominante(const QImage& imagen)
{
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x) {
            const QColor c = imagen.pixelColor(x, y);
            if (c.valueF() < 0.2f)
                continue;
            r += c.redF();
            g += c.greenF();
            b += c.blueF();
            ++n;
        }
    return n < 50 ? QColor() : QColor::fromRgbF(float(r / n), float(g / n), float(b / n));
}

}  // namespace

TEST(ComparacionReal, TwoConvertedVersionsAreComparedColouredAndPictured)
{
    const QString motor = QDir(testsupport::bundleDir()).filePath("IfcConvert");
    ASSERT_TRUE(QFileInfo(motor).isExecutable()) << "IfcConvert is not built beside the tests";
    platform::Resources::setBundleDir(testsupport::bundleDir());

    ContentView v;
    v.resize(1500, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    ControladorFederacion& f = v.controladorFederacion();
    f.cargarIFCEnSlot(testsupport::fixturePath("comparison/version_a.ifc"), "BASE");
    f.cargarIFCEnSlot(testsupport::fixturePath("comparison/version_b.ifc"), "NUEVO");
    ESPERAR_QUE(f.ejecucionesEnCurso() == 0);
    ASSERT_FALSE(v.federacion.showError) << v.federacion.errorMessage.value_or("").toStdString();
    ASSERT_TRUE(v.federacion.modeloBase && v.federacion.modeloNuevo);
    EXPECT_EQ(v.federacion.fileNameBase, "version_a.ifc");
    EXPECT_EQ(v.federacion.globalIdTrelmNuevo.at("Muro-Poniente"), "2tV9dFkQH1IfJuD7h4mEYa");

    v.compararVersionesTRELM();
    // The renamed West wall keeps its GlobalId: unchanged.
    EXPECT_EQ(v.comparacion.trelmStats, (EstadisticasTRELM{1, 1, 1, 2}));
    ASSERT_TRUE(v.comparacion.resultadoTRELM);
    QStringList nombres;
    for (const auto& e : v.comparacion.resultadoTRELM->elementos)
        nombres << e.nombre + ":" + textoTipoCambioTRELM(e.tipoCambio);
    // The converter names its nodes by the element's Name alone.
    EXPECT_EQ(nombres, (QStringList{"Muro-Este:Eliminado", "Muro-Norte:Agregado", "Muro-Sur:Modificado"}));
    const ElementoCambioTRELM& sur = v.comparacion.resultadoTRELM->elementos[2];
    EXPECT_NEAR(sur.deltaPosicion, 0.06, 1e-4);
    EXPECT_NEAR(sur.deltaTamano, 0, 1e-4);

    const scene::NodePtr& base = v.federacion.modeloBase;
    const scene::NodePtr& nuevo = v.federacion.modeloNuevo;
    const struct { const scene::NodePtr* m; const char* nombre; scene::Color color; double transparencia; } vista[] = {
        {&base, "Muro-Este", coloresTRELM::eliminado, 1.0},
        {&base, "Muro-Sur", coloresTRELM::modificadoBase, 1.0},
        {&base, "Muro-Oeste", coloresTRELM::igual, 0.75},
        {&base, "Losa-Planta", coloresTRELM::igual, 0.75},
        {&nuevo, "Muro-Norte", coloresTRELM::agregado, 1.0},
        {&nuevo, "Muro-Sur", coloresTRELM::modificadoNuevo, 1.0},
        {&nuevo, "Muro-Poniente", coloresTRELM::igual, 0.0},
    };
    for (const auto& c : vista) {
        const scene::Material* m = materialDe(*c.m, c.nombre);
        ASSERT_TRUE(m && m->diffuse.color()) << c.nombre;
        EXPECT_EQ(*m->diffuse.color(), c.color) << c.nombre;
        EXPECT_EQ(m->transparency, c.transparencia) << c.nombre;
    }
    EXPECT_FALSE(base->hidden);
    EXPECT_FALSE(nuevo->hidden);
    // No discipline has a model: the welcome screen still gives way to the comparison.
    ESPERAR_QUE(v.columnaViewport()->bienvenida()->opacidad() == 0);
    testsupport::entregarEventos();
    testsupport::guardarCaptura(v, "comparacion_versiones");

    v.mostrarReporteTRELM();
    ASSERT_EQ(v.ventanas.reportWindows.size(), 1);
    auto* ventana = qobject_cast<VentanaReporteTRELM*>(v.ventanas.reportWindows[0].data());
    ASSERT_TRUE(ventana);
    EXPECT_EQ(ventana->windowTitle(), QString::fromUtf8("Informe TRELM · version_a.ifc → version_b.ifc"));
    ESPERAR_QUE(ventana->generador()->terminado());
    const auto& mapa = ventana->store()->thumbnails();
    ASSERT_EQ(mapa.size(), 3u);
    for (const auto& e : v.comparacion.resultadoTRELM->elementos) {
        ASSERT_TRUE(mapa.contains(e.nombre)) << e.nombre.toStdString();
        const QColor visto = colorDominante(mapa.at(e.nombre));
        ASSERT_TRUE(visto.isValid()) << e.nombre.toStdString();
        const scene::Color k = colorMiniaturaTRELM(e.tipoCambio);
        EXPECT_NEAR(visto.hueF(), QColor::fromRgbF(float(k.r), float(k.g), float(k.b)).hueF(), 0.04)
            << e.nombre.toStdString();
    }
    testsupport::entregarEventos();
    testsupport::guardarCaptura(*ventana, "informe_cambios");
    QScrollBar* barra = ventana->reporte()->desplazable()->verticalScrollBar();
    barra->setValue(barra->maximum());
    testsupport::entregarEventos();
    testsupport::guardarCaptura(*ventana, "informe_cambios_final");
    platform::Resources::setBundleDir(QString());
}
