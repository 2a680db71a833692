#pragma once

#include "federation/Especialidad.h"

#include <QWidget>

class QMenu;

namespace quelva {

class ContentView;

// The federation card: one block per discipline (header with visibility, name and "Vincular IFC",
// then one row per linked model) and the "Nueva especialidad" button.
class TarjetaFederacion : public QWidget {
    Q_OBJECT
public:
    explicit TarjetaFederacion(ContentView& vista, QWidget* parent = nullptr);

    // The context menus, filled as the card shows them (empty for a discipline without models).
    static void llenarMenuEspecialidad(QMenu& menu, ContentView& vista, const QString& key);
    static void llenarMenuModelo(QMenu& menu, ContentView& vista, const QString& key, const ModeloVinculado& modelo);

private:
    QWidget* bloqueEspecialidad(const QString& key, const EspecialidadBIM& esp);
    QWidget* filaModelo(const QString& key, const ModeloVinculado& modelo);

    ContentView& vista_;
};

}  // namespace quelva
