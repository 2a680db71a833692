#include "main_window/comparacion/PanelComparacion.h"

#include "main_window/ContentView.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

namespace {

using platform::SystemColor;

const QString kSecundario = QStringLiteral("rgba(235,235,245,153)");

QPushButton* botonMini(const QString& texto, const QString& simbolo, const QColor& color, QWidget* padre)
{
    auto* b = simbolo.isEmpty() ? new QPushButton(texto, padre)
                                : new QPushButton(platform::symbolIcon(simbolo, color), texto, padre);
    b->setFlat(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; padding: 1px 4px; font-size: 11px; }"
                                    "QPushButton:hover { background: rgba(255,255,255,28); border-radius: 3px; }")
                         .arg(color.name(QColor::HexArgb)));
    return b;
}

QWidget* filaSlot(ContentView& vista, const QString& slot, const QString& etiqueta, const QString& archivo,
                  bool cargado, QWidget* padre)
{
    auto* fila = new QWidget(padre);
    fila->setObjectName(QStringLiteral("fila") + slot);
    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);

    auto* textos = new QVBoxLayout;
    textos->setSpacing(2);
    auto* titulo = new QLabel(etiqueta, fila);
    titulo->setStyleSheet(QStringLiteral("color: %1; font-size: 12px; font-weight: bold;").arg(kSecundario));
    textos->addWidget(titulo);
    auto* nombre = new QLabel(fila);
    nombre->setObjectName(QStringLiteral("archivo") + slot);
    nombre->setTextFormat(Qt::PlainText);
    nombre->setText(archivo);
    nombre->setToolTip(archivo);
    nombre->setMinimumWidth(40);
    nombre->setStyleSheet(QStringLiteral("font-family: 'DejaVu Sans Mono', monospace; font-size: 12px; color: %1;")
                              .arg(cargado ? QStringLiteral("white") : kSecundario));
    textos->addWidget(nombre);
    h->addLayout(textos, 1);

    if (cargado) {
        auto* quitar = botonMini(QString(), QStringLiteral("minus.circle"), platform::systemColor(SystemColor::red), fila);
        quitar->setObjectName(QStringLiteral("quitar") + slot);
        quitar->setToolTip(QStringLiteral("Quitar"));
        QObject::connect(quitar, &QPushButton::clicked, &vista, [v = &vista, slot] { v->limpiarSlotTRELM(slot); });
        h->addWidget(quitar);
    }
    auto* cargar = botonMini(QStringLiteral("Cargar"), QString(), QColor(10, 132, 255), fila);
    cargar->setObjectName(QStringLiteral("cargar") + slot);
    QObject::connect(cargar, &QPushButton::clicked, &vista, [v = &vista, slot] { v->cargarSlotTRELM(slot); });
    h->addWidget(cargar);
    return fila;
}

// A symbol and a count text in one colour; the text label carries the object name.
QWidget* etiquetaConteo(const QString& nombreObjeto, const QString& simbolo, const QString& texto, const QColor& color,
                        QWidget* padre)
{
    auto* w = new QWidget(padre);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(4);
    auto* icono = new QLabel(w);
    icono->setPixmap(platform::symbolIcon(simbolo, color).pixmap(12, 12));
    h->addWidget(icono);
    auto* l = new QLabel(texto, w);
    l->setObjectName(nombreObjeto);
    l->setStyleSheet(QStringLiteral("color: %1; font-size: 11px;").arg(color.name(QColor::HexArgb)));
    h->addWidget(l);
    h->addStretch(1);
    return w;
}

}  // namespace

QWidget* panelComparacionTRELM(ContentView& vista, QWidget* padre)
{
    const EstadoFederacion& f = vista.federacion;
    const EstadoComparacion& c = vista.comparacion;

    auto* panel = new QWidget(padre);
    panel->setObjectName(QStringLiteral("panelTRELM"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(6);
    col->addWidget(filaSlot(vista, QStringLiteral("BASE"), QStringLiteral("Base"), f.fileNameBase,
                            f.modeloBase != nullptr, panel));
    col->addWidget(filaSlot(vista, QStringLiteral("NUEVO"), QStringLiteral("Nueva"), f.fileNameNuevo,
                            f.modeloNuevo != nullptr, panel));
    if (!f.modeloBase || !f.modeloNuevo)
        return panel;

    if (!c.trelmActivo) {
        auto* comparar = new QPushButton(platform::symbolIcon(QStringLiteral("arrow.triangle.2.circlepath"), Qt::white),
                                         QStringLiteral("Comparar versiones"), panel);
        comparar->setObjectName(QStringLiteral("compararVersiones"));
        comparar->setCursor(Qt::PointingHandCursor);
        comparar->setStyleSheet(QStringLiteral("QPushButton { background: rgba(255,255,255,28); color: white; border: none;"
                                               " border-radius: 5px; padding: 4px 10px; font-size: 12px; }"
                                               "QPushButton:hover { background: rgba(255,255,255,45); }"));
        QObject::connect(comparar, &QPushButton::clicked, &vista, [v = &vista] { v->compararVersionesTRELM(); });
        col->addWidget(comparar, 0, Qt::AlignLeft);
        return panel;
    }

    auto* resumen = new QVBoxLayout;
    resumen->setSpacing(3);
    auto* fila = new QHBoxLayout;
    fila->setSpacing(8);
    const QColor verde = platform::systemColor(SystemColor::green);
    const QColor rojo = platform::systemColor(SystemColor::red);
    const QColor naranja = platform::systemColor(SystemColor::orange);
    fila->addWidget(etiquetaConteo(QStringLiteral("conteoAgregados"), QStringLiteral("plus.circle.fill"),
                                   QString::number(c.trelmStats.agregados) + QStringLiteral(" agregados"), verde, panel));
    fila->addWidget(etiquetaConteo(QStringLiteral("conteoEliminados"), QStringLiteral("minus.circle.fill"),
                                   QString::number(c.trelmStats.eliminados) + QStringLiteral(" eliminados"), rojo, panel));
    fila->addStretch(1);
    resumen->addLayout(fila);
    if (c.trelmStats.modificados >= 1)
        resumen->addWidget(etiquetaConteo(QStringLiteral("conteoModificados"),
                                          QStringLiteral("arrow.triangle.2.circlepath.circle.fill"),
                                          QString::number(c.trelmStats.modificados) + QStringLiteral(" modificados"),
                                          naranja, panel));
    resumen->addWidget(etiquetaConteo(QStringLiteral("conteoIguales"), QStringLiteral("equal.circle"),
                                      QString::number(c.trelmStats.iguales) + QStringLiteral(" sin cambios"),
                                      QColor(235, 235, 245, 153), panel));

    auto* informe = new QPushButton(platform::symbolIcon(QStringLiteral("doc.text.magnifyingglass"), Qt::white),
                                    QStringLiteral("Ver Informe TRELM"), panel);
    informe->setObjectName(QStringLiteral("verInformeTRELM"));
    informe->setCursor(Qt::PointingHandCursor);
    informe->setStyleSheet(QStringLiteral("QPushButton { background: #0a84ff; color: white; border: none;"
                                          " border-radius: 4px; padding: 3px 8px; font-size: 11px; }"
                                          "QPushButton:hover { background: #3a9bff; }"));
    QObject::connect(informe, &QPushButton::clicked, &vista, [v = &vista] { v->mostrarReporteTRELM(); });
    resumen->addWidget(informe);

    auto* limpiar = botonMini(QStringLiteral("Limpiar TRELM"), QString(), QColor(235, 235, 245, 153), panel);
    limpiar->setObjectName(QStringLiteral("limpiarTRELM"));
    QObject::connect(limpiar, &QPushButton::clicked, &vista, [v = &vista] { v->pedirLimpiarTRELM(); });
    resumen->addWidget(limpiar, 0, Qt::AlignLeft);
    col->addLayout(resumen);
    return panel;
}

}  // namespace quelva
