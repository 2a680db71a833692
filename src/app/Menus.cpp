#include "app/Menus.h"

#include "platform/NotificationCenter.h"

namespace quelva {

std::vector<Menu> menusDeComandos()
{
    namespace N = platform::NotificationName;
    const auto ctrl = [](int key) { return QKeySequence(Qt::CTRL | key); };
    const auto ctrlShift = [](int key) { return QKeySequence(Qt::CTRL | Qt::SHIFT | key); };
    return {
        {QStringLiteral("Archivo"),
         {
             {QStringLiteral("Abrir IFC..."), ctrl(Qt::Key_O), N::abrirIFC},
             {},
             {QStringLiteral("Guardar proyecto"), ctrl(Qt::Key_S), N::guardarProyecto},
             {QStringLiteral("Abrir proyecto..."), ctrlShift(Qt::Key_O), N::abrirProyecto},
             {},
             {QStringLiteral("Exportar paquete compartible..."), ctrlShift(Qt::Key_E), N::exportarPaquete},
             {QStringLiteral("Abrir paquete compartible..."), QKeySequence(), N::importarPaquete},
         }},
        {QStringLiteral("Herramientas"),
         {
             {QStringLiteral("Cuantificación (QTO)..."), ctrlShift(Qt::Key_Q), N::abrirQTO},
         }},
    };
}

void publicarNotificacion(const QString& nombre)
{
    platform::NotificationCenter::defaultCenter().post(nombre);
}

}  // namespace quelva
