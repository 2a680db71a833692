#include "PiezaOBJ.h"

#include "GeometriaIFC.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace quelva::ifcconvert {

namespace {

char* numero(char* p, char* fin, double valor, int digitos)
{
    if (!std::isfinite(valor))
        valor = 0.0;
    if (std::abs(valor) < 1e-12)
        valor = 0.0;  // no "-0" or denormal noise in the text
    *p++ = ' ';
    return std::to_chars(p, fin, valor, std::chars_format::general, digitos).ptr;
}

void linea(std::string& destino, const char* prefijo, const double* xyz, int digitos)
{
    char texto[128];
    const std::size_t n = std::strlen(prefijo);
    std::memcpy(texto, prefijo, n);
    char* p = texto + n;
    for (int k = 0; k < 3; ++k)
        p = numero(p, texto + sizeof texto - 1, xyz[k], digitos);
    *p++ = '\n';
    destino.append(texto, static_cast<std::size_t>(p - texto));
}

template <typename T>
void agregarValor(std::string& destino, T valor)
{
    destino.append(reinterpret_cast<const char*>(&valor), sizeof valor);
}

template <typename T>
void agregarLista(std::string& destino, const std::vector<T>& lista)
{
    agregarValor<std::uint64_t>(destino, lista.size());
    destino.append(reinterpret_cast<const char*>(lista.data()), lista.size() * sizeof(T));
}

void agregarTexto(std::string& destino, const std::string& texto)
{
    agregarValor<std::uint64_t>(destino, texto.size());
    destino.append(texto);
}

struct Lector {
    std::string_view bytes;

    template <typename T>
    bool valor(T& v)
    {
        if (bytes.size() < sizeof v)
            return false;
        std::memcpy(&v, bytes.data(), sizeof v);
        bytes.remove_prefix(sizeof v);
        return true;
    }
    bool texto(std::string& t)
    {
        std::uint64_t n = 0;
        if (!valor(n) || n > bytes.size())
            return false;
        t.assign(bytes.data(), n);
        bytes.remove_prefix(n);
        return true;
    }
    template <typename T>
    bool lista(std::vector<T>& l)
    {
        std::uint64_t n = 0;
        if (!valor(n) || n > bytes.size() / sizeof(T))
            return false;
        l.resize(n);
        std::memcpy(l.data(), bytes.data(), n * sizeof(T));
        bytes.remove_prefix(n * sizeof(T));
        return true;
    }
};

}  // namespace

void PiezaOBJ::vaciar()
{
    vertices = 0;
    textoVertices.clear();
    textoNormales.clear();
    finNormales.clear();
    caras.clear();
}

void formatearPieza(const MallaElemento& malla, PiezaOBJ& pieza)
{
    pieza.vaciar();
    const std::size_t nv = malla.vertices.size() / 3;
    pieza.vertices = static_cast<std::uint32_t>(nv);
    pieza.textoVertices.reserve(nv * 40);
    for (std::size_t i = 0; i < nv; ++i)
        linea(pieza.textoVertices, "v", &malla.vertices[3 * i], 10);

    const std::size_t nt = malla.triangulos.size() / 3;
    pieza.caras.reserve(4 * nt);
    const double* anterior = nullptr;
    for (std::size_t t = 0; t < nt; ++t) {
        const double* n = &malla.normales[3 * t];
        // triangles of one face share their normal: written once
        if (!anterior || n[0] != anterior[0] || n[1] != anterior[1] || n[2] != anterior[2]) {
            linea(pieza.textoNormales, "vn", n, 7);
            pieza.finNormales.push_back(static_cast<std::uint32_t>(pieza.textoNormales.size()));
            anterior = n;
        }
        pieza.caras.insert(pieza.caras.end(), {malla.triangulos[3 * t], malla.triangulos[3 * t + 1],
                                               malla.triangulos[3 * t + 2],
                                               static_cast<std::uint32_t>(pieza.finNormales.size() - 1)});
    }
}

void serializarPieza(const PiezaOBJ& pieza, std::string& destino)
{
    agregarValor(destino, pieza.vertices);
    agregarTexto(destino, pieza.textoVertices);
    agregarTexto(destino, pieza.textoNormales);
    agregarLista(destino, pieza.finNormales);
    agregarLista(destino, pieza.caras);
}

bool leerPieza(std::string_view bytes, PiezaOBJ& pieza)
{
    Lector l{bytes};
    if (!(l.valor(pieza.vertices) && l.texto(pieza.textoVertices) && l.texto(pieza.textoNormales) &&
          l.lista(pieza.finNormales) && l.lista(pieza.caras) && l.bytes.empty()))
        return false;
    // every number must point into the piece
    if (pieza.caras.size() % 4 != 0)
        return false;
    std::uint32_t fin = 0;
    for (const std::uint32_t f : pieza.finNormales) {
        if (f < fin || f > pieza.textoNormales.size())
            return false;
        fin = f;
    }
    for (std::size_t i = 0; i < pieza.caras.size(); i += 4)
        if (pieza.caras[i] >= pieza.vertices || pieza.caras[i + 1] >= pieza.vertices ||
            pieza.caras[i + 2] >= pieza.vertices || pieza.caras[i + 3] >= pieza.finNormales.size())
            return false;
    return true;
}

}  // namespace quelva::ifcconvert
