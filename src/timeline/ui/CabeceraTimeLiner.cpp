#include "timeline/ui/CabeceraTimeLiner.h"

#include "timeline/ControladorTimeLiner.h"
#include "timeline/TimeLinerStore.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/NumberFormat.h"
#include "platform/Resources.h"
#include "platform/Symbols.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quelva {

namespace {

QPushButton* boton(const QString& simbolo, const QString& texto, const char* nombre, QWidget* padre)
{
    auto* b = new QPushButton(platform::symbolIcon(simbolo, estilo::texto()), texto, padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

}  // namespace

CabeceraTimeLiner::CabeceraTimeLiner(ControladorTimeLiner& controlador, QWidget* parent)
    : QWidget(parent), c_(controlador)
{
    setObjectName(QStringLiteral("cabeceraTimeLiner"));
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(16, 10, 16, 10);
    fila->setSpacing(8);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("logoQUELVA"));
    if (const auto ruta = platform::Resources::path(QStringLiteral("logoQUELVA"), QStringLiteral("png"))) {
        const QPixmap imagen(*ruta);
        if (!imagen.isNull())
            logo->setPixmap(imagen.scaledToHeight(28, Qt::SmoothTransformation));
    }
    fila->addWidget(logo);

    auto* titulos = new QVBoxLayout;
    titulos->setSpacing(1);
    auto* titulo = new QLabel(QStringLiteral("Timeline / Control de Obra"), this);
    titulo->setFont(estilo::fuente(13, QFont::DemiBold));
    subtitulo_ = new QLabel(this);
    subtitulo_->setObjectName(QStringLiteral("subtitulo"));
    subtitulo_->setFont(estilo::fuente(10));
    subtitulo_->setStyleSheet(QStringLiteral("color: %1;").arg(estilo::secundario().name(QColor::HexArgb)));
    titulos->addWidget(titulo);
    titulos->addWidget(subtitulo_);
    fila->addLayout(titulos);
    fila->addStretch(1);

    auto* detectar = boton(QStringLiteral("magnifyingglass.circle"), QStringLiteral("Detectar AWP"), "detectarAWP", this);
    connect(detectar, &QPushButton::clicked, this, [this] { c_.abrirDetector(); });
    fila->addWidget(detectar);
    auto* nuevo = boton(QStringLiteral("plus"), QStringLiteral("Nuevo paquete"), "nuevoPaquete", this);
    connect(nuevo, &QPushButton::clicked, this, [this] { c_.nuevoPaquete(); });
    fila->addWidget(nuevo);

    insignia_ = new QLabel(this);
    insignia_->setObjectName(QStringLiteral("insignia4D"));
    insignia_->setFont(estilo::fuente(10));
    insignia_->hide();
    fila->addWidget(insignia_);

    auto_ = new QToolButton(this);
    auto_->setObjectName(QStringLiteral("autoAvance"));
    auto_->setText(QStringLiteral("Auto %"));
    auto_->setCheckable(true);
    auto_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto_->setFont(estilo::fuente(11));
    auto_->setToolTip(QStringLiteral(
        "Avance automático: calcula el % de progreso de cada IWP según la posición del scrubber"));
    connect(auto_, &QToolButton::toggled, this, [this](bool activo) { c_.setModoAutoAvance(activo); });
    fila->addWidget(auto_);

    auto* gantt = boton(QStringLiteral("chart.bar.doc.horizontal"), QStringLiteral("Exportar Gantt"), "exportarGantt", this);
    connect(gantt, &QPushButton::clicked, this, &CabeceraTimeLiner::exportarGantt);
    fila->addWidget(gantt);
    auto* csv = boton(QStringLiteral("square.and.arrow.up"), QStringLiteral("CSV"), "exportarCSV", this);
    connect(csv, &QPushButton::clicked, this, &CabeceraTimeLiner::exportarCSV);
    fila->addWidget(csv);
    auto* importar = boton(QStringLiteral("square.and.arrow.down"), QStringLiteral("Importar CSV"), "importarCSV", this);
    connect(importar, &QPushButton::clicked, this, &CabeceraTimeLiner::importarCSV);
    fila->addWidget(importar);

    moneda_ = new QComboBox(this);
    moneda_->setObjectName(QStringLiteral("moneda"));
    moneda_->addItems({QStringLiteral("USD"), QStringLiteral("EUR"), QStringLiteral("CLP"), QStringLiteral("MXN")});
    moneda_->setFixedWidth(70);
    connect(moneda_, &QComboBox::activated, this, [this](int i) { c_.setMoneda(moneda_->itemText(i)); });
    fila->addWidget(moneda_);

    refrescar();
}

void CabeceraTimeLiner::refrescar()
{
    const TimeLinerConfig& config = c_.config();
    long long iwps = 0;
    for (const PaqueteAWP& p : config.paquetes)
        iwps += p.nivel == NivelAWP::iwp;
    const QString subtitulo = platform::qformat("AWP · %lld IWP(s) · %lld paquetes", iwps,
                                                static_cast<long long>(config.paquetes.size()));
    if (subtitulo_->text() != subtitulo)
        subtitulo_->setText(subtitulo);

    const QString& estado = c_.estado().estadoSync4D;
    insignia_->setVisible(!estado.isEmpty());
    if (!estado.isEmpty() && insignia_->text() != estado) {
        const QColor color = estilo::sistema(estado.startsWith(QStringLiteral("🔵")) ? platform::SystemColor::green
                                                                                      : platform::SystemColor::orange);
        insignia_->setText(estado);
        // One line up to a width the row can spare beside the title block; longer ones wrap.
        constexpr int anchoMaximo = 200;
        const int unaLinea = insignia_->fontMetrics().horizontalAdvance(estado) + 2 * 8 + 2;
        insignia_->setWordWrap(unaLinea > anchoMaximo);
        insignia_->setMinimumWidth(std::min(unaLinea, anchoMaximo));
        insignia_->setStyleSheet(QStringLiteral("QLabel { color: %1; background: rgba(255,255,255,18);"
                                                " border-radius: 6px; padding: 3px 8px; }")
                                     .arg(color.name()));
        insignia_->setProperty("verde", estado.startsWith(QStringLiteral("🔵")));
    }

    const bool activo = c_.estado().modoAutoAvance;
    if (auto_->isChecked() != activo) {
        const QSignalBlocker bloqueo(auto_);
        auto_->setChecked(activo);
    }
    const QColor colorAuto = activo ? estilo::sistema(platform::SystemColor::green) : estilo::secundario();
    if (auto_->property("colorAuto").toString() != colorAuto.name(QColor::HexArgb)) {
        auto_->setProperty("colorAuto", colorAuto.name(QColor::HexArgb));
        auto_->setIcon(platform::symbolIcon(QStringLiteral("clock.arrow.2.circlepath"), colorAuto));
        auto_->setStyleSheet(QStringLiteral("QToolButton { color: %1; }").arg(colorAuto.name(QColor::HexArgb)));
    }

    const int indice = moneda_->findText(config.moneda);
    if (moneda_->currentIndex() != indice) {
        const QSignalBlocker bloqueo(moneda_);
        moneda_->setCurrentIndex(indice);  // a currency outside the list shows an empty picker
    }
}

}  // namespace quelva
