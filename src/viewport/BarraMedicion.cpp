#include "viewport/BarraMedicion.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace quelva {

BarraMedicion::BarraMedicion(QWidget* parent) : QWidget(parent)
{
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(0, 0, 0, 0);
    for (auto*& b : modos_) {
        b = new QToolButton(this);
        fila->addWidget(b);
    }
    limpiar_ = new QToolButton(this);
    cerrar_ = new QToolButton(this);
    fila->addWidget(limpiar_);
    fila->addWidget(cerrar_);
}

void BarraMedicion::actualizar(const EstadoMedicion&) {}

QToolButton* BarraMedicion::botonModo(ModoMedicion3D modo) const
{
    const int i = static_cast<int>(modo) - 1;
    return i >= 0 && i < 4 ? modos_[i] : nullptr;
}

QString rotuloModo(ModoMedicion3D) { return {}; }
QString ayudaBotonModo(ModoMedicion3D, ModoMedicion3D) { return {}; }

}  // namespace quelva
