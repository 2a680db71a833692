#include "viewport/BarraViewport.h"
#include "viewport/BarraMedicion.h"

#include "viewport/BotonCorteCamara.h"
#include "viewport/Interruptor.h"
#include "viewport/PopoverCorteCamara.h"
#include "support/Esperar.h"

#include <QLabel>
#include <QLayout>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using quelva::VistaPreset;

namespace {

class Barra : public ::testing::Test {
protected:
    void SetUp() override
    {
        barra = std::make_unique<quelva::BarraViewport>(corte, [this] { ++cambios; });
        barra->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(barra.get(), testsupport::kLimiteCuelgue));
    }

    quelva::EstadoCorteCamara corte;
    int cambios = 0;
    std::unique_ptr<quelva::BarraViewport> barra;
};

}  // namespace

TEST_F(Barra, PresetButtonsReportTheirPresetAndCarryTheirLabelAsHelp)
{
    qRegisterMetaType<quelva::VistaPreset>();
    QSignalSpy presets(barra.get(), &quelva::BarraViewport::presetPulsado);
    QSignalSpy encuadres(barra.get(), &quelva::BarraViewport::encuadrarTodoPulsado);

    const struct { VistaPreset preset; const char* etiqueta; } casos[] = {
        {VistaPreset::arriba, "Top"}, {VistaPreset::frontal, "Front"}, {VistaPreset::posterior, "Back"},
        {VistaPreset::izquierda, "Left"}, {VistaPreset::derecha, "Right"}, {VistaPreset::isoIzquierda, "ISO L"},
        {VistaPreset::isoDerecha, "ISO R"},
    };
    int anteriorY = -1;
    for (const auto& caso : casos) {
        QToolButton* boton = barra->botonPreset(caso.preset);
        ASSERT_TRUE(boton);
        EXPECT_EQ(boton->text(), QString::fromUtf8(caso.etiqueta));
        EXPECT_EQ(boton->toolTip(), QString::fromUtf8(caso.etiqueta));
        EXPECT_GT(boton->y(), anteriorY);  // top to bottom in table order
        anteriorY = boton->y();
        QTest::mouseClick(boton, Qt::LeftButton);
        ASSERT_FALSE(presets.isEmpty());
        EXPECT_EQ(presets.takeLast().at(0).value<VistaPreset>(), caso.preset);
    }

    EXPECT_EQ(barra->botonEncuadrar()->toolTip(), QStringLiteral("Zoom extents"));
    EXPECT_LT(barra->botonEncuadrar()->y(), barra->botonCorte()->y());
    EXPECT_LT(barra->botonCorte()->y(), barra->botonPreset(VistaPreset::arriba)->y());
    QTest::mouseClick(barra->botonEncuadrar(), Qt::LeftButton);
    EXPECT_EQ(encuadres.size(), 1);
}

TEST_F(Barra, MeasurementGroupGoesBetweenZoomExtentsAndTheCutButton)
{
    auto* grupo = new QLabel(QStringLiteral("medición"));
    barra->setGrupoMedicion(grupo);
    barra->adjustSize();
    testsupport::entregarEventos();
    EXPECT_EQ(grupo->parentWidget(), barra.get());
    EXPECT_TRUE(grupo->isVisible());
    EXPECT_GT(grupo->y(), barra->botonEncuadrar()->y());
    EXPECT_LT(grupo->y(), barra->botonCorte()->y());
}

TEST_F(Barra, CutButtonOpensItsPanelAndASecondClickClosesItWithTheCutStillOn)
{
    quelva::BotonCorteCamara* boton = barra->botonCorte();
    EXPECT_EQ(boton->toolTip(), QStringLiteral("Corte de cámara — navegación interior sin seccionar la escena"));
    EXPECT_EQ(boton->text(), QStringLiteral("Corte"));

    QTest::mouseClick(boton, Qt::LeftButton);
    EXPECT_TRUE(corte.modoCorteCamara);
    EXPECT_TRUE(corte.mostrarPopoverCorte);
    EXPECT_TRUE(boton->popover()->isVisible());
    EXPECT_EQ(cambios, 1);
    EXPECT_EQ(boton->toolTip(), QStringLiteral("Corte de cámara activo (0.50 m) — clic para ajustar"));
    EXPECT_EQ(boton->popover()->width(), 300);
    EXPECT_TRUE(boton->popover()->interruptor()->isChecked());
    EXPECT_TRUE(boton->popover()->filaAviso()->isVisible());
    EXPECT_EQ(boton->popover()->etiquetaValor()->text(), QStringLiteral("0.50 m"));

    // The panel is a popup: the press on the button closes it and is not replayed as a click.
    QTest::mouseClick(boton, Qt::LeftButton);
    testsupport::entregarEventos();
    EXPECT_TRUE(corte.modoCorteCamara);
    EXPECT_FALSE(corte.mostrarPopoverCorte);
    EXPECT_FALSE(boton->popover()->isVisible());

    QTest::mouseClick(boton, Qt::LeftButton);
    EXPECT_TRUE(corte.mostrarPopoverCorte);
    EXPECT_TRUE(boton->popover()->isVisible());
}

TEST_F(Barra, PanelSliderAndSwitchChangeTheCut)
{
    quelva::BotonCorteCamara* boton = barra->botonCorte();
    QTest::mouseClick(boton, Qt::LeftButton);
    quelva::PopoverCorteCamara* panel = boton->popover();
    ASSERT_TRUE(panel->isVisible());

    const int antes = cambios;
    panel->deslizador()->setValue(25);  // 25 steps of 0.05
    EXPECT_DOUBLE_EQ(corte.distanciaCorte, 1.25);
    EXPECT_EQ(panel->etiquetaValor()->text(), QStringLiteral("1.25 m"));
    EXPECT_EQ(boton->toolTip(), QStringLiteral("Corte de cámara activo (1.25 m) — clic para ajustar"));
    EXPECT_GT(cambios, antes);
    EXPECT_EQ(panel->deslizador()->minimum() / 20.0, 0.05);
    EXPECT_EQ(panel->deslizador()->maximum() / 20.0, 5.0);

    QTest::mouseClick(panel->interruptor(), Qt::LeftButton);
    EXPECT_FALSE(corte.modoCorteCamara);
    EXPECT_FALSE(corte.mostrarPopoverCorte);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(boton->toolTip(), QStringLiteral("Corte de cámara — navegación interior sin seccionar la escena"));
    EXPECT_DOUBLE_EQ(corte.distanciaCorte, 1.25);  // kept for the next time
}

TEST_F(Barra, StateChangedElsewhereShowsOnTheButton)
{
    quelva::BotonCorteCamara* boton = barra->botonCorte();
    corte.modoCorteCamara = true;
    corte.distanciaCorte = 2.0;
    boton->actualizar();
    EXPECT_EQ(boton->toolTip(), QStringLiteral("Corte de cámara activo (2.00 m) — clic para ajustar"));
    EXPECT_FALSE(boton->popover()->isVisible());
    EXPECT_EQ(boton->popover()->deslizador()->value(), 40);
    EXPECT_EQ(cambios, 0);
}

TEST(BarraFlotante, KeepsToTheTopTrailingCornerAndLetsClicksBetweenButtonsThrough)
{
    QWidget columna;
    columna.resize(640, 480);
    auto* vista = new QWidget(&columna);  // stands for the 3D view
    vista->setGeometry(0, 0, 640, 480);
    quelva::EstadoCorteCamara corte;
    auto* barra = new quelva::BarraViewport(corte, {}, &columna);
    columna.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&columna, testsupport::kLimiteCuelgue));
    testsupport::entregarEventos();
    EXPECT_EQ(barra->geometry().topRight(), QPoint(639, 0));

    columna.resize(900, 500);
    vista->resize(900, 500);
    testsupport::entregarEventos();
    EXPECT_EQ(barra->geometry().topRight(), QPoint(899, 0));

    // Inside the bar's margin, beside the "Top" button, the 3D view is the one under the pointer.
    QToolButton* arriba = barra->botonPreset(VistaPreset::arriba);
    const QPoint margen = barra->mapTo(&columna, QPoint(3, arriba->geometry().center().y()));
    EXPECT_EQ(columna.childAt(margen), vista);
    EXPECT_NE(columna.childAt(barra->mapTo(&columna, arriba->geometry().center())), vista);
}

// "Limpiar" and "Cerrar" come and go in slots kept for them: no other button moves, and the
// empty slots let clicks through to the view.
TEST(BarraFlotante, ButtonsKeepTheirPlacesWhenTheMeasurementGroupChanges)
{
    QWidget columna;
    columna.resize(900, 700);
    auto* vista = new QWidget(&columna);
    vista->setGeometry(0, 0, 900, 700);
    quelva::EstadoCorteCamara corte;
    auto* barra = new quelva::BarraViewport(corte, {}, &columna);
    auto* grupo = new quelva::BarraMedicion(barra);
    barra->setGrupoMedicion(grupo);
    columna.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&columna, testsupport::kLimiteCuelgue));

    std::vector<QWidget*> fijos{barra->botonEncuadrar(), barra->botonCorte()};
    for (VistaPreset p : {VistaPreset::arriba, VistaPreset::frontal, VistaPreset::isoDerecha})
        fijos.push_back(barra->botonPreset(p));
    for (auto m : {quelva::ModoMedicion3D::distancia, quelva::ModoMedicion3D::punto})
        fijos.push_back(grupo->botonModo(m));
    auto posiciones = [&] {
        testsupport::entregarEventos();
        std::vector<QPoint> out;
        for (QWidget* w : fijos)
            out.push_back(w->mapTo(&columna, QPoint(0, 0)));
        return out;
    };

    quelva::EstadoMedicion estado;
    grupo->actualizar(estado);
    const auto antes = posiciones();
    const QPoint centroCerrar = grupo->botonCerrar()->mapTo(&columna, grupo->botonCerrar()->rect().center());
    EXPECT_EQ(columna.childAt(centroCerrar), vista);

    estado.modoMedicion3D = quelva::ModoMedicion3D::area;
    estado.medicionPuntosArea = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    grupo->actualizar(estado);
    EXPECT_TRUE(grupo->botonLimpiar()->isVisible());
    EXPECT_TRUE(grupo->botonCerrar()->isVisible());
    EXPECT_EQ(posiciones(), antes);
    EXPECT_EQ(columna.childAt(centroCerrar), grupo->botonCerrar());

    grupo->actualizar(quelva::EstadoMedicion{});
    EXPECT_EQ(posiciones(), antes);
    EXPECT_EQ(columna.childAt(centroCerrar), vista);
}
