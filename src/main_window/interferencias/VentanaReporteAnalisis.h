#pragma once

#include "clash/GlobalIdsInterferencia.h"
#include "clash/Interferencia.h"
#include "clash/MiniaturasClash.h"
#include "scene/Scene.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;

namespace quelva {

class ReporteContenidoView;

// "Reporte · <nombre>": one analysis as a report, on a copy taken when it opens. Renders one
// thumbnail per event-loop turn while it is shown, then publishes them all at once; offers the
// HTML page (print and PDF happen in the default application) and the BCF 2.1 package.
class VentanaReporteAnalisis : public QWidget {
    Q_OBJECT
public:
    VentanaReporteAnalisis(AnalisisInterferencias analisis, scene::ScenePtr escena, QWidget* parent = nullptr);
    ~VentanaReporteAnalisis() override;

    const AnalisisInterferencias& analisis() const { return analisis_; }
    // The published thumbnails (empty until every one is rendered).
    const MiniaturasClash& miniaturas() const { return miniaturas_; }
    bool generando() const;
    bool exportandoBCF() const { return exportandoBCF_; }
    std::optional<bool> bcfExito() const { return bcfExito_; }

    QPushButton* botonBCF() const { return bcf_; }
    QPushButton* botonImprimir() const { return imprimir_; }
    ReporteContenidoView* pagina() const { return pagina_; }

    // The elements' GlobalIds as the federation knew them when the report opened (for the BCF).
    void setGlobalIds(std::map<QUuid, GlobalIdsInterferencia> ids) { globalIds_ = std::move(ids); }

    // Where the BCF package goes; by default the save dialog "Guardar informe BCF 2.1".
    void setSelectorDestinoBCF(std::function<std::optional<QString>(const QString& nombre)> selector);

    void exportarBCF();
    void generarHTML();
    void mostrarError(const QString& mensaje);

signals:
    void miniaturasPublicadas();
    void bcfTerminado(bool exito);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void programarMiniaturas();
    void renderSiguiente(int generacion);
    void actualizarBarra();

    AnalisisInterferencias analisis_;
    scene::ScenePtr escena_;
    std::map<QUuid, GlobalIdsInterferencia> globalIds_;
    MiniaturasClash miniaturas_;
    MiniaturasClash pendientes_;
    int generacion_ = 0;  // a close or a new schedule stops the one before
    size_t siguiente_ = 0;
    bool renderizando_ = false;
    bool exportandoBCF_ = false;
    std::optional<bool> bcfExito_;
    std::function<std::optional<QString>(const QString&)> selectorDestino_;

    QLabel* conteo_ = nullptr;
    QWidget* generandoFila_ = nullptr;
    QWidget* filaEstadoBCF_ = nullptr;
    QLabel* simboloBCF_ = nullptr;
    QLabel* estadoBCF_ = nullptr;
    QPushButton* bcf_ = nullptr;
    QProgressBar* giroBCF_ = nullptr;
    QPushButton* imprimir_ = nullptr;
    ReporteContenidoView* pagina_ = nullptr;
};

}  // namespace quelva
