#pragma once

#include "federation/ifc/IfcProperties.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quelva {

// The property texts of every item of a take-off, copied once into one store: keys are kept
// once each, values end to end in one buffer. Copying the model's dictionaries item by item
// would cost one allocation per property.
class AlmacenPropiedadesQTO {
public:
    using ClaveId = std::uint32_t;
    static constexpr ClaveId kSinClave = UINT32_MAX;

    struct Entrada {
        ClaveId clave;
        std::uint32_t largo;
        const char* datos;  // in a block of the store
    };

    // Copies a dictionary; returns its entries, which stay where they are for the store's life.
    const Entrada* agregar(const PropiedadesElementoIFC& propiedades);

    ClaveId buscarClave(std::string_view clave) const;
    std::string_view clave(ClaveId id) const { return claves_[id]; }
    std::size_t cuentaClaves() const { return claves_.size(); }
    static std::string_view valor(const Entrada& e) { return {e.datos, e.largo}; }

private:
    ClaveId idClave(const std::string& clave, std::size_t posicion);
    Entrada* reservarEntradas(std::size_t n);
    char* reservarTexto(std::size_t n);

    std::deque<std::string> claves_;  // stable: the index looks at them
    std::unordered_map<std::string_view, ClaveId> indice_;
    // Blocks that never move, so nothing is copied as the store grows.
    std::vector<std::unique_ptr<Entrada[]>> bloquesEntradas_;
    std::size_t libresEntradas_ = 0;
    std::size_t usadasEntradas_ = 0;
    std::vector<std::unique_ptr<char[]>> bloquesTexto_;
    std::size_t libresTexto_ = 0;
    std::size_t usadoTexto_ = 0;
    // Elements of a model mostly hold the same keys in the same order.
    std::vector<ClaveId> secuenciaAnterior_;
};

// One item's properties: a range of a shared store. Empty when the element had none.
class PropiedadesQTO {
public:
    PropiedadesQTO() = default;
    PropiedadesQTO(std::shared_ptr<const AlmacenPropiedadesQTO> almacen, const AlmacenPropiedadesQTO::Entrada* primera,
                   std::uint32_t cuenta)
        : almacen_(std::move(almacen)), primera_(primera), cuenta_(cuenta)
    {
    }
    // A store of its own, for items made one by one.
    static PropiedadesQTO desde(const PropiedadesElementoIFC& propiedades);

    bool vacio() const { return cuenta_ == 0; }
    std::size_t size() const { return cuenta_; }
    const AlmacenPropiedadesQTO* almacen() const { return almacen_.get(); }

    std::optional<std::string_view> valor(std::string_view clave) const;
    // With a key already looked up in this item's store.
    std::optional<std::string_view> valor(AlmacenPropiedadesQTO::ClaveId id) const;

    // Calls f(clave, valor) for every entry, keys in text order.
    template <typename F>
    void paraCada(F&& f) const
    {
        for (std::uint32_t i = 0; i < cuenta_; ++i) {
            const auto& e = primera_[i];
            f(e.clave, almacen_->clave(e.clave), AlmacenPropiedadesQTO::valor(e));
        }
    }

    // Same keys and values.
    bool operator==(const PropiedadesQTO& otra) const;

private:
    std::shared_ptr<const AlmacenPropiedadesQTO> almacen_;
    const AlmacenPropiedadesQTO::Entrada* primera_ = nullptr;
    std::uint32_t cuenta_ = 0;
};

}  // namespace quelva
