#include "timeline/csv/ui/IntercambioCSV.h"

#include "platform/SavePanel.h"
#include "timeline/HojasTimeLiner.h"
#include "timeline/csv/ArchivoCSV.h"
#include "timeline/csv/ui/CapaProcesando.h"
#include "timeline/csv/ui/ImportarCSVView.h"

#include "platform/Queues.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include <memory>

namespace quelva {

namespace {

void abrirDialogo(QFileDialog* d, std::function<void(const QString&)> alElegir)
{
    d->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(d, &QFileDialog::fileSelected, d, [alElegir = std::move(alElegir)](const QString& ruta) {
        if (!ruta.isEmpty())
            alElegir(ruta);
    });
    d->open();
}

}  // namespace

ServiciosIntercambioCSV serviciosIntercambioCSV()
{
    ServiciosIntercambioCSV s;
    s.elegirArchivo = [](QWidget* padre, std::function<void(const QString&)> alElegir) {
        auto* d = new QFileDialog(padre, QStringLiteral("Selecciona un archivo CSV con paquetes AWP"));
        d->setFileMode(QFileDialog::ExistingFile);
        d->setAcceptMode(QFileDialog::AcceptOpen);
        d->setNameFilter(QStringLiteral("Texto separado por comas (*.csv)"));
        abrirDialogo(d, std::move(alElegir));
    };
    s.elegirDestino = [](QWidget* padre, std::function<void(const QString&)> alElegir) {
        auto* d =
            new platform::SavePanel(padre, QString(), QStringLiteral("csv"), QStringLiteral("TimeLiner_AWP_QUELVA"));
        d->setNameFilter(QStringLiteral("CSV (*.csv)"));
        abrirDialogo(d, std::move(alElegir));
    };
    s.alertar = [](QWidget* padre, const QString& titulo, const QString& texto) {
        auto* a = new QMessageBox(QMessageBox::Warning, titulo, texto, QMessageBox::NoButton, padre);
        a->setObjectName(QStringLiteral("alertaIntercambioCSV"));
        a->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        a->setAttribute(Qt::WA_DeleteOnClose);
        a->open();
    };
    return s;
}

void registrarIntercambioCSV(ServiciosIntercambioCSV servicios)
{
    auto s = std::make_shared<const ServiciosIntercambioCSV>(std::move(servicios));
    HojasTimeLiner& hojas = hojasTimeLiner();

    hojas.leerCSV = [s](QWidget* padre, std::function<void(std::vector<PaqueteAWP>)> alLeer) {
        QPointer<QWidget> ventana(padre);
        s->elegirArchivo(padre, [s, ventana, alLeer = std::move(alLeer)](const QString& ruta) {
            // What cannot be a CSV file is refused at once; nothing blocks on it.
            auto abierto = abrirArchivoCSV(ruta);
            if (auto* error = std::get_if<QString>(&abierto)) {
                s->alertar(ventana, QStringLiteral("Error al importar CSV"), *error);
                return;
            }
            // A large file takes seconds to read: off the GUI thread, the window covered but drawn.
            QPointer<CapaProcesando> capa;
            if (ventana)
                capa = new CapaProcesando(ventana, QStringLiteral("Leyendo «%1»…").arg(QFileInfo(ruta).fileName()));
            auto archivo = std::make_shared<platform::OpenedRegularFile>(std::move(std::get<0>(abierto)));
            platform::BackgroundQueue::post([s, ventana, alLeer, ruta, archivo, capa] {
                auto leido = std::make_shared<std::variant<std::vector<PaqueteAWP>, QString>>(
                    leerArchivoCSV(ruta, std::move(*archivo)));
                platform::MainQueue::post([s, ventana, alLeer, leido, capa] {
                    // The overlay goes after the hand-over that alLeer queues (the preview or
                    // the alert), so the window is never free in between.
                    platform::MainQueue::post([capa] { delete capa.data(); });
                    if (!ventana)
                        return;
                    if (auto* error = std::get_if<QString>(leido.get())) {
                        s->alertar(ventana, QStringLiteral("Error al importar CSV"), *error);
                        return;
                    }
                    alLeer(std::move(std::get<std::vector<PaqueteAWP>>(*leido)));
                });
            });
        });
    };

    hojas.exportarCSV = [s](QWidget* padre, const TimeLinerConfig& config) {
        QPointer<QWidget> ventana(padre);
        s->elegirDestino(padre, [s, ventana, paquetes = config.paquetes](const QString& ruta) {
            if (const auto error = escribirArchivoCSV(ruta, paquetes))
                s->alertar(ventana, QStringLiteral("Error al exportar CSV"), *error);
        });
    };

    hojas.importarCSV = [](QWidget* padre, std::shared_ptr<const std::vector<PaqueteAWP>> paquetesCSV,
                           std::function<void(const std::vector<PaqueteAWP>&)> confirmar) -> QDialog* {
        return new ImportarCSVView(std::move(paquetesCSV), std::move(confirmar), padre);
    };
}

}  // namespace quelva
