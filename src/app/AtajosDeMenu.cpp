#include "app/AtajosDeMenu.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>

namespace quelva {

namespace {

// Marks a stand-in and names the menu action it triggers.
constexpr char kAccionDeMenu[] = "quelvaAccionDeMenu";

void accionesConAtajo(const QList<QAction*>& acciones, QList<QAction*>& salida)
{
    for (QAction* a : acciones) {
        if (a->menu())
            accionesConAtajo(a->menu()->actions(), salida);
        else if (!a->shortcut().isEmpty())
            salida.append(a);
    }
}

// A shortcut the window itself binds to these keys.
bool atajoPropio(QWidget* ventana, const QKeySequence& teclas)
{
    for (const QShortcut* s : ventana->findChildren<QShortcut*>())
        if (s->isEnabled() && s->keys().contains(teclas))
            return true;
    QList<QWidget*> widgets = ventana->findChildren<QWidget*>();
    widgets.prepend(ventana);
    for (const QWidget* w : widgets)
        for (const QAction* a : w->actions())
            if (!a->property(kAccionDeMenu).isValid() && a->isEnabled() && a->shortcuts().contains(teclas))
                return true;
    return false;
}

// A modal sheet or alert of the main window is up: it answers first, as it does for the menu.
bool retenidaPorHoja(const QWidget& principal)
{
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w == &principal || !w->isVisible() || !w->isModal())
            continue;
        if (w->windowModality() == Qt::ApplicationModal)
            return true;
        if (w->parentWidget() && w->parentWidget()->window() == &principal)
            return true;
    }
    return false;
}

}  // namespace

AtajosDeMenu::AtajosDeMenu(QMainWindow& principal, QObject* parent) : QObject(parent), principal_(principal) {}

bool AtajosDeMenu::eventFilter(QObject* objeto, QEvent* evento)
{
    if ((evento->type() == QEvent::WindowActivate || evento->type() == QEvent::Show) && objeto->isWidgetType()) {
        auto* w = static_cast<QWidget*>(objeto);
        // Plain windows only: dialogs, sheets, menus and tooltips keep their keys.
        if (w->isWindow() && w->windowType() == Qt::Window && w != &principal_)
            prepararVentana(w);
    }
    return false;
}

void AtajosDeMenu::prepararVentana(QWidget* ventana)
{
    QList<QAction*> menu;
    accionesConAtajo(principal_.menuBar()->actions(), menu);
    QList<QAction*> suplentes;
    for (QAction* a : ventana->actions())
        if (a->property(kAccionDeMenu).isValid())
            suplentes.append(a);

    for (QAction* original : menu) {
        QAction* suplente = nullptr;
        for (QAction* s : suplentes)
            if (s->property(kAccionDeMenu).value<QObject*>() == original)
                suplente = s;
        if (!suplente) {
            suplente = new QAction(ventana);
            suplente->setProperty(kAccionDeMenu, QVariant::fromValue<QObject*>(original));
            suplente->setShortcuts(original->shortcuts());
            suplente->setShortcutContext(Qt::WindowShortcut);
            ventana->addAction(suplente);
            connect(suplente, &QAction::triggered, this, [this, original = QPointer<QAction>(original)] {
                if (original && original->isEnabled() && !retenidaPorHoja(principal_))
                    original->trigger();
            });
        }
        // Checked again each time the window comes forward: it may have bound the keys since.
        suplente->setEnabled(!atajoPropio(ventana, original->shortcut()));
    }
}

}  // namespace quelva
