#pragma once

// A fingerprint of the document a save would write, to tell unsaved work from saved work
// without keeping or building the whole text.

#include "project/ProyectoQUELVA.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QIODevice>

#include <memory>
#include <optional>

namespace quelva {

// A digest of the saved bytes, hashed as they stream; none when the project cannot be written.
std::optional<QByteArray> huellaProyecto(const ProyectoQUELVA& proyecto);

// Hashes what is written through it on its way to `destino` (none: hashes only), so one encoding
// gives both the file and its fingerprint.
class DispositivoHuella : public QIODevice {
public:
    explicit DispositivoHuella(QIODevice* destino = nullptr);
    QByteArray resultado() const { return hash_.result(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* datos, qint64 n) override;

private:
    QIODevice* destino_;
    // Not a security boundary, only a change detector: the fastest strong digest Qt has.
    QCryptographicHash hash_{QCryptographicHash::Blake2b_256};
};

// The fingerprint of a document, worked out on a thread of its own so opening a project does not
// wait for a second encoding. Asking before it is ready works it out at once, or waits for the
// run already at it: never behind other queued work.
class HuellaDiferida {
public:
    HuellaDiferida() = default;
    // Already known (after a save); empty: a state that could not be written.
    static HuellaDiferida conocida(QByteArray huella);
    static HuellaDiferida calcularAparte(ProyectoQUELVA documento);

    // Empty when the document cannot be written.
    QByteArray valor() const;

private:
    struct Calculo;
    std::shared_ptr<Calculo> calculo_;
};

}  // namespace quelva
