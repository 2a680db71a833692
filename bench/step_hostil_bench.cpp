// Readers on files made to be slow: record numbers chosen so that a fixed multiplicative hash puts
// them all in one slot (against the same records numbered 1..N, in the same run), and a property
// set with a 1 MB name used by 10,000 relations.

#include "federation/ifc/IfcProperties.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

constexpr std::size_t kRegistros = 1'000'000;

// Multiples of the inverse of the golden-ratio constant share the top bits of their products with it.
std::string archivoNumerado(bool colisiones)
{
    constexpr std::uint64_t kInversa = 0xF1DE83E19937733DULL;
    std::string texto = "ISO-10303-21;\nHEADER;\nFILE_SCHEMA(('IFC4'));\nENDSEC;\nDATA;\n";
    texto.reserve(kRegistros * 52);
    std::size_t escritos = 0;
    for (std::uint64_t k = 1; escritos < kRegistros; ++k) {
        const auto n = colisiones ? static_cast<std::int64_t>(k * kInversa) : static_cast<std::int64_t>(k);
        if (n <= 0)
            continue;
        texto += '#';
        texto += std::to_string(n);
        texto += "=IFCCARTESIANPOINT((1.,2.,3.));\n";
        ++escritos;
    }
    return texto + "ENDSEC;\nEND-ISO-10303-21;\n";
}

void BM_TablaRegistros(benchmark::State& state)
{
    static const std::string ordenado = archivoNumerado(false);
    static const std::string colisiones = archivoNumerado(true);
    const std::string& texto = state.range(0) ? colisiones : ordenado;
    std::size_t sondeos = 0;
    for (auto _ : state) {
        auto tabla = quelva::TablaRegistrosSTEP::desdeTexto(texto);
        sondeos = tabla.sondeosIndice();
        benchmark::DoNotOptimize(tabla);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texto.size()));
    state.counters["archivo_MB"] = static_cast<double>(texto.size()) / 1e6;
    state.counters["sondeos_por_registro"] = static_cast<double>(sondeos) / kRegistros;
}
// 0: numbered 1..N; 1: numbered to collide
BENCHMARK(BM_TablaRegistros)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PropiedadesNombreDeUnMega(benchmark::State& state)
{
    static const std::string texto = [] {
        std::string t = "DATA;\n#1=IFCWALL('g',$,'Muro',$);\n#2=IFCPROPERTYSINGLEVALUE('P',$,IFCINTEGER(1),$);\n"
                        "#3=IFCPROPERTYSET('s',$,'" + std::string(1'000'000, 'n') + "',$,(#2));\n";
        for (int i = 0; i < 10'000; ++i) {
            t += '#';
            t += std::to_string(10 + i);
            t += "=IFCRELDEFINESBYPROPERTIES('r',$,$,$,(#1),#3);\n";
        }
        return t + "ENDSEC;\n";
    }();
    for (auto _ : state) {
        const auto tabla = quelva::TablaRegistrosSTEP::desdeTexto(texto);
        auto propiedades = quelva::parsearPropiedadesIFC(tabla);
        benchmark::DoNotOptimize(propiedades);
    }
    state.counters["archivo_MB"] = static_cast<double>(texto.size()) / 1e6;
}
BENCHMARK(BM_PropiedadesNombreDeUnMega)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
