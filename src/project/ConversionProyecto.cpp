#include "project/ConversionProyecto.h"

#include "federation/ControladorFederacion.h"
#include "sections/AlmacenesSeccion.h"
#include "sections/JsonSeccion.h"
#include "timeline/TimeLinerStore.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace quelva {

namespace {

// A colour channel as the shortest decimal that gives the colour back exactly, so a saved
// 0.85 stays 0.85 instead of the channel's 16-bit step 0.8500038.
double canal(float valor, quint16 exacto, quint16 (QRgba64::*leer)() const, int indice)
{
    for (int digitos = 1; digitos <= 9; ++digitos) {
        const double escala = std::pow(10.0, digitos);
        const double d = std::round(double(valor) * escala) / escala;
        float rgb[3] = {0, 0, 0};
        rgb[indice] = float(d);
        if ((QColor::fromRgbF(rgb[0], rgb[1], rgb[2]).rgba64().*leer)() == exacto)
            return d;
    }
    return double(valor);
}

ModeloGuardado modeloGuardado(const ModeloVinculado& m)
{
    ModeloGuardado g;
    g.nombre = m.nombre;
    g.rutaAbsoluta = m.rutaOrigen.value_or(QString());
    g.isVisible = m.isVisible;
    g.transparencia = m.transparencia;
    if (m.transformacion != TransformacionModelo{})
        g.transformacion = m.transformacion;
    return g;
}

ModeloGuardado modeloGuardado(const ModeloPendiente& m)
{
    ModeloGuardado g;
    g.nombre = m.nombre;
    g.rutaAbsoluta = m.rutaAbsoluta;
    g.isVisible = m.isVisible;
    g.transparencia = m.transparencia;
    g.transformacion = m.transformacion;
    return g;
}

// Placed and pending models in their saved order; each with its pending record, if it is one.
std::vector<std::pair<ModeloGuardado, const ModeloPendiente*>> modelosEnOrden(const EspecialidadBIM& esp)
{
    std::vector<std::pair<int, std::pair<ModeloGuardado, const ModeloPendiente*>>> todos;
    for (const ModeloVinculado& m : esp.modelos)
        todos.push_back({m.orden, {modeloGuardado(m), nullptr}});
    for (const ModeloPendiente& m : esp.pendientes)
        todos.push_back({m.orden, {modeloGuardado(m), &m}});
    std::stable_sort(todos.begin(), todos.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<ModeloGuardado, const ModeloPendiente*>> lista;
    for (auto& [orden, m] : todos)
        lista.push_back(std::move(m));
    return lista;
}

scene::Vec3 vec(double x, double y, double z) { return {x, y, z}; }

}  // namespace

std::vector<EspecialidadGuardada> convertirEspecialidades(const QStringList& orden, const TablaEspecialidades& especialidades)
{
    std::vector<EspecialidadGuardada> lista;
    for (const QString& key : orden) {
        const auto it = especialidades.find(key);
        if (it == especialidades.end())
            continue;
        const EspecialidadBIM& esp = it->second;
        EspecialidadGuardada g;
        g.key = key;
        g.nombre = esp.nombre;
        g.icono = esp.icono;
        g.isVisible = esp.isVisible;
        const QColor rgb = esp.colorOriginal.toRgb();
        const QRgba64 exacto = rgb.rgba64();
        g.colorR = canal(rgb.redF(), exacto.red(), &QRgba64::red, 0);
        g.colorG = canal(rgb.greenF(), exacto.green(), &QRgba64::green, 1);
        g.colorB = canal(rgb.blueF(), exacto.blue(), &QRgba64::blue, 2);
        for (auto& [m, pendiente] : modelosEnOrden(esp))
            g.modelos.push_back(std::move(m));
        lista.push_back(std::move(g));
    }
    return lista;
}

const ModeloPendiente* modeloPendiente(const TablaEspecialidades& especialidades, const QString& key, std::size_t indice)
{
    const auto it = especialidades.find(key);
    if (it == especialidades.end())
        return nullptr;
    const auto lista = modelosEnOrden(it->second);
    return indice < lista.size() ? lista[indice].second : nullptr;
}

std::vector<AnalisisGuardado> convertirHistorial(const std::vector<AnalisisInterferencias>& historial)
{
    std::vector<AnalisisGuardado> lista;
    lista.reserve(historial.size());
    for (const AnalisisInterferencias& a : historial) {
        AnalisisGuardado g;
        g.id = a.id;
        g.nombre = a.nombre;
        g.fecha = a.fecha;
        g.tolerancia = a.tolerancia;
        g.interferencias.reserve(a.interferencias.size());
        for (const Interferencia& i : a.interferencias) {
            InterferenciaGuardada ig;
            ig.id = i.id;
            ig.nombreA = i.nombreA;
            ig.especialidadA = i.especialidadA;
            ig.nombreB = i.nombreB;
            ig.especialidadB = i.especialidadB;
            ig.estado = textoEstadoClash(i.estado);
            ig.vpPosX = i.viewpointPos.x;
            ig.vpPosY = i.viewpointPos.y;
            ig.vpPosZ = i.viewpointPos.z;
            ig.vpTgtX = i.viewpointTarget.x;
            ig.vpTgtY = i.viewpointTarget.y;
            ig.vpTgtZ = i.viewpointTarget.z;
            ig.radio = i.radio;
            g.interferencias.push_back(std::move(ig));
        }
        lista.push_back(std::move(g));
    }
    return lista;
}

EtiquetasPorSeccion sincronizarEtiquetas(const AlmacenEtiquetas& etiquetas)
{
    EtiquetasPorSeccion dic;
    for (const auto& [titulo, lista] : etiquetas.porTitulo) {
        std::vector<Etiqueta2DGuardada>& destino = dic[titulo];
        destino.reserve(lista.size());
        for (const Etiqueta2D& e : lista)
            destino.push_back(guardarEtiqueta(e));
    }
    return dic;
}

ProyectoQUELVA proyectoDesdeEstado(const EstadoAplicacion& estado)
{
    ProyectoQUELVA p;
    p.version = kVersionProyecto;
    p.ordenEspecialidades = estado.federacion.ordenEspecialidades;
    p.especialidades = convertirEspecialidades(estado.federacion.ordenEspecialidades, estado.federacion.especialidades);
    p.historialAnalisis = convertirHistorial(estado.interferencias.historialAnalisis);
    p.timeLiner = estado.timeLiner.config();
    p.secciones = estado.secciones;
    p.cotasPorSeccion = estado.cotas.porTitulo;
    p.etiquetasPorSeccion = sincronizarEtiquetas(estado.etiquetas);
    p.comentarios = estado.comentarios;
    return p;
}

std::optional<QString> localizarModelo(const ModeloGuardado& modelo, const std::optional<QString>& carpetaBase)
{
    if (!modelo.rutaAbsoluta.isEmpty() && QFileInfo(modelo.rutaAbsoluta).isFile())
        return modelo.rutaAbsoluta;
    if (!carpetaBase || !modelo.rutaRelativa || modelo.rutaRelativa->isEmpty())
        return std::nullopt;
    if (QDir::isAbsolutePath(*modelo.rutaRelativa))
        return std::nullopt;
    const QString base = QFileInfo(*carpetaBase).canonicalFilePath();
    if (base.isEmpty())
        return std::nullopt;
    const QFileInfo archivo(QDir(base).filePath(*modelo.rutaRelativa));
    const QString canonica = archivo.canonicalFilePath();  // empty when it does not exist
    if (canonica.isEmpty() || !archivo.isFile() || !canonica.startsWith(base + QLatin1Char('/')))
        return std::nullopt;
    return canonica;
}

std::vector<AnalisisInterferencias> historialDesdeGuardado(const std::vector<AnalisisGuardado>& historial)
{
    std::vector<AnalisisInterferencias> lista;
    lista.reserve(historial.size());
    // Ids given in the initializer: a default one would be drawn from the system's random
    // source for each of thousands of clashes, only to be overwritten.
    for (const AnalisisGuardado& g : historial) {
        AnalisisInterferencias a{
            .id = g.id, .nombre = g.nombre, .fecha = g.fecha, .tolerancia = g.tolerancia, .interferencias = {}};
        a.interferencias.reserve(g.interferencias.size());
        for (const InterferenciaGuardada& ig : g.interferencias) {
            // Clashes are not found again by name: two empty nodes outside the scene.
            a.interferencias.push_back(Interferencia{
                .id = ig.id,
                .nodoA = scene::Node::make(),
                .nodoB = scene::Node::make(),
                .especialidadA = ig.especialidadA,
                .especialidadB = ig.especialidadB,
                .nombreA = ig.nombreA,
                .nombreB = ig.nombreB,
                .viewpointPos = vec(ig.vpPosX, ig.vpPosY, ig.vpPosZ),
                .viewpointTarget = vec(ig.vpTgtX, ig.vpTgtY, ig.vpTgtZ),
                .radio = ig.radio,
                .estado = estadoClashDesdeTexto(ig.estado).value_or(EstadoClash::abierto),
            });
        }
        lista.push_back(std::move(a));
    }
    return lista;
}

TablaEspecialidades especialidadesDesdeGuardado(const std::vector<EspecialidadGuardada>& especialidades)
{
    TablaEspecialidades tabla;
    for (const EspecialidadGuardada& g : especialidades) {
        EspecialidadBIM esp;
        esp.nombre = g.nombre;
        esp.icono = g.icono;
        esp.isVisible = g.isVisible;
        esp.colorOriginal = QColor::fromRgbF(float(g.colorR), float(g.colorG), float(g.colorB), 1.0f);
        for (std::size_t i = 0; i < g.modelos.size(); ++i) {
            const ModeloGuardado& m = g.modelos[i];
            ModeloPendiente p;
            p.orden = int(i);
            p.nombre = m.nombre;
            p.rutaAbsoluta = m.rutaAbsoluta;
            p.rutaRelativa = m.rutaRelativa;
            p.isVisible = m.isVisible;
            p.transparencia = m.transparencia;
            p.transformacion = m.transformacion;
            esp.pendientes.push_back(std::move(p));
        }
        tabla[g.key] = std::move(esp);
    }
    return tabla;
}

int restaurarProyecto(EstadoAplicacion& estado, ControladorFederacion& federacion, const ServiciosRestauracion& servicios,
                      ProyectoQUELVA proyecto, const std::optional<QString>& carpetaBase)
{
    EstadoFederacion& fed = estado.federacion;
    const int generacion = federacion.nuevaGeneracionProyecto();

    // Every discipline's root, listed in the order or not: no geometry is left behind.
    for (auto& [key, esp] : fed.especialidades)
        if (esp.nodoRaiz)
            esp.nodoRaiz->removeFromParent();
    if (servicios.quitarResaltado)
        servicios.quitarResaltado();
    estado.interferencias.interferencias.clear();
    if (servicios.trelmActivo && servicios.trelmActivo() && servicios.limpiarComparacionTRELM)
        servicios.limpiarComparacionTRELM();
    for (scene::NodePtr* slot : {&fed.modeloBase, &fed.modeloNuevo}) {
        if (*slot)
            (*slot)->removeFromParent();
        slot->reset();
    }
    fed.fileNameBase = QStringLiteral("Sin versión base");
    fed.fileNameNuevo = QStringLiteral("Sin versión nueva");
    fed.globalIdTrelmBase.clear();
    fed.globalIdTrelmNuevo.clear();
    fed.modeloResaltadoId.reset();
    fed.nodosResaltados.clear();
    estado.interferencias.historialAnalisis.clear();
    estado.interferencias.analisisExpandidos.clear();
    estado.interferencias.nodosDestacadosHistorial.clear();
    estado.interferencias.nodoTransparenteEnfocado.reset();
    fed.propiedadesIFC.clear();
    fed.globalIdsIFC.clear();
    // The grid axes are rebuilt from the restored models' own files.
    fed.grillasIFC.clear();
    if (fed.nodoGrillasIFC)
        fed.nodoGrillasIFC->removeFromParent();
    fed.nodoGrillasIFC.reset();

    fed.ordenEspecialidades = proyecto.ordenEspecialidades;
    fed.especialidades = especialidadesDesdeGuardado(proyecto.especialidades);
    if (!fed.especialidades.contains(fed.seleccionActual)) {
        // Linking goes to the selected discipline: keep it one that exists.
        fed.seleccionActual = QString();
        for (const QString& key : fed.ordenEspecialidades)
            if (fed.especialidades.contains(key)) {
                fed.seleccionActual = key;
                break;
            }
        if (fed.seleccionActual.isEmpty() && !fed.especialidades.empty())
            fed.seleccionActual = fed.especialidades.begin()->first;
    }
    estado.interferencias.historialAnalisis = historialDesdeGuardado(proyecto.historialAnalisis);
    estado.timeLiner.setConfig(std::move(proyecto.timeLiner).value_or(TimeLinerConfig{}));
    estado.comentarios = std::move(proyecto.comentarios).value_or(std::vector<ComentarioMarkup>{});
    estado.secciones = std::move(proyecto.secciones).value_or(std::vector<SeccionGuardada>{});
    estado.cotas.porTitulo = std::move(proyecto.cotasPorSeccion).value_or(CotasPorSeccion{});
    std::map<QString, std::vector<Etiqueta2D>> etiquetas;
    if (proyecto.etiquetasPorSeccion)
        for (const auto& [titulo, lista] : *proyecto.etiquetasPorSeccion) {
            std::vector<Etiqueta2D>& destino = etiquetas[titulo];
            for (const Etiqueta2DGuardada& g : lista) {
                Etiqueta2D e = etiquetaDesdeGuardada(g);
                e.ancla = {};
                e.color = servicios.colorEtiqueta;
                destino.push_back(std::move(e));
            }
        }
    estado.etiquetas.porTitulo = std::move(etiquetas);

    // Relink in document order; of several records with one key only the last is in the table.
    std::map<QString, std::size_t> ultimo;
    for (std::size_t n = 0; n < proyecto.especialidades.size(); ++n)
        ultimo[proyecto.especialidades[n].key] = n;
    for (std::size_t n = 0; n < proyecto.especialidades.size(); ++n) {
        const EspecialidadGuardada& g = proyecto.especialidades[n];
        if (ultimo[g.key] != n)
            continue;
        for (std::size_t i = 0; i < g.modelos.size(); ++i)
            if (const std::optional<QString> ruta = localizarModelo(g.modelos[i], carpetaBase))
                federacion.restaurarModeloPendiente(g.key, int(i), *ruta);
    }
    federacion.cerrarInicioRestauracion();
    return generacion;
}

}  // namespace quelva
