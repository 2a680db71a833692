#include "SalidaPorSenal.h"

#include <atomic>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <unistd.h>

namespace quelva::ifcconvert {

namespace {

char parcial[4096];
std::atomic<bool> hayParcial{false};
std::atomic<bool> silencio{false};
// A stack overflow leaves no stack for the handler: it runs on its own.
alignas(16) char pilaAlternativa[1 << 16];

void escribirError(const char* texto, std::size_t n)
{
    while (n > 0) {
        const ssize_t escrito = ::write(STDERR_FILENO, texto, n);
        if (escrito <= 0)
            return;
        texto += escrito;
        n -= static_cast<std::size_t>(escrito);
    }
}

// Only async-signal-safe calls from here on.
void alRecibir(int senal)
{
    if (hayParcial.exchange(false))
        ::unlink(parcial);
    if (silencio) {
        std::signal(senal, SIG_DFL);
        std::raise(senal);
        return;
    }
    char linea[128] = "IfcConvert: el conversor se detuvo por un error interno (se\xC3\xB1" "al ";
    std::size_t n = std::strlen(linea);
    char cifras[12];
    int k = 0;
    for (int v = senal; k == 0 || v > 0; v /= 10)
        cifras[k++] = static_cast<char>('0' + v % 10);
    while (k > 0)
        linea[n++] = cifras[--k];
    linea[n++] = ')';
    linea[n++] = '\n';
    escribirError(linea, n);
    std::signal(senal, SIG_DFL);
    std::raise(senal);
}

}  // namespace

void instalarSalidaPorSenal()
{
    stack_t pila{};
    pila.ss_sp = pilaAlternativa;
    pila.ss_size = sizeof pilaAlternativa;
    ::sigaltstack(&pila, nullptr);
    struct sigaction accion {};
    accion.sa_handler = alRecibir;
    accion.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&accion.sa_mask);
    for (int senal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        ::sigaction(senal, &accion, nullptr);
}

void silenciarSalidaPorSenal()
{
    hayParcial = false;
    silencio = true;
}

void fijarArchivoParcial(const char* ruta)
{
    hayParcial = false;
    if (!ruta || std::strlen(ruta) >= sizeof parcial)
        return;
    std::strcpy(parcial, ruta);
    hayParcial = true;
}

}  // namespace quelva::ifcconvert
