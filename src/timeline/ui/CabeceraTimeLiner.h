#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace quelva {

class ControladorTimeLiner;

// The header row: logo, title and counts, the toolbar, the 4D badge and the currency.
class CabeceraTimeLiner : public QWidget {
    Q_OBJECT
public:
    CabeceraTimeLiner(ControladorTimeLiner& controlador, QWidget* parent = nullptr);

    // Reads the state again; cheap enough for every playback tick.
    void refrescar();

signals:
    void exportarGantt();
    void exportarCSV();
    void importarCSV();

private:
    ControladorTimeLiner& c_;
    QLabel* subtitulo_;
    QLabel* insignia_;
    QToolButton* auto_;
    QComboBox* moneda_;
};

}  // namespace quelva
