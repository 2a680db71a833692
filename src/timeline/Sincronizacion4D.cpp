#include "timeline/Sincronizacion4D.h"

#include <cmath>
#include <unordered_set>

namespace quelva {

namespace {

scene::Material* primerMaterial(scene::Node& nodo)
{
    if (!nodo.geometry || nodo.geometry->materials.empty())
        return nullptr;
    return nodo.geometry->materials.front().get();
}

// Colours reach us through 8-bit and float channels: the green comes back only nearly equal.
bool casiIgual(const scene::Color& a, const scene::Color& b)
{
    const double e = 1.0 / 512;
    return std::abs(a.r - b.r) < e && std::abs(a.g - b.g) < e && std::abs(a.b - b.b) < e && std::abs(a.a - b.a) < e;
}

}  // namespace

int Sincronizacion4D::estado4DElemento(const QString& nombre, const std::vector<PaqueteAWP>& paquetes,
                                       const QDateTime& fecha)
{
    for (const PaqueteAWP& p : paquetes) {
        if (!p.elementosNombre.contains(nombre))
            continue;
        if (fecha < p.fechaInicio)
            return 0;
        return fecha <= p.fechaFin ? 1 : 2;
    }
    return 2;
}

void Sincronizacion4D::prepararPaquetes(const TimeLinerConfig& config)
{
    paquetes_.clear();
    decide_.clear();
    for (const PaqueteAWP& p : config.paquetes) {
        if (p.elementosNombre.isEmpty())
            continue;
        const int indice = int(paquetes_.size());
        paquetes_.push_back({p.fechaInicio.toMSecsSinceEpoch(), p.fechaFin.toMSecsSinceEpoch(), 0});
        for (const QString& nombre : p.elementosNombre)
            if (decide_.try_emplace(nombre.toStdString(), indice).second)
                ++paquetes_.back().nombres;  // the first package that names it decides
    }
    estados_.assign(paquetes_.size(), 2);
}

Sincronizacion4D::Guardado* Sincronizacion4D::buscar(const scene::Node& nodo)
{
    const auto it = originales_.find(&nodo);
    // A dead entry at this address belonged to a freed node, not to this one.
    if (it == originales_.end() || it->second.nodo.expired())
        return nullptr;
    return &it->second;
}

Sincronizacion4D::Guardado& Sincronizacion4D::guardar(scene::Node& nodo, scene::Material& material)
{
    if (Guardado* g = buscar(nodo))
        return *g;
    Guardado& g = originales_[&nodo];
    g = Guardado{nodo.weak_from_this(), material.diffuse.contents, -1};
    return g;
}

void Sincronizacion4D::resolver(const RaicesEscena& raices)
{
    for (auto& [nodo, g] : originales_)
        g.paquete = -1;
    resueltos_.clear();
    const auto visitar = [this](scene::Node& n) {
        if (!n.name || n.name->empty())
            return false;
        const auto it = decide_.find(*n.name);
        if (it == decide_.end())
            return false;
        scene::Material* m = primerMaterial(n);
        if (!m)
            return false;
        Guardado& g = guardar(n, *m);
        g.paquete = it->second;
        resueltos_.push_back({n.weak_from_this(), &n, &g});
        return false;
    };
    raizResuelta_ = raices.hayVista ? raices.raizVista.get() : nullptr;
    raicesResueltas_.clear();
    for (const scene::NodePtr& r : raices.raicesEspecialidades)
        raicesResueltas_.push_back(r.get());
    if (raizResuelta_)
        raices.raizVista->visitDescendants(visitar);
    if (resueltos_.empty())
        for (const scene::NodePtr& r : raices.raicesEspecialidades)
            if (r)
                r->visitDescendants(visitar);

    // Nodes that no package names any more go back to their own look, as finished ones do.
    for (auto it = originales_.begin(); it != originales_.end();) {
        if (it->second.paquete >= 0) {
            ++it;
            continue;
        }
        if (const scene::NodePtr n = it->second.nodo.lock()) {
            n->opacity = 1.0;
            if (scene::Material* m = primerMaterial(*n))
                m->diffuse.contents = it->second.diffuse;
        }
        it = originales_.erase(it);
    }
    resolucionValida_ = true;
}

void Sincronizacion4D::aplicar(scene::Node& nodo, const Guardado& g) const
{
    scene::Material* m = primerMaterial(nodo);
    if (!m)
        return;
    switch (estados_[std::size_t(g.paquete)]) {
    case 0: nodo.opacity = 0.0; break;
    case 1:
        nodo.opacity = opacidadEnCurso;
        m->diffuse.contents = verdeEnCurso();
        break;
    default:
        nodo.opacity = 1.0;
        m->diffuse.contents = g.diffuse;
        break;
    }
}

QString Sincronizacion4D::sincronizar(const TimeLinerConfig& config, std::uint64_t version, const QDateTime& fecha,
                                      const RaicesEscena& raices)
{
    if (!paquetesValidos_ || version != version_) {
        prepararPaquetes(config);
        version_ = version;
        paquetesValidos_ = true;
        resolucionValida_ = false;
    }
    if (paquetes_.empty())
        return QStringLiteral("⚠ Sin elementos asignados");

    const qint64 t = fecha.toMSecsSinceEpoch();
    long long cuenta[3] = {0, 0, 0};
    for (std::size_t i = 0; i < paquetes_.size(); ++i) {
        const PaqueteFechas& p = paquetes_[i];
        const std::int8_t e = t < p.inicio ? 0 : t <= p.fin ? 1 : 2;
        estados_[i] = e;
        cuenta[e] += p.nombres;
    }

    const scene::Node* raiz = raices.hayVista ? raices.raizVista.get() : nullptr;
    bool mismasRaices = raiz == raizResuelta_ && raices.raicesEspecialidades.size() == raicesResueltas_.size();
    for (std::size_t i = 0; mismasRaices && i < raicesResueltas_.size(); ++i)
        mismasRaices = raices.raicesEspecialidades[i].get() == raicesResueltas_[i];
    if (!resolucionValida_ || !mismasRaices)
        resolver(raices);

    bool perdidos = false;
    for (const Resuelto& r : resueltos_) {
        if (r.nodo.expired()) {
            perdidos = true;
            continue;
        }
        aplicar(*r.crudo, *r.guardado);
    }
    if (perdidos)
        resolucionValida_ = false;

    if (resueltos_.empty()) {
        if (!raices.hayVista)
            return QStringLiteral("⚠ Vista 3D no disponible");
        return QStringLiteral("⚠ Nombres no coinciden (%1 buscados)").arg(decide_.size());
    }
    return QStringLiteral("🔵%1 ✅%2 ⬜%3").arg(cuenta[2]).arg(cuenta[1]).arg(cuenta[0]);
}

void Sincronizacion4D::alRecolorear(scene::Node& nodo, const scene::Color& color)
{
    Guardado* g = buscar(nodo);
    if (!g)
        return;
    // The green of an element under way is the timeline's own look, never the element's colour.
    if (!casiIgual(color, verdeEnCurso()))
        g->diffuse = color;
    if (g->paquete >= 0 && std::size_t(g->paquete) < estados_.size())
        aplicar(nodo, *g);
}

void Sincronizacion4D::quitarDestacado()
{
    for (const std::weak_ptr<scene::Node>& w : destacados_)
        if (const scene::NodePtr n = w.lock())
            if (scene::Material* m = primerMaterial(*n))
                m->emission.contents = scene::Color::black();
    destacados_.clear();
}

void Sincronizacion4D::destacar(const std::set<QString>& nombres, const std::vector<scene::NodePtr>& raices)
{
    quitarDestacado();
    if (nombres.empty())
        return;
    std::unordered_set<std::string> buscados;
    for (const QString& n : nombres)
        buscados.insert(n.toStdString());
    for (const scene::NodePtr& raiz : raices) {
        if (!raiz)
            continue;
        raiz->visitDescendants([&](scene::Node& n) {
            if (n.geometry && n.name && buscados.count(*n.name)) {
                if (scene::Material* m = primerMaterial(n))
                    m->emission.contents = colorDestacado();
                destacados_.push_back(n.weak_from_this());
            }
            return false;
        });
    }
}

std::size_t Sincronizacion4D::nodosDestacados() const
{
    return destacados_.size();
}

void Sincronizacion4D::restaurar()
{
    quitarDestacado();
    for (auto& [crudo, g] : originales_)
        if (const scene::NodePtr n = g.nodo.lock()) {
            n->opacity = 1.0;
            if (scene::Material* m = primerMaterial(*n))
                m->diffuse.contents = g.diffuse;
        }
    originales_.clear();
    resueltos_.clear();
    resolucionValida_ = false;
}

std::optional<scene::Contents> Sincronizacion4D::colorOriginal(const scene::Node& nodo) const
{
    const auto it = originales_.find(&nodo);
    if (it == originales_.end() || it->second.nodo.expired())
        return std::nullopt;
    return it->second.diffuse;
}

namespace {

void agregarNombres(std::set<QString>& nombres, const PaqueteAWP& p)
{
    for (const QString& n : p.elementosNombre)
        nombres.insert(n);
}

}  // namespace

std::set<QString> nombresDestacado(const TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    std::set<QString> nombres;
    agregarNombres(nombres, paquete);
    if (paquete.nivel == NivelAWP::cwp)
        for (const PaqueteAWP& iwp : config.hijos(paquete.codigo, NivelAWP::iwp))
            agregarNombres(nombres, iwp);
    else if (paquete.nivel == NivelAWP::cwa)
        for (const PaqueteAWP& iwp : config.iwpsDeCWA(paquete.codigo))
            agregarNombres(nombres, iwp);
    return nombres;
}

std::set<QString> nombresFicha(const TimeLinerConfig& config, const PaqueteAWP& paquete)
{
    std::set<QString> nombres = nombresDestacado(config, paquete);
    if (paquete.nivel == NivelAWP::cwa)
        for (const PaqueteAWP& cwp : config.hijos(paquete.codigo, NivelAWP::cwp))
            agregarNombres(nombres, cwp);
    return nombres;
}

std::vector<std::pair<std::weak_ptr<scene::Node>, double>> aislarNombres(scene::Node& raiz,
                                                                        const std::set<QString>& nombres)
{
    std::unordered_set<std::string> buscados;
    for (const QString& n : nombres)
        buscados.insert(n.toStdString());
    std::vector<std::pair<std::weak_ptr<scene::Node>, double>> guardadas;
    raiz.visitDescendants([&](scene::Node& n) {
        if (n.geometry) {
            guardadas.emplace_back(n.weak_from_this(), n.opacity);
            n.opacity = n.name && buscados.count(*n.name) ? 1.0 : 0.0;
        }
        return false;
    });
    return guardadas;
}

void devolverOpacidades(const std::vector<std::pair<std::weak_ptr<scene::Node>, double>>& guardadas)
{
    for (const auto& [w, opacidad] : guardadas)
        if (const scene::NodePtr n = w.lock())
            n->opacity = opacidad;
}

}  // namespace quelva
