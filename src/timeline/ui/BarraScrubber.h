#pragma once

#include <QWidget>

#include <array>

class QDateEdit;
class QLabel;
class QToolButton;

namespace quelva {

class ControladorTimeLiner;

// The painted track: rail, progress and thumb; a press or drag moves the scrubber.
class PistaScrubber : public QWidget {
    Q_OBJECT
public:
    PistaScrubber(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {200, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    ControladorTimeLiner& c_;
};

// The row under the Gantt: project dates, track, playback controls, speed and date field.
class BarraScrubber : public QWidget {
    Q_OBJECT
public:
    BarraScrubber(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    void refrescar();

private:
    ControladorTimeLiner& c_;
    QLabel* inicio_;
    QLabel* fin_;
    PistaScrubber* pista_;
    QToolButton* reproducir_;
    std::array<QToolButton*, 4> velocidades_{};
    QDateEdit* fecha_;
    bool reproduciendo_ = false;
};

}  // namespace quelva
