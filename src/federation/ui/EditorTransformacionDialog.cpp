#include "federation/ui/EditorTransformacionDialog.h"

#include "federation/ControladorFederacion.h"
#include "platform/NumberFormat.h"
#include "platform/SheetButtonRow.h"
#include "platform/Symbols.h"

#include <QButtonGroup>
#include <QPointer>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace quelva {

namespace {

std::optional<double> leerNumero(QString texto)
{
    texto = texto.trimmed();
    texto.replace(u',', u'.');
    const std::string s = texto.toStdString();
    if (s.empty())
        return std::nullopt;
    const char* inicio = s.data();
    if (*inicio == '+')
        ++inicio;
    double valor = 0;
    const auto [fin, ec] = std::from_chars(inicio, s.data() + s.size(), valor);
    if (ec != std::errc() || fin != s.data() + s.size() || !std::isfinite(valor))
        return std::nullopt;
    return valor;
}

QString textoNumero(double valor)
{
    return QString::fromStdString(platform::shortestText(valor));
}

QFrame* divisor()
{
    auto* linea = new QFrame;
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);
    return linea;
}

QWidget* etiquetaSeccion(const QString& texto, const QString& simbolo)
{
    auto* fila = new QWidget;
    auto* layout = new QHBoxLayout(fila);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    const QColor secundario = QColor(0x8a, 0x8a, 0x8e);
    auto* icono = new QLabel;
    icono->setPixmap(platform::symbolPixmap(simbolo, 12, secundario));
    auto* etiqueta = new QLabel(texto);
    QFont f = etiqueta->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 0.85);
    etiqueta->setFont(f);
    etiqueta->setStyleSheet(QStringLiteral("color: #8a8a8e;"));
    layout->addWidget(icono);
    layout->addWidget(etiqueta);
    layout->addStretch();
    return fila;
}

QVBoxLayout* seccion(QVBoxLayout* padre)
{
    auto* s = new QVBoxLayout;
    s->setSpacing(6);
    padre->addLayout(s);
    return s;
}

}  // namespace

EditorTransformacionDialog::EditorTransformacionDialog(const QString& nombreModelo,
                                                       TransformacionModelo& transformacion,
                                                       std::function<void()> onAplicar,
                                                       std::function<void()> onCancelar, QWidget* parent)
    : QDialog(parent), t_(transformacion), onAplicar_(std::move(onAplicar)), onCancelar_(std::move(onCancelar))
{
    setWindowTitle(QStringLiteral("Transformación del modelo"));
    setFixedWidth(380);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(20);
    layout->setContentsMargins(28, 28, 28, 28);

    auto* titulo = new QLabel(QStringLiteral("Transformación del modelo"));
    QFont ft = titulo->font();
    ft.setBold(true);
    ft.setPointSizeF(ft.pointSizeF() * 1.15);
    titulo->setFont(ft);
    layout->addWidget(titulo);

    auto* nombre = new QLabel;
    nombre->setStyleSheet(QStringLiteral("color: #8a8a8e;"));
    nombre->setText(nombre->fontMetrics().elidedText(nombreModelo, Qt::ElideRight, 380 - 56));
    nombre->setToolTip(nombreModelo);
    layout->addWidget(nombre);
    layout->addWidget(divisor());

    // Units: a segmented row.
    QVBoxLayout* secUnidades = seccion(layout);
    secUnidades->addWidget(etiquetaSeccion(QStringLiteral("Sistema de unidades"), QStringLiteral("ruler")));
    auto* segmentos = new QHBoxLayout;
    segmentos->setSpacing(0);
    unidades_ = new QButtonGroup(this);
    unidades_->setExclusive(true);
    for (size_t i = 0; i < todasLasUnidades.size(); ++i) {
        auto* b = new QPushButton(textoUnidades(todasLasUnidades[i]));
        b->setCheckable(true);
        b->setAutoDefault(false);
        // A segmented control: the chosen unit stands out in the accent colour.
        b->setStyleSheet(QStringLiteral("QPushButton { padding: 4px 10px; border: 1px solid palette(mid);"
                                        " background: palette(button); }"
                                        "QPushButton:checked { background: palette(highlight);"
                                        " color: palette(highlighted-text); border-color: palette(highlight); }"));
        unidades_->addButton(b, static_cast<int>(i));
        segmentos->addWidget(b);
    }
    connect(unidades_, &QButtonGroup::idClicked, this, [this](int id) {
        t_.unidades = todasLasUnidades[static_cast<size_t>(id)];
    });
    secUnidades->addLayout(segmentos);

    // Displacement in metres.
    QVBoxLayout* secDesplazamiento = seccion(layout);
    secDesplazamiento->addWidget(
        etiquetaSeccion(QStringLiteral("Desplazamiento (metros)"), QStringLiteral("arrow.3.trianglepath")));
    auto* ejes = new QHBoxLayout;
    ejes->setSpacing(10);
    ejes->addWidget(crearCampoEje('X', &TransformacionModelo::offsetX));
    ejes->addWidget(crearCampoEje('Y', &TransformacionModelo::offsetY));
    ejes->addWidget(crearCampoEje('Z', &TransformacionModelo::offsetZ));
    secDesplazamiento->addLayout(ejes);

    // Rotation about Z: the slider is bounded, the field is not.
    QVBoxLayout* secGiro = seccion(layout);
    secGiro->addWidget(etiquetaSeccion(QStringLiteral("Giro en Z (grados)"), QStringLiteral("rotate.left")));
    auto* filaGiro = new QHBoxLayout;
    deslizador_ = new QSlider(Qt::Horizontal);
    deslizador_->setRange(-180, 180);
    deslizador_->setSingleStep(1);
    campoGiro_ = new QLineEdit;
    campoGiro_->setPlaceholderText(QStringLiteral("°"));
    campoGiro_->setFixedWidth(56);
    campoGiro_->setAlignment(Qt::AlignRight);
    filaGiro->addWidget(deslizador_);
    filaGiro->addWidget(campoGiro_);
    secGiro->addLayout(filaGiro);
    connect(deslizador_, &QSlider::valueChanged, this, [this](int valor) {
        t_.giroZ = valor;
        campoGiro_->setText(textoNumero(t_.giroZ));
    });
    connect(campoGiro_, &QLineEdit::textEdited, this, [this](const QString& texto) {
        if (const std::optional<double> v = leerNumero(texto)) {
            t_.giroZ = *v;
            const QSignalBlocker bloqueo(deslizador_);
            deslizador_->setValue(static_cast<int>(std::lround(std::clamp(*v, -180.0, 180.0))));
        }
    });

    layout->addWidget(divisor());

    // Made first so that Tab reaches it before "Cancelar".
    auto* restablecer = new QPushButton(QStringLiteral("Restablecer"), this);
    restablecer->setFlat(true);
    restablecer->setAutoDefault(false);
    restablecer->setStyleSheet(QStringLiteral("color: #8a8a8e;"));
    const platform::SheetButtonRow botones = platform::makeSheetButtonRow(this, QStringLiteral("Aplicar"));
    botones.layout->insertWidget(0, restablecer);
    // Return means "Aplicar" even with the focus on "Cancelar".
    botones.cancel->setAutoDefault(false);
    layout->addLayout(botones.layout);
    QPushButton* cancelar = botones.cancel;
    QPushButton* aplicar = botones.confirm;
    restablecer_ = restablecer;
    cancelar_ = cancelar;
    aplicar_ = aplicar;

    connect(restablecer, &QPushButton::clicked, this, [this]() {
        t_ = TransformacionModelo{};
        mostrarValores();
    });
    connect(cancelar, &QPushButton::clicked, this, &EditorTransformacionDialog::reject);
    connect(aplicar, &QPushButton::clicked, this, [this]() {
        cerrado_ = true;
        if (onAplicar_)
            onAplicar_();
        accept();
    });

    mostrarValores();
}

QWidget* EditorTransformacionDialog::crearCampoEje(char eje, double TransformacionModelo::* campo)
{
    auto* caja = new QWidget;
    auto* fila = new QHBoxLayout(caja);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->setSpacing(4);
    auto* letra = new QLabel(QString(QChar(eje)));
    QFont f = letra->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 0.85);
    letra->setFont(f);
    letra->setFixedWidth(14);
    const char* color = eje == 'X' ? "#ff3b30" : eje == 'Y' ? "#34c759" : "#007aff";
    letra->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(color)));
    auto* campo_ = new QLineEdit;
    campo_->setPlaceholderText(QStringLiteral("0"));
    campo_->setAlignment(Qt::AlignRight);
    fila->addWidget(letra);
    fila->addWidget(campo_);
    campos_[eje - 'X'] = campo_;
    connect(campo_, &QLineEdit::textEdited, this, [this, campo](const QString& texto) {
        if (const std::optional<double> v = leerNumero(texto))
            t_.*campo = *v;
    });
    return caja;
}

void EditorTransformacionDialog::mostrarValores()
{
    for (size_t i = 0; i < todasLasUnidades.size(); ++i)
        if (todasLasUnidades[i] == t_.unidades)
            unidades_->button(static_cast<int>(i))->setChecked(true);
    campos_[0]->setText(textoNumero(t_.offsetX));
    campos_[1]->setText(textoNumero(t_.offsetY));
    campos_[2]->setText(textoNumero(t_.offsetZ));
    campoGiro_->setText(textoNumero(t_.giroZ));
    const QSignalBlocker bloqueo(deslizador_);
    deslizador_->setValue(static_cast<int>(std::lround(std::clamp(t_.giroZ, -180.0, 180.0))));
}

void EditorTransformacionDialog::reject()
{
    if (!cerrado_) {
        cerrado_ = true;
        if (onCancelar_)
            onCancelar_();
    }
    QDialog::reject();
}

QLineEdit* EditorTransformacionDialog::campoEje(char eje) const
{
    if (eje < 'X' || eje > 'Z')
        return nullptr;
    return campos_[eje - 'X'];
}

QAbstractButton* EditorTransformacionDialog::botonUnidades(TransformacionModelo::Unidades u) const
{
    for (size_t i = 0; i < todasLasUnidades.size(); ++i)
        if (todasLasUnidades[i] == u)
            return unidades_->button(static_cast<int>(i));
    return nullptr;
}

EditorTransformacionDialog* presentarEditorTransformacion(ControladorFederacion& controlador, QWidget* parent)
{
    EstadoFederacion& estado = controlador.estado();
    if (!estado.modeloEditandoTransformacion)
        return nullptr;
    QPointer<ControladorFederacion> c(&controlador);
    auto* dialogo = new EditorTransformacionDialog(
        estado.modeloEditandoTransformacion->nombre, estado.transformacionEditando,
        [c]() {
            if (c)
                c->confirmarTransformacion();
        },
        [c]() {
            if (c)
                c->cancelarTransformacion();
        },
        parent);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->setWindowModality(Qt::WindowModal);
    dialogo->open();
    return dialogo;
}

}  // namespace quelva
