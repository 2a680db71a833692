// The sidebar card "Sección": switch, axis, position slider, depth mode, the 2D plan button
// and the saved sections.

#include "main_window/sidebar/PanelesServicios.h"

#include "main_window/ContentView.h"
#include "platform/NumberFormat.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"
#include "viewport/Interruptor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

constexpr double kPaso = 0.1;

QLabel* texto(const QString& t, int tamano, QWidget* padre, bool mono = false)
{
    auto* l = new QLabel(t, padre);
    QFont f = l->font();
    if (mono)
        f.setFamily(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(tamano);
    l->setFont(f);
    return l;
}

QWidget* filaActivar(ContentView& vista, QWidget* padre)
{
    auto* fila = new QWidget(padre);
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    auto* icono = new QLabel(fila);
    icono->setPixmap(platform::symbolIcon(QStringLiteral("scissors"), Qt::white).pixmap(14, 14));
    h->addWidget(icono);
    h->addWidget(texto(QStringLiteral("Activar corte"), 12, fila), 1);
    auto* interruptor = new Interruptor(fila);
    interruptor->setObjectName(QStringLiteral("activarCorte"));
    interruptor->setChecked(vista.secciones.seccionActiva);
    QObject::connect(interruptor, &QAbstractButton::toggled, &vista, [v = &vista](bool on) {
        v->activarSeccion(on);
        // The controls just added below the switch may lie under the column's lower edge.
        if (on && v->sidebar())
            v->sidebar()->mostrarTarjeta(TarjetaSidebar::seccion);
    });
    h->addWidget(interruptor);
    return fila;
}

QWidget* selectorEje(ContentView& vista, QWidget* padre)
{
    auto* fila = new QWidget(padre);
    fila->setObjectName(QStringLiteral("selectorEje"));
    fila->setToolTip(QStringLiteral("Eje"));
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    auto* grupo = new QButtonGroup(fila);
    const char* letras[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(letras[i]), fila);
        b->setObjectName(QStringLiteral("eje") + QString::fromLatin1(letras[i]));
        b->setCheckable(true);
        b->setChecked(vista.secciones.seccionEje == i);
        b->setStyleSheet(QStringLiteral("QPushButton { background: rgba(255,255,255,20); color: white; border: none;"
                                        " padding: 3px; font-size: 12px; }"
                                        "QPushButton:checked { background: rgba(255,255,255,70); }"));
        grupo->addButton(b, i);
        h->addWidget(b, 1);
    }
    QObject::connect(grupo, &QButtonGroup::idClicked, &vista, [v = &vista](int id) {
        if (id != v->secciones.seccionEje)
            v->cambiarEjeSeccion(id);
    });
    return fila;
}

QWidget* filaPosicion(ContentView& vista, QWidget* padre)
{
    const auto& s = vista.secciones;
    auto* caja = new QWidget(padre);
    auto* col = new QVBoxLayout(caja);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(2);
    auto* cabecera = new QHBoxLayout;
    auto* titulo = texto(QStringLiteral("Posición"), 12, caja);
    titulo->setStyleSheet(QStringLiteral("color: rgba(235,235,245,180);"));
    cabecera->addWidget(titulo);
    cabecera->addStretch(1);
    auto* valor = texto(platform::qformat("%.2f m", s.seccionPosicion), 15, caja, true);
    valor->setObjectName(QStringLiteral("valorPosicion"));
    cabecera->addWidget(valor);
    col->addLayout(cabecera);

    // The slider moves in steps of 0.1 m from the range's minimum.
    const double minimo = s.seccionRangoMin, maximo = s.seccionRangoMax;
    auto* slider = new QSlider(Qt::Horizontal, caja);
    slider->setObjectName(QStringLiteral("sliderPosicion"));
    slider->setRange(0, std::max(0, int(std::ceil((maximo - minimo) / kPaso - 1e-9))));
    slider->setValue(int(std::lround((s.seccionPosicion - minimo) / kPaso)));
    QObject::connect(slider, &QSlider::valueChanged, &vista, [v = &vista, valor, minimo, maximo](int paso) {
        const double posicion = std::min(minimo + paso * kPaso, maximo);
        valor->setText(platform::qformat("%.2f m", posicion));
        v->moverSeccion(posicion);
    });
    col->addWidget(slider);

    auto* extremos = new QHBoxLayout;
    extremos->addWidget(texto(platform::qformat("%.1f", minimo), 12, caja));
    extremos->addStretch(1);
    extremos->addWidget(texto(platform::qformat("%.1f", maximo), 12, caja));
    col->addLayout(extremos);
    return caja;
}

QWidget* selectorModo(ContentView& vista, QWidget* padre)
{
    auto* combo = new QComboBox(padre);
    combo->setObjectName(QStringLiteral("modoProfundidad"));
    combo->addItems({QStringLiteral("Corte exacto"), QStringLiteral("Con profundidad"), QStringLiteral("Ilimitada")});
    combo->setCurrentIndex(std::clamp(vista.secciones.seccionModoProfundidad, 0, 2));
    combo->setToolTip(QStringLiteral(
        "Corte exacto: solo la línea de intersección.\nCon profundidad: muestra también el contorno de elementos "
        "detrás del plano.\nIlimitada: proyecta todo lo que hay al otro lado."));
    QObject::connect(combo, &QComboBox::activated, &vista, [v = &vista](int i) { v->cambiarModoProfundidad(i); });
    return combo;
}

QWidget* filaProfundidad(ContentView& vista, QWidget* padre)
{
    auto* fila = new QWidget(padre);
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    auto* titulo = texto(QStringLiteral("Profundidad"), 12, fila);
    titulo->setStyleSheet(QStringLiteral("color: rgba(235,235,245,180);"));
    h->addWidget(titulo);
    h->addStretch(1);
    auto* stepper = new QSpinBox(fila);
    stepper->setObjectName(QStringLiteral("profundidad"));
    stepper->setRange(1, 50);
    stepper->setSingleStep(1);
    stepper->setValue(int(std::clamp(std::lround(vista.secciones.seccionProfundidad), 1L, 50L)));
    stepper->setMinimumWidth(56);
    QFont f = stepper->font();
    f.setFamily(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(16);
    stepper->setFont(f);
    QObject::connect(stepper, &QSpinBox::valueChanged, &vista,
                     [v = &vista](int valor) { v->cambiarProfundidadSeccion(valor); });
    h->addWidget(stepper);
    return fila;
}

QWidget* filaGuardada(ContentView& vista, const SeccionGuardada& s, QWidget* padre)
{
    auto* fila = new QWidget(padre);
    fila->setObjectName(QStringLiteral("seccionGuardada"));
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    auto* icono = new QLabel(fila);
    icono->setPixmap(platform::symbolIcon(QStringLiteral("bookmark.fill"),
                                          platform::systemColor(platform::SystemColor::yellow))
                         .pixmap(12, 12));
    h->addWidget(icono);
    auto* nombre = texto(s.nombre, 13, fila);
    nombre->setMinimumWidth(40);
    h->addWidget(nombre, 1);
    const auto boton = [&](const QString& simbolo, const QString& ayuda, const QString& objeto) {
        auto* b = new QToolButton(fila);
        b->setObjectName(objeto);
        b->setIcon(platform::symbolIcon(simbolo, Qt::white));
        b->setToolTip(ayuda);
        b->setAutoRaise(true);
        b->setCursor(Qt::PointingHandCursor);
        h->addWidget(b);
        return b;
    };
    auto* restaurar = boton(QStringLiteral("arrow.uturn.left.circle"), QStringLiteral("Restaurar y abrir plano 2D"),
                            QStringLiteral("restaurarSeccion"));
    auto* eliminar =
        boton(QStringLiteral("trash"), QStringLiteral("Eliminar sección guardada"), QStringLiteral("eliminarSeccion"));
    const QUuid id = s.id;
    QObject::connect(restaurar, &QToolButton::clicked, &vista, [v = &vista, id] { v->restaurarSeccionGuardada(id); });
    QObject::connect(eliminar, &QToolButton::clicked, &vista, [v = &vista, id] { v->pedirEliminarSeccion(id); });
    return fila;
}

}  // namespace

QWidget* panelSecciones(ContentView& vista, QWidget* padre)
{
    const auto& s = vista.secciones;
    auto* panel = new QWidget(padre);
    panel->setObjectName(QStringLiteral("panelSecciones"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(8);
    col->addWidget(filaActivar(vista, panel));
    if (s.seccionActiva) {
        col->addWidget(selectorEje(vista, panel));
        col->addWidget(filaPosicion(vista, panel));
        col->addWidget(selectorModo(vista, panel));
        if (s.seccionModoProfundidad == 1)
            col->addWidget(filaProfundidad(vista, panel));
        auto* plano = new QPushButton(platform::symbolIcon(QStringLiteral("doc.viewfinder"), Qt::white),
                                      QStringLiteral("Plano 2D"), panel);
        plano->setObjectName(QStringLiteral("botonPlano2D"));
        plano->setCursor(Qt::PointingHandCursor);
        plano->setStyleSheet(QStringLiteral("QPushButton { background: #0a84ff; color: white; border: none;"
                                            " border-radius: 5px; padding: 5px 10px; font-size: 12px; }"
                                            "QPushButton:hover { background: #3399ff; }"));
        QObject::connect(plano, &QPushButton::clicked, &vista, [v = &vista] { v->generarPlano2D(); });
        col->addWidget(plano);
    }
    if (s.seccionActiva && !s.seccionesGuardadas.empty()) {
        auto* lista = new QWidget(panel);
        lista->setObjectName(QStringLiteral("listaSeccionesGuardadas"));
        auto* l = new QVBoxLayout(lista);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(2);
        for (const SeccionGuardada& g : s.seccionesGuardadas)
            l->addWidget(filaGuardada(vista, g, lista));
        col->addWidget(lista);
    }
    return panel;
}

}  // namespace quelva
