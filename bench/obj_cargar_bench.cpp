// cargarOBJ on a generated OBJ file of about 200 MB written the way the converter writes
// (one group per element, "v" lines, a "vn" line per flat face, "f a//n b//n c//n"),
// against tinyobjloader's single-threaded loader on the same file in the same run.

#include "federation/obj/ObjLoader.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
#pragma GCC diagnostic pop

#include <benchmark/benchmark.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

constexpr std::uintmax_t kTamanoObjetivo = 200ull * 1024 * 1024;
constexpr int kDivisiones = 6;  // each box face is a 6 x 6 grid of quads

class Escritor {
public:
    explicit Escritor(const std::filesystem::path& ruta) : salida_(ruta, std::ios::binary) {}
    void texto(std::string_view t)
    {
        bufer_ += t;
        if (bufer_.size() > (1u << 20))
            vaciar();
    }
    void numero(double v)
    {
        char c[40];
        c[0] = ' ';
        const auto r = std::to_chars(c + 1, c + sizeof c, v, std::chars_format::general, 10);
        bufer_.append(c, static_cast<size_t>(r.ptr - c));
    }
    void entero(std::uint64_t v)
    {
        char c[24];
        const auto r = std::to_chars(c, c + sizeof c, v);
        bufer_.append(c, static_cast<size_t>(r.ptr - c));
    }
    void vaciar()
    {
        salida_.write(bufer_.data(), static_cast<std::streamsize>(bufer_.size()));
        escritos_ += bufer_.size();
        bufer_.clear();
    }
    std::uintmax_t escritos() const { return escritos_ + bufer_.size(); }

private:
    std::ofstream salida_;
    std::string bufer_;
    std::uintmax_t escritos_ = 0;
};

void generarOBJ(const std::filesystem::path& ruta)
{
    Escritor e(ruta);
    e.texto("# QUELVA IfcConvert\n");
    std::uint64_t vertices = 0;
    std::uint64_t normales = 0;
    const int n = kDivisiones + 1;
    for (int elemento = 0; e.escritos() < kTamanoObjetivo; ++elemento) {
        e.texto("g IfcWallStandardCase/Muro b\u00e1sico:Gen\u00e9rico 200mm:");
        e.entero(static_cast<std::uint64_t>(200000 + elemento));
        e.texto("\n");
        const double x0 = (elemento % 100) * 5.123456, y0 = (elemento / 100) * 0.75, z0 = (elemento % 7) * 3.1;
        // Six faces: fixed axis, sign; each a grid of n x n vertices.
        for (int cara = 0; cara < 6; ++cara) {
            const int eje = cara / 2;
            const double lado = cara % 2 ? 1.0 : 0.0;
            const double dim[3] = {4.0, 0.2, 3.0};
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    double p[3];
                    const double u = double(i) / kDivisiones, w = double(j) / kDivisiones;
                    p[eje] = lado;
                    p[(eje + 1) % 3] = u;
                    p[(eje + 2) % 3] = w;
                    e.texto("v");
                    e.numero(x0 + p[0] * dim[0]);
                    e.numero(y0 + p[1] * dim[1]);
                    e.numero(z0 + p[2] * dim[2]);
                    e.texto("\n");
                }
            e.texto("vn");
            for (int k = 0; k < 3; ++k)
                e.numero(k == eje ? (lado > 0 ? 1.0 : -1.0) : 0.0);
            e.texto("\n");
            ++normales;
            const std::uint64_t base = vertices + static_cast<std::uint64_t>(cara * n * n) + 1;
            for (int i = 0; i < kDivisiones; ++i)
                for (int j = 0; j < kDivisiones; ++j) {
                    const std::uint64_t a = base + static_cast<std::uint64_t>(i * n + j), b = a + 1,
                                        c = a + static_cast<std::uint64_t>(n) + 1, d = a + static_cast<std::uint64_t>(n);
                    for (const auto& tri : {std::array<std::uint64_t, 3>{a, b, c}, std::array<std::uint64_t, 3>{a, c, d}}) {
                        e.texto("f");
                        for (std::uint64_t v : tri) {
                            e.texto(" ");
                            e.entero(v);
                            e.texto("//");
                            e.entero(normales);
                        }
                        e.texto("\n");
                    }
                }
        }
        vertices += static_cast<std::uint64_t>(6 * n * n);
    }
    e.vaciar();
}

const std::filesystem::path& archivoOBJ()
{
    static const std::filesystem::path ruta = [] {
        auto r = std::filesystem::temp_directory_path() / "quelva_bench_cargar.obj";
        generarOBJ(r);
        return r;
    }();
    return ruta;
}

void BM_CargarOBJ(benchmark::State& state)
{
    const auto& ruta = archivoOBJ();
    const double tamano = static_cast<double>(std::filesystem::file_size(ruta));
    size_t grupos = 0;
    size_t triangulos = 0;
    for (auto _ : state) {
        auto nodo = quelva::cargarOBJ(ruta);
        grupos = nodo ? nodo->children().size() : 0;
        triangulos = 0;
        if (nodo) {
            for (const auto& hijo : nodo->children())
                triangulos += static_cast<size_t>(hijo->geometry->elements()[0].primitiveCount());
        }
        benchmark::DoNotOptimize(nodo);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * tamano));
    state.counters["grupos"] = static_cast<double>(grupos);
    state.counters["triangulos"] = static_cast<double>(triangulos);
    state.counters["archivo_MB"] = tamano / 1e6;
}
BENCHMARK(BM_CargarOBJ)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TinyObjLoader(benchmark::State& state)
{
    const auto& ruta = archivoOBJ();
    const double tamano = static_cast<double>(std::filesystem::file_size(ruta));
    size_t formas = 0;
    for (auto _ : state) {
        tinyobj::attrib_t atributos;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materiales;
        std::string aviso, error;
        tinyobj::LoadObj(&atributos, &shapes, &materiales, &aviso, &error, ruta.c_str(), nullptr, true);
        formas = shapes.size();
        benchmark::DoNotOptimize(shapes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * tamano));
    state.counters["grupos"] = static_cast<double>(formas);
}
BENCHMARK(BM_TinyObjLoader)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
