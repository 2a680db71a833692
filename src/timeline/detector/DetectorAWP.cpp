#include "timeline/detector/DetectorAWP.h"

#include "platform/TextOrder.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

namespace quelva {

namespace {

const QString kSeparador = QStringLiteral(" \u203A ");

// Candidates of each level by element, so that a child's parent is found by walking its own
// names once. Names become numbers once; the per-level lists are packed in one array each.
class IndicePadres {
public:
    explicit IndicePadres(const std::vector<ParametroAWPDetectado>& candidatos) : candidatos_(candidatos)
    {
        std::vector<std::vector<int>> porCandidato(candidatos.size());
        for (std::size_t i = 0; i < candidatos.size(); ++i) {
            if (candidatos[i].nivel == NivelAWP::pwp)
                continue;  // a PWP is never a parent
            porCandidato[i].reserve(std::size_t(candidatos[i].elementos.size()));
            for (const QString& e : candidatos[i].elementos)
                porCandidato[i].push_back(idDe(e, true));
        }
        const std::size_t n = ids_.size();
        for (NivelAWP nivel : {NivelAWP::cwa, NivelAWP::cwp, NivelAWP::iwp}) {
            Lista& l = listas_[int(nivel)];
            l.inicio.assign(n + 1, 0);
            for (std::size_t i = 0; i < candidatos.size(); ++i)
                if (candidatos[i].nivel == nivel)
                    for (int id : porCandidato[i])
                        ++l.inicio[std::size_t(id) + 1];
            for (std::size_t k = 0; k < n; ++k)
                l.inicio[k + 1] += l.inicio[k];
            l.candidatos.resize(l.inicio[n]);
            std::vector<int> lleno(l.inicio.begin(), l.inicio.end() - 1);
            // In list order, so each element's candidates are ascending.
            for (std::size_t i = 0; i < candidatos.size(); ++i)
                if (candidatos[i].nivel == nivel)
                    for (int id : porCandidato[i])
                        l.candidatos[std::size_t(lleno[std::size_t(id)]++)] = int(i);
        }
        visto_.assign(n, -1);
        comunes_.assign(candidatos.size(), 0);
    }

    std::optional<QString> buscar(NivelAWP nivel, const QStringList& elementos)
    {
        if (nivel == NivelAWP::pwp)
            return std::nullopt;
        const Lista& l = listas_[int(nivel)];
        ++llamada_;
        tocados_.clear();
        for (const QString& e : elementos) {
            const int id = idDe(e, false);
            if (id < 0 || visto_[std::size_t(id)] == llamada_)
                continue;  // unknown, or a name the child lists twice
            visto_[std::size_t(id)] = llamada_;
            for (int k = l.inicio[std::size_t(id)]; k < l.inicio[std::size_t(id) + 1]; ++k) {
                const int c = l.candidatos[std::size_t(k)];
                if (comunes_[std::size_t(c)]++ == 0)
                    tocados_.push_back(c);
            }
        }
        int mejor = -1, mejorCuenta = 0;
        for (int c : tocados_) {
            const int cuenta = comunes_[std::size_t(c)];
            if (cuenta > mejorCuenta || (cuenta == mejorCuenta && c < mejor)) {
                mejor = c;
                mejorCuenta = cuenta;
            }
            comunes_[std::size_t(c)] = 0;
        }
        if (mejor < 0)
            return std::nullopt;
        return candidatos_[std::size_t(mejor)].codigo;
    }

private:
    struct Lista {
        std::vector<int> inicio;  // per element id, into candidatos
        std::vector<int> candidatos;
    };

    int idDe(const QString& nombre, bool crear)
    {
        const auto it = ids_.constFind(nombre);
        if (it != ids_.cend())
            return *it;
        if (!crear)
            return -1;
        const int id = int(ids_.size());
        ids_.insert(nombre, id);
        return id;
    }

    const std::vector<ParametroAWPDetectado>& candidatos_;
    QHash<QString, int> ids_;
    std::array<Lista, 3> listas_;
    std::vector<int> visto_;
    std::vector<int> comunes_;
    std::vector<int> tocados_;
    int llamada_ = 0;
};

// Most keys end in a letter no level ends in: they are passed over without a lookup.
bool puedeNombrarNivel(const std::string& clave)
{
    std::size_t n = clave.size();
    while (n > 0 && (clave[n - 1] == ' ' || clave[n - 1] == '\t'))
        --n;
    if (n == 0)
        return false;
    const auto c = static_cast<unsigned char>(clave[n - 1]);
    return c >= 0x80 || c == 'a' || c == 'A' || c == 'p' || c == 'P';
}

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
        QStringList elementos;
        qint64 ultimoElemento = -1;  // an element naming the code twice is added once
        int ultimaEspecialidad = -1;
        bool variasEspecialidades = false;  // only then can a name come twice
    };
    std::vector<Grupo> grupos;
    // Exact value bytes and NFC text both lead to the group; the NFC form is computed once per
    // distinct value.
    std::unordered_map<std::string_view, int> porValor;
    QHash<QString, int> porNFC;
    // Keys repeat across elements: their level is worked out once.
    std::unordered_map<std::string_view, std::optional<NivelAWP>> niveles;

    int especialidad = 0;
    qint64 serie = 0;
    for (const auto& [claveEspecialidad, elementos] : tabla) {
        for (const auto& [nombre, propiedades] : elementos) {
            ++serie;
            QString nombreQ;  // made once per element, shared by its groups
            for (const auto& [clave, valor] : propiedades) {
                if (valor.empty() || !puedeNombrarNivel(clave))
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
                        grupos.push_back({*nv->second, texto, nfc, {}});
                        porNFC.insert(nfc, i);
                    } else {
                        i = *n;
                    }
                    g = porValor.emplace(valor, i).first;
                }
                Grupo& grupo = grupos[std::size_t(g->second)];
                if (grupo.ultimoElemento == serie)
                    continue;
                grupo.ultimoElemento = serie;
                if (grupo.ultimaEspecialidad >= 0 && grupo.ultimaEspecialidad != especialidad)
                    grupo.variasEspecialidades = true;
                grupo.ultimaEspecialidad = especialidad;
                if (nombreQ.isNull())
                    nombreQ = QString::fromStdString(nombre);
                grupo.elementos.append(nombreQ);
            }
        }
        ++especialidad;
    }
    // An element name met in two disciplines counts once.
    for (Grupo& g : grupos) {
        if (!g.variasEspecialidades)
            continue;
        QSet<QString> vistos;
        QStringList unicos;
        for (const QString& e : std::as_const(g.elementos))
            if (!vistos.contains(e)) {
                vistos.insert(e);
                unicos.append(e);
            }
        g.elementos = std::move(unicos);
    }

    std::vector<ParametroAWPDetectado> resultados;
    resultados.reserve(grupos.size());
    std::vector<QString> claves;
    claves.reserve(grupos.size());
    for (Grupo& g : grupos) {
        resultados.push_back({g.nivel, g.codigo, std::move(g.elementos)});
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
    IndicePadres indice(marcados);

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
