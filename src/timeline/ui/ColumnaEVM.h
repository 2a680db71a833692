#pragma once

#include "timeline/FigurasTimeLiner.h"
#include "timeline/TimeLiner.h"
#include "timeline/analitica/FigurasAnalitica.h"

#include <QColor>
#include <QFrame>
#include <QUuid>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;

namespace quelva {

class ControladorTimeLiner;

// A coloured swatch, a label and a value on one line.
class FilaMetrica : public QWidget {
    Q_OBJECT
public:
    FilaMetrica(QColor color, const QString& etiqueta, QWidget* parent = nullptr);
    void setValor(const QString& valor);
    QString etiqueta() const { return etiqueta_; }
    QString valor() const { return valor_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    QString etiqueta_;
    QString valor_;
};

// An index as a tile: its label over its value in the index colour.
class TarjetaIndicador : public QWidget {
    Q_OBJECT
public:
    TarjetaIndicador(const QString& etiqueta, QWidget* parent = nullptr);
    void setValor(double valor);
    QString texto() const { return texto_; }
    QColor color() const { return color_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString etiqueta_;
    QString texto_;
    QColor color_;
};

// The rounded box the project cards stand in.
class CajaTarjeta : public QFrame {
    Q_OBJECT
public:
    explicit CajaTarjeta(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// "VALOR GANADO — COSTO".
class TarjetaValorGanado : public CajaTarjeta {
    Q_OBJECT
public:
    explicit TarjetaValorGanado(QWidget* parent = nullptr);
    void refrescar(const FigurasValorGanado& f, const QString& moneda);

    FilaMetrica* bac;
    FilaMetrica* ac;
    FilaMetrica* ev;
    TarjetaIndicador* spi;
    TarjetaIndicador* cpi;
};

// "HORAS HOMBRE".
class TarjetaHorasHombre : public CajaTarjeta {
    Q_OBJECT
public:
    explicit TarjetaHorasHombre(QWidget* parent = nullptr);
    void refrescar(const FigurasHorasHombre& f);

    FilaMetrica* planificadas;
    FilaMetrica* reales;
    FilaMetrica* ganadas;
    TarjetaIndicador* factor;
    TarjetaIndicador* porDia;
};

// The package cards, painted: a playback tick repaints the cards on screen and builds nothing.
// A click selects the card's package, or clears the selection when it is that package.
class ListaTarjetasPaquete : public QWidget {
    Q_OBJECT
public:
    ListaTarjetasPaquete(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    // Lays the cards out again when the store or the selection changed; repaints otherwise.
    void refrescar();

    struct Tarjeta {
        PaqueteAWP pkg;
        double y = 0;
        double alto = 0;
        bool dinero = false;
        bool horas = false;
        bool desfase = false;
        bool iwps = false;
    };
    const std::vector<Tarjeta>& tarjetas() const { return tarjetas_; }
    QRectF rectTarjeta(std::size_t i) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void disponer();
    void pintarTarjeta(QPainter& p, const Tarjeta& t);

    ControladorTimeLiner& c_;
    std::vector<Tarjeta> tarjetas_;
    quint64 version_ = ~quint64(0);
    std::optional<QUuid> seleccion_;
    double alto_ = 0;
};

// The "EVM / Costo" face: the earned-value card, the man-hour card when the IWPs plan
// man-hours, a divider and the package cards.
class ColumnaEVM : public QWidget {
    Q_OBJECT
public:
    ColumnaEVM(ControladorTimeLiner& controlador, QWidget* parent = nullptr);
    void refrescar();

    TarjetaValorGanado* valorGanado() const { return valorGanado_; }
    TarjetaHorasHombre* horasHombre() const { return horasHombre_; }
    ListaTarjetasPaquete* tarjetas() const { return tarjetas_; }

private:
    ControladorTimeLiner& c_;
    TarjetaValorGanado* valorGanado_;
    TarjetaHorasHombre* horasHombre_;
    ListaTarjetasPaquete* tarjetas_;
};

}  // namespace quelva
