#include "federation/ui/SelectorColorDialog.h"

#include "federation/ControladorFederacion.h"
#include "platform/SheetButtonRow.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

namespace {
// The well is drawn one and a half times its ordinary size.
constexpr QSize kTamanoPozo(57, 36);
}  // namespace

SelectorColorDialog::SelectorColorDialog(const QString& nombreEspecialidad, QColor& color,
                                         std::function<void()> onAplicar, std::function<void()> onCancelar,
                                         QWidget* parent)
    : QDialog(parent), color_(color), onAplicar_(std::move(onAplicar)), onCancelar_(std::move(onCancelar))
{
    setWindowTitle(QStringLiteral("Color de ") + nombreEspecialidad);
    setFixedWidth(260);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(20);
    layout->setContentsMargins(32, 32, 32, 32);

    titulo_ = new QLabel(QStringLiteral("Color de ") + nombreEspecialidad);
    QFont f = titulo_->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    titulo_->setFont(f);
    titulo_->setAlignment(Qt::AlignCenter);
    titulo_->setWordWrap(true);
    layout->addWidget(titulo_);

    pozo_ = new QPushButton;
    pozo_->setAccessibleName(QStringLiteral("Selecciona un color"));
    pozo_->setToolTip(QStringLiteral("Selecciona un color"));
    pozo_->setFixedSize(kTamanoPozo);
    pozo_->setIconSize(kTamanoPozo - QSize(12, 12));
    pozo_->setAutoDefault(false);
    layout->addWidget(pozo_, 0, Qt::AlignHCenter);
    connect(pozo_, &QPushButton::clicked, this, [this]() {
        const QColor elegido = QColorDialog::getColor(color_, this, QStringLiteral("Selecciona un color"),
                                                      QColorDialog::ShowAlphaChannel);
        if (elegido.isValid())
            elegirColor(elegido);
    });

    const platform::SheetButtonRow botones = platform::makeSheetButtonRow(this, QStringLiteral("Aplicar"));
    botones.layout->addStretch(1);  // centred under the well
    // Return means "Aplicar" even with the focus on "Cancelar".
    botones.cancel->setAutoDefault(false);
    layout->addLayout(botones.layout);
    QPushButton* cancelar = botones.cancel;
    QPushButton* aplicar = botones.confirm;
    cancelar_ = cancelar;
    aplicar_ = aplicar;

    connect(cancelar, &QPushButton::clicked, this, &SelectorColorDialog::reject);
    connect(aplicar, &QPushButton::clicked, this, [this]() {
        cerrado_ = true;
        if (onAplicar_)
            onAplicar_();
        accept();
    });
    mostrarColor();
}

void SelectorColorDialog::elegirColor(const QColor& color)
{
    color_ = color;
    mostrarColor();
}

void SelectorColorDialog::mostrarColor()
{
    // A checkerboard under the colour shows its opacity.
    const QSize lado = pozo_->iconSize();
    QPixmap muestra(lado);
    muestra.fill(Qt::white);
    QPainter p(&muestra);
    const int celda = 6;
    for (int y = 0; y < lado.height(); y += celda)
        for (int x = 0; x < lado.width(); x += celda)
            if (((x / celda) + (y / celda)) % 2)
                p.fillRect(x, y, celda, celda, QColor(0xcc, 0xcc, 0xcc));
    p.fillRect(muestra.rect(), color_);
    p.setPen(QColor(0, 0, 0, 60));
    p.drawRect(muestra.rect().adjusted(0, 0, -1, -1));
    p.end();
    pozo_->setIcon(QIcon(muestra));
}

void SelectorColorDialog::reject()
{
    if (!cerrado_) {
        cerrado_ = true;
        if (onCancelar_)
            onCancelar_();
    }
    QDialog::reject();
}

SelectorColorDialog* presentarSelectorColor(ControladorFederacion& controlador, QWidget* parent)
{
    EstadoFederacion& estado = controlador.estado();
    if (!estado.colorPickerKey)
        return nullptr;
    const auto it = estado.especialidades.find(*estado.colorPickerKey);
    const QString nombre = it != estado.especialidades.end() ? it->second.nombre : QString();
    QPointer<ControladorFederacion> c(&controlador);
    auto* dialogo = new SelectorColorDialog(
        nombre, estado.colorPickerColor,
        [c]() {
            if (c)
                c->aplicarColorEspecialidad();
        },
        [c]() {
            if (c)
                c->cancelarSelectorColor();
        },
        parent);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->setWindowModality(Qt::WindowModal);
    dialogo->open();
    return dialogo;
}

}  // namespace quelva
