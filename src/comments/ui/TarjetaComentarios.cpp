#include "comments/ui/TarjetaComentarios.h"

#include "comments/ControladorComentarios.h"
#include "comments/ui/EstiloComentarios.h"
#include "comments/ui/FilasComentarios.h"
#include "platform/Symbols.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelva {

QWidget* tarjetaComentarios(ControladorComentarios& controlador, QWidget* padre)
{
    const EstadoMarkup& e = controlador.estado();
    auto* panel = new QWidget(padre);
    panel->setObjectName(QStringLiteral("panelComentarios"));
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(6);

    auto* nuevo = new QPushButton(platform::symbolIcon(QStringLiteral("pencil.tip.crop.circle"), Qt::white),
                                  QStringLiteral("Nuevo comentario"), panel);
    nuevo->setObjectName(QStringLiteral("nuevoComentario"));
    nuevo->setFlat(true);
    nuevo->setStyleSheet(QStringLiteral("text-align: left;"));
    nuevo->setEnabled(controlador.hayModelosCargados());
    QObject::connect(nuevo, &QPushButton::clicked, panel, [&controlador] { controlador.iniciarComentario(); });
    col->addWidget(nuevo);

    if (e.comentarios.empty()) {
        auto* vacio = etiquetaComentario(QStringLiteral("Sin comentarios registrados"), 11, false, colorTerciario(), panel);
        vacio->setObjectName(QStringLiteral("sinComentarios"));
        vacio->setContentsMargins(0, 2, 0, 0);
        col->addWidget(vacio);
        return panel;
    }
    col->addWidget(new FilasComentarios(controlador, e.comentarios, panel));
    auto* divisor = new QFrame(panel);
    divisor->setFrameShape(QFrame::HLine);
    col->addSpacing(4);
    col->addWidget(divisor);
    auto* reporte = new QPushButton(platform::symbolIcon(QStringLiteral("doc.text.fill"), Qt::white),
                                    QStringLiteral("Reporte de comentarios"), panel);
    reporte->setObjectName(QStringLiteral("reporteComentarios"));
    reporte->setCursor(Qt::PointingHandCursor);
    reporte->setStyleSheet(QStringLiteral("QPushButton { background: #0a84ff; color: white; border: none;"
                                          " border-radius: 5px; padding: 4px 8px; font-size: 12px; }"
                                          "QPushButton:hover { background: #3d9bff; }"));
    QObject::connect(reporte, &QPushButton::clicked, panel, [&controlador] { controlador.abrirReporteComentarios(); });
    col->addWidget(reporte);
    return panel;
}

}  // namespace quelva
