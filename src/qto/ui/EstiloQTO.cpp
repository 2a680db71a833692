#include "qto/ui/EstiloQTO.h"

#include "platform/SystemColors.h"
#include "qto/FilasQTO.h"
#include "qto/ItemQTO.h"
#include "qto/ui/ModeloTablaQTO.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPalette>
#include <QToolButton>

namespace quelva::estiloqto {

QLabel* etiqueta(const QString& texto, const QFont& fuente, const QColor& color)
{
    auto* l = new QLabel(texto);
    l->setFont(fuente);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    return l;
}

QToolButton* botonPlano(const QString& texto)
{
    auto* b = new QToolButton;
    b->setText(texto);
    b->setAutoRaise(true);
    b->setFont(fuente(11));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

namespace {

using TipoFila = ModeloTablaQTO::TipoFila;

QColor conAlfa(QColor c, double alfa)
{
    c.setAlphaF(float(alfa));
    return c;
}

bool esNumeroResaltado(ColumnaQTO c)
{
    return c == ColumnaQTO::volumen || c == ColumnaQTO::areaPlanta || c == ColumnaQTO::areaCara
           || c == ColumnaQTO::peso;
}

}  // namespace

QFont fuente(int pixeles, QFont::Weight peso, bool monoespaciada)
{
    QFont f = monoespaciada ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QApplication::font();
    f.setPixelSize(pixeles);
    f.setWeight(peso);
    return f;
}

QColor primario() { return QApplication::palette().color(QPalette::Text); }
QColor secundario() { return conAlfa(primario(), 0.6); }
QColor terciario() { return conAlfa(primario(), 0.32); }
QColor acento() { return QApplication::palette().color(QPalette::Highlight); }
QColor naranja() { return platform::systemColor(platform::SystemColor::orange); }
QColor fondoControl() { return QApplication::palette().color(QPalette::Window).lighter(118); }

QFont fuenteCelda(int tipoFila, int columna)
{
    const auto tipo = static_cast<TipoFila>(tipoFila);
    if (columna >= kColumnasFijasQTO)
        return fuente(9);
    const auto c = static_cast<ColumnaQTO>(columna);
    switch (tipo) {
    case TipoFila::grupo:
        if (c == ColumnaQTO::tipo)
            return fuente(11, QFont::DemiBold);
        if (c == ColumnaQTO::especialidad)
            return fuente(10);
        return fuente(10, esNumeroResaltado(c) ? QFont::DemiBold : QFont::Normal, true);
    case TipoFila::item:
        if (c == ColumnaQTO::tipo || c == ColumnaQTO::cantidad)
            return fuente(9, QFont::Normal, c == ColumnaQTO::tipo);
        return fuente(10, QFont::Normal, true);
    case TipoFila::vacio:
        return fuente(11);
    case TipoFila::total:
        if (c == ColumnaQTO::tipo)
            return fuente(10, QFont::Bold);
        if (c == ColumnaQTO::cantidad)
            return fuente(10, QFont::Bold, true);
        return fuente(10, QFont::DemiBold, true);
    }
    return fuente(10);
}

QColor colorCelda(int tipoFila, int columna, const GrupoQTO* grupo, const QString& textoExtra)
{
    const auto tipo = static_cast<TipoFila>(tipoFila);
    const bool extra = columna >= kColumnasFijasQTO;
    const auto c = static_cast<ColumnaQTO>(std::min(columna, kColumnasFijasQTO - 1));
    switch (tipo) {
    case TipoFila::grupo:
        if (extra)
            return textoExtra == QStringLiteral("varios") ? naranja() : secundario();
        if (c == ColumnaQTO::especialidad)
            return secundario();
        if (c == ColumnaQTO::peso && grupo && grupo->densidad <= 0)
            return secundario();
        return primario();
    case TipoFila::item:
        if (extra)
            return primario();
        return c == ColumnaQTO::cantidad ? terciario() : secundario();
    case TipoFila::vacio:
        return secundario();
    case TipoFila::total:
        if (!extra && c == ColumnaQTO::peso)
            return QColor::fromRgbF(0.8f, 0.4f, 0.0f);
        return primario();
    }
    return primario();
}

}  // namespace quelva::estiloqto
