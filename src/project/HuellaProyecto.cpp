#include "project/HuellaProyecto.h"

#include "project/CodificacionProyecto.h"

#include <mutex>
#include <system_error>
#include <thread>

namespace quelva {

DispositivoHuella::DispositivoHuella(QIODevice* destino) : destino_(destino)
{
    open(QIODevice::WriteOnly);
}

qint64 DispositivoHuella::writeData(const char* datos, qint64 n)
{
    if (destino_ && destino_->write(datos, n) != n) {
        setErrorString(destino_->errorString());  // the disk's reason, not a generic one
        return -1;
    }
    hash_.addData(QByteArrayView(datos, n));
    return n;
}

std::optional<QByteArray> huellaProyecto(const ProyectoQUELVA& proyecto)
{
    DispositivoHuella dispositivo;
    if (escribirProyectoQUELVA(proyecto, dispositivo))
        return std::nullopt;
    return dispositivo.resultado();
}

struct HuellaDiferida::Calculo {
    std::once_flag una;
    ProyectoQUELVA documento;
    QByteArray huella;

    void hacer()
    {
        std::call_once(una, [this] {
            huella = huellaProyecto(documento).value_or(QByteArray());
            documento = {};  // its share of the texts and pictures goes now
        });
    }
};

HuellaDiferida HuellaDiferida::conocida(QByteArray huella)
{
    HuellaDiferida h;
    h.calculo_ = std::make_shared<Calculo>();
    std::call_once(h.calculo_->una, [&] { h.calculo_->huella = std::move(huella); });
    return h;
}

HuellaDiferida HuellaDiferida::calcularAparte(ProyectoQUELVA documento)
{
    HuellaDiferida h;
    h.calculo_ = std::make_shared<Calculo>();
    h.calculo_->documento = std::move(documento);
    // Its own thread, not the shared pool: model conversions queued there take seconds each.
    try {
        std::thread([calculo = h.calculo_] { calculo->hacer(); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the first question works it out.
    }
    return h;
}

QByteArray HuellaDiferida::valor() const
{
    if (!calculo_)
        return {};
    calculo_->hacer();
    return calculo_->huella;
}

}  // namespace quelva
