#include "timeline/impresion/ContenidoFicha.h"

#include "timeline/EstiloNivel.h"
#include "timeline/FigurasTimeLiner.h"
#include "timeline/Indicadores.h"
#include "timeline/Moneda.h"
#include "timeline/editor/EtiquetaValor.h"
#include "timeline/impresion/FigurasFicha.h"
#include "timeline/impresion/FlowLayout.h"
#include "timeline/impresion/TextoImpresion.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cmath>

namespace quelva {

namespace {

using platform::SystemColor;

QColor sistema(SystemColor c)
{
    return platform::systemColor(c);
}

QColor primario()
{
    return estilo::texto();
}
QColor secundario()
{
    return estilo::secundario();
}
QColor terciario()
{
    return estilo::terciario();
}

QColor colorTono(TonoTexto tono)
{
    switch (tono) {
    case TonoTexto::normal: return primario();
    case TonoTexto::secundario: return secundario();
    case TonoTexto::terciario: return terciario();
    }
    return primario();
}

QLabel* texto(const QString& t, double puntos, QFont::Weight peso, const QColor& color, double tracking = 0)
{
    auto* l = new QLabel(t);
    l->setTextFormat(Qt::PlainText);
    QFont f = fuenteFicha(puntos, peso);
    if (tracking != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    return l;
}

QLabel* texto(const TextoEstilado& t)
{
    return texto(t.texto, t.puntos, t.peso, colorTono(t.tono));
}

// A text cut with an ellipsis to `ancho`, on one line.
QLabel* textoCortado(const QString& t, double puntos, QFont::Weight peso, const QColor& color, int ancho)
{
    QLabel* l = texto(t, puntos, peso, color);
    l->setText(QFontMetricsF(l->font()).elidedText(t, Qt::ElideRight, ancho));
    l->setFixedWidth(ancho);
    return l;
}

// A rounded pane: fill, optional outline and a level bar down its left edge, clipped to its corners.
class Lamina : public QWidget {
public:
    Lamina(QColor fondo, double radio, QColor borde = QColor(), double anchoBorde = 0)
        : fondo_(fondo), borde_(borde), radio_(radio), anchoBorde_(anchoBorde)
    {
    }
    void barraIzquierda(QColor color, double ancho)
    {
        barra_ = color;
        anchoBarra_ = ancho;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect());
        QPainterPath forma;
        forma.addRoundedRect(r, radio_, radio_);
        p.fillPath(forma, fondo_);
        if (barra_.isValid()) {
            p.save();
            p.setClipPath(forma);
            p.fillRect(QRectF(0, 0, anchoBarra_, r.height()), barra_);
            p.restore();
        }
        if (borde_.isValid() && anchoBorde_ > 0) {
            p.setPen(QPen(borde_, anchoBorde_));
            p.setBrush(Qt::NoBrush);
            const double m = anchoBorde_ / 2;
            p.drawRoundedRect(r.adjusted(m, m, -m, -m), radio_, radio_);
        }
    }

private:
    QColor fondo_, borde_, barra_;
    double radio_, anchoBorde_, anchoBarra_ = 0;
};

template <class L>
L* caja(QWidget* w, int margen, int espacio)
{
    auto* l = new L(w);
    l->setContentsMargins(margen, margen, margen, margen);
    l->setSpacing(espacio);
    return l;
}

// Section with its bottom padding.
QWidget* conRelleno(QWidget* seccion, int abajo)
{
    auto* w = new QWidget;
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, abajo);
    l->setSpacing(0);
    l->addWidget(seccion);
    w->setProperty("cortePagina", true);
    return w;
}

QWidget* titulada(const QString& titulo, QWidget* cuerpo, int abajo)
{
    auto* w = new QWidget;
    auto* l = caja<QVBoxLayout>(w, 0, 6);
    l->addWidget(texto(titulo.toUpper(), 9, QFont::DemiBold, secundario(), 0.5));
    l->addWidget(cuerpo);
    return conRelleno(w, abajo);
}

class Anillo : public QWidget {
public:
    explicit Anillo(double avance) : avance_(avance) { setFixedSize(96, 96); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        // The 64-point circle, its 8-point stroke centred on the edge.
        const QRectF c(16 + 4, 16 + 4, 56, 56);
        QPen pista(blancoAlfa(0.1), 8, Qt::SolidLine, Qt::FlatCap);
        p.setPen(pista);
        p.drawEllipse(c);
        const double parte = std::clamp(avance_, 0.0, 1.0);
        if (parte > 0) {
            QPen arco(sistema(avance_ >= 1.0 ? SystemColor::green : SystemColor::orange), 8, Qt::SolidLine,
                      Qt::RoundCap);
            p.setPen(arco);
            if (parte >= 1.0)
                p.drawEllipse(c);
            else
                p.drawArc(c, 90 * 16, -int(std::lround(parte * 360 * 16)));
        }
        p.setPen(primario());
        p.setFont(fuenteFicha(13, QFont::Bold));
        p.drawText(QRectF(rect()), Qt::AlignCenter, platform::qformat("%.0f%%", avance_ * 100));
    }

private:
    double avance_;
};

class MarcoImagen : public QWidget {
public:
    explicit MarcoImagen(std::optional<QImage> imagen) : imagen_(std::move(imagen))
    {
        setFixedHeight(220);
        setMinimumWidth(100);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF r = QRectF(rect());
        QPainterPath forma;
        forma.addRoundedRect(r, 8, 8);
        p.fillPath(forma, gris(0.1));
        if (imagen_ && !imagen_->isNull()) {
            QSizeF s = QSizeF(imagen_->size()).scaled(r.size(), Qt::KeepAspectRatio);
            const QRectF destino(r.center().x() - s.width() / 2, r.center().y() - s.height() / 2, s.width(),
                                 s.height());
            p.save();
            p.setClipPath(forma);
            p.drawImage(destino, *imagen_);
            p.restore();
        } else {
            const QRectF simbolo(r.center().x() - 16, r.center().y() - 16 - 12, 32, 32);
            platform::paintSymbol(p, simbolo, QStringLiteral("cube.transparent"), terciario());
            textoEnCaja(p, QRectF(0, simbolo.bottom() + 8, r.width(), 20), QStringLiteral("Sin modelo 3D cargado"),
                        fuenteFicha(11), terciario(), Qt::AlignHCenter);
        }
        p.setPen(QPen(blancoAlfa(0.08), 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(0.25, 0.25, -0.25, -0.25), 8, 8);
    }

private:
    std::optional<QImage> imagen_;
};

class Chip : public QWidget {
public:
    explicit Chip(const QString& nombre) : nombre_(nombre), fuente_(fuenteFicha(9))
    {
        const QFontMetricsF m(fuente_);
        setFixedSize(int(std::ceil(m.horizontalAdvance(nombre_))) + 12, int(std::ceil(m.height())) + 4);
        setProperty("cortePagina", true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect());
        p.setPen(Qt::NoPen);
        p.setBrush(blancoAlfa(0.08));
        p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
        p.setPen(secundario());
        p.setFont(fuente_);
        p.drawText(r.adjusted(6, 2, -6, -2), Qt::AlignLeft | Qt::AlignVCenter, nombre_);
    }

private:
    QString nombre_;
    QFont fuente_;
};

// A row of the children table: its stripe and the divider below.
class FilaTabla : public QWidget {
public:
    FilaTabla(QColor fondo, bool divisor) : fondo_(fondo), divisor_(divisor) { setProperty("cortePagina", true); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (fondo_.isValid())
            p.fillRect(rect(), fondo_);
        if (divisor_)
            p.fillRect(QRectF(0, height() - 1, width(), 1), blancoAlfa(0.1));
    }

private:
    QColor fondo_;
    bool divisor_;
};

constexpr int kAnchos[] = {90, 180, 50, 90, 90, 60, 80};

QWidget* filaCeldas(const std::vector<std::pair<QString, QColor>>& celdas, QFont::Weight peso, QColor fondo,
                    bool divisor)
{
    auto* fila = new FilaTabla(fondo, divisor);
    auto* l = caja<QHBoxLayout>(fila, 0, 0);
    l->setContentsMargins(0, 0, 0, divisor ? 1 : 0);
    for (size_t i = 0; i < celdas.size(); ++i) {
        QLabel* c = textoCortado(celdas[i].first, 9, peso, celdas[i].second, kAnchos[i]);
        c->setContentsMargins(0, 0, 0, 0);
        auto* marco = new QWidget;
        auto* m = caja<QHBoxLayout>(marco, 0, 0);
        m->setContentsMargins(6, 5, 6, 5);
        m->addWidget(c);
        l->addWidget(marco, 0, Qt::AlignVCenter);
    }
    l->addStretch(1);
    return fila;
}

QWidget* tablaHijos(const DatosFicha& d, const std::vector<PaqueteAWP>& hijos)
{
    auto* marco = new Lamina(gris(0.14), 6, blancoAlfa(0.07), 1);
    auto* l = caja<QVBoxLayout>(marco, 0, 0);
    l->setContentsMargins(0, 0, 0, 0);
    std::vector<std::pair<QString, QColor>> titulos;
    for (const char* t : {"Código", "Nombre", "Tipo", "Inicio", "Fin", "Avance", "Pres."})
        titulos.emplace_back(QString::fromUtf8(t), secundario());
    l->addWidget(filaCeldas(titulos, QFont::DemiBold, blancoAlfa(0.07), true));
    const int n = int(hijos.size());
    for (int i = 0; i < n; ++i) {
        const PaqueteAWP& h = hijos[size_t(i)];
        const double p = d.config.progresoAgregado(h);
        const EstiloFilaHijo estilo = estiloFilaHijo(i, n);
        using platform::DateStyle;
        const std::vector<std::pair<QString, QColor>> celdas = {
            {h.codigo, primario()},
            {h.nombre, primario()},
            {textoNivelAWP(h.nivel), colorNivel(h.nivel)},
            {platform::formatUserDate(h.fechaInicio, DateStyle::medium), primario()},
            {platform::formatUserDate(h.fechaFin, DateStyle::medium), primario()},
            {platform::qformat("%.0f%%", p * 100), estilo::colorAvance(p, secundario())},
            {formatoMoneda(d.config.presupuestoAgregado(h), d.config.moneda), primario()},
        };
        l->addWidget(filaCeldas(celdas, QFont::Normal, estilo.tintada ? blancoAlfa(0.03) : QColor(), estilo.divisor));
    }
    return marco;
}

QWidget* bandaResumen(const DatosFicha& d, const QDateTime& preparado)
{
    auto* banda = new Lamina(gris(0.16), 10);
    banda->barraIzquierda(colorNivel(d.paquete.nivel), 6);
    auto* fila = caja<QHBoxLayout>(banda, 0, 0);
    fila->addSpacing(6);
    auto* bloques = new QWidget;
    auto* lb = caja<QHBoxLayout>(bloques, 12, 20);
    auto bloque = [&](const QString& etiqueta, const QString& valor) {
        const EtiquetaValor ev = etiquetaValor(etiqueta, valor, 8);
        auto* b = new QWidget;
        auto* v = caja<QVBoxLayout>(b, 0, 2);
        v->addWidget(texto(ev.etiqueta));
        v->addWidget(texto(ev.valor));
        lb->addWidget(b, 0, Qt::AlignVCenter);
    };
    bloque(QStringLiteral("Código"), d.paquete.codigo);
    bloque(QStringLiteral("Tipo"), textoNivelAWP(d.paquete.nivel));
    bloque(QStringLiteral("Preparado"), platform::formatUserDate(preparado, platform::DateStyle::medium));
    if (const auto padre = paquetePadre(d.config, d.paquete))
        bloque(QStringLiteral("Paquete Padre"), padre->codigo);
    fila->addWidget(bloques, 0, Qt::AlignVCenter);
    fila->addStretch(1);
    fila->addWidget(new Anillo(d.config.progresoAgregado(d.paquete)), 0, Qt::AlignVCenter);
    return conRelleno(banda, 16);
}

QWidget* filaDato(const QString& etiqueta, const QString& valor, const QColor& color)
{
    auto* w = new QWidget;
    auto* l = caja<QHBoxLayout>(w, 0, 6);
    l->addWidget(texto(etiqueta, 10, QFont::Normal, secundario()));
    l->addWidget(texto(valor, 10, QFont::Medium, color));
    l->addStretch(1);
    return w;
}

QWidget* panelFechas(const QString& titulo, const QColor& color, const std::vector<QWidget*>& filas)
{
    auto* panel = new Lamina(conAlfa(color, 0.06), 6);
    auto* l = caja<QVBoxLayout>(panel, 10, 8);
    l->addWidget(texto(titulo, 9, QFont::DemiBold, color, 0.5));
    for (QWidget* f : filas)
        l->addWidget(f);
    l->addStretch(1);
    return panel;
}

QWidget* filaFechas(const PaqueteAWP& p)
{
    using platform::DateStyle;
    auto fecha = [](const QDateTime& f) { return platform::formatUserDate(f, DateStyle::medium); };
    const QColor azul = sistema(SystemColor::blue), verde = sistema(SystemColor::green);
    std::vector<QWidget*> programa = {
        filaDato(QStringLiteral("Inicio:"), fecha(p.fechaInicio), primario()),
        filaDato(QStringLiteral("Fin:"), fecha(p.fechaFin), primario()),
        filaDato(QStringLiteral("Duración:"), QStringLiteral("%1 días").arg(p.duracionDias()), primario()),
    };
    std::vector<QWidget*> reales;
    auto real = [&](const std::optional<QDateTime>& f, std::optional<int> desfase, const QString& sin,
                    const QString& etiqueta, const QString& etiquetaVariacion) {
        if (!f) {
            reales.push_back(texto(sin, 10, QFont::Normal, terciario()));
            return;
        }
        reales.push_back(filaDato(etiqueta, fecha(*f), primario()));
        if (desfase) {
            const TextoColor v = textoVariacion(*desfase);
            reales.push_back(filaDato(etiquetaVariacion, v.texto, v.color));
        }
    };
    real(p.fechaInicioReal, p.desfaseInicioDias(), QStringLiteral("Sin fecha real de inicio"),
         QStringLiteral("Inicio real:"), QStringLiteral("Variación inicio:"));
    real(p.fechaFinReal, p.desfaseFinDias(), QStringLiteral("Sin fecha real de término"), QStringLiteral("Fin real:"),
         QStringLiteral("Variación fin:"));

    auto* w = new QWidget;
    auto* l = caja<QHBoxLayout>(w, 0, 0);
    l->addWidget(panelFechas(QStringLiteral("PROGRAMADAS"), azul, programa), 1);
    l->addSpacing(12);
    l->addWidget(panelFechas(QStringLiteral("REALES"), verde, reales), 1);
    return w;
}

QWidget* tesela(const QString& etiqueta, const QString& valor, const QColor& color)
{
    auto* t = new Lamina(conAlfa(color, 0.08), 6);
    auto* l = caja<QVBoxLayout>(t, 8, 3);
    l->addWidget(texto(etiqueta, 8, QFont::Normal, secundario()), 0, Qt::AlignHCenter);
    l->addWidget(texto(valor, 12, QFont::Bold, color), 0, Qt::AlignHCenter);
    return t;
}

QWidget* filaRecursos(const DatosFicha& d)
{
    const PaqueteAWP& p = d.paquete;
    const TimeLinerConfig& c = d.config;
    auto dinero = [&](double v) { return formatoMoneda(v, c.moneda); };
    auto* w = new QWidget;
    auto* l = caja<QVBoxLayout>(w, 0, 0);
    auto fila = [&](std::initializer_list<QWidget*> teselas) {
        auto* f = new QWidget;
        auto* h = caja<QHBoxLayout>(f, 0, 12);
        for (QWidget* t : teselas)
            h->addWidget(t, 1);
        return f;
    };
    const double cpi = cpiFicha(c, p);
    l->addWidget(fila({
        tesela(QStringLiteral("Presupuesto"), dinero(c.presupuestoAgregado(p)), sistema(SystemColor::blue)),
        tesela(QStringLiteral("Costo Real"), dinero(c.costoRealAgregado(p)), sistema(SystemColor::orange)),
        tesela(QStringLiteral("Valor Ganado"), dinero(c.valorGanadoAgregado(p)),
               sistema(c.progresoAgregado(p) >= 1.0 ? SystemColor::green : SystemColor::teal)),
        tesela(QStringLiteral("CPI"), platform::qformat("%.2f", cpi), colorIndice(cpi)),
    }));
    if (c.hhAgregadas(p) > 0) {
        const char* miles = "%.1fk HH";
        const double factor = factorProductividad(c, p);
        l->addSpacing(8);
        l->addWidget(fila({
            tesela(QStringLiteral("HH Planificadas"), formatearHH(c.hhAgregadas(p), miles),
                   sistema(SystemColor::purple)),
            tesela(QStringLiteral("HH Reales"), formatearHH(c.hhRealesAgregadas(p), miles),
                   sistema(SystemColor::orange)),
            tesela(QStringLiteral("HH Ganadas"), formatearHH(c.hhGanadasAgregadas(p), miles),
                   sistema(SystemColor::mint)),
            tesela(QStringLiteral("Factor Prod."), platform::qformat("%.2f", factor), colorProductividad(factor)),
        }));
    }
    return w;
}

QWidget* elementos(const QStringList& nombres)
{
    auto* pozo = new Lamina(gris(0.15), 6);
    auto* flujo = new FlowLayout(4, pozo);
    flujo->setContentsMargins(8, 8, 8, 8);
    const ChipsElementos chips = chipsElementos(nombres);
    for (const QString& n : chips.visibles)
        flujo->addWidget(new Chip(n));
    if (!chips.desborde.isEmpty()) {
        QLabel* mas = texto(chips.desborde, 9, QFont::Normal, terciario());
        mas->setContentsMargins(0, 2, 0, 2);
        flujo->addWidget(mas);
    }
    return pozo;
}

}  // namespace

QColor fondoFicha()
{
    return estilo::fondoVentana();
}

std::vector<QWidget*> seccionesFicha(const DatosFicha& d, const QDateTime& preparado)
{
    const PaqueteAWP& p = d.paquete;
    std::vector<QWidget*> s;
    s.push_back(bandaResumen(d, preparado));
    s.push_back(conRelleno(new MarcoImagen(d.imagen), 16));
    if (!p.nombre.isEmpty()) {
        auto* panel = new Lamina(gris(0.16), 6);
        auto* l = caja<QVBoxLayout>(panel, 10, 0);
        QLabel* objetivo = texto(p.nombre, 12, QFont::Normal, primario());
        objetivo->setWordWrap(true);
        l->addWidget(objetivo);
        s.push_back(titulada(QStringLiteral("Objetivo del ") + textoNivelAWP(p.nivel), panel, 14));
    }
    s.push_back(titulada(QStringLiteral("Fechas"), filaFechas(p), 14));
    s.push_back(titulada(QStringLiteral("Recursos"), filaRecursos(d), 14));
    if (!p.elementosNombre.isEmpty())
        s.push_back(titulada(QStringLiteral("Elementos vinculados (%1)").arg(p.elementosNombre.size()),
                             elementos(p.elementosNombre), 14));
    const std::vector<PaqueteAWP> hijos = hijosFicha(d.config, p);
    if (!hijos.empty())
        s.push_back(titulada(tituloHijos(p.nivel), tablaHijos(d, hijos), 14));
    return s;
}

}  // namespace quelva
