#include "comments/ui/PanelMarkup.h"

#include "comments/ControladorComentarios.h"
#include "comments/ui/MarkupCanvas.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace quelva {

namespace {

QColor colorPaleta(const ColorMarkup& c)
{
    return QColor::fromRgbF(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b));
}

QIcon muestra(const QColor& color, bool actual)
{
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(2, 2, 44, 44));
    if (actual) {
        p.setPen(QPen(Qt::white, 5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(4.5, 4.5, 39, 39));
    }
    return QIcon(pm);
}

QToolButton* botonSimbolo(const QString& simbolo, const QColor& color, const QString& ayuda, QWidget* padre)
{
    auto* b = new QToolButton(padre);
    b->setIcon(platform::symbolIcon(simbolo, color));
    b->setIconSize(QSize(20, 20));
    b->setAutoRaise(true);
    b->setToolTip(ayuda);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QFrame* divisorVertical(QWidget* padre)
{
    auto* d = new QFrame(padre);
    d->setFrameShape(QFrame::VLine);
    d->setFixedHeight(24);
    return d;
}

}  // namespace

PanelMarkup::PanelMarkup(ControladorComentarios& controlador, QWidget* parent)
    : QWidget(parent), controlador_(controlador)
{
    setObjectName(QStringLiteral("panelMarkup"));
    setAttribute(Qt::WA_TranslucentBackground);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(12, 12, 12, 12);
    col->setSpacing(8);

    auto* barra = new QHBoxLayout;
    barra->setSpacing(8);
    barra->addStretch(1);
    for (int i = 0; i < static_cast<int>(markupPaleta.size()); ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("color%1").arg(i));
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setToolTip(QString::fromUtf8(markupPaleta[static_cast<std::size_t>(i)].nombre));
        b->setCursor(Qt::PointingHandCursor);
        connect(b, &QToolButton::clicked, this, [this, i] { controlador_.elegirColor(i); });
        muestras_.append(b);
        barra->addWidget(b);
    }
    barra->addWidget(divisorVertical(this));
    lapiz_ = botonSimbolo(QStringLiteral("pencil.tip"), Qt::white, QStringLiteral("Dibujo libre"), this);
    lapiz_->setObjectName(QStringLiteral("lapiz"));
    connect(lapiz_, &QToolButton::clicked, this, [this] { controlador_.herramientaLapiz(); });
    barra->addWidget(lapiz_);
    texto_ = botonSimbolo(QStringLiteral("textformat.size"), Qt::white,
                          QStringLiteral("Agregar texto (clic donde colocar)"), this);
    texto_->setObjectName(QStringLiteral("herramientaTexto"));
    connect(texto_, &QToolButton::clicked, this, [this] { controlador_.herramientaTexto(); });
    barra->addWidget(texto_);
    barra->addWidget(divisorVertical(this));
    auto* icono = new QLabel(this);
    icono->setPixmap(platform::symbolIcon(QStringLiteral("lineweight"),
                                          platform::systemColor(platform::SystemColor::secondaryLabel))
                         .pixmap(18, 18));
    barra->addWidget(icono);
    // Width 1..10 in tenths, so the slider moves continuously.
    grosor_ = new QSlider(Qt::Horizontal, this);
    grosor_->setObjectName(QStringLiteral("grosor"));
    grosor_->setRange(10, 100);
    grosor_->setFixedWidth(70);
    connect(grosor_, &QSlider::valueChanged, this, [this](int v) { controlador_.cambiarGrosor(v / 10.0); });
    barra->addWidget(grosor_);
    barra->addWidget(divisorVertical(this));
    auto* limpiar = botonSimbolo(QStringLiteral("trash"), platform::systemColor(platform::SystemColor::red),
                                 QStringLiteral("Limpiar anotaciones"), this);
    limpiar->setObjectName(QStringLiteral("limpiar"));
    connect(limpiar, &QToolButton::clicked, this, [this] { controlador_.limpiarAnotaciones(); });
    barra->addWidget(limpiar);
    barra->addStretch(1);
    col->addLayout(barra);

    filaTexto_ = new QWidget(this);
    auto* ft = new QHBoxLayout(filaTexto_);
    ft->setContentsMargins(0, 0, 0, 0);
    ft->setSpacing(6);
    auto* mano = new QLabel(filaTexto_);
    mano->setPixmap(platform::symbolIcon(QStringLiteral("hand.point.up"),
                                         platform::systemColor(platform::SystemColor::yellow))
                        .pixmap(18, 18));
    ft->addWidget(mano);
    campoTexto_ = new QLineEdit(filaTexto_);
    campoTexto_->setObjectName(QStringLiteral("campoTexto"));
    campoTexto_->setPlaceholderText(QStringLiteral("Escribe el texto y luego clic en la vista…"));
    connect(campoTexto_, &QLineEdit::textEdited, this, [this](const QString& t) { controlador_.cambiarTextoPendiente(t); });
    ft->addWidget(campoTexto_, 1);
    col->addWidget(filaTexto_);

    auto* form = new QHBoxLayout;
    form->setSpacing(8);
    autor_ = new QLineEdit(this);
    autor_->setObjectName(QStringLiteral("autor"));
    autor_->setPlaceholderText(QStringLiteral("Autor"));
    autor_->setFixedWidth(120);
    connect(autor_, &QLineEdit::textEdited, this, [this](const QString& t) { controlador_.cambiarAutor(t); });
    form->addWidget(autor_);
    descripcion_ = new QLineEdit(this);
    descripcion_->setObjectName(QStringLiteral("descripcion"));
    descripcion_->setPlaceholderText(QStringLiteral("Descripción del comentario…"));
    connect(descripcion_, &QLineEdit::textEdited, this,
            [this](const QString& t) { controlador_.cambiarDescripcion(t); });
    form->addWidget(descripcion_, 1);
    auto* guardar = new QToolButton(this);
    guardar->setObjectName(QStringLiteral("guardar"));
    guardar->setText(QStringLiteral("Guardar"));
    guardar->setIcon(platform::symbolIcon(QStringLiteral("checkmark.circle.fill"),
                                          platform::systemColor(platform::SystemColor::green)));
    guardar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    guardar->setAutoRaise(true);
    QFont negrita = guardar->font();
    negrita.setBold(true);
    guardar->setFont(negrita);
    connect(guardar, &QToolButton::clicked, this, [this] { controlador_.guardarComentario(); });
    form->addWidget(guardar);
    auto* cancelar = botonSimbolo(QStringLiteral("xmark.circle"), platform::systemColor(platform::SystemColor::red),
                                  QStringLiteral("Cancelar"), this);
    cancelar->setObjectName(QStringLiteral("cancelar"));
    connect(cancelar, &QToolButton::clicked, this, [this] { controlador_.cancelarMarkup(); });
    form->addWidget(cancelar);
    col->addLayout(form);

    actualizar();
}

void PanelMarkup::actualizar()
{
    const EstadoMarkup& e = controlador_.estado();
    for (int i = 0; i < muestras_.size(); ++i)
        muestras_[i]->setIcon(muestra(colorPaleta(markupPaleta[static_cast<std::size_t>(i)]), i == e.markupColorIdx));
    const QColor primario = Qt::white;
    const QColor secundario = platform::systemColor(platform::SystemColor::secondaryLabel);
    lapiz_->setIcon(platform::symbolIcon(QStringLiteral("pencil.tip"), e.markupModoTexto ? secundario : primario));
    texto_->setIcon(platform::symbolIcon(QStringLiteral("textformat.size"), e.markupModoTexto ? primario : secundario));
    {
        const QSignalBlocker bloqueo(grosor_);
        grosor_->setValue(qRound(e.markupGrosor * 10));
    }
    filaTexto_->setVisible(e.markupModoTexto);
    // A field's text is replaced only when the state says something else (a reset).
    if (campoTexto_->text() != e.markupTextoPend)
        campoTexto_->setText(e.markupTextoPend);
    if (autor_->text() != e.markupAutor)
        autor_->setText(e.markupAutor);
    if (descripcion_->text() != e.markupDescripcion)
        descripcion_->setText(e.markupDescripcion);
}

void PanelMarkup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 46, 225));
    p.drawRoundedRect(QRectF(rect()), 14, 14);
}

CapasMarkup::CapasMarkup(ControladorComentarios& controlador, QWidget* columna)
    : QObject(columna), controlador_(controlador), columna_(columna)
{
    connect(&controlador_, &ControladorComentarios::markupCambiado, this, [this] {
        actualizarCanvas();
        if (panel_) {
            panel_->actualizar();
            colocar(zona_);
        }
    });
}

void CapasMarkup::actualizarCanvas()
{
    auto* canvas = qobject_cast<MarkupCanvasNSView*>(canvas_.data());
    if (!canvas)
        return;
    EstadoMarkup& e = controlador_.estado();
    MarkupCanvasView v;
    v.trazados = [&e]() -> std::vector<TrazadoMarkup>& { return e.trazadosActivos; };
    v.textos = [&e]() -> std::vector<TextoMarkup>& { return e.textosActivos; };
    const ColorMarkup& c = markupPaleta[static_cast<std::size_t>(std::clamp(e.markupColorIdx, 0, 4))];
    v.colorR = c.r;
    v.colorG = c.g;
    v.colorB = c.b;
    v.grosor = e.markupGrosor;
    v.modoTexto = e.markupModoTexto;
    v.textoPendiente = e.markupTextoPend;
    v.updateNSView(*canvas);
}

void CapasMarkup::refrescar()
{
    EstadoMarkup& e = controlador_.estado();
    if (!e.modoMarkup) {
        // A new canvas each time markup mode starts. Save and cancel are clicks on the panel,
        // and Qt still reaches the clicked button once this returns: retire, delete later.
        for (QWidget* capa : {canvas_.data(), static_cast<QWidget*>(panel_.data())})
            if (capa) {
                capa->hide();
                capa->deleteLater();
            }
        canvas_ = nullptr;
        panel_ = nullptr;
        e.markupCanvasRef = nullptr;
        return;
    }
    if (!canvas_) {
        MarkupCanvasView v;
        v.trazados = [&e]() -> std::vector<TrazadoMarkup>& { return e.trazadosActivos; };
        v.textos = [&e]() -> std::vector<TextoMarkup>& { return e.textosActivos; };
        v.canvasRef = [&e](QWidget* canvas) { e.markupCanvasRef = canvas; };
        v.alCambiar = [this] { actualizarCanvas(); };
        MarkupCanvasNSView* canvas = v.makeNSView(columna_);
        canvas->setObjectName(QStringLiteral("markupCanvas"));
        canvas_ = canvas;
        canvas_->show();
        panel_ = new PanelMarkup(controlador_, columna_);
        panel_->show();
    }
    actualizarCanvas();
    panel_->actualizar();
    colocar(zona_);
}

void CapasMarkup::colocar(const QRect& zona)
{
    zona_ = zona;
    if (!canvas_ || !panel_)
        return;
    canvas_->setGeometry(zona);
    canvas_->raise();
    const int ancho = std::max(0, zona.width() - 40);
    panel_->setFixedWidth(ancho);
    panel_->adjustSize();
    panel_->move(zona.left() + 20, zona.bottom() + 1 - 16 - panel_->height());
    panel_->raise();
}

}  // namespace quelva
