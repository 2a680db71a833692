#include <cstdio>

int main(int, char**)
{
    std::fprintf(stderr, "IfcConvert: conversión aún no disponible\n");
    return 2;
}
