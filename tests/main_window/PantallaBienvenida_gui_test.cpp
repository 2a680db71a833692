#include "main_window/bienvenida/PantallaBienvenida.h"

#include "platform/NotificationCenter.h"
#include "support/Capturas.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;

TEST(PantallaBienvenida, ButtonsPostTheFileMenuCommands)
{
    PantallaBienvenida pantalla;
    pantalla.resize(1200, 800);
    pantalla.show();

    QObject contexto;
    QStringList recibidas;
    auto& centro = platform::NotificationCenter::defaultCenter();
    for (const char* nombre : {platform::NotificationName::abrirIFC, platform::NotificationName::abrirProyecto})
        centro.subscribe(nombre, &contexto, [&recibidas, nombre] { recibidas << nombre; });

    auto* ifc = pantalla.findChild<QPushButton*>("botonAbrirIFC");
    auto* proyecto = pantalla.findChild<QPushButton*>("botonAbrirProyecto");
    ASSERT_TRUE(ifc && proyecto);
    EXPECT_EQ(ifc->text(), "Abrir IFC");
    EXPECT_EQ(proyecto->text(), QString::fromUtf8("Abrir proyecto…"));

    QTest::mouseClick(ifc, Qt::LeftButton);
    QTest::mouseClick(proyecto, Qt::LeftButton);
    EXPECT_EQ(recibidas, (QStringList{"com.quelva.abrirIFC", "com.quelva.abrirProyecto"}));

    // The footnote keeps two spaces around the dash and the middle dot between the formats.
    auto* nota = pantalla.findChild<QLabel*>("notaFormatos");
    ASSERT_TRUE(nota);
    EXPECT_TRUE(nota->text().startsWith(QString::fromUtf8("Formatos soportados: IFC 2x3 · IFC 4  —  ")));

    testsupport::guardarCaptura(pantalla, "bienvenida");
}
