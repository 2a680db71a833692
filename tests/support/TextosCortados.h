#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QRect;
class QWidget;

namespace testsupport {

// A text shown cut: where it is (object names from the window down), the text and why.
struct TextoCortado {
    QString donde;
    QString texto;
    QString motivo;
};

// Every shown text under `raiz` that does not fit its room: a label (one line wider than the
// label or than what its ancestors leave visible, a word-wrapped label taller than its height or
// with a word wider than a line, a text that holds "…" or "..." it was cut to), a button's text, an item view's header or cell
// (first rows only), an alert's title (see platform::alertWidthForTitle). `permitidos` are the
// object names of widgets whose text may be cut with "…".
std::vector<TextoCortado> textosCortados(QWidget& raiz, const QStringList& permitidos = {});

// The contrast ratio (WCAG: 1 to 21) of a label's text as drawn on screen: its commonest pixel
// is taken as the background, the pixel that differs most from it in luminance as the text.
double contrasteTexto(QWidget& etiqueta);
// The same for a text a widget paints itself, in `zona` (the widget's coordinates).
double contrasteTexto(QWidget& widget, const QRect& zona);

// One line per cut text, for a test's failure message.
QString describir(const std::vector<TextoCortado>& cortados);

}  // namespace testsupport
