#include "timeline/HojasTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/ArbolPaquetes.h"
#include "timeline/ui/BarraScrubber.h"
#include "timeline/ui/CabeceraTimeLiner.h"
#include "timeline/ui/TimeLinerView.h"
#include "timeline/ui/VistaGantt.h"

#include "support/Entorno.h"
#include "support/Paquetes.h"

#include "render/SceneView.h"
#include "scene/Geometry.h"
#include "viewport/ViewportController.h"
#include "support/Esperar.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QGlyphRun>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTextLayout>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace quelva;
using tl::paquete;
using tl::utc;

namespace {

bool esperar(const std::function<bool()>& condicion)
{
    return testsupport::esperarQue(condicion);
}

scene::NodePtr elemento(const std::string& nombre)
{
    const scene::Vec3f puntos[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const std::int32_t indices[] = {0, 1, 2};
    scene::NodePtr n = scene::Node::make(scene::makeTriangleGeometry(puntos, indices));
    n->geometry->materials = {scene::makeMaterial()};
    n->geometry->materials[0]->diffuse.contents = scene::Color{1, 0, 0, 1};
    n->name = nombre;
    return n;
}

QString texto(QWidget& raiz, const char* nombre)
{
    auto* l = raiz.findChild<QLabel*>(nombre);
    return l ? l->text() : QStringLiteral("<ninguno>");
}

// A timeline window over a store, with one discipline whose root holds `nombres`.
struct Ventana {
    TimeLinerStore store;
    ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;
    QPointer<TimeLinerView> vista;

    explicit Ventana(TimeLinerConfig config, std::initializer_list<std::string> nombres = {})
        : store(std::move(config), nullptr)
    {
        EspecialidadBIM arq;
        arq.nodoRaiz = scene::Node::make();
        for (const std::string& n : nombres)
            arq.nodoRaiz->addChild(elemento(n));
        especialidades["ARQ"] = arq;
        vista = new TimeLinerView(store, {}, {}, &viewport,
                                  [this]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; });
        vista->resize(1200, 720);
        vista->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(vista, testsupport::kLimiteCuelgue));
    }
    ~Ventana() { delete vista.data(); }
    ControladorTimeLiner& c() { return vista->controlador(); }
};

TimeLinerConfig proyecto()
{
    TimeLinerConfig c;
    c.fechaInicio = utc(2025, 1, 1);
    c.fechaFin = utc(2025, 12, 31);
    return c;
}

}  // namespace

TEST(TimeLinerView, LayoutOfTheWindow)
{
    Ventana v(proyecto());
    EXPECT_EQ(v.vista->windowTitle(), QString::fromUtf8("Timeline / Control de Obra — QUELVA"));
    QSplitter* d = v.vista->division();
    ASSERT_EQ(d->count(), 3);
    EXPECT_EQ(d->widget(0)->minimumWidth(), 220);
    EXPECT_EQ(d->widget(0)->maximumWidth(), 320);
    EXPECT_EQ(d->widget(2)->minimumWidth(), 230);
    EXPECT_EQ(d->widget(2)->maximumWidth(), 300);
    EXPECT_EQ(texto(*v.vista, "subtitulo"), QString::fromUtf8("AWP · 0 IWP(s) · 0 paquetes"));
    // No package: the empty state, and the summary at zero.
    EXPECT_TRUE(v.vista->findChild<QWidget*>("sinPaquetes")->isVisible());
    EXPECT_EQ(texto(*v.vista, "paquetesIWP"), "0");
    EXPECT_EQ(texto(*v.vista, "avanceGlobal"), "0%");
    // The scrubber starts at the project start.
    EXPECT_EQ(v.c().estado().fechaScrubber, utc(2025, 1, 1));
}

TEST(TimeLinerView, BadgeFollowsTheSynchronisation)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LANG", "es_CL.UTF-8"}};
    TimeLinerConfig config = proyecto();
    PaqueteAWP p = paquete("IWP-1", NivelAWP::iwp, std::nullopt, utc(2025, 3, 1), utc(2025, 4, 1));
    p.elementosNombre = {"Muro"};
    config.paquetes = {paquete("CWA-1", NivelAWP::cwa), paquete("CWP-1", NivelAWP::cwp, "NADIE")};
    Ventana sinElementos(config);
    auto* insignia = sinElementos.vista->findChild<QLabel*>("insignia4D");
    ASSERT_TRUE(esperar([&] { return insignia->isVisible(); }));
    EXPECT_EQ(insignia->text(), QString::fromUtf8("⚠ Sin elementos asignados"));
    EXPECT_FALSE(insignia->property("verde").toBool());
    // Packages but no CWA with children and no IWP: an empty list, not the empty state.
    EXPECT_FALSE(sinElementos.vista->findChild<QWidget*>("sinPaquetes")->isVisible());
    EXPECT_TRUE(sinElementos.vista->arbol()->lista()->filas().size() == 1);

    config.paquetes = {p};
    Ventana conElementos(config, {"Muro"});
    auto* verde = conElementos.vista->findChild<QLabel*>("insignia4D");
    ASSERT_TRUE(esperar([&] { return verde->isVisible(); }));
    EXPECT_EQ(verde->text(), QString::fromUtf8("🔵0 ✅0 ⬜1"));
    EXPECT_TRUE(verde->property("verde").toBool());
    EXPECT_EQ(texto(*conElementos.vista, "subtitulo"), QString::fromUtf8("AWP · 1 IWP(s) · 1 paquetes"));
    // Every symbol of the badge has a glyph (the emoji font), none is drawn as an empty box.
    QTextLayout capa(verde->text(), verde->font());
    capa.beginLayout();
    capa.createLine();
    capa.endLayout();
    for (const QGlyphRun& tramo : capa.glyphRuns())
        for (const quint32 g : tramo.glyphIndexes())
            EXPECT_NE(g, 0u) << tramo.rawFont().familyName().toStdString();
}

TEST(TimeLinerView, HeaderTextsAreWholeAtTheDefaultSize)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LANG", "es_CL.UTF-8"}};
    TimeLinerConfig config = proyecto();
    for (int i = 0; i < 354; ++i)
        config.paquetes.push_back(paquete(QStringLiteral("IWP-%1").arg(i), NivelAWP::iwp));
    Ventana v(config);
    auto* insignia = v.vista->findChild<QLabel*>("insignia4D");
    ASSERT_TRUE(esperar([&] { return insignia->isVisible(); }));
    for (QLabel* l : v.vista->findChild<QWidget*>("cabeceraTimeLiner")->findChildren<QLabel*>()) {
        if (!l->isVisible() || l->text().isEmpty())
            continue;
        // The badge's warning fits on one line here; a longer one would wrap, never be cut.
        EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->contentsRect().width()) << l->text().toStdString();
    }
}

TEST(TimeLinerView, MonthStripLabelsEveryMonthAfterAShortFebruaryOrALateStart)
{
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"}};
    // At the default width: sixteen months, whose February is narrower than a label "MMM 00" wide
    // though wider than its own; and a year from the 20th of January, whose January is a stub
    // narrower than its label.
    const struct {
        QDateTime inicio, fin;
        std::size_t meses;
        std::size_t desde, hasta;  // the months that must be named; the window's end has no room
    } casos[] = {
        {utc(2025, 1, 1), utc(2026, 4, 28), 16, 0, 16},
        {QDateTime(QDate(2015, 1, 20), QTime(0, 0)), QDateTime(QDate(2016, 1, 1), QTime(0, 0)), 13, 1, 12},
    };
    for (const auto& c : casos) {
        TimeLinerConfig config;
        config.fechaInicio = c.inicio;
        config.fechaFin = c.fin;
        Ventana v(config);
        const std::vector<MesGantt> meses = v.vista->findChild<FranjaMeses*>("franjaMeses")->meses();
        ASSERT_EQ(meses.size(), c.meses);
        for (std::size_t i = c.desde; i < c.hasta; ++i)
            EXPECT_TRUE(meses[i].conEtiqueta) << c.inicio.toString().toStdString() << " mes " << i;
    }
}

TEST(TimeLinerView, TreeClicksSelectExpandAndEdit)
{
    TimeLinerConfig config = proyecto();
    PaqueteAWP cwa = paquete("CWA-1", NivelAWP::cwa);
    cwa.nombre = "CWA-1";
    config.paquetes = {cwa, paquete("CWP-1", NivelAWP::cwp, "CWA-1"), paquete("IWP-1", NivelAWP::iwp, "CWP-1")};
    Ventana v(config);
    ListaPaquetes* lista = v.vista->arbol()->lista();
    ASSERT_EQ(lista->filas().size(), 1u);

    QTest::mouseClick(lista, Qt::LeftButton, {}, lista->chevron(0).center().toPoint());
    EXPECT_EQ(lista->filas().size(), 3u);
    EXPECT_FALSE(v.c().estado().seleccionado);

    const QPoint centro = lista->rectFila(1).center().toPoint();
    QTest::mouseClick(lista, Qt::LeftButton, {}, centro);
    ASSERT_TRUE(v.c().estado().seleccionado);
    EXPECT_EQ(v.c().estado().seleccionado->codigo, "CWP-1");
    QTest::mouseClick(lista, Qt::LeftButton, {}, centro);
    EXPECT_FALSE(v.c().estado().seleccionado);

    // The pencil hands the package to the editor; with no editor registered the flag drops.
    QDialog* abierta = nullptr;
    hojasTimeLiner().editor = [&](QWidget* padre, PaqueteAWP& editando, TimeLinerStore&,
                                  const PropiedadesPorEspecialidad&) {
        EXPECT_EQ(editando.codigo, "IWP-1");
        abierta = new QDialog(padre);
        return abierta;
    };
    QTest::mouseClick(lista, Qt::LeftButton, {}, lista->lapiz(2).center().toPoint());
    EXPECT_TRUE(v.c().estado().mostrarEditor);
    ASSERT_TRUE(abierta);
    EXPECT_TRUE(abierta->isVisible());
    abierta->reject();
    EXPECT_FALSE(v.c().estado().mostrarEditor);
    hojasTimeLiner().editor = nullptr;

    v.c().nuevoPaquete();
    EXPECT_FALSE(v.c().estado().mostrarEditor);
    QTest::mouseClick(lista, Qt::LeftButton, {}, lista->chevron(0).center().toPoint());
    EXPECT_EQ(lista->filas().size(), 1u);
}

TEST(TimeLinerView, CsvAlertIsClearedHoweverItCloses)
{
    Ventana v(proyecto());
    v.c().errorSinPaquetesCSV({});
    QMessageBox* alerta = v.vista->alertaCSV();
    ASSERT_TRUE(alerta);
    EXPECT_EQ(alerta->windowTitle(), "Error al importar CSV");
    EXPECT_TRUE(alerta->text().startsWith("No se encontraron paquetes válidos en el CSV.\n\n"));
    ASSERT_EQ(alerta->buttons().size(), 1);
    EXPECT_EQ(alerta->buttons().front()->text(), "OK");
    alerta->buttons().front()->click();
    EXPECT_FALSE(v.c().estado().errorCSV);

    // The next failure raises it again; closing the window takes it and the error away.
    ASSERT_TRUE(esperar([&] { return !v.vista->alertaCSV(); }));
    v.c().errorSinPaquetesCSV({});
    ASSERT_TRUE(v.vista->alertaCSV());
    v.vista->close();
    EXPECT_FALSE(v.c().estado().errorCSV);
}

TEST(TimeLinerView, ScrubberBarShowsPlaybackAndBoundsTheDate)
{
    Ventana v(proyecto());
    auto* boton = v.vista->findChild<QToolButton*>("reproducir");
    boton->click();
    EXPECT_TRUE(boton->property("reproduciendo").toBool());
    boton->click();
    EXPECT_FALSE(boton->property("reproduciendo").toBool());

    auto* fecha = v.vista->findChild<QDateEdit*>("fechaScrubber");
    EXPECT_EQ(fecha->minimumDate(), utc(2025, 1, 1).toLocalTime().date());
    EXPECT_EQ(fecha->maximumDate(), utc(2025, 12, 31).toLocalTime().date());
    fecha->setDate(QDate(2025, 6, 15));
    EXPECT_EQ(v.c().estado().fechaScrubber.toLocalTime().date(), QDate(2025, 6, 15));

    auto* pista = v.vista->findChild<PistaScrubber*>("pistaScrubber");
    QTest::mouseClick(pista, Qt::LeftButton, {}, QPoint(0, 8));
    EXPECT_EQ(v.c().estado().fechaScrubber, utc(2025, 1, 1));
}

TEST(TimeLinerView, ThroughTheViewAndBackOnClose)
{
    render::SceneView vista3D;
    vista3D.resize(320, 240);
    vista3D.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&vista3D, testsupport::kLimiteCuelgue));
    scene::ScenePtr escena = scene::makeScene();
    const scene::NodePtr muro = elemento("Muro");
    const scene::NodePtr losa = elemento("Losa");
    losa->opacity = 0.8;
    escena->rootNode()->addChild(muro);
    escena->rootNode()->addChild(losa);
    vista3D.setScene(escena);

    TimeLinerConfig config = proyecto();
    PaqueteAWP cwa = paquete("CWA-1", NivelAWP::cwa);
    PaqueteAWP iwp = paquete("IWP-1", NivelAWP::iwp, "CWA-1", utc(2025, 3, 1), utc(2025, 4, 1));
    iwp.elementosNombre = {"Muro"};
    config.paquetes = {cwa, iwp};
    Ventana v(config);
    v.viewport.scnView = &vista3D;
    v.c().setFechaScrubber(utc(2025, 3, 10));
    EXPECT_EQ(v.c().estado().estadoSync4D, QString::fromUtf8("🔵0 ✅1 ⬜0"));
    EXPECT_EQ(muro->opacity, Sincronizacion4D::opacidadEnCurso);

    // The card's picture isolates the package and puts every opacity back.
    v.c().abrirFicha(cwa);
    ASSERT_TRUE(v.c().estado().fichaImagen);
    EXPECT_FALSE(v.c().estado().fichaImagen->isNull());
    EXPECT_EQ(muro->opacity, Sincronizacion4D::opacidadEnCurso);
    EXPECT_EQ(losa->opacity, 0.8);
    // A CWP without elements anywhere: the sheet without a picture.
    v.c().abrirFicha(paquete("CWP-X", NivelAWP::cwp, "CWA-1"));
    EXPECT_FALSE(v.c().estado().fichaImagen);

    // Playing holds the view in its quick frames; a pause and the close let it go.
    v.c().alternarReproduccion();
    EXPECT_TRUE(vista3D.isAnimatingScene());
    v.c().alternarReproduccion();
    EXPECT_FALSE(vista3D.isAnimatingScene());
    v.c().alternarReproduccion();

    v.vista->close();
    EXPECT_FALSE(vista3D.isAnimatingScene());
    EXPECT_EQ(muro->opacity, 1.0);
    EXPECT_EQ(*muro->geometry->firstMaterial()->diffuse.color(), (scene::Color{1, 0, 0, 1}));
    EXPECT_EQ(losa->opacity, 0.8);
    EXPECT_TRUE(v.c().estado().estadoSync4D.isEmpty());
}
