#include "viewport/BarraMedicion.h"

#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "viewport/EstiloViewport.h"
#include "viewport/Medicion3D.h"

#include <QHBoxLayout>
#include <QToolButton>


namespace quelva {

namespace {

constexpr ModoMedicion3D kModos[4] = {ModoMedicion3D::distancia, ModoMedicion3D::area, ModoMedicion3D::angulo,
                                      ModoMedicion3D::punto};

const char* simboloModo(ModoMedicion3D modo)
{
    switch (modo) {
    case ModoMedicion3D::distancia: return "ruler";
    case ModoMedicion3D::area: return "skew";
    case ModoMedicion3D::angulo: return "angle";
    case ModoMedicion3D::punto: return "mappin.circle";
    case ModoMedicion3D::inactivo: break;
    }
    return "";
}

QIcon icono(const QString& simbolo, const QColor& color, int)
{
    return platform::symbolIcon(simbolo, color);
}

QToolButton* botonApilado(QWidget* padre, const QString& rotulo, int ancho, int alto)
{
    auto* b = new QToolButton(padre);
    b->setText(rotulo);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setFixedSize(ancho, alto);
    b->setFocusPolicy(Qt::NoFocus);
    QFont f = b->font();
    f.setPixelSize(8);
    b->setFont(f);
    return b;
}

}  // namespace

QString rotuloModo(ModoMedicion3D modo)
{
    switch (modo) {
    case ModoMedicion3D::distancia: return QStringLiteral("Dist.");
    case ModoMedicion3D::area: return QStringLiteral("Área");
    case ModoMedicion3D::angulo: return QStringLiteral("Ángulo");
    case ModoMedicion3D::punto: return QStringLiteral("Punto");
    case ModoMedicion3D::inactivo: break;
    }
    return {};
}

QString ayudaBotonModo(ModoMedicion3D modo, ModoMedicion3D actual)
{
    const QString rotulo = rotuloModo(modo);
    if (modo == actual)
        return rotulo + QStringLiteral(" activo — clic para desactivar");
    return QStringLiteral("Medir ") + rotulo.toLower();
}

BarraMedicion::BarraMedicion(QWidget* parent) : QWidget(parent)
{
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->setSpacing(4);
    for (int i = 0; i < 4; ++i) {
        const ModoMedicion3D modo = kModos[i];
        modos_[i] = botonApilado(this, rotuloModo(modo), 36, 36);
        modos_[i]->setIconSize(QSize(13, 13));
        connect(modos_[i], &QToolButton::clicked, this, [this, modo] { emit modoPulsado(modo); });
        fila->addWidget(modos_[i]);
    }

    limpiar_ = botonApilado(this, QStringLiteral("Limpiar"), 36, 28);
    limpiar_->setIconSize(QSize(11, 11));
    limpiar_->setToolTip(QStringLiteral("Limpiar medición"));
    connect(limpiar_, &QToolButton::clicked, this, &BarraMedicion::limpiarPulsado);
    fila->addWidget(limpiar_);

    cerrar_ = botonApilado(this, QStringLiteral("Cerrar"), 36, 28);
    cerrar_->setIconSize(QSize(11, 11));
    cerrar_->setToolTip(QStringLiteral("Cerrar polígono y calcular área"));
    cerrar_->setIcon(icono(QStringLiteral("checkmark.circle.fill"), platform::systemColor(platform::SystemColor::green), 11));
    connect(cerrar_, &QToolButton::clicked, this, &BarraMedicion::cerrarPulsado);
    fila->addWidget(cerrar_);

    // Their slots stay when they are hidden: buttons coming and going never move the others.
    for (QToolButton* b : {limpiar_, cerrar_}) {
        QSizePolicy politica = b->sizePolicy();
        politica.setRetainSizeWhenHidden(true);
        b->setSizePolicy(politica);
    }

    limpiar_->setStyleSheet(estiloBotonPlano(colorMaterialFino(), 6));
    cerrar_->setStyleSheet(estiloBotonPlano(colorMaterialFino(), 6));

    actualizar(EstadoMedicion{});
}

void BarraMedicion::actualizar(const EstadoMedicion& estado)
{
    const QColor amarillo = platform::systemColor(platform::SystemColor::yellow);
    const QColor texto = palette().color(QPalette::WindowText);
    QColor fondoActivo = amarillo;
    fondoActivo.setAlphaF(0.18f);
    for (int i = 0; i < 4; ++i) {
        const ModoMedicion3D modo = kModos[i];
        const bool activo = estado.modoMedicion3D == modo;
        QToolButton* b = modos_[i];
        b->setIcon(icono(QString::fromLatin1(simboloModo(modo)), activo ? amarillo : texto, 13));
        b->setToolTip(ayudaBotonModo(modo, estado.modoMedicion3D));
        b->setStyleSheet(estiloBotonPlano(activo ? fondoActivo : colorFondoControl(), 6));
    }
    limpiar_->setIcon(icono(QStringLiteral("xmark.circle"), texto, 11));
    limpiar_->setVisible(muestraBotonLimpiar(estado));
    cerrar_->setVisible(muestraBotonCerrar(estado));
}

QToolButton* BarraMedicion::botonModo(ModoMedicion3D modo) const
{
    const int i = static_cast<int>(modo) - 1;
    return i >= 0 && i < 4 ? modos_[i] : nullptr;
}

}  // namespace quelva
