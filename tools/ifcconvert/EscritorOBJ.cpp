#include "EscritorOBJ.h"

#include "GeometriaIFC.h"
#include "SalidaPorSenal.h"

#include <cerrno>
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

void EscritorOBJ::numero(double valor, int digitos)
{
    if (!std::isfinite(valor))
        valor = 0.0;
    if (std::abs(valor) < 1e-12)
        valor = 0.0;  // no "-0" or denormal noise in the text
    char texto[40];
    texto[0] = ' ';
    const auto r = std::to_chars(texto + 1, texto + sizeof texto, valor, std::chars_format::general, digitos);
    escribir(texto, static_cast<std::size_t>(r.ptr - texto));
}

void EscritorOBJ::escribirGrupo(const std::string& nombre, const MallaElemento& malla)
{
    std::string linea = "g ";
    // a line feed would end the group line early; the loader splits lines at line feeds only
    for (char c : nombre)
        linea.push_back(c == '\n' ? ' ' : c);
    linea.push_back('\n');
    escribir(linea.data(), linea.size());

    const std::size_t nv = malla.vertices.size() / 3;
    for (std::size_t i = 0; i < nv; ++i) {
        escribir("v", 1);
        for (int k = 0; k < 3; ++k)
            numero(malla.vertices[3 * i + k], 10);
        escribir("\n", 1);
    }
    auto entero = [this](std::uint64_t valor) {
        char cifras[24];
        const auto r = std::to_chars(cifras, cifras + sizeof cifras, valor);
        escribir(cifras, static_cast<std::size_t>(r.ptr - cifras));
    };
    const double* anterior = nullptr;
    const std::size_t nt = malla.triangulos.size() / 3;
    for (std::size_t t = 0; t < nt; ++t) {
        const double* n = &malla.normales[3 * t];
        // triangles of one face share their normal: write it once
        if (!anterior || n[0] != anterior[0] || n[1] != anterior[1] || n[2] != anterior[2]) {
            escribir("vn", 2);
            for (int k = 0; k < 3; ++k)
                numero(n[k], 7);
            escribir("\n", 1);
            ++normales_;
            anterior = n;
        }
        escribir("f", 1);
        for (int k = 0; k < 3; ++k) {
            escribir(" ", 1);
            entero(vertices_ + malla.triangulos[3 * t + k] + 1);
            escribir("//", 2);
            entero(normales_);
        }
        escribir("\n", 1);
    }
    vertices_ += nv;
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
