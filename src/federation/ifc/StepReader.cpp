#include "federation/ifc/StepReader.h"

#include "federation/ifc/LecturaArchivo.h"
#include "federation/ifc/StepString.h"

#include <algorithm>
#include <limits>
#include <new>
#include <random>
#include <unordered_set>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quelva {

namespace {

// Byte length of a space separator (Unicode Zs) or tab at the start of `s`, else 0.
size_t espacioAlInicio(std::string_view s)
{
    if (s.empty())
        return 0;
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 == ' ' || b0 == '\t')
        return 1;
    if (b0 < 0xC2)
        return 0;
    auto b = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; };
    if (b0 == 0xC2 && b(1) == 0xA0)
        return 2;
    if (b0 == 0xE1 && b(1) == 0x9A && b(2) == 0x80)
        return 3;
    if (b0 == 0xE2 && b(1) == 0x80 && ((b(2) >= 0x80 && b(2) <= 0x8A) || b(2) == 0xAF))
        return 3;
    if (b0 == 0xE2 && b(1) == 0x81 && b(2) == 0x9F)
        return 3;
    if (b0 == 0xE3 && b(1) == 0x80 && b(2) == 0x80)
        return 3;
    return 0;
}

size_t espacioAlFinal(std::string_view s)
{
    if (s.empty())
        return 0;
    const auto ultimo = static_cast<unsigned char>(s.back());
    if (ultimo == ' ' || ultimo == '\t')
        return 1;
    if (ultimo < 0x80)
        return 0;
    for (size_t largo : {size_t{2}, size_t{3}}) {
        if (s.size() >= largo && espacioAlInicio(s.substr(s.size() - largo)) == largo)
            return largo;
    }
    return 0;
}

// Removes line ends (anywhere) and comments outside strings from a record, in
// place: the text only shrinks. Returns the new length.
size_t normalizarRegistro(char* r, size_t largo)
{
    size_t escrito = 0;
    bool enCadena = false;
    for (size_t i = 0; i < largo; ++i) {
        const char c = r[i];
        if (c == '\r' || c == '\n')
            continue;
        if (c == '\'') {
            enCadena = !enCadena;
        } else if (!enCadena && c == '/' && i + 1 < largo && r[i + 1] == '*') {
            const size_t fin = std::string_view(r, largo).find("*/", i + 2);
            if (fin == std::string_view::npos)
                break;
            i = fin + 1;
            continue;
        }
        r[escrito++] = c;
    }
    return escrito;
}

// Position of the next byte of `d[j, n)` that is `a`, `b`, `c`, `e` or `f`; n when none.
// Records are mostly plain text between these bytes, so sixteen bytes are checked at once.
inline size_t buscarBytes(const char* d, size_t j, size_t n, char a, char b, char c, char e, char f)
{
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c), ve = _mm_set1_epi8(e),
                  vf = _mm_set1_epi8(f);
    while (j + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + j));
        const __m128i m = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)), _mm_cmpeq_epi8(v, vc)),
            _mm_or_si128(_mm_cmpeq_epi8(v, ve), _mm_cmpeq_epi8(v, vf)));
        const int mascara = _mm_movemask_epi8(m);
        if (mascara != 0)
            return j + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mascara)));
        j += 16;
    }
#endif
    while (j < n && d[j] != a && d[j] != b && d[j] != c && d[j] != e && d[j] != f)
        ++j;
    return j;
}

size_t contarByte(std::string_view t, char c)
{
    size_t cuenta = 0;
    size_t j = 0;
    const char* d = t.data();
    const size_t n = t.size();
#if defined(__SSE2__)
    // Per-byte counters (a match subtracts -1), summed before any can pass 255.
    const __m128i vc = _mm_set1_epi8(c);
    const __m128i cero = _mm_setzero_si128();
    while (j + 16 <= n) {
        __m128i acumulado = cero;
        for (int bloque = 0; bloque < 255 && j + 16 <= n; ++bloque, j += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + j));
            acumulado = _mm_sub_epi8(acumulado, _mm_cmpeq_epi8(v, vc));
        }
        const __m128i sumas = _mm_sad_epu8(acumulado, cero);
        cuenta += static_cast<size_t>(_mm_cvtsi128_si64(sumas))
                  + static_cast<size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sumas, sumas)));
    }
#endif
    for (; j < n; ++j)
        cuenta += d[j] == c ? 1 : 0;
    return cuenta;
}

// Calls `alRegistro(texto, limpio)` for every statement terminated by ";" outside
// strings and comments; `limpio` is false when the text holds line ends or comments.
template <typename F>
void recorrerSentencias(std::string_view t, F&& alRegistro)
{
    const size_t n = t.size();
    const char* d = t.data();
    size_t i = 0;
    while (i < n) {
        const char c = d[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && d[i + 1] == '*') {
            const size_t fin = t.find("*/", i + 2);
            if (fin == std::string_view::npos)
                return;
            i = fin + 2;
            continue;
        }
        const size_t inicio = i;
        bool limpio = true;
        size_t j = i;
        bool terminado = false;
        while (j < n) {
            j = buscarBytes(d, j, n, ';', '\'', '\n', '\r', '/');
            if (j >= n)
                break;
            const char x = d[j];
            if (x == ';') {
                terminado = true;
                break;
            }
            if (x == '\'') {
                ++j;
                while (true) {
                    j = buscarBytes(d, j, n, '\'', '\n', '\r', '\'', '\'');
                    if (j >= n || d[j] == '\'')
                        break;
                    limpio = false;
                    ++j;
                }
                if (j >= n)
                    break;
                ++j;
                continue;
            }
            if (x == '\n' || x == '\r') {
                limpio = false;
            } else if (x == '/' && j + 1 < n && d[j + 1] == '*') {
                limpio = false;
                const size_t fin = t.find("*/", j + 2);
                if (fin == std::string_view::npos)
                    break;
                j = fin + 2;
                continue;
            }
            ++j;
        }
        if (!terminado)
            return;  // truncated: the unfinished record is dropped
        alRegistro(t.substr(inicio, j - inicio), limpio);
        i = j + 1;
    }
}

bool tieneMinusculas(std::string_view s)
{
    for (char c : s) {
        if (c >= 'a' && c <= 'z')
            return true;
    }
    return false;
}

// Keyed per process, so that a file cannot pick record numbers that share one slot.
std::uint64_t semillaIndice()
{
    static const std::uint64_t semilla = [] {
        std::random_device azar;
        return (static_cast<std::uint64_t>(azar()) << 32) ^ azar() ^ 0x9E3779B97F4A7C15ULL;
    }();
    return semilla;
}

std::uint64_t mezclar(std::int64_t clave, std::uint64_t semilla)
{
    std::uint64_t x = static_cast<std::uint64_t>(clave) ^ semilla;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

}  // namespace

struct TablaRegistrosSTEP::Datos {
    std::string texto;                        // one of these two holds the file text
    ContenidoArchivo archivo;
    char* contenido = nullptr;                // the file text; records holding line ends or comments are compacted in place
    size_t largo = 0;
    std::unordered_set<std::string> tipos;    // upper-cased types written in mixed case
    std::vector<Entrada> entradas;
    // Entry index + 1 by record number (0 = none): `directo` when numbers are dense
    // (position = number - base), else the open-addressing hash `huecos`.
    std::vector<std::uint32_t> directo;
    std::int64_t base = 0;
    std::vector<std::uint32_t> huecos;
    int desplazamiento = 64;
    std::uint64_t semilla = semillaIndice();
    std::size_t sondeos = 0;  // slots looked at while indexing

    void agregar(std::string_view r);
    void indexar();
    std::optional<size_t> indice(std::int64_t numero) const;
};

void TablaRegistrosSTEP::Datos::agregar(std::string_view r)
{
    if (r.empty() || r[0] != '#')
        return;
    // "=" and "(" lie close to the start: a plain loop beats two library searches.
    size_t igual = std::string_view::npos;
    size_t parentesis = std::string_view::npos;
    for (size_t k = 1; k < r.size(); ++k) {
        if (r[k] == '=' && igual == std::string_view::npos)
            igual = k;
        if (r[k] == '(') {
            parentesis = k;
            break;
        }
    }
    if (igual == std::string_view::npos || parentesis == std::string_view::npos)
        return;
    Entrada e;
    const auto numero = leerEnteroSTEP(recortarSTEP(r.substr(1, igual - 1)));
    e.numeroValido = numero.has_value();
    e.numero = numero.value_or(0);
    std::string_view tipo = recortarSTEP(r.substr(igual + 1, parentesis - igual - 1));
    if (tieneMinusculas(tipo)) {
        std::string mayus(tipo);
        for (char& c : mayus) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        tipo = *tipos.insert(std::move(mayus)).first;
    }
    e.registro.tipo = tipo;
    std::string_view args = r.substr(parentesis + 1);
    while (size_t k = espacioAlFinal(args))
        args.remove_suffix(k);
    if (!args.empty() && args.back() == ')')
        args.remove_suffix(1);
    e.registro.argumentos = args;
    entradas.push_back(e);
}

void TablaRegistrosSTEP::Datos::indexar()
{
    std::int64_t minimo = std::numeric_limits<std::int64_t>::max();
    std::int64_t maximo = std::numeric_limits<std::int64_t>::min();
    size_t validos = 0;
    for (const Entrada& e : entradas) {
        if (!e.numeroValido)
            continue;
        minimo = std::min(minimo, e.numero);
        maximo = std::max(maximo, e.numero);
        ++validos;
    }
    if (validos == 0)
        return;
    // Files number their records almost densely: then a plain array indexed by
    // number is smaller and faster than hashing. Sparse numbering falls back to the hash.
    const auto rango = static_cast<std::uint64_t>(maximo) - static_cast<std::uint64_t>(minimo);
    if (rango < 4 * static_cast<std::uint64_t>(validos) + 64) {
        base = minimo;
        directo.assign(static_cast<size_t>(rango) + 1, 0);
        for (size_t k = 0; k < entradas.size(); ++k) {
            if (entradas[k].numeroValido)
                directo[static_cast<size_t>(static_cast<std::uint64_t>(entradas[k].numero) - static_cast<std::uint64_t>(base))] =
                    static_cast<std::uint32_t>(k + 1);  // a repeated number keeps the later record
        }
        return;
    }
    size_t capacidad = 16;
    int bits = 4;
    while (capacidad < validos * 2) {
        capacidad *= 2;
        ++bits;
    }
    desplazamiento = 64 - bits;  // the top bits mix best
    huecos.assign(capacidad, 0);
    const size_t mascara = capacidad - 1;
    for (size_t k = 0; k < entradas.size(); ++k) {
        if (!entradas[k].numeroValido)
            continue;
        const std::int64_t numero = entradas[k].numero;
        size_t h = static_cast<size_t>(mezclar(numero, semilla) >> desplazamiento);
        while (true) {
            ++sondeos;
            const std::uint32_t ocupado = huecos[h];
            if (ocupado == 0 || entradas[ocupado - 1].numero == numero) {
                huecos[h] = static_cast<std::uint32_t>(k + 1);  // a repeated number keeps the later record
                break;
            }
            h = (h + 1) & mascara;
        }
    }
}

std::optional<size_t> TablaRegistrosSTEP::Datos::indice(std::int64_t numero) const
{
    if (!directo.empty()) {
        const std::uint64_t posicion = static_cast<std::uint64_t>(numero) - static_cast<std::uint64_t>(base);
        if (numero < base || posicion >= directo.size() || directo[posicion] == 0)
            return std::nullopt;
        return directo[posicion] - 1;
    }
    if (huecos.empty())
        return std::nullopt;
    const size_t mascara = huecos.size() - 1;
    size_t h = static_cast<size_t>(mezclar(numero, semilla) >> desplazamiento);
    while (true) {
        const std::uint32_t ocupado = huecos[h];
        if (ocupado == 0)
            return std::nullopt;
        if (entradas[ocupado - 1].numero == numero)
            return ocupado - 1;
        h = (h + 1) & mascara;
    }
}

TablaRegistrosSTEP::TablaRegistrosSTEP() : datos_(std::make_shared<Datos>()) {}

TablaRegistrosSTEP TablaRegistrosSTEP::desdeTexto(std::string texto)
{
    auto datos = std::make_shared<Datos>();
    datos->texto = std::move(texto);
    datos->contenido = datos->texto.data();
    datos->largo = datos->texto.size();
    return construir(std::move(datos));
}

TablaRegistrosSTEP TablaRegistrosSTEP::desdeContenido(ContenidoArchivo archivo)
{
    auto datos = std::make_shared<Datos>();
    datos->archivo = std::move(archivo);
    datos->contenido = datos->archivo.escribible();
    datos->largo = datos->archivo.texto().size();
    return construir(std::move(datos));
}

TablaRegistrosSTEP TablaRegistrosSTEP::construir(std::shared_ptr<Datos> datos)
{
    TablaRegistrosSTEP tabla;
    const std::string_view texto(datos->contenido, datos->largo);
    if (!esTextoUTF8(texto))
        return tabla;
    // Every record ends in ";", so their count bounds the table: one allocation, no regrowth.
    datos->entradas.reserve(contarByte(texto, ';'));
    recorrerSentencias(texto, [&](std::string_view r, bool limpio) {
        if (r.empty() || r[0] != '#')
            return;
        if (limpio) {
            datos->agregar(r);
        } else {
            char* inicio = datos->contenido + (r.data() - texto.data());
            datos->agregar(std::string_view(inicio, normalizarRegistro(inicio, r.size())));
        }
    });
    datos->indexar();
    tabla.datos_ = std::move(datos);
    return tabla;
}

const RegistroSTEP* TablaRegistrosSTEP::buscar(std::int64_t numero) const
{
    const auto i = datos_->indice(numero);
    return i ? &datos_->entradas[*i].registro : nullptr;
}

std::optional<std::size_t> TablaRegistrosSTEP::indiceDe(std::int64_t numero) const
{
    return datos_->indice(numero);
}

std::size_t TablaRegistrosSTEP::sondeosIndice() const
{
    return datos_->sondeos;
}

const std::vector<TablaRegistrosSTEP::Entrada>& TablaRegistrosSTEP::entradas() const
{
    return datos_->entradas;
}

bool TablaRegistrosSTEP::vigente(std::size_t indice) const
{
    if (indice >= datos_->entradas.size() || !datos_->entradas[indice].numeroValido)
        return false;
    return datos_->indice(datos_->entradas[indice].numero) == indice;
}

TablaRegistrosSTEP leerArchivoSTEP(const std::filesystem::path& ruta)
{
    auto contenido = leerContenidoArchivo(ruta);
    if (!contenido)
        return {};
    try {
        return TablaRegistrosSTEP::desdeContenido(std::move(*contenido));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::vector<std::string> leerRegistrosSTEP(std::string_view texto)
{
    std::vector<std::string> registros;
    recorrerSentencias(texto, [&](std::string_view r, bool limpio) {
        if (r.empty() || r[0] != '#')
            return;
        std::string copia(r);
        if (!limpio)
            copia.resize(normalizarRegistro(copia.data(), copia.size()));
        std::string_view vista = copia;
        while (size_t k = espacioAlFinal(vista))
            vista.remove_suffix(k);
        copia.resize(vista.size());
        registros.push_back(std::move(copia));
    });
    return registros;
}

std::string_view recortarSTEP(std::string_view texto)
{
    while (size_t k = espacioAlInicio(texto))
        texto.remove_prefix(k);
    while (size_t k = espacioAlFinal(texto))
        texto.remove_suffix(k);
    return texto;
}

std::vector<std::string_view> separarAtributosSTEP(std::string_view argumentos)
{
    std::vector<std::string_view> atributos;
    separarAtributosSTEP(argumentos, atributos);
    return atributos;
}

void separarAtributosSTEP(std::string_view argumentos, std::vector<std::string_view>& atributos, size_t maximo)
{
    atributos.clear();
    if (maximo == 0)
        return;
    bool enCadena = false;
    int profundidad = 0;
    size_t inicio = 0;
    const char* d = argumentos.data();
    const size_t n = argumentos.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = d[i];
        if (c == '\'') {
            enCadena = !enCadena;
        } else if (enCadena) {
            continue;
        } else if (c == '(') {
            ++profundidad;
        } else if (c == ')') {
            --profundidad;
        } else if (c == ',' && profundidad == 0) {
            atributos.push_back(recortarSTEP(argumentos.substr(inicio, i - inicio)));
            if (atributos.size() == maximo)
                return;
            inicio = i + 1;
        }
    }
    const std::string_view ultimo = recortarSTEP(argumentos.substr(std::min(inicio, n)));
    if (!ultimo.empty())
        atributos.push_back(ultimo);
}

std::string limpiarCadenaSTEP(std::string_view atributo)
{
    const std::string_view a = recortarSTEP(atributo);
    if (a == "$" || a == "*")
        return {};
    if (!a.empty() && a.front() == '\'' && a.back() == '\'') {
        if (a.size() < 2)
            return {};
        return decodificarCadenaSTEP(a.substr(1, a.size() - 2));
    }
    return decodificarCadenaSTEP(a);
}

std::string valorNominalSTEP(std::string_view atributo)
{
    std::string_view a = recortarSTEP(atributo);
    if (a == "$")
        return {};
    if (!a.empty() && a.front() == '.' && a.back() == '.')
        return a.size() >= 2 ? std::string(a.substr(1, a.size() - 2)) : std::string();
    const size_t abre = a.find('(');
    const size_t cierra = a.rfind(')');
    if (abre != std::string_view::npos && cierra != std::string_view::npos && cierra > abre)
        a = a.substr(abre + 1, cierra - abre - 1);
    return limpiarCadenaSTEP(a);
}

std::optional<std::int64_t> leerEnteroSTEP(std::string_view texto)
{
    bool negativo = false;
    size_t i = 0;
    if (!texto.empty() && (texto[0] == '+' || texto[0] == '-')) {
        negativo = texto[0] == '-';
        i = 1;
    }
    if (i == texto.size())
        return std::nullopt;
    std::uint64_t valor = 0;
    constexpr std::uint64_t kLimite = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    for (; i < texto.size(); ++i) {
        const unsigned digito = static_cast<unsigned char>(texto[i]) - static_cast<unsigned>('0');
        if (digito > 9)
            return std::nullopt;
        // checked before the product can wrap: out of range means no such record, never another one
        if (valor > (kLimite + (negativo ? 1 : 0) - digito) / 10)
            return std::nullopt;
        valor = valor * 10 + digito;
    }
    return negativo ? static_cast<std::int64_t>(0 - valor) : static_cast<std::int64_t>(valor);
}

std::optional<std::int64_t> parsearReferenciaSTEP(std::string_view atributo)
{
    const std::string_view a = recortarSTEP(atributo);
    if (a.size() < 2 || a.front() != '#')
        return std::nullopt;
    return leerEnteroSTEP(a.substr(1));
}

std::vector<std::int64_t> parsearListaReferenciasSTEP(std::string_view atributo)
{
    std::vector<std::int64_t> numeros;
    parsearListaReferenciasSTEP(atributo, numeros);
    return numeros;
}

void parsearListaReferenciasSTEP(std::string_view atributo, std::vector<std::int64_t>& numeros)
{
    numeros.clear();
    std::string_view a = recortarSTEP(atributo);
    if (!a.empty() && a.front() == '(') {
        a.remove_prefix(1);
        if (!a.empty())
            a.remove_suffix(1);
    }
    size_t inicio = 0;
    while (inicio <= a.size()) {
        size_t coma = a.find(',', inicio);
        if (coma == std::string_view::npos)
            coma = a.size();
        if (const auto n = parsearReferenciaSTEP(a.substr(inicio, coma - inicio)))
            numeros.push_back(*n);
        inicio = coma + 1;
    }
}

}  // namespace quelva
