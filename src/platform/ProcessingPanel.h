#pragma once

#include <QWidget>

class QLabel;

namespace platform {

// The dark rounded box shown while work runs in the background: an indeterminate bar over a line
// of text. Each window places it where it suits: over its 3D view, or centred on a dimmed cover.
class ProcessingPanel : public QWidget {
    Q_OBJECT
public:
    explicit ProcessingPanel(QWidget* parent, const QString& text = {});

    QString text() const;
    void setText(const QString& text);
    QLabel* label() const { return label_; }

private:
    QLabel* label_ = nullptr;
};

}  // namespace platform
