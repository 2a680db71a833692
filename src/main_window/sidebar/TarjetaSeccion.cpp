#include "main_window/sidebar/TarjetaSeccion.h"

#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace quelva {

TarjetaSeccion::TarjetaSeccion(const std::optional<QString>& titulo, QWidget* contenido, QWidget* parent)
    : QWidget(parent), titulo_(titulo), contenido_(contenido)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    if (titulo_) {
        auto* etiqueta = new QLabel(titulo_->toUpper(), this);
        etiqueta->setObjectName(QStringLiteral("tituloTarjeta"));
        QFont f = etiqueta->font();
        f.setPixelSize(15);
        f.setWeight(QFont::DemiBold);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
        etiqueta->setFont(f);
        etiqueta->setStyleSheet(QStringLiteral("color: rgba(255,255,255,150); background: transparent;"));
        etiqueta->setContentsMargins(10, 8, 10, 6);
        etiqueta->setWordWrap(true);  // long titles wrap rather than widen the sidebar
        col->addWidget(etiqueta);
        auto* divisor = new QFrame(this);
        divisor->setFrameShape(QFrame::HLine);
        divisor->setFixedHeight(1);
        divisor->setStyleSheet(QStringLiteral("background: rgba(255,255,255,30); border: none;"));
        col->addWidget(divisor);
    }
    envoltura_ = new QVBoxLayout;
    envoltura_->setContentsMargins(10, 8, 10, 8);
    envoltura_->setSpacing(4);
    contenido_->setParent(this);
    envoltura_->addWidget(contenido_);
    col->addLayout(envoltura_);
    setStyleSheet(QStringLiteral("color: white;"));
}

namespace {

// The widget of the new content built where `foco` was in the old one: same class, same name,
// same place among the widgets of that name.
QWidget* homologo(QWidget* viejo, QWidget* nuevo, QWidget* foco)
{
    if (foco == viejo)
        return nuevo;
    if (foco->objectName().isEmpty())
        return nullptr;
    const QList<QWidget*> antes = viejo->findChildren<QWidget*>(foco->objectName());
    const QList<QWidget*> ahora = nuevo->findChildren<QWidget*>(foco->objectName());
    const qsizetype i = antes.indexOf(foco);
    if (i < 0 || i >= ahora.size() || ahora[i]->metaObject() != foco->metaObject() || !ahora[i]->isEnabled())
        return nullptr;
    return ahora[i];
}

}  // namespace

void TarjetaSeccion::cambiarContenido(QWidget* contenido)
{
    QWidget* viejo = contenido_;
    contenido_ = contenido;
    contenido_->setParent(this);
    delete envoltura_->replaceWidget(viejo, contenido_);
    contenido_->show();
    // Focus in the old content moves to its counterpart, else stays with the card. Left to the
    // window, it would go on to the next control of the column, which scrolls there.
    if (QWidget* foco = window()->focusWidget(); foco && (foco == viejo || viejo->isAncestorOf(foco))) {
        QWidget* destino = homologo(viejo, contenido_, foco);
        (destino ? destino : this)->setFocus(Qt::OtherFocusReason);
    }
    viejo->hide();
    viejo->setParent(nullptr);
    viejo->deleteLater();
}

void TarjetaSeccion::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath forma;
    forma.addRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), 8, 8);
    p.fillPath(forma, QColor::fromRgbF(0.28f, 0.28f, 0.28f, 0.85f));
    p.setPen(QPen(QColor(255, 255, 255, int(0.07 * 255)), 0.5));
    p.drawPath(forma);
}

CabeceraMarca::CabeceraMarca(QWidget* parent) : QWidget(parent)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);

    auto* fila = new QWidget(this);
    fila->setFixedHeight(44);
    auto* filaLayout = new QHBoxLayout(fila);
    filaLayout->setContentsMargins(12, 8, 12, 8);
    filaLayout->setSpacing(8);
    filaLayout->addStretch(1);

    auto* simbolo = new QLabel(fila);
    QPixmap pix(40, 40);
    pix.setDevicePixelRatio(2);
    pix.fill(Qt::transparent);
    {
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor azul = platform::systemColor(platform::SystemColor::blue);
        QLinearGradient gradiente(0, 0, 0, 20);
        gradiente.setColorAt(0, azul.lighter(135));
        gradiente.setColorAt(1, azul);
        platform::paintSymbol(p, QRectF(0, 0, 20, 20), QStringLiteral("cube.transparent.fill"), QBrush(gradiente));
    }
    simbolo->setPixmap(pix);
    filaLayout->addWidget(simbolo);

    auto* nombre = new QLabel(QStringLiteral("QUELVA"), fila);
    QFont f = nombre->font();
    f.setPixelSize(15);
    f.setBold(true);
    nombre->setFont(f);
    filaLayout->addWidget(nombre);
    filaLayout->addStretch(1);
    col->addWidget(fila);

    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFixedHeight(1);
    divisor->setStyleSheet(QStringLiteral("background: rgba(255,255,255,30); border: none;"));
    col->addWidget(divisor);
}

}  // namespace quelva
