#include "timeline/impresion/FichaAWPView.h"

#include "timeline/impresion/FichaPDF.h"
#include "timeline/impresion/GuardarPDF.h"
#include "timeline/impresion/TextoImpresion.h"
#include "timeline/ui/EstiloTimeLiner.h"

#include "platform/Resources.h"
#include "platform/Symbols.h"

#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace quelva {

namespace {

QLabel* etiqueta(const QString& t, QFont f, const QColor& color)
{
    auto* l = new QLabel(t);
    l->setTextFormat(Qt::PlainText);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    return l;
}

}  // namespace

FichaAWPView::FichaAWPView(DatosFicha datos, QWidget* padre) : QDialog(padre), datos_(std::move(datos))
{
    setObjectName(QStringLiteral("fichaAWP"));
    setWindowTitle(QStringLiteral("Ficha AWP"));
    setFixedSize(780, 660);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, fondoFicha());
    pal.setColor(QPalette::WindowText, estilo::texto());
    setPalette(pal);

    auto* cuerpo = new QVBoxLayout(this);
    cuerpo->setContentsMargins(0, 0, 0, 0);
    cuerpo->setSpacing(0);

    auto* cabecera = new QWidget;
    auto* fila = new QHBoxLayout(cabecera);
    fila->setContentsMargins(16, 16, 16, 16);
    fila->setSpacing(12);
    auto* logo = new QLabel;
    logo->setObjectName(QStringLiteral("logoQUELVA"));
    if (const auto ruta = platform::Resources::path(QStringLiteral("logoQUELVA"), QStringLiteral("png"))) {
        const QPixmap imagen(*ruta);
        if (!imagen.isNull())
            logo->setPixmap(imagen.scaledToHeight(32, Qt::SmoothTransformation));
    }
    fila->addWidget(logo);
    auto* titulo = new QVBoxLayout;
    titulo->setSpacing(2);
    const PaqueteAWP& p = datos_.paquete;
    titulo->addWidget(etiqueta(p.nivel == NivelAWP::cwa ? QStringLiteral("Construction Work Area")
                                                         : QStringLiteral("Construction Work Package"),
                               fuenteFicha(17, QFont::Bold), estilo::texto()));
    const QString linea = p.nombre.isEmpty() ? p.codigo : p.codigo + QStringLiteral(" — ") + p.nombre;
    QLabel* subtitulo = etiqueta(linea, fuenteFicha(12), estilo::secundario());
    subtitulo->setObjectName(QStringLiteral("subtituloFicha"));
    titulo->addWidget(subtitulo);
    fila->addLayout(titulo);
    fila->addStretch(1);
    auto* exportar = new QPushButton(platform::symbolIcon(QStringLiteral("doc.richtext")),
                                     QStringLiteral("Exportar PDF"));
    exportar->setObjectName(QStringLiteral("exportarPDF"));
    exportar->setDefault(true);
    auto* cerrar = new QPushButton(QStringLiteral("Cerrar"));
    cerrar->setObjectName(QStringLiteral("cerrar"));
    cerrar->setAutoDefault(false);
    fila->addWidget(exportar);
    fila->addWidget(cerrar);
    connect(exportar, &QPushButton::clicked, this, &FichaAWPView::exportarPDF);
    connect(cerrar, &QPushButton::clicked, this, &QDialog::reject);
    cuerpo->addWidget(cabecera);

    auto* divisor = new QFrame;
    divisor->setFrameShape(QFrame::HLine);
    divisor->setFixedHeight(1);
    divisor->setStyleSheet(QStringLiteral("background: rgba(255,255,255,28); border: none;"));
    cuerpo->addWidget(divisor);

    auto* desplazable = new QScrollArea;
    desplazable->setObjectName(QStringLiteral("contenidoFicha"));
    desplazable->setFrameShape(QFrame::NoFrame);
    desplazable->setWidgetResizable(true);
    desplazable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    desplazable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* contenido = new QWidget;
    contenido->setAutoFillBackground(true);
    contenido->setPalette(pal);
    auto* pila = new QVBoxLayout(contenido);
    pila->setContentsMargins(24, 24, 24, 24);
    pila->setSpacing(0);
    for (QWidget* seccion : seccionesFicha(datos_, QDateTime::currentDateTime()))
        pila->addWidget(seccion);
    pila->addStretch(1);
    desplazable->setWidget(contenido);
    cuerpo->addWidget(desplazable, 1);
}

void FichaAWPView::exportarPDF()
{
    if (dialogo_)
        return;
    // The card as it is now travels with the dialog; "Cerrar" before choosing still writes it.
    dialogo_ = pedirDestinoPDF(parentWidget() ? parentWidget() : this, QString(),
                               QStringLiteral("Ficha_AWP_") + datos_.paquete.codigo,
                               [datos = datos_](const QString& ruta) { return escribirPDFFicha(ruta, datos); });
}

}  // namespace quelva
