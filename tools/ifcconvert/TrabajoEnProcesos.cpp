#include "TrabajoEnProcesos.h"

#include "SalidaPorSenal.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sched.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quelva::ifcconvert {

namespace {

// What precedes every item's bytes on a worker's pipe.
struct Cabecera {
    std::uint32_t tipo;
    std::uint32_t reservado;
    std::uint64_t item;
    std::uint64_t longitud;
};
constexpr std::uint32_t kItem = 1;
constexpr std::uint32_t kError = 2;

// Bytes received ahead of the item due next: beyond this, only the worker that owes that item
// is read, and the others wait on their full pipes.
constexpr std::size_t kLimiteAdelantado = std::size_t{256} << 20;

bool escribirTodo(int fd, const char* datos, std::size_t n)
{
    while (n > 0) {
        const ssize_t escrito = ::write(fd, datos, n);
        if (escrito < 0 && errno == EINTR)
            continue;
        if (escrito <= 0)
            return false;
        datos += escrito;
        n -= static_cast<std::size_t>(escrito);
    }
    return true;
}

void agregar(std::string& salida, std::uint32_t tipo, std::size_t item, const std::string& bytes)
{
    const Cabecera c{tipo, 0, item, bytes.size()};
    salida.append(reinterpret_cast<const char*>(&c), sizeof c);
    salida.append(bytes);
}

// A worker sends its items in blocks of about this size: a write per item cost more than the
// item on a virtual machine. A crash loses the block being filled; the parent then tries the first
// item it did not get alone, as for a crash on that item, and the rest again in another worker.
constexpr std::size_t kBloqueEnvio = std::size_t{64} << 10;

// Runs a worker holds at a time: it starts on the next while the parent hears of the last.
constexpr int kTramosPendientes = 2;

struct Trabajador {
    pid_t pid = -1;
    int fd = -1;
    int orden = -1;  // where the parent sends more runs; closed when there are no more
    std::vector<std::size_t> cola;  // every item sent to it, in the order it makes them
    std::size_t recibidos = 0;
    std::string entrada;
    std::size_t leido = 0;  // bytes of entrada already taken
    bool solo = false;      // a second try of one item
};

class Coordinador {
public:
    Coordinador(std::size_t n, const TrabajoEnProcesos& trabajo)
        : trabajo_(trabajo), resultados_(n), estado_(n, kPendiente), senales_(n, 0), dueno_(n, 0)
    {
    }

    ~Coordinador()
    {
        // on any way out, no worker outlives the run
        for (Trabajador& t : trabajadores_)
            if (t.pid > 0) {
                ::kill(t.pid, SIGKILL);
                esperar(t.pid);
                ::close(t.fd);
                cerrarOrden(t);
            }
    }

    std::optional<std::string> ejecutar(int procesos)
    {
        const std::size_t n = resultados_.size();
        // Runs of neighbouring items, handed to each worker as it gets through the ones it holds:
        // a worker's first touch of a page of the shared model costs a fault, and neighbouring
        // items mostly lie on neighbouring pages; dealt on demand, a worker slowed down by other
        // work on the machine holds up no more than its last run.
        const auto p = static_cast<std::size_t>(procesos);
        tramo_ = std::clamp<std::size_t>(n / (p * 16), 1, 64);
        for (std::size_t w = 0; w < p && siguienteNuevo_ < n; ++w) {
            std::vector<std::size_t> cola;
            for (int r = 0; r < kTramosPendientes; ++r)
                agregarTramo(cola);
            lanzar(std::move(cola), false);
        }
        std::vector<pollfd> sondeos;
        std::vector<std::size_t> deQuien;
        while (siguiente_ < n) {
            sondeos.clear();
            deQuien.clear();
            const bool soloElDeudor = adelantado_ > kLimiteAdelantado;
            for (std::size_t w = 0; w < trabajadores_.size(); ++w) {
                const Trabajador& t = trabajadores_[w];
                if (t.pid <= 0 || (soloElDeudor && dueno_[siguiente_] != w))
                    continue;
                sondeos.push_back({t.fd, POLLIN, 0});
                deQuien.push_back(w);
            }
            if (sondeos.empty())
                throw std::logic_error("no worker owes the next item");
            if (::poll(sondeos.data(), sondeos.size(), -1) < 0) {
                if (errno == EINTR)
                    continue;
                throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
            }
            for (std::size_t s = 0; s < sondeos.size(); ++s)
                if (sondeos[s].revents != 0) {
                    if (auto error = leer(deQuien[s]))
                        return error;
                    repartir(deQuien[s]);
                }
            entregarListos();
        }
        return std::nullopt;
    }

private:
    enum : std::uint8_t { kPendiente, kListo, kCaido };

    static int esperar(pid_t pid)
    {
        int estado = 0;
        while (::waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
        }
        return estado;
    }

    // The next run of items not yet handed out, onto cola.
    void agregarTramo(std::vector<std::size_t>& cola)
    {
        const std::size_t fin = std::min(siguienteNuevo_ + tramo_, resultados_.size());
        for (; siguienteNuevo_ < fin; ++siguienteNuevo_)
            cola.push_back(siguienteNuevo_);
    }

    static void cerrarOrden(Trabajador& t)
    {
        if (t.orden >= 0)
            ::close(t.orden);
        t.orden = -1;
    }

    // Keeps a worker that is still being dealt to a run ahead; with none left, tells it so.
    void repartir(std::size_t w)
    {
        Trabajador& t = trabajadores_[w];
        if (t.pid <= 0 || t.orden < 0)
            return;
        if (siguienteNuevo_ >= resultados_.size()) {
            cerrarOrden(t);
            return;
        }
        if (t.cola.size() - t.recibidos > tramo_ * (kTramosPendientes - 1))
            return;
        const std::size_t desde = t.cola.size();
        agregarTramo(t.cola);
        for (std::size_t i = desde; i < t.cola.size(); ++i)
            dueno_[t.cola[i]] = w;
        const std::uint64_t orden[2] = {t.cola[desde], t.cola.back() + 1};
        // a worker that has died is seen at its pipe's end, which takes its items back
        if (::send(t.orden, orden, sizeof orden, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof orden))
            cerrarOrden(t);
    }

    void lanzar(std::vector<std::size_t> cola, bool solo)
    {
        int tubo[2];
        if (::pipe2(tubo, O_CLOEXEC) != 0)
            throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
        int ordenes[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ordenes) != 0) {
            const int error = errno;
            ::close(tubo[0]);
            ::close(tubo[1]);
            throw std::runtime_error(std::string("socketpair: ") + std::strerror(error));
        }
        const pid_t padre = ::getpid();
        const pid_t pid = ::fork();
        if (pid < 0) {
            const int error = errno;
            for (const int fd : {tubo[0], tubo[1], ordenes[0], ordenes[1]})
                ::close(fd);
            throw std::runtime_error(std::string("fork: ") + std::strerror(error));
        }
        if (pid == 0) {
            ::close(ordenes[0]);
            trabajar(tubo, ordenes[1], padre, cola);  // never returns
        }
        ::close(tubo[1]);
        ::close(ordenes[1]);
        ::fcntl(tubo[0], F_SETPIPE_SZ, 1 << 20);  // fewer wake-ups; the default size serves as well
        Trabajador t;
        t.pid = pid;
        t.fd = tubo[0];
        t.orden = ordenes[0];
        t.cola = std::move(cola);
        t.solo = solo;
        // a finished worker's slot is reused, so the table stays as small as the worker count
        std::size_t w = 0;
        while (w < trabajadores_.size() && trabajadores_[w].pid > 0)
            ++w;
        if (w == trabajadores_.size())
            trabajadores_.emplace_back();
        for (const std::size_t i : t.cola)
            dueno_[i] = w;
        trabajadores_[w] = std::move(t);
        // a second try of one item gets nothing more
        if (solo)
            cerrarOrden(trabajadores_[w]);
    }

    // Reads the next run the parent hands out into cola; false when it has none left.
    static bool recibirTramo(int orden, std::vector<std::size_t>& cola)
    {
        std::uint64_t tramo[2];
        std::size_t leidos = 0;
        while (leidos < sizeof tramo) {
            const ssize_t r = ::read(orden, reinterpret_cast<char*>(tramo) + leidos, sizeof tramo - leidos);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return false;
            leidos += static_cast<std::size_t>(r);
        }
        cola.clear();
        for (std::uint64_t i = tramo[0]; i < tramo[1]; ++i)
            cola.push_back(static_cast<std::size_t>(i));
        return true;
    }

    [[noreturn]] void trabajar(const int tubo[2], int orden, pid_t padre, std::vector<std::size_t> cola)
    {
        // the worker dies with the run, stays silent on a crash (the parent reports it) and
        // never touches the parent's output file
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != padre)
            ::_exit(1);
        silenciarSalidaPorSenal();
        ::close(tubo[0]);
        for (const Trabajador& otro : trabajadores_)
            if (otro.pid > 0) {
                ::close(otro.fd);
                if (otro.orden >= 0)
                    ::close(otro.orden);
            }
        std::string bytes;
        std::string salida;
        salida.reserve(2 * kBloqueEnvio);
        do {
            for (const std::size_t i : cola) {
                bytes.clear();
                try {
                    trabajo_.producir(i, bytes);
                } catch (...) {
                    std::string mensaje;
                    try {
                        mensaje = trabajo_.mensajeDeError(std::current_exception());
                    } catch (...) {
                        mensaje = "error inesperado";
                    }
                    agregar(salida, kError, i, mensaje);
                    escribirTodo(tubo[1], salida.data(), salida.size());
                    ::_exit(1);
                }
                agregar(salida, kItem, i, bytes);
                if (salida.size() >= kBloqueEnvio) {
                    if (!escribirTodo(tubo[1], salida.data(), salida.size()))
                        ::_exit(1);
                    salida.clear();
                }
            }
            // what it holds goes out before it waits: the parent deals on what it has received
            if (!escribirTodo(tubo[1], salida.data(), salida.size()))
                ::_exit(1);
            salida.clear();
        } while (recibirTramo(orden, cola));
        ::_exit(0);
    }

    // Takes what the worker sent; at its end, sees how it ended.
    std::optional<std::string> leer(std::size_t w)
    {
        Trabajador& t = trabajadores_[w];
        char bloque[1 << 18];
        const ssize_t n = ::read(t.fd, bloque, sizeof bloque);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                return std::nullopt;
            throw std::runtime_error(std::string("read: ") + std::strerror(errno));
        }
        if (n > 0) {
            t.entrada.append(bloque, static_cast<std::size_t>(n));
            return tomarRegistros(t);
        }
        ::close(t.fd);
        cerrarOrden(t);
        const int estado = esperar(t.pid);
        t.pid = -1;
        t.fd = -1;
        // however it ended, a worker that owed nothing (one killed while it waited for more) costs nothing
        if (t.recibidos == t.cola.size())
            return std::nullopt;
        // it died on the item after the last it sent
        const int senal = WIFSIGNALED(estado) ? WTERMSIG(estado) : 0;
        const std::size_t item = t.cola.at(t.recibidos);
        std::vector<std::size_t> resto(t.cola.begin() + static_cast<std::ptrdiff_t>(t.recibidos) + 1, t.cola.end());
        if (t.solo) {
            estado_[item] = kCaido;
            senales_[item] = senal;
        } else {
            lanzar({item}, true);
        }
        if (!resto.empty())
            lanzar(std::move(resto), false);
        return std::nullopt;
    }

    std::optional<std::string> tomarRegistros(Trabajador& t)
    {
        while (t.entrada.size() - t.leido >= sizeof(Cabecera)) {
            Cabecera c;
            std::memcpy(&c, t.entrada.data() + t.leido, sizeof c);
            if (t.entrada.size() - t.leido - sizeof c < c.longitud)
                break;
            const char* datos = t.entrada.data() + t.leido + sizeof c;
            if (c.tipo == kError)
                return std::string(datos, c.longitud);
            if (c.tipo != kItem || t.recibidos >= t.cola.size() || c.item != t.cola[t.recibidos])
                throw std::logic_error("a worker sent an item out of turn");
            resultados_[c.item].assign(datos, c.longitud);
            estado_[c.item] = kListo;
            adelantado_ += c.longitud;
            ++t.recibidos;
            t.leido += sizeof c + c.longitud;
        }
        if (t.leido > 0 && t.leido * 2 >= t.entrada.size()) {
            t.entrada.erase(0, t.leido);
            t.leido = 0;
        }
        return std::nullopt;
    }

    void entregarListos()
    {
        while (siguiente_ < resultados_.size() && estado_[siguiente_] != kPendiente) {
            std::string bytes = std::move(resultados_[siguiente_]);
            adelantado_ -= bytes.size();
            if (estado_[siguiente_] == kListo)
                trabajo_.entregar(siguiente_, bytes);
            else
                trabajo_.caido(siguiente_, senales_[siguiente_]);
            ++siguiente_;
        }
    }

    const TrabajoEnProcesos& trabajo_;
    std::vector<std::string> resultados_;
    std::vector<std::uint8_t> estado_;
    std::vector<int> senales_;
    std::vector<std::size_t> dueno_;
    std::vector<Trabajador> trabajadores_;
    std::size_t siguiente_ = 0;
    std::size_t adelantado_ = 0;
    std::size_t tramo_ = 1;
    std::size_t siguienteNuevo_ = 0;  // the first item not yet handed to a worker
};

}  // namespace

std::optional<std::string> ejecutarEnProcesos(std::size_t n, int procesos, const TrabajoEnProcesos& trabajo)
{
    if (n == 0)
        return std::nullopt;
    Coordinador coordinador(n, trabajo);
    return coordinador.ejecutar(procesos < 1 ? 1 : procesos);
}

int procesadoresDisponibles()
{
    cpu_set_t conjunto;
    CPU_ZERO(&conjunto);
    if (::sched_getaffinity(0, sizeof conjunto, &conjunto) == 0)
        return std::max(1, CPU_COUNT(&conjunto));
    const long n = ::sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}

}  // namespace quelva::ifcconvert
