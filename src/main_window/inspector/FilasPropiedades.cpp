#include "main_window/inspector/FilasPropiedades.h"

#include "platform/NumberFormat.h"
#include "viewport/CajaEscena.h"

namespace quelva {

NombreElemento partirNombreElemento(const QString& nombreCompleto)
{
    // A "/" that would close an empty part is skipped; the first one that closes a non-empty part
    // splits the name, and everything after it is the second part.
    qsizetype inicio = 0;
    while (inicio < nombreCompleto.size() && nombreCompleto[inicio] == u'/')
        ++inicio;
    const qsizetype barra = nombreCompleto.indexOf(u'/', inicio);
    if (barra > inicio) {
        const QString tipo = nombreCompleto.mid(inicio, barra - inicio);
        const QString resto = nombreCompleto.mid(barra + 1);
        if (!resto.isEmpty())
            return {tipo, resto};
    }
    return {QStringLiteral("Elemento"), nombreCompleto};
}

QString nombreCompletoNodo(const scene::Node& nodo)
{
    if (nodo.name)
        return QString::fromStdString(*nodo.name);
    if (nodo.geometry && nodo.geometry->name)
        return QString::fromStdString(*nodo.geometry->name);
    return QStringLiteral("Sin nombre");
}

namespace {

const PropiedadesElementoIFC* buscarElemento(const TablaPropiedadesIFC& tabla, const QString& nombreCompleto,
                                             const QString& nombreTrasBarra)
{
    // Element names may hold "/" themselves ("Puerta 90/210"): the whole name first.
    for (const QString& candidato : {nombreCompleto, nombreTrasBarra}) {
        const auto it = tabla.find(candidato.toStdString());
        if (it != tabla.end() && !it->second.empty())
            return &it->second;
    }
    return nullptr;
}

bool estaEnInterferencia(const scene::Node& nodo, const std::vector<Interferencia>& interferencias)
{
    for (const Interferencia& i : interferencias)
        if (i.nodoA.get() == &nodo || i.nodoB.get() == &nodo)
            return true;
    return false;
}

}  // namespace

std::vector<FilaPropiedad> filasPropiedades(const scene::Node& nodo,
                                            const std::optional<QString>& claveEspecialidad,
                                            const std::map<QString, EspecialidadBIM>& especialidades,
                                            const std::vector<Interferencia>& interferencias,
                                            const std::map<QString, TablaPropiedadesIFC>& propiedadesIFC)
{
    std::vector<FilaPropiedad> filas;
    const QString completo = nombreCompletoNodo(nodo);
    const NombreElemento partes = partirNombreElemento(completo);
    filas.push_back({QStringLiteral("Tipo IFC"), partes.tipo});
    filas.push_back({QStringLiteral("Nombre"), partes.nombre});

    if (claveEspecialidad) {
        const auto esp = especialidades.find(*claveEspecialidad);
        if (esp != especialidades.end())
            filas.push_back({QStringLiteral("Especialidad"), esp->second.nombre});
    }

    // Sizes as the model stands in the scene, after its transformation. The scene is Z-up:
    // the height is the Z extent and the depth the Y extent.
    const scene::Box caja = cajaMundoSinPiso(nodo).value_or(scene::Box{});
    const double w = std::abs(caja.max.x - caja.min.x);
    const double h = std::abs(caja.max.z - caja.min.z);
    const double d = std::abs(caja.max.y - caja.min.y);
    const scene::Vec3 centro = caja.center();
    filas.push_back({QStringLiteral("Dimensiones (m)"), platform::qformat("W:%.2f H:%.2f D:%.2f", w, h, d)});
    filas.push_back({QStringLiteral("Posición (m)"),
                     platform::qformat("X:%.2f Y:%.2f Z:%.2f", centro.x, centro.y, centro.z)});
    filas.push_back({QStringLiteral("Vol. aprox. (m³)"), platform::qformat("%.4f", w * h * d)});
    filas.push_back({QStringLiteral("Interferencia"), estaEnInterferencia(nodo, interferencias)
                                                          ? QStringLiteral("Colisión detectada")
                                                          : QStringLiteral("Sin conflictos")});

    if (claveEspecialidad) {
        const auto tabla = propiedadesIFC.find(*claveEspecialidad);
        if (tabla != propiedadesIFC.end() && !tabla->second.empty()) {
            if (const PropiedadesElementoIFC* props = buscarElemento(tabla->second, completo, partes.nombre)) {
                filas.push_back({QStringLiteral("── Propiedades IFC ──"), QString()});
                for (const auto& [clave, valor] : *props)  // std::map: ascending byte order
                    filas.push_back({QString::fromStdString(clave), QString::fromStdString(valor)});
            }
        }
    }
    return filas;
}

}  // namespace quelva
