#include "app/RuedaSoloConFoco.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>

namespace quelva {

namespace {

bool esControlDeValor(const QWidget* w)
{
    return (qobject_cast<const QAbstractSlider*>(w) && !qobject_cast<const QScrollBar*>(w))
           || qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w);
}

// The value control the wheel is over: the widget itself or the one it is part of (a spin box's
// line edit). A pane on the way means the widget is in the pane, not in a control.
QWidget* controlBajo(QWidget* w)
{
    for (; w && !w->isWindow(); w = w->parentWidget()) {
        if (esControlDeValor(w))
            return w;
        if (qobject_cast<QAbstractScrollArea*>(w))
            return nullptr;
    }
    return nullptr;
}

// The nearest scrolling pane whose content holds the control.
QAbstractScrollArea* panelDe(QWidget* control)
{
    for (QWidget* w = control->parentWidget(); w && !w->isWindow(); w = w->parentWidget())
        if (auto* panel = qobject_cast<QAbstractScrollArea*>(w->parentWidget()); panel && panel->viewport() == w)
            return panel;
    return nullptr;
}

}  // namespace

RuedaSoloConFoco::RuedaSoloConFoco(QObject* parent) : QObject(parent) {}

bool RuedaSoloConFoco::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::Polish) {
        // Spin and combo boxes take focus from the wheel itself: they would always count as focused.
        auto* w = qobject_cast<QWidget*>(objeto);
        if (w && esControlDeValor(w) && w->focusPolicy() == Qt::WheelFocus)
            w->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    if (evento->type() != QEvent::Wheel || !objeto->isWidgetType())
        return false;
    QWidget* control = controlBajo(static_cast<QWidget*>(objeto));
    if (!control || control->hasFocus())
        return false;
    QAbstractScrollArea* panel = panelDe(control);
    if (!panel)
        return false;
    // The pane scrolls as if the control were not there.
    const auto* rueda = static_cast<QWheelEvent*>(evento);
    QWidget* vista = panel->viewport();
    QWheelEvent paraPanel(vista->mapFromGlobal(rueda->globalPosition()), rueda->globalPosition(), rueda->pixelDelta(),
                          rueda->angleDelta(), rueda->buttons(), rueda->modifiers(), rueda->phase(),
                          rueda->inverted(), rueda->source(), rueda->pointingDevice());
    paraPanel.setTimestamp(rueda->timestamp());
    QApplication::sendEvent(vista, &paraPanel);
    evento->accept();
    return true;
}

}  // namespace quelva
