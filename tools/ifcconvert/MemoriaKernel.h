#pragma once

#include <cstddef>

namespace quelva::ifcconvert {

// Memory for the geometry kernel at the same addresses in every run.
//
// The kernel keeps its vertices, edges and faces in hash tables and ordered sets keyed by their
// addresses, and what it builds (which faces a boolean splits, whether a cut through touching
// faces succeeds at all) follows the order they come out in. With the program's allocator the
// addresses depend on everything allocated before, by any thread, so one element's shape changed
// from run to run and with the number of workers. While an EnMemoriaKernel lives, the thread's
// new and delete take blocks from one region reserved at a fixed address; a product that starts
// with reiniciarMemoriaKernel sees the same addresses whatever was converted before it.
//
// Blocks are handed out by size class from lists of freed blocks, else from the untouched end of
// the region: the same sequence of requests gives the same addresses.

// Forgets every block of the region: the next one is its first again. Nothing taken from it may
// be used afterwards.
void reiniciarMemoriaKernel();

// Bytes of the region in blocks handed out and not given back (for tests).
std::size_t memoriaKernelEnUso();

// new and delete of this thread use the region while it lives (nested: the innermost decides).
class EnMemoriaKernel {
public:
    EnMemoriaKernel();
    ~EnMemoriaKernel();
    EnMemoriaKernel(const EnMemoriaKernel&) = delete;
    EnMemoriaKernel& operator=(const EnMemoriaKernel&) = delete;

private:
    bool antes_;
};

// The program's allocator again while it lives, for what outlives the product.
class FueraDeMemoriaKernel {
public:
    FueraDeMemoriaKernel();
    ~FueraDeMemoriaKernel();
    FueraDeMemoriaKernel(const FueraDeMemoriaKernel&) = delete;
    FueraDeMemoriaKernel& operator=(const FueraDeMemoriaKernel&) = delete;

private:
    bool antes_;
};

}  // namespace quelva::ifcconvert
