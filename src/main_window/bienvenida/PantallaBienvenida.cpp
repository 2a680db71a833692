#include "main_window/bienvenida/PantallaBienvenida.h"

#include "platform/NotificationCenter.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quelva {

namespace {

struct Paso {
    const char* simbolo;
    const char* titulo;
    const char* frase;
};

constexpr Paso kPasos[] = {
    {"doc.badge.plus", "Importar IFC", "Vincula archivos IFC a cada especialidad (ARQ, EST, MEP…)"},
    {"cube.transparent", "Federar modelos", "Los modelos se superponen en el visor 3D con sus colores de especialidad"},
    {"arrow.triangle.2.circlepath", "Comparación TRELM",
     "Compara dos versiones del modelo e identifica elementos agregados, eliminados y modificados"},
    {"exclamationmark.triangle", "Detectar interferencias",
     "Analiza colisiones entre especialidades y exporta el reporte BCF"},
    {"rectangle.split.2x1", "Generar secciones y QTO", "Crea secciones 2D con cotas, etiquetas y cuantifica elementos IFC"},
    {"calendar.badge.clock", "Timeline / Control de Obra",
     "Gestiona paquetes AWP, visualización 4D, curva S y control 5D con EVM y HH"},
};

constexpr int kMargen = 40;
constexpr int kMargenTira = 32;
constexpr int kEspacioPasos = 14;
constexpr int kAnchoChevron = 16;
constexpr int kEspacioSecciones = 32;
constexpr int kEspacioApretado = 16;
// Room left between the content and what floats over it.
constexpr int kHolgura = 12;

QString blancoAlfa(double alfa)
{
    return QStringLiteral("rgba(255,255,255,%1)").arg(int(alfa * 255));
}

QLabel* etiqueta(const QString& texto, int puntos, QFont::Weight peso, const QString& color, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    QFont f = l->font();
    f.setPixelSize(puntos);
    f.setWeight(peso);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(color));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// The product symbol filled with the system blue gradient.
QPixmap simboloMarca(int lado)
{
    QPixmap pix(lado * 2, lado * 2);
    pix.setDevicePixelRatio(2);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor azul = platform::systemColor(platform::SystemColor::blue);
    QLinearGradient gradiente(0, 0, 0, lado);
    gradiente.setColorAt(0, azul.lighter(135));
    gradiente.setColorAt(1, azul);
    platform::paintSymbol(p, QRectF(0, 0, lado, lado), QStringLiteral("cube.transparent.fill"), QBrush(gradiente));
    return pix;
}

QWidget* tarjetaPaso(const Paso& paso, QWidget* padre)
{
    auto* tarjeta = new QWidget(padre);
    // 148 wide when there is room; narrower columns squeeze the cards rather than overlap them.
    tarjeta->setMaximumWidth(148);
    tarjeta->setMinimumWidth(84);
    tarjeta->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    tarjeta->setAttribute(Qt::WA_TranslucentBackground);
    auto* col = new QVBoxLayout(tarjeta);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(10);

    auto* icono = new QLabel(tarjeta);
    icono->setFixedSize(52, 52);
    icono->setAlignment(Qt::AlignCenter);
    icono->setStyleSheet(QStringLiteral("background: %1; border-radius: 26px;").arg(blancoAlfa(0.08)));
    icono->setPixmap(platform::symbolPixmap(QString::fromUtf8(paso.simbolo), 22,
                                            platform::systemColor(platform::SystemColor::blue).lighter(120)));
    col->addWidget(icono, 0, Qt::AlignHCenter);

    auto* titulo = etiqueta(QString::fromUtf8(paso.titulo), 12, QFont::DemiBold, QStringLiteral("white"), tarjeta);
    titulo->setObjectName(QStringLiteral("tituloPaso"));
    titulo->setWordWrap(true);
    col->addWidget(titulo);

    auto* frase = etiqueta(QString::fromUtf8(paso.frase), 10, QFont::Normal, blancoAlfa(0.5), tarjeta);
    frase->setWordWrap(true);
    col->addWidget(frase);
    col->addStretch(1);
    return tarjeta;
}

QPushButton* botonInicio(const QString& texto, const char* simbolo, bool prominente, const char* notificacion,
                         const QString& atajo, QWidget* padre)
{
    auto* boton = new QPushButton(platform::symbolIcon(QString::fromUtf8(simbolo), QColor(Qt::white)), texto, padre);
    boton->setMinimumSize(160, 40);
    QFont f = boton->font();
    f.setPixelSize(14);
    f.setWeight(prominente ? QFont::DemiBold : QFont::Medium);
    boton->setFont(f);
    boton->setCursor(Qt::PointingHandCursor);
    boton->setToolTip(atajo);
    const QColor azul = platform::systemColor(platform::SystemColor::blue);
    boton->setStyleSheet(prominente ? QStringLiteral("QPushButton { background: %1; color: white; border: none;"
                                                     " border-radius: 8px; padding: 6px 18px; }"
                                                     "QPushButton:hover { background: %2; }")
                                          .arg(azul.name(), azul.lighter(115).name())
                                    : QStringLiteral("QPushButton { background: rgba(255,255,255,30); color: white;"
                                                     " border: 1px solid rgba(255,255,255,40); border-radius: 8px;"
                                                     " padding: 6px 18px; }"
                                                     "QPushButton:hover { background: rgba(255,255,255,45); }"));
    // The menu's own shortcuts (same keys) stay the only ones, so Qt sees no ambiguous shortcut.
    QObject::connect(boton, &QPushButton::clicked, boton,
                     [notificacion] { platform::NotificationCenter::defaultCenter().post(notificacion); });
    return boton;
}

}  // namespace

PantallaBienvenida::PantallaBienvenida(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PantallaBienvenida"));
    setAttribute(Qt::WA_StyledBackground, false);

    auto* contenido = new QVBoxLayout(this);
    contenido_ = contenido;
    contenido->setContentsMargins(kMargen, kMargen, kMargen, kMargen);
    contenido->setSpacing(kEspacioSecciones);
    contenido->addStretch(1);

    // Header.
    auto* cabecera = new QVBoxLayout;
    cabecera->setSpacing(10);
    auto* marca = new QVBoxLayout;
    marca->setSpacing(6);
    auto* simbolo = new QLabel(this);
    simbolo->setPixmap(simboloMarca(70));
    simbolo->setAlignment(Qt::AlignCenter);
    marca->addWidget(simbolo);
    marca->addWidget(etiqueta(QStringLiteral("QUELVA"), 34, QFont::Bold, QStringLiteral("white"), this));
    cabecera->addLayout(marca);
    cabecera->addWidget(
        etiqueta(QStringLiteral("Software de Coordinación BIM"), 20, QFont::Normal, blancoAlfa(0.6), this));
    contenido->addLayout(cabecera);

    // Workflow strip: one row when there is room, else rows of three, two or one step.
    tira_ = new QWidget(this);
    tira_->setObjectName(QStringLiteral("tiraPasos"));
    tira_->setAttribute(Qt::WA_TranslucentBackground);
    rejilla_ = new QGridLayout(tira_);
    rejilla_->setContentsMargins(kMargenTira, 0, kMargenTira, 0);
    rejilla_->setHorizontalSpacing(kEspacioPasos);
    rejilla_->setVerticalSpacing(18);
    for (size_t i = 0; i < std::size(kPasos); ++i) {
        if (i > 0) {
            auto* chevron = new QLabel(tira_);
            chevron->setPixmap(platform::symbolPixmap(QStringLiteral("chevron.right"), kAnchoChevron,
                                                      QColor(255, 255, 255, 51)));
            chevron->setContentsMargins(0, 16, 0, 0);
            chevrones_.push_back(chevron);
        }
        QWidget* tarjeta = tarjetaPaso(kPasos[i], tira_);
        // Narrow enough to squeeze, never so narrow that a word of the title is cut.
        for (QLabel* titulo : tarjeta->findChildren<QLabel*>(QStringLiteral("tituloPaso")))
            for (const QString& palabra : titulo->text().split(u' '))
                anchoMinimoTarjeta_ = std::max(anchoMinimoTarjeta_, titulo->fontMetrics().horizontalAdvance(palabra) + 4);
        tarjetas_.push_back(tarjeta);
    }
    for (QWidget* tarjeta : tarjetas_)
        tarjeta->setMinimumWidth(anchoMinimoTarjeta_);
    colocarPasos(int(tarjetas_.size()));
    contenido->addWidget(tira_);

    // Buttons.
    auto* botones = new QHBoxLayout;
    botones->setSpacing(14);
    botones->addStretch(1);
    auto* abrirIfc = botonInicio(QStringLiteral("Abrir IFC"), "plus.rectangle.on.folder", true,
                                 platform::NotificationName::abrirIFC, QStringLiteral("Ctrl+O"), this);
    abrirIfc->setObjectName(QStringLiteral("botonAbrirIFC"));
    auto* abrirProyecto = botonInicio(QStringLiteral("Abrir proyecto…"), "folder", false,
                                      platform::NotificationName::abrirProyecto, QStringLiteral("Ctrl+Shift+O"), this);
    abrirProyecto->setObjectName(QStringLiteral("botonAbrirProyecto"));
    botones->addWidget(abrirIfc);
    botones->addWidget(abrirProyecto);
    botones->addStretch(1);
    contenido->addLayout(botones);

    // The platform line names what this build runs on.
    auto* nota = etiqueta(QStringLiteral("Formatos soportados: IFC 2x3 · IFC 4  —  Requiere Linux con OpenGL 3.3 o superior"),
                          11, QFont::Normal, blancoAlfa(0.25), this);
    nota->setObjectName(QStringLiteral("notaFormatos"));
    nota->setWordWrap(true);
    contenido->addWidget(nota);
    contenido->addStretch(1);

    efecto_ = new QGraphicsOpacityEffect(this);
    efecto_->setOpacity(1.0);
    efecto_->setEnabled(false);  // drawn plainly while it is not fading
    setGraphicsEffect(efecto_);
    fundido_ = new QPropertyAnimation(efecto_, "opacity", this);
    fundido_->setDuration(300);
    fundido_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(fundido_, &QPropertyAnimation::finished, this, [this] {
        efecto_->setEnabled(false);
        if (presente_ == false)
            hide();
    });
}

void PantallaBienvenida::presentar(bool presente)
{
    if (presente_ == presente)
        return;
    const bool primeraVez = !presente_.has_value();
    presente_ = presente;
    fundido_->stop();
    if (primeraVez || !window()->isVisible()) {
        // Nothing on screen to fade from.
        efecto_->setEnabled(false);
        efecto_->setOpacity(1.0);
        setVisible(presente);
        return;
    }
    const double desde = isVisible() ? efecto_->opacity() : 0.0;
    efecto_->setOpacity(desde);
    efecto_->setEnabled(true);
    show();
    fundido_->setStartValue(desde);
    fundido_->setEndValue(presente ? 1.0 : 0.0);
    fundido_->start();
}

void PantallaBienvenida::setZonaOcupada(const QRegion& zona)
{
    if (zona == zonaOcupada_)
        return;
    zonaOcupada_ = zona;
    reacomodar();
}

void PantallaBienvenida::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reacomodar();
}

void PantallaBienvenida::reacomodar()
{
    if (width() <= 0 || height() <= 0)
        return;
    // The strip's place depends on the rows it takes: settle in a few passes.
    int derecho = -1;
    int porFila = porFila_;
    for (int pasada = 0; pasada < 3; ++pasada) {
        contenido_->activate();
        const QRect tira = tira_->geometry();
        int nuevoDerecho = kMargen;
        for (const QRect& r : zonaOcupada_)
            if (r.top() <= tira.bottom() && r.bottom() >= tira.top())
                nuevoDerecho = std::max(nuevoDerecho, width() - r.left() + kHolgura);
        // Beside the toolbar the side insets of the strip are already there.
        const int margenTira = nuevoDerecho > kMargen ? 0 : kMargenTira;
        const int disponible = width() - kMargen - nuevoDerecho - 2 * margenTira;
        int nuevoPorFila = 1;
        for (const int n : {6, 3, 2}) {
            if (n * anchoMinimoTarjeta_ + (n - 1) * (kAnchoChevron + 2 * kEspacioPasos) <= disponible) {
                nuevoPorFila = n;
                break;
            }
        }
        if (nuevoDerecho == derecho && nuevoPorFila == porFila)
            break;
        derecho = nuevoDerecho;
        porFila = nuevoPorFila;
        contenido_->setContentsMargins(kMargen, kMargen, derecho, kMargen);
        contenido_->setSpacing(kEspacioSecciones);
        rejilla_->setContentsMargins(margenTira, 0, margenTira, 0);
        if (porFila != porFila_)
            colocarPasos(porFila);
        // A short column packs the sections closer rather than cutting their text.
        if (contenido_->hasHeightForWidth() && contenido_->totalHeightForWidth(width()) > height()) {
            contenido_->setContentsMargins(kMargen, kEspacioApretado, derecho, kEspacioApretado);
            contenido_->setSpacing(kEspacioApretado);
        }
    }
    contenido_->activate();
}

void PantallaBienvenida::colocarPasos(int porFila)
{
    porFila_ = porFila;
    while (QLayoutItem* item = rejilla_->takeAt(0))
        delete item;
    for (int c = 0; c <= 2 * int(tarjetas_.size()); ++c)
        rejilla_->setColumnStretch(c, 0);
    // Steps in columns 1, 3, 5...; chevrons between neighbours of a row; stretches at both ends.
    for (size_t i = 0; i < tarjetas_.size(); ++i)
        rejilla_->addWidget(tarjetas_[i], int(i) / porFila, 1 + 2 * (int(i) % porFila), Qt::AlignTop);
    for (size_t k = 0; k < chevrones_.size(); ++k) {
        const bool enFila = (int(k) + 1) % porFila != 0;
        chevrones_[k]->setVisible(enFila);
        if (enFila)
            rejilla_->addWidget(chevrones_[k], int(k) / porFila, 2 + 2 * (int(k) % porFila), Qt::AlignTop);
    }
    rejilla_->setColumnStretch(0, 1);
    rejilla_->setColumnStretch(2 * porFila, 1);
}

double PantallaBienvenida::opacidad() const
{
    if (isHidden())
        return 0.0;
    return efecto_->isEnabled() ? efecto_->opacity() : 1.0;
}

void PantallaBienvenida::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgbF(0.12f, 0.12f, 0.14f));
}

}  // namespace quelva
