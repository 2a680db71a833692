#include "comments/ui/EstiloComentarios.h"

#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QHBoxLayout>
#include <QLabel>

namespace quelva {

QColor colorTag()
{
    return platform::systemColor(platform::SystemColor::yellow);
}

// The comment views are dark. The system's secondary and tertiary labels are dark greys meant
// for a light window; these are their light counterparts, opaque enough that the secondary one
// reads at 4.5:1 or more on the card's grey.
QColor colorSecundario()
{
    return QColor(235, 235, 245, 204);
}

QColor colorTerciario()
{
    return QColor(235, 235, 245, 140);
}

QLabel* etiquetaComentario(const QString& texto, int pixeles, bool negrita, const QColor& color, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    l->setTextFormat(Qt::PlainText);
    estiloEtiquetaComentario(l, pixeles, negrita, color);
    return l;
}

void estiloEtiquetaComentario(QLabel* l, int pixeles, bool negrita, const QColor& color)
{
    QFont f = l->font();
    f.setPixelSize(pixeles);
    f.setBold(negrita);
    l->setFont(f);
    // A style sheet, since the sidebar's own sheet would override a palette.
    l->setStyleSheet(QStringLiteral("color: rgba(%1,%2,%3,%4); background: transparent;")
                         .arg(color.red())
                         .arg(color.green())
                         .arg(color.blue())
                         .arg(color.alpha()));
}

QWidget* filaIcono(const QString& simbolo, const QString& texto, int pixeles, const QColor& color, QWidget* padre)
{
    auto* fila = new QWidget(padre);
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    auto* icono = new QLabel(fila);
    icono->setPixmap(platform::symbolIcon(simbolo, color).pixmap(pixeles, pixeles));
    h->addWidget(icono);
    auto* l = etiquetaComentario(texto, pixeles, false, color, fila);
    l->setObjectName(QStringLiteral("texto"));
    h->addWidget(l, 1);
    return fila;
}

}  // namespace quelva
