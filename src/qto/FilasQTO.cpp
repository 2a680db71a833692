#include "qto/FilasQTO.h"

#include "platform/NumberFormat.h"

namespace quelva {

namespace {

QString decimales(float valor, int n)
{
    return QString::fromStdString(platform::fixedText(double(valor), n));
}

void agregarExtras(QStringList& celdas, const QStringList& extras, auto valor)
{
    for (const QString& clave : extras)
        celdas.append(valor(clave));
}

}  // namespace

double anchoColumna(ColumnaQTO columna)
{
    using namespace anchosQTO;
    switch (columna) {
    case ColumnaQTO::tipo: return wMinTipo;
    case ColumnaQTO::especialidad: return wEsp;
    case ColumnaQTO::cantidad: return wCant;
    case ColumnaQTO::densidad: return wDens;
    case ColumnaQTO::ancho:
    case ColumnaQTO::alto:
    case ColumnaQTO::largo: return wDim;
    case ColumnaQTO::volumen: return wVol;
    case ColumnaQTO::areaPlanta: return wAP;
    case ColumnaQTO::areaCara: return wAC;
    case ColumnaQTO::peso: return wPeso;
    }
    return wExtra;
}

QString tituloColumna(ColumnaQTO columna)
{
    switch (columna) {
    case ColumnaQTO::tipo: return QStringLiteral("Tipo IFC");
    case ColumnaQTO::especialidad: return QStringLiteral("Especialidad");
    case ColumnaQTO::cantidad: return QStringLiteral("Cant.");
    case ColumnaQTO::densidad: return QStringLiteral("Dens.\n(kg/m³)");
    case ColumnaQTO::ancho: return QStringLiteral("Ancho (m)");
    case ColumnaQTO::alto: return QStringLiteral("Alto (m)");
    case ColumnaQTO::largo: return QStringLiteral("Largo (m)");
    case ColumnaQTO::volumen: return QStringLiteral("Vol. total\n(m³)");
    case ColumnaQTO::areaPlanta: return QStringLiteral("Área planta\n(m²)");
    case ColumnaQTO::areaCara: return QStringLiteral("Área cara\n(m²)");
    case ColumnaQTO::peso: return QStringLiteral("Peso total\n(kg)");
    }
    return {};
}

std::optional<OrdenQTO> ordenDeColumna(ColumnaQTO columna)
{
    switch (columna) {
    case ColumnaQTO::tipo: return OrdenQTO::tipoNombre;
    case ColumnaQTO::especialidad: return OrdenQTO::especialidad;
    case ColumnaQTO::cantidad: return OrdenQTO::cantidad;
    case ColumnaQTO::volumen: return OrdenQTO::volumen;
    case ColumnaQTO::areaPlanta: return OrdenQTO::areaPlanta;
    case ColumnaQTO::areaCara: return OrdenQTO::areaCara;
    case ColumnaQTO::peso: return OrdenQTO::peso;
    default: return std::nullopt;
    }
}

QString textoCantidad(float valor, int n)
{
    return valor > 0.0001f ? decimales(valor, n) : guionVacio();
}

QString valorParametroItem(const ItemQTO& item, const QString& clave)
{
    const std::optional<std::string_view> v = item.propiedad(clave.toStdString());
    return v && !valorPropiedadVacio(*v) ? QString::fromUtf8(v->data(), qsizetype(v->size())) : guionVacio();
}

QStringList celdasGrupo(const GrupoQTO& g, const QStringList& extras)
{
    QStringList c{
        g.tipoNombre,
        g.especialidad,
        QString::number(qlonglong(g.items.size())),
        textoCantidad(g.densidad, 0),
        textoCantidad(g.dxMedio(), 3),
        textoCantidad(g.dyMedio(), 3),
        textoCantidad(g.dzMedio(), 3),
        textoCantidad(g.volumen(), 3),
        textoCantidad(g.areaPlanta(), 3),
        textoCantidad(g.areaCara(), 3),
        textoCantidad(g.peso(), 1),
    };
    agregarExtras(c, extras, [&](const QString& clave) { return g.valorParametro(clave); });
    return c;
}

QStringList celdasItem(const ItemQTO& i, const QStringList& extras)
{
    QStringList c{
        i.nombre,
        QString(),
        QStringLiteral("1"),
        textoCantidad(i.densidad, 0),
        textoCantidad(i.dx, 3),
        textoCantidad(i.dy, 3),
        textoCantidad(i.dz, 3),
        textoCantidad(i.volumen(), 3),
        textoCantidad(i.areaPlanta(), 3),
        textoCantidad(i.areaCara(), 3),
        textoCantidad(i.peso(), 1),
    };
    agregarExtras(c, extras, [&](const QString& clave) { return valorParametroItem(i, clave); });
    return c;
}

QStringList celdasTotal(const EstadoQTO& e)
{
    QStringList c{
        QStringLiteral("TOTAL"),
        QString(),
        QString::number(qlonglong(e.totalElementos())),
        QString(),
        QString(),
        QString(),
        QString(),
        textoCantidad(e.totalVolumen(), 3),
        textoCantidad(e.totalAreaPlanta(), 3),
        QString(),
        textoCantidad(e.totalPeso(), 1),
    };
    agregarExtras(c, e.parametrosExtra, [](const QString&) { return QString(); });
    return c;
}

QString textoPesoToneladas(float pesoKg)
{
    return QStringLiteral("≈ ") + decimales(pesoKg / 1000.0f, 1) + QStringLiteral(" t");
}

QString lineaResumen(const EstadoQTO& e)
{
    return QStringLiteral("Vol.: ") + decimales(e.totalVolumen(), 3) + QStringLiteral(" m³  ·  Área planta: ")
           + decimales(e.totalAreaPlanta(), 3) + QStringLiteral(" m²  ·  Peso estimado: ")
           + decimales(e.totalPeso() / 1000.0f, 1) + QStringLiteral(" t");
}

}  // namespace quelva
