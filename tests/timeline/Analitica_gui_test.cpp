#include "timeline/TimeLinerStore.h"
#include "timeline/ui/ArbolPaquetes.h"
#include "timeline/ui/ColumnaEVM.h"
#include "timeline/ui/PanelAnalitica.h"
#include "timeline/ui/TimeLinerView.h"
#include "timeline/ui/VistaCurvaS.h"

#include "support/Entorno.h"
#include "support/Paquetes.h"

#include "platform/SystemColors.h"
#include "viewport/ViewportController.h"
#include "support/Esperar.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace quelva;
using tl::paquete;
using tl::utc;

namespace {

PaqueteAWP iwp(const QString& codigo, std::optional<QString> padre, double presupuesto, double progreso,
               double costo, double hh = 0)
{
    PaqueteAWP p = paquete(codigo, NivelAWP::iwp, std::move(padre), utc(2025, 1, 1), utc(2025, 3, 1));
    p.presupuesto = presupuesto;
    p.progreso = progreso;
    p.costoReal = costo;
    p.hh = hh;
    return p;
}

TimeLinerConfig proyecto(std::vector<PaqueteAWP> paquetes)
{
    TimeLinerConfig c;
    c.fechaInicio = utc(2025, 1, 1);
    c.fechaFin = utc(2025, 12, 31);
    c.moneda = QStringLiteral("CLP");
    c.paquetes = std::move(paquetes);
    return c;
}

struct Ventana {
    tl::Entorno entorno{{"LC_ALL", nullptr}, {"LC_TIME", nullptr}, {"LANG", "es_CL.UTF-8"}, {"TZ", "UTC"}};
    TimeLinerStore store;
    ViewportController viewport;
    std::map<QString, EspecialidadBIM> especialidades;
    QPointer<TimeLinerView> vista;

    explicit Ventana(TimeLinerConfig config) : store(std::move(config), nullptr)
    {
        vista = new TimeLinerView(store, {}, {}, &viewport,
                                  [this]() -> const std::map<QString, EspecialidadBIM>& { return especialidades; });
        vista->resize(1200, 720);
        vista->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(vista, testsupport::kLimiteCuelgue));
    }
    ~Ventana() { delete vista.data(); }
    ControladorTimeLiner& c() { return vista->controlador(); }
    PanelAnalitica& panel() { return *vista->analitica(); }
    ColumnaEVM& columna() { return *panel().columnaEVM(); }
    ListaTarjetasPaquete& tarjetas() { return *columna().tarjetas(); }
    void clicTarjeta(std::size_t i)
    {
        QTest::mouseClick(&tarjetas(), Qt::LeftButton, {}, tarjetas().rectTarjeta(i).center().toPoint());
    }
};

QStringList codigos(const ListaTarjetasPaquete& l)
{
    QStringList r;
    for (const auto& t : l.tarjetas())
        r << t.pkg.codigo;
    return r;
}

}  // namespace

TEST(PanelAnalitica, EarnedValueColumnAndTheSwitch)
{
    Ventana v(proyecto({paquete("A", NivelAWP::cwa), iwp("I1", "A", 1000, 0.9, 1000), iwp("I2", "A", 3000, 0.5, 1500)}));
    // Every window opens on "EVM / Costo".
    EXPECT_TRUE(v.panel().segmentoEVM()->isChecked());
    EXPECT_EQ(v.panel().caras()->currentIndex(), 0);
    TarjetaValorGanado& ev = *v.columna().valorGanado();
    EXPECT_EQ(ev.bac->valor(), QStringLiteral("$4.000"));
    EXPECT_EQ(ev.ac->valor(), QStringLiteral("$2.500"));
    EXPECT_EQ(ev.ev->valor(), QStringLiteral("$2.400"));
    EXPECT_EQ(ev.spi->texto(), "0.60");
    EXPECT_EQ(ev.cpi->texto(), "0.96");
    EXPECT_EQ(ev.cpi->color(), platform::systemColor(platform::SystemColor::orange));
    // No man-hours planned: no card and no gap for it.
    EXPECT_FALSE(v.columna().horasHombre()->isVisible());

    // Automatic progress: the scrubber moves EV, BAC stays.
    v.c().setModoAutoAvance(true);
    v.c().setFechaScrubber(utc(2025, 3, 2));
    EXPECT_EQ(ev.ev->valor(), QStringLiteral("$4.000"));
    EXPECT_EQ(ev.bac->valor(), QStringLiteral("$4.000"));
    EXPECT_EQ(ev.spi->texto(), "1.00");

    // Man-hours planned on an IWP bring the card.
    v.store.modificar([](TimeLinerConfig& c) { c.paquetes[1].hh = 2000; });
    EXPECT_TRUE(v.columna().horasHombre()->isVisible());
    EXPECT_EQ(v.columna().horasHombre()->planificadas->valor(), "2.0 k HH");

    QTest::mouseClick(v.panel().segmentoCurvaS(), Qt::LeftButton);
    EXPECT_EQ(v.c().estado().panelModo, 1);
    EXPECT_EQ(v.panel().caras()->currentWidget(), v.panel().panelCurvaS());
    EXPECT_FALSE(v.columna().isVisible());
    QTest::mouseClick(v.panel().segmentoEVM(), Qt::LeftButton);
    EXPECT_EQ(v.c().estado().panelModo, 0);
    EXPECT_TRUE(v.columna().isVisible());
}

TEST(PanelAnalitica, CardsFollowTheSelectionAndAClickSelects)
{
    PaqueteAWP i1 = iwp("I1", "B", 1000, 0.6, 0);
    i1.fechaInicioReal = utc(2025, 1, 3);
    Ventana v(proyecto({paquete("B", NivelAWP::cwa), paquete("A", NivelAWP::cwa), i1, iwp("I2", std::nullopt, 0, 0, 0)}));
    EXPECT_EQ(codigos(v.tarjetas()).join(','), "A,B");
    // B has money and an IWP line; A only its IWP line.
    EXPECT_GT(v.tarjetas().tarjetas()[1].alto, v.tarjetas().tarjetas()[0].alto);

    v.clicTarjeta(1);
    ASSERT_TRUE(v.c().estado().seleccionado);
    EXPECT_EQ(v.c().estado().seleccionado->codigo, "B");
    EXPECT_EQ(codigos(v.tarjetas()).join(','), "B");
    v.clicTarjeta(0);
    EXPECT_FALSE(v.c().estado().seleccionado);
    EXPECT_EQ(codigos(v.tarjetas()).join(','), "A,B");

    // A selection in the tree (an IWP outside every CWA) reduces the column to its card.
    v.c().seleccionarPaquete(v.store.config().paquetes[3]);
    EXPECT_EQ(codigos(v.tarjetas()).join(','), "I2");

    // A playback tick repaints the cards and lays nothing out again.
    v.c().setModoAutoAvance(true);
    const auto* antes = v.tarjetas().tarjetas().data();
    v.c().avanzarScrubber();
    EXPECT_EQ(v.tarjetas().tarjetas().data(), antes);
}

TEST(PanelAnalitica, SCurveDrawsFollowsThePointerAndItsMode)
{
    Ventana v(proyecto({iwp("I1", std::nullopt, 1000, 0.5, 0, 100)}));
    QTest::mouseClick(v.panel().segmentoCurvaS(), Qt::LeftButton);
    PanelCurvaS& panel = *v.panel().panelCurvaS();
    EXPECT_EQ(panel.selectorModo()->currentText(), "Costo + HH");
    EXPECT_EQ(panel.leyenda()->filas()[1].size(), 3u);

    SuperficieCurvaS& s = *panel.superficie();
    s.setFixedSize(300, 200);
    QCoreApplication::processEvents();
    QMouseEvent mover(QEvent::MouseMove, QPointF(100, 100), s.mapToGlobal(QPointF(100, 100)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&s, &mover);
    ASSERT_TRUE(v.c().estado().sCurveHoverX);
    EXPECT_EQ(*v.c().estado().sCurveHoverX, 100);
    QImage imagen = s.grab().toImage();
    // The planned-cost curve ends in its dot at the plot's top-right corner, in blue.
    const QColor punto = imagen.pixelColor(290, 10);
    EXPECT_GT(punto.blue(), 200) << punto.name().toStdString();
    EXPECT_LT(punto.red(), 80) << punto.name().toStdString();
    // The readout box stands right of the line.
    EXPECT_NEAR(imagen.pixelColor(160, 40).redF(), 0.15, 0.03);

    QEvent salir(QEvent::Leave);
    QCoreApplication::sendEvent(&s, &salir);
    EXPECT_FALSE(v.c().estado().sCurveHoverX);

    // The picker sets the mode; in "HH" the legend has no dashed man-hour rows.
    panel.selectorModo()->setCurrentIndex(1);
    emit panel.selectorModo()->activated(1);
    EXPECT_EQ(v.c().estado().curvasModo, 1);
    EXPECT_EQ(panel.leyenda()->filas()[0][0].etiqueta, "HH Planificadas");
    EXPECT_EQ(panel.leyenda()->filas()[1].size(), 1u);

    // A surface too narrow for a plot paints only its background.
    s.setFixedSize(40, 200);
    v.c().setSCurveHoverX(35);
    imagen = s.grab().toImage();
    EXPECT_EQ(imagen.width(), 40);
    EXPECT_NEAR(imagen.pixelColor(20, 100).redF(), 0.13, 0.02);
}
