#include "qto/PropiedadesQTO.h"

#include <algorithm>
#include <cstring>

namespace quelva {

AlmacenPropiedadesQTO::ClaveId AlmacenPropiedadesQTO::idClave(const std::string& clave, std::size_t posicion)
{
    if (posicion < secuenciaAnterior_.size() && claves_[secuenciaAnterior_[posicion]] == clave)
        return secuenciaAnterior_[posicion];
    ClaveId id = buscarClave(clave);
    if (id == kSinClave) {
        id = ClaveId(claves_.size());
        claves_.push_back(clave);
        indice_.emplace(claves_.back(), id);
    }
    if (posicion < secuenciaAnterior_.size())
        secuenciaAnterior_[posicion] = id;
    else
        secuenciaAnterior_.push_back(id);
    return id;
}

namespace {
// Below the allocator's threshold for fresh mappings: freed blocks are reused, not unmapped.
constexpr std::size_t kBloqueEntradas = 4096;
constexpr std::size_t kBloqueTexto = 64 * 1024;
}  // namespace

AlmacenPropiedadesQTO::Entrada* AlmacenPropiedadesQTO::reservarEntradas(std::size_t n)
{
    if (n == 0)
        return nullptr;
    if (n > libresEntradas_) {
        const std::size_t tam = std::max(n, kBloqueEntradas);
        bloquesEntradas_.push_back(std::make_unique_for_overwrite<Entrada[]>(tam));
        libresEntradas_ = tam;
        usadasEntradas_ = 0;
    }
    Entrada* p = bloquesEntradas_.back().get() + usadasEntradas_;
    usadasEntradas_ += n;
    libresEntradas_ -= n;
    return p;
}

char* AlmacenPropiedadesQTO::reservarTexto(std::size_t n)
{
    if (n == 0)
        return nullptr;
    if (n > libresTexto_) {
        const std::size_t tam = std::max(n, kBloqueTexto);
        bloquesTexto_.push_back(std::make_unique_for_overwrite<char[]>(tam));
        libresTexto_ = tam;
        usadoTexto_ = 0;
    }
    char* p = bloquesTexto_.back().get() + usadoTexto_;
    usadoTexto_ += n;
    libresTexto_ -= n;
    return p;
}

const AlmacenPropiedadesQTO::Entrada* AlmacenPropiedadesQTO::agregar(const PropiedadesElementoIFC& propiedades)
{
    Entrada* entradas = reservarEntradas(propiedades.size());
    std::size_t posicion = 0;
    for (const auto& [clave, valor] : propiedades) {
        char* texto = reservarTexto(valor.size());
        if (texto)
            std::memcpy(texto, valor.data(), valor.size());
        entradas[posicion] = {idClave(clave, posicion), std::uint32_t(valor.size()), texto};
        ++posicion;
    }
    return entradas;
}

AlmacenPropiedadesQTO::ClaveId AlmacenPropiedadesQTO::buscarClave(std::string_view clave) const
{
    const auto it = indice_.find(clave);
    return it == indice_.end() ? kSinClave : it->second;
}

PropiedadesQTO PropiedadesQTO::desde(const PropiedadesElementoIFC& propiedades)
{
    auto almacen = std::make_shared<AlmacenPropiedadesQTO>();
    const AlmacenPropiedadesQTO::Entrada* primera = almacen->agregar(propiedades);
    return {std::move(almacen), primera, std::uint32_t(propiedades.size())};
}

std::optional<std::string_view> PropiedadesQTO::valor(AlmacenPropiedadesQTO::ClaveId id) const
{
    if (id == AlmacenPropiedadesQTO::kSinClave)
        return std::nullopt;
    for (std::uint32_t i = 0; i < cuenta_; ++i)
        if (primera_[i].clave == id)
            return AlmacenPropiedadesQTO::valor(primera_[i]);
    return std::nullopt;
}

std::optional<std::string_view> PropiedadesQTO::valor(std::string_view clave) const
{
    if (!almacen_)
        return std::nullopt;
    return valor(almacen_->buscarClave(clave));
}

bool PropiedadesQTO::operator==(const PropiedadesQTO& otra) const
{
    if (cuenta_ != otra.cuenta_)
        return false;
    for (std::uint32_t i = 0; i < cuenta_; ++i) {
        const auto& a = primera_[i];
        const auto& b = otra.primera_[i];
        if (almacen_->clave(a.clave) != otra.almacen_->clave(b.clave)
            || AlmacenPropiedadesQTO::valor(a) != AlmacenPropiedadesQTO::valor(b))
            return false;
    }
    return true;
}

}  // namespace quelva
