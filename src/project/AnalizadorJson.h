#pragma once

// A strict JSON reader for large documents. It gives the SAX events of the JSON library, with the
// same values, and refuses what that library refuses; it differs in speed only: a text is taken a
// run of plain bytes at a time instead of a byte per call, and most of a project file is text
// (pictures in Base64, element names).

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <locale.h>
#include <string>
#include <vector>

namespace quelva {

namespace detalle_json {

// Numbers with a point are read as in the "C" locale whatever the user's is.
inline locale_t localeC()
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return c;
}

}  // namespace detalle_json

// `Sax` has the JSON library's SAX members (null, boolean, number_integer, number_unsigned,
// number_float, string, start_object, key, end_object, start_array, end_array); any of them
// returning false stops the reading.
template <class Sax>
class AnalizadorJson {
public:
    // The next block of bytes into [pos, fin); false when there are no more.
    using Rellenar = std::function<bool(const char*& pos, const char*& fin)>;

    AnalizadorJson(const char* pos, const char* fin, Rellenar rellenar, Sax& sax)
        : pos_(pos), fin_(fin), rellenar_(std::move(rellenar)), sax_(sax)
    {
    }

    // One value and nothing after it but white space (up to a NUL byte).
    bool analizar()
    {
        if (!saltarMarcaDeOrden())
            return false;
        std::vector<char> abiertos;  // '{' or '[' of each open container
        for (;;) {
            // A value is due here.
            saltarBlancos();
            bool completo = true;
            switch (actual()) {
            case '{':
                avanzar();
                if (!sax_.start_object(std::size_t(-1)))
                    return false;
                saltarBlancos();
                if (actual() == '}') {
                    avanzar();
                    if (!sax_.end_object())
                        return false;
                } else {
                    abiertos.push_back('{');
                    if (!clave())
                        return false;
                    completo = false;
                }
                break;
            case '[':
                avanzar();
                if (!sax_.start_array(std::size_t(-1)))
                    return false;
                saltarBlancos();
                if (actual() == ']') {
                    avanzar();
                    if (!sax_.end_array())
                        return false;
                } else {
                    abiertos.push_back('[');
                    completo = false;
                }
                break;
            case '"':
                if (!texto() || !sax_.string(texto_))
                    return false;
                break;
            case 't':
                if (!literal("true") || !sax_.boolean(true))
                    return false;
                break;
            case 'f':
                if (!literal("false") || !sax_.boolean(false))
                    return false;
                break;
            case 'n':
                if (!literal("null") || !sax_.null())
                    return false;
                break;
            default:
                if (!numero())
                    return false;
            }
            if (!completo)
                continue;
            // After a value: the containers it closes, then a comma or the end.
            for (;;) {
                saltarBlancos();
                // As the library, a NUL byte where a token would start ends the input.
                if (abiertos.empty())
                    return actual() == kFin || actual() == 0;
                const int c = actual();
                if (c == ',') {
                    avanzar();
                    if (abiertos.back() == '{') {
                        saltarBlancos();
                        if (!clave())
                            return false;
                    }
                    break;
                }
                const bool objeto = abiertos.back() == '{';
                if (c != (objeto ? '}' : ']'))
                    return false;
                avanzar();
                abiertos.pop_back();
                if (!(objeto ? sax_.end_object() : sax_.end_array()))
                    return false;
            }
        }
    }

private:
    static constexpr int kFin = -1;

    int actual()
    {
        if (pos_ == fin_ && !rellenar())
            return kFin;
        return static_cast<unsigned char>(*pos_);
    }
    void avanzar() { ++pos_; }
    bool rellenar()
    {
        if (agotado_ || !rellenar_ || !rellenar_(pos_, fin_) || pos_ == fin_) {
            agotado_ = true;
            pos_ = fin_;
            return false;
        }
        return true;
    }

    // The library skips a UTF-8 byte-order mark at the start and refuses a partial one.
    bool saltarMarcaDeOrden()
    {
        if (actual() != 0xEF)
            return true;
        for (const int b : {0xEF, 0xBB, 0xBF}) {
            if (actual() != b)
                return false;
            avanzar();
        }
        return true;
    }

    void saltarBlancos()
    {
        for (;;) {
            const int c = actual();
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                return;
            avanzar();
        }
    }

    bool literal(const char* palabra)
    {
        for (; *palabra; ++palabra) {
            if (actual() != static_cast<unsigned char>(*palabra))
                return false;
            avanzar();
        }
        return true;
    }

    // A member's key and its colon; the value follows.
    bool clave()
    {
        if (actual() != '"' || !texto() || !sax_.key(texto_))
            return false;
        saltarBlancos();
        if (actual() != ':')
            return false;
        avanzar();
        return true;
    }

    // A text between quotes into texto_: escapes decoded, UTF-8 checked as the library does.
    bool texto()
    {
        avanzar();  // the opening quote
        texto_.clear();
        for (;;) {
            if (pos_ == fin_ && !rellenar())
                return false;
            const char* inicio = pos_;
            while (pos_ != fin_) {
                const auto b = static_cast<unsigned char>(*pos_);
                if (b < 0x20 || b == '"' || b == '\\' || b >= 0x80)
                    break;
                ++pos_;
            }
            texto_.append(inicio, pos_);
            if (pos_ == fin_)
                continue;
            const auto b = static_cast<unsigned char>(*pos_);
            ++pos_;
            if (b == '"')
                return true;
            if (b < 0x20)
                return false;
            if (!(b == '\\' ? escape() : multibyte(b)))
                return false;
        }
    }

    bool escape()
    {
        const int c = actual();
        avanzar();
        switch (c) {
        case '"': texto_ += '"'; return true;
        case '\\': texto_ += '\\'; return true;
        case '/': texto_ += '/'; return true;
        case 'b': texto_ += '\b'; return true;
        case 'f': texto_ += '\f'; return true;
        case 'n': texto_ += '\n'; return true;
        case 'r': texto_ += '\r'; return true;
        case 't': texto_ += '\t'; return true;
        case 'u': break;
        default: return false;
        }
        long punto = cuatroHex();
        if (punto < 0 || (punto >= 0xDC00 && punto <= 0xDFFF))
            return false;
        if (punto >= 0xD800 && punto <= 0xDBFF) {
            // Only the low half of a pair may follow.
            if (!literal("\\u"))
                return false;
            const long bajo = cuatroHex();
            if (bajo < 0xDC00 || bajo > 0xDFFF)
                return false;
            punto = 0x10000 + ((punto - 0xD800) << 10) + (bajo - 0xDC00);
        }
        codificar(static_cast<std::uint32_t>(punto));
        return true;
    }

    long cuatroHex()
    {
        long v = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = actual();
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return -1;
            avanzar();
            v = v * 16 + d;
        }
        return v;
    }

    void codificar(std::uint32_t p)
    {
        if (p < 0x80) {
            texto_ += char(p);
        } else if (p < 0x800) {
            texto_ += char(0xC0 | (p >> 6));
            texto_ += char(0x80 | (p & 0x3F));
        } else if (p < 0x10000) {
            texto_ += char(0xE0 | (p >> 12));
            texto_ += char(0x80 | ((p >> 6) & 0x3F));
            texto_ += char(0x80 | (p & 0x3F));
        } else {
            texto_ += char(0xF0 | (p >> 18));
            texto_ += char(0x80 | ((p >> 12) & 0x3F));
            texto_ += char(0x80 | ((p >> 6) & 0x3F));
            texto_ += char(0x80 | (p & 0x3F));
        }
    }

    // A character of two to four bytes whose first is `b`: no overlong forms, no surrogates,
    // nothing past U+10FFFF.
    bool multibyte(unsigned char b)
    {
        int resto;
        int bajo = 0x80, alto = 0xBF;  // the second byte's range
        if (b >= 0xC2 && b <= 0xDF) {
            resto = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            resto = 2;
            if (b == 0xE0)
                bajo = 0xA0;
            else if (b == 0xED)
                alto = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            resto = 3;
            if (b == 0xF0)
                bajo = 0x90;
            else if (b == 0xF4)
                alto = 0x8F;
        } else {
            return false;
        }
        texto_ += char(b);
        for (int i = 0; i < resto; ++i) {
            const int c = actual();
            if (c < bajo || c > alto)
                return false;
            avanzar();
            texto_ += char(c);
            bajo = 0x80;
            alto = 0xBF;
        }
        return true;
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?, typed as the library types it: an integer
    // that fits is unsigned (or signed when negative), anything else a finite double.
    bool numero()
    {
        numero_.clear();
        bool entero = true;
        if (actual() == '-') {
            numero_ += '-';
            avanzar();
        }
        if (actual() == '0') {
            numero_ += '0';
            avanzar();
        } else if (!cifras()) {
            return false;
        }
        if (actual() == '.') {
            entero = false;
            numero_ += '.';
            avanzar();
            if (!cifras())
                return false;
        }
        if (actual() == 'e' || actual() == 'E') {
            entero = false;
            numero_ += char(actual());
            avanzar();
            if (actual() == '+' || actual() == '-') {
                numero_ += char(actual());
                avanzar();
            }
            if (!cifras())
                return false;
        }
        const char* inicio = numero_.data();
        const char* fin = inicio + numero_.size();
        if (entero && numero_[0] != '-') {
            std::uint64_t v = 0;
            const auto r = std::from_chars(inicio, fin, v);
            if (r.ec == std::errc() && r.ptr == fin)
                return sax_.number_unsigned(v);
        } else if (entero) {
            std::int64_t v = 0;
            const auto r = std::from_chars(inicio, fin, v);
            if (r.ec == std::errc() && r.ptr == fin)
                return sax_.number_integer(v);
        }
        // Too big for an integer, or a fraction: as the library, from strtod (which rounds what
        // underflows and gives infinity for what overflows, refused).
        char* finLeido = nullptr;
        const double v = strtod_l(inicio, &finLeido, detalle_json::localeC());
        if (finLeido != fin || !std::isfinite(v))
            return false;
        return sax_.number_float(v, numero_);
    }

    // One or more digits.
    bool cifras()
    {
        const std::size_t antes = numero_.size();
        for (int c = actual(); c >= '0' && c <= '9'; c = actual()) {
            numero_ += char(c);
            avanzar();
        }
        return numero_.size() > antes;
    }

    const char* pos_;
    const char* fin_;
    Rellenar rellenar_;
    bool agotado_ = false;
    Sax& sax_;
    std::string texto_;
    std::string numero_;
};

}  // namespace quelva
