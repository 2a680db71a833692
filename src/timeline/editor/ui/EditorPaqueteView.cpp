#include "timeline/editor/ui/EditorPaqueteView.h"

#include "timeline/HojasTimeLiner.h"
#include "timeline/Moneda.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/editor/EtiquetaValor.h"
#include "timeline/editor/FigurasEditor.h"
#include "timeline/editor/GuardarPaquete.h"
#include "timeline/editor/ReglasPaquete.h"
#include "timeline/editor/ui/CampoNumerico.h"
#include "timeline/editor/ui/PanelElementos.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/UserDate.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>

namespace quelva {

namespace {

using platform::SystemColor;

QString css(const QColor& c) { return c.name(QColor::HexArgb); }
QColor sistema(SystemColor c) { return estilo::sistema(c); }
QColor tinte(SystemColor c, double opacidad)
{
    QColor r = sistema(c);
    r.setAlphaF(float(opacidad));
    return r;
}

// A label in the given size, or in the sheet's own font when the size is 0.
QLabel* etiqueta(const QString& texto, QWidget* padre, double puntos = 0, QFont::Weight peso = QFont::Normal,
                 const QColor& color = QColor())
{
    auto* l = new QLabel(texto, padre);
    if (puntos > 0)
        l->setFont(estilo::fuente(puntos, peso));
    if (color.isValid())
        l->setStyleSheet(QStringLiteral("color: %1;").arg(css(color)));
    return l;
}

QLabel* simbolo(const QString& nombre, int puntos, const QColor& color, QWidget* padre)
{
    auto* l = new QLabel(padre);
    l->setPixmap(platform::symbolPixmap(nombre, puntos + 2, color));
    return l;
}

// A rounded box filled with a tint; the name keeps the rule off its children.
QFrame* caja(const QString& nombre, const QColor& fondo, int radio, QWidget* padre)
{
    auto* f = new QFrame(padre);
    f->setObjectName(nombre);
    f->setStyleSheet(QStringLiteral("QFrame#%1 { background: %2; border-radius: %3px; }").arg(nombre, css(fondo)).arg(radio));
    return f;
}

QFrame* divisor(QWidget* padre)
{
    auto* l = new QFrame(padre);
    l->setFrameShape(QFrame::HLine);
    l->setFixedHeight(1);
    l->setStyleSheet(QStringLiteral("background: rgba(255,255,255,30); border: none;"));
    return l;
}

QHBoxLayout* fila(int espacio, QLayout* dentro = nullptr)
{
    auto* h = new QHBoxLayout;
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(espacio);
    if (auto* v = qobject_cast<QBoxLayout*>(dentro))
        v->addLayout(h);
    return h;
}

// Date-only picker in the user's short style, with a four-digit year so typing is unambiguous.
QDateEdit* selectorFecha(const QString& nombre, QWidget* padre)
{
    auto* d = new QDateEdit(padre);
    d->setObjectName(nombre);
    d->setCalendarPopup(true);
    QString formato = QLocale(platform::userLocaleName()).dateFormat(QLocale::ShortFormat);
    if (!formato.contains(QStringLiteral("yyyy")))
        formato.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    d->setDisplayFormat(formato);
    d->setMinimumDate(QDate(100, 1, 1));
    d->setMaximumDate(QDate(9999, 12, 31));
    return d;
}

void mostrarDia(QDateEdit* d, const QDateTime& instante, const QDate& minimo)
{
    const QSignalBlocker bloqueo(d);
    const QDate dia = instante.toLocalTime().date();
    // The stored day is shown as it is, even before the bound (the warning tells).
    d->setMinimumDate(std::min(minimo, dia));
    d->setDate(dia);
}

QWidget* cajaValor(const QString& titulo, QLabel*& valor, QWidget* padre)
{
    auto* f = caja(QStringLiteral("cajaValor"), QColor::fromRgbF(0.18f, 0.18f, 0.18f), 5, padre);
    auto* v = new QVBoxLayout(f);
    v->setContentsMargins(6, 6, 6, 6);
    v->setSpacing(2);
    const EtiquetaValor ev = etiquetaValor(titulo, QString(), 9);
    auto* e = new QLabel(ev.etiqueta.texto, f);
    e->setFont(estilo::fuente(ev.etiqueta.puntos, ev.etiqueta.peso));
    e->setStyleSheet(QStringLiteral("color: %1;").arg(css(estilo::terciario())));
    valor = new QLabel(f);
    valor->setFont(estilo::fuente(ev.valor.puntos, ev.valor.peso));
    v->addWidget(e);
    v->addWidget(valor);
    return f;
}

// A caption over its control: the form column is narrow, so pairs stack instead of running on.
QVBoxLayout* rotulado(const QString& texto, QWidget* control, QWidget* padre)
{
    auto* v = new QVBoxLayout;
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(3);
    v->addWidget(etiqueta(texto, padre, 10, QFont::Normal, estilo::secundario()));
    v->addWidget(control);
    return v;
}

struct Nivel {
    NivelAWP nivel;
    const char* texto;
    const char* simbolo;
};
constexpr Nivel nivelesSegmento[] = {
    {NivelAWP::cwa, "CWA", "map"},
    {NivelAWP::cwp, "CWP", "folder.fill"},
    {NivelAWP::iwp, "IWP", "wrench.and.screwdriver.fill"},
    {NivelAWP::pwp, "PWP", "list.clipboard.fill"},
};

}  // namespace

EditorPaqueteView::EditorPaqueteView(PaqueteAWP& paquete, TimeLinerStore& store,
                                     const PropiedadesPorEspecialidad& propiedadesIFC, QWidget* parent)
    : QDialog(parent), paquete_(paquete), store_(store)
{
    setObjectName(QStringLiteral("editorPaquete"));
    setWindowTitle(QStringLiteral("Paquete AWP"));
    setFixedSize(780, 560);
    setModal(true);

    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->setSpacing(0);

    auto* cabecera = new QWidget(this);
    auto* filaCabecera = new QHBoxLayout(cabecera);
    filaCabecera->setContentsMargins(16, 16, 16, 16);
    titulo_ = etiqueta(QString(), cabecera, 13, QFont::DemiBold);
    titulo_->setObjectName(QStringLiteral("tituloEditor"));
    auto* cancelar = new QPushButton(QStringLiteral("Cancelar"), cabecera);
    cancelar->setObjectName(QStringLiteral("cancelar"));
    cancelar->setFlat(true);
    cancelar->setAutoDefault(false);
    cancelar->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; padding: 2px 6px; }")
                                .arg(css(estilo::secundario())));
    filaCabecera->addWidget(titulo_);
    filaCabecera->addStretch(1);
    filaCabecera->addWidget(cancelar);
    capa->addWidget(cabecera);
    capa->addWidget(divisor(this));

    division_ = new QSplitter(Qt::Horizontal, this);
    division_->setChildrenCollapsible(false);
    auto* desplazable = new QScrollArea(division_);
    desplazable->setObjectName(QStringLiteral("formulario"));
    desplazable->setWidgetResizable(true);
    desplazable->setFrameShape(QFrame::NoFrame);
    desplazable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    desplazable->setMinimumWidth(280);
    desplazable->setMaximumWidth(320);
    desplazable->setWidget(construirFormulario());
    panel_ = new PanelElementos(paquete_, propiedadesIFC, [this] { refrescar(); }, division_);
    division_->addWidget(desplazable);
    division_->addWidget(panel_);
    division_->setStretchFactor(1, 1);
    division_->setSizes({320, 460});
    capa->addWidget(division_, 1);
    capa->addWidget(divisor(this));
    capa->addWidget(construirPie());

    connect(cancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(&store_, &TimeLinerStore::configChanged, this, &EditorPaqueteView::refrescar);
    refrescar();
}

QWidget* EditorPaqueteView::construirFormulario()
{
    auto* formulario = new QWidget;
    auto* v = new QVBoxLayout(formulario);
    v->setContentsMargins(16, 16, 16, 16);
    v->setSpacing(14);

    // Level.
    auto* segmentos = new QWidget(formulario);
    auto* capaSegmentos = fila(0);
    segmentos->setLayout(capaSegmentos);
    segmentos->setStyleSheet(
        QStringLiteral("QToolButton { border: 1px solid rgba(255,255,255,45); background: rgba(255,255,255,16); "
                       "padding: 2px 4px; } QToolButton:checked { background: %1; color: white; }")
            .arg(css(sistema(SystemColor::blue))));
    niveles_ = new QButtonGroup(this);
    niveles_->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        const Nivel& n = nivelesSegmento[i];
        auto* b = new QToolButton(segmentos);
        b->setObjectName(QStringLiteral("nivel") + QLatin1String(n.texto));
        b->setText(QLatin1String(n.texto));
        b->setIcon(platform::symbolIcon(QLatin1String(n.simbolo)));
        b->setIconSize(QSize(12, 12));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setCheckable(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumWidth(0);
        niveles_->addButton(b, i);
        capaSegmentos->addWidget(b);
    }
    v->addLayout(rotulado(QStringLiteral("Nivel:"), segmentos, formulario));
    connect(niveles_, &QButtonGroup::idClicked, this, [this](int id) {
        paquete_.nivel = nivelesSegmento[id].nivel;  // the parent and every other field stay
        refrescar();
    });

    // Code and name, stored as typed.
    auto* filaTextos = fila(10, v);
    codigo_ = new QLineEdit(paquete_.codigo, formulario);
    codigo_->setObjectName(QStringLiteral("codigo"));
    codigo_->setPlaceholderText(QStringLiteral("IWP-001"));
    nombre_ = new QLineEdit(paquete_.nombre, formulario);
    nombre_->setObjectName(QStringLiteral("nombre"));
    nombre_->setPlaceholderText(QStringLiteral("Descripción"));
    codigo_->setMinimumWidth(0);
    nombre_->setMinimumWidth(0);
    // A stored name longer than the field reads from its beginning.
    nombre_->setCursorPosition(0);
    filaTextos->addLayout(rotulado(QStringLiteral("Código:"), codigo_, formulario), 2);
    filaTextos->addLayout(rotulado(QStringLiteral("Nombre:"), nombre_, formulario), 3);
    connect(codigo_, &QLineEdit::textEdited, this, [this](const QString& t) {
        paquete_.codigo = t;
        refrescar();
    });
    connect(nombre_, &QLineEdit::textEdited, this, [this](const QString& t) { paquete_.nombre = t; });

    // Parent, only while some stored package could be one.
    filaPadre_ = new QWidget(formulario);
    auto* capaPadre = fila(8);
    filaPadre_->setLayout(capaPadre);
    capaPadre->addWidget(etiqueta(QStringLiteral("Paquete padre:"), filaPadre_));
    padre_ = new QComboBox(filaPadre_);
    padre_->setObjectName(QStringLiteral("padre"));
    padre_->setMinimumContentsLength(6);
    padre_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    capaPadre->addWidget(padre_, 1);
    v->addWidget(filaPadre_);
    connect(padre_, &QComboBox::activated, this, [this](int i) {
        if (i <= 0)
            paquete_.parentCodigo.reset();
        else
            paquete_.parentCodigo = codigosPadre_[i - 1];
        refrescar();
    });

    v->addWidget(construirFechas());

    // Progress in hundredths.
    auto* filaAvance = fila(8, v);
    avance_ = etiqueta(QString(), formulario);
    avance_->setObjectName(QStringLiteral("avance"));
    avance_->setMinimumWidth(QFontMetrics(avance_->font()).horizontalAdvance(QStringLiteral("Avance: 100%")));
    deslizador_ = new QSlider(Qt::Horizontal, formulario);
    deslizador_->setObjectName(QStringLiteral("deslizadorAvance"));
    deslizador_->setRange(0, 100);
    filaAvance->addWidget(avance_);
    filaAvance->addWidget(deslizador_, 1);
    connect(deslizador_, &QSlider::valueChanged, this, [this](int centesimas) {
        paquete_.progreso = centesimas / 100.0;
        refrescar();
    });

    v->addWidget(construirCostos());

    auto* filaColor = fila(8, v);
    filaColor->addWidget(etiqueta(QStringLiteral("Color:"), formulario));
    muestras_ = new MuestrasColor(paquete_.colorIdx, [this] { refrescar(); }, formulario);
    filaColor->addWidget(muestras_);
    filaColor->addStretch(1);
    v->addStretch(1);
    return formulario;
}

QWidget* EditorPaqueteView::construirFechas()
{
    auto* contenedor = new QWidget;
    auto* v = new QVBoxLayout(contenedor);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(14);

    // Planned dates.
    auto* programadas = caja(QStringLiteral("fechasProgramadas"), tinte(SystemColor::blue, 0.06), 6, contenedor);
    auto* vp = new QVBoxLayout(programadas);
    vp->setContentsMargins(8, 8, 8, 8);
    vp->setSpacing(6);
    auto* cab = fila(4, vp);
    cab->addWidget(simbolo(QStringLiteral("calendar"), 10, sistema(SystemColor::blue), programadas));
    cab->addWidget(etiqueta(QStringLiteral("Fechas Programadas"), programadas, 11, QFont::DemiBold, estilo::secundario()));
    cab->addStretch(1);
    auto* filaFechas = fila(10, vp);
    inicio_ = selectorFecha(QStringLiteral("inicio"), programadas);
    fin_ = selectorFecha(QStringLiteral("fin"), programadas);
    filaFechas->addLayout(rotulado(QStringLiteral("Inicio:"), inicio_, programadas), 1);
    filaFechas->addLayout(rotulado(QStringLiteral("Fin:"), fin_, programadas), 1);
    connect(inicio_, &QDateEdit::dateChanged, this, [this](QDate d) {
        paquete_.fechaInicio = cambiarDia(paquete_.fechaInicio, d);
        refrescar();
    });
    connect(fin_, &QDateEdit::dateChanged, this, [this](QDate d) {
        paquete_.fechaFin = cambiarDia(paquete_.fechaFin, d);
        refrescar();
    });
    v->addWidget(programadas);

    // The warning between the boxes.
    aviso_ = caja(QStringLiteral("avisoFechas"), tinte(SystemColor::yellow, 0.12), 6, contenedor);
    auto* ha = new QHBoxLayout(aviso_);
    ha->setContentsMargins(8, 8, 8, 8);
    ha->setSpacing(6);
    ha->addWidget(simbolo(QStringLiteral("exclamationmark.triangle.fill"), 11, sistema(SystemColor::yellow), aviso_), 0,
                  Qt::AlignTop);
    textoAviso_ = etiqueta(QString(), aviso_, 11, QFont::Normal, sistema(SystemColor::yellow));
    textoAviso_->setObjectName(QStringLiteral("textoAviso"));
    textoAviso_->setWordWrap(true);
    ha->addWidget(textoAviso_, 1);
    v->addWidget(aviso_);

    // Real dates, optional.
    auto* reales = caja(QStringLiteral("fechasReales"), tinte(SystemColor::green, 0.06), 6, contenedor);
    auto* vr = new QVBoxLayout(reales);
    vr->setContentsMargins(8, 8, 8, 8);
    vr->setSpacing(6);
    auto* cabR = fila(4, vr);
    cabR->addWidget(simbolo(QStringLiteral("calendar.badge.checkmark"), 10, sistema(SystemColor::green), reales));
    cabR->addWidget(etiqueta(QStringLiteral("Fechas Reales"), reales, 11, QFont::DemiBold, estilo::secundario()));
    cabR->addStretch(1);
    auto* opcional = etiqueta(QStringLiteral("Opcional — registra cuándo ocurrió realmente"), reales, 9,
                              QFont::Normal, estilo::terciario());
    opcional->setWordWrap(true);
    vr->addWidget(opcional);
    // One column over the other: side by side they do not fit the form's width.
    auto* columnas = new QVBoxLayout;
    columnas->setSpacing(8);
    vr->addLayout(columnas);

    const auto columna = [&](ColumnaReal& c, const QString& nombre, const QString& rotulo, const QString& registrar,
                             std::optional<QDateTime> PaqueteAWP::*real, QDateTime PaqueteAWP::*planificada) {
        auto* col = new QVBoxLayout;
        col->setSpacing(2);
        col->addWidget(etiqueta(rotulo, reales, 10, QFont::Normal, estilo::secundario()));
        c.registrar = new QPushButton(registrar, reales);
        c.registrar->setObjectName(QStringLiteral("registrar") + nombre);
        c.registrar->setFont(estilo::fuente(10));
        c.registrar->setAutoDefault(false);
        c.grupo = new QWidget(reales);
        auto* g = fila(4);
        c.grupo->setLayout(g);
        c.fecha = selectorFecha(QStringLiteral("fecha") + nombre, c.grupo);
        c.insignia = etiqueta(QString(), c.grupo, 9);
        c.insignia->setObjectName(QStringLiteral("insignia") + nombre);
        auto* quitar = new QToolButton(c.grupo);
        quitar->setObjectName(QStringLiteral("quitar") + nombre);
        quitar->setAutoRaise(true);
        quitar->setIcon(platform::symbolIcon(QStringLiteral("xmark.circle.fill"), estilo::secundario()));
        g->addWidget(c.fecha);
        g->addWidget(c.insignia);
        g->addWidget(quitar);
        g->addStretch(1);
        col->addWidget(c.registrar, 0, Qt::AlignLeft);
        col->addWidget(c.grupo);
        connect(c.registrar, &QPushButton::clicked, this, [this, real, planificada] {
            paquete_.*real = paquete_.*planificada;  // the planned instant, not today
            refrescar();
        });
        connect(quitar, &QToolButton::clicked, this, [this, real] {
            (paquete_.*real).reset();
            refrescar();
        });
        connect(c.fecha, &QDateEdit::dateChanged, this, [this, real](QDate d) {
            if (paquete_.*real)
                paquete_.*real = cambiarDia(*(paquete_.*real), d);
            refrescar();
        });
        return col;
    };
    columnas->addLayout(columna(inicioReal_, QStringLiteral("InicioReal"), QStringLiteral("Inicio real:"),
                                QStringLiteral("Registrar inicio real"), &PaqueteAWP::fechaInicioReal,
                                &PaqueteAWP::fechaInicio));
    columnas->addLayout(columna(finReal_, QStringLiteral("FinReal"), QStringLiteral("Fin real:"),
                                QStringLiteral("Registrar fin real"), &PaqueteAWP::fechaFinReal, &PaqueteAWP::fechaFin));
    v->addWidget(reales);
    return contenedor;
}

QWidget* EditorPaqueteView::construirCostos()
{
    costos_ = new QStackedWidget;

    // IWP and PWP: their own amounts and man-hours.
    propios_ = new QWidget(costos_);
    auto* v = new QVBoxLayout(propios_);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(14);
    const auto campo = [this](const QString& titulo, double PaqueteAWP::*miembro, bool vertical, QWidget* padre) {
        auto* c = new CampoNumerico(
            titulo, [this, miembro] { return paquete_.*miembro; },
            [this, miembro](double x) {
                paquete_.*miembro = x;
                refrescar();
            },
            QStringLiteral("0"), 0, vertical, padre);
        campos_.push_back(c);
        return c;
    };
    auto* dinero = new QVBoxLayout;
    dinero->setSpacing(6);
    v->addLayout(dinero);
    auto* presupuesto = campo(QStringLiteral("Presupuesto:"), &PaqueteAWP::presupuesto, false, propios_);
    auto* costo = campo(QStringLiteral("Costo real:"), &PaqueteAWP::costoReal, false, propios_);
    presupuesto->setObjectName(QStringLiteral("campoPresupuesto"));
    costo->setObjectName(QStringLiteral("campoCostoReal"));
    // Captions of one width, so both fields start at the same place.
    const int ancho = std::max(presupuesto->titulo()->sizeHint().width(), costo->titulo()->sizeHint().width());
    presupuesto->titulo()->setFixedWidth(ancho);
    costo->titulo()->setFixedWidth(ancho);
    dinero->addWidget(presupuesto);
    dinero->addWidget(costo);

    auto* cajaHH = caja(QStringLiteral("cajaHH"), tinte(SystemColor::orange, 0.07), 6, propios_);
    auto* vh = new QVBoxLayout(cajaHH);
    vh->setContentsMargins(8, 8, 8, 8);
    vh->setSpacing(4);
    auto* cab = fila(4, vh);
    cab->addWidget(simbolo(QStringLiteral("person.fill.clock"), 10, sistema(SystemColor::orange), cajaHH));
    cab->addWidget(etiqueta(QStringLiteral("Horas Hombre (HH)"), cajaHH, 11, QFont::DemiBold, estilo::secundario()));
    cab->addStretch(1);
    auto* horas = fila(10, vh);
    auto* hh = campo(QStringLiteral("HH Planificadas:"), &PaqueteAWP::hh, true, cajaHH);
    auto* hhReal = campo(QStringLiteral("HH Reales:"), &PaqueteAWP::hhReal, true, cajaHH);
    hh->setObjectName(QStringLiteral("campoHH"));
    hhReal->setObjectName(QStringLiteral("campoHHReal"));
    horas->addWidget(hh, 1);
    horas->addWidget(hhReal, 1);
    // Earned hours over the factor: side by side they are wider than the form.
    filaHH_ = new QWidget(cajaHH);
    auto* capaHH = new QVBoxLayout(filaHH_);
    capaHH->setContentsMargins(0, 2, 0, 0);
    capaHH->setSpacing(3);
    auto* ganadas = fila(3);
    ganadas->addWidget(simbolo(QStringLiteral("checkmark.circle"), 9, estilo::secundario(), filaHH_));
    hhGanadas_ = etiqueta(QString(), filaHH_, 9, QFont::Normal, estilo::secundario());
    hhGanadas_->setObjectName(QStringLiteral("hhGanadas"));
    ganadas->addWidget(hhGanadas_);
    auto* factor = fila(3);
    iconoFactor_ = new QLabel(filaHH_);
    factor_ = etiqueta(QString(), filaHH_, 9);
    factor_->setObjectName(QStringLiteral("factorProductividad"));
    factor->addWidget(iconoFactor_);
    factor->addWidget(factor_);
    ganadas->addStretch(1);
    factor->addStretch(1);
    capaHH->addLayout(ganadas);
    capaHH->addLayout(factor);
    vh->addWidget(filaHH_);
    v->addWidget(cajaHH);

    // CWA and CWP: totals of the IWPs below, read only.
    totales_ = caja(QStringLiteral("cajaTotales"), tinte(SystemColor::blue, 0.06), 6, costos_);
    auto* vt = new QVBoxLayout(totales_);
    vt->setContentsMargins(8, 8, 8, 8);
    vt->setSpacing(6);
    auto* cabT = fila(4, vt);
    cabT->addWidget(simbolo(QStringLiteral("sum"), 10, sistema(SystemColor::blue), totales_));
    cabeceraTotales_ = etiqueta(QString(), totales_, 11, QFont::DemiBold, estilo::secundario());
    cabeceraTotales_->setObjectName(QStringLiteral("cabeceraTotales"));
    cabT->addWidget(cabeceraTotales_);
    cabT->addStretch(1);
    auto* filaDinero = fila(10, vt);
    filaDinero->addWidget(cajaValor(QStringLiteral("Presupuesto"), totalPresupuesto_, totales_), 1);
    filaDinero->addWidget(cajaValor(QStringLiteral("Costo real"), totalCosto_, totales_), 1);
    totalPresupuesto_->setObjectName(QStringLiteral("totalPresupuesto"));
    totalCosto_->setObjectName(QStringLiteral("totalCostoReal"));
    filaTotalesHH_ = new QWidget(totales_);
    filaTotalesHH_->setObjectName(QStringLiteral("filaTotalesHH"));
    auto* capaTotalesHH = fila(10);
    filaTotalesHH_->setLayout(capaTotalesHH);
    capaTotalesHH->addWidget(cajaValor(QStringLiteral("HH Planif."), totalHH_, filaTotalesHH_), 1);
    capaTotalesHH->addWidget(cajaValor(QStringLiteral("HH Reales"), totalHHReal_, filaTotalesHH_), 1);
    totalHH_->setObjectName(QStringLiteral("totalHH"));
    totalHHReal_->setObjectName(QStringLiteral("totalHHReal"));
    vt->addWidget(filaTotalesHH_);
    vt->addWidget(etiqueta(QStringLiteral("Edita los valores en cada IWP/PWP hijo"), totales_, 9, QFont::Normal,
                           estilo::terciario()));

    costos_->addWidget(propios_);
    costos_->addWidget(totales_);
    return costos_;
}

QWidget* EditorPaqueteView::construirPie()
{
    auto* pie = new QWidget(this);
    auto* h = new QHBoxLayout(pie);
    h->setContentsMargins(16, 16, 16, 16);
    h->setSpacing(10);
    eliminar_ = new QPushButton(QStringLiteral("Eliminar"), pie);
    eliminar_->setObjectName(QStringLiteral("eliminar"));
    eliminar_->setAutoDefault(false);
    eliminar_->setStyleSheet(QStringLiteral("QPushButton { color: %1; }").arg(css(sistema(SystemColor::red))));
    error_ = new QWidget(pie);
    auto* he = fila(4);
    error_->setLayout(he);
    he->addWidget(simbolo(QStringLiteral("exclamationmark.triangle.fill"), 11, sistema(SystemColor::orange), error_));
    textoError_ = etiqueta(QString(), error_, 11, QFont::Normal, sistema(SystemColor::orange));
    textoError_->setObjectName(QStringLiteral("errorValidacion"));
    he->addWidget(textoError_);
    guardar_ = new QPushButton(QStringLiteral("Guardar"), pie);
    guardar_->setObjectName(QStringLiteral("guardar"));
    guardar_->setAutoDefault(false);
    guardar_->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border-radius: 5px; "
                                           "padding: 4px 14px; } QPushButton:disabled { background: %2; color: %3; }")
                                .arg(css(sistema(SystemColor::blue)), css(QColor(255, 255, 255, 40)),
                                     css(estilo::terciario())));
    h->addWidget(eliminar_);
    h->addStretch(1);
    h->addWidget(error_);
    h->addWidget(guardar_);
    connect(eliminar_, &QPushButton::clicked, this, &EditorPaqueteView::eliminar);
    connect(guardar_, &QPushButton::clicked, this, &EditorPaqueteView::guardar);
    return pie;
}

void EditorPaqueteView::guardar()
{
    if (!puedeGuardar(paquete_))
        return;
    const PaqueteAWP copia = paquete_;
    store_.modificar([&](TimeLinerConfig& c) { guardarPaquete(c, copia); });
    accept();
}

void EditorPaqueteView::eliminar()
{
    if (!estaGuardado(paquete_, store_.config()))
        return;
    const PaqueteAWP copia = paquete_;
    store_.modificar([&](TimeLinerConfig& c) { eliminarPaquete(c, copia); });
    accept();
}

void EditorPaqueteView::refrescar()
{
    const TimeLinerConfig& config = store_.config();
    const bool guardado = estaGuardado(paquete_, config);
    titulo_->setText(guardado ? QStringLiteral("Editar: ") + paquete_.codigo : QStringLiteral("Nuevo Paquete AWP"));

    for (int i = 0; i < 4; ++i)
        if (nivelesSegmento[i].nivel == paquete_.nivel)
            niveles_->button(i)->setChecked(true);
    if (codigo_->text() != paquete_.codigo)
        codigo_->setText(paquete_.codigo);
    refrescarPadre();
    refrescarFechas();
    {
        const QSignalBlocker bloqueo(deslizador_);
        deslizador_->setValue(int(std::lround(std::clamp(paquete_.progreso, 0.0, 1.0) * 100)));
    }
    avance_->setText(textoAvance(paquete_.progreso));
    refrescarCostos();
    muestras_->update();
    panel_->refrescar();

    eliminar_->setVisible(guardado);
    const std::optional<QString> error = errorValidacion(paquete_, config);
    error_->setVisible(error.has_value());
    textoError_->setText(error.value_or(QString()));
    guardar_->setEnabled(puedeGuardar(paquete_));
}

void EditorPaqueteView::refrescarPadre()
{
    QStringList codigos;
    for (const PaqueteAWP* p : candidatosPadre(paquete_, store_.config()))
        codigos.append(p->codigo);
    filaPadre_->setVisible(!codigos.isEmpty());
    if (codigos != codigosPadre_) {
        codigosPadre_ = codigos;
        const QSignalBlocker bloqueo(padre_);
        padre_->clear();
        padre_->addItem(QStringLiteral("Sin padre"));
        padre_->addItems(codigos);
    }
    // A parent no candidate carries (a level switched after choosing) selects no entry.
    const QSignalBlocker bloqueo(padre_);
    int indice = 0;
    if (paquete_.parentCodigo) {
        const qsizetype i = codigosPadre_.indexOf(*paquete_.parentCodigo);
        indice = i >= 0 ? int(i) + 1 : -1;
    }
    padre_->setCurrentIndex(indice);
}

void EditorPaqueteView::refrescarFechas()
{
    mostrarDia(inicio_, paquete_.fechaInicio, QDate(100, 1, 1));
    mostrarDia(fin_, paquete_.fechaFin, paquete_.fechaInicio.toLocalTime().date());

    const std::optional<QString> aviso = advertenciaFechas(paquete_, store_.config());
    aviso_->setVisible(aviso.has_value());
    textoAviso_->setText(aviso.value_or(QString()));

    const auto columna = [](ColumnaReal& c, const std::optional<QDateTime>& real, const QDate& minimo,
                            std::optional<int> desfase) {
        c.registrar->setVisible(!real);
        c.grupo->setVisible(real.has_value());
        if (!real)
            return;
        mostrarDia(c.fecha, *real, minimo);
        const std::optional<InsigniaDesfase> insignia = insigniaDesfase(desfase);
        c.insignia->setVisible(insignia.has_value());
        if (insignia) {
            c.insignia->setText(insignia->texto);
            c.insignia->setStyleSheet(QStringLiteral("color: %1;").arg(
                css(estilo::sistema(insignia->aTiempo ? SystemColor::green : SystemColor::red))));
        }
    };
    columna(inicioReal_, paquete_.fechaInicioReal, QDate(100, 1, 1), paquete_.desfaseInicioDias());
    const QDate minimoFinReal = (paquete_.fechaInicioReal ? *paquete_.fechaInicioReal : paquete_.fechaInicio)
                                    .toLocalTime()
                                    .date();
    columna(finReal_, paquete_.fechaFinReal, minimoFinReal, paquete_.desfaseFinDias());
}

void EditorPaqueteView::refrescarCostos()
{
    const bool agrupa = paquete_.nivel == NivelAWP::cwa || paquete_.nivel == NivelAWP::cwp;
    costos_->setCurrentWidget(agrupa ? totales_ : propios_);
    // The stack takes the height of the page shown.
    propios_->setSizePolicy(QSizePolicy::Preferred, agrupa ? QSizePolicy::Ignored : QSizePolicy::Preferred);
    totales_->setSizePolicy(QSizePolicy::Preferred, agrupa ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    costos_->adjustSize();
    if (agrupa) {
        const TimeLinerConfig& config = store_.config();
        const auto alcance = config.alcanceIWP(paquete_);
        cabeceraTotales_->setText(
            platform::qformat("Totales agregados de %lld IWP(s)", static_cast<long long>(alcance.size())));
        totalPresupuesto_->setText(formatoMoneda(config.presupuestoAgregado(paquete_), config.moneda));
        totalCosto_->setText(formatoMoneda(config.costoRealAgregado(paquete_), config.moneda));
        const double hh = config.hhAgregadas(paquete_);
        const double hhReal = config.hhRealesAgregadas(paquete_);
        filaTotalesHH_->setVisible(hh > 0 || hhReal > 0);
        totalHH_->setText(platform::qformat("%.0f HH", hh));
        totalHHReal_->setText(platform::qformat("%.0f HH", hhReal));
        return;
    }
    for (CampoNumerico* c : campos_)
        c->refrescar();
    filaHH_->setVisible(paquete_.hh > 0);
    if (paquete_.hh > 0) {
        hhGanadas_->setText(platform::qformat("HH ganadas: %.0f", paquete_.hh * paquete_.progreso));
        const double f = factorProductividad(paquete_);
        const BandaFactor banda = bandaFactor(f);
        const QColor color = sistema(banda == BandaFactor::buena     ? SystemColor::green
                                     : banda == BandaFactor::regular ? SystemColor::orange
                                                                     : SystemColor::red);
        factor_->setText(platform::qformat("Factor productividad: %.2f", f));
        factor_->setStyleSheet(QStringLiteral("color: %1;").arg(css(color)));
        iconoFactor_->setPixmap(platform::symbolPixmap(
            f >= 1.0 ? QStringLiteral("arrow.up.circle.fill") : QStringLiteral("arrow.down.circle.fill"), 11, color));
        factor_->setProperty("banda", int(banda));
    }
}

MuestrasColor::MuestrasColor(int& colorIdx, std::function<void()> alCambiar, QWidget* parent)
    : QWidget(parent), colorIdx_(colorIdx), alCambiar_(std::move(alCambiar))
{
    setObjectName(QStringLiteral("muestrasColor"));
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
}

QSize MuestrasColor::sizeHint() const { return {8 * 20 + 7 * 6, 20}; }

void MuestrasColor::elegir(int indice)
{
    if (indice < 0 || indice > 7)
        return;
    colorIdx_ = indice;
    update();
    alCambiar_();
}

void MuestrasColor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 8; ++i) {
        const QRectF r(i * 26, 0, 20, 20);
        p.setPen(Qt::NoPen);
        p.setBrush(paletaColores()[i]);
        p.drawEllipse(r);
        if (colorIdx_ == i) {
            p.setPen(QPen(Qt::white, 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(r.adjusted(1, 1, -1, -1));
        }
    }
}

void MuestrasColor::mousePressEvent(QMouseEvent* evento)
{
    const int x = int(evento->position().x());
    if (x % 26 < 20)
        elegir(x / 26);
}

void registrarEditorPaquete()
{
    hojasTimeLiner().editor = [](QWidget* padre, PaqueteAWP& paquete, TimeLinerStore& store,
                                 const PropiedadesPorEspecialidad& propiedadesIFC) -> QDialog* {
        return new EditorPaqueteView(paquete, store, propiedadesIFC, padre);
    };
}

}  // namespace quelva
