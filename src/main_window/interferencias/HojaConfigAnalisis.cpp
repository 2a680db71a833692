#include "main_window/interferencias/HojaConfigAnalisis.h"

#include "clash/ControladorInterferencias.h"
#include "main_window/ContentView.h"
#include "platform/NumberFormat.h"
#include "platform/SheetButtonRow.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace quelva {

namespace {

// The slider counts millimetres: 0.001 to 0.15 m in steps of 0.001.
constexpr int kMinimoMm = 1;
constexpr int kMaximoMm = 150;

QLabel* texto(const QString& t, double escala, bool secundario, QWidget* padre)
{
    auto* l = new QLabel(t, padre);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * escala);
    l->setFont(f);
    if (secundario)
        l->setStyleSheet(QStringLiteral("color: palette(mid);"));
    return l;
}

QFrame* divisor(QWidget* padre)
{
    auto* d = new QFrame(padre);
    d->setFrameShape(QFrame::HLine);
    d->setFrameShadow(QFrame::Sunken);
    return d;
}

QString nombreVisible(const std::map<QString, EspecialidadBIM>& especialidades, const QString& clave)
{
    const auto it = especialidades.find(clave);
    return it != especialidades.end() ? it->second.nombre : clave;
}

bool soloEspacios(const QString& s)
{
    for (QChar c : s)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    return true;
}

}  // namespace

HojaConfigAnalisis::HojaConfigAnalisis(ContentView& vista, QWidget* parent) : QDialog(parent), vista_(vista)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Configurar Análisis de Interferencias"));
    setWindowModality(Qt::WindowModal);
    setFixedWidth(420);
    EstadoInterferencias& e = vista_.clashes;

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(28, 28, 28, 28);
    col->setSpacing(18);

    auto* titulo = new QLabel(QStringLiteral("Configurar Análisis de Interferencias"), this);
    QFont f = titulo->font();
    f.setBold(true);
    titulo->setFont(f);
    col->addWidget(titulo);

    auto* bloqueNombre = new QVBoxLayout;
    bloqueNombre->setSpacing(4);
    bloqueNombre->addWidget(texto(QStringLiteral("Nombre del análisis"), 0.85, true, this));
    nombre_ = new QLineEdit(e.nombreAnalisis, this);
    nombre_->setObjectName(QStringLiteral("nombreAnalisis"));
    nombre_->setPlaceholderText(QStringLiteral("Ej: Análisis estructural v1"));
    bloqueNombre->addWidget(nombre_);
    col->addLayout(bloqueNombre);

    auto* bloqueTolerancia = new QVBoxLayout;
    bloqueTolerancia->setSpacing(4);
    auto* filaTolerancia = new QHBoxLayout;
    filaTolerancia->addWidget(texto(QStringLiteral("Tolerancia de contacto"), 0.85, true, this));
    filaTolerancia->addStretch(1);
    valorTolerancia_ = new QLabel(this);
    valorTolerancia_->setObjectName(QStringLiteral("valorTolerancia"));
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(11);
    valorTolerancia_->setFont(mono);
    filaTolerancia->addWidget(valorTolerancia_);
    bloqueTolerancia->addLayout(filaTolerancia);
    tolerancia_ = new QSlider(Qt::Horizontal, this);
    tolerancia_->setObjectName(QStringLiteral("tolerancia"));
    tolerancia_->setRange(kMinimoMm, kMaximoMm);
    tolerancia_->setSingleStep(1);
    tolerancia_->setPageStep(10);
    tolerancia_->setValue(int(std::lround(std::clamp(e.toleranciaAnalisis, 0.001, 0.15) * 1000)));
    bloqueTolerancia->addWidget(tolerancia_);
    auto* notaTol = new QLabel(QStringLiteral("Penetración mínima en los 3 ejes para reportar colisión."), this);
    QFont f9 = notaTol->font();
    f9.setPixelSize(9);
    notaTol->setFont(f9);
    notaTol->setStyleSheet(QStringLiteral("color: palette(mid);"));
    bloqueTolerancia->addWidget(notaTol);
    col->addLayout(bloqueTolerancia);

    col->addWidget(divisor(this));

    if (!e.paresDisponibles.empty()) {
        auto* bloquePares = new QVBoxLayout;
        bloquePares->setSpacing(6);
        auto* cabecera = new QHBoxLayout;
        auto* titPares = texto(QStringLiteral("Pares a analizar"), 0.85, false, this);
        QFont fb = titPares->font();
        fb.setBold(true);
        titPares->setFont(fb);
        cabecera->addWidget(titPares);
        cabecera->addStretch(1);
        todos_ = new QPushButton(QStringLiteral("Todos"), this);
        todos_->setObjectName(QStringLiteral("todos"));
        todos_->setFlat(true);
        todos_->setAutoDefault(false);
        todos_->setStyleSheet(QStringLiteral("QPushButton { color: palette(highlight); border: none; font-size: 10px; }"));
        ninguno_ = new QPushButton(QStringLiteral("Ninguno"), this);
        ninguno_->setObjectName(QStringLiteral("ninguno"));
        ninguno_->setFlat(true);
        ninguno_->setAutoDefault(false);
        ninguno_->setStyleSheet(QStringLiteral("QPushButton { color: palette(mid); border: none; font-size: 10px; }"));
        cabecera->addWidget(todos_);
        cabecera->addWidget(ninguno_);
        bloquePares->addLayout(cabecera);
        const auto& especialidades = vista_.federacion.especialidades;
        for (const auto& [a, b] : e.paresDisponibles) {
            auto* casilla = new QCheckBox(nombreVisible(especialidades, a) + QStringLiteral("  ↔  ") +
                                              nombreVisible(especialidades, b),
                                          this);
            casilla->setObjectName(QStringLiteral("par"));
            QFont f11 = casilla->font();
            f11.setPixelSize(11);
            casilla->setFont(f11);
            const QString clave = clavePar(a, b);
            casilla->setChecked(e.paresActivos.contains(clave));
            connect(casilla, &QCheckBox::toggled, this, [this, clave](bool activo) {
                if (activo)
                    vista_.clashes.paresActivos.insert(clave);
                else
                    vista_.clashes.paresActivos.erase(clave);
                actualizar();
            });
            pares_.push_back(casilla);
            bloquePares->addWidget(casilla);
        }
        col->addLayout(bloquePares);
        connect(todos_, &QPushButton::clicked, this, [this] {
            vista_.clashes.paresActivos.clear();
            for (const auto& [a, b] : vista_.clashes.paresDisponibles)
                vista_.clashes.paresActivos.insert(clavePar(a, b));
            actualizar();
        });
        connect(ninguno_, &QPushButton::clicked, this, [this] {
            vista_.clashes.paresActivos.clear();
            actualizar();
        });
    }

    auto* filaExcluir = new QHBoxLayout;
    filaExcluir->setSpacing(6);
    excluir_ = new QCheckBox(this);
    excluir_->setObjectName(QStringLiteral("excluirResueltos"));
    excluir_->setChecked(e.excluirResueltos);
    filaExcluir->addWidget(excluir_, 0, Qt::AlignTop);
    auto* textosExcluir = new QVBoxLayout;
    textosExcluir->setSpacing(2);
    auto* lineaExcluir = new QLabel(QStringLiteral("Excluir colisiones ya aprobadas o resueltas"), this);
    QFont f11 = lineaExcluir->font();
    f11.setPixelSize(11);
    lineaExcluir->setFont(f11);
    textosExcluir->addWidget(lineaExcluir);
    auto* notaExcluir = new QLabel(
        QStringLiteral("No re-reportar pares de elementos marcados como Aprobado o Resuelto en análisis anteriores."),
        this);
    notaExcluir->setWordWrap(true);
    notaExcluir->setFont(f9);
    notaExcluir->setStyleSheet(QStringLiteral("color: palette(mid);"));
    textosExcluir->addWidget(notaExcluir);
    filaExcluir->addLayout(textosExcluir, 1);
    col->addLayout(filaExcluir);

    col->addWidget(divisor(this));

    const platform::SheetButtonRow botones = platform::makeSheetButtonRow(this, QStringLiteral("Iniciar análisis"));
    cancelar_ = botones.cancel;
    iniciar_ = botones.confirm;
    col->addLayout(botones.layout);

    connect(nombre_, &QLineEdit::textChanged, this, [this](const QString& t) {
        vista_.clashes.nombreAnalisis = t;
        actualizar();
    });
    connect(tolerancia_, &QSlider::valueChanged, this, [this](int mm) {
        vista_.clashes.toleranciaAnalisis = mm / 1000.0;
        actualizar();
    });
    connect(excluir_, &QCheckBox::toggled, this, [this](bool v) { vista_.clashes.excluirResueltos = v; });
    connect(cancelar_, &QPushButton::clicked, this, &QDialog::reject);
    connect(iniciar_, &QPushButton::clicked, this, [this] {
        if (!iniciar_->isEnabled())
            return;
        const QString nombre = vista_.clashes.nombreAnalisis;
        const double tolerancia = vista_.clashes.toleranciaAnalisis;
        accept();
        vista_.controladorInterferencias().detectarInterferencias(nombre, tolerancia);
    });
    actualizar();
}

void HojaConfigAnalisis::actualizar()
{
    const EstadoInterferencias& e = vista_.clashes;
    valorTolerancia_->setText(platform::qformat("%.3f m", e.toleranciaAnalisis));
    for (size_t k = 0; k < pares_.size() && k < e.paresDisponibles.size(); ++k) {
        const auto& [a, b] = e.paresDisponibles[k];
        const QSignalBlocker bloqueo(pares_[k]);
        pares_[k]->setChecked(e.paresActivos.contains(clavePar(a, b)));
    }
    iniciar_->setEnabled(!soloEspacios(e.nombreAnalisis) && !e.paresActivos.empty());
}

void HojaConfigAnalisis::done(int resultado)
{
    vista_.clashes.mostrarConfigAnalisis = false;
    QDialog::done(resultado);
    QMetaObject::invokeMethod(&vista_, &ContentView::refrescar, Qt::QueuedConnection);
}

}  // namespace quelva
