#include "main_window/comparacion/ReporteTRELMView.h"

#include "main_window/reportes/PinturaReporte.h"
#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "platform/UserDate.h"

#include <QFrame>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

using platform::SystemColor;
using namespace reporte;

constexpr int kAltoCabecera = 92;
constexpr int kMargen = 24;
constexpr int kAltoTarjetas = 108;
constexpr int kEntreBloques = 20;
constexpr int kAltoTitulo = 22;
constexpr int kAltoCabeceraTabla = 26;
constexpr int kAltoFila = 130;
constexpr int kAltoPie = 18;
constexpr int kEspacio = 10;
constexpr int kRelleno = 12;

struct EstiloTipo {
    const char* titulo;
    const char* simbolo;
    QColor color;
};

EstiloTipo estilo(TipoCambioTRELM t)
{
    switch (t) {
    case TipoCambioTRELM::agregado: return {"Agregados", "plus.circle.fill", QColor::fromRgbF(0.1f, 0.75f, 0.2f)};
    case TipoCambioTRELM::eliminado: return {"Eliminados", "minus.circle.fill", QColor::fromRgbF(0.9f, 0.15f, 0.15f)};
    case TipoCambioTRELM::modificado:
        return {"Modificados", "arrow.triangle.2.circlepath.circle.fill", QColor::fromRgbF(0.95f, 0.55f, 0.05f)};
    }
    return {"", "", QColor()};
}

// Column rectangles of a table row `ancho` wide: #, picture, type, name, and the two deltas.
std::vector<QRect> columnas(int ancho, int y, int alto, bool conDeltas)
{
    std::vector<int> anchos{32, 180, 100, -1};
    if (conDeltas)
        anchos.insert(anchos.end(), {80, 80});
    int fijo = 0;
    for (int a : anchos)
        fijo += std::max(a, 0);
    const int flexible = std::max(60, ancho - 2 * kRelleno - fijo - int(anchos.size() - 1) * kEspacio);
    std::vector<QRect> r;
    int x = kRelleno;
    for (int a : anchos) {
        const int w = a > 0 ? a : flexible;
        r.emplace_back(x, y, w, alto);
        x += w + kEspacio;
    }
    return r;
}

}  // namespace

QString textoDeltaTRELM(float delta)
{
    return delta > 0.001f ? platform::qformat("%.3f m", double(delta)) : QStringLiteral("—");
}

std::vector<ElementoCambioTRELM> modificadosOrdenados(const ResultadoTRELM& resultado)
{
    std::vector<ElementoCambioTRELM> m = resultado.modificados();
    std::stable_sort(m.begin(), m.end(), [](const ElementoCambioTRELM& a, const ElementoCambioTRELM& b) {
        return std::max(a.deltaPosicion, a.deltaTamano) > std::max(b.deltaPosicion, b.deltaTamano);
    });
    return m;
}

// The header band, above the scroll area.
class CabeceraCambiosTRELM : public QWidget {
public:
    explicit CabeceraCambiosTRELM(const ReporteTRELMView& vista, QWidget* parent) : QWidget(parent), vista_(vista)
    {
        setFixedHeight(kAltoCabecera);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const int W = width();
        p.fillRect(rect(), kFondoControl);
        const QStringList t = vista_.textosCabecera();
        const QFont base = font();
        p.setPen(kPrimario);
        p.setFont(fuente(base, 20, QFont::Bold));
        p.drawText(QRect(24, 16, W - 280, 28), Qt::AlignLeft | Qt::AlignVCenter, t[0]);
        // File line: base -> new, each cut to its share.
        p.setFont(fuente(base, 11));
        const QFontMetrics m(p.font());
        const int mitad = std::max(60, (W - 280 - 24 - 3 * 16 - 14) / 2);
        int x = 24;
        const int y = 52;
        platform::paintSymbol(p, QRectF(x, y + 2, 12, 12), QStringLiteral("doc"), kSecundario);
        p.setPen(kSecundario);
        QString texto = m.elidedText(t[1], Qt::ElideMiddle, mitad);
        p.drawText(QRect(x + 16, y, mitad, 16), Qt::AlignLeft | Qt::AlignVCenter, texto);
        x += 16 + m.horizontalAdvance(texto) + 8;
        platform::paintSymbol(p, QRectF(x, y + 2, 12, 12), QStringLiteral("arrow.right"), kSecundario);
        x += 20;
        platform::paintSymbol(p, QRectF(x, y + 2, 12, 12), QStringLiteral("doc.fill"), kSecundario);
        texto = m.elidedText(t[2], Qt::ElideMiddle, mitad);
        p.drawText(QRect(x + 16, y, mitad, 16), Qt::AlignLeft | Qt::AlignVCenter, texto);

        p.drawText(QRect(W - 260, 18, 236, 16), Qt::AlignRight | Qt::AlignVCenter, t[3]);
        p.setPen(kTerciario);
        p.setFont(fuente(base, 10));
        p.drawText(QRect(W - 260, 37, 236, 14), Qt::AlignRight | Qt::AlignVCenter, t[4]);
        p.setFont(fuente(base, 11, QFont::Bold));
        p.drawText(QRect(W - 260, 54, 236, 16), Qt::AlignRight | Qt::AlignVCenter, t[5]);
    }

private:
    const ReporteTRELMView& vista_;
};

// The scrolled page: cards, sections and footer; only rows in view are painted.
class PaginaCambiosTRELM : public QWidget {
public:
    explicit PaginaCambiosTRELM(const ReporteTRELMView& vista, QWidget* parent) : QWidget(parent), vista_(vista)
    {
        setObjectName(QStringLiteral("paginaCambiosTRELM"));
        QSizePolicy p(QSizePolicy::Preferred, QSizePolicy::Preferred);
        p.setHeightForWidth(true);
        setSizePolicy(p);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kFondoPagina);
        setPalette(pal);
        giro_ = new QTimer(this);
        giro_->setInterval(120);
        connect(giro_, &QTimer::timeout, this, [this] {
            fase_ = (fase_ + 1) % 8;
            // Only the picture cells turn.
            update();
        });
        secciones_ = vista_.secciones();
        actualizarGiro();
    }

    void actualizarGiro()
    {
        bool falta = false;
        for (const auto& s : secciones_)
            for (const auto& e : s.elementos)
                falta = falta || !vista_.filaConImagen(e);
        if (falta)
            giro_->start();
        else
            giro_->stop();
        update();
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int) const override
    {
        int y = kMargen + kAltoTarjetas + kEntreBloques;
        for (const auto& s : secciones_)
            y += kAltoTitulo + 8 + kAltoCabeceraTabla + int(s.elementos.size()) * kAltoFila + kEntreBloques;
        return y + 4 + kAltoPie + kMargen;
    }
    QSize sizeHint() const override { return {1020, heightForWidth(1020)}; }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRect zona = event->rect();
        const int W = width();
        const QFont base = font();

        // Cards.
        const auto n = vista_.numerosTarjetas();
        const int ancho = (W - 2 * kMargen - 3 * 12) / 4;
        for (int k = 0; k < 4; ++k) {
            const bool igual = k == 3;
            const EstiloTipo e = igual ? EstiloTipo{"Sin cambios", "equal.circle.fill", kSecundario}
                                       : estilo(TipoCambioTRELM(k));
            const QColor color = igual ? QColor(235, 235, 245) : e.color;
            pintarTarjeta(p, base, QRectF(kMargen + k * (ancho + 12), kMargen, ancho, kAltoTarjetas),
                          {QString::fromUtf8(e.simbolo), igual ? kSecundario : e.color, color, n[size_t(k)],
                           QString::fromUtf8(e.titulo)},
                          28);
        }

        int y = kMargen + kAltoTarjetas + kEntreBloques;
        for (const auto& s : secciones_) {
            const int alto = kAltoTitulo + 8 + kAltoCabeceraTabla + int(s.elementos.size()) * kAltoFila;
            if (y < zona.bottom() + 1 && y + alto > zona.top())
                pintarSeccion(p, s, y, zona);
            y += alto + kEntreBloques;
        }

        // Footer.
        y += 4;
        pintarPie(p, base, QRect(kMargen, y, W - 2 * kMargen, kAltoPie), vista_.textoPie(), vista_.textoGenerado());
    }

private:
    void pintarSeccion(QPainter& p, const ReporteTRELMView::Seccion& s, int y, const QRect& zona)
    {
        const int W = width();
        const QFont base = font();
        const EstiloTipo e = estilo(s.tipo);
        const bool modificado = s.tipo == TipoCambioTRELM::modificado;

        pintarTituloLista(p, base, QRect(kMargen, y, W - 2 * kMargen, kAltoTitulo), QString::fromUtf8(e.simbolo),
                          e.color, s.titulo, s.conteo);

        const int yTabla = y + kAltoTitulo + 8;
        const int filas = int(s.elementos.size());
        const QRect marco(kMargen, yTabla, W - 2 * kMargen, kAltoCabeceraTabla + filas * kAltoFila);
        QPainterPath recorte;
        recorte.addRoundedRect(QRectF(marco).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.save();
        p.setClipPath(recorte);
        p.fillRect(QRect(marco.left(), yTabla, marco.width(), kAltoCabeceraTabla), conAlfa(e.color, 0.1));
        p.setPen(kSecundario);
        p.setFont(fuente(base, 9, QFont::DemiBold));
        const auto cab = columnas(marco.width(), yTabla, kAltoCabeceraTabla, modificado);
        const QStringList titulos =
            modificado ? QStringList{"#", "Vista 3D", "Tipo IFC", "Nombre", "Δ Posición", "Δ Tamaño"}
                       : QStringList{"#", "Vista 3D", "Tipo IFC", "Nombre del elemento"};
        const Qt::Alignment alineacion[6] = {Qt::AlignRight, Qt::AlignHCenter, Qt::AlignLeft,
                                             Qt::AlignLeft,  Qt::AlignRight,   Qt::AlignRight};
        for (int c = 0; c < titulos.size(); ++c)
            p.drawText(cab[size_t(c)].translated(marco.left(), 0), alineacion[c] | Qt::AlignVCenter, titulos[c]);

        const int y0 = yTabla + kAltoCabeceraTabla;
        const int primera = std::max(0, (zona.top() - y0) / kAltoFila);
        const int ultima = std::min(filas - 1, (zona.bottom() - y0) / kAltoFila);
        const QFont mono10 = fuente(base, 10, QFont::Normal, true);
        const QFont mono11 = fuente(base, 11, QFont::Normal, true);
        const QFontMetrics m11(mono11);
        const QFont f9 = fuente(base, 9);
        for (int k = primera; k <= ultima; ++k) {
            const ElementoCambioTRELM& el = s.elementos[size_t(k)];
            const QRect fila(marco.left(), y0 + k * kAltoFila, marco.width(), kAltoFila);
            if (k % 2 == 0)
                p.fillRect(fila, kFondoControl);
            const auto col = columnas(fila.width(), fila.top(), fila.height(), modificado);
            auto celda = [&](int c) { return col[size_t(c)].translated(fila.left(), 0).adjusted(0, 6, 0, -6); };
            const QStringList t = vista_.textosFila(s, k);

            p.setPen(kTerciario);
            p.setFont(mono10);
            p.drawText(celda(0), Qt::AlignRight | Qt::AlignVCenter, t[0]);

            const auto& mapa = vista_.store_->thumbnails();
            const auto it = mapa.find(el.nombre);
            pintarMiniatura(p, QPoint(celda(1).left(), fila.top() + 6), it != mapa.end() ? &it->second : nullptr,
                            fase_, QPen(conAlfa(e.color, 0.35), 0.5));

            p.setPen(kSecundario);
            p.setFont(f9);
            p.drawText(celda(2), Qt::AlignLeft | Qt::AlignVCenter,
                       QFontMetrics(f9).elidedText(t[1], Qt::ElideRight, celda(2).width()));
            p.setPen(kPrimario);
            p.setFont(mono11);
            const QRect r = celda(3);
            p.drawText(QRect(r.left(), r.center().y() - m11.lineSpacing(), r.width(), 2 * m11.lineSpacing()),
                       Qt::AlignLeft | Qt::AlignVCenter, dosLineas(t[2], m11, r.width()));
            if (modificado) {
                p.setFont(mono10);
                for (int c : {4, 5}) {
                    const QString texto = t[c - 1];
                    p.setPen(texto == QStringLiteral("—") ? kSecundario : platform::systemColor(SystemColor::orange));
                    p.drawText(celda(c), Qt::AlignRight | Qt::AlignVCenter, texto);
                }
            }
        }
        p.restore();
        p.setPen(QPen(conAlfa(e.color, 0.22), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(recorte);
    }

    const ReporteTRELMView& vista_;
    std::vector<ReporteTRELMView::Seccion> secciones_;
    QTimer* giro_ = nullptr;
    int fase_ = 0;
};

ReporteTRELMView::ReporteTRELMView(ResultadoTRELM resultado, TRELMThumbnailStore* store, QWidget* parent)
    : QWidget(parent), resultado_(std::move(resultado)), store_(store)
{
    setObjectName(QStringLiteral("ReporteTRELMView"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    col->addWidget(new CabeceraCambiosTRELM(*this, this));
    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFrameShadow(QFrame::Sunken);
    col->addWidget(divisor);
    desplazable_ = new QScrollArea(this);
    desplazable_->setWidgetResizable(true);
    desplazable_->setFrameShape(QFrame::NoFrame);
    desplazable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pagina_ = new PaginaCambiosTRELM(*this, desplazable_);
    desplazable_->setWidget(pagina_);
    col->addWidget(desplazable_, 1);
    connect(store_, &TRELMThumbnailStore::thumbnailsChanged, this, [this] { pagina_->actualizarGiro(); });
}

QWidget* ReporteTRELMView::pagina() const
{
    return pagina_;
}

QStringList ReporteTRELMView::textosCabecera() const
{
    return {QStringLiteral("Informe de Cambios TRELM"), resultado_.archivoBase, resultado_.archivoNuevo,
            platform::formatUserSkeleton(resultado_.fecha, QStringLiteral("dMMMMy")),
            platform::formatUserDate(resultado_.fecha, platform::DateStyle::none, platform::DateStyle::short_),
            QStringLiteral("QUELVA")};
}

std::array<long long, 4> ReporteTRELMView::numerosTarjetas() const
{
    return {static_cast<long long>(resultado_.agregados().size()),
            static_cast<long long>(resultado_.eliminados().size()),
            static_cast<long long>(resultado_.modificados().size()), static_cast<long long>(resultado_.iguales)};
}

std::vector<ReporteTRELMView::Seccion> ReporteTRELMView::secciones() const
{
    std::vector<Seccion> out;
    for (TipoCambioTRELM t : todosLosTiposCambioTRELM) {
        std::vector<ElementoCambioTRELM> lista = t == TipoCambioTRELM::agregado    ? resultado_.agregados()
                                                 : t == TipoCambioTRELM::eliminado ? resultado_.eliminados()
                                                                                   : modificadosOrdenados(resultado_);
        if (lista.empty())
            continue;
        const size_t n = lista.size();
        out.push_back({t, textoTipoCambioTRELM(t) + QLatin1Char('s'),
                       QString::number(n) + QStringLiteral(" elemento") + (n == 1 ? QString() : QStringLiteral("s")),
                       std::move(lista)});
    }
    return out;
}

QStringList ReporteTRELMView::textosFila(const Seccion& seccion, int fila) const
{
    const ElementoCambioTRELM& e = seccion.elementos.at(size_t(fila));
    QStringList t{QString::number(fila + 1) + QLatin1Char('.'),
                  e.tipoIFC.isEmpty() ? QStringLiteral("—") : e.tipoIFC, e.nombre};
    if (seccion.tipo == TipoCambioTRELM::modificado)
        t << textoDeltaTRELM(e.deltaPosicion) << textoDeltaTRELM(e.deltaTamano);
    return t;
}

bool ReporteTRELMView::filaConImagen(const ElementoCambioTRELM& elemento) const
{
    const auto& mapa = store_->thumbnails();
    const auto it = mapa.find(elemento.nombre);
    return it != mapa.end() && !it->second.isNull();
}

QString ReporteTRELMView::textoPie() const
{
    return QStringLiteral("Total de elementos: ") +
           QString::number(static_cast<long long>(resultado_.elementos.size()) + resultado_.iguales);
}

QString ReporteTRELMView::textoGenerado() const
{
    return QStringLiteral("Generado por QUELVA · ") +
           platform::formatUserDate(resultado_.fecha, platform::DateStyle::short_, platform::DateStyle::short_);
}

}  // namespace quelva
