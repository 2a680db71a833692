#include "main_window/sidebar/TarjetaFederacion.h"

#include "main_window/ContentView.h"
#include "platform/ElidedLabel.h"
#include "platform/Symbols.h"
#include "platform/SystemColors.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace quelva {

namespace {

using platform::SystemColor;

const QColor kSecundario(235, 235, 245, 150);
const QColor kPrimario(255, 255, 255, 235);

QToolButton* botonSimbolo(const QString& simbolo, const QColor& color, int lado, QWidget* padre)
{
    auto* b = new QToolButton(padre);
    b->setIcon(platform::symbolIcon(simbolo, color));
    b->setIconSize(QSize(lado, lado));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; padding: 1px; }"));
    return b;
}

QString colorCss(const QColor& c)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

// A row that reports single clicks and shows a context menu.
class FilaPulsable : public QWidget {
public:
    std::function<void()> alPulsar;
    std::function<void(QMenu&)> llenarMenu;

    using QWidget::QWidget;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && alPulsar)
            alPulsar();
    }
    void contextMenuEvent(QContextMenuEvent* e) override
    {
        if (!llenarMenu)
            return;
        // Not a child of the row: a refresh while the menu is open retires the row, and the
        // menu's actions reach the window on their own. Nothing touches the row after exec().
        QMenu menu;
        llenarMenu(menu);
        if (!menu.isEmpty())
            menu.exec(e->globalPos());
    }
};

}  // namespace

TarjetaFederacion::TarjetaFederacion(ContentView& vista, QWidget* parent) : QWidget(parent), vista_(vista)
{
    setObjectName(QStringLiteral("TarjetaFederacion"));
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(4);
    for (const QString& key : vista_.federacion.ordenEspecialidades) {
        const auto it = vista_.federacion.especialidades.find(key);
        if (it != vista_.federacion.especialidades.end())
            col->addWidget(bloqueEspecialidad(key, it->second));
    }
    auto* divisor = new QFrame(this);
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFixedHeight(1);
    divisor->setStyleSheet(QStringLiteral("background: rgba(255,255,255,30); border: none; margin-top: 2px;"));
    col->addWidget(divisor);

    auto* nueva = new QPushButton(platform::symbolIcon(QStringLiteral("plus.circle"), kSecundario),
                                  QStringLiteral("Nueva especialidad"), this);
    nueva->setObjectName(QStringLiteral("botonNuevaEspecialidad"));
    nueva->setFlat(true);
    nueva->setCursor(Qt::PointingHandCursor);
    nueva->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; text-align: left; font-size: 11px; }")
                             .arg(colorCss(kSecundario)));
    connect(nueva, &QPushButton::clicked, &vista_, [v = &vista_] { v->prepararNuevaEspecialidad(); });
    col->addWidget(nueva, 0, Qt::AlignLeft);
}

QWidget* TarjetaFederacion::bloqueEspecialidad(const QString& key, const EspecialidadBIM& esp)
{
    auto* bloque = new QWidget(this);
    bloque->setObjectName(QStringLiteral("bloque_") + key);
    auto* col = new QVBoxLayout(bloque);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(2);

    const bool vinculado = esp.nodoRaiz != nullptr;
    QString simboloOjo;
    QColor colorOjo, colorNombre;
    if (!vinculado) {
        simboloOjo = esp.isVisible ? QStringLiteral("eye") : QStringLiteral("eye.slash");
        colorOjo = QColor(kSecundario.red(), kSecundario.green(), kSecundario.blue(), int(kSecundario.alpha() * 0.3));
        colorNombre = kSecundario;
    } else if (!esp.isVisible) {
        simboloOjo = QStringLiteral("eye.slash");
        colorOjo = kSecundario;
        colorNombre = kSecundario;
    } else {
        simboloOjo = QStringLiteral("eye");
        colorOjo = kPrimario;
        colorNombre = platform::systemColor(SystemColor::green);
    }

    auto* cabecera = new FilaPulsable(bloque);
    cabecera->setObjectName(QStringLiteral("cabecera"));
    cabecera->llenarMenu = [v = &vista_, key](QMenu& menu) { llenarMenuEspecialidad(menu, *v, key); };
    auto* fila = new QHBoxLayout(cabecera);
    fila->setContentsMargins(0, 2, 0, 2);
    fila->setSpacing(6);

    auto* ojo = botonSimbolo(simboloOjo, colorOjo, 15, cabecera);
    ojo->setObjectName(QStringLiteral("ojoEspecialidad"));
    ojo->setEnabled(vinculado);
    connect(ojo, &QToolButton::clicked, &vista_, [v = &vista_, key] { v->alternarVisibilidadEspecialidad(key); });
    fila->addWidget(ojo);

    auto* icono = new QLabel(cabecera);
    icono->setPixmap(platform::symbolPixmap(esp.icono, 14, colorNombre));
    fila->addWidget(icono);
    auto* nombre = new QLabel(esp.nombre, cabecera);
    nombre->setObjectName(QStringLiteral("nombreEspecialidad"));
    nombre->setStyleSheet(QStringLiteral("color: %1; font-size: 13px;").arg(colorCss(colorNombre)));
    fila->addWidget(nombre, 1);

    auto* vincular = new QPushButton(platform::symbolIcon(QStringLiteral("plus.rectangle.on.folder"), Qt::white),
                                     QStringLiteral("Vincular IFC"), cabecera);
    vincular->setObjectName(QStringLiteral("botonVincular"));
    vincular->setToolTip(QStringLiteral("Vincular archivo IFC"));
    vincular->setCursor(Qt::PointingHandCursor);
    vincular->setIconSize(QSize(12, 12));
    const QColor azul = platform::systemColor(SystemColor::blue);
    vincular->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 4px;"
                                           " padding: 2px 6px; font-size: 11px; font-weight: 600; }"
                                           "QPushButton:hover { background: %2; }")
                                .arg(azul.name(), azul.lighter(115).name()));
    connect(vincular, &QPushButton::clicked, &vista_, [v = &vista_, key] { v->vincularArchivo(key); });
    fila->addWidget(vincular);
    col->addWidget(cabecera);

    for (const ModeloVinculado& m : esp.modelos)
        col->addWidget(filaModelo(key, m));
    return bloque;
}

QWidget* TarjetaFederacion::filaModelo(const QString& key, const ModeloVinculado& modelo)
{
    const bool resaltado = vista_.federacion.modeloResaltadoId == modelo.id;
    const QColor acento = platform::systemColor(SystemColor::blue);
    const QColor colorFila = resaltado ? acento : kSecundario;

    auto* fila = new FilaPulsable(this);
    fila->setObjectName(QStringLiteral("filaModelo"));
    fila->setProperty("modeloId", modelo.id.toString());
    fila->setAttribute(Qt::WA_StyledBackground);
    fila->setCursor(Qt::PointingHandCursor);
    fila->setStyleSheet(resaltado ? QStringLiteral("#filaModelo { background: rgba(%1,%2,%3,46); border-radius: 5px; }")
                                        .arg(acento.red())
                                        .arg(acento.green())
                                        .arg(acento.blue())
                                  : QStringLiteral("#filaModelo { background: transparent; }"));
    fila->alPulsar = [v = &vista_, key, id = modelo.id] { v->alternarResaltadoModelo(key, id); };
    fila->llenarMenu = [v = &vista_, key, modelo](QMenu& menu) { llenarMenuModelo(menu, *v, key, modelo); };

    auto* h = new QHBoxLayout(fila);
    h->setContentsMargins(6 + 14, 2, 6, 2);
    h->setSpacing(4);

    auto* ojo = botonSimbolo(modelo.isVisible ? QStringLiteral("eye") : QStringLiteral("eye.slash"),
                             modelo.isVisible ? kPrimario : kSecundario, 13, fila);
    ojo->setObjectName(QStringLiteral("ojoModelo"));
    connect(ojo, &QToolButton::clicked, &vista_,
            [v = &vista_, key, id = modelo.id] { v->alternarVisibilidadModelo(key, id); });
    h->addWidget(ojo);

    auto* cubo = new QLabel(fila);
    cubo->setPixmap(platform::symbolPixmap(QStringLiteral("cube"), 13, colorFila));
    h->addWidget(cubo);

    // One line: a long file name ends in "…" before the unlink button, whole in the tooltip.
    auto* nombre = new platform::ElidedLabel(modelo.nombre, fila);
    nombre->setObjectName(QStringLiteral("nombreModelo"));
    nombre->setStyleSheet(QStringLiteral("color: %1; font-family: 'DejaVu Sans Mono'; font-size: 12px;")
                              .arg(colorCss(modelo.isVisible ? kPrimario : kSecundario)));
    h->addWidget(nombre, 1);

    auto* quitar = botonSimbolo(QStringLiteral("minus.circle"), platform::systemColor(SystemColor::red), 13, fila);
    quitar->setObjectName(QStringLiteral("botonEliminarModelo"));
    quitar->setToolTip(QStringLiteral("Eliminar modelo vinculado"));
    connect(quitar, &QToolButton::clicked, &vista_, [v = &vista_, key, modelo] { v->pedirEliminarModelo(key, modelo); });
    h->addWidget(quitar);
    return fila;
}

void TarjetaFederacion::llenarMenuEspecialidad(QMenu& menu, ContentView& vista, const QString& key)
{
    const auto it = vista.federacion.especialidades.find(key);
    if (it == vista.federacion.especialidades.end() || !it->second.nodoRaiz)
        return;
    QPointer<ContentView> v(&vista);
    menu.addAction(platform::symbolIcon(QStringLiteral("scope")), QStringLiteral("Zoom al modelo"), &vista,
                   [v, key] { if (v) v->zoomEspecialidad(key); });
    menu.addAction(platform::symbolIcon(QStringLiteral("paintpalette")), QStringLiteral("Cambiar color"), &vista,
                   [v, key] { if (v) v->cambiarColorEspecialidad(key); });
    menu.addSeparator();
    auto* desvincular = menu.addAction(QStringLiteral("Desvincular todos"), &vista,
                                       [v, key] { if (v) v->desvincularTodos(key); });
    desvincular->setObjectName(QStringLiteral("destructiva"));
}

void TarjetaFederacion::llenarMenuModelo(QMenu& menu, ContentView& vista, const QString& key,
                                         const ModeloVinculado& modelo)
{
    QPointer<ContentView> v(&vista);
    auto* titulo = menu.addAction(modelo.nombre);
    QFont f = titulo->font();
    f.setBold(true);
    titulo->setFont(f);
    titulo->setEnabled(false);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Transparencia"))->setEnabled(false);
    const struct {
        const char* texto;
        double valor;
    } niveles[] = {{"Opaco", 0}, {"25%", 0.25}, {"50%", 0.5}, {"75%", 0.75}};
    for (const auto& n : niveles) {
        QString texto = QString::fromUtf8(n.texto);
        if (modelo.transparencia == n.valor)
            texto += QStringLiteral(" ✓");
        menu.addAction(texto, &vista, [v, key, id = modelo.id, valor = n.valor] {
            if (v)
                v->aplicarTransparenciaModelo(key, id, valor);
        });
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("Transformación del modelo…"), &vista, [v, key, modelo] {
        if (v)
            v->editarTransformacionModelo(key, modelo);
    });
    menu.addSeparator();
    auto* desvincular = menu.addAction(QStringLiteral("Desvincular"), &vista, [v, key, modelo] {
        if (v)
            v->pedirEliminarModelo(key, modelo);
    });
    desvincular->setObjectName(QStringLiteral("destructiva"));
}

}  // namespace quelva
