// The sidebar stays where the user scrolled it when a card rebuilds under a click, and brings the
// section's controls into view when the cut is switched on.

#include "main_window/ContentView.h"
#include "main_window/sidebar/Sidebar.h"
#include "support/Activar.h"
#include "support/Buscar.h"
#include "support/Esperar.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;
using testsupport::hijoVisible;

namespace {

bool enVista(QScrollArea* panel, QWidget* w)
{
    const QRect r(w->mapTo(panel->viewport(), QPoint(0, 0)), w->size());
    return panel->viewport()->rect().contains(r);
}

int arribaDe(QScrollArea* panel, QWidget* w)
{
    return w->mapTo(panel->widget(), QPoint(0, 0)).y();
}

// The main window with a long, open list of clashes under the comparison card.
struct VentanaLarga {
    ContentView v;
    QScrollArea* panel = nullptr;

    VentanaLarga()
    {
        AnalisisInterferencias a;
        a.nombre = QStringLiteral("Análisis 1");
        for (int i = 0; i < 120; ++i) {
            Interferencia c;
            c.nombreA = QStringLiteral("Muro %1").arg(i);
            c.nombreB = QStringLiteral("Viga %1").arg(i);
            a.interferencias.push_back(c);
        }
        v.clashes.analisisExpandidos.insert(a.id);
        v.clashes.historialAnalisis.push_back(a);
        v.resize(1200, 700);
        v.refrescar();
        v.show();
        panel = v.sidebar()->findChild<QScrollArea*>();
    }
};

}  // namespace

TEST(PosicionSidebar, LoadingAComparisonSlotKeepsTheScrollPosition)
{
    VentanaLarga f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.v, testsupport::kLimiteCuelgue));
    ACTIVAR_VENTANA_O_SALTAR(f.v);
    QScrollBar* barra = f.panel->verticalScrollBar();
    ASSERT_GT(barra->maximum(), 2000);

    for (const char* slot : {"cargarBASE", "cargarNUEVO"}) {
        SCOPED_TRACE(slot);
        auto* cargar = hijoVisible<QPushButton>(f.v, slot);
        ASSERT_NE(cargar, nullptr);
        barra->setValue(arribaDe(f.panel, cargar) - 100);
        ASSERT_TRUE(enVista(f.panel, cargar));
        const int antes = barra->value();

        // The click gives the button focus, as the user's does.
        ASSERT_TRUE(testsupport::activarVentana(f.v));
        QTest::mouseClick(cargar, Qt::LeftButton);
        testsupport::entregarEventos();
        QDialog* selector = f.v.dialogoActivo();
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(barra->value(), antes);

        selector->reject();
        ESPERAR_QUE(f.v.dialogoActivo() == nullptr);
        testsupport::entregarEventos();
        EXPECT_EQ(barra->value(), antes);
        // The window's focus stayed on the button the user pressed, in the card's new content.
        QWidget* foco = f.v.focusWidget();
        EXPECT_TRUE(foco && foco->objectName() == slot && foco->isVisible());
    }
}

TEST(PosicionSidebar, SwitchingTheCutOnBringsItsControlsIntoView)
{
    const struct {
        const char* caso;
        bool alPie;  // the switch on the column's lower edge; else near its top
    } casos[] = {{"al pie", true}, {"arriba", false}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        VentanaLarga f;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.v, testsupport::kLimiteCuelgue));
        ACTIVAR_VENTANA_O_SALTAR(f.v);
        QScrollBar* barra = f.panel->verticalScrollBar();
        auto* interruptor = hijoVisible<QAbstractButton>(f.v, "activarCorte");
        ASSERT_NE(interruptor, nullptr);
        const int arriba = arribaDe(f.panel, interruptor);
        barra->setValue(c.alPie ? arriba + interruptor->height() + 4 - f.panel->viewport()->height() : arriba - 20);
        ASSERT_TRUE(enVista(f.panel, interruptor));
        const int antes = barra->value();

        QTest::mouseClick(interruptor, Qt::LeftButton);
        testsupport::entregarEventos();
        ASSERT_TRUE(f.v.secciones.seccionActiva);
        for (const char* nombre : {"activarCorte", "sliderPosicion", "modoProfundidad", "botonPlano2D"}) {
            QWidget* w = hijoVisible<QWidget>(f.v, nombre);
            ASSERT_NE(w, nullptr) << nombre;
            EXPECT_TRUE(enVista(f.panel, w)) << nombre;
        }
        // Scrolled only as far as needed.
        if (c.alPie)
            EXPECT_GT(barra->value(), antes);
        else
            EXPECT_EQ(barra->value(), antes);
    }
}
