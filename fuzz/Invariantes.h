#pragma once

// A broken invariant stops the fuzzer like a crash, with the reason on standard error.

#include "federation/ifc/LecturaArchivo.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define EXIGIR(condicion)                                                                       \
    do {                                                                                        \
        if (!(condicion)) {                                                                     \
            std::fprintf(stderr, "%s:%d: no se cumple: %s\n", __FILE__, __LINE__, #condicion);  \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

inline bool utf8Valido(std::string_view texto)
{
    return quelva::esTextoUTF8(texto);
}
