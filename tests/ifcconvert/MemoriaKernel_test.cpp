#include "MemoriaKernel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <thread>
#include <vector>

namespace {

using namespace quelva::ifcconvert;

// The requests of one product: sizes from a byte to a large vertex list, an over-aligned block,
// blocks given back in between so later ones come from the freed lists. The addresses go to a
// list made outside the region.
void unProducto(std::vector<std::uintptr_t>& direcciones)
{
    std::vector<void*> vivos;
    for (const std::size_t n : {1u, 24u, 24u, 100u, 1000u, 70000u, 3u << 20, 40u}) {
        vivos.push_back(::operator new(n));
        direcciones.push_back(reinterpret_cast<std::uintptr_t>(vivos.back()));
        if (vivos.size() % 3 == 0) {
            ::operator delete(vivos[vivos.size() - 2]);
            vivos.erase(vivos.end() - 2);
        }
    }
    void* alineado = ::operator new(200, std::align_val_t{64});
    direcciones.push_back(reinterpret_cast<std::uintptr_t>(alineado));
    auto lista = std::make_unique<std::vector<double>>(5000, 1.5);
    direcciones.push_back(reinterpret_cast<std::uintptr_t>(lista->data()));
    ::operator delete(alineado, std::align_val_t{64});
    for (void* p : vivos)
        ::operator delete(p);
}

TEST(MemoriaKernel, AProductGetsTheSameAddressesWhateverWasAllocatedBefore)
{
    reiniciarMemoriaKernel();
    std::vector<std::uintptr_t> primera, segunda;
    primera.reserve(16);
    segunda.reserve(16);
    {
        EnMemoriaKernel memoria;
        unProducto(primera);
    }
    EXPECT_EQ(memoriaKernelEnUso(), 0u);
    EXPECT_EQ(primera[8] % 64, 0u) << "the over-aligned block";

    // another history: other sizes, blocks never given back, the program's allocator in between
    std::size_t dejados = 0;
    {
        EnMemoriaKernel memoria;
        for (std::size_t n = 8; n < 5000; n += 37)
            static_cast<void>(::operator new(n));
        auto temporal = std::make_unique<std::vector<int>>(1000, 7);
        dejados = memoriaKernelEnUso();
    }
    EXPECT_GT(dejados, 0u);
    auto delPrograma = std::make_unique<std::vector<int>>(300, 2);
    reiniciarMemoriaKernel();
    {
        EnMemoriaKernel memoria;
        unProducto(segunda);
    }
    EXPECT_EQ(segunda, primera);
}

TEST(MemoriaKernel, WhatIsMadeOutsideTheRegionOutlivesItsReset)
{
    reiniciarMemoriaKernel();
    std::unique_ptr<std::vector<int>> malla;
    {
        EnMemoriaKernel memoria;
        {
            FueraDeMemoriaKernel fuera;
            malla = std::make_unique<std::vector<int>>(100000, 42);
        }
        for (int k = 0; k < 100; ++k)
            std::memset(::operator new(4096), 0xAB, 4096);
    }
    reiniciarMemoriaKernel();
    {
        // the next product writes over all the region the last one used
        EnMemoriaKernel memoria;
        for (int k = 0; k < 200; ++k)
            std::memset(::operator new(4096), 0xCD, 4096);
    }
    reiniciarMemoriaKernel();
    ASSERT_EQ(malla->size(), 100000u);
    EXPECT_EQ((*malla)[0], 42);
    EXPECT_EQ((*malla)[99999], 42);
}

TEST(MemoriaKernel, OtherThreadsKeepTheProgramsAllocator)
{
    reiniciarMemoriaKernel();
    std::size_t antes = 0, durante = 0;
    {
        EnMemoriaKernel memoria;
        std::thread otro([&] {
            antes = memoriaKernelEnUso();
            auto v = std::make_unique<std::vector<char>>(100000, 'x');
            durante = memoriaKernelEnUso();
        });
        otro.join();
    }
    EXPECT_EQ(durante, antes);
}

}  // namespace
