#include "federation/ifc/LecturaArchivo.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
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

std::optional<std::string> leerArchivoCompleto(const std::filesystem::path& ruta)
{
    Descriptor d;
    d.fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (d.fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(d.fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
        return std::nullopt;
    try {
        std::string texto;
        texto.resize(static_cast<size_t>(info.st_size));
        size_t leido = 0;
        while (true) {
            if (leido == texto.size())
                texto.resize(texto.size() + 65536);  // the file may have grown since fstat
            const ssize_t n = ::read(d.fd, texto.data() + leido, texto.size() - leido);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return std::nullopt;
            }
            if (n == 0)
                break;
            leido += static_cast<size_t>(n);
        }
        texto.resize(leido);
        return texto;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const std::length_error&) {
        return std::nullopt;
    }
}

}  // namespace quelva
