#include "main_window/interferencias/CabeceraAnalisis.h"

#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace quelva {

namespace {

using platform::SystemColor;

const QColor kSecundario(235, 235, 245, 150);

constexpr int kMargenY = 2;
constexpr int kEspacio = 6;
constexpr int kFlecha = 10;
constexpr int kTriangulo = 14;
constexpr int kIconoConteo = 11;
constexpr int kIconoATexto = 2;
constexpr int kXTexto = kFlecha + kEspacio + kTriangulo + kEspacio;

struct Conteo {
    long long n;
    const char* simbolo;
    SystemColor color;
};

}  // namespace

CabeceraAnalisis::CabeceraAnalisis(const AnalisisInterferencias& analisis, bool expandido, QWidget* parent)
    : QWidget(parent),
      nombre_(analisis.nombre),
      tolerancia_(QStringLiteral("tol: ") + platform::qformat("%.3f", analisis.tolerancia) + QStringLiteral(" m")),
      expandido_(expandido)
{
    setObjectName(QStringLiteral("cabeceraAnalisis"));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (const Interferencia& i : analisis.interferencias) {
        abiertos_ += i.estado == EstadoClash::abierto;
        resueltos_ += i.estado == EstadoClash::resuelto;
    }
}

QFont CabeceraAnalisis::fuenteNombre() const
{
    QFont f = font();
    f.setPixelSize(12);
    f.setBold(true);
    return f;
}

QFont CabeceraAnalisis::fuenteDetalle() const
{
    QFont f = font();
    f.setPixelSize(12);
    return f;
}

int CabeceraAnalisis::altoNombre() const
{
    return QFontMetrics(fuenteNombre()).height();
}

int CabeceraAnalisis::altoDetalle() const
{
    return std::max(kIconoConteo, QFontMetrics(fuenteDetalle()).height());
}

int CabeceraAnalisis::anchoDetalle() const
{
    const QFontMetrics m(fuenteDetalle());
    int ancho = 0;
    for (long long n : {abiertos_, resueltos_})
        if (n >= 1)
            ancho += kIconoConteo + kIconoATexto + m.horizontalAdvance(platform::qformat("%lld", n)) + kEspacio;
    return ancho + m.horizontalAdvance(tolerancia_);
}

QStringList CabeceraAnalisis::textosMostrados() const
{
    QStringList t{nombre_};
    for (long long n : {abiertos_, resueltos_})
        if (n >= 1)
            t << platform::qformat("%lld", n);
    t << tolerancia_;
    return t;
}

QSize CabeceraAnalisis::sizeHint() const
{
    const int ancho = std::max(QFontMetrics(fuenteNombre()).horizontalAdvance(nombre_), anchoDetalle());
    return {kXTexto + ancho, kMargenY + altoNombre() + 1 + altoDetalle() + kMargenY};
}

QSize CabeceraAnalisis::minimumSizeHint() const
{
    // A long name is cut; the counts and the tolerance are not.
    return {kXTexto + std::max(20, anchoDetalle()), sizeHint().height()};
}

QRect CabeceraAnalisis::rectNombre() const
{
    return QRect(kXTexto, kMargenY, std::max(0, width() - kXTexto), altoNombre());
}

QString CabeceraAnalisis::ayudaEn(QPoint p) const
{
    const QRect r = rectNombre();
    if (r.contains(p) && QFontMetrics(fuenteNombre()).horizontalAdvance(nombre_) > r.width())
        return nombre_;
    return {};
}

void CabeceraAnalisis::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int medio = height() / 2;
    platform::paintSymbol(p, QRect(0, medio - kFlecha / 2, kFlecha, kFlecha),
                          expandido_ ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"), kSecundario);
    platform::paintSymbol(p, QRect(kFlecha + kEspacio, medio - kTriangulo / 2, kTriangulo, kTriangulo),
                          QStringLiteral("exclamationmark.triangle.fill"), platform::systemColor(SystemColor::orange));

    const QRect nombre = rectNombre();
    p.setFont(fuenteNombre());
    p.setPen(Qt::white);
    p.drawText(nombre, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(fuenteNombre()).elidedText(nombre_, Qt::ElideRight, nombre.width()));

    const QFont detalle = fuenteDetalle();
    const QFontMetrics m(detalle);
    p.setFont(detalle);
    const int y = nombre.bottom() + 1 + 1;
    const int alto = altoDetalle();
    int x = kXTexto;
    const Conteo conteos[] = {{abiertos_, "exclamationmark.circle.fill", SystemColor::red},
                              {resueltos_, "checkmark.circle.fill", SystemColor::green}};
    for (const Conteo& c : conteos) {
        if (c.n < 1)
            continue;
        const QColor color = platform::systemColor(c.color);
        platform::paintSymbol(p, QRect(x, y + (alto - kIconoConteo) / 2, kIconoConteo, kIconoConteo),
                              QString::fromLatin1(c.simbolo), color);
        x += kIconoConteo + kIconoATexto;
        const QString texto = platform::qformat("%lld", c.n);
        p.setPen(color);
        p.drawText(QRect(x, y, m.horizontalAdvance(texto), alto), Qt::AlignLeft | Qt::AlignVCenter, texto);
        x += m.horizontalAdvance(texto) + kEspacio;
    }
    p.setPen(kSecundario);
    p.drawText(QRect(x, y, std::max(0, width() - x), alto), Qt::AlignLeft | Qt::AlignVCenter, tolerancia_);
}

void CabeceraAnalisis::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && alPulsar)
        alPulsar();
}

bool CabeceraAnalisis::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* ayuda = static_cast<QHelpEvent*>(event);
        const QString texto = ayudaEn(ayuda->pos());
        if (texto.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(ayuda->globalPos(), texto, this, rectNombre());
        return true;
    }
    return QWidget::event(event);
}

}  // namespace quelva
