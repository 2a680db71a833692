#pragma once

#include "timeline/TimeLiner.h"

#include <QHash>

#include <array>
#include <vector>

namespace quelva {

// The packages' hierarchy grouped once: what hangs under each code, in the orders the config's
// own lists give (CWAs by code, the rest by planned start, ties in file order). A window with
// hundreds of thousands of packages asks these for every CWA and every row on screen; walking
// the whole list for each made a large import never finish.
// Points into the packages it was built from: valid while that list is unchanged, also after it
// was moved or swapped into another config (its storage goes along), so it can be built off
// the GUI thread over a list the store takes later.
class IndiceAWP {
public:
    using Lista = std::vector<const PaqueteAWP*>;

    explicit IndiceAWP(const TimeLinerConfig& config);
    explicit IndiceAWP(const std::vector<PaqueteAWP>& paquetes);

    // Whether it was built over this very list.
    bool sobre(const std::vector<PaqueteAWP>& paquetes) const
    {
        return base_ == paquetes.data() && inicios_.size() == paquetes.size();
    }
    const Lista& cwas() const { return cwas_; }
    const Lista& iwps() const { return iwps_; }
    // Packages of `nivel` whose parent is `codigo`.
    const Lista& hijos(const QString& codigo, NivelAWP nivel) const;
    // IWPs hanging directly under the CWA or under one of its CWPs.
    Lista iwpsDeCWA(const QString& codigo) const;
    // As TimeLinerConfig::alcanceIWP.
    Lista alcanceIWP(const PaqueteAWP& paquete) const;

    // Where a package of the list stands in it, and the list's length.
    std::size_t posicion(const PaqueteAWP* p) const { return std::size_t(p - base_); }
    std::size_t tamano() const { return inicios_.size(); }

private:
    void ordenarPorInicio(Lista& lista) const;

    const PaqueteAWP* base_;
    std::vector<qint64> inicios_;  // planned start of each package, ms since the epoch
    Lista cwas_;
    Lista iwps_;
    QHash<QString, std::array<Lista, 4>> hijos_;  // parent code -> children by level
};

}  // namespace quelva
