#include "qto/ItemQTO.h"

#include "platform/TextOrder.h"

namespace quelva {

namespace {

template <typename Termino>
float sumar(const std::vector<ItemQTO>& items, Termino termino)
{
    float suma = 0;
    for (const ItemQTO& item : items)
        suma += termino(item);
    return suma;
}

float divisor(const std::vector<ItemQTO>& items)
{
    return items.empty() ? 1.0f : float(items.size());
}

}  // namespace

float GrupoQTO::volumen() const { return sumar(items, [](const ItemQTO& i) { return i.volumen(); }); }
float GrupoQTO::areaPlanta() const { return sumar(items, [](const ItemQTO& i) { return i.areaPlanta(); }); }
float GrupoQTO::areaCara() const { return sumar(items, [](const ItemQTO& i) { return i.areaCara(); }); }
float GrupoQTO::peso() const { return sumar(items, [](const ItemQTO& i) { return i.peso(); }); }

float GrupoQTO::dxMedio() const { return sumar(items, [](const ItemQTO& i) { return i.dx; }) / divisor(items); }
float GrupoQTO::dyMedio() const { return sumar(items, [](const ItemQTO& i) { return i.dy; }) / divisor(items); }
float GrupoQTO::dzMedio() const { return sumar(items, [](const ItemQTO& i) { return i.dz; }) / divisor(items); }

bool valorPropiedadVacio(std::string_view valor)
{
    return valor.empty() || valor == "$";
}

QString GrupoQTO::valorParametro(const QString& clave) const
{
    const std::string k = clave.toStdString();
    std::optional<std::string_view> primero;
    for (const ItemQTO& item : items) {
        const std::optional<std::string_view> v = item.propiedad(k);
        if (!v || valorPropiedadVacio(*v))
            continue;
        if (!primero)
            primero = v;
        else if (*v != *primero)
            return QStringLiteral("varios");
    }
    return primero ? QString::fromUtf8(primero->data(), qsizetype(primero->size())) : guionVacio();
}

bool GrupoQTO::ordenPorDefecto(const GrupoQTO& a, const GrupoQTO& b)
{
    if (const int c = platform::compareCodePoints(a.especialidad, b.especialidad))
        return c < 0;
    return platform::compareCodePoints(a.tipoNombre, b.tipoNombre) < 0;
}

}  // namespace quelva
