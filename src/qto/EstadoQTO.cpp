#include "qto/EstadoQTO.h"

#include "platform/TextOrder.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quelva {

namespace {

constexpr std::array<std::pair<OrdenQTO, const char16_t*>, 7> kTitulos = {{
    {OrdenQTO::tipoNombre, u"Tipo IFC"},
    {OrdenQTO::especialidad, u"Especialidad"},
    {OrdenQTO::cantidad, u"Cant."},
    {OrdenQTO::volumen, u"Vol. (m³)"},
    {OrdenQTO::areaPlanta, u"Área planta (m²)"},
    {OrdenQTO::areaCara, u"Área cara (m²)"},
    {OrdenQTO::peso, u"Peso (kg)"},
}};

template <typename Termino>
float total(const std::vector<const GrupoQTO*>& grupos, Termino termino)
{
    float suma = 0;
    for (const GrupoQTO* g : grupos)
        suma += termino(*g);
    return suma;
}

template <typename T>
int comparar(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

QString tituloOrden(OrdenQTO orden)
{
    for (const auto& [o, titulo] : kTitulos)
        if (o == orden)
            return QString::fromUtf16(titulo);
    return {};
}

std::optional<OrdenQTO> ordenDesdeTitulo(const QString& titulo)
{
    for (const auto& [o, t] : kTitulos)
        if (titulo == QString::fromUtf16(t))
            return o;
    return std::nullopt;
}

double anchoColumnaTipo(qsizetype extras, double anchoDisponible)
{
    using namespace anchosQTO;
    const double fijas = wEsp + wCant + wDens + 3 * wDim + wVol + wAP + wAC + wPeso;
    return std::max(wMinTipo, anchoDisponible - fijas - double(extras) * wExtra - 24);
}

EstadoQTO::EstadoQTO(std::vector<GrupoQTO> g, QDateTime f) : grupos(std::move(g)), fecha(std::move(f)) {}

bool EstadoQTO::compararGrupos(const GrupoQTO& a, const GrupoQTO& b) const
{
    int c = 0;
    switch (ordenColumna) {
    case OrdenQTO::tipoNombre: c = platform::compareCodePoints(a.tipoNombre, b.tipoNombre); break;
    case OrdenQTO::especialidad: c = platform::compareCodePoints(a.especialidad, b.especialidad); break;
    case OrdenQTO::cantidad: c = comparar(a.items.size(), b.items.size()); break;
    case OrdenQTO::volumen: c = comparar(a.volumen(), b.volumen()); break;
    case OrdenQTO::areaPlanta: c = comparar(a.areaPlanta(), b.areaPlanta()); break;
    case OrdenQTO::areaCara: c = comparar(a.areaCara(), b.areaCara()); break;
    case OrdenQTO::peso: c = comparar(a.peso(), b.peso()); break;
    }
    return ordenAscendente ? c < 0 : c > 0;
}

std::vector<const GrupoQTO*> EstadoQTO::gruposFiltrados() const
{
    std::vector<const GrupoQTO*> visibles;
    visibles.reserve(grupos.size());
    for (const GrupoQTO& g : grupos)
        if (!filtroEsp || g.especialidad == *filtroEsp)
            visibles.push_back(&g);
    std::stable_sort(visibles.begin(), visibles.end(),
                     [this](const GrupoQTO* a, const GrupoQTO* b) { return compararGrupos(*a, *b); });
    return visibles;
}

QStringList EstadoQTO::especialidadesFiltro() const
{
    QStringList nombres;
    for (const GrupoQTO& g : grupos)
        if (!nombres.contains(g.especialidad))
            nombres.append(g.especialidad);
    std::stable_sort(nombres.begin(), nombres.end(), platform::lessCodePoints);
    return nombres;
}

float EstadoQTO::totalVolumen() const { return total(gruposFiltrados(), [](const GrupoQTO& g) { return g.volumen(); }); }
float EstadoQTO::totalAreaPlanta() const
{
    return total(gruposFiltrados(), [](const GrupoQTO& g) { return g.areaPlanta(); });
}
float EstadoQTO::totalPeso() const { return total(gruposFiltrados(), [](const GrupoQTO& g) { return g.peso(); }); }

qsizetype EstadoQTO::totalElementos() const
{
    qsizetype n = 0;
    for (const GrupoQTO* g : gruposFiltrados())
        n += qsizetype(g->items.size());
    return n;
}

void EstadoQTO::ordenarPor(std::optional<OrdenQTO> columna)
{
    if (!columna)
        return;
    if (*columna != ordenColumna) {
        ordenColumna = *columna;
        ordenAscendente = true;
    } else {
        ordenAscendente = !ordenAscendente;
    }
}

void EstadoQTO::alternarGrupo(const QUuid& id)
{
    if (!expandidos.remove(id))
        expandidos.insert(id);
}

void EstadoQTO::expandirTodo()
{
    QSet<QUuid> ids;
    for (const GrupoQTO* g : gruposFiltrados())
        ids.insert(g->id);
    expandidos = std::move(ids);
}

void EstadoQTO::contraerTodo() { expandidos.clear(); }

void EstadoQTO::quitarParametros() { parametrosExtra.clear(); }

}  // namespace quelva
