#include "sections/Vista2DController.h"

#include "sections/AlmacenesSeccion.h"

namespace quelva {

std::function<void()> devolucionAlmacenes(Vista2DController* controller, const QString& titulo,
                                          AlmacenCotas* cotas, AlmacenEtiquetas* etiquetas)
{
    return [controller = QPointer<Vista2DController>(controller), titulo,
            cotas = QPointer<AlmacenCotas>(cotas), etiquetas = QPointer<AlmacenEtiquetas>(etiquetas)] {
        const Vista2DNSView* vista = controller ? controller->nsView.data() : nullptr;
        if (cotas)
            cotas->porTitulo[titulo] = vista ? vista->cotas() : std::vector<Cota2D>{};
        if (etiquetas)
            etiquetas->porTitulo[titulo] = vista ? vista->etiquetas() : std::vector<Etiqueta2D>{};
    };
}

}  // namespace quelva
