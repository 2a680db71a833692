// Click sequences of every measuring mode, clearing, closing the polygon and the toolbar group.

#include "viewport/BarraMedicion.h"
#include "viewport/Medicion3D.h"

#include "scene/Geometry.h"
#include "scene/Node.h"

#include <QSignalSpy>
#include <QToolButton>

#include <string>
#include <vector>

#include <gtest/gtest.h>

using quelva::EstadoMedicion;
using quelva::ModoMedicion3D;
using scene::Vec3;

namespace {

// What a drawing shows: the texts of its labels (geometry names), joined by "|".
std::string textos(const scene::NodePtr& nodo)
{
    std::string out;
    nodo->visit([&](scene::Node& n) {
        if (n.geometry && n.geometry->name)
            out += (out.empty() ? "" : "|") + *n.geometry->name;
        return false;
    });
    return out;
}

std::vector<std::string> dibujos(const EstadoMedicion& e)
{
    std::vector<std::string> out;
    for (const auto& n : e.nodosMedicion)
        out.push_back(textos(n));
    return out;
}

const std::string kCoordenadasP1 = "X  +0.0000 m\nY  +0.0000 m\nZ  +0.0000 m";

struct Paso {
    enum Accion { clic, cerrar, limpiar } accion = clic;
    Vec3 p;
    std::vector<std::string> dibujos;  // texts of nodosMedicion after the step
    int puntos;                        // A, B and C set (count of leading slots)
    size_t esquinas = 0;               // medicionPuntosArea
};

class MedicionSecuencia : public ::testing::Test {
protected:
    void recorrer(ModoMedicion3D modo, const std::vector<Paso>& pasos)
    {
        EstadoMedicion e;
        quelva::accionBotonModo(e, modo);
        ASSERT_EQ(e.modoMedicion3D, modo);
        auto raiz = scene::Node::make();
        auto ajeno = scene::Node::make();
        raiz->addChild(ajeno);  // the model: never touched
        int i = 0;
        for (const auto& paso : pasos) {
            ++i;
            switch (paso.accion) {
            case Paso::clic: quelva::procesarClicMedicion(e, *raiz, paso.p); break;
            case Paso::cerrar: quelva::cerrarPoligonoArea(e, *raiz); break;
            case Paso::limpiar: quelva::limpiarMediciones(e); break;
            }
            EXPECT_EQ(dibujos(e), paso.dibujos) << "step " << i;
            const int puntos = int(e.medicionPuntoA.has_value()) + int(e.medicionPuntoB.has_value()) +
                               int(e.medicionPuntoC.has_value());
            EXPECT_EQ(puntos, paso.puntos) << "step " << i;
            EXPECT_EQ(e.medicionPuntosArea.size(), paso.esquinas) << "step " << i;
            // Exactly the listed drawings hang under the root, after the model.
            ASSERT_EQ(raiz->children().size(), 1 + e.nodosMedicion.size()) << "step " << i;
            EXPECT_EQ(raiz->children()[0], ajeno);
            for (size_t k = 0; k < e.nodosMedicion.size(); ++k) {
                EXPECT_EQ(raiz->children()[k + 1], e.nodosMedicion[k]) << "step " << i;
                EXPECT_FALSE(e.nodosMedicion[k]->name.has_value());
            }
            EXPECT_EQ(e.modoMedicion3D, modo);
        }
        previo = e;
    }
    EstadoMedicion previo;
};

TEST_F(MedicionSecuencia, DistanceTakesTwoPointsAndTheThirdStartsAgain)
{
    const Vec3 p1{0, 0, 0}, p2{2.5, 0, 0}, p3{7, 7, 7};
    recorrer(ModoMedicion3D::distancia,
             {
                 {Paso::clic, p1, {"A"}, 1},
                 {Paso::clic, p2, {"A", "B", "2.500 m"}, 2},
                 {Paso::clic, p3, {"A"}, 1},
                 {Paso::clic, p1, {"A", "B", "12.124 m"}, 2},
                 {Paso::limpiar, {}, {}, 0},
                 {Paso::clic, p2, {"A"}, 1},
             });
    EXPECT_EQ(previo.medicionPuntoA, p2);
}

TEST_F(MedicionSecuencia, AngleTakesVertexThenBothRayEnds)
{
    const Vec3 v{1, 1, 0}, a{3, 1, 0}, b{1, 4, 0};
    recorrer(ModoMedicion3D::angulo,
             {
                 {Paso::clic, v, {"Vértice"}, 1},
                 {Paso::clic, a, {"Vértice", "A"}, 2},
                 {Paso::clic, b, {"Vértice", "A", "B", "90.00°"}, 3},
                 {Paso::clic, a, {"Vértice"}, 1},
                 {Paso::clic, v, {"Vértice", "A"}, 2},
                 {Paso::clic, v + Vec3{1, 1, 0}, {"Vértice", "A", "B", "45.00°"}, 3},
             });
    EXPECT_EQ(previo.medicionPuntoA, a);
    EXPECT_EQ(previo.medicionPuntoB, v);
}

TEST_F(MedicionSecuencia, AreaNumbersCornersAndKeepsClosedPolygons)
{
    recorrer(ModoMedicion3D::area,
             {
                 {Paso::clic, {0, 0, 0}, {"1"}, 0, 1},
                 {Paso::clic, {3, 0, 0}, {"1", "2"}, 0, 2},
                 {Paso::cerrar, {}, {"1", "2"}, 0, 2},  // two corners: nothing to close
                 {Paso::clic, {0, 4, 0}, {"1", "2", "3"}, 0, 3},
                 {Paso::cerrar, {}, {"1", "2", "3", "6.000 m²"}, 0, 0},
                 {Paso::cerrar, {}, {"1", "2", "3", "6.000 m²"}, 0, 0},
                 {Paso::clic, {10, 0, 0}, {"1", "2", "3", "6.000 m²", "1"}, 0, 1},
                 {Paso::limpiar, {}, {}, 0, 0},
             });
}

TEST_F(MedicionSecuencia, PointKeepsOnlyTheLastPoint)
{
    recorrer(ModoMedicion3D::punto,
             {
                 {Paso::clic, {0, 0, 0}, {kCoordenadasP1}, 1},
                 {Paso::clic, {1.5, -2, 0.25}, {"X  +1.5000 m\nY  -2.0000 m\nZ  +0.2500 m"}, 1},
             });
    EXPECT_EQ(previo.medicionPuntoA, (Vec3{1.5, -2, 0.25}));
}

TEST(Medicion3D, ClicksDoNothingWhileInactive)
{
    EstadoMedicion e;
    auto raiz = scene::Node::make();
    quelva::procesarClicMedicion(e, *raiz, {1, 2, 3});
    EXPECT_TRUE(raiz->children().empty());
    EXPECT_FALSE(e.medicionPuntoA);
}

TEST(Medicion3D, ModeButtonsClearEverythingAndTheActiveOneSwitchesOff)
{
    const struct { ModoMedicion3D antes, boton, despues; } casos[] = {
        {ModoMedicion3D::inactivo, ModoMedicion3D::distancia, ModoMedicion3D::distancia},
        {ModoMedicion3D::distancia, ModoMedicion3D::distancia, ModoMedicion3D::inactivo},
        {ModoMedicion3D::distancia, ModoMedicion3D::area, ModoMedicion3D::area},
        {ModoMedicion3D::area, ModoMedicion3D::area, ModoMedicion3D::inactivo},
        {ModoMedicion3D::angulo, ModoMedicion3D::punto, ModoMedicion3D::punto},
    };
    for (const auto& c : casos) {
        EstadoMedicion e;
        e.modoMedicion3D = c.antes;
        auto raiz = scene::Node::make();
        auto marcador = scene::Node::make();
        raiz->addChild(marcador);
        e.nodosMedicion = {marcador};
        e.medicionPuntoA = Vec3{1, 0, 0};
        e.medicionPuntoC = Vec3{1, 0, 0};
        e.medicionPuntosArea = {{0, 0, 0}};
        quelva::accionBotonModo(e, c.boton);
        EXPECT_EQ(e.modoMedicion3D, c.despues);
        EXPECT_TRUE(raiz->children().empty());
        EXPECT_TRUE(e.nodosMedicion.empty());
        EXPECT_FALSE(e.medicionPuntoA || e.medicionPuntoB || e.medicionPuntoC);
        EXPECT_TRUE(e.medicionPuntosArea.empty());
    }
}

TEST(BarraMedicion, ShowsClearAndCloseOnlyWhenTheyHaveSomethingToDo)
{
    const std::vector<Vec3> tres{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const struct { const char* caso; ModoMedicion3D modo; bool puntoA; size_t esquinas; bool limpiar, cerrar; } casos[] = {
        {"nothing measured", ModoMedicion3D::distancia, false, 0, false, false},
        {"distance started", ModoMedicion3D::distancia, true, 0, true, false},
        {"two corners", ModoMedicion3D::area, false, 2, true, false},
        {"three corners", ModoMedicion3D::area, false, 3, true, true},
        {"corners left in another mode", ModoMedicion3D::angulo, false, 3, true, false},
        {"after closing", ModoMedicion3D::area, false, 0, false, false},
    };
    quelva::BarraMedicion barra;
    for (const auto& c : casos) {
        EstadoMedicion e;
        e.modoMedicion3D = c.modo;
        if (c.puntoA)
            e.medicionPuntoA = Vec3{};
        e.medicionPuntosArea.assign(tres.begin(), tres.begin() + long(c.esquinas));
        barra.actualizar(e);
        EXPECT_EQ(!barra.botonLimpiar()->isHidden(), c.limpiar) << c.caso;
        EXPECT_EQ(!barra.botonCerrar()->isHidden(), c.cerrar) << c.caso;
    }
    EXPECT_EQ(barra.botonLimpiar()->text(), "Limpiar");
    EXPECT_EQ(barra.botonLimpiar()->toolTip(), "Limpiar medición");
    EXPECT_EQ(barra.botonCerrar()->text(), "Cerrar");
    EXPECT_EQ(barra.botonCerrar()->toolTip(), "Cerrar polígono y calcular área");
}

TEST(BarraMedicion, ModeButtonsCarryCaptionsAndHelpTexts)
{
    quelva::BarraMedicion barra;
    EstadoMedicion e;
    e.modoMedicion3D = ModoMedicion3D::distancia;
    barra.actualizar(e);
    const struct { ModoMedicion3D modo; const char* rotulo; const char* ayuda; } casos[] = {
        {ModoMedicion3D::distancia, "Dist.", "Dist. activo — clic para desactivar"},
        {ModoMedicion3D::area, "Área", "Medir área"},
        {ModoMedicion3D::angulo, "Ángulo", "Medir ángulo"},
        {ModoMedicion3D::punto, "Punto", "Medir punto"},
    };
    for (const auto& c : casos) {
        QToolButton* b = barra.botonModo(c.modo);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), QString::fromUtf8(c.rotulo));
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(c.ayuda));
        EXPECT_EQ(b->size(), QSize(36, 36));
    }
    EXPECT_EQ(quelva::ayudaBotonModo(ModoMedicion3D::distancia, ModoMedicion3D::inactivo), "Medir dist.");
    EXPECT_EQ(barra.botonModo(ModoMedicion3D::inactivo), nullptr);

    QSignalSpy modos(&barra, &quelva::BarraMedicion::modoPulsado);
    QSignalSpy limpiar(&barra, &quelva::BarraMedicion::limpiarPulsado);
    barra.botonModo(ModoMedicion3D::angulo)->click();
    barra.botonLimpiar()->click();
    ASSERT_EQ(modos.count(), 1);
    EXPECT_EQ(modos.at(0).at(0).value<ModoMedicion3D>(), ModoMedicion3D::angulo);
    EXPECT_EQ(limpiar.count(), 1);
}

}  // namespace
