#include "main_window/inspector/ColumnaInspector.h"

#include "federation/ControladorFederacion.h"
#include "main_window/ContentView.h"
#include "main_window/inspector/FilasPropiedades.h"
#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/TextBreaks.h"
#include "platform/SystemColors.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>

#include <set>

namespace quelva {

namespace {

using platform::SystemColor;

QFrame* divisor(QWidget* padre)
{
    auto* d = new QFrame(padre);
    d->setFrameShape(QFrame::HLine);
    d->setFixedHeight(1);
    d->setStyleSheet(QStringLiteral("background: rgba(255,255,255,28); border: none;"));
    return d;
}

void darEstilo(QLabel* l, int pixeles, const QString& color, bool negrita, bool mono)
{
    QFont f = l->font();
    if (mono)
        f.setFamily(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(pixeles);
    f.setBold(negrita);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(color));
}

QLabel* texto(const QString& t, int pixeles, const QString& color, QWidget* padre, bool negrita = false,
              bool mono = false)
{
    auto* l = new QLabel(t, padre);
    darEstilo(l, pixeles, color, negrita, mono);
    return l;
}

QPixmap circulo(const QColor& color, int lado, bool contorno)
{
    QPixmap pix(lado * 2, lado * 2);
    pix.setDevicePixelRatio(2);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(color);
    p.setPen(contorno ? QPen(QColor(255, 255, 255, 64), 0.5) : Qt::NoPen);
    p.drawEllipse(QRectF(0.5, 0.5, lado - 1, lado - 1));
    return pix;
}

QWidget* etiquetaConSimbolo(const QString& t, const QString& simbolo, const QColor& color, QWidget* padre)
{
    auto* fila = new QWidget(padre);
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    auto* icono = new QLabel(fila);
    icono->setPixmap(platform::symbolPixmap(simbolo, 12, color));
    h->addWidget(icono);
    h->addWidget(texto(t, 11, color.name(), fila, true));
    h->addStretch(1);
    return fila;
}

// A property value: wraps anywhere inside long runs (paths, GUIDs) so the column keeps its
// width, and copies the value as it is, without the invisible break points.
class ValorPropiedad : public QLabel {
public:
    ValorPropiedad(const QString& valor, QWidget* padre)
        : QLabel(platform::breakableAnywhere(valor), padre), valor_(valor)
    {
        setTextInteractionFlags(Qt::TextSelectableByMouse);
        setWordWrap(true);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->matches(QKeySequence::Copy)) {
            copiar();
            return;
        }
        QLabel::keyPressEvent(e);
    }
    void contextMenuEvent(QContextMenuEvent* e) override
    {
        QMenu menu;
        menu.addAction(QStringLiteral("Copiar"), this, [this] { copiar(); });
        menu.exec(e->globalPos());
    }

private:
    void copiar()
    {
        const QString elegido = hasSelectedText() ? selectedText() : valor_;
        QGuiApplication::clipboard()->setText(QString(elegido).remove(QChar(0x200B)));
    }

    QString valor_;
};

const QString kSecundario = QStringLiteral("rgba(235,235,245,150)");
const QString kPrimario = QStringLiteral("rgba(255,255,255,235)");

}  // namespace

ColumnaInspector::ColumnaInspector(ContentView& vista, QWidget* parent) : QWidget(parent), vista_(vista)
{
    setFixedWidth(220);
    setObjectName(QStringLiteral("ColumnaInspector"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#ColumnaInspector { background: #232327; }"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    refrescar();
}

void ColumnaInspector::refrescar()
{
    // The old content may hold the button whose click is being handled: retire it later.
    if (contenido_) {
        layout()->removeWidget(contenido_);
        contenido_->hide();
        contenido_->deleteLater();
    }
    contenido_ = new QWidget(this);
    auto* col = new QVBoxLayout(contenido_);
    col->setContentsMargins(12, 12, 12, 12);
    col->setSpacing(14);

    construirLeyenda(col);
    col->addStretch(1);
    if (!vista_.clashes.interferencias.empty()) {
        col->addWidget(divisor(contenido_));
        construirInterferencias(col);
    }
    if (vista_.seleccion.nodoSeleccionado) {
        col->addWidget(divisor(contenido_));
        construirPropiedades(col);
    }
    col->addWidget(divisor(contenido_));
    // A file name has no spaces to wrap at: it breaks anywhere rather than losing its end.
    auto* archivo = texto(platform::breakableAnywhere(vista_.federacion.fileName), 9, kSecundario, contenido_, false,
                          true);
    archivo->setObjectName(QStringLiteral("pieArchivo"));
    archivo->setAlignment(Qt::AlignCenter);
    archivo->setWordWrap(true);
    col->addWidget(archivo);

    static_cast<QVBoxLayout*>(layout())->addWidget(contenido_);
}

void ColumnaInspector::construirLeyenda(QVBoxLayout* col)
{
    auto* titulo = texto(QStringLiteral("Leyenda"), 13, kPrimario, contenido_, true);
    col->addWidget(titulo);

    if (vista_.comparacion.trelmActivo) {
        const struct {
            const char* texto;
            QColor color;
        } filas[] = {
            {"Agregado", QColor::fromRgbF(0.1f, 0.75f, 0.2f)},
            {"Eliminado", QColor::fromRgbF(0.9f, 0.15f, 0.15f)},
            {"Modificado — posición anterior", QColor::fromRgbF(0.95f, 0.55f, 0.05f)},
            {"Modificado — nueva posición/tamaño", QColor::fromRgbF(0.95f, 0.9f, 0.1f)},
            {"Sin cambios", QColor::fromRgbF(0.5f, 0.5f, 0.5f)},
        };
        for (const auto& f : filas) {
            auto* fila = new QWidget(contenido_);
            fila->setObjectName(QStringLiteral("filaLeyenda"));
            auto* h = new QHBoxLayout(fila);
            h->setContentsMargins(0, 0, 0, 0);
            auto* punto = new QLabel(fila);
            punto->setPixmap(circulo(f.color, 10, false));
            h->addWidget(punto, 0, Qt::AlignTop);
            // The longest row is wider than the column: it wraps instead of losing its end.
            auto* t = texto(QString::fromUtf8(f.texto), 11, kPrimario, fila);
            t->setWordWrap(true);
            h->addWidget(t, 1);
            col->addWidget(fila);
        }
        return;
    }

    for (const QString& key : vista_.federacion.ordenEspecialidades) {
        const auto it = vista_.federacion.especialidades.find(key);
        if (it == vista_.federacion.especialidades.end())
            continue;
        const EspecialidadBIM& esp = it->second;
        auto* boton = new QPushButton(contenido_);
        boton->setObjectName(QStringLiteral("muestra_") + key);
        boton->setFlat(true);
        boton->setCursor(Qt::PointingHandCursor);
        boton->setToolTip(QStringLiteral("Clic para cambiar color de ") + esp.nombre);
        boton->setStyleSheet(QStringLiteral("QPushButton { border: none; text-align: left; padding: 2px; }"
                                            "QPushButton:hover { background: rgba(255,255,255,18); border-radius: 4px; }"));
        auto* h = new QHBoxLayout(boton);
        h->setContentsMargins(2, 2, 2, 2);
        h->setSpacing(6);
        auto* punto = new QLabel(boton);
        punto->setPixmap(circulo(esp.colorOriginal, 11, true));
        h->addWidget(punto);
        h->addWidget(texto(esp.nombre, 11, kPrimario, boton));
        h->addStretch(1);
        auto* lapiz = new QLabel(boton);
        lapiz->setPixmap(platform::symbolPixmap(QStringLiteral("pencil"), 9, QColor(235, 235, 245, 76)));
        h->addWidget(lapiz);
        boton->setMinimumHeight(22);
        connect(boton, &QPushButton::clicked, &vista_, [v = &vista_, key] { v->cambiarColorEspecialidad(key); });
        col->addWidget(boton);
    }

    auto* aplicar = new QPushButton(platform::symbolIcon(QStringLiteral("paintbrush.fill"), Qt::white),
                                    QStringLiteral("Aplicar colores"), contenido_);
    aplicar->setObjectName(QStringLiteral("botonAplicarColores"));
    aplicar->setToolTip(QStringLiteral("Fuerza la aplicación de los colores de leyenda a todos los modelos"));
    const QColor azul = platform::systemColor(SystemColor::blue);
    aplicar->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 5px;"
                                          " padding: 4px 8px; font-size: 11px; }"
                                          "QPushButton:hover { background: %2; }")
                               .arg(azul.name(), azul.lighter(115).name()));
    connect(aplicar, &QPushButton::clicked, &vista_, [v = &vista_] { v->aplicarColoresEspecialidades(); });
    col->addWidget(aplicar);
}

void ColumnaInspector::construirInterferencias(QVBoxLayout* col)
{
    const QColor naranja = platform::systemColor(SystemColor::orange);
    auto* bloque = new QWidget(contenido_);
    bloque->setObjectName(QStringLiteral("resumenInterferencias"));
    auto* v = new QVBoxLayout(bloque);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(6);
    v->addWidget(etiquetaConSimbolo(QStringLiteral("Colisiones"), QStringLiteral("exclamationmark.triangle.fill"),
                                    naranja, bloque));
    std::set<QString> pares;  // sorted: any order will do
    for (const Interferencia& i : vista_.clashes.interferencias)
        pares.insert(i.especialidadA + QStringLiteral(" ↔ ") + i.especialidadB);
    for (const QString& par : pares) {
        auto* fila = new QWidget(bloque);
        auto* h = new QHBoxLayout(fila);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(4);
        auto* punto = new QLabel(fila);
        punto->setPixmap(circulo(naranja, 6, false));
        h->addWidget(punto);
        h->addWidget(texto(par, 10, kPrimario, fila));
        h->addStretch(1);
        v->addWidget(fila);
    }
    v->addWidget(texto(platform::qformat("%lld", static_cast<long long>(vista_.clashes.interferencias.size())) +
                           QStringLiteral(" elementos afectados"),
                       9, kSecundario, bloque));
    col->addWidget(bloque);
}

void ColumnaInspector::construirPropiedades(QVBoxLayout* col)
{
    const scene::Node& nodo = *vista_.seleccion.nodoSeleccionado;
    col->addWidget(etiquetaConSimbolo(QStringLiteral("Propiedades"), QStringLiteral("info.circle"),
                                      platform::systemColor(SystemColor::yellow), contenido_));

    auto* lista = new QWidget;
    lista->setObjectName(QStringLiteral("panelPropiedades"));
    auto* v = new QVBoxLayout(lista);
    v->setContentsMargins(0, 0, 4, 0);
    v->setSpacing(6);
    const auto filas = filasPropiedades(nodo, vista_.controladorFederacion().especialidadDeNodo(nodo),
                                        vista_.federacion.especialidades, vista_.clashes.interferencias,
                                        vista_.federacion.propiedadesIFC);
    for (const FilaPropiedad& fila : filas) {
        if (fila.esEncabezado()) {
            auto* encabezado = texto(fila.etiqueta, 8, kSecundario, lista);
            encabezado->setWordWrap(true);
            encabezado->setContentsMargins(0, 4, 0, 0);
            v->addWidget(encabezado);
            continue;
        }
        auto* celda = new QWidget(lista);
        celda->setObjectName(QStringLiteral("fila"));
        celda->setProperty("etiqueta", fila.etiqueta);
        celda->setProperty("valor", fila.valor);
        auto* c = new QVBoxLayout(celda);
        c->setContentsMargins(0, 0, 0, 0);
        c->setSpacing(1);
        // Property names run long ("Pset_… › Base Extension Distance"): they wrap.
        auto* etiqueta = texto(platform::breakableAnywhere(fila.etiqueta), 8, kSecundario, celda);
        etiqueta->setWordWrap(true);
        c->addWidget(etiqueta);
        if (!fila.valor.isEmpty()) {
            auto* valor = new ValorPropiedad(fila.valor, celda);
            darEstilo(valor, 10, kPrimario, false, true);
            c->addWidget(valor);
        }
        v->addWidget(celda);
    }
    v->addStretch(1);

    auto* desplazable = new QScrollArea(contenido_);
    desplazable->setWidget(lista);
    desplazable->setWidgetResizable(true);
    desplazable->setFrameShape(QFrame::NoFrame);
    desplazable->setMaximumHeight(320);
    desplazable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    col->addWidget(desplazable);

    auto* deseleccionar = new QPushButton(QStringLiteral("Deseleccionar"), contenido_);
    deseleccionar->setObjectName(QStringLiteral("botonDeseleccionar"));
    deseleccionar->setFlat(true);
    deseleccionar->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; font-size: 11px; }").arg(kSecundario));
    connect(deseleccionar, &QPushButton::clicked, &vista_, [v = &vista_] { v->seleccionarNodo(nullptr); });
    col->addWidget(deseleccionar);
}

}  // namespace quelva
