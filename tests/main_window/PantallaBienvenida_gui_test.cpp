#include "main_window/bienvenida/PantallaBienvenida.h"

#include "main_window/ColumnaViewport.h"
#include "main_window/ContentView.h"
#include "platform/NotificationCenter.h"
#include "support/Capturas.h"
#include "viewport/BarraViewport.h"
#include "support/Esperar.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
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

TEST(PantallaBienvenida, StepTitlesStayClearOfTheViewportToolbarAndWhole)
{
    for (const QSize tamano : {QSize(1440, 900), QSize(1100, 700)}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(tamano.width()).arg(tamano.height()).toStdString());
        // As the application lays it out: a menu bar above the main window view.
        QMainWindow ventana;
        ventana.menuBar()->addMenu(QStringLiteral("Archivo"));
        auto* v = new ContentView(&ventana);
        ventana.setCentralWidget(v);
        ventana.resize(tamano);
        ventana.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana, testsupport::kLimiteCuelgue));
        testsupport::entregarEventos();
        ColumnaViewport& columna = *v->columnaViewport();
        const QRegion barra = columna.zonaBarra();
        ASSERT_FALSE(barra.isEmpty());
        const QList<QLabel*> titulos = columna.bienvenida()->findChildren<QLabel*>("tituloPaso");
        ASSERT_EQ(titulos.size(), 6);
        for (QLabel* titulo : titulos) {
            SCOPED_TRACE(titulo->text().toStdString());
            const QRect zona(titulo->mapTo(&columna, QPoint(0, 0)), titulo->size());
            EXPECT_FALSE(barra.intersects(zona));
            EXPECT_TRUE(columna.rect().contains(zona));
            // Every word fits on its line and every line has its height.
            for (const QString& palabra : titulo->text().split(u' '))
                EXPECT_LE(titulo->fontMetrics().horizontalAdvance(palabra), titulo->contentsRect().width());
            EXPECT_GE(titulo->height(), titulo->heightForWidth(titulo->width()));
        }
        testsupport::guardarCaptura(ventana, QStringLiteral("bienvenida_%1").arg(tamano.width()));
    }
}
