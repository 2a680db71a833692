#pragma once

#include <QWidget>

namespace quelva {

class ContentView;

// The timeline card: the IWP/CWA summary with the average progress, and "Abrir Timeline".
class TarjetaTimeLiner : public QWidget {
    Q_OBJECT
public:
    explicit TarjetaTimeLiner(ContentView& vista, QWidget* parent = nullptr);
};

}  // namespace quelva
