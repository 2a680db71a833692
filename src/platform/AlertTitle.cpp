#include "platform/AlertTitle.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace platform {

namespace {
// Window icon, close button and the bar's margins of the usual window managers.
constexpr int kReserveTitleBar = 140;
}  // namespace

int alertWidthForTitle(const QString& title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kReserveTitleBar;
}

void keepAlertTitleWhole(QMessageBox& alert)
{
    auto* grid = qobject_cast<QGridLayout*>(alert.layout());
    if (!grid)
        return;
    const QMargins margins = grid->contentsMargins();
    const int width = alertWidthForTitle(alert.windowTitle()) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

}  // namespace platform
