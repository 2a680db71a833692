// The main window's views are rebuilt on every state change; these cases rebuild them, or destroy
// the window, while something of theirs is still running.

#include "main_window/ContentView.h"
#include "main_window/sidebar/Sidebar.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quelva;

namespace {

template <typename T>
T* hijoVisible(QWidget& raiz, const QString& nombre)
{
    for (T* w : raiz.findChildren<T*>(nombre))
        if (w->isVisible())
            return w;
    return nullptr;
}

scene::NodePtr modeloDePrueba()
{
    auto contenedor = scene::Node::make();
    auto elemento = scene::Node::make(scene::makeTriangleGeometry(
        std::vector<scene::Vec3f>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, std::vector<std::int32_t>{0, 1, 2}));
    elemento->name = "Muro";
    contenedor->addChild(elemento);
    return contenedor;
}

void vincularModelo(ContentView& v, const QString& key, const QString& nombre)
{
    ModeloVinculado modelo;
    modelo.nombre = nombre;
    modelo.nodo = modeloDePrueba();
    v.modificarEspecialidades([&](auto& tabla) {
        EspecialidadBIM& esp = tabla.at(key);
        if (!esp.nodoRaiz) {
            esp.nodoRaiz = scene::Node::make();
            v.escena.scene->rootNode()->addChild(esp.nodoRaiz);
        }
        esp.nodoRaiz->addChild(modelo.nodo);
        esp.modelos.push_back(modelo);
    });
}

}  // namespace

TEST(CiclosDeVida, ModelRowMenuSurvivesTheSidebarBeingRebuiltWhileItIsOpen)
{
    ContentView v;
    vincularModelo(v, "ARQ", "A.ifc");
    v.resize(1440, 900);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    v.refrescar();
    QWidget* fila = nullptr;
    QTRY_VERIFY((fila = hijoVisible<QWidget>(v, "filaModelo")) != nullptr);
    QPointer<QWidget> filaVigilada(fila);

    // While the menu is up, a finished conversion refreshes the window; then "50%" is chosen.
    bool elegido = false;
    QTimer::singleShot(50, &v, [&] { v.refrescar(); });
    QTimer::singleShot(300, &v, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            if (a->text() == "50%") {
                a->trigger();
                elegido = true;
            }
        menu->close();
    });
    QContextMenuEvent evento(QContextMenuEvent::Mouse, QPoint(5, 5), fila->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(fila, &evento);

    EXPECT_TRUE(elegido);
    EXPECT_DOUBLE_EQ(v.federacion.especialidades.at("ARQ").modelos.front().transparencia, 0.5);
    QTRY_VERIFY(filaVigilada.isNull());
}
