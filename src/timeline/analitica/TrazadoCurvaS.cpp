#include "timeline/analitica/TrazadoCurvaS.h"

namespace quelva {

TrazadoCurvaS trazarCurvaS(const TimeLinerConfig& config, int modo, QSize tamano)
{
    TrazadoCurvaS r;
    r.datos = datosCurvaS(config, modo);
    r.geometria = geometriaCurvaS(r.datos, QSizeF(tamano));
    const SerieCurvaS orden[] = {SerieCurvaS::costoPlan, SerieCurvaS::valorGanado, SerieCurvaS::hhPlan,
                                 SerieCurvaS::hhGanadas};
    for (std::size_t i = 0; i < 4; ++i) {
        TrazoSerie& s = r.series[i];
        if (!r.geometria.valida())
            continue;
        const std::vector<QPointF> puntos = puntosParaTrazo(puntosSerie(r.datos, r.geometria, orden[i]));
        s.estilo = estiloSerie(orden[i], modo);
        s.dibujar = puntos.size() >= 2;
        if (!s.dibujar)
            continue;
        s.trazo.moveTo(puntos.front());
        for (const TramoCurvaS& t : tramosSuaves(puntos)) {
            if (t.curva)
                s.trazo.cubicTo(t.c1, t.c2, t.hasta);
            else
                s.trazo.lineTo(t.hasta);
        }
        if (s.estilo.relleno) {
            s.area = s.trazo;
            s.area.lineTo(puntos.back().x(), r.geometria.b);
            s.area.lineTo(GeometriaCurvaS::izquierda, r.geometria.b);
            s.area.closeSubpath();
        }
        if (puntos.back().x() > GeometriaCurvaS::izquierda)
            s.punto = puntos.back();
    }
    return r;
}

}  // namespace quelva
