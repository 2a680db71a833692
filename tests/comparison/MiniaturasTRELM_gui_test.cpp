// Rendering the change report's thumbnails: kind colours, one picture per name (the later one),
// published once, and the live model left as it was.

#include "comparison/MiniaturasTRELM.h"
#include "comparison/support/ModelosTRELM.h"
#include "support/Esperar.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quelva;

namespace {

// The mean colour of the pixels that are not the dark background.
QColor colorDominante(const QImage& imagen)
{
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x) {
            const QColor c = imagen.pixelColor(x, y);
            if (c.valueF() < 0.2f)
                continue;
            r += c.redF();
            g += c.greenF();
            b += c.blueF();
            ++n;
        }
    if (n < 50)
        return {};
    return QColor::fromRgbF(float(r / n), float(g / n), float(b / n));
}

}  // namespace

TEST(MiniaturasTRELM, RendersEachKindInItsColourAndPublishesOnce)
{
    auto modelo = pruebas_trelm::modelo({{"IfcWall/Muro", {0, 0, 0}, {4, 0.2f, 3}},
                                         {"IfcBeam/Viga", {0, 0, 3}, {4, 0.3f, 3.4f}},
                                         {"IfcSlab/Losa", {0, 0, 0}, {4, 4, 0.2f}},
                                         {"IfcSlab/Punto", {1, 1, 1}, {1, 1, 1}}});
    const scene::Color antes = *pruebas_trelm::material(modelo, 0).diffuse.color();
    std::vector<EntradaMiniaturaTRELM> entradas;
    const TipoCambioTRELM tipos[] = {TipoCambioTRELM::agregado, TipoCambioTRELM::eliminado,
                                     TipoCambioTRELM::modificado, TipoCambioTRELM::modificado};
    for (size_t i = 0; i < 4; ++i)
        entradas.push_back({QString::fromStdString(modelo->children()[i]->name->substr(modelo->children()[i]->name->find('/') + 1)),
                            modelo->children()[i]->clone(false), colorMiniaturaTRELM(tipos[i])});
    // A second element named "Muro": its picture (removed, red) replaces the first one.
    entradas.push_back({QStringLiteral("Muro"), modelo->children()[1]->clone(false),
                        colorMiniaturaTRELM(TipoCambioTRELM::eliminado)});

    TRELMThumbnailStore store;
    QSignalSpy publicado(&store, &TRELMThumbnailStore::thumbnailsChanged);
    GeneradorMiniaturasTRELM generador(std::move(entradas), &store);
    generador.empezar();
    ASSERT_TRUE(publicado.wait(testsupport::kLimiteCuelgue));
    testsupport::entregarEventos();
    EXPECT_EQ(publicado.count(), 1);
    EXPECT_TRUE(generador.terminado());

    const auto& m = store.thumbnails();
    EXPECT_EQ(m.size(), 4u);
    for (const auto& [nombre, imagen] : m)
        EXPECT_EQ(imagen.size(), kCeldaMiniaturaTRELM) << nombre.toStdString();
    const struct { const char* nombre; TipoCambioTRELM tipo; } colores[] = {
        {"Muro", TipoCambioTRELM::eliminado}, {"Viga", TipoCambioTRELM::eliminado}, {"Losa", TipoCambioTRELM::modificado}};
    for (const auto& c : colores) {
        const QColor visto = colorDominante(m.at(c.nombre));
        ASSERT_TRUE(visto.isValid()) << c.nombre;
        const scene::Color esperado = colorMiniaturaTRELM(c.tipo);
        // Lit, so darker or lighter; the hue is the kind's.
        EXPECT_NEAR(visto.hueF(), QColor::fromRgbF(float(esperado.r), float(esperado.g), float(esperado.b)).hueF(), 0.04)
            << c.nombre;
    }
    // An element without extent still gets a picture.
    EXPECT_FALSE(m.at("Punto").isNull());
    EXPECT_EQ(*pruebas_trelm::material(modelo, 0).diffuse.color(), antes);
    EXPECT_EQ(modelo->children()[0]->geometry->materials.size(), 1u);
}

TEST(MiniaturasTRELM, NothingToRenderPublishesAnEmptyMap)
{
    TRELMThumbnailStore store;
    QSignalSpy publicado(&store, &TRELMThumbnailStore::thumbnailsChanged);
    GeneradorMiniaturasTRELM generador({}, &store);
    generador.empezar();
    ASSERT_TRUE(publicado.wait(testsupport::kLimiteCuelgue));
    EXPECT_TRUE(store.thumbnails().empty());
}
