// Scrolling a pane with the wheel never changes a slider, spin box or combo box it passes over;
// a control the user clicked into (keyboard focus) still takes the wheel.

#include "app/QUELVAApp.h"

#include "main_window/ContentView.h"
#include "main_window/sidebar/Sidebar.h"
#include "support/Activar.h"
#include "support/Esperar.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/editor/ui/EditorPaqueteView.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace quelva;

namespace {

template <typename T = QWidget>
T* visible(QWidget& raiz, const char* nombre)
{
    for (T* w : raiz.findChildren<T*>(QString::fromLatin1(nombre)))
        if (w->isVisible())
            return w;
    return nullptr;
}

double valorDe(QWidget* w)
{
    if (auto* s = qobject_cast<QSlider*>(w))
        return s->value();
    if (auto* d = qobject_cast<QDateEdit*>(w))
        return double(d->date().toJulianDay());
    if (auto* s = qobject_cast<QSpinBox*>(w))
        return s->value();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentIndex();
    ADD_FAILURE() << "control de otro tipo";
    return 0;
}

// One notch over the middle of the control, where a wheel over it ends up.
void rueda(QWidget* control, int delta)
{
    const QPointF centro = QRectF(control->rect()).center();
    QWheelEvent ev(centro, control->mapToGlobal(centro), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(control, &ev);
}

bool enVista(QAbstractScrollArea* panel, QWidget* w)
{
    const QRect r(w->mapTo(panel->viewport(), QPoint(0, 0)), w->size());
    return panel->viewport()->rect().contains(r);
}

// A tall column in a short pane with one control of each kind in its middle.
struct HojaDePrueba {
    QDialog hoja;
    QScrollArea* panel = new QScrollArea(&hoja);

    HojaDePrueba()
    {
        hoja.resize(300, 240);
        auto* capa = new QVBoxLayout(&hoja);
        capa->addWidget(panel);
        auto* columna = new QWidget;
        auto* v = new QVBoxLayout(columna);
        auto* arriba = new QLabel(QStringLiteral("arriba"));
        arriba->setFixedHeight(400);
        v->addWidget(arriba);
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(QStringLiteral("slider"));
        slider->setRange(0, 100);
        slider->setValue(50);
        v->addWidget(slider);
        auto* spin = new QSpinBox;
        spin->setObjectName(QStringLiteral("spin"));
        spin->setRange(0, 100);
        spin->setValue(50);
        v->addWidget(spin);
        auto* combo = new QComboBox;
        combo->setObjectName(QStringLiteral("combo"));
        combo->addItems({QStringLiteral("uno"), QStringLiteral("dos"), QStringLiteral("tres")});
        combo->setCurrentIndex(1);
        v->addWidget(combo);
        auto* abajo = new QLabel(QStringLiteral("abajo"));
        abajo->setFixedHeight(400);
        v->addWidget(abajo);
        panel->setWidgetResizable(true);
        panel->setWidget(columna);
    }
};

PaqueteAWP paqueteAWP(const QString& codigo, NivelAWP nivel, std::optional<QString> padre = std::nullopt)
{
    PaqueteAWP p;
    p.codigo = codigo;
    p.nivel = nivel;
    p.parentCodigo = std::move(padre);
    p.fechaInicio = QDateTime(QDate(2025, 6, 1), QTime(12, 0), Qt::UTC);
    p.fechaFin = QDateTime(QDate(2025, 6, 11), QTime(12, 0), Qt::UTC);
    return p;
}

}  // namespace

TEST(RuedaSoloConFoco, WheelOverAnUnfocusedControlScrollsThePaneAndAFocusedControlTakesIt)
{
    QUELVAApp app;
    ContentView& v = *app.contentView();
    // The section's controls, with values that can move either way.
    v.secciones.seccionActiva = true;
    v.secciones.seccionModoProfundidad = 1;
    v.secciones.seccionProfundidad = 5;
    v.refrescar();
    auto* barraLateral = v.sidebar()->findChild<QScrollArea*>();

    // The package editor (a modal sheet), over an IWP whose parent is one of two CWPs.
    TimeLinerConfig config;
    config.paquetes = {paqueteAWP("A", NivelAWP::cwa), paqueteAWP("P1", NivelAWP::cwp, "A"),
                       paqueteAWP("P2", NivelAWP::cwp, "A")};
    TimeLinerStore store(config, nullptr);
    // Dates inside the parent's, free to move by a day.
    PaqueteAWP trabajo = paqueteAWP("I", NivelAWP::iwp, "P1");
    trabajo.fechaInicio = QDateTime(QDate(2025, 6, 5), QTime(12, 0), Qt::UTC);
    trabajo.fechaFin = QDateTime(QDate(2025, 6, 8), QTime(12, 0), Qt::UTC);
    trabajo.progreso = 0.5;
    EditorPaqueteView editor(trabajo, store, {});
    auto* formulario = editor.findChild<QScrollArea*>("formulario");

    HojaDePrueba prueba;

    const struct {
        const char* nombre;
        QWidget* ventana;
        QScrollArea* desplazable;
        std::vector<const char*> controles;
    } paneles[] = {
        {"barra lateral", app.ventanaPrincipal(), barraLateral, {"sliderPosicion", "profundidad", "modoProfundidad"}},
        {"editor de paquetes", &editor, formulario, {"deslizadorAvance", "inicio", "padre"}},
        {"hoja", &prueba.hoja, prueba.panel, {"slider", "spin", "combo"}},
    };
    for (const auto& p : paneles) {
        ASSERT_NE(p.desplazable, nullptr) << p.nombre;
        p.ventana->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(p.ventana, testsupport::kLimiteCuelgue));
        ACTIVAR_VENTANA_O_SALTAR(*p.ventana);
        for (const char* nombre : p.controles) {
            SCOPED_TRACE(std::string(p.nombre) + " / " + nombre);
            QWidget* control = visible(*p.ventana, nombre);
            ASSERT_NE(control, nullptr);
            // A wheel that passes over the control must not hand it focus; a click does.
            EXPECT_NE(control->focusPolicy(), Qt::WheelFocus);
            EXPECT_TRUE(control->focusPolicy() & Qt::ClickFocus);
            if (QWidget* foco = QApplication::focusWidget())
                foco->clearFocus();

            // The pane is shorter than its content: the control in the middle, room to scroll.
            QScrollBar* barra = p.desplazable->verticalScrollBar();
            ASSERT_GT(barra->maximum(), 0);
            barra->setValue(control->mapTo(p.desplazable->widget(), QPoint(0, 0)).y()
                            - p.desplazable->viewport()->height() / 2);
            ASSERT_TRUE(enVista(p.desplazable, control));
            const int delta = barra->value() < barra->maximum() ? -120 : 120;

            const double antes = valorDe(control);
            const int desplazamiento = barra->value();
            rueda(control, delta);
            testsupport::entregarEventos();
            control = visible(*p.ventana, nombre);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(valorDe(control), antes);
            EXPECT_NE(barra->value(), desplazamiento);

            // With focus, the control takes the wheel and the pane stays (held to its end when
            // the change makes the content shorter).
            barra->setValue(desplazamiento);
            ASSERT_TRUE(testsupport::activarVentana(*p.ventana));
            control->setFocus(Qt::MouseFocusReason);
            ASSERT_TRUE(control->hasFocus());
            rueda(control, delta);
            testsupport::entregarEventos();
            EXPECT_EQ(barra->value(), std::min(desplazamiento, barra->maximum()));
            control = visible(*p.ventana, nombre);
            ASSERT_NE(control, nullptr);
            EXPECT_NE(valorDe(control), antes);
        }
        p.ventana->hide();
    }
}
