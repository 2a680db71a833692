#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace quelva {

enum class TipoCambioTRELM { agregado, eliminado, modificado };

inline constexpr std::array<TipoCambioTRELM, 3> todosLosTiposCambioTRELM = {
    TipoCambioTRELM::agregado, TipoCambioTRELM::eliminado, TipoCambioTRELM::modificado};

QString textoTipoCambioTRELM(TipoCambioTRELM tipo);
// Exactly the three raw texts, case-sensitive, untrimmed.
std::optional<TipoCambioTRELM> tipoCambioTRELMDesdeTexto(const QString& texto);

// One added, removed or modified element of a comparison.
struct ElementoCambioTRELM {
    QUuid id = QUuid::createUuid();
    QString nombre;   // node name after the first "/", or the whole name
    QString tipoIFC;  // node name before the first "/", empty without one
    TipoCambioTRELM tipoCambio = TipoCambioTRELM::agregado;
    float deltaPosicion = 0;  // metres, 0 for added and removed
    float deltaTamano = 0;
};

// Outcome of one comparison; held in memory only.
struct ResultadoTRELM {
    QUuid id = QUuid::createUuid();
    QDateTime fecha;
    QString archivoBase;
    QString archivoNuevo;
    std::vector<ElementoCambioTRELM> elementos;  // ascending by nombre, stable
    std::int64_t iguales = 0;

    std::vector<ElementoCambioTRELM> agregados() const { return deTipo(TipoCambioTRELM::agregado); }
    std::vector<ElementoCambioTRELM> eliminados() const { return deTipo(TipoCambioTRELM::eliminado); }
    std::vector<ElementoCambioTRELM> modificados() const { return deTipo(TipoCambioTRELM::modificado); }

private:
    std::vector<ElementoCambioTRELM> deTipo(TipoCambioTRELM tipo) const
    {
        std::vector<ElementoCambioTRELM> out;
        for (const auto& e : elementos)
            if (e.tipoCambio == tipo)
                out.push_back(e);
        return out;
    }
};

// Counters shown by the comparison panel.
struct EstadisticasTRELM {
    std::int64_t agregados = 0;
    std::int64_t eliminados = 0;
    std::int64_t modificados = 0;
    std::int64_t iguales = 0;

    bool operator==(const EstadisticasTRELM&) const = default;
};

}  // namespace quelva
