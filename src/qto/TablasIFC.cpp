#include "qto/TablasIFC.h"

#include <algorithm>

namespace quelva {

const std::array<TipoIFCConocido, 26>& tiposIFCConocidos()
{
    static const std::array<TipoIFCConocido, 26> tabla = {{
        {"IFCWALL", "Muro", 1800},
        {"IFCWALLSTANDARDCASE", "Muro estándar", 1800},
        {"IFCSLAB", "Losa", 2400},
        {"IFCBEAM", "Viga", 2400},
        {"IFCCOLUMN", "Columna", 2400},
        {"IFCDOOR", "Puerta", 700},
        {"IFCWINDOW", "Ventana", 100},
        {"IFCSTAIR", "Escalera", 2400},
        {"IFCSTAIRFLIGHT", "Tramo escalera", 2400},
        {"IFCROOF", "Techo", 1200},
        {"IFCSPACE", "Espacio", 0},
        {"IFCFURNISHINGELEMENT", "Mobiliario", 500},
        {"IFCMEMBER", "Elemento estructural", 7850},
        {"IFCPLATE", "Placa", 7850},
        {"IFCFLOWSEGMENT", "Segmento hidráulico", 2000},
        {"IFCFLOWTERMINAL", "Terminal hidráulico", 2000},
        {"IFCFLOWFITTING", "Accesorio hidráulico", 2000},
        {"IFCPIPESEGMENT", "Tubería", 7850},
        {"IFCPIPEFITTING", "Accesorio tubería", 7850},
        {"IFCDUCTSEGMENT", "Ducto", 7000},
        {"IFCDUCTFITTING", "Accesorio ducto", 7000},
        {"IFCBUILDINGELEMENTPROXY", "Elemento genérico", 1000},
        {"IFCCOVERING", "Revestimiento", 1200},
        {"IFCFOOTING", "Cimiento", 2400},
        {"IFCPILE", "Pilote", 2400},
        {"IFCRAILING", "Barandal", 7850},
    }};
    return tabla;
}

const TipoIFCConocido* buscarTipoIFC(std::string_view clase)
{
    const auto& tabla = tiposIFCConocidos();
    const auto it = std::find_if(tabla.begin(), tabla.end(),
                                 [&](const TipoIFCConocido& t) { return clase == t.clase; });
    return it == tabla.end() ? nullptr : &*it;
}

QString nombreTipoIFC(const QString& clase)
{
    const TipoIFCConocido* t = buscarTipoIFC(clase.toStdString());
    return t ? QString::fromUtf8(t->nombre) : clase;
}

float densidadIFC(const QString& clase)
{
    const TipoIFCConocido* t = buscarTipoIFC(clase.toStdString());
    return t ? t->densidad : kDensidadPorDefecto;
}

}  // namespace quelva
