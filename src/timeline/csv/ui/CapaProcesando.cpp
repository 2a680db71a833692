#include "timeline/csv/ui/CapaProcesando.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quelva {

CapaProcesando::CapaProcesando(QWidget* ventana, const QString& texto) : QWidget(ventana)
{
    setObjectName(QStringLiteral("capaProcesando"));
    setFocusPolicy(Qt::StrongFocus);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panelProcesando"));
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QStringLiteral("#panelProcesando { background: rgba(40,40,46,230); border-radius: 10px; }"
                                        "QLabel { color: white; background: transparent; }"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(16, 14, 16, 14);
    auto* barra = new QProgressBar(panel);
    barra->setRange(0, 0);
    barra->setTextVisible(false);
    barra->setFixedHeight(6);
    col->addWidget(barra);
    texto_ = new QLabel(texto, panel);
    texto_->setContentsMargins(0, 8, 0, 0);
    texto_->setAlignment(Qt::AlignCenter);
    texto_->setMaximumWidth(420);
    texto_->setWordWrap(true);
    col->addWidget(texto_);
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
