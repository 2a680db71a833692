#pragma once

#include <QFlags>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QScrollArea;
class QVBoxLayout;

namespace quelva {

class ContentView;
class TarjetaSeccion;

// The cards whose content follows the state (the QTO button shows none).
enum class TarjetaSidebar : unsigned {
    federacion = 1u << 0,
    comparacion = 1u << 1,
    interferencias = 1u << 2,
    seccion = 1u << 3,
    comentarios = 1u << 4,
    timeLiner = 1u << 5,
};
Q_DECLARE_FLAGS(TarjetasSidebar, TarjetaSidebar)
Q_DECLARE_OPERATORS_FOR_FLAGS(TarjetasSidebar)

// The left column: the brand header pinned above one scrolling column of the seven feature
// cards, always all present, in their fixed order.
class Sidebar : public QWidget {
    Q_OBJECT
public:
    Sidebar(ContentView& vista, QWidget* parent);

    // Rebuilds the content of every card from the state.
    void refrescar();
    // Rebuilds only these cards' content: for a change the others do not show. A long card is
    // built on a later turn of the event loop and styled a few rows per turn, and shown whole
    // once styled; until then it shows what it showed.
    void refrescarTarjetas(TarjetasSidebar tarjetas);
    // Scrolls the column, once it is laid out again, as little as brings the card into view (its
    // top first when it is taller than the column).
    void mostrarTarjeta(TarjetaSidebar cual);

private:
    void desplazarHasta(const QWidget& marco);
    struct Tarjeta;
    // One turn's part of a long card's building and styling; the last one shows it.
    void prepararPorPartes(std::size_t tarjeta);
    void mostrarContenido(Tarjeta& tarjeta, QWidget* nuevo);

    struct Tarjeta {
        TarjetaSidebar cual;
        TarjetaSeccion* marco;
        std::function<QWidget*(QWidget* padre)> contenido;
        std::function<qsizetype()> filas;       // how many rows it would show, for long cards
        QPointer<QTimer> turno = nullptr;        // building and styling a long card's content
        QPointer<QWidget> preparando = nullptr;  // built, hidden in its frame, being styled
        qsizetype estilizadas = 0;              // of its rows
        bool mostrarAlCambiar = false;          // asked to be scrolled to meanwhile
    };

    ContentView& vista_;
    QScrollArea* desplazable_ = nullptr;
    std::vector<Tarjeta> tarjetas_;
};

}  // namespace quelva
