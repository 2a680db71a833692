#include "viewport/BarraMedicion.h"

#include "platform/SystemColors.h"
#include "viewport/Medicion3D.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

#include <cmath>

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

// Small line drawings standing in for the system symbols of the same names.
QIcon icono(const QString& simbolo, const QColor& color, int lado)
{
    const qreal escala = 3;
    QPixmap pixmap(int(lado * escala), int(lado * escala));
    pixmap.fill(Qt::transparent);
    pixmap.setDevicePixelRatio(escala);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = lado;
    QPen pluma(color, std::max<qreal>(1.0, s / 11.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pluma);
    p.setBrush(Qt::NoBrush);
    const QRectF caja(s * 0.08, s * 0.08, s * 0.84, s * 0.84);

    if (simbolo == "ruler") {
        p.translate(s / 2, s / 2);
        p.rotate(-45);
        const QRectF regla(-s * 0.5, -s * 0.17, s, s * 0.34);
        p.drawRoundedRect(regla, s * 0.05, s * 0.05);
        for (int i = 1; i < 5; ++i) {
            const qreal x = regla.left() + regla.width() * i / 5;
            p.drawLine(QPointF(x, regla.top()), QPointF(x, regla.top() + regla.height() * (i % 2 ? 0.45 : 0.3)));
        }
    } else if (simbolo == "skew") {
        QPolygonF rombo;
        rombo << QPointF(s * 0.3, s * 0.2) << QPointF(s * 0.95, s * 0.2) << QPointF(s * 0.7, s * 0.8)
              << QPointF(s * 0.05, s * 0.8);
        p.drawPolygon(rombo);
    } else if (simbolo == "angle") {
        p.drawLine(QPointF(s * 0.1, s * 0.9), QPointF(s * 0.95, s * 0.9));
        p.drawLine(QPointF(s * 0.1, s * 0.9), QPointF(s * 0.75, s * 0.1));
        p.drawArc(QRectF(s * 0.1 - s * 0.5, s * 0.9 - s * 0.5, s, s), 0, 50 * 16);
    } else if (simbolo == "mappin.circle") {
        p.drawEllipse(caja);
        p.setBrush(color);
        p.drawEllipse(QPointF(s / 2, s * 0.4), s * 0.12, s * 0.12);
        p.drawLine(QPointF(s / 2, s * 0.45), QPointF(s / 2, s * 0.75));
    } else if (simbolo == "xmark.circle") {
        p.drawEllipse(caja);
        p.drawLine(QPointF(s * 0.35, s * 0.35), QPointF(s * 0.65, s * 0.65));
        p.drawLine(QPointF(s * 0.65, s * 0.35), QPointF(s * 0.35, s * 0.65));
    } else if (simbolo == "checkmark.circle.fill") {
        p.setBrush(color);
        p.drawEllipse(caja);
        p.setPen(QPen(Qt::white, pluma.widthF(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF marca;
        marca << QPointF(s * 0.3, s * 0.52) << QPointF(s * 0.45, s * 0.67) << QPointF(s * 0.72, s * 0.36);
        p.drawPolyline(marca);
    }
    return QIcon(pixmap);
}

QString rgba(const QColor& c, double alpha)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(int(std::lround(alpha * 255)));
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

void estiloBoton(QToolButton* b, const QString& fondo)
{
    b->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: none; border-radius: 6px; padding: 0px;"
                                    " font-size: 8px; }")
                         .arg(fondo));
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

    // The thin translucent panel look of floating tool buttons.
    const QString material = QStringLiteral("rgba(255, 255, 255, 140)");
    estiloBoton(limpiar_, material);
    estiloBoton(cerrar_, material);

    actualizar(EstadoMedicion{});
}

void BarraMedicion::actualizar(const EstadoMedicion& estado)
{
    const QColor amarillo = platform::systemColor(platform::SystemColor::yellow);
    const QColor texto = palette().color(QPalette::WindowText);
    const QColor control = palette().color(QPalette::Button);
    for (int i = 0; i < 4; ++i) {
        const ModoMedicion3D modo = kModos[i];
        const bool activo = estado.modoMedicion3D == modo;
        QToolButton* b = modos_[i];
        b->setIcon(icono(QString::fromLatin1(simboloModo(modo)), activo ? amarillo : texto, 13));
        b->setToolTip(ayudaBotonModo(modo, estado.modoMedicion3D));
        estiloBoton(b, activo ? rgba(amarillo, 0.18) : rgba(control, 0.8));
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
