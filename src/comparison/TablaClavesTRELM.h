#pragma once

// Text key -> value over one flat array, keys kept in the order they first went in. The keys are
// views: what they view must outlive the table. Open addressing: tens of thousands of keys go in
// without an allocation each, and a lookup touches one slot and, on a hash match, the key.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace quelva {

template <typename Valor>
class TablaClavesTRELM {
public:
    struct Entrada {
        std::string_view clave;
        size_t hash;
        Valor valor;
    };
    static constexpr size_t kNinguna = size_t(-1);

    static size_t hashDe(std::string_view clave) { return std::hash<std::string_view>{}(clave); }

    // A key already there keeps its place and takes the new value; `hash` is hashDe(clave).
    void poner(std::string_view clave, size_t hash, const Valor& valor)
    {
        if (2 * (entradas_.size() + 1) > tabla_.size())
            crecer(std::max<size_t>(64, 2 * tabla_.size()));
        std::uint32_t& r = ranura(clave, hash);
        if (r == kVacia) {
            r = std::uint32_t(entradas_.size());
            entradas_.push_back({clave, hash, valor});
        } else {
            entradas_[r].valor = valor;
        }
    }
    // Index of the key's entry, or kNinguna; `hash` is hashDe(clave).
    size_t indice(std::string_view clave, size_t hash) const
    {
        if (tabla_.empty())
            return kNinguna;
        const std::uint32_t r = const_cast<TablaClavesTRELM*>(this)->ranura(clave, hash);
        return r == kVacia ? kNinguna : r;
    }
    const std::vector<Entrada>& entradas() const { return entradas_; }
    // Room for `n` keys, so that filling it neither copies nor rehashes.
    void reservar(size_t n)
    {
        entradas_.reserve(n);
        size_t c = 64;
        while (c < 2 * n)
            c *= 2;
        if (c > tabla_.size())
            crecer(c);
    }

private:
    static constexpr std::uint32_t kVacia = 0xFFFFFFFFu;

    std::uint32_t& ranura(std::string_view clave, size_t hash)
    {
        const size_t mascara = tabla_.size() - 1;
        for (size_t i = hash & mascara;; i = (i + 1) & mascara) {
            std::uint32_t& r = tabla_[i];
            if (r == kVacia || (entradas_[r].hash == hash && entradas_[r].clave == clave))
                return r;
        }
    }
    void crecer(size_t capacidad)
    {
        tabla_.assign(capacidad, kVacia);
        const size_t mascara = capacidad - 1;
        for (std::uint32_t k = 0; k < entradas_.size(); ++k) {
            size_t i = entradas_[k].hash & mascara;
            while (tabla_[i] != kVacia)
                i = (i + 1) & mascara;
            tabla_[i] = k;
        }
    }

    std::vector<Entrada> entradas_;
    std::vector<std::uint32_t> tabla_;
};

}  // namespace quelva
