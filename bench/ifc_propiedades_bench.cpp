// Property table of a generated IFC file of about 100 MB (storeys of walls, slabs and
// doors with their placements, extruded shapes and property sets), read from disk.
// Reports MB/s and the process's peak resident memory against the file size.

#include "federation/ifc/GlobalIds.h"
#include "federation/ifc/IfcGrids.h"
#include "federation/ifc/IfcProperties.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>

namespace {

constexpr std::uintmax_t kTamanoObjetivo = 100ull * 1024 * 1024;

class Generador {
public:
    explicit Generador(const std::filesystem::path& ruta) : salida_(ruta, std::ios::binary) {}

    void linea(const std::string& texto)
    {
        bufer_ += texto;
        bufer_ += '\n';
        if (bufer_.size() > (1u << 20))
            vaciar();
    }
    void vaciar()
    {
        salida_.write(bufer_.data(), static_cast<std::streamsize>(bufer_.size()));
        escritos_ += bufer_.size();
        bufer_.clear();
    }
    std::uintmax_t escritos() const { return escritos_ + bufer_.size(); }
    long nuevo() { return ++numero_; }

    std::string guid()
    {
        static const char alfabeto[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
        std::string g = "'";
        for (int i = 0; i < 22; ++i)
            g += alfabeto[azar_() % 64];
        return g + "'";
    }

private:
    std::ofstream salida_;
    std::string bufer_;
    std::uintmax_t escritos_ = 0;
    long numero_ = 0;
    std::mt19937 azar_{42};
};

std::string ref(long n)
{
    std::string r = std::to_string(n);
    r.insert(r.begin(), '#');
    return r;
}

// Placement, profile and extrusion of one element; returns {placement, shape}.
std::pair<long, long> geometria(Generador& g, long contexto, long colocacionPiso, double x, double y, double largo,
                                double ancho, double alto)
{
    const long origen = g.nuevo();
    g.linea(ref(origen) + "=IFCCARTESIANPOINT((" + std::to_string(x) + "," + std::to_string(y) + ",0.));");
    const long ejes = g.nuevo();
    g.linea(ref(ejes) + "=IFCAXIS2PLACEMENT3D(" + ref(origen) + ",$,$);");
    const long colocacion = g.nuevo();
    g.linea(ref(colocacion) + "=IFCLOCALPLACEMENT(" + ref(colocacionPiso) + "," + ref(ejes) + ");");
    long p[5];
    const double xs[5] = {0, largo, largo, 0, 0};
    const double ys[5] = {0, 0, ancho, ancho, 0};
    for (int k = 0; k < 5; ++k) {
        p[k] = g.nuevo();
        g.linea(ref(p[k]) + "=IFCCARTESIANPOINT((" + std::to_string(xs[k]) + "," + std::to_string(ys[k]) + "));");
    }
    const long poli = g.nuevo();
    g.linea(ref(poli) + "=IFCPOLYLINE((" + ref(p[0]) + "," + ref(p[1]) + "," + ref(p[2]) + "," + ref(p[3]) + ","
            + ref(p[4]) + "));");
    const long perfil = g.nuevo();
    g.linea(ref(perfil) + "=IFCARBITRARYCLOSEDPROFILEDEF(.AREA.,$," + ref(poli) + ");");
    const long dir = g.nuevo();
    g.linea(ref(dir) + "=IFCDIRECTION((0.,0.,1.));");
    const long solido = g.nuevo();
    g.linea(ref(solido) + "=IFCEXTRUDEDAREASOLID(" + ref(perfil) + "," + ref(ejes) + "," + ref(dir) + ","
            + std::to_string(alto) + ");");
    const long rep = g.nuevo();
    g.linea(ref(rep) + "=IFCSHAPEREPRESENTATION(" + ref(contexto) + ",'Body','SweptSolid',(" + ref(solido) + "));");
    const long forma = g.nuevo();
    g.linea(ref(forma) + "=IFCPRODUCTDEFINITIONSHAPE($,$,(" + ref(rep) + "));");
    return {colocacion, forma};
}

void generarIFC(const std::filesystem::path& ruta)
{
    Generador g(ruta);
    for (const char* l : {"ISO-10303-21;", "HEADER;", "FILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');",
                          "FILE_NAME('edificio.ifc','2026-01-01T00:00:00',(''),(''),'','','');",
                          "FILE_SCHEMA(('IFC2X3'));", "ENDSEC;", "DATA;"})
        g.linea(l);
    const long historia = g.nuevo();
    g.linea(ref(historia) + "=IFCOWNERHISTORY($,$,$,.NOCHANGE.,$,$,$,0);");
    const long contexto = g.nuevo();
    g.linea(ref(contexto) + "=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,$,$);");
    const long colocacionEdificio = g.nuevo();
    g.linea(ref(colocacionEdificio) + "=IFCLOCALPLACEMENT($,$);");
    const long edificio = g.nuevo();
    g.linea(ref(edificio) + "=IFCBUILDING(" + g.guid() + "," + ref(historia) + ",'Edificio',$,$,"
            + ref(colocacionEdificio) + ",$,$,.ELEMENT.,$,$,$);");

    const char* tipos[3] = {"IFCWALLSTANDARDCASE", "IFCSLAB", "IFCDOOR"};
    const char* nombres[3] = {"Muro b\\X2\\00E1\\X0\\sico:Gen\\X2\\00E9\\X0\\rico 200mm", "Losa:Hormig\\X2\\00F3\\X0\\n 250mm",
                              "Puerta:P-1 0.9x2.1"};
    long idElemento = 100000;
    for (int piso = 0; g.escritos() < kTamanoObjetivo; ++piso) {
        const long colocacionPiso = g.nuevo();
        g.linea(ref(colocacionPiso) + "=IFCLOCALPLACEMENT(" + ref(colocacionEdificio) + ",$);");
        const long nivel = g.nuevo();
        g.linea(ref(nivel) + "=IFCBUILDINGSTOREY(" + g.guid() + "," + ref(historia) + ",'Nivel " + std::to_string(piso)
                + "',$,$," + ref(colocacionPiso) + ",$,$,.ELEMENT.," + std::to_string(piso * 3.0) + ");");
        std::string contenidos;
        for (int e = 0; e < 400; ++e) {
            const int t = e % 10 < 6 ? 0 : (e % 10 < 8 ? 1 : 2);
            const auto [colocacion, forma] =
                geometria(g, contexto, colocacionPiso, e * 1.5, piso * 0.5, 4.0, 0.2, 3.0);
            const long elemento = g.nuevo();
            ++idElemento;
            g.linea(ref(elemento) + "=" + tipos[t] + "(" + g.guid() + "," + ref(historia) + ",'" + nombres[t] + ":"
                    + std::to_string(idElemento) + "',$,'" + nombres[t] + "'," + ref(colocacion) + "," + ref(forma)
                    + ",'" + std::to_string(idElemento) + "'" + (t == 2 ? ",2.1,0.9);" : (t == 1 ? ",.FLOOR.);" : ");")));
            long props[5];
            props[0] = g.nuevo();
            g.linea(ref(props[0]) + "=IFCPROPERTYSINGLEVALUE('IsExternal',$,IFCBOOLEAN(" + (e % 2 ? ".T." : ".F.")
                    + "),$);");
            props[1] = g.nuevo();
            g.linea(ref(props[1]) + "=IFCPROPERTYSINGLEVALUE('LoadBearing',$,IFCBOOLEAN(.T.),$);");
            props[2] = g.nuevo();
            g.linea(ref(props[2]) + "=IFCPROPERTYSINGLEVALUE('Reference',$,IFCIDENTIFIER('Gen\\X2\\00E9\\X0\\rico "
                    + std::to_string(e % 7) + "'),$);");
            props[3] = g.nuevo();
            g.linea(ref(props[3]) + "=IFCPROPERTYSINGLEVALUE('FireRating',$,IFCLABEL('EI 60 (ensayo, 2024)'),$);");
            props[4] = g.nuevo();
            g.linea(ref(props[4]) + "=IFCPROPERTYSINGLEVALUE('ThermalTransmittance',$,IFCTHERMALTRANSMITTANCEMEASURE(0."
                    + std::to_string(100 + e) + "),$);");
            const long pset = g.nuevo();
            g.linea(ref(pset) + "=IFCPROPERTYSET(" + g.guid() + "," + ref(historia) + ",'Pset_" + (t == 0 ? "Wall" : t == 1 ? "Slab" : "Door")
                    + "Common',$,(" + ref(props[0]) + "," + ref(props[1]) + "," + ref(props[2]) + "," + ref(props[3]) + ","
                    + ref(props[4]) + "));");
            const long rel = g.nuevo();
            g.linea(ref(rel) + "=IFCRELDEFINESBYPROPERTIES(" + g.guid() + "," + ref(historia) + ",$,$,(" + ref(elemento)
                    + ")," + ref(pset) + ");");
            if (!contenidos.empty())
                contenidos += ',';
            contenidos += ref(elemento);
        }
        // One storey-wide set related to every element of the storey.
        const long fase = g.nuevo();
        g.linea(ref(fase) + "=IFCPROPERTYSINGLEVALUE('Fase',$,IFCLABEL('Obra gruesa " + std::to_string(piso) + "'),$);");
        const long psetFase = g.nuevo();
        g.linea(ref(psetFase) + "=IFCPROPERTYSET(" + g.guid() + "," + ref(historia) + ",'Datos de obra',$,(" + ref(fase) + "));");
        g.linea(ref(g.nuevo()) + "=IFCRELDEFINESBYPROPERTIES(" + g.guid() + "," + ref(historia) + ",$,$,(" + contenidos + "),"
                + ref(psetFase) + ");");
        g.linea(ref(g.nuevo()) + "=IFCRELCONTAINEDINSPATIALSTRUCTURE(" + g.guid() + "," + ref(historia) + ",$,$,("
                + contenidos + ")," + ref(nivel) + ");");
    }
    g.linea("ENDSEC;");
    g.linea("END-ISO-10303-21;");
    g.vaciar();
}

const std::filesystem::path& archivoIFC()
{
    static const std::filesystem::path ruta = [] {
        auto r = std::filesystem::temp_directory_path() / "quelva_bench_propiedades.ifc";
        generarIFC(r);
        return r;
    }();
    return ruta;
}

double picoMemoriaBytes()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return static_cast<double>(uso.ru_maxrss) * 1024.0;  // kilobytes on Linux
}

void BM_PropiedadesIFC(benchmark::State& state)
{
    const auto& ruta = archivoIFC();
    const double tamano = static_cast<double>(std::filesystem::file_size(ruta));
    size_t elementos = 0;
    for (auto _ : state) {
        auto tabla = quelva::parsearPropiedadesIFC(ruta);
        elementos = tabla.size();
        benchmark::DoNotOptimize(tabla);
        // The application keeps the table: freeing it is not part of reading.
        state.PauseTiming();
        { const auto liberar = std::move(tabla); }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * tamano));
    state.counters["elementos"] = static_cast<double>(elementos);
    state.counters["archivo_MB"] = tamano / 1e6;
    state.counters["pico_RSS_MB"] = picoMemoriaBytes() / 1e6;
    state.counters["pico_RSS_x_archivo"] = picoMemoriaBytes() / tamano;
}
// First so that the peak resident memory is this reader's alone.
BENCHMARK(BM_PropiedadesIFC)->Unit(benchmark::kMillisecond)->UseRealTime();

// One reading of the file serving the three readers of a run.
void BM_TablaYTresLectores(benchmark::State& state)
{
    const auto& ruta = archivoIFC();
    const double tamano = static_cast<double>(std::filesystem::file_size(ruta));
    for (auto _ : state) {
        const auto tabla = quelva::leerArchivoSTEP(ruta);
        auto propiedades = quelva::parsearPropiedadesIFC(tabla);
        auto grillas = quelva::parsearGrillasIFC(tabla);
        auto ids = quelva::parsearGlobalIds(tabla);
        benchmark::DoNotOptimize(propiedades);
        benchmark::DoNotOptimize(grillas);
        benchmark::DoNotOptimize(ids);
        state.PauseTiming();
        {
            const auto liberarPropiedades = std::move(propiedades);
            const auto liberarIds = std::move(ids);
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * tamano));
}
BENCHMARK(BM_TablaYTresLectores)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SoloTablaRegistros(benchmark::State& state)
{
    const auto& ruta = archivoIFC();
    const double tamano = static_cast<double>(std::filesystem::file_size(ruta));
    for (auto _ : state) {
        auto tabla = quelva::leerArchivoSTEP(ruta);
        benchmark::DoNotOptimize(tabla);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * tamano));
}
BENCHMARK(BM_SoloTablaRegistros)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
