#include "clash/BCFExporter.h"

#include "platform/AtomicFile.h"
#include "platform/DocumentText.h"
#include "platform/NumberFormat.h"
#include "platform/Queues.h"
#include "platform/WorkFolder.h"
#include "platform/XmlText.h"
#include "platform/ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>

namespace quelva {

namespace {

const QString kDeclaracion = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
const QString kXsi = QStringLiteral("xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"");

QString sangria(int nivel)
{
    return QString(nivel * 4, QLatin1Char(' '));
}

// One simple element on one line.
QString simple(int nivel, const QString& etiqueta, const QString& contenido)
{
    return sangria(nivel) + QLatin1Char('<') + etiqueta + QLatin1Char('>') + contenido + QStringLiteral("</") +
           etiqueta + QLatin1Char('>');
}

QString palabraEstado(EstadoClash e)
{
    switch (e) {
    case EstadoClash::abierto: return QStringLiteral("Open");
    case EstadoClash::enRevision: return QStringLiteral("InProgress");
    case EstadoClash::aprobado: return QStringLiteral("Resolved");
    case EstadoClash::resuelto: return QStringLiteral("Closed");
    }
    return QStringLiteral("Open");
}

void xyz(QStringList& lineas, int nivel, const std::array<float, 3>& v, const char* patron)
{
    lineas << simple(nivel, QStringLiteral("X"), platform::qformat(patron, double(v[0])))
           << simple(nivel, QStringLiteral("Y"), platform::qformat(patron, double(v[1])))
           << simple(nivel, QStringLiteral("Z"), platform::qformat(patron, double(v[2])));
}

}  // namespace

CamaraBCF camaraBCF(const scene::Vec3& posicion, const scene::Vec3& objetivo)
{
    CamaraBCF c;
    c.posicion = {float(posicion.x), float(posicion.y), float(posicion.z)};
    const float dx = float(objetivo.x - posicion.x);
    const float dy = float(objetivo.y - posicion.y);
    const float dz = float(objetivo.z - posicion.z);
    const float largo = std::sqrt(dx * dx + dy * dy + dz * dz);
    c.direccion = largo > 0.001f ? std::array<float, 3>{dx / largo, dy / largo, dz / largo}
                                 : std::array<float, 3>{0, 0, -1};
    // BCF cameras live in IFC coordinates, Z up: the world Z made orthogonal to the direction.
    const auto& d = c.direccion;
    const float ux = -d[0] * d[2];
    const float uy = -d[1] * d[2];
    const float uz = 1 - d[2] * d[2];
    const float m = std::sqrt(ux * ux + uy * uy + uz * uz);
    c.arriba = m > 0.001f ? std::array<float, 3>{ux / m, uy / m, uz / m} : std::array<float, 3>{0, 1, 0};
    return c;
}

QString BCFExporter::xmlVersion()
{
    return QStringList{kDeclaracion,
                       QStringLiteral("<Version VersionId=\"2.1\" ") + kXsi +
                           QStringLiteral(" xsi:noNamespaceSchemaLocation=\"version.xsd\">"),
                       simple(1, QStringLiteral("DetailedVersion"), QStringLiteral("2.1")),
                       QStringLiteral("</Version>")}
        .join(QLatin1Char('\n'));
}

QString BCFExporter::xmlProyecto(const QUuid& proyecto) const
{
    return QStringList{kDeclaracion,
                       QStringLiteral("<ProjectExtension ") + kXsi +
                           QStringLiteral(" xsi:noNamespaceSchemaLocation=\"project.xsd\">"),
                       sangria(1) + QStringLiteral("<Project ProjectId=\"") + platform::documentUuidText(proyecto) + QStringLiteral("\">"),
                       simple(2, QStringLiteral("Name"), platform::escapeXml(nombreProyecto)),
                       sangria(1) + QStringLiteral("</Project>"),
                       simple(1, QStringLiteral("ExtensionSchema"), QStringLiteral("extensions.xsd")),
                       QStringLiteral("</ProjectExtension>")}
        .join(QLatin1Char('\n'));
}

QString BCFExporter::xmlMarkup(const Interferencia& i, const QUuid& viewpoint, bool conSnapshot) const
{
    const QString fecha = platform::documentDateText(analisis.fecha);
    QStringList l;
    l << kDeclaracion
      << QStringLiteral("<Markup ") + kXsi + QStringLiteral(" xsi:noNamespaceSchemaLocation=\"markup.xsd\">")
      << sangria(1) + QStringLiteral("<Topic Guid=\"") + platform::documentUuidText(i.id) + QStringLiteral("\" TopicType=\"Clash\" TopicStatus=\"") +
             palabraEstado(i.estado) + QStringLiteral("\">")
      << simple(2, QStringLiteral("Title"), platform::escapeXml(i.nombreA + QStringLiteral(" ↔ ") + i.nombreB))
      << simple(2, QStringLiteral("Labels"), QStringLiteral("Clash"))
      << simple(2, QStringLiteral("Labels"), platform::escapeXml(i.especialidadA))
      << simple(2, QStringLiteral("Labels"), platform::escapeXml(i.especialidadB))
      << simple(2, QStringLiteral("CreationDate"), fecha) << simple(2, QStringLiteral("CreationAuthor"), QStringLiteral("QUELVA"))
      << simple(2, QStringLiteral("ModifiedDate"), fecha) << simple(2, QStringLiteral("ModifiedAuthor"), QStringLiteral("QUELVA"))
      << simple(2, QStringLiteral("Description"),
                platform::escapeXml(QStringLiteral("Interferencia entre ") + i.especialidadA + QStringLiteral(" y ") +
                                    i.especialidadB + QStringLiteral(". Tolerancia: ") +
                                    platform::qformat("%.3f", analisis.tolerancia) + QStringLiteral(" m.")))
      << sangria(1) + QStringLiteral("</Topic>")
      << sangria(1) + QStringLiteral("<Viewpoints Guid=\"") + platform::documentUuidText(viewpoint) + QStringLiteral("\">")
      << simple(2, QStringLiteral("Viewpoint"), QStringLiteral("viewpoint.bcfv"));
    if (conSnapshot)
        l << simple(2, QStringLiteral("Snapshot"), QStringLiteral("snapshot.png"));
    l << simple(2, QStringLiteral("Index"), QStringLiteral("0")) << sangria(1) + QStringLiteral("</Viewpoints>")
      << QStringLiteral("</Markup>");
    return l.join(QLatin1Char('\n'));
}

QString BCFExporter::xmlViewpoint(const Interferencia& i, const QUuid& viewpoint) const
{
    const CamaraBCF c = camaraBCF(i.viewpointPos, i.viewpointTarget);
    QStringList l;
    l << kDeclaracion
      << QStringLiteral("<VisualizationInfo ") + kXsi + QStringLiteral(" Guid=\"") + platform::documentUuidText(viewpoint) +
             QStringLiteral("\" xsi:noNamespaceSchemaLocation=\"visinfo.xsd\">")
      << sangria(1) + QStringLiteral("<Components>") << sangria(2) + QStringLiteral("<Selection>");
    const auto ids = globalIds.find(i.id);
    const GlobalIdsInterferencia sinIds;
    const GlobalIdsInterferencia& g = ids != globalIds.end() ? ids->second : sinIds;
    for (const auto& [nombre, guid] : {std::pair{&i.nombreA, &g.a}, std::pair{&i.nombreB, &g.b}}) {
        // Other tools select the element by its IfcGuid; the schema takes only well-formed ones.
        const QString atributo = esIfcGuid(*guid) ? QStringLiteral(" IfcGuid=\"") + *guid + QLatin1Char('"') : QString();
        l << sangria(3) + QStringLiteral("<Component") + atributo + QLatin1Char('>')
          << simple(4, QStringLiteral("OriginatingSystem"), QStringLiteral("QUELVA"))
          << simple(4, QStringLiteral("AuthoringToolId"), platform::escapeXml(*nombre))
          << sangria(3) + QStringLiteral("</Component>");
    }
    l << sangria(2) + QStringLiteral("</Selection>") << sangria(2) + QStringLiteral("<Visibility DefaultVisibility=\"true\"/>")
      << sangria(1) + QStringLiteral("</Components>") << sangria(1) + QStringLiteral("<PerspectiveCamera>")
      << sangria(2) + QStringLiteral("<CameraViewPoint>");
    xyz(l, 3, c.posicion, "%.4f");
    l << sangria(2) + QStringLiteral("</CameraViewPoint>") << sangria(2) + QStringLiteral("<CameraDirection>");
    xyz(l, 3, c.direccion, "%.6f");
    l << sangria(2) + QStringLiteral("</CameraDirection>") << sangria(2) + QStringLiteral("<CameraUpVector>");
    xyz(l, 3, c.arriba, "%.6f");
    l << sangria(2) + QStringLiteral("</CameraUpVector>") << simple(2, QStringLiteral("FieldOfView"), QStringLiteral("60.0"))
      << sangria(1) + QStringLiteral("</PerspectiveCamera>") << sangria(1) + QStringLiteral("<ClippingPlanes/>")
      << QStringLiteral("</VisualizationInfo>");
    return l.join(QLatin1Char('\n'));
}

QString BCFExporter::nombreArchivoSeguro(const QString& nombre)
{
    QString limpio;
    const QList<uint> puntos = nombre.toUcs4();
    for (uint cp : puntos) {
        const char32_t c = char32_t(cp);
        const bool conservar = QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'-' || c == U'_' || c == U' ';
        if (conservar)
            limpio += QString::fromUcs4(&c, 1);
    }
    return limpio;
}

std::optional<QString> BCFExporter::escribirPaquete(const QString& ruta) const
{
    platform::ZipWriter zip;
    zip.addFile(QStringLiteral("bcf.version"), xmlVersion().toUtf8());
    zip.addFile(QStringLiteral("project.bcfp"), xmlProyecto().toUtf8());
    for (const Interferencia& i : analisis.interferencias) {
        const QString carpeta = platform::documentUuidText(i.id) + QLatin1Char('/');
        const QUuid viewpoint = QUuid::createUuid();
        const auto snapshot = snapshots.find(i.id);
        const bool conSnapshot = snapshot != snapshots.end() && !snapshot->second.isEmpty();
        zip.addDirectory(carpeta);
        zip.addFile(carpeta + QStringLiteral("markup.bcf"), xmlMarkup(i, viewpoint, conSnapshot).toUtf8());
        zip.addFile(carpeta + QStringLiteral("viewpoint.bcfv"), xmlViewpoint(i, viewpoint).toUtf8());
        if (conSnapshot)
            zip.addFile(carpeta + QStringLiteral("snapshot.png"), snapshot->second);
    }
    return zip.finish(ruta);
}

void BCFExporter::exportar(std::function<std::optional<QString>(const QString&)> elegirDestino,
                           std::function<void(bool)> terminado) const
{
    platform::BackgroundQueue::post([copia = *this, elegirDestino = std::move(elegirDestino),
                                     terminado = std::move(terminado)]() mutable {
        const QString trabajo = QDir(platform::privateWorkFolder()).filePath(platform::documentUuidText(QUuid::createUuid()) + QStringLiteral(".bcf"));
        const std::optional<QString> error = copia.escribirPaquete(trabajo);
        const QString nombre = copia.nombreArchivo();
        platform::MainQueue::post([error, trabajo, nombre, elegirDestino = std::move(elegirDestino),
                                   terminado = std::move(terminado)] {
            bool ok = false;
            if (!error) {
                if (const std::optional<QString> destino = elegirDestino ? elegirDestino(nombre) : std::nullopt) {
                    QFile archivo(trabajo);
                    // The user's file is replaced whole or not at all; a folder there is an error.
                    ok = archivo.open(QIODevice::ReadOnly) &&
                         !platform::replaceFileAtomically(*destino, archivo.readAll()).has_value();
                }
            }
            QFile::remove(trabajo);
            if (terminado)
                terminado(ok);
        });
    });
}

}  // namespace quelva
