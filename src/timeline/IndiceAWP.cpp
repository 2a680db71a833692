#include "timeline/IndiceAWP.h"

#include <algorithm>
#include <set>
#include <string>

namespace quelva {

namespace {

const IndiceAWP::Lista& vacia()
{
    static const IndiceAWP::Lista v;
    return v;
}

}  // namespace

IndiceAWP::IndiceAWP(const TimeLinerConfig& config) : IndiceAWP(config.paquetes) {}

IndiceAWP::IndiceAWP(const std::vector<PaqueteAWP>& paquetes) : base_(paquetes.data())
{
    inicios_.reserve(paquetes.size());
    for (const PaqueteAWP& p : paquetes) {
        inicios_.push_back(claveOrdenFecha(p.fechaInicio));
        if (p.nivel == NivelAWP::cwa)
            cwas_.push_back(&p);
        else if (p.nivel == NivelAWP::iwp)
            iwps_.push_back(&p);
        if (p.parentCodigo)
            hijos_[*p.parentCodigo][std::size_t(p.nivel)].push_back(&p);
    }
    std::vector<std::pair<std::u32string, const PaqueteAWP*>> porCodigo;
    porCodigo.reserve(cwas_.size());
    for (const PaqueteAWP* p : cwas_)
        porCodigo.emplace_back(p->codigo.toStdU32String(), p);  // scalar values, no locale
    std::stable_sort(porCodigo.begin(), porCodigo.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < porCodigo.size(); ++i)
        cwas_[i] = porCodigo[i].second;
    ordenarPorInicio(iwps_);
    for (auto& porNivel : hijos_)
        for (Lista& l : porNivel)
            ordenarPorInicio(l);
}

void IndiceAWP::ordenarPorInicio(Lista& lista) const
{
    // Lists are in file order: a stable sort keeps ties there.
    std::stable_sort(lista.begin(), lista.end(), [this](const PaqueteAWP* a, const PaqueteAWP* b) {
        return inicios_[posicion(a)] < inicios_[posicion(b)];
    });
}

const IndiceAWP::Lista& IndiceAWP::hijos(const QString& codigo, NivelAWP nivel) const
{
    const auto it = hijos_.constFind(codigo);
    return it == hijos_.cend() ? vacia() : (*it)[std::size_t(nivel)];
}

IndiceAWP::Lista IndiceAWP::iwpsDeCWA(const QString& codigo) const
{
    // Each parent code once: a CWP may share its code with the CWA or with another CWP.
    std::set<QString> padres{codigo};
    for (const PaqueteAWP* cwp : hijos(codigo, NivelAWP::cwp))
        padres.insert(cwp->codigo);
    Lista r;
    for (const QString& padre : padres) {
        const Lista& l = hijos(padre, NivelAWP::iwp);
        r.insert(r.end(), l.begin(), l.end());
    }
    if (padres.size() > 1) {
        std::sort(r.begin(), r.end(), [this](const PaqueteAWP* a, const PaqueteAWP* b) {
            const qint64 ia = inicios_[posicion(a)], ib = inicios_[posicion(b)];
            return ia != ib ? ia < ib : a < b;
        });
    }
    return r;
}

IndiceAWP::Lista IndiceAWP::alcanceIWP(const PaqueteAWP& paquete) const
{
    switch (paquete.nivel) {
    case NivelAWP::cwa: return iwpsDeCWA(paquete.codigo);
    case NivelAWP::cwp: return hijos(paquete.codigo, NivelAWP::iwp);
    case NivelAWP::iwp:
    case NivelAWP::pwp: break;
    }
    return {&paquete};
}

}  // namespace quelva
