// Time and peak memory of the IfcConvert program beside this benchmark (the bundle folder):
// on generated models of about 8,000, 32,000 and 64,000 elements (walls with openings, slabs,
// columns, beams from mapped items; millimetres, a site far from the origin) and, when present,
// on a real sample file (QUELVA_IFC_MUESTRA, default the shared FZK house). The second argument
// is the worker count (IFCCONVERT_PROCESOS; 0: the converter's default, the processors left idle;
// -1: web-ifc under node instead, writing the same kind of OBJ, when QUELVA_WEBIFC names a folder
// with node_modules/web-ifc: `npm install web-ifc` there; it is not part of the project).
//
//   ifcconvert_bench [--benchmark_filter=...]
//   ifcconvert_bench --generar <plantas> <ruta.ifc> [--recortados]
//       (writes the model only, e.g. for other converters; --recortados: walls clipped by a half-space)
//
// Counters: peak_MB is the largest single process's maximum resident set; pss_MB the highest
// sum, sampled every 20 ms, of the proportional set sizes of the converter and its workers
// (pages the workers share copy-on-write counted once); s_per_1000 is wall seconds per 1,000
// elements written.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path carpetaBundle()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// Writes a building of `plantas` storeys on a grid of nx x ny bays: per storey a column at
// every node, a beam on every edge (two mapped representations shared by all beams), a
// wall with a window opening on every edge along X, and a slab per bay. With `recortados` the
// walls' tops slope: each wall is its extrusion clipped by one shared half-space.
std::size_t generarModelo(const fs::path& ruta, int plantas, int nx, int ny, bool recortados = false)
{
    std::ofstream f(ruta);
    int id = 100;
    std::size_t elementos = 0;
    auto nuevo = [&] { return "#" + std::to_string(++id); };
    auto guid = [&](int n) {
        static const char* alfabeto = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
        std::string g(22, '0');
        for (int i = 21; i >= 0 && n > 0; --i, n /= 64)
            g[i] = alfabeto[n % 64];
        return "'" + g + "'";
    };
    f << "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('ViewDefinition [ReferenceView]'),'2;1');\n"
         "FILE_NAME('modelo.ifc','2026-12-10T12:00:00',(''),(''),'','','');\nFILE_SCHEMA(('IFC4'));\nENDSEC;\nDATA;\n"
         "#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'Generado',$,$,$,$,(#20),#10);\n"
         "#10=IFCUNITASSIGNMENT((#11,#12));\n#11=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
         "#12=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);\n"
         "#20=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#21,$);\n"
         "#21=IFCAXIS2PLACEMENT3D(#22,$,$);\n#22=IFCCARTESIANPOINT((0.,0.,0.));\n"
         "#23=IFCDIRECTION((0.,0.,1.));\n#24=IFCDIRECTION((1.,0.,0.));\n#25=IFCDIRECTION((0.,1.,0.));\n"
         "#26=IFCAXIS2PLACEMENT2D(#27,$);\n#27=IFCCARTESIANPOINT((0.,0.));\n"
         "#30=IFCSITE('2B0YPHDAbDqOSTnpaEFz0C',$,'Sitio',$,$,#31,$,$,.ELEMENT.,$,$,$,$,$);\n"
         "#31=IFCLOCALPLACEMENT($,#32);\n#32=IFCAXIS2PLACEMENT3D(#33,$,$);\n"
         "#33=IFCCARTESIANPOINT((350000.,6250000.,40000.));\n"
         "#35=IFCBUILDING('1kTvXnbbzCWw8lcMd1dR4o',$,'Edificio',$,$,#36,$,$,.ELEMENT.,$,$,$);\n"
         "#36=IFCLOCALPLACEMENT(#31,#21);\n"
         "#40=IFCRELAGGREGATES('3rNg_N55v4CRBpQVbZJoHB',$,$,$,#1,(#30));\n"
         "#41=IFCRELAGGREGATES('2lCZbBuXn7f9eCKZvFmNQV',$,$,$,#30,(#35));\n"
         // shared profiles: column, wall, opening, slab, beam
         "#50=IFCRECTANGLEPROFILEDEF(.AREA.,$,#26,400.,400.);\n"
         "#51=IFCAXIS2PLACEMENT2D(#52,$);\n#52=IFCCARTESIANPOINT((3000.,0.));\n"
         "#53=IFCRECTANGLEPROFILEDEF(.AREA.,$,#51,5600.,200.);\n"
         "#54=IFCRECTANGLEPROFILEDEF(.AREA.,$,#26,1200.,600.);\n"
         "#55=IFCAXIS2PLACEMENT2D(#56,$);\n#56=IFCCARTESIANPOINT((3000.,2500.));\n"
         "#57=IFCRECTANGLEPROFILEDEF(.AREA.,$,#55,6000.,5000.);\n"
         "#58=IFCRECTANGLEPROFILEDEF(.AREA.,$,#26,200.,400.);\n"
         // beam maps: 6 m and 5 m long extrusions along their own Z
         "#60=IFCEXTRUDEDAREASOLID(#58,#21,#23,6000.);\n#61=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(#60));\n"
         "#62=IFCREPRESENTATIONMAP(#21,#61);\n"
         "#63=IFCEXTRUDEDAREASOLID(#58,#21,#23,5000.);\n#64=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(#63));\n"
         "#65=IFCREPRESENTATIONMAP(#21,#64);\n"
         "#66=IFCCARTESIANTRANSFORMATIONOPERATOR3D($,$,#22,$,$);\n"
         // the walls' clipping half-space: the top falls from 2.6 m to 2.0 m along the wall
         "#67=IFCHALFSPACESOLID(#68,.F.);\n#68=IFCPLANE(#69);\n#69=IFCAXIS2PLACEMENT3D(#70,#71,#72);\n"
         "#70=IFCCARTESIANPOINT((0.,0.,2600.));\n#71=IFCDIRECTION((0.1,0.,1.));\n#72=IFCDIRECTION((1.,0.,-0.1));\n";
    const double bx = 6000, by = 5000, alto = 3000;
    std::ostringstream contenido;
    for (int p = 0; p < plantas; ++p) {
        const std::string planta = nuevo();
        const std::string colPlanta = nuevo();
        const std::string ejePlanta = nuevo();
        const std::string ptoPlanta = nuevo();
        contenido << planta << "=IFCBUILDINGSTOREY(" << guid(id) << ",$,'Planta " << p << "',$,$," << colPlanta
                  << ",$,$,.ELEMENT.," << p * alto << ".);\n"
                  << colPlanta << "=IFCLOCALPLACEMENT(#36," << ejePlanta << ");\n"
                  << ejePlanta << "=IFCAXIS2PLACEMENT3D(" << ptoPlanta << ",$,$);\n"
                  << ptoPlanta << "=IFCCARTESIANPOINT((0.,0.," << p * alto << "));\n";
        contenido << nuevo() << "=IFCRELAGGREGATES(" << guid(id) << ",$,$,$,#35,(" << planta << "));\n";
        std::string contenidos;
        auto elemento = [&](const std::string& tipo, const std::string& nombre, double x, double y, double z,
                            const std::string& ejes, const std::string& item, const std::string& tipoRep,
                            const std::string& extra) {
            const std::string e = nuevo(), col = nuevo(), eje = nuevo(), pto = nuevo(), pds = nuevo(), rep = nuevo();
            contenido << e << "=" << tipo << "(" << guid(id) << ",$,'" << nombre << "',$,$," << col << "," << pds
                      << ",$" << extra << ");\n"
                      << col << "=IFCLOCALPLACEMENT(" << colPlanta << "," << eje << ");\n"
                      << eje << "=IFCAXIS2PLACEMENT3D(" << pto << ejes << ");\n"
                      << pto << "=IFCCARTESIANPOINT((" << x << "," << y << "," << z << "));\n"
                      << pds << "=IFCPRODUCTDEFINITIONSHAPE($,$,(" << rep << "));\n"
                      << rep << "=IFCSHAPEREPRESENTATION(#20,'Body','" << tipoRep << "',(" << item << "));\n";
            contenidos += (contenidos.empty() ? "" : ",") + e;
            ++elementos;
            return std::make_pair(e, col);
        };
        auto extrusion = [&](const std::string& perfil, double largo) {
            const std::string s = nuevo();
            contenido << s << "=IFCEXTRUDEDAREASOLID(" << perfil << ",#21,#23," << largo << ");\n";
            return s;
        };
        auto recortado = [&](const std::string& solido) {
            const std::string r = nuevo();
            contenido << r << "=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.," << solido << ",#67);\n";
            return r;
        };
        auto mapeado = [&](const std::string& mapa) {
            const std::string m = nuevo();
            contenido << m << "=IFCMAPPEDITEM(" << mapa << ",#66);\n";
            return m;
        };
        for (int i = 0; i <= nx; ++i)
            for (int j = 0; j <= ny; ++j) {
                const double x = i * bx, y = j * by;
                elemento("IFCCOLUMN", "Pilar-" + std::to_string(p) + "-" + std::to_string(i) + "-" + std::to_string(j), x,
                         y, 0, ",$,$", extrusion("#50", alto - 400), "SweptSolid", ",.COLUMN.");
                if (i < nx) {
                    elemento("IFCBEAM", "Viga-X-" + std::to_string(p) + "-" + std::to_string(i) + "-" + std::to_string(j),
                             x, y, alto - 200, ",#24,#25", mapeado("#62"), "MappedRepresentation", ",.BEAM.");
                    // wall between the columns, with a window opening in its middle
                    const auto [muro, colMuro] =
                        elemento("IFCWALL", "Muro-" + std::to_string(p) + "-" + std::to_string(i) + "-" + std::to_string(j),
                                 x, y, 0, ",$,$",
                                 recortados ? recortado(extrusion("#53", alto - 400)) : extrusion("#53", alto - 400),
                                 recortados ? "Clipping" : "SweptSolid", ",.STANDARD.");
                    const std::string h = nuevo(), hcol = nuevo(), heje = nuevo(), hpto = nuevo(), hpds = nuevo(),
                                      hrep = nuevo(), hsol = nuevo(), rel = nuevo();
                    contenido << h << "=IFCOPENINGELEMENT(" << guid(id) << ",$,'Hueco',$,$," << hcol << "," << hpds
                              << ",$,.OPENING.);\n"
                              << hcol << "=IFCLOCALPLACEMENT(" << colMuro << "," << heje << ");\n"
                              << heje << "=IFCAXIS2PLACEMENT3D(" << hpto << ",$,$);\n"
                              << hpto << "=IFCCARTESIANPOINT((3000.,100.,900.));\n"
                              << hpds << "=IFCPRODUCTDEFINITIONSHAPE($,$,(" << hrep << "));\n"
                              << hrep << "=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(" << hsol << "));\n"
                              << hsol << "=IFCEXTRUDEDAREASOLID(#54,#21,#23,1500.);\n"
                              << rel << "=IFCRELVOIDSELEMENT(" << guid(id) << ",$,$,$," << muro << "," << h << ");\n";
                }
                if (j < ny)
                    elemento("IFCBEAM", "Viga-Y-" + std::to_string(p) + "-" + std::to_string(i) + "-" + std::to_string(j),
                             x, y, alto - 200, ",#25,#24", mapeado("#65"), "MappedRepresentation", ",.BEAM.");
                if (i < nx && j < ny)
                    elemento("IFCSLAB", "Losa-" + std::to_string(p) + "-" + std::to_string(i) + "-" + std::to_string(j),
                             x, y, alto - 200, ",$,$", extrusion("#57", 200), "SweptSolid", ",.FLOOR.");
            }
        contenido << nuevo() << "=IFCRELCONTAINEDINSPATIALSTRUCTURE(" << guid(id) << ",$,$,$,(" << contenidos << "),"
                  << planta << ");\n";
    }
    f << contenido.str() << "ENDSEC;\nEND-ISO-10303-21;\n";
    return elementos;
}

struct Medida {
    double segundos = 0;
    double picoMB = 0;
    double pssMB = 0;
    int estado = -1;
};

// Proportional set size of a process and all its descendants, in kB.
long pssArbol(pid_t pid)
{
    long total = 0;
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string clave;
    long valor = 0;
    while (rollup >> clave) {
        if (clave == "Pss:" && rollup >> valor) {
            total += valor;
            break;
        }
    }
    std::ifstream hijos("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    pid_t hijo = 0;
    std::vector<pid_t> lista;
    while (hijos >> hijo)
        lista.push_back(hijo);
    for (const pid_t h : lista)
        total += pssArbol(h);
    return total;
}

// The peer: web-ifc under node (QUELVA_WEBIFC names the folder whose node_modules holds it),
// writing the same kind of OBJ: a group per product, its meshes placed in world coordinates.
const char* kGuionWebIfc = R"(
const fs = require('fs');
const W = require('web-ifc');
(async () => {
  const api = new W.IfcAPI();
  await api.Init();
  const model = api.OpenModel(new Uint8Array(fs.readFileSync(process.argv[2])), { COORDINATE_TO_ORIGIN: false });
  const out = fs.openSync(process.argv[3], 'w');
  let buf = [], nv = 0, n = 0;
  api.StreamAllMeshes(model, (mesh) => {
    buf.push('g ' + mesh.expressID + '\n');
    for (let i = 0; i < mesh.geometries.size(); i++) {
      const pg = mesh.geometries.get(i);
      const g = api.GetGeometry(model, pg.geometryExpressID);
      const v = api.GetVertexArray(g.GetVertexData(), g.GetVertexDataSize());
      const idx = api.GetIndexArray(g.GetIndexData(), g.GetIndexDataSize());
      const m = pg.flatTransformation, base = nv;
      for (let k = 0; k < v.length; k += 6, nv++) {
        const x = v[k], y = v[k + 1], z = v[k + 2];
        buf.push('v ' + (m[0]*x + m[4]*y + m[8]*z + m[12]).toPrecision(10) + ' ' +
                 (m[1]*x + m[5]*y + m[9]*z + m[13]).toPrecision(10) + ' ' +
                 (m[2]*x + m[6]*y + m[10]*z + m[14]).toPrecision(10) + '\n');
      }
      for (let k = 0; k < idx.length; k += 3)
        buf.push('f ' + (base + idx[k] + 1) + ' ' + (base + idx[k + 1] + 1) + ' ' + (base + idx[k + 2] + 1) + '\n');
      g.delete();
      n += v.length;
      if (n > 1e6) { fs.writeSync(out, buf.join('')); buf = []; n = 0; }
    }
  });
  fs.writeSync(out, buf.join(''));
  fs.closeSync(out);
  api.CloseModel(model);
})();
)";

// procesos < 0: the peer instead of IfcConvert.
Medida ejecutarConversor(const fs::path& entrada, const fs::path& salida, int procesos)
{
    const std::string programa = (carpetaBundle() / "IfcConvert").string();
    fs::path guion;
    if (procesos < 0) {
        guion = fs::temp_directory_path() / ("ifcconvert_bench_webifc_" + std::to_string(::getpid()) + ".js");
        std::ofstream(guion) << kGuionWebIfc;
    }
    const auto inicio = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (procesos < 0) {
            ::setenv("NODE_PATH", (fs::path(std::getenv("QUELVA_WEBIFC")) / "node_modules").c_str(), 1);
            ::execlp("node", "node", guion.c_str(), entrada.c_str(), salida.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (procesos > 0)
            ::setenv("IFCCONVERT_PROCESOS", std::to_string(procesos).c_str(), 1);
        else
            ::unsetenv("IFCCONVERT_PROCESOS");
        ::execl(programa.c_str(), programa.c_str(), entrada.c_str(), salida.c_str(), "--use-world-coords",
                "--use-element-names", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Medida m;
    int estado = 0;
    struct rusage uso {};
    long pss = 0;
    while (pid > 0) {
        const pid_t r = ::wait4(pid, &estado, WNOHANG, &uso);
        if (r == pid) {
            m.segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
            m.picoMB = uso.ru_maxrss / 1024.0;
            m.pssMB = pss / 1024.0;
            m.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
            break;
        }
        if (r < 0)
            break;
        pss = std::max(pss, pssArbol(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!guion.empty())
        fs::remove(guion);
    return m;
}

std::size_t gruposEscritos(const fs::path& obj)
{
    std::ifstream f(obj);
    std::string linea;
    std::size_t n = 0;
    while (std::getline(f, linea))
        n += linea.rfind("g ", 0) == 0;
    return n;
}

void medir(benchmark::State& state, const fs::path& entrada, int procesos)
{
    const fs::path salida = fs::temp_directory_path() / ("ifcconvert_bench_" + std::to_string(::getpid()) + ".obj");
    Medida ultima;
    for (auto _ : state) {
        ultima = ejecutarConversor(entrada, salida, procesos);
        if (ultima.estado != 0) {
            state.SkipWithError("IfcConvert failed");
            break;
        }
        state.SetIterationTime(ultima.segundos);
    }
    const std::size_t grupos = gruposEscritos(salida);
    state.counters["elements"] = static_cast<double>(grupos);
    state.counters["peak_MB"] = ultima.picoMB;
    state.counters["pss_MB"] = ultima.pssMB;
    state.counters["s_per_1000"] = grupos ? ultima.segundos * 1000.0 / static_cast<double>(grupos) : 0.0;
    fs::remove(salida);
}

// Args: storeys of 447 elements each, worker count (0: the converter's default; -1: the peer,
// web-ifc, when QUELVA_WEBIFC is set).
void medirGenerado(benchmark::State& state, bool recortados)
{
    if (state.range(1) < 0 && !std::getenv("QUELVA_WEBIFC")) {
        state.SkipWithError("QUELVA_WEBIFC not set (a folder with node_modules/web-ifc)");
        for (auto _ : state) {
        }
        return;
    }
    const int plantas = static_cast<int>(state.range(0));
    const fs::path modelo = fs::temp_directory_path() / ("ifcconvert_bench_modelo_" + std::to_string(::getpid()) + "_" +
                                                         std::to_string(plantas) + (recortados ? "_r" : "") + ".ifc");
    if (!fs::exists(modelo))
        generarModelo(modelo, plantas, 10, 8, recortados);
    medir(state, modelo, static_cast<int>(state.range(1)));
}
void BM_ModeloGenerado(benchmark::State& state)
{
    medirGenerado(state, false);
}
void BM_ModeloRecortado(benchmark::State& state)
{
    medirGenerado(state, true);
}
// 8,046, 32,184 and 64,368 elements on every processor, and 32,184 in one process
BENCHMARK(BM_ModeloGenerado)->Args({18, 0})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ModeloGenerado)->Args({72, 0})->Args({144, 0})->Args({72, 1})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
// the peer on 8,046 and 32,184 elements, beside the runs above
BENCHMARK(BM_ModeloGenerado)->Args({18, -1})->Args({72, -1})
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
// the same 8,046 elements with the walls clipped
BENCHMARK(BM_ModeloRecortado)->Args({18, 0})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MuestraReal(benchmark::State& state)
{
    const char* env = std::getenv("QUELVA_IFC_MUESTRA");
    const fs::path muestra = env ? env : "/work/shared/testdata/ifc/kit-fzk-haus/AC20-FZK-Haus.ifc";
    if (!fs::exists(muestra)) {
        state.SkipWithError("sample file not found (QUELVA_IFC_MUESTRA)");
        for (auto _ : state) {
        }
        return;
    }
    medir(state, muestra, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_MuestraReal)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    if ((argc == 4 || (argc == 5 && std::string(argv[4]) == "--recortados")) && std::string(argv[1]) == "--generar") {
        const std::size_t elementos = generarModelo(argv[3], std::atoi(argv[2]), 10, 8, argc == 5);
        std::printf("%zu elementos en %s\n", elementos, argv[3]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fs::temp_directory_path(), ec))
        if (e.path().filename().string().rfind("ifcconvert_bench_modelo_" + std::to_string(::getpid()), 0) == 0)
            fs::remove(e.path(), ec);
    benchmark::Shutdown();
    return 0;
}
