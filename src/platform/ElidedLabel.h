#pragma once

#include <QLabel>

namespace platform {

// A one-line label that shows its text cut with "…" at the end when its room is short; text()
// keeps the whole text and the tooltip shows it. Its minimum width does not follow the text.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;
    // The text as drawn now.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace platform
