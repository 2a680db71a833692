#include "comments/ui/TarjetaComentarios.h"

#include "comments/ControladorComentarios.h"
#include "comments/ui/EstiloComentarios.h"
#include "platform/Symbols.h"
#include "platform/TextBreaks.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace quelva {

namespace {

class FondoFila : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 13));
        p.drawRoundedRect(QRectF(rect()), 6, 6);
    }
};

// The description in the row: at most two lines of the row's width, the second ending in "…"
// when there is more. Long runs without spaces (a path, a GUID) break anywhere, so the label never
// asks for more width than the row has.
class DescripcionComentario : public QLabel {
public:
    DescripcionComentario(const QString& descripcion, QWidget* padre)
        : QLabel(platform::breakableAnywhere(descripcion), padre)
    {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setToolTip(descripcion);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(foregroundRole()));
        const QRect caja = contentsRect();
        const QFontMetrics m(font());
        QTextLayout disposicion(text(), font());
        QTextOption opcion;
        opcion.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        disposicion.setTextOption(opcion);
        disposicion.beginLayout();
        int y = caja.top();
        for (int n = 0; n < 2; ++n) {
            QTextLine linea = disposicion.createLine();
            if (!linea.isValid())
                break;
            linea.setLineWidth(caja.width());
            const bool hayMas = linea.textStart() + linea.textLength() < text().size();
            QString trozo = text().mid(linea.textStart(), n == 1 && hayMas ? -1 : linea.textLength());
            if (n == 1 && hayMas)
                trozo = m.elidedText(trozo, Qt::ElideRight, caja.width());
            p.drawText(QRect(caja.left(), y, caja.width(), m.lineSpacing()), Qt::AlignLeft | Qt::AlignTop, trozo);
            y += m.lineSpacing();
        }
        disposicion.endLayout();
    }
};

QToolButton* botonFila(const QString& simbolo, const QColor& color, QWidget* padre)
{
    auto* b = new QToolButton(padre);
    b->setIcon(platform::symbolIcon(simbolo, color));
    b->setIconSize(QSize(13, 13));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QWidget* filaComentario(ControladorComentarios& controlador, const ComentarioMarkup& c, QWidget* padre)
{
    auto* fila = new FondoFila(padre);
    fila->setObjectName(QStringLiteral("filaComentario"));
    auto* col = new QVBoxLayout(fila);
    col->setContentsMargins(6, 4, 6, 4);
    col->setSpacing(3);

    auto* primera = new QHBoxLayout;
    auto* tag = etiquetaComentario(c.tag, 11, true, colorTag(), fila);
    tag->setObjectName(QStringLiteral("tag"));
    primera->addWidget(tag);
    primera->addStretch(1);
    auto* ver = botonFila(QStringLiteral("eye"), colorSecundario(), fila);
    ver->setObjectName(QStringLiteral("verDetalle"));
    ver->setToolTip(QStringLiteral("Ver detalle"));
    QObject::connect(ver, &QToolButton::clicked, fila, [&controlador, c] { controlador.verDetalle(c); });
    primera->addWidget(ver);
    auto* eliminar = botonFila(QStringLiteral("minus.circle"), platform::systemColor(platform::SystemColor::red), fila);
    eliminar->setObjectName(QStringLiteral("eliminar"));
    const QUuid id = c.id;
    QObject::connect(eliminar, &QToolButton::clicked, fila, [&controlador, id] { controlador.pedirEliminar(id); });
    primera->addWidget(eliminar);
    col->addLayout(primera);

    if (!c.descripcion.isEmpty()) {
        auto* d = new DescripcionComentario(c.descripcion, fila);
        estiloEtiquetaComentario(d, 11, false, QColor(255, 255, 255));
        d->setObjectName(QStringLiteral("descripcion"));
        d->setMaximumHeight(d->fontMetrics().lineSpacing() * 2);
        d->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        col->addWidget(d);
    }

    auto* ultima = new QHBoxLayout;
    ultima->setSpacing(4);
    auto* persona = new QLabel(fila);
    persona->setPixmap(platform::symbolIcon(QStringLiteral("person.fill"), colorSecundario()).pixmap(11, 11));
    ultima->addWidget(persona);
    auto* autor = etiquetaComentario(c.autor, 12, false, colorSecundario(), fila);
    autor->setObjectName(QStringLiteral("autor"));
    ultima->addWidget(autor);
    ultima->addStretch(1);
    auto* fecha = etiquetaComentario(
        platform::formatUserDate(c.fecha, platform::DateStyle::short_, platform::DateStyle::short_), 11, false,
        colorSecundario(), fila);
    fecha->setObjectName(QStringLiteral("fecha"));
    ultima->addWidget(fecha);
    col->addLayout(ultima);
    return fila;
}

}  // namespace

QWidget* tarjetaComentarios(ControladorComentarios& controlador, QWidget* padre)
{
    const EstadoMarkup& e = controlador.estado();
    auto* panel = new QWidget(padre);
    panel->setObjectName(QStringLiteral("panelComentarios"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(6);

    auto* nuevo = new QPushButton(platform::symbolIcon(QStringLiteral("pencil.tip.crop.circle"), Qt::white),
                                  QStringLiteral("Nuevo comentario"), panel);
    nuevo->setObjectName(QStringLiteral("nuevoComentario"));
    nuevo->setFlat(true);
    nuevo->setStyleSheet(QStringLiteral("text-align: left;"));
    nuevo->setEnabled(controlador.hayModelosCargados());
    QObject::connect(nuevo, &QPushButton::clicked, panel, [&controlador] { controlador.iniciarComentario(); });
    col->addWidget(nuevo);

    if (e.comentarios.empty()) {
        auto* vacio = etiquetaComentario(QStringLiteral("Sin comentarios registrados"), 11, false, colorTerciario(), panel);
        vacio->setObjectName(QStringLiteral("sinComentarios"));
        vacio->setContentsMargins(0, 2, 0, 0);
        col->addWidget(vacio);
        return panel;
    }
    for (const ComentarioMarkup& c : e.comentarios)
        col->addWidget(filaComentario(controlador, c, panel));
    auto* divisor = new QFrame(panel);
    divisor->setFrameShape(QFrame::HLine);
    col->addSpacing(4);
    col->addWidget(divisor);
    auto* reporte = new QPushButton(platform::symbolIcon(QStringLiteral("doc.text.fill"), Qt::white),
                                    QStringLiteral("Reporte de comentarios"), panel);
    reporte->setObjectName(QStringLiteral("reporteComentarios"));
    reporte->setCursor(Qt::PointingHandCursor);
    reporte->setStyleSheet(QStringLiteral("QPushButton { background: #0a84ff; color: white; border: none;"
                                          " border-radius: 5px; padding: 4px 8px; font-size: 12px; }"
                                          "QPushButton:hover { background: #3d9bff; }"));
    QObject::connect(reporte, &QPushButton::clicked, panel, [&controlador] { controlador.abrirReporteComentarios(); });
    col->addWidget(reporte);
    return panel;
}

}  // namespace quelva
