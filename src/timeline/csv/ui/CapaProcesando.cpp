#include "timeline/csv/ui/CapaProcesando.h"

#include "platform/ProcessingPanel.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace quelva {

CapaProcesando::CapaProcesando(QWidget* ventana, const QString& texto) : QWidget(ventana)
{
    setObjectName(QStringLiteral("capaProcesando"));
    setFocusPolicy(Qt::StrongFocus);

    auto* panel = new platform::ProcessingPanel(this, texto);
    texto_ = panel->label();
    texto_->setMaximumWidth(420);
    texto_->setWordWrap(true);
    panel->setMinimumWidth(260);

    auto* centro = new QVBoxLayout(this);
    centro->addStretch(1);
    centro->addWidget(panel, 0, Qt::AlignHCenter);
    centro->addStretch(1);

    setGeometry(ventana->rect());
    ventana->installEventFilter(this);
    raise();
    show();
    setFocus();
}

QString CapaProcesando::texto() const
{
    return texto_->text();
}

bool CapaProcesando::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == parent() && evento->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(objeto, evento);
}

void CapaProcesando::paintEvent(QPaintEvent*)
{
    // The window shows through, dimmed: it is still there, only busy.
    QPainter pintor(this);
    pintor.fillRect(rect(), QColor(0, 0, 0, 90));
}

}  // namespace quelva
