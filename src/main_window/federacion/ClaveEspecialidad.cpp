#include "main_window/federacion/ClaveEspecialidad.h"

#include <QTextBoundaryFinder>

namespace quelva {

QString nombreEspecialidadLimpio(const QString& nombre)
{
    qsizetype inicio = 0;
    qsizetype fin = nombre.size();
    auto esBlanco = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (inicio < fin && esBlanco(nombre[inicio]))
        ++inicio;
    while (fin > inicio && esBlanco(nombre[fin - 1]))
        --fin;
    return nombre.mid(inicio, fin - inicio);
}

QString claveNuevaEspecialidad(const QString& nombre, const QStringList& clavesEnUso)
{
    const QString limpio = nombreEspecialidadLimpio(nombre);
    if (limpio.isEmpty())
        return {};

    // Three user-perceived characters, so an accented letter written as two code points counts once.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, limpio);
    qsizetype corte = limpio.size();
    for (int n = 0; n < 3; ++n) {
        const qsizetype siguiente = graphemes.toNextBoundary();
        if (siguiente < 0) {
            corte = limpio.size();
            break;
        }
        corte = siguiente;
    }
    const QString base = limpio.left(corte).toUpper();

    QString clave = base;
    for (int contador = 1; clavesEnUso.contains(clave); ++contador)
        clave = base + QString::number(contador);
    return clave;
}

}  // namespace quelva
