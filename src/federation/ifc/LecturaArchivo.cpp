#include "federation/ifc/LecturaArchivo.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quelva {

namespace {

struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

ContenidoArchivo::ContenidoArchivo(ContenidoArchivo&& otro) noexcept
    : datos_(otro.datos_), largo_(otro.largo_), reservado_(otro.reservado_)
{
    otro.datos_ = nullptr;
    otro.largo_ = otro.reservado_ = 0;
}

ContenidoArchivo& ContenidoArchivo::operator=(ContenidoArchivo&& otro) noexcept
{
    if (this != &otro) {
        if (datos_)
            ::munmap(datos_, reservado_);
        datos_ = otro.datos_;
        largo_ = otro.largo_;
        reservado_ = otro.reservado_;
        otro.datos_ = nullptr;
        otro.largo_ = otro.reservado_ = 0;
    }
    return *this;
}

ContenidoArchivo::~ContenidoArchivo()
{
    if (datos_)
        ::munmap(datos_, reservado_);
}

std::optional<ContenidoArchivo> leerContenidoArchivo(const std::filesystem::path& ruta)
{
    Descriptor d;
    d.fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (d.fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(d.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
        return std::nullopt;
    ContenidoArchivo contenido;
    const auto tamano = static_cast<size_t>(info.st_size);
    if (tamano == 0)
        return contenido;
    // Pages of our own, faulted in at once; the file itself is not mapped, so a file
    // cut short by someone else while we read cannot fault us.
    void* memoria = ::mmap(nullptr, tamano, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (memoria == MAP_FAILED)
        return std::nullopt;
    contenido.datos_ = static_cast<char*>(memoria);
    contenido.reservado_ = tamano;
    while (contenido.largo_ < tamano) {
        const ssize_t n = ::read(d.fd, contenido.datos_ + contenido.largo_, tamano - contenido.largo_);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;  // shorter than it was: keep what is there
        contenido.largo_ += static_cast<size_t>(n);
    }
    return contenido;
}

bool esTextoUTF8(std::string_view s)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        // Plain ASCII runs go eight bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t bloque;
            std::memcpy(&bloque, p + i, 8);
            if (bloque & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t largo;
        unsigned char min2 = 0x80, max2 = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            largo = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            largo = 3;
            if (c == 0xE0)
                min2 = 0xA0;
            if (c == 0xED)
                max2 = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            largo = 4;
            if (c == 0xF0)
                min2 = 0x90;
            if (c == 0xF4)
                max2 = 0x8F;
        } else {
            return false;
        }
        if (i + largo > n)
            return false;
        if (p[i + 1] < min2 || p[i + 1] > max2)
            return false;
        for (size_t k = 2; k < largo; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        }
        i += largo;
    }
    return true;
}

}  // namespace quelva
