#include "main_window/dialogos/HojaNuevaEspecialidad.h"

#include "main_window/ContentView.h"
#include "main_window/federacion/ClaveEspecialidad.h"
#include "platform/SheetButtonRow.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

namespace {
QLabel* leyenda(const QString& texto, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: palette(mid);"));
    return l;
}
}  // namespace

HojaNuevaEspecialidad::HojaNuevaEspecialidad(ContentView& vista, QWidget* parent) : QDialog(parent), vista_(vista)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Nueva Especialidad"));
    setWindowModality(Qt::WindowModal);
    setFixedWidth(320);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(28, 28, 28, 28);
    col->setSpacing(18);

    auto* titulo = new QLabel(QStringLiteral("Nueva Especialidad"), this);
    QFont f = titulo->font();
    f.setBold(true);
    titulo->setFont(f);
    col->addWidget(titulo);

    auto* bloqueNombre = new QVBoxLayout;
    bloqueNombre->setSpacing(6);
    bloqueNombre->addWidget(leyenda(QStringLiteral("Nombre"), this));
    nombre_ = new QLineEdit(vista_.disciplinas.nuevaEspNombre, this);
    nombre_->setPlaceholderText(QStringLiteral("Ej: Sanitarias"));
    bloqueNombre->addWidget(nombre_);
    col->addLayout(bloqueNombre);

    auto* bloqueIcono = new QVBoxLayout;
    bloqueIcono->setSpacing(6);
    bloqueIcono->addWidget(leyenda(QStringLiteral("Ícono"), this));
    icono_ = new QLineEdit(vista_.disciplinas.nuevaEspIcono, this);
    icono_->setPlaceholderText(QStringLiteral("Ej: pipe.and.drop"));
    bloqueIcono->addWidget(icono_);
    col->addLayout(bloqueIcono);

    auto* filaColor = new QHBoxLayout;
    filaColor->setSpacing(12);
    filaColor->addWidget(leyenda(QStringLiteral("Color"), this));
    color_ = new QPushButton(this);
    color_->setFixedSize(44, 24);
    color_->setToolTip(QStringLiteral("Color"));
    filaColor->addWidget(color_);
    filaColor->addStretch(1);
    col->addLayout(filaColor);

    const platform::SheetButtonRow botones = platform::makeSheetButtonRow(this, QStringLiteral("Agregar"));
    cancelar_ = botones.cancel;
    agregar_ = botones.confirm;
    col->addLayout(botones.layout);

    auto actualizarAgregar = [this] { agregar_->setEnabled(!nombreEspecialidadLimpio(nombre_->text()).isEmpty()); };
    connect(nombre_, &QLineEdit::textChanged, this, [this, actualizarAgregar](const QString& t) {
        vista_.disciplinas.nuevaEspNombre = t;
        actualizarAgregar();
    });
    connect(icono_, &QLineEdit::textChanged, this, [this](const QString& t) { vista_.disciplinas.nuevaEspIcono = t; });
    connect(color_, &QPushButton::clicked, this, [this] {
        const QColor elegido = QColorDialog::getColor(vista_.disciplinas.nuevaEspColor, this, QStringLiteral("Color"),
                                                      QColorDialog::ShowAlphaChannel);
        if (elegido.isValid()) {
            vista_.disciplinas.nuevaEspColor = elegido;
            mostrarColor();
        }
    });
    connect(cancelar_, &QPushButton::clicked, this, &QDialog::reject);
    connect(agregar_, &QPushButton::clicked, this, [this] {
        if (!agregar_->isEnabled())
            return;
        vista_.agregarEspecialidad();
        accept();
    });

    actualizarAgregar();
    mostrarColor();
}

void HojaNuevaEspecialidad::mostrarColor()
{
    color_->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid palette(mid); border-radius: 4px; }")
                              .arg(vista_.disciplinas.nuevaEspColor.name(QColor::HexArgb)));
}

void HojaNuevaEspecialidad::done(int resultado)
{
    vista_.disciplinas.mostrarNuevaEsp = false;
    QDialog::done(resultado);
    QMetaObject::invokeMethod(&vista_, &ContentView::refrescar, Qt::QueuedConnection);
}

}  // namespace quelva
