#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QWidget>

namespace testsupport {

// The first shown child of `raiz` with that object name (views rebuild, leaving hidden old copies).
template <typename T>
T* hijoVisible(QWidget& raiz, const QString& nombre)
{
    for (T* w : raiz.findChildren<T*>(nombre))
        if (w->isVisible())
            return w;
    return nullptr;
}

// The alert on screen, if any.
inline QMessageBox* alertaVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<QMessageBox*>(w); a && a->isVisible())
            return a;
    return nullptr;
}

}  // namespace testsupport
