#include "comments/PaqueteBCFComentarios.h"

#include "comments/CodificacionMarkup.h"
#include "platform/DocumentText.h"
#include "platform/XmlText.h"
#include "platform/ZipWriter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>

namespace quelva {

namespace {

const char* const kDeclaracion = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const char* const kXsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

QByteArray lineas(const QStringList& l)
{
    return l.join(u'\n').toUtf8();
}

}  // namespace

QString rutaFinalBCF(const QString& elegida)
{
    if (QFileInfo(elegida).suffix().toLower() == QLatin1String("bcf"))
        return elegida;
    return elegida + QStringLiteral(".bcf");
}

QString tituloTopico(const ComentarioMarkup& c)
{
    return c.descripcion.isEmpty() ? c.tag : c.tag + QStringLiteral(": ") + c.descripcion;
}

QByteArray xmlVersionBCF()
{
    return lineas({QString::fromUtf8(kDeclaracion),
                   QStringLiteral("<Version VersionId=\"2.1\" %1>").arg(QLatin1String(kXsi)),
                   QStringLiteral("  <DetailedVersion>2.1</DetailedVersion>"), QStringLiteral("</Version>")});
}

QByteArray xmlProyectoComentarios(const QUuid& proyecto)
{
    // ExtensionSchema is required by the schema; an empty one says there are no extensions.
    return lineas({QString::fromUtf8(kDeclaracion), QStringLiteral("<ProjectExtension>"),
                   QStringLiteral("  <Project ProjectId=\"%1\">").arg(platform::documentUuidText(proyecto)),
                   QStringLiteral("    <Name>QUELVA Comentarios</Name>"), QStringLiteral("  </Project>"),
                   QStringLiteral("  <ExtensionSchema></ExtensionSchema>"), QStringLiteral("</ProjectExtension>")});
}

QByteArray xmlMarkupComentario(const ComentarioMarkup& c, const std::optional<QUuid>& viewpoint)
{
    QStringList l{
        QString::fromUtf8(kDeclaracion),
        QStringLiteral("<Markup %1>").arg(QLatin1String(kXsi)),
        QStringLiteral("  <Topic Guid=\"%1\" TopicType=\"Comment\" TopicStatus=\"Open\">").arg(platform::documentUuidText(c.id)),
        QStringLiteral("    <Title>%1</Title>").arg(platform::escapeXml(tituloTopico(c))),
        QStringLiteral("    <CreationDate>%1</CreationDate>").arg(platform::documentDateText(c.fecha)),
        QStringLiteral("    <CreationAuthor>%1</CreationAuthor>").arg(platform::escapeXml(c.autor)),
        QStringLiteral("    <Description>%1</Description>").arg(platform::escapeXml(c.descripcion)),
        QStringLiteral("  </Topic>"),
    };
    if (viewpoint) {
        l << QStringLiteral("  <Viewpoints Guid=\"%1\">").arg(platform::documentUuidText(*viewpoint))
          << QStringLiteral("    <Snapshot>snapshot.png</Snapshot>") << QStringLiteral("  </Viewpoints>");
    }
    l << QStringLiteral("</Markup>");
    return lineas(l);
}

QByteArray pngDeJPEG(const QByteArray& jpeg)
{
    const QImage imagen = QImage::fromData(jpeg, "JPEG");
    if (imagen.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!imagen.save(&buffer, "PNG"))
        return {};
    return png;
}

std::optional<QString> escribirBCFComentarios(const QString& destino, const std::vector<ComentarioMarkup>& comentarios)
{
    platform::ZipWriter zip;
    zip.addFile(QStringLiteral("bcf.version"), xmlVersionBCF());
    zip.addFile(QStringLiteral("project.bcfp"), xmlProyectoComentarios(QUuid::createUuid()));
    for (const ComentarioMarkup& c : comentarios) {
        const QString carpeta = platform::documentUuidText(c.id);
        zip.addDirectory(carpeta);
        // A topic names a snapshot only when there is a real PNG to go with it.
        const QByteArray png = c.imagenJPEG ? pngDeJPEG(*c.imagenJPEG) : QByteArray();
        std::optional<QUuid> viewpoint;
        if (!png.isEmpty()) {
            zip.addFile(carpeta + QStringLiteral("/snapshot.png"), png);
            viewpoint = QUuid::createUuid();
        }
        zip.addFile(carpeta + QStringLiteral("/markup.bcf"), xmlMarkupComentario(c, viewpoint));
    }
    return zip.finish(destino);
}

}  // namespace quelva
