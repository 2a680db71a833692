#include "EscritorOBJ.h"

#include "PiezaOBJ.h"
#include "SalidaPorSenal.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quelva::ifcconvert {

namespace {
constexpr std::size_t kTamBufer = 1 << 20;
}

std::string describirError(int codigo)
{
    switch (codigo) {
    case ENOENT: return "la carpeta no existe";
    case EACCES:
    case EPERM: return "permiso denegado";
    case ENOSPC: return "no queda espacio en el disco";
    case EROFS: return "el sistema de archivos es de solo lectura";
    case EISDIR: return "es una carpeta";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    case EDQUOT: return "se superó la cuota de disco";
    default: return std::strerror(codigo);
    }
}

EscritorOBJ::EscritorOBJ(std::string destino) : destino_(std::move(destino)) {}

EscritorOBJ::~EscritorOBJ()
{
    if (archivo_) {
        fijarArchivoParcial(nullptr);
        std::fclose(archivo_);
        ::unlink(temporal_.c_str());
    }
}

bool EscritorOBJ::abrir()
{
    std::string plantilla = destino_ + ".parcial-XXXXXX";
    const int fd = ::mkstemp(plantilla.data());
    if (fd < 0) {
        error_ = describirError(errno);
        return false;
    }
    // mkstemp makes the file private; give it the permissions a plain create would
    const mode_t mascara = ::umask(0);
    ::umask(mascara);
    ::fchmod(fd, 0666 & ~mascara);
    archivo_ = ::fdopen(fd, "wb");
    if (!archivo_) {
        error_ = describirError(errno);
        ::close(fd);
        ::unlink(plantilla.c_str());
        return false;
    }
    temporal_ = plantilla;
    fijarArchivoParcial(temporal_.c_str());
    bufer_.reserve(kTamBufer + 4096);
    static const char cabecera[] = "# QUELVA IfcConvert\n";
    escribir(cabecera, sizeof cabecera - 1);
    return true;
}

void EscritorOBJ::escribir(const char* datos, std::size_t n)
{
    bufer_.append(datos, n);
    if (bufer_.size() >= kTamBufer) {
        if (!fallo_ && std::fwrite(bufer_.data(), 1, bufer_.size(), archivo_) != bufer_.size()) {
            fallo_ = true;
            error_ = describirError(errno);
        }
        bufer_.clear();
    }
}

void EscritorOBJ::escribirGrupo(const std::string& nombre, const PiezaOBJ& pieza)
{
    escribir("g ", 2);
    // a line feed would end the group line early; the loader splits lines at line feeds only
    for (std::size_t desde = 0; desde < nombre.size();) {
        const std::size_t salto = std::min(nombre.find('\n', desde), nombre.size());
        escribir(nombre.data() + desde, salto - desde);
        if (salto < nombre.size())
            escribir(" ", 1);
        desde = salto + 1;
    }
    escribir("\n", 1);
    escribir(pieza.textoVertices.data(), pieza.textoVertices.size());

    std::uint32_t normalEscrita = UINT32_MAX;
    // a face line: "f" and three " a//n" of at most 20 digits each
    char texto[1 + 3 * (1 + 20 + 2 + 20) + 1];
    auto entero = [](char* p, std::uint64_t valor) { return std::to_chars(p, p + 20, valor).ptr; };
    for (std::size_t t = 0; t + 3 < pieza.caras.size(); t += 4) {
        const std::uint32_t normal = pieza.caras[t + 3];
        if (normal != normalEscrita) {
            const std::uint32_t desde = normal == 0 ? 0 : pieza.finNormales[normal - 1];
            escribir(pieza.textoNormales.data() + desde, pieza.finNormales[normal] - desde);
            ++normales_;
            normalEscrita = normal;
        }
        char* p = texto;
        *p++ = 'f';
        for (int k = 0; k < 3; ++k) {
            *p++ = ' ';
            p = entero(p, vertices_ + pieza.caras[t + k] + 1);
            *p++ = '/';
            *p++ = '/';
            p = entero(p, normales_);
        }
        *p++ = '\n';
        escribir(texto, static_cast<std::size_t>(p - texto));
    }
    vertices_ += pieza.vertices;
}

bool EscritorOBJ::terminar()
{
    if (!archivo_)
        return false;
    if (!fallo_ && !bufer_.empty() && std::fwrite(bufer_.data(), 1, bufer_.size(), archivo_) != bufer_.size()) {
        fallo_ = true;
        error_ = describirError(errno);
    }
    bufer_.clear();
    if (!fallo_ && (std::fflush(archivo_) != 0 || ::fsync(::fileno(archivo_)) != 0)) {
        fallo_ = true;
        error_ = describirError(errno);
    }
    fijarArchivoParcial(nullptr);
    const int cierre = std::fclose(archivo_);
    archivo_ = nullptr;
    if (!fallo_ && cierre != 0) {
        fallo_ = true;
        error_ = describirError(errno);
    }
    if (!fallo_ && std::rename(temporal_.c_str(), destino_.c_str()) != 0) {
        fallo_ = true;
        error_ = describirError(errno);
    }
    if (fallo_)
        ::unlink(temporal_.c_str());
    return !fallo_;
}

}  // namespace quelva::ifcconvert
