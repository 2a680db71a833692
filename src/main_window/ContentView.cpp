#include "main_window/ContentView.h"

#include "platform/SystemColors.h"
#include "platform/UserInfo.h"
#include "project/GestorProyecto.h"
#include "sections/AlmacenesSeccion.h"
#include "timeline/TimeLinerStore.h"
#include "viewport/ViewportController.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quelva {

ContentView::ContentView(QWidget* parent) : QWidget(parent)
{
    using platform::SystemColor;
    disciplinas.nuevaEspColor = platform::systemColor(SystemColor::teal);
    markup.markupAutor = platform::userFullName();

    viewport_ = new ViewportController(this);
    almacenCotas_ = new AlmacenCotas(this);
    almacenEtiquetas_ = new AlmacenEtiquetas(this);
    gestor_ = new GestorProyecto(this);
    timeLinerStore_ = new TimeLinerStore(TimeLinerConfig{}, this);

    // Until the three-column layout exists, the window shows the brand only.
    auto* layout = new QVBoxLayout(this);
    auto* marca = new QLabel(QStringLiteral("QUELVA"), this);
    marca->setAlignment(Qt::AlignCenter);
    QFont f = marca->font();
    f.setPointSize(28);
    f.setBold(true);
    marca->setFont(f);
    marca->setStyleSheet(QStringLiteral("color: #8e8e93;"));
    layout->addWidget(marca);
}

ContentView::~ContentView() = default;

void ContentView::modificarEspecialidades(const std::function<void(std::map<QString, EspecialidadBIM>&)>& cambio)
{
    if (!cambio)
        return;
    cambio(federacion.especialidades);
    emit especialidadesCambiadas();
}

bool ContentView::hayModelosCargados() const
{
    return federacion.hayModelosCargados();
}

}  // namespace quelva
