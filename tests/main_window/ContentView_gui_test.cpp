#include "main_window/ContentView.h"

#include "main_window/ColumnaViewport.h"
#include "platform/SystemColors.h"
#include "platform/UserInfo.h"
#include "project/GestorProyecto.h"
#include "sections/AlmacenesSeccion.h"
#include "timeline/TimeLinerStore.h"
#include "viewport/ViewportController.h"

#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using quelva::ContentView;

namespace {
bool mismoColor(const QColor& c, double r, double g, double b)
{
    return std::abs(c.redF() - r) < 1e-3 && std::abs(c.greenF() - g) < 1e-3 && std::abs(c.blueF() - b) < 1e-3
        && c.alphaF() == 1.0f;
}
}  // namespace

TEST(ContentView, StartsWithTheSixDefaultDisciplinesInOrder)
{
    ContentView v;
    const struct { const char* key; const char* nombre; const char* icono; double r, g, b; } esperado[] = {
        {"ARQ", "Arquitectura", "building.2", 0.85, 0.85, 0.85},
        {"EST", "Estructura", "square.3.layers.3d", 0.6, 0.6, 0.6},
        {"MEP", "MEP", "pipe.and.drop", 0.2, 0.55, 1.0},
        {"TOP", "Topografía", "map", 0.55, 0.35, 0.1},
        {"ARE", "Áreas de Reserva", "rectangle.dashed", 1.0, 0.55, 0.0},
        {"EXI", "Existente", "clock.arrow.circlepath", 0.6, 0.25, 0.8},
    };
    ASSERT_EQ(v.federacion.ordenEspecialidades.size(), 6);
    ASSERT_EQ(v.federacion.especialidades.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const auto& e = esperado[i];
        EXPECT_EQ(v.federacion.ordenEspecialidades[i], QString::fromUtf8(e.key));
        const auto it = v.federacion.especialidades.find(QString::fromUtf8(e.key));
        ASSERT_NE(it, v.federacion.especialidades.end()) << e.key;
        EXPECT_EQ(it->second.nombre, QString::fromUtf8(e.nombre));
        EXPECT_EQ(it->second.icono, QString::fromUtf8(e.icono));
        EXPECT_TRUE(mismoColor(it->second.colorOriginal, e.r, e.g, e.b)) << e.key;
        EXPECT_TRUE(it->second.isVisible);
        EXPECT_EQ(it->second.nodoRaiz, nullptr);
        EXPECT_TRUE(it->second.modelos.empty());
    }
    EXPECT_EQ(v.federacion.seleccionActual, "ARQ");
    EXPECT_EQ(v.disciplinas.nuevaEspIcono, "folder");
    EXPECT_EQ(v.disciplinas.nuevaEspColor, platform::systemColor(platform::SystemColor::teal));
}

TEST(ContentView, ModelsCountAsLoadedOnceAnyDisciplineHasARootNode)
{
    ContentView v;
    EXPECT_FALSE(v.hayModelosCargados());
    QSignalSpy avisos(&v, &ContentView::especialidadesCambiadas);
    // A root node without any model in the list is enough.
    v.modificarEspecialidades([](auto& tabla) { tabla.at("EXI").nodoRaiz = scene::Node::make(); });
    EXPECT_EQ(avisos.count(), 1);
    EXPECT_TRUE(v.hayModelosCargados());
    EXPECT_TRUE(v.federacion.especialidades.at("EXI").modelos.empty());
    v.modificarEspecialidades([](auto& tabla) { tabla.at("EXI").nodoRaiz.reset(); });
    EXPECT_FALSE(v.hayModelosCargados());
}

TEST(ContentView, FeatureStateStartsFromItsInitialValues)
{
    ContentView v;
    EXPECT_EQ(v.federacion.fileName, QString::fromUtf8("Ningún archivo seleccionado"));
    EXPECT_FALSE(v.federacion.isProcessing);
    ASSERT_NE(v.escena.scene, nullptr);
    // The 3D view gives the scene its light rig and nothing else.
    ASSERT_EQ(v.escena.scene->rootNode()->children().size(), 2u);
    for (const auto& n : v.escena.scene->rootNode()->children())
        EXPECT_TRUE(n->light != nullptr);

    EXPECT_DOUBLE_EQ(v.clashes.toleranciaAnalisis, 0.02);
    EXPECT_TRUE(v.clashes.excluirResueltos);
    EXPECT_TRUE(v.clashes.interferencias.empty());
    EXPECT_TRUE(v.clashes.historialAnalisis.empty());
    EXPECT_FALSE(v.clashes.analisisPendienteEliminar);

    EXPECT_FALSE(v.secciones.seccionActiva);
    EXPECT_EQ(v.secciones.seccionEje, 2);
    EXPECT_DOUBLE_EQ(v.secciones.seccionPosicion, 0);
    EXPECT_DOUBLE_EQ(v.secciones.seccionRangoMin, -50);
    EXPECT_DOUBLE_EQ(v.secciones.seccionRangoMax, 50);
    EXPECT_EQ(v.secciones.seccionModoProfundidad, 0);
    EXPECT_DOUBLE_EQ(v.secciones.seccionProfundidad, 1.0);

    EXPECT_EQ(v.medicion.modoMedicion3D, quelva::ModoMedicion3D::inactivo);
    EXPECT_FALSE(v.corteCamara.modoCorteCamara);
    EXPECT_DOUBLE_EQ(v.corteCamara.distanciaCorte, 0.5);

    EXPECT_DOUBLE_EQ(v.markup.markupGrosor, 3.0);
    EXPECT_EQ(v.markup.markupColorIdx, 0);
    EXPECT_STREQ(quelva::markupPaleta[size_t(v.markup.markupColorIdx)].nombre, "Rojo");
    EXPECT_EQ(v.markup.markupAutor, platform::userFullName());
    EXPECT_FALSE(v.markup.markupAutor.isEmpty());

    EXPECT_EQ(v.federacion.fileNameBase, QString::fromUtf8("Sin versión base"));
    EXPECT_EQ(v.federacion.fileNameNuevo, QString::fromUtf8("Sin versión nueva"));
    EXPECT_EQ(v.federacion.modeloBase, nullptr);
    EXPECT_EQ(v.federacion.modeloNuevo, nullptr);
    EXPECT_FALSE(v.comparacion.resultadoTRELM);
    EXPECT_FALSE(v.comparacion.trelmActivo);
    EXPECT_EQ(v.comparacion.trelmStats, quelva::EstadisticasTRELM{});

    EXPECT_EQ(v.federacion.transformacionEditando, quelva::TransformacionModelo{});
    EXPECT_EQ(v.federacion.transformacionEditando.unidades, quelva::TransformacionModelo::Unidades::metros);
    EXPECT_FALSE(v.federacion.showError);
    EXPECT_FALSE(v.vinculacion.showFilePicker);
    EXPECT_TRUE(v.timeline.globalIdsPorEsp.empty());
}

TEST(ContentView, HoldersAreMadeOnceAndLiveExactlyAsLongAsTheView)
{
    auto v = std::make_unique<ContentView>();
    QPointer<QObject> holders[] = {v->viewport(), v->almacenCotas(), v->almacenEtiquetas(), v->gestor(),
                                   v->timeLinerStore()};
    for (const auto& h : holders) {
        ASSERT_FALSE(h.isNull());
        EXPECT_EQ(h->parent(), v.get());
    }
    EXPECT_EQ(v->findChildren<quelva::ViewportController*>().size(), 1);
    EXPECT_EQ(v->findChildren<quelva::TimeLinerStore*>().size(), 1);

    // The window's one 3D view attaches itself to that controller when the window is built.
    ASSERT_NE(v->columnaViewport(), nullptr);
    ASSERT_NE(v->columnaViewport()->vista3D(), nullptr);
    EXPECT_EQ(v->viewport()->scnView.data(), v->columnaViewport()->vista3D());
    EXPECT_TRUE(v->almacenCotas()->porTitulo.empty());
    EXPECT_TRUE(v->almacenEtiquetas()->porTitulo.empty());
    EXPECT_FALSE(v->gestor()->urlActual());
    EXPECT_EQ(v->gestor()->nombreProyecto(), QString::fromUtf8("Proyecto sin título"));

    v.reset();
    for (const auto& h : holders)
        EXPECT_TRUE(h.isNull());
}

TEST(ContentView, TimelineRunsTwelveCalendarMonthsInUSD)
{
    const QDateTime antes = QDateTime::currentDateTime();
    ContentView v;
    const QDateTime despues = QDateTime::currentDateTime();
    const quelva::TimeLinerConfig& c = v.timeLinerStore()->config();
    EXPECT_TRUE(c.paquetes.empty());
    EXPECT_EQ(c.moneda, "USD");
    EXPECT_GE(c.fechaInicio, antes);
    EXPECT_LE(c.fechaInicio, despues);
    EXPECT_EQ(c.fechaFin, c.fechaInicio.addMonths(12));
}

TEST(GestorProyecto, NameFollowsTheFileWithoutItsLastExtension)
{
    const struct { const char* ruta; const char* nombre; } casos[] = {
        {"/obras/Obra Norte.json", "Obra Norte"},
        {"/obras/A.b.json", "A.b"},
        {"/obras/sinextension", "sinextension"},
    };
    for (const auto& c : casos) {
        quelva::GestorProyecto g;
        QSignalSpy nombre(&g, &quelva::GestorProyecto::nombreProyectoChanged);
        g.establecerURL(QString::fromUtf8(c.ruta));
        EXPECT_EQ(g.nombreProyecto(), QString::fromUtf8(c.nombre));
        EXPECT_EQ(g.urlActual(), QString::fromUtf8(c.ruta));
        EXPECT_EQ(nombre.count(), 1);
    }
}
