#include "timeline/ControladorTimeLiner.h"
#include "timeline/TimeLinerStore.h"

#include "support/Paquetes.h"

#include "scene/Geometry.h"
#include "viewport/ViewportController.h"
#include "platform/Queues.h"
#include "support/Esperar.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

using quelva::ControladorTimeLiner;
using quelva::EspecialidadBIM;
using quelva::NivelAWP;
using quelva::PaqueteAWP;
using quelva::TimeLinerConfig;
using quelva::TimeLinerStore;
using tl::paquete;
using tl::utc;

namespace {

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

// A controller on a store, without a 3D view, with one discipline holding `nombres`.
struct Banco {
    TimeLinerStore store;
    quelva::ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;
    std::unique_ptr<ControladorTimeLiner> c;

    explicit Banco(TimeLinerConfig config, std::initializer_list<std::string> nombres = {})
        : store(std::move(config), nullptr)
    {
        EspecialidadBIM arq;
        arq.nodoRaiz = scene::Node::make();
        for (const std::string& n : nombres)
            arq.nodoRaiz->addChild(elemento(n));
        especialidades["ARQ"] = arq;
        c = std::make_unique<ControladorTimeLiner>(store, &viewport, [this]() -> const auto& { return especialidades; });
    }
    scene::NodePtr nodo(const std::string& nombre) const
    {
        return especialidades.at("ARQ").nodoRaiz->childNamed(nombre, true);
    }
};

TimeLinerConfig proyecto(QDateTime inicio, QDateTime fin)
{
    TimeLinerConfig c;
    c.fechaInicio = inicio;
    c.fechaFin = fin;
    return c;
}

}  // namespace

TEST(ControladorTimeLiner, PlaybackAdvancesBySpeedAndStopsAtTheEnd)
{
    const struct { double velocidad; QDateTime fin; int ticks; double diasDeMas; } casos[] = {
        {30, utc(2025, 1, 1).addDays(365), 365, 0},
        {120, utc(2025, 1, 1).addDays(365).addSecs(12 * 3600), 92, 2.5},
        {15, utc(2025, 1, 1).addDays(10), 20, 0},
    };
    for (const auto& caso : casos) {
        Banco b(proyecto(utc(2025, 1, 1), caso.fin));
        ControladorTimeLiner& c = *b.c;
        double ahora = 0;
        c.setReloj([&] { return ahora; });
        c.irAlInicio();
        c.setVelocidad(caso.velocidad);
        c.alternarReproduccion();
        ASSERT_TRUE(c.estado().reproduciendo);
        int ticks = 0;
        while (c.estado().reproduciendo && ticks < 1000) {
            ahora += 1.0 / 30;
            c.tickReproduccion();
            ++ticks;
        }
        EXPECT_EQ(ticks, caso.ticks) << caso.velocidad;
        EXPECT_FALSE(c.temporizadorActivo());
        EXPECT_EQ(caso.fin.secsTo(c.estado().fechaScrubber), qint64(caso.diasDeMas * 86400)) << caso.velocidad;
        EXPECT_EQ(c.fraccionScrubber(), 1.0);
    }
}

// Where playback stands is the clock's business: late ticks catch up, a tick without time
// moves nothing, pauses and jumps of the user restart the count, a new speed counts from then.
TEST(ControladorTimeLiner, PlaybackFollowsTheClockNotTheTicks)
{
    Banco b(proyecto(utc(2025, 1, 1), utc(2027, 1, 1)));
    ControladorTimeLiner& c = *b.c;
    double ahora = 100;
    c.setReloj([&] { return ahora; });
    c.setFechaScrubber(utc(2025, 1, 1));
    c.setVelocidad(30);
    c.alternarReproduccion();

    const struct { double segundos; QDateTime fecha; } pasos[] = {
        {0.5, utc(2025, 1, 16)},  // one slow frame: half a second at once
        {0, utc(2025, 1, 16)},    // no time, no movement
        {1.5, utc(2025, 3, 2)},   // 45 more days
    };
    for (const auto& paso : pasos) {
        ahora += paso.segundos;
        c.tickReproduccion();
        EXPECT_EQ(c.estado().fechaScrubber, paso.fecha) << paso.segundos;
    }

    c.alternarReproduccion();  // pause for 10 s: no days pass
    ahora += 10;
    c.alternarReproduccion();
    ahora += 1;
    c.tickReproduccion();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 4, 1));

    c.setFechaScrubber(utc(2026, 1, 1));  // the user moves the thumb while it plays
    ahora += 1;
    c.tickReproduccion();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2026, 1, 31));

    ahora += 1;
    c.setVelocidad(120);  // the second before counts at 30 days
    ahora += 1;
    c.tickReproduccion();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2026, 6, 30));
    c.alternarReproduccion();
}

TEST(ControladorTimeLiner, PlayAtTheEndStartsOverAndStepsClamp)
{
    Banco b(proyecto(utc(2025, 1, 1), utc(2025, 12, 31)));
    ControladorTimeLiner& c = *b.c;
    c.setFechaScrubber(utc(2026, 1, 5));
    c.alternarReproduccion();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 1, 1));
    c.alternarReproduccion();  // pause
    EXPECT_FALSE(c.estado().reproduciendo);

    // Play before the end continues from where it is.
    c.setFechaScrubber(utc(2025, 6, 1));
    c.alternarReproduccion();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 6, 1));
    c.alternarReproduccion();

    c.setFechaScrubber(utc(2025, 1, 20));
    c.retrocederScrubber();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 1, 1));
    c.setFechaScrubber(utc(2025, 12, 10));
    c.avanzarScrubber();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 12, 31));
    c.setFechaScrubber(utc(2025, 6, 1));
    c.avanzarScrubber();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 6, 1).addSecs(2'592'000));
    c.retrocederScrubber();
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 6, 1));
}

TEST(ControladorTimeLiner, DraggingMapsTheTrackOntoTheProject)
{
    Banco b(proyecto(utc(2025, 1, 1), utc(2025, 1, 11)));
    ControladorTimeLiner& c = *b.c;
    const struct { double x, ancho; QDateTime fecha; } casos[] = {
        {50, 100, utc(2025, 1, 6)}, {-20, 100, utc(2025, 1, 1)}, {0, 100, utc(2025, 1, 1)},
        {100, 100, utc(2025, 1, 11)}, {250, 100, utc(2025, 1, 11)},
    };
    for (const auto& caso : casos) {
        c.arrastrarScrubber(caso.x, caso.ancho);
        EXPECT_EQ(c.estado().fechaScrubber, caso.fecha) << caso.x;
    }
    c.arrastrarScrubber(50, 0);  // a track of no width: nothing moves
    EXPECT_EQ(c.estado().fechaScrubber, utc(2025, 1, 11));

    // A project that ends before it starts: the thumb stays left.
    Banco al(proyecto(utc(2025, 1, 11), utc(2025, 1, 1)));
    al.c->setFechaScrubber(utc(2025, 6, 1));
    EXPECT_EQ(al.c->fraccionScrubber(), 0.0);
    al.c->arrastrarScrubber(50, 100);
    EXPECT_EQ(al.c->estado().fechaScrubber, utc(2025, 1, 6));
}

TEST(ControladorTimeLiner, NoTickRunsAfterStopOrClose)
{
    TimeLinerConfig config = proyecto(utc(2025, 1, 1), utc(2030, 1, 1));
    PaqueteAWP p = paquete("A", NivelAWP::iwp, std::nullopt, utc(2025, 1, 1), utc(2026, 1, 1));
    p.elementosNombre = {"Muro"};
    config.paquetes = {p};
    Banco b(config, {"Muro"});
    ControladorTimeLiner& c = *b.c;
    c.irAlInicio();
    c.alternarReproduccion();
    // Wait for a firing of the timer, so that ticks are posted, then stop before they run.
    ESPERAR_QUE(c.estado().fechaScrubber > utc(2025, 1, 1));
    c.detenerYRestaurar();
    const QDateTime alCerrar = c.estado().fechaScrubber;
    // The posted ticks and the delayed first synchronisation run, and change nothing.
    ESPERAR_QUE(platform::MainQueue::delayedPending() == 0);
    testsupport::entregarEventos();
    EXPECT_EQ(c.estado().fechaScrubber, alCerrar);
    EXPECT_FALSE(c.estado().reproduciendo);
    EXPECT_TRUE(c.estado().estadoSync4D.isEmpty());
    EXPECT_EQ(b.nodo("Muro")->opacity, 1.0);
}

TEST(ControladorTimeLiner, FirstSynchronisationComesAfterShowingUnlessClosedFirst)
{
    TimeLinerConfig config = proyecto(utc(2025, 1, 1), utc(2026, 1, 1));
    PaqueteAWP p = paquete("A", NivelAWP::iwp, std::nullopt, utc(2025, 3, 1), utc(2025, 4, 1));
    p.elementosNombre = {"Muro"};
    config.paquetes = {p};
    Banco b(config, {"Muro"});
    b.c->setFechaScrubber(utc(2025, 3, 15));
    b.c->irAlInicio();
    EXPECT_EQ(b.c->estado().fechaScrubber, utc(2025, 1, 1));
    ESPERAR_QUE(b.c->estado().estadoSync4D == "🔵0 ✅0 ⬜1");
    EXPECT_EQ(b.nodo("Muro")->opacity, 0.0);

    Banco cerrado(config, {"Muro"});
    cerrado.c->irAlInicio();
    cerrado.c->detenerYRestaurar();
    ESPERAR_QUE(platform::MainQueue::delayedPending() == 0);
    testsupport::entregarEventos();
    EXPECT_TRUE(cerrado.c->estado().estadoSync4D.isEmpty());
    EXPECT_EQ(cerrado.nodo("Muro")->opacity, 1.0);
}

TEST(ControladorTimeLiner, SelectionTogglesHighlightsAndFollowsEdits)
{
    TimeLinerConfig config;
    PaqueteAWP cwa = paquete("A", NivelAWP::cwa);
    cwa.elementosNombre = {"Propio"};
    PaqueteAWP iwp = paquete("A-I", NivelAWP::iwp, "A");
    iwp.elementosNombre = {"Muro"};
    config.paquetes = {cwa, iwp};
    Banco b(config, {"Propio", "Muro", "Otro"});
    ControladorTimeLiner& c = *b.c;
    auto emision = [&](const char* n) { return *b.nodo(n)->geometry->firstMaterial()->emission.color(); };

    c.seleccionarPaquete(cwa);
    EXPECT_EQ(emision("Propio"), quelva::Sincronizacion4D::colorDestacado());
    EXPECT_EQ(emision("Muro"), quelva::Sincronizacion4D::colorDestacado());
    EXPECT_EQ(emision("Otro"), scene::Color::black());
    c.seleccionarPaquete(cwa);  // again: cleared
    EXPECT_FALSE(c.estado().seleccionado);
    EXPECT_EQ(emision("Muro"), scene::Color::black());

    c.seleccionarPaquete(iwp);
    b.store.modificar([](TimeLinerConfig& cfg) { cfg.paquetes[1].nombre = "renombrado"; });
    ASSERT_TRUE(c.estado().seleccionado);
    EXPECT_EQ(c.estado().seleccionado->nombre, "renombrado");
    b.store.modificar([](TimeLinerConfig& cfg) { cfg.paquetes.pop_back(); });
    EXPECT_FALSE(c.estado().seleccionado);
    EXPECT_EQ(emision("Muro"), scene::Color::black());

    // The chevron: only CWAs, and it leaves the selection alone.
    c.seleccionarPaquete(cwa);
    c.alternarExpandidoCWA(cwa);
    EXPECT_EQ(c.estado().expandidosCWA, (std::set<QString>{"A"}));
    c.alternarExpandidoCWA(iwp);
    c.alternarExpandidoCWA(cwa);
    EXPECT_TRUE(c.estado().expandidosCWA.empty());
    EXPECT_TRUE(c.estado().seleccionado);
}

TEST(ControladorTimeLiner, CsvResultRaisesThePreviewOrTheAlert)
{
    Banco b(TimeLinerConfig{});
    ControladorTimeLiner& c = *b.c;
    c.errorSinPaquetesCSV({});
    ASSERT_TRUE(c.estado().errorCSV);
    EXPECT_EQ(*c.estado().errorCSV,
              "No se encontraron paquetes válidos en el CSV.\n\nColumnas requeridas:\n"
              "Nivel, Código, Nombre, Inicio (YYYY-MM-DD), Fin (YYYY-MM-DD)");
    EXPECT_FALSE(c.estado().mostrarImportarCSV);
    c.cerrarErrorCSV();
    EXPECT_FALSE(c.estado().errorCSV);

    c.errorSinPaquetesCSV({paquete("X", NivelAWP::iwp)});
    EXPECT_TRUE(c.estado().mostrarImportarCSV);
    ASSERT_TRUE(c.estado().paquetesCSV);
    EXPECT_EQ(c.estado().paquetesCSV->size(), 1u);

    QSignalSpy avisos(&b.store, &TimeLinerStore::configChanged);
    c.agregarPaquetesCSV({paquete("X", NivelAWP::iwp), paquete("Y", NivelAWP::iwp), paquete("X", NivelAWP::cwa)});
    EXPECT_EQ(b.store.config().paquetes.size(), 2u);
    EXPECT_EQ(avisos.count(), 1);
    c.agregarPaquetesCSV({paquete("X", NivelAWP::iwp)});
    EXPECT_EQ(b.store.config().paquetes.size(), 2u);
    EXPECT_EQ(avisos.count(), 1);  // nothing new, nothing announced
}

TEST(ControladorTimeLiner, CsvImportOutsideTheWindowMovesItInsideLeavesIt)
{
    tl::ZonaHoraria zona("UTC");
    const TimeLinerConfig ventana = proyecto(utc(2025, 1, 1), utc(2025, 12, 31));
    const PaqueteAWP propio = paquete("P", NivelAWP::iwp, std::nullopt, utc(2025, 3, 1), utc(2025, 4, 1));
    const struct {
        const char* caso;
        std::vector<PaqueteAWP> importados;
        QDateTime inicio, fin;
    } casos[] = {
        {"inside", {paquete("A", NivelAWP::iwp, std::nullopt, utc(2025, 2, 1), utc(2025, 12, 31))},
         ventana.fechaInicio, ventana.fechaFin},
        // Every package counts, the stored one too: 30 days before the first start, 15 after the last end.
        {"a schedule of 2015", {paquete("A", NivelAWP::iwp, std::nullopt, utc(2015, 3, 2), utc(2015, 9, 1)),
                                paquete("B", NivelAWP::iwp, std::nullopt, utc(2015, 6, 1), utc(2016, 5, 1))},
         utc(2015, 1, 31), utc(2025, 4, 16)},
        {"ending after the window", {paquete("A", NivelAWP::iwp, std::nullopt, utc(2025, 6, 1), utc(2026, 2, 1))},
         utc(2025, 1, 30), utc(2026, 2, 16)},
        // Skipped as already present: nothing added, nothing moved.
        {"a code already there", {paquete("P", NivelAWP::iwp, std::nullopt, utc(2015, 3, 2), utc(2015, 9, 1))},
         ventana.fechaInicio, ventana.fechaFin},
    };
    for (const auto& caso : casos) {
        TimeLinerConfig config = ventana;
        config.paquetes = {propio};
        Banco b(config);
        b.c->agregarPaquetesCSV(caso.importados);
        EXPECT_EQ(b.store.config().fechaInicio, caso.inicio) << caso.caso;
        EXPECT_EQ(b.store.config().fechaFin, caso.fin) << caso.caso;
        // Once: a later import inside the new window leaves it.
        b.c->agregarPaquetesCSV({paquete("Z", NivelAWP::iwp, std::nullopt, utc(2025, 3, 2), utc(2025, 3, 9))});
        EXPECT_EQ(b.store.config().fechaInicio, caso.inicio) << caso.caso;
        EXPECT_EQ(b.store.config().fechaFin, caso.fin) << caso.caso;
    }
}

TEST(ControladorTimeLiner, CsvConfirmationInTheBackgroundEndsAsTheDirectOne)
{
    tl::ZonaHoraria zona("UTC");
    const TimeLinerConfig ventana = proyecto(utc(2025, 1, 1), utc(2025, 12, 31));
    const std::vector<PaqueteAWP> propios = {
        paquete("A", NivelAWP::cwa), paquete("A-P", NivelAWP::cwp, "A"), paquete("A-I", NivelAWP::iwp, "A-P")};
    const std::vector<PaqueteAWP> importados = {
        paquete("B", NivelAWP::cwa), paquete("A-I2", NivelAWP::iwp, "A", utc(2015, 3, 2), utc(2015, 9, 1)),
        paquete("A-I", NivelAWP::iwp, "B"), paquete("B-I", NivelAWP::iwp, "B"), paquete("B", NivelAWP::iwp),
        paquete("SUELTO", NivelAWP::iwp)};
    const struct {
        const char* caso;
        std::vector<PaqueteAWP> propios;
        std::set<QString> expandidos;
        bool conSeleccion;
    } casos[] = {
        {"into an empty timeline", {}, {}, false},
        {"after packages of its own, one of its codes again", propios, {"A"}, false},
        {"with a CWA expanded and a package selected", propios, {"A", "B"}, true},
    };
    const auto filas = [](const ControladorTimeLiner& c) {
        QStringList r;
        for (const quelva::FilaVisible& f : c.filasVisibles())
            r.append(f.pkg.id.toString() + ":" + QString::number(f.sangria));
        return r;
    };
    const auto tarjetas = [](const ControladorTimeLiner& c) {
        QStringList r;
        for (const quelva::LineasTarjeta& t : c.lineasTarjetas())
            r.append(QStringLiteral("%1 %2%3%4%5")
                         .arg(t.pkg.id.toString())
                         .arg(t.dinero)
                         .arg(t.horas)
                         .arg(t.desfase)
                         .arg(t.iwps));
        return r;
    };
    const auto figuras = [](const ControladorTimeLiner& c) {
        const quelva::FigurasProyecto& f = c.figurasProyecto();
        return std::vector<double>{f.valorGanado.bac, f.valorGanado.ac, f.valorGanado.ev, f.valorGanado.spi,
                                   f.valorGanado.cpi, f.horasHombre.planificadas, f.horasHombre.ganadas,
                                   double(f.conHorasHombre)};
    };
    for (const auto& caso : casos) {
        std::vector<PaqueteAWP> lista = importados;
        for (std::size_t i = 0; i < lista.size(); ++i) {
            lista[i].presupuesto = 100.0 * double(i + 1);
            lista[i].hh = 10.0 * double(i);
            lista[i].progreso = 0.25 * double(i % 4);
        }
        TimeLinerConfig config = ventana;
        config.paquetes = caso.propios;
        Banco directo(config), fondo(config);
        for (Banco* b : {&directo, &fondo}) {
            for (const QString& codigo : caso.expandidos)
                b->c->alternarExpandidoCWA(paquete(codigo, NivelAWP::cwa));
            if (caso.conSeleccion)
                b->c->seleccionarPaquete(b->store.config().paquetes.front());
        }
        directo.c->agregarPaquetesCSV(lista);

        QSignalSpy avisos(&fondo.store, &TimeLinerStore::configChanged);
        bool terminado = false;
        fondo.c->agregarPaquetesCSVEnSegundoPlano(std::make_shared<const std::vector<PaqueteAWP>>(lista),
                                                  [&] { terminado = true; });
        EXPECT_EQ(fondo.store.config(), config) << caso.caso;  // untouched until the result is back
        ASSERT_TRUE(testsupport::esperarQue([&] { return terminado; })) << caso.caso;
        EXPECT_EQ(avisos.count(), 1) << caso.caso;
        EXPECT_EQ(fondo.store.config(), directo.store.config()) << caso.caso;
        // What the window takes for this version: the prepared rows, cards and figures.
        EXPECT_EQ(filas(*fondo.c), filas(*directo.c)) << caso.caso;
        EXPECT_EQ(tarjetas(*fondo.c), tarjetas(*directo.c)) << caso.caso;
        EXPECT_EQ(figuras(*fondo.c), figuras(*directo.c)) << caso.caso;
        EXPECT_EQ(fondo.c->progresoAgregadoEfectivo(fondo.store.config().paquetes.front()),
                  directo.c->progresoAgregadoEfectivo(directo.store.config().paquetes.front()))
            << caso.caso;
    }
}

TEST(ControladorTimeLiner, CsvConfirmationTracesTheSCurveOnShowAsItsChartWould)
{
    tl::ZonaHoraria zona("UTC");
    TimeLinerConfig config = proyecto(utc(2025, 1, 1), utc(2025, 12, 31));
    config.paquetes = {paquete("A", NivelAWP::cwa)};
    std::vector<PaqueteAWP> lista;
    for (int i = 0; i < 40; ++i) {
        const QDateTime inicio = utc(2025, 1 + i % 12, 1 + i % 27);
        PaqueteAWP p = paquete(QStringLiteral("I%1").arg(i), NivelAWP::iwp, "A", inicio, inicio.addDays(10 + i));
        p.presupuesto = 100.0 + i;
        p.hh = 8.0 * (i % 5);
        p.progreso = 0.1 * (i % 11);
        lista.push_back(p);
    }
    const QSize pedido(240, 180);
    const struct {
        int modo;
        QSize tamano;  // of the chart when it repaints
        bool preparada;
    } casos[] = {{0, pedido, true}, {1, pedido, true}, {2, pedido, true}, {2, QSize(241, 180), false}};
    for (const auto& caso : casos) {
        Banco b(config);
        bool terminado = false;
        b.c->agregarPaquetesCSVEnSegundoPlano(std::make_shared<const std::vector<PaqueteAWP>>(lista),
                                              [&] { terminado = true; }, quelva::PedidoCurvaS{caso.modo, pedido});
        ASSERT_TRUE(testsupport::esperarQue([&] { return terminado; }));
        const std::optional<quelva::TrazadoCurvaS> listo = b.c->tomarCurvaPreparada(caso.modo, caso.tamano);
        ASSERT_EQ(listo.has_value(), caso.preparada) << caso.modo;
        EXPECT_FALSE(b.c->tomarCurvaPreparada(caso.modo, caso.tamano)) << caso.modo;  // taken once
        if (!listo)
            continue;
        const quelva::TrazadoCurvaS propio = quelva::trazarCurvaS(b.store.config(), caso.modo, caso.tamano);
        EXPECT_EQ(listo->datos.iwps, propio.datos.iwps) << caso.modo;
        EXPECT_EQ(listo->datos.bac, propio.datos.bac) << caso.modo;
        EXPECT_EQ(listo->geometria.b, propio.geometria.b) << caso.modo;
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(listo->series[i].dibujar, propio.series[i].dibujar) << caso.modo << " " << i;
            EXPECT_EQ(listo->series[i].trazo, propio.series[i].trazo) << caso.modo << " " << i;
            EXPECT_EQ(listo->series[i].area, propio.series[i].area) << caso.modo << " " << i;
        }
        EXPECT_EQ(listo->datos.iwps.size(), 40u) << caso.modo;
    }
}

TEST(ControladorTimeLiner, WithoutAViewThereIsNoPicture)
{
    TimeLinerConfig config;
    PaqueteAWP p = paquete("A", NivelAWP::iwp);
    p.elementosNombre = {"Muro"};
    config.paquetes = {p, paquete("B", NivelAWP::cwp)};
    Banco b(config, {"Muro"});
    b.c->abrirFicha(config.paquetes[0]);
    EXPECT_TRUE(b.c->estado().mostrarFicha);
    EXPECT_FALSE(b.c->estado().fichaImagen);
    b.c->abrirFicha(config.paquetes[1]);
    EXPECT_EQ(b.c->estado().fichaAWP->codigo, "B");
    EXPECT_FALSE(b.c->estado().fichaImagen);
    EXPECT_EQ(b.nodo("Muro")->opacity, 1.0);
}
