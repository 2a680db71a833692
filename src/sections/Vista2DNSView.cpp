#include "sections/Vista2DNSView.h"

#include "platform/NumberFormat.h"
#include "platform/SystemColors.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace quelva {

namespace {

using platform::SystemColor;

QColor conAlfa(QColor c, double a)
{
    c.setAlphaF(float(a));
    return c;
}

QColor mezclar(const QColor& a, const QColor& b, double f)
{
    return QColor::fromRgbF(float(a.redF() * (1 - f) + b.redF() * f), float(a.greenF() * (1 - f) + b.greenF() * f),
                            float(a.blueF() * (1 - f) + b.blueF() * f), float(a.alphaF() * (1 - f) + b.alphaF() * f));
}

QColor sistema(SystemColor c)
{
    return platform::systemColor(c);
}

// Discipline colours are chosen for the 3D view; on white paper a pale one (the architecture
// white) would vanish, so it is darkened, keeping its hue, until it reads.
QColor legibleSobreBlanco(const QColor& c)
{
    constexpr double kLuminanciaMaxima = 0.35;
    const double y = 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
    if (y <= kLuminanciaMaxima)
        return c;
    const double f = kLuminanciaMaxima / y;
    return QColor::fromRgbF(float(c.redF() * f), float(c.greenF() * f), float(c.blueF() * f), c.alphaF());
}

const QColor kGrisOscuro = QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);

// A font whose size is in the device's units (points of the view), whatever its resolution.
QFont fuente(double tamano, QFont::Weight peso, bool monoespaciada, const QPaintDevice* d)
{
    QFont f(monoespaciada ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
    f.setStyleHint(monoespaciada ? QFont::Monospace : QFont::SansSerif);
    const int dpi = d && d->logicalDpiY() > 0 ? d->logicalDpiY() : 72;
    f.setPointSizeF(tamano * 72.0 / dpi);
    f.setWeight(peso);
    return f;
}

// Text with its top-left corner at `origen`.
void textoEn(QPainter& p, const QString& texto, const QFont& f, const QColor& color, QPointF origen)
{
    p.setFont(f);
    p.setPen(color);
    const QFontMetricsF m(f, p.device());
    p.drawText(QPointF(origen.x(), origen.y() + m.ascent()), texto);
}

double distanciaASegmento(QPointF p, QPointF a, QPointF b, QPointF* cercano = nullptr)
{
    const QPointF d = b - a;
    const double l2 = d.x() * d.x() + d.y() * d.y();
    double t = l2 > 0 ? ((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / l2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + d * t;
    if (cercano)
        *cercano = q;
    return std::hypot(p.x() - q.x(), p.y() - q.y());
}

double largo(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

// Cut by whole characters (code points), never inside one.
QString primerosCaracteres(const QString& texto, qsizetype n)
{
    const QList<uint> cp = texto.toUcs4();
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(cp.constData()), std::min<qsizetype>(n, cp.size()));
}

qsizetype cuentaCaracteres(const QString& texto)
{
    return texto.toUcs4().size();
}

}  // namespace

Vista2DNSView::Vista2DNSView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Vista2DNSView::setSegmentos(std::vector<Segmento2D> s)
{
    segmentos_ = std::move(s);
    redibujar();
}

void Vista2DNSView::setEtiquetas(std::vector<Etiqueta2D> e)
{
    etiquetas_ = std::move(e);
    redibujar();
}

void Vista2DNSView::setCotas(std::vector<Cota2D> c)
{
    cotas_ = std::move(c);
    redibujar();
}

void Vista2DNSView::setMostrarEtiquetas(bool v)
{
    mostrarEtiquetas_ = v;
    redibujar();
}

void Vista2DNSView::setModoCota(bool v)
{
    modoCota_ = v;
    cotaP1Preview.reset();
    snapPoint.reset();
    redibujar();
}

void Vista2DNSView::setModoEtiquetar(bool v)
{
    modoEtiquetar_ = v;
    redibujar();
}

void Vista2DNSView::setGrosorCorte(double v)
{
    grosorCorte_ = v;
    redibujar();
}

void Vista2DNSView::setGrosorProyeccion(double v)
{
    grosorProyeccion_ = v;
    redibujar();
}

void Vista2DNSView::setSegmentosGrilla(std::vector<Segmento2D> s)
{
    segmentosGrilla_ = std::move(s);
    redibujar();
}

QPointF Vista2DNSView::aVista(Punto2D p) const
{
    const double cx = width() / 2.0 + panOffset.x();
    const double cy = height() / 2.0 + panOffset.y();
    return {cx + p.u * escala, cy - p.v * escala};
}

Punto2D Vista2DNSView::aDibujo(QPointF p) const
{
    const double cx = width() / 2.0 + panOffset.x();
    const double cy = height() / 2.0 + panOffset.y();
    return {float((p.x() - cx) / escala), float((cy - p.y()) / escala)};
}

void Vista2DNSView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    pintar(p);
}

void Vista2DNSView::redibujar()
{
    ++generacion_;
    update();
}

Vista2DNSView::ClaveFijo Vista2DNSView::claveFijo() const
{
    return {escala,        panOffset,         size(),  devicePixelRatioF(), logicalDpiX(), logicalDpiY(),
            generacion_,   etiquetaSeleccionadaId, cotaSeleccionadaId, cotaDragId, draggedLabelId};
}

void Vista2DNSView::pintar(QPainter& p) const
{
    // A pointer move in a tool changes only the overlays; redrawing a large drawing for it would
    // make the crosshair lag behind the pointer.
    const ClaveFijo clave = claveFijo();
    if (clave.tamano.isEmpty())
        return;
    if (!claveFijo_ || !(*claveFijo_ == clave)) {
        const QSize pixeles = (QSizeF(size()) * clave.dpr).toSize();
        if (fijo_.size() != pixeles)
            fijo_ = QImage(pixeles, QImage::Format_ARGB32_Premultiplied);
        fijo_.setDevicePixelRatio(clave.dpr);
        // Fonts are sized from the device's resolution: the image must report the widget's.
        fijo_.setDotsPerMeterX(qRound(clave.dpiX / 0.0254));
        fijo_.setDotsPerMeterY(qRound(clave.dpiY / 0.0254));
        QPainter q(&fijo_);
        dibujarFijo(q);
        claveFijo_ = clave;
    }
    p.drawImage(QPointF(0, 0), fijo_);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    dibujarHerramientas(p);
    p.restore();
}

void Vista2DNSView::dibujar(QPainter& p) const
{
    dibujarFijo(p);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    dibujarHerramientas(p);
    p.restore();
}

void Vista2DNSView::dibujarFijo(QPainter& p) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRectF(0, 0, width(), height()), Qt::white);
    dibujarCuadricula(p);
    dibujarLineas(p);
    // Axes through the drawing origin.
    const double cx = width() / 2.0 + panOffset.x();
    const double cy = height() / 2.0 + panOffset.y();
    p.setPen(QPen(QColor::fromRgbF(1, 0, 0, 0.35f), 0.5));
    p.drawLine(QPointF(cx, 0), QPointF(cx, height()));
    p.drawLine(QPointF(0, cy), QPointF(width(), cy));
    if (mostrarEtiquetas_)
        dibujarEtiquetas(p);
    dibujarCotas(p);
    p.restore();
}

void Vista2DNSView::dibujarCuadricula(QPainter& p) const
{
    if (escala <= 8)
        return;
    const double w = width(), h = height();
    const double cx = w / 2.0 + panOffset.x();
    const double cy = h / 2.0 + panOffset.y();
    QPainterPath ruta;
    double x = std::fmod(cx, escala);
    if (x < 0)
        x += escala;
    for (; x <= w; x += escala) {
        ruta.moveTo(x, 0);
        ruta.lineTo(x, h);
    }
    double y = std::fmod(cy, escala);
    if (y < 0)
        y += escala;
    for (; y <= h; y += escala) {
        ruta.moveTo(0, y);
        ruta.lineTo(w, y);
    }
    p.strokePath(ruta, QPen(QColor::fromRgbF(0.88f, 0.88f, 0.88f), 0.3));
}

void Vista2DNSView::dibujarLineas(QPainter& p) const
{
    const QRectF visible = QRectF(0, 0, width(), height()).adjusted(-4, -4, 4, 4);
    const auto dentro = [&](QPointF a, QPointF b) {
        return std::max(a.x(), b.x()) >= visible.left() && std::min(a.x(), b.x()) <= visible.right() &&
               std::max(a.y(), b.y()) >= visible.top() && std::min(a.y(), b.y()) <= visible.bottom();
    };

    // Grid axes: each in its own colour, dashed.
    if (!segmentosGrilla_.empty()) {
        const double d = std::max(480.0 / escala, 4.0);
        const double ancho = std::max(36.0 / escala, 0.3);
        for (const Segmento2D& s : segmentosGrilla_) {
            const QPointF a = aVista(s.p1), b = aVista(s.p2);
            if (!dentro(a, b))
                continue;
            QPen pen(s.color, ancho);
            pen.setDashPattern({d / ancho, 0.6 * d / ancho});
            pen.setDashOffset(0);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.drawLine(a, b);
        }
    }

    // Lines of one colour go out together: thousands of pen changes cost more than the lines.
    const double base = std::max(90.0 / escala, 0.4);
    const auto trazar = [&](bool corte, double ancho, double alfa) {
        std::vector<std::pair<QRgb, QList<QLineF>>> grupos;
        std::unordered_map<QRgb, size_t> indice;
        for (const Segmento2D& s : segmentos_) {
            if (s.esCorte != corte)
                continue;
            const QPointF a = aVista(s.p1), b = aVista(s.p2);
            if (!dentro(a, b))
                continue;
            const QRgb clave = s.color.rgba();
            auto [it, nuevo] = indice.try_emplace(clave, grupos.size());
            if (nuevo)
                grupos.emplace_back(clave, QList<QLineF>());
            grupos[it->second].second.append(QLineF(a, b));
        }
        // Past some tens of thousands of lines smoothing costs more than it shows.
        size_t total = 0;
        for (const auto& g : grupos)
            total += size_t(g.second.size());
        p.setRenderHint(QPainter::Antialiasing, total < 20000);
        for (const auto& [color, lineas] : grupos) {
            QPen pen(conAlfa(legibleSobreBlanco(QColor::fromRgba(color)), alfa * qAlpha(color) / 255.0), ancho);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.drawLines(lineas);
        }
    };
    trazar(false, std::max(base * grosorProyeccion_ * 0.55, 0.3), 0.28);
    trazar(true, base * grosorCorte_, 1.0);
    p.setRenderHint(QPainter::Antialiasing);
}

QString Vista2DNSView::nombreCorto(const QString& nombre)
{
    if (cuentaCaracteres(nombre) > 32)
        return primerosCaracteres(nombre, 30) + QStringLiteral("…");
    return nombre;
}

double Vista2DNSView::tamanoTextoCota(double escala)
{
    return std::min(std::max(escala * 0.1, 7.0), 11.0);
}

std::vector<Vista2DNSView::Linea> Vista2DNSView::lineasEtiqueta(const Etiqueta2D& e, const QPaintDevice* d) const
{
    std::vector<Linea> l;
    l.push_back({nombreCorto(e.nombre), fuente(9, QFont::DemiBold, false, d), Qt::black});
    if (!e.tipoIFC.isEmpty())
        l.push_back({e.tipoIFC, fuente(8, QFont::Normal, false, d), conAlfa(legibleSobreBlanco(e.color), 0.85)});
    l.push_back({e.dimensiones, fuente(7.5, QFont::Normal, true, d), kGrisOscuro});
    if (!e.material.isEmpty()) {
        const QString m =
            cuentaCaracteres(e.material) > 26 ? primerosCaracteres(e.material, 24) + QStringLiteral("…") : e.material;
        l.push_back({QStringLiteral("Mat: ") + m, fuente(7.5, QFont::Normal, false, d), kGrisOscuro});
    }
    if (!e.nivel.isEmpty())
        l.push_back({QStringLiteral("Nivel: ") + e.nivel, fuente(7.5, QFont::Normal, false, d), kGrisOscuro});
    return l;
}

QSizeF Vista2DNSView::tamanoEtiqueta(const std::vector<Linea>& lineas, const QPaintDevice* d) const
{
    double ancho = 50;
    for (const Linea& l : lineas)
        ancho = std::max(ancho, QFontMetricsF(l.fuente, const_cast<QPaintDevice*>(d)).horizontalAdvance(l.texto));
    return {ancho + 2, 13.0 * double(lineas.size())};
}

QRectF Vista2DNSView::cajaEtiqueta(const Etiqueta2D& e, const QPaintDevice* d) const
{
    const QSizeF bloque = tamanoEtiqueta(lineasEtiqueta(e, d), d);
    const QPointF t = aVista({e.ancla.u + e.offsetTexto.u, e.ancla.v + e.offsetTexto.v});
    return {t.x() - 4, t.y() - bloque.height() / 2 - 3, bloque.width() + 8, bloque.height() + 6};
}

QRectF Vista2DNSView::cajaEtiqueta(const Etiqueta2D& e) const
{
    return cajaEtiqueta(e, this);
}

QRectF Vista2DNSView::cuadradoOcultar(const Etiqueta2D& e) const
{
    const QRectF caja = cajaEtiqueta(e);
    return {caja.right(), caja.top() - 8, 14, 14};
}

void Vista2DNSView::dibujarEtiquetas(QPainter& p) const
{
    const QPaintDevice* d = p.device();
    const QColor azul = sistema(SystemColor::blue);
    for (const Etiqueta2D& e : etiquetas_) {
        if (!e.visible)
            continue;
        const bool seleccionada = etiquetaSeleccionadaId && *etiquetaSeleccionadaId == e.id;
        const std::vector<Linea> lineas = lineasEtiqueta(e, d);
        const QSizeF bloque = tamanoEtiqueta(lineas, d);
        const QPointF a = aVista(e.ancla);
        const QPointF t = aVista({e.ancla.u + e.offsetTexto.u, e.ancla.v + e.offsetTexto.v});
        const QRectF caja(t.x() - 4, t.y() - bloque.height() / 2 - 3, bloque.width() + 8, bloque.height() + 6);
        const bool izquierda = e.offsetTexto.u >= 0;
        const QPointF inicio(izquierda ? caja.left() : caja.right(), t.y());
        const QPointF codo(izquierda ? caja.left() - 14 : caja.right() + 14, t.y());
        const QColor c = seleccionada ? mezclar(legibleSobreBlanco(e.color), azul, 0.4) : legibleSobreBlanco(e.color);

        p.save();
        p.setPen(QPen(conAlfa(c, 0.8), seleccionada ? 1.2 : 0.75));
        p.drawLine(inicio, codo);
        p.drawLine(codo, a);
        const QPointF guia = codo - a;
        const double l = largo(guia);
        if (l > 8) {
            const QPointF u = guia / l;  // from the tip back towards the elbow
            const QPointF n(-u.y(), u.x());
            const QPointF base = a + u * 7;
            QPainterPath flecha;
            flecha.moveTo(a);
            flecha.lineTo(base + n * 3.5);
            flecha.lineTo(base - n * 3.5);
            flecha.closeSubpath();
            p.fillPath(flecha, conAlfa(c, 0.8));
        }
        p.restore();

        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(0, 0, 0, 0.1f));
        p.drawRect(caja.translated(0.5, 0.5));  // the shadow
        p.setBrush(QColor::fromRgbF(1, 1, 1, 0.88f));
        p.drawRect(caja);
        if (seleccionada) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(conAlfa(azul, 0.5), 0.8));
            p.drawRect(caja);
        }
        p.restore();

        const QPointF origen(caja.left() + 4, caja.top() + 3);
        for (size_t i = 0; i < lineas.size(); ++i)
            textoEn(p, lineas[i].texto, lineas[i].fuente, lineas[i].color, origen + QPointF(0, 13.0 * double(i)));

        if (seleccionada) {
            const QPointF centro(caja.right() + 7, caja.top() - 1);
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(conAlfa(sistema(SystemColor::red), 0.85));
            p.drawEllipse(centro, 7, 7);
            p.restore();
            textoEn(p, QStringLiteral("×"), fuente(10, QFont::Bold, false, d), Qt::white,
                    QPointF(centro.x() - 4, centro.y() - 6.5));
        }
    }
}

std::optional<Vista2DNSView::GeometriaCota> Vista2DNSView::geometriaCota(const Cota2D& c) const
{
    if (std::hypot(double(c.p2.u) - c.p1.u, double(c.p2.v) - c.p1.v) <= 0.001)
        return std::nullopt;
    GeometriaCota g;
    g.a = aVista(c.p1);
    g.b = aVista(c.p2);
    const double l = largo(g.b - g.a);
    if (l <= 1)
        return std::nullopt;
    g.t = (g.b - g.a) / l;
    g.n = QPointF(-g.t.y(), g.t.x());
    const double o = c.offsetLateral * escala;
    g.a2 = g.a + g.n * o;
    g.b2 = g.b + g.n * o;
    return g;
}

QRectF Vista2DNSView::rectTextoCota(const Cota2D& c) const
{
    const auto g = geometriaCota(c);
    if (!g)
        return {};
    const QFont f = fuente(tamanoTextoCota(escala), QFont::Medium, true, this);
    const QFontMetricsF m(f, const_cast<Vista2DNSView*>(this));
    const QString texto = platform::qformat("%.2f m", std::hypot(double(c.p2.u) - c.p1.u, double(c.p2.v) - c.p1.v));
    const double tw = m.horizontalAdvance(texto), th = m.height();
    const QPointF mid = (g->a2 + g->b2) / 2;
    return {mid.x() - tw / 2, mid.y() - th / 2, tw, th};
}

std::optional<QRectF> Vista2DNSView::cuadradoBorrar(const Cota2D& c) const
{
    const QRectF texto = rectTextoCota(c);
    if (texto.isNull())
        return std::nullopt;
    const double cx = texto.right() + 2 + 10;
    const double my = texto.center().y();
    return QRectF(cx - 7, my - 7, 14, 14);
}

void Vista2DNSView::dibujarCotas(QPainter& p) const
{
    for (const Cota2D& c : cotas_)
        dibujarCota(p, c, cotaDragId && *cotaDragId == c.id, cotaSeleccionadaId && *cotaSeleccionadaId == c.id);
}

void Vista2DNSView::dibujarCota(QPainter& p, const Cota2D& c, bool arrastrada, bool seleccionada) const
{
    const auto g = geometriaCota(c);
    if (!g)
        return;
    const QColor base = QColor::fromRgbF(0.05f, 0.35f, 0.8f);
    const QColor color = arrastrada ? mezclar(base, sistema(SystemColor::orange), 0.5) : base;
    const double o = c.offsetLateral * escala;
    p.save();
    p.setPen(QPen(conAlfa(color, 0.85), arrastrada ? 1.1 : 0.7));
    p.drawLine(g->a + g->n * 4, g->a + g->n * (o + 6));
    p.drawLine(g->b + g->n * 4, g->b + g->n * (o + 6));
    p.drawLine(g->a2, g->b2);
    QPainterPath flechas;
    flechas.moveTo(g->a2);
    flechas.lineTo(g->a2 - g->t * 7 + g->n * 2.5);
    flechas.lineTo(g->a2 - g->t * 7 - g->n * 2.5);
    flechas.closeSubpath();
    flechas.moveTo(g->b2);
    flechas.lineTo(g->b2 + g->t * 7 + g->n * 2.5);
    flechas.lineTo(g->b2 + g->t * 7 - g->n * 2.5);
    flechas.closeSubpath();
    p.fillPath(flechas, conAlfa(color, 0.85));

    const QFont f = fuente(tamanoTextoCota(escala), QFont::Medium, true, p.device());
    const QFontMetricsF m(f, p.device());
    const QString texto = platform::qformat("%.2f m", std::hypot(double(c.p2.u) - c.p1.u, double(c.p2.v) - c.p1.v));
    const double tw = m.horizontalAdvance(texto), th = m.height();
    const QPointF mid = (g->a2 + g->b2) / 2;
    const QRectF fondo(mid.x() - tw / 2 - 2, mid.y() - th / 2 - 1, tw + 4, th + 2);
    p.fillRect(fondo, QColor::fromRgbF(1, 1, 1, 0.92f));
    p.restore();
    textoEn(p, texto, f, color, QPointF(mid.x() - tw / 2, mid.y() - th / 2));

    if (seleccionada) {
        const QPointF centro(fondo.right() + 10, mid.y());
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(conAlfa(sistema(SystemColor::red), 0.85));
        p.drawEllipse(centro, 7, 7);
        p.restore();
        textoEn(p, QStringLiteral("×"), fuente(10, QFont::Bold, false, p.device()), Qt::white,
                QPointF(centro.x() - 4, centro.y() - 6.5));
    }
}

void Vista2DNSView::dibujarHerramientas(QPainter& p) const
{
    p.save();
    if (modoCota_) {
        QPointF extremo = mousePos;
        const QColor amarillo = sistema(SystemColor::yellow);
        const QColor azul = sistema(SystemColor::blue);
        if (snapPoint) {
            const QPointF s = aVista(*snapPoint);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(amarillo, 1.5));
            p.drawRect(QRectF(s.x() - 4.5, s.y() - 4.5, 9, 9));
            p.setPen(Qt::NoPen);
            p.setBrush(conAlfa(amarillo, 0.5));
            p.drawEllipse(s, 2, 2);
            extremo = s;
        }
        if (cotaP1Preview) {
            const QPointF a = aVista(*cotaP1Preview);
            p.setPen(Qt::NoPen);
            p.setBrush(conAlfa(azul, 0.9));
            p.drawEllipse(a, 4, 4);
            QPen guion(conAlfa(azul, 0.45), 1);
            guion.setDashPattern({5, 3});
            p.setPen(guion);
            p.drawLine(a, extremo);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(conAlfa(azul, 0.6), 1));
        p.drawEllipse(mousePos, 10, 10);
        p.drawLine(mousePos - QPointF(14, 0), mousePos + QPointF(14, 0));
        p.drawLine(mousePos - QPointF(0, 14), mousePos + QPointF(0, 14));
    } else if (modoEtiquetar_) {
        const QColor verde = conAlfa(sistema(SystemColor::green), 0.7);
        if (const auto s = segmentoEnPunto(mousePos, 12)) {
            QPen pen(verde, 2.5);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.drawLine(aVista(s->p1), aVista(s->p2));
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(verde, 1));
        p.drawEllipse(mousePos, 8, 8);
    }
    p.restore();
}

std::optional<Punto2D> Vista2DNSView::puntoSnap(QPointF p) const
{
    std::optional<QPointF> mejor;
    double distancia = 15;
    for (const Segmento2D& s : segmentos_) {
        if (!s.esCorte)
            continue;
        const QPointF a = aVista(s.p1), b = aVista(s.p2);
        for (const QPointF& extremo : {a, b}) {
            const double d = largo(p - extremo);
            if (d < 7.5 && d < distancia) {
                distancia = d;
                mejor = extremo;
            }
        }
        QPointF q;
        const double d = distanciaASegmento(p, a, b, &q);
        if (d < distancia) {
            distancia = d;
            mejor = q;
        }
    }
    if (!mejor)
        return std::nullopt;
    return aDibujo(*mejor);
}

std::optional<Segmento2D> Vista2DNSView::segmentoEnPunto(QPointF p, double maximo) const
{
    const Segmento2D* mejor = nullptr;
    double distancia = maximo;
    for (const Segmento2D& s : segmentos_) {
        if (!s.esCorte || s.nombreElemento.isEmpty())
            continue;
        const double d = distanciaASegmento(p, aVista(s.p1), aVista(s.p2));
        if (d < distancia) {
            distancia = d;
            mejor = &s;
        }
    }
    if (!mejor)
        return std::nullopt;
    return *mejor;
}

std::optional<QUuid> Vista2DNSView::etiquetaEnPunto(QPointF p) const
{
    for (const Etiqueta2D& e : etiquetas_) {
        if (!e.visible)
            continue;
        const QRectF caja = cajaEtiqueta(e);
        const double ty = aVista({e.ancla.u + e.offsetTexto.u, e.ancla.v + e.offsetTexto.v}).y();
        const QRectF hombro = e.offsetTexto.u >= 0 ? QRectF(caja.left() - 14, ty - 6, 14, 12)
                                                   : QRectF(caja.right(), ty - 6, 14, 12);
        if (caja.contains(p) || hombro.contains(p))
            return e.id;
    }
    return std::nullopt;
}

std::optional<QUuid> Vista2DNSView::cotaEnPunto(QPointF p) const
{
    for (const Cota2D& c : cotas_)
        if (const auto g = geometriaCota(c); g && distanciaASegmento(p, g->a2, g->b2) < 8)
            return c.id;
    return std::nullopt;
}

void Vista2DNSView::encuadrarTodo()
{
    // A canvas of 100 px or less either way would get a scale of zero or below.
    if (segmentos_.empty() || width() <= 100 || height() <= 100)
        return;
    float umin = segmentos_.front().p1.u, umax = umin, vmin = segmentos_.front().p1.v, vmax = vmin;
    for (const Segmento2D& s : segmentos_)
        for (const Punto2D& q : {s.p1, s.p2}) {
            umin = std::min(umin, q.u);
            umax = std::max(umax, q.u);
            vmin = std::min(vmin, q.v);
            vmax = std::max(vmax, q.v);
        }
    const double du = double(umax) - umin, dv = double(vmax) - vmin;
    if (!(du > 0 && dv > 0))
        return;
    escala = std::min((width() - 100) / du, (height() - 100) / dv);
    panOffset = QPointF(-(double(umin) + umax) / 2 * escala, (double(vmin) + vmax) / 2 * escala);
    redibujar();
}

}  // namespace quelva
