#include "platform/ProcessingPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace platform {

ProcessingPanel::ProcessingPanel(QWidget* parent, const QString& text) : QWidget(parent)
{
    setObjectName(QStringLiteral("panelProcesando"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#panelProcesando { background: rgba(40,40,46,220); border-radius: 10px; }"
                                 "QLabel { color: white; background: transparent; }"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(16, 14, 16, 14);
    auto* barra = new QProgressBar(this);
    barra->setRange(0, 0);
    barra->setTextVisible(false);
    barra->setFixedHeight(6);
    col->addWidget(barra);
    label_ = new QLabel(text, this);
    label_->setContentsMargins(0, 8, 0, 0);
    label_->setAlignment(Qt::AlignCenter);
    col->addWidget(label_);
}

QString ProcessingPanel::text() const
{
    return label_->text();
}

void ProcessingPanel::setText(const QString& text)
{
    label_->setText(text);
}

}  // namespace platform
