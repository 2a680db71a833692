#include "MemoriaKernel.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

namespace quelva::ifcconvert {

namespace {

// Far above where the system puts the program, its heap and its libraries, and clear of the
// address sanitizer's shadow and heap; the next ones in case a run finds one taken.
constexpr std::uintptr_t kDirecciones[] = {0x500000000000, 0x520000000000, 0x540000000000};
constexpr int kBitsReserva = 40;  // 1 TiB of addresses; pages are committed as they are first reached
constexpr std::size_t kReserva = std::size_t{1} << kBitsReserva;
constexpr std::size_t kPasoCompromiso = std::size_t{64} << 20;
// Pages kept from one product to the next; the rest of a large one goes back to the system.
constexpr std::size_t kConservado = std::size_t{256} << 20;
constexpr std::size_t kCabecera = 16;  // the block's class and where the block starts, before what is handed out
// Sizes: 16 to 128 in steps of 16, then four classes per doubling.
constexpr int kClasesPequenas = 8;
constexpr int kClases = kClasesPequenas + 4 * (kBitsReserva - 7);

int clase(std::size_t n)
{
    if (n <= 128)
        return static_cast<int>((n + 15) / 16) - 1;
    const int e = std::bit_width(n - 1) - 1;  // >= 7
    const int sub = static_cast<int>(((n - 1) >> (e - 2)) & 3);
    return kClasesPequenas + (e - 7) * 4 + sub;
}

std::size_t tamanoClase(int c)
{
    if (c < kClasesPequenas)
        return static_cast<std::size_t>(c + 1) * 16;
    const int e = 7 + (c - kClasesPequenas) / 4;
    const int sub = (c - kClasesPequenas) % 4;
    return static_cast<std::size_t>(5 + sub) << (e - 2);
}

struct Cabecera {
    std::uint32_t clase;
    std::uint32_t desdeBloque;  // bytes from the block's start to what was handed out
};

// Constant-initialised: new may be called before any constructor of this file has run.
struct Region {
    char* base = nullptr;
    char* libre = nullptr;         // never handed out from here on
    char* comprometido = nullptr;  // readable and writable up to here
    char* alcanzado = nullptr;     // the furthest libre got since the last reset
    void* listas[kClases] = {};    // freed blocks by class, each holding the next
    std::size_t enUso = 0;
    bool sinRegion = false;
};

Region region;
// Only the converting thread turns it on; the others never see the region.
thread_local bool activa = false;

bool reservar()
{
    if (region.base)
        return true;
    if (region.sinRegion)
        return false;
    for (const std::uintptr_t direccion : kDirecciones) {
        void* p = ::mmap(reinterpret_cast<void*>(direccion), kReserva, PROT_NONE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE, -1, 0);
        if (p == MAP_FAILED)
            continue;
        if (reinterpret_cast<std::uintptr_t>(p) != direccion) {  // a kernel that takes the address only as a hint
            ::munmap(p, kReserva);
            continue;
        }
        region.base = region.libre = region.comprometido = region.alcanzado = static_cast<char*>(p);
        return true;
    }
    region.sinRegion = true;
    return false;
}

bool enRegion(const void* p)
{
    const auto* c = static_cast<const char*>(p);
    return region.base && c >= region.base && c < region.base + kReserva;
}

void* deLaRegion(std::size_t bloque)
{
    if (bloque > static_cast<std::size_t>(region.base + kReserva - region.libre))
        return nullptr;
    char* const fin = region.libre + bloque;
    if (fin > region.comprometido) {
        const std::size_t hasta = std::min<std::size_t>(
            (static_cast<std::size_t>(fin - region.base) + kPasoCompromiso - 1) / kPasoCompromiso * kPasoCompromiso,
            kReserva);
        char* const nuevo = region.base + hasta;
        if (::mprotect(region.comprometido, static_cast<std::size_t>(nuevo - region.comprometido),
                       PROT_READ | PROT_WRITE) != 0)
            return nullptr;
        ::madvise(region.comprometido, static_cast<std::size_t>(nuevo - region.comprometido), MADV_HUGEPAGE);
        region.comprometido = nuevo;
    }
    void* p = region.libre;
    region.libre = fin;
    if (fin > region.alcanzado)
        region.alcanzado = fin;
    return p;
}

// nullptr when the region is full or cannot be had.
void* tomar(std::size_t n, std::size_t alineacion)
{
    if (!reservar())
        return nullptr;
    const std::size_t extra = alineacion > kCabecera ? alineacion : 0;
    if (n > kReserva)
        return nullptr;
    const int c = clase(std::max<std::size_t>(n, 1) + kCabecera + extra);
    if (c >= kClases)
        return nullptr;
    const std::size_t tamano = tamanoClase(c);
    char* bloque = static_cast<char*>(region.listas[c]);
    if (bloque) {
        region.listas[c] = *reinterpret_cast<void**>(bloque);
    } else {
        bloque = static_cast<char*>(deLaRegion(tamano));
        if (!bloque)
            return nullptr;
    }
    std::uintptr_t p = reinterpret_cast<std::uintptr_t>(bloque) + kCabecera;
    if (extra)
        p = (p + alineacion - 1) & ~(static_cast<std::uintptr_t>(alineacion) - 1);
    *reinterpret_cast<Cabecera*>(p - sizeof(Cabecera)) = {
        static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(p - reinterpret_cast<std::uintptr_t>(bloque))};
    region.enUso += tamano;
    return reinterpret_cast<void*>(p);
}

void soltar(void* p)
{
    const Cabecera cabecera = *reinterpret_cast<const Cabecera*>(static_cast<char*>(p) - sizeof(Cabecera));
    if (cabecera.clase >= static_cast<std::uint32_t>(kClases))
        std::abort();  // a block given back after its region was reset: stop before the lists are broken
    char* bloque = static_cast<char*>(p) - cabecera.desdeBloque;
    *reinterpret_cast<void**>(bloque) = region.listas[cabecera.clase];
    region.listas[cabecera.clase] = bloque;
    region.enUso -= tamanoClase(static_cast<int>(cabecera.clase));
}

void* nuevo(std::size_t n, std::size_t alineacion, bool lanzar)
{
    if (activa && reservar()) {
        if (void* p = tomar(n, alineacion))
            return p;
    } else {
        void* p = nullptr;
        if (alineacion <= alignof(std::max_align_t))
            p = std::malloc(n ? n : 1);
        else if (::posix_memalign(&p, alineacion, n ? n : 1) != 0)
            p = nullptr;
        if (p)
            return p;
    }
    if (lanzar)
        throw std::bad_alloc();
    return nullptr;
}

void borrar(void* p) noexcept
{
    if (!p)
        return;
    if (enRegion(p))
        soltar(p);
    else
        std::free(p);
}

}  // namespace

void reiniciarMemoriaKernel()
{
    if (!region.base)
        return;
    for (void*& lista : region.listas)
        lista = nullptr;
    region.enUso = 0;
    // tests mark what was handed out, so a use after the reset shows instead of finding the old bytes
    static const bool marcar = std::getenv("QUELVA_CONV_MEMORIA_MARCADA") != nullptr;
    if (marcar)
        std::memset(region.base, 0xCD, static_cast<std::size_t>(region.alcanzado - region.base));
    region.libre = region.base;
    if (region.alcanzado > region.base + kConservado)
        ::madvise(region.base + kConservado, static_cast<std::size_t>(region.alcanzado - region.base) - kConservado,
                  MADV_DONTNEED);
    region.alcanzado = region.base;
}

std::size_t memoriaKernelEnUso()
{
    return region.enUso;
}

EnMemoriaKernel::EnMemoriaKernel() : antes_(activa)
{
    activa = true;
}

EnMemoriaKernel::~EnMemoriaKernel()
{
    activa = antes_;
}

FueraDeMemoriaKernel::FueraDeMemoriaKernel() : antes_(activa)
{
    activa = false;
}

FueraDeMemoriaKernel::~FueraDeMemoriaKernel()
{
    activa = antes_;
}

}  // namespace quelva::ifcconvert

// The program's new and delete, for the kernel's libraries as well.
namespace mk = quelva::ifcconvert;

void* operator new(std::size_t n)
{
    return mk::nuevo(n, 0, true);
}
void* operator new[](std::size_t n)
{
    return mk::nuevo(n, 0, true);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return mk::nuevo(n, 0, false);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    return mk::nuevo(n, 0, false);
}
void* operator new(std::size_t n, std::align_val_t a)
{
    return mk::nuevo(n, static_cast<std::size_t>(a), true);
}
void* operator new[](std::size_t n, std::align_val_t a)
{
    return mk::nuevo(n, static_cast<std::size_t>(a), true);
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return mk::nuevo(n, static_cast<std::size_t>(a), false);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return mk::nuevo(n, static_cast<std::size_t>(a), false);
}
void operator delete(void* p) noexcept
{
    mk::borrar(p);
}
void operator delete[](void* p) noexcept
{
    mk::borrar(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    mk::borrar(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    mk::borrar(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    mk::borrar(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    mk::borrar(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    mk::borrar(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    mk::borrar(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    mk::borrar(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    mk::borrar(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    mk::borrar(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    mk::borrar(p);
}
