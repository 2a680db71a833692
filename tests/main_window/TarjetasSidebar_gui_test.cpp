// The sidebar cards: order and titles, long cards shown once styled, the timeline summary and
// launcher, the model row menu.

#include "comments/ui/FilasComentarios.h"
#include "main_window/ContentView.h"
#include "main_window/sidebar/Sidebar.h"
#include "main_window/sidebar/TarjetaFederacion.h"
#include "main_window/sidebar/TarjetaSeccion.h"
#include "platform/SystemColors.h"
#include "support/Buscar.h"
#include "support/Esperar.h"
#include "timeline/TimeLinerStore.h"

#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::hijoVisible;

namespace {

PaqueteAWP paquete(NivelAWP nivel, double progreso)
{
    PaqueteAWP p;
    p.nivel = nivel;
    p.progreso = progreso;
    return p;
}

std::vector<ComentarioMarkup> comentarios(int cuantos, const QString& prefijo)
{
    std::vector<ComentarioMarkup> lista(static_cast<std::size_t>(cuantos));
    for (int i = 0; i < cuantos; ++i)
        lista[std::size_t(i)].tag = prefijo + QString::number(i);
    return lista;
}

QStringList tags(const QString& prefijo, int cuantos)
{
    QStringList t;
    for (int i = 0; i < cuantos; ++i)
        t << prefijo + QString::number(i);
    return t;
}

// The tags of the comment rows on show, top to bottom.
QStringList tagsVisibles(ContentView& v)
{
    QStringList t;
    for (FilasComentarios* filas : v.sidebar()->findChildren<FilasComentarios*>())
        if (filas->isVisible())
            for (int i = 0; i < filas->cantidad(); ++i)
                t << filas->texto(i, FilasComentarios::Parte::tag);
    return t;
}

// Comment rows in the sidebar, shown or not.
int filasComentario(ContentView& v)
{
    int n = 0;
    for (FilasComentarios* filas : v.sidebar()->findChildren<FilasComentarios*>())
        n += filas->cantidad();
    return n;
}

}  // namespace

TEST(TarjetasSidebar, SevenCardsInOrderAndOnlyTheTakeOffCardUntitled)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    QStringList titulos;
    for (TarjetaSeccion* t : v.sidebar()->findChildren<TarjetaSeccion*>())
        titulos << t->titulo().value_or(QStringLiteral("<sin título>"));
    EXPECT_EQ(titulos, (QStringList{QString::fromUtf8("Federación de Modelos"), "<sin título>",
                                    QString::fromUtf8("Comparación TRELM"), "Interferencias",
                                    QString::fromUtf8("Sección"), "Comentarios", "Timeline / Control de Obra"}));
    // Titles show upper-case while the title text keeps its case.
    auto* titulo = v.sidebar()->findChild<QLabel*>("tituloTarjeta");
    ASSERT_TRUE(titulo);
    EXPECT_EQ(titulo->text(), QString::fromUtf8("FEDERACIÓN DE MODELOS"));
}

TEST(TarjetasSidebar, ALongCardKeepsItsRowsOnShowUntilTheLatestStateIsStyledWhole)
{
    ContentView v;
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    // A few rows go in at once.
    v.markup.comentarios = comentarios(3, "A-");
    v.refrescar();
    EXPECT_EQ(tagsVisibles(v), tags("A-", 3));

    // A hundred and more are styled over several turns; meanwhile the card shows what it showed.
    v.markup.comentarios = comentarios(120, "B-");
    v.refrescar();
    EXPECT_EQ(tagsVisibles(v), tags("A-", 3));
    // A newer state while they are styled replaces them: only its rows ever show.
    v.markup.comentarios = comentarios(110, "C-");
    v.refrescar();
    EXPECT_EQ(tagsVisibles(v), tags("A-", 3));
    ESPERAR_QUE(tagsVisibles(v) != tags("A-", 3));
    EXPECT_EQ(tagsVisibles(v), tags("C-", 110));
    testsupport::entregarEventos();
    EXPECT_EQ(filasComentario(v), 110);
}

TEST(TarjetasSidebar, TimelineSummaryAveragesIwpProgress)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    ESPERAR_QUE(hijoVisible<QPushButton>(v, "botonAbrirTimeline") != nullptr);
    // Only CWAs: no summary.
    TimeLinerConfig config = v.timeLinerStore()->config();
    config.paquetes = {paquete(NivelAWP::cwa, 0)};
    v.timeLinerStore()->setConfig(config);
    testsupport::entregarEventos();
    EXPECT_EQ(hijoVisible<QWidget>(v, "resumenTimeLiner"), nullptr);

    const struct {
        std::vector<double> progresos;
        const char* texto;
        bool verde;
    } casos[] = {{{0.5, 1.0}, "Avance: 75%", false}, {{1.0, 1.0}, "Avance: 100%", true}, {{0.456}, "Avance: 46%", false}};
    for (const auto& c : casos) {
        config.paquetes = {paquete(NivelAWP::cwa, 0)};
        for (double p : c.progresos)
            config.paquetes.push_back(paquete(NivelAWP::iwp, p));
        v.timeLinerStore()->setConfig(config);
        QLabel* avance = nullptr;
        ESPERAR_QUE((avance = hijoVisible<QLabel>(v, "avance")) != nullptr);
        EXPECT_EQ(avance->text(), c.texto);
        EXPECT_EQ(hijoVisible<QLabel>(v, "conteo")->text(),
                  QString::number(c.progresos.size()) + QString::fromUtf8(" IWP · 1 CWA"));
        const QString verde = platform::systemColor(platform::SystemColor::green).name();
        EXPECT_EQ(hijoVisible<QProgressBar>(v, "barraAvance")->property("tinte").toString() == verde, c.verde);
    }
}

TEST(TarjetasSidebar, TimelineButtonRaisesTheOpenWindowAndReplacesAClosedOne)
{
    ContentView v;
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v, testsupport::kLimiteCuelgue));
    v.abrirVentanaTimeLiner();
    v.abrirVentanaTimeLiner();
    ASSERT_EQ(v.timeline.timeLinerWindows.size(), 1);
    QPointer<QWidget> primera = v.timeline.timeLinerWindows.first();
    EXPECT_EQ(primera->windowTitle(), QString::fromUtf8("Timeline / Control de Obra — QUELVA"));
    EXPECT_EQ(primera->size(), QSize(1200, 720));

    primera->close();
    v.abrirVentanaTimeLiner();
    ASSERT_EQ(v.timeline.timeLinerWindows.size(), 1);
    EXPECT_NE(v.timeline.timeLinerWindows.first().data(), primera.data());
}

TEST(TarjetasSidebar, ModelMenuMarksTheCurrentTransparencyAndAppliesAChoice)
{
    ContentView v;
    auto contenedor = scene::Node::make();
    auto elemento = scene::Node::make(scene::makeTriangleGeometry(
        std::vector<scene::Vec3f>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, std::vector<std::int32_t>{0, 1, 2}));
    elemento->name = "Muro";
    contenedor->addChild(elemento);
    ModeloVinculado modelo;
    modelo.nombre = "A.ifc";
    modelo.nodo = contenedor;
    v.modificarEspecialidades([&](auto& tabla) {
        tabla.at("ARQ").nodoRaiz = scene::Node::make();
        tabla.at("ARQ").modelos.push_back(modelo);
    });

    auto textos = [&] {
        QMenu menu;
        TarjetaFederacion::llenarMenuModelo(menu, v, "ARQ", v.federacion.especialidades.at("ARQ").modelos.front());
        QStringList t;
        for (QAction* a : menu.actions())
            t << (a->isSeparator() ? QStringLiteral("--") : a->text());
        return std::pair{t, menu.actions()};
    };
    EXPECT_EQ(textos().first, (QStringList{"A.ifc", "--", "Transparencia", QString::fromUtf8("Opaco ✓"), "25%", "50%",
                                           "75%", "--", QString::fromUtf8("Transformación del modelo…"), "--",
                                           "Desvincular"}));

    QMenu menu;
    TarjetaFederacion::llenarMenuModelo(menu, v, "ARQ", v.federacion.especialidades.at("ARQ").modelos.front());
    menu.actions().at(5)->trigger();  // "50%"
    EXPECT_DOUBLE_EQ(v.federacion.especialidades.at("ARQ").modelos.front().transparencia, 0.5);
    EXPECT_DOUBLE_EQ(elemento->geometry->firstMaterial()->transparency, 0.5);
    EXPECT_EQ(textos().first.at(5), QString::fromUtf8("50% ✓"));

    // The discipline menu is empty until the discipline has a root node.
    QMenu vacio;
    TarjetaFederacion::llenarMenuEspecialidad(vacio, v, "EST");
    EXPECT_TRUE(vacio.isEmpty());
    QMenu lleno;
    TarjetaFederacion::llenarMenuEspecialidad(lleno, v, "ARQ");
    EXPECT_EQ(lleno.actions().size(), 4);
}
