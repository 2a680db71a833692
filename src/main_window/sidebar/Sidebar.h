#pragma once

#include <QWidget>

class QScrollArea;
class QVBoxLayout;

namespace quelva {

class ContentView;

// The left column: the brand header pinned above one scrolling column of the seven feature
// cards, always all present, in their fixed order.
class Sidebar : public QWidget {
    Q_OBJECT
public:
    Sidebar(ContentView& vista, QWidget* parent);

    void refrescar();

private:
    ContentView& vista_;
    QScrollArea* desplazable_ = nullptr;
};

}  // namespace quelva
