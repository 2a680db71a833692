#include "timeline/detector/DetectorAWP.h"

#include "platform/TextOrder.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace quelva {

namespace {

const QString kSeparador = QStringLiteral(" \u203A ");

// Candidates of each level by element name, in list order, so that a child's parent is found
// by walking its own names once.
class IndicePadres {
public:
    explicit IndicePadres(const std::vector<ParametroAWPDetectado>& candidatos) : candidatos_(candidatos)
    {
        for (int i = 0; i < int(candidatos.size()); ++i)
            for (const QString& e : candidatos[i].elementos)
                porNivel_[int(candidatos[i].nivel)][e].push_back(i);
    }

    std::optional<QString> buscar(NivelAWP nivel, const QStringList& elementos) const
    {
        const auto& indice = porNivel_[int(nivel)];
        if (indice.isEmpty())
            return std::nullopt;
        QSet<QString> vistos;
        QHash<int, int> comunes;
        for (const QString& e : elementos) {
            if (vistos.contains(e))
                continue;
            vistos.insert(e);
            const auto it = indice.constFind(e);
            if (it == indice.cend())
                continue;
            for (int i : *it)
                ++comunes[i];
        }
        int mejor = -1, mejorCuenta = 0;
        for (auto it = comunes.cbegin(); it != comunes.cend(); ++it)
            if (it.value() > mejorCuenta || (it.value() == mejorCuenta && it.key() < mejor)) {
                mejor = it.key();
                mejorCuenta = it.value();
            }
        if (mejor < 0)
            return std::nullopt;
        return candidatos_[mejor].codigo;
    }

private:
    const std::vector<ParametroAWPDetectado>& candidatos_;
    std::array<QHash<QString, std::vector<int>>, 4> porNivel_;
};

}  // namespace

std::optional<NivelAWP> nivelDeClave(const QString& clave)
{
    const qsizetype corte = clave.lastIndexOf(kSeparador);
    QStringView pieza = corte < 0 ? QStringView(clave) : QStringView(clave).sliced(corte + kSeparador.size());
    while (!pieza.isEmpty() && (pieza.front() == u' ' || pieza.front() == u'\t'))
        pieza = pieza.sliced(1);
    while (!pieza.isEmpty() && (pieza.back() == u' ' || pieza.back() == u'\t'))
        pieza.chop(1);
    // Upper-casing never shortens a text to three letters from more than a few.
    if (pieza.isEmpty() || pieza.size() > 6)
        return std::nullopt;
    return nivelAWPDesdeTexto(pieza.toString().toUpper());
}

bool ordenResultados(const ParametroAWPDetectado& a, const ParametroAWPDetectado& b)
{
    if (a.nivel != b.nivel)
        return textoNivelAWP(a.nivel) < textoNivelAWP(b.nivel);
    return platform::compareCodePoints(a.codigo, b.codigo) < 0;
}

std::vector<ParametroAWPDetectado> analizarPropiedades(const PropiedadesPorEspecialidad& tabla)
{
    struct Grupo {
        NivelAWP nivel;
        QString codigo;
        QString clave;  // NFC, for the order
        std::unordered_set<std::string_view> nombres;
        std::vector<std::string_view> orden;
    };
    std::vector<Grupo> grupos;
    // Exact value bytes and NFC text both lead to the group; the NFC form is computed once per
    // distinct value.
    std::unordered_map<std::string_view, int> porValor;
    QHash<QString, int> porNFC;
    // Keys repeat across elements: their level is worked out once.
    std::unordered_map<std::string_view, std::optional<NivelAWP>> niveles;

    for (const auto& [especialidad, elementos] : tabla) {
        for (const auto& [nombre, propiedades] : elementos) {
            for (const auto& [clave, valor] : propiedades) {
                if (valor.empty())
                    continue;
                auto nv = niveles.find(clave);
                if (nv == niveles.end())
                    nv = niveles.emplace(clave, nivelDeClave(QString::fromStdString(clave))).first;
                if (!nv->second)
                    continue;
                auto g = porValor.find(valor);
                if (g == porValor.end()) {
                    const QString texto = QString::fromStdString(valor);
                    const QString nfc = platform::nfc(texto);
                    auto n = porNFC.constFind(nfc);
                    int i;
                    if (n == porNFC.cend()) {
                        i = int(grupos.size());
                        grupos.push_back({*nv->second, texto, nfc, {}, {}});
                        porNFC.insert(nfc, i);
                    } else {
                        i = *n;
                    }
                    g = porValor.emplace(valor, i).first;
                }
                Grupo& grupo = grupos[g->second];
                if (grupo.nombres.insert(nombre).second)
                    grupo.orden.push_back(nombre);
            }
        }
    }

    std::vector<ParametroAWPDetectado> resultados;
    resultados.reserve(grupos.size());
    std::vector<QString> claves;
    claves.reserve(grupos.size());
    for (Grupo& g : grupos) {
        QStringList elementos;
        elementos.reserve(qsizetype(g.orden.size()));
        for (std::string_view n : g.orden)
            elementos.append(QString::fromUtf8(n.data(), qsizetype(n.size())));
        resultados.push_back({g.nivel, g.codigo, std::move(elementos)});
        claves.push_back(g.clave);
    }
    std::vector<std::size_t> orden(resultados.size());
    for (std::size_t i = 0; i < orden.size(); ++i)
        orden[i] = i;
    std::sort(orden.begin(), orden.end(), [&](std::size_t a, std::size_t b) {
        if (resultados[a].nivel != resultados[b].nivel)
            return textoNivelAWP(resultados[a].nivel) < textoNivelAWP(resultados[b].nivel);
        return platform::compareNormalizedCodePoints(claves[a], claves[b]) < 0;
    });
    std::vector<ParametroAWPDetectado> ordenados;
    ordenados.reserve(resultados.size());
    for (std::size_t i : orden)
        ordenados.push_back(std::move(resultados[i]));
    return ordenados;
}

std::optional<QString> buscarPadre(NivelAWP nivelPadre, const QStringList& elementos,
                                   const std::vector<ParametroAWPDetectado>& candidatos)
{
    return IndicePadres(candidatos).buscar(nivelPadre, elementos);
}

TimeLinerConfig importarSeleccionados(TimeLinerConfig config, const std::vector<ParametroAWPDetectado>& resultados,
                                      const QSet<QString>& seleccionados)
{
    std::vector<ParametroAWPDetectado> marcados;
    for (const ParametroAWPDetectado& r : resultados)
        if (seleccionados.contains(r.codigo))
            marcados.push_back(r);
    const IndicePadres indice(marcados);

    QSet<QString> existentes;
    for (const PaqueteAWP& p : config.paquetes)
        existentes.insert(platform::nfc(p.codigo));
    for (const ParametroAWPDetectado& r : marcados) {
        const QString clave = platform::nfc(r.codigo);
        if (existentes.contains(clave))
            continue;
        existentes.insert(clave);
        PaqueteAWP p;
        p.codigo = r.codigo;
        p.nombre = r.codigo;
        p.nivel = r.nivel;
        p.elementosNombre = r.elementos;
        switch (r.nivel) {
        case NivelAWP::cwa: break;
        case NivelAWP::cwp: p.parentCodigo = indice.buscar(NivelAWP::cwa, r.elementos); break;
        case NivelAWP::iwp:
            p.parentCodigo = indice.buscar(NivelAWP::cwp, r.elementos);
            if (!p.parentCodigo)
                p.parentCodigo = indice.buscar(NivelAWP::cwa, r.elementos);
            break;
        case NivelAWP::pwp: p.parentCodigo = indice.buscar(NivelAWP::iwp, r.elementos); break;
        }
        config.paquetes.push_back(std::move(p));
    }

    if (!config.paquetes.empty()) {
        QDateTime inicio = config.paquetes.front().fechaInicio;
        QDateTime fin = config.paquetes.front().fechaFin;
        for (const PaqueteAWP& p : config.paquetes) {
            inicio = std::min(inicio, p.fechaInicio);
            fin = std::max(fin, p.fechaFin);
        }
        config.fechaInicio = inicio;
        config.fechaFin = fin;
    }
    return config;
}

}  // namespace quelva
