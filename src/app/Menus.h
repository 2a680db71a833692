#pragma once

#include <QKeySequence>
#include <QString>

#include <vector>

class QMenuBar;

namespace quelva {

// One entry of a menu: an item, or a divider when texto is empty.
struct ItemMenu {
    QString texto;
    QKeySequence atajo;
    QString notificacion;  // posted when chosen; empty for items that act directly
};

struct Menu {
    QString titulo;
    std::vector<ItemMenu> items;
};

// The project commands ("Archivo") and tools ("Herramientas"); the help items
// act directly and are added by the application.
std::vector<Menu> menusDeComandos();

// Posts the command on the default notification centre.
void publicarNotificacion(const QString& nombre);

}  // namespace quelva
