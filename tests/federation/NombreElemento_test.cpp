#include "federation/ifc/NombreElemento.h"

#include "federation/ifc/StepReader.h"
#include "federation/obj/ObjLoader.h"

#include <gtest/gtest.h>

using namespace quelva;

TEST(NombreElemento, CleanNameOrElseGlobalId)
{
    struct Caso {
        const char* atributos;  // GlobalId, OwnerHistory, Name, as written in the record
        const char* esperado;
    };
    const Caso casos[] = {
        {"'g',$,'Muro 1'", "Muro 1"},
        {"'g',$,'\tMuro\t'", "Muro"},
        {"'g',$,'\\X2\\00A0\\X0\\Muro\\X2\\3000\\X0\\'", "Muro"},  // no-break and ideographic spaces
        {"'g',$,'Dos  espacios'", "Dos  espacios"},
        {"'g',$,'Uno\\X2\\000D000A\\X0\\dos'", "Uno dos"},  // CR LF is one break
        {"'g',$,'Uno\\X2\\000A000A\\X0\\dos'", "Uno  dos"},
        {"'g',$,'a\\X\\0Bb\\X\\0Cc\\X2\\0085\\X0\\d\\X2\\2028\\X0\\e\\X2\\2029\\X0\\f\\X\\0Dg'", "a b c d e f g"},
        {"'g',$,'Muro\\X\\0A'", "Muro"},
        {"'0GlobalId',$,' '", "0GlobalId"},
        {"'0GlobalId',$,''", "0GlobalId"},
        {"'0GlobalId',$,$", "0GlobalId"},
        {"'0GlobalId',$,'\\X2\\000A\\X0\\'", "0GlobalId"},
        {"'0GlobalId',$", "0GlobalId"},
        {"$,$,$", ""},
        {"", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.atributos);
        EXPECT_EQ(nombreElementoIFC(separarAtributosSTEP(c.atributos)), c.esperado);
    }
}

TEST(NombreElemento, ObjGroupNamesAreCleanedTheSameWay)
{
    const auto c = cargarOBJDesdeTexto("v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                       "g Uno\rdos\r\nf 1 2 3\n"
                                       "g \xC2\xA0Muro\xE2\x80\xA8\nf 1 2 3\n"
                                       "g \r\nf 1 2 3\n");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->children().size(), 3u);
    EXPECT_EQ(c->children()[0]->name, limpiarNombreElemento("Uno\rdos"));
    EXPECT_EQ(c->children()[0]->name, "Uno dos");
    EXPECT_EQ(c->children()[1]->name, "Muro");
    EXPECT_EQ(c->children()[2]->name, "default");
}
