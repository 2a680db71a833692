#include "support/TextosCortados.h"

#include "platform/AlertTitle.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <map>

namespace testsupport {

namespace {

constexpr int kFilasVistas = 200;  // item views: the first rows tell enough

QString ruta(const QWidget* w, const QWidget* raiz)
{
    QStringList partes;
    for (const QWidget* p = w; p && p != raiz->parentWidget(); p = p->parentWidget())
        partes.prepend(p->objectName().isEmpty() ? QString::fromLatin1(p->metaObject()->className()) : p->objectName());
    return partes.join(QLatin1Char('/'));
}

// The right edge, in the widget's coordinates, of the part its ancestors leave visible: a
// label laid out wider than a scroll area that does not scroll sideways is cut there.
int bordeVisible(const QWidget& w)
{
    int borde = w.width();
    for (const QWidget* p = w.parentWidget(); p; p = p->parentWidget()) {
        borde = std::min(borde, p->width() - w.mapTo(p, QPoint(0, 0)).x());
        if (p->isWindow())
            break;
    }
    return borde;
}

bool esEnriquecido(const QLabel& l)
{
    return l.textFormat() == Qt::RichText || (l.textFormat() == Qt::AutoText && Qt::mightBeRichText(l.text()));
}

// Why the label's text does not fit, or empty.
QString motivoEtiqueta(const QLabel& l)
{
    const QString texto = l.text();
    if (texto.isEmpty())
        return {};
    // The text was cut before it was set, the whole one kept as the tooltip.
    const QString sinPuntos = QString(texto).remove(QChar(0x2026)).remove(QStringLiteral("..."));
    if (sinPuntos != texto && !l.toolTip().isEmpty() && l.toolTip() != texto && l.toolTip().startsWith(sinPuntos.left(4)))
        return QStringLiteral("texto recortado con puntos suspensivos (completo: «%1»)").arg(l.toolTip());

    QRect caja = l.contentsRect().adjusted(l.margin(), l.margin(), -l.margin(), -l.margin());
    if (l.indent() > 0)
        caja.adjust(l.indent(), 0, 0, 0);
    const int ancho = std::min(caja.width(), bordeVisible(l) - caja.left());
    const int alto = caja.height();
    int necesarioAncho = 0, necesarioAlto = 0;
    if (esEnriquecido(l)) {
        QTextDocument doc;
        doc.setDocumentMargin(0);
        doc.setDefaultFont(l.font());
        doc.setHtml(texto);
        necesarioAncho = int(std::ceil(doc.idealWidth()));
        if (l.wordWrap()) {
            doc.setTextWidth(ancho);
            necesarioAncho = int(std::ceil(doc.idealWidth()));
        }
        necesarioAlto = int(std::ceil(doc.size().height()));
    } else {
        const int banderas = int(l.alignment()) | (l.wordWrap() ? int(Qt::TextWordWrap) : 0);
        const QRect r = l.fontMetrics().boundingRect(QRect(0, 0, l.wordWrap() ? ancho : 100000, 100000), banderas, texto);
        necesarioAncho = r.width();
        necesarioAlto = r.height();
    }
    if (necesarioAncho > ancho + 1)
        return QStringLiteral("necesita %1 px de ancho, tiene %2").arg(necesarioAncho).arg(ancho);
    if (necesarioAlto > alto + 2)
        return QStringLiteral("necesita %1 px de alto, tiene %2").arg(necesarioAlto).arg(alto);
    return {};
}

QString motivoBoton(const QAbstractButton& b)
{
    if (b.text().isEmpty())
        return {};
    if (auto* t = qobject_cast<const QToolButton*>(&b); t && t->toolButtonStyle() == Qt::ToolButtonIconOnly)
        return {};
    const int necesario = b.sizeHint().width();
    if (b.width() + 1 < necesario)
        return QStringLiteral("necesita %1 px de ancho, tiene %2").arg(necesario).arg(b.width());
    return {};
}

void revisarVista(const QAbstractItemView& vista, const QWidget* raiz, std::vector<TextoCortado>& salida)
{
    const QAbstractItemModel* modelo = vista.model();
    if (!modelo)
        return;
    for (const QHeaderView* cabecera : vista.findChildren<QHeaderView*>()) {
        if (!cabecera->isVisible())
            continue;
        const QFontMetrics m(cabecera->font());
        for (int s = 0; s < cabecera->count(); ++s) {
            if (cabecera->isSectionHidden(s))
                continue;
            const QString texto = modelo->headerData(s, cabecera->orientation()).toString();
            int necesario = 0;
            for (const QString& linea : texto.split(QLatin1Char('\n')))
                necesario = std::max(necesario, m.horizontalAdvance(linea) + 8);  // the section's own margins
            if (!texto.isEmpty() && cabecera->orientation() == Qt::Horizontal && cabecera->sectionSize(s) < necesario)
                salida.push_back({ruta(cabecera, raiz), texto,
                                  QStringLiteral("cabecera: necesita %1 px, tiene %2")
                                      .arg(necesario)
                                      .arg(cabecera->sectionSize(s))});
        }
    }
    // Rows of every level that are shown, breadth first.
    std::vector<QModelIndex> pendientes{QModelIndex()};
    int vistas = 0;
    while (!pendientes.empty() && vistas < kFilasVistas) {
        const QModelIndex padre = pendientes.back();
        pendientes.pop_back();
        for (int f = 0; f < modelo->rowCount(padre) && vistas < kFilasVistas; ++f, ++vistas) {
            for (int c = 0; c < modelo->columnCount(padre); ++c) {
                const QModelIndex i = modelo->index(f, c, padre);
                const QRect r = vista.visualRect(i);
                if (r.isEmpty())
                    continue;
                const QString texto = i.data(Qt::DisplayRole).toString();
                if (texto.isEmpty())
                    continue;
                QFont fuente = vista.font();
                if (const QVariant v = i.data(Qt::FontRole); v.isValid())
                    fuente = v.value<QFont>();
                int necesario = QFontMetrics(fuente).horizontalAdvance(texto) + 8;
                if (!i.data(Qt::DecorationRole).isNull())
                    necesario += vista.iconSize().isValid() ? vista.iconSize().width() + 4 : 20;
                if (r.width() < necesario)
                    salida.push_back({ruta(&vista, raiz), texto,
                                      QStringLiteral("celda (%1, %2): necesita %3 px, tiene %4")
                                          .arg(f)
                                          .arg(c)
                                          .arg(necesario)
                                          .arg(r.width())});
            }
            const QModelIndex primera = modelo->index(f, 0, padre);
            if (modelo->hasChildren(primera) && !vista.visualRect(primera).isEmpty())
                pendientes.push_back(primera);
        }
    }
}

}  // namespace

std::vector<TextoCortado> textosCortados(QWidget& raiz, const QStringList& permitidos)
{
    std::vector<TextoCortado> salida;
    QList<QWidget*> widgets = raiz.findChildren<QWidget*>();
    widgets.prepend(&raiz);
    for (QWidget* w : widgets) {
        if (!w->isVisible() || permitidos.contains(w->objectName()))
            continue;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (const QString motivo = motivoEtiqueta(*l); !motivo.isEmpty())
                salida.push_back({ruta(w, &raiz), l->text(), motivo});
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (const QString motivo = motivoBoton(*b); !motivo.isEmpty())
                salida.push_back({ruta(w, &raiz), b->text(), motivo});
        } else if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
            revisarVista(*v, &raiz, salida);
        }
        if (auto* alerta = qobject_cast<QMessageBox*>(w)) {
            const int necesario = platform::alertWidthForTitle(alerta->windowTitle());
            if (alerta->width() < necesario)
                salida.push_back({ruta(w, &raiz), alerta->windowTitle(),
                                  QStringLiteral("título de la alerta: necesita %1 px, tiene %2")
                                      .arg(necesario)
                                      .arg(alerta->width())});
        }
    }
    return salida;
}

namespace {

double luminancia(QRgb c)
{
    const auto canal = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * canal(qRed(c)) + 0.7152 * canal(qGreen(c)) + 0.0722 * canal(qBlue(c));
}

}  // namespace

double contrasteTexto(QWidget& etiqueta)
{
    return contrasteTexto(etiqueta, etiqueta.rect());
}

double contrasteTexto(QWidget& widget, const QRect& dentro)
{
    QWidget* ventana = widget.window();
    const QImage imagen = ventana->grab().toImage();
    const qreal escala = imagen.devicePixelRatio();
    const QRect zona(widget.mapTo(ventana, dentro.topLeft()) * escala, dentro.size() * escala);
    std::map<QRgb, int> cuenta;
    for (int y = zona.top(); y <= zona.bottom(); ++y)
        for (int x = zona.left(); x <= zona.right(); ++x)
            ++cuenta[imagen.pixel(x, y) | 0xff000000u];
    if (cuenta.empty())
        return 1;
    const QRgb fondo = std::max_element(cuenta.begin(), cuenta.end(), [](const auto& a, const auto& b) {
                           return a.second < b.second;
                       })->first;
    const double lf = luminancia(fondo);
    double mejor = 1;
    for (const auto& [color, n] : cuenta) {
        const double lt = luminancia(color);
        mejor = std::max(mejor, (std::max(lt, lf) + 0.05) / (std::min(lt, lf) + 0.05));
    }
    return mejor;
}

QString describir(const std::vector<TextoCortado>& cortados)
{
    QStringList lineas;
    for (const TextoCortado& c : cortados)
        lineas << QStringLiteral("%1: «%2» %3").arg(c.donde, c.texto, c.motivo);
    return lineas.join(QLatin1Char('\n'));
}

}  // namespace testsupport
