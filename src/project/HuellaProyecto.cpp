#include "project/HuellaProyecto.h"

#include "project/CodificacionProyecto.h"

#include <QCryptographicHash>
#include <QIODevice>

namespace quelva {

namespace {

// A device that only hashes what is written to it.
class DispositivoHuella : public QIODevice {
public:
    DispositivoHuella() { open(QIODevice::WriteOnly); }
    QByteArray resultado() const { return hash_.result(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* datos, qint64 n) override
    {
        hash_.addData(QByteArrayView(datos, n));
        return n;
    }

private:
    QCryptographicHash hash_{QCryptographicHash::Sha256};
};

}  // namespace

std::optional<QByteArray> huellaProyecto(const ProyectoQUELVA& proyecto)
{
    DispositivoHuella dispositivo;
    if (escribirProyectoQUELVA(proyecto, dispositivo))
        return std::nullopt;
    return dispositivo.resultado();
}

}  // namespace quelva
