#include "timeline/impresion/FichaPDF.h"

#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace quelva {

namespace {

constexpr int kMargen = 24;
constexpr int kEntreSecciones = 8;

// Each section in its own 732-wide frame, padded 24; one wider than the frame allows (the
// children table is 724) keeps its width and sits centred.
std::unique_ptr<QWidget> paginaFicha(const DatosFicha& datos, const QDateTime& preparado)
{
    auto raiz = std::make_unique<QWidget>();
    raiz->setAttribute(Qt::WA_DontShowOnScreen);
    raiz->setAutoFillBackground(true);
    QPalette pal = raiz->palette();
    pal.setColor(QPalette::Window, fondoFicha());
    raiz->setPalette(pal);
    auto* pila = new QVBoxLayout(raiz.get());
    pila->setContentsMargins(0, 0, 0, 0);
    pila->setSpacing(kEntreSecciones);
    for (QWidget* seccion : seccionesFicha(datos, preparado)) {
        auto* marco = new QWidget;
        marco->setProperty("cortePagina", true);
        const int ancho = seccion->minimumSizeHint().width();
        const int lado = std::clamp((int(kAnchoPaginaFicha) - ancho) / 2, 0, kMargen);
        auto* l = new QVBoxLayout(marco);
        l->setContentsMargins(lado, kMargen, lado, kMargen);
        l->addWidget(seccion);
        pila->addWidget(marco);
    }
    pila->addStretch(1);
    raiz->setFixedWidth(int(kAnchoPaginaFicha));
    return raiz;
}

}  // namespace

std::vector<double> iniciosPaginasFicha(double alto, std::vector<double> cortes)
{
    std::sort(cortes.begin(), cortes.end());
    std::vector<double> inicios{0};
    while (inicios.back() + kAltoPaginaFicha - (inicios.size() > 1 ? kMargenContinuacion : 0) < alto) {
        const double inicio = inicios.back();
        const double fin = inicio + kAltoPaginaFicha - (inicios.size() > 1 ? kMargenContinuacion : 0);
        double siguiente = fin;
        auto hasta = std::upper_bound(cortes.begin(), cortes.end(), fin);
        if (hasta != cortes.begin() && *std::prev(hasta) > inicio)
            siguiente = *std::prev(hasta);
        inicios.push_back(siguiente);
    }
    return inicios;
}

std::optional<QString> escribirPDFFicha(const QString& destino, const DatosFicha& datos, const QDateTime& preparado)
{
    std::unique_ptr<QWidget> raiz = paginaFicha(datos, preparado);
    raiz->show();  // never on screen; lays the sections out
    raiz->layout()->activate();
    const int alto = std::max(raiz->layout()->heightForWidth(int(kAnchoPaginaFicha)),
                              raiz->layout()->minimumSize().height());
    raiz->resize(int(kAnchoPaginaFicha), std::max(alto, int(kAltoPaginaFicha)));
    raiz->layout()->activate();

    std::vector<double> cortes;
    for (QWidget* w : raiz->findChildren<QWidget*>())
        if (w->property("cortePagina").toBool())
            cortes.push_back(w->mapTo(raiz.get(), QPoint(0, 0)).y());
    // Blank space after the last section does not make a page of its own.
    const double usado = raiz->layout()->count() > 1
                             ? raiz->layout()->itemAt(raiz->layout()->count() - 2)->geometry().bottom() + 1
                             : 0;
    const std::vector<double> inicios = iniciosPaginasFicha(usado, cortes);

    // The whole document in memory first: the PDF writer closes its device at the end, which
    // would forget an earlier failed write; the replace then writes and checks every byte.
    QByteArray bytes;
    {
        QBuffer memoria(&bytes);
        memoria.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&memoria);
        pdf.setResolution(72);
        pdf.setCreator(QStringLiteral("QUELVA"));
        pdf.setTitle(QStringLiteral("Ficha AWP ") + datos.paquete.codigo);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(kAnchoPaginaFicha, kAltoPaginaFicha), QPageSize::Point,
                                                QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter p;
        if (!p.begin(&pdf))
            return QStringLiteral("No se pudo crear el documento PDF.");
        for (size_t k = 0; k < inicios.size(); ++k) {
            if (k > 0)
                pdf.newPage();
            p.fillRect(QRectF(0, 0, kAnchoPaginaFicha, kAltoPaginaFicha), fondoFicha());
            const double arriba = k > 0 ? kMargenContinuacion : 0;
            const double fin = k + 1 < inicios.size() ? inicios[k + 1] : inicios[k] + kAltoPaginaFicha - arriba;
            const QRect fuente(0, int(inicios[k]), int(kAnchoPaginaFicha), int(fin - inicios[k]));
            raiz->render(&p, QPoint(0, int(arriba)), QRegion(fuente), QWidget::DrawChildren);
        }
        if (!p.end())
            return QStringLiteral("No se pudo terminar el documento PDF.");
    }
    return platform::replaceFileAtomically(destino, bytes);
}

}  // namespace quelva
