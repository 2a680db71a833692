#include "federation/ifc/StepReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quelva;

namespace {

const char* kCabecera =
    "ISO-10303-21;\n"
    "HEADER;\n"
    "FILE_DESCRIPTION(('ViewDefinition [CoordinationView]'),'2;1');\n"
    "FILE_NAME('a.ifc','2026-01-01T00:00:00',(''),(''),'','','');\n"
    "FILE_SCHEMA(('IFC2X3'));\n"
    "ENDSEC;\n"
    "DATA;\n";

std::string archivo(const std::string& datos)
{
    return std::string(kCabecera) + datos + "ENDSEC;\nEND-ISO-10303-21;\n";
}

std::vector<std::string> atributosDe(const TablaRegistrosSTEP& tabla, std::int64_t numero)
{
    std::vector<std::string> salida;
    if (const RegistroSTEP* r = tabla.buscar(numero)) {
        for (auto a : separarAtributosSTEP(r->argumentos))
            salida.emplace_back(a);
    }
    return salida;
}

TEST(StepReader, RecordOverThreeLinesReadsLikeTheSameRecordOnOneLine)
{
    const auto enUnaLinea = TablaRegistrosSTEP::desdeTexto(
        archivo("#5=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',#2,'Muro 1',$,$,$,$,$);\n"));
    const auto enTresLineas = TablaRegistrosSTEP::desdeTexto(
        archivo("#5=IFCWALL('2O2Fr$t4X7Zf8NOew3FLOH',#2,\n"
                "   'Muro 1',  \n"
                "   $,$,$,$,$);\n"));
    ASSERT_NE(enTresLineas.buscar(5), nullptr);
    EXPECT_EQ(enTresLineas.buscar(5)->tipo, "IFCWALL");
    EXPECT_EQ(atributosDe(enTresLineas, 5), atributosDe(enUnaLinea, 5));
    EXPECT_EQ(atributosDe(enTresLineas, 5).size(), 8u);
}

TEST(StepReader, UpperCasesEntityTypes)
{
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo("#1= IfcWall ('a',$,'b');\n#2=ifcslab('c',$,'d');\n"));
    ASSERT_NE(tabla.buscar(1), nullptr);
    EXPECT_EQ(tabla.buscar(1)->tipo, "IFCWALL");
    EXPECT_EQ(tabla.buscar(2)->tipo, "IFCSLAB");
}

TEST(StepReader, LastRecordBeforeEndsecKeepsOnlyItsOwnAttributes)
{
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo("#9=IFCCOLUMN('g',#2,'Pilar',$) ;\n"));
    EXPECT_EQ(atributosDe(tabla, 9), (std::vector<std::string>{"'g'", "#2", "'Pilar'", "$"}));
    EXPECT_EQ(tabla.entradas().size(), 1u);
}

TEST(StepReader, CrLfAndLoneCrLineEndsReadLikeLineFeeds)
{
    const std::string lf = archivo("#1=IFCWALL('a',#2,\n'Muro',$);\n#2=IFCSLAB('b',$,'Losa',$);\n");
    std::string crlf;
    std::string cr;
    for (char c : lf) {
        if (c == '\n') {
            crlf += "\r\n";
            cr += "\r";
        } else {
            crlf += c;
            cr += c;
        }
    }
    const auto tablaLf = TablaRegistrosSTEP::desdeTexto(lf);
    for (const std::string& texto : {crlf, cr}) {
        const auto tabla = TablaRegistrosSTEP::desdeTexto(texto);
        ASSERT_EQ(tabla.entradas().size(), 2u);
        EXPECT_EQ(atributosDe(tabla, 1), atributosDe(tablaLf, 1));
        EXPECT_EQ(atributosDe(tabla, 2), (std::vector<std::string>{"'b'", "$", "'Losa'", "$"}));
    }
}

TEST(StepReader, CutsRecordsAtSemicolonsOutsideStringsAndComments)
{
    const auto registros = leerRegistrosSTEP(archivo(
        "/* muros */\n"
        "#1=IFCWALL('a;b',$,'x');#2=IFCSLAB('c',$,'y');\n"
        "#3=IFCBEAM('d', /* comentario; con punto y coma */ $,'/* no es comentario */');\n"
        "/* varias\n lineas ; */ #4=IFCLABEL('e');\n"));
    EXPECT_EQ(registros, (std::vector<std::string>{
                             "#1=IFCWALL('a;b',$,'x')",
                             "#2=IFCSLAB('c',$,'y')",
                             "#3=IFCBEAM('d',  $,'/* no es comentario */')",
                             "#4=IFCLABEL('e')",
                         }));
}

TEST(StepReader, ParsesNumbersTypesAndAttributeText)
{
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo(
        "#7 = IFCCARTESIANPOINT((1.,2.,3.));\n"
        "#+8=IFCDIRECTION((0.,0.,1.));\n"
        "#-9=IFCLABEL('neg');\n"
        "#10=(IFCLENGTHUNIT()IFCNAMEDUNIT(*,.LENGTHUNIT.));\n"));
    ASSERT_NE(tabla.buscar(7), nullptr);
    EXPECT_EQ(tabla.buscar(7)->tipo, "IFCCARTESIANPOINT");
    EXPECT_EQ(tabla.buscar(7)->argumentos, "(1.,2.,3.)");
    ASSERT_NE(tabla.buscar(8), nullptr);
    ASSERT_NE(tabla.buscar(-9), nullptr);
    ASSERT_NE(tabla.buscar(10), nullptr);
    EXPECT_EQ(tabla.buscar(10)->tipo, "");  // complex instances are never matched
}

TEST(StepReader, SkipsRecordsItCannotRead)
{
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo(
        "#1IFCWALL('sin igual');\n"
        "#2(IFCWALL)=3;\n"
        "#3=IFCWALL;\n"
        "#abc=IFCWALL('a',$,'b');\n"
        "#99999999999999999999999=IFCWALL('enorme',$,'c');\n"
        "#4=IFCSLAB('ok');\n"));
    EXPECT_EQ(tabla.buscar(1), nullptr);
    EXPECT_EQ(tabla.buscar(2), nullptr);
    EXPECT_EQ(tabla.buscar(3), nullptr);
    EXPECT_NE(tabla.buscar(4), nullptr);
    // Records with a number that is not an integer are listed but cannot be looked up.
    ASSERT_EQ(tabla.entradas().size(), 3u);
    EXPECT_FALSE(tabla.entradas()[0].numeroValido);
    EXPECT_FALSE(tabla.entradas()[1].numeroValido);
    EXPECT_FALSE(tabla.vigente(0));
    EXPECT_TRUE(tabla.vigente(2));
}

TEST(StepReader, RepeatedNumberKeepsTheLaterRecord)
{
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo("#1=IFCWALL('a');\n#1=IFCSLAB('b');\n"));
    ASSERT_NE(tabla.buscar(1), nullptr);
    EXPECT_EQ(tabla.buscar(1)->tipo, "IFCSLAB");
    EXPECT_FALSE(tabla.vigente(0));
    EXPECT_TRUE(tabla.vigente(1));
}

TEST(StepReader, LooksUpManyRecords)
{
    std::string datos;
    for (int i = 1; i <= 5000; ++i)
        datos += "#" + std::to_string(i * 3) + "=IFCLABEL('" + std::to_string(i) + "');\n";
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo(datos));
    for (int i = 1; i <= 5000; ++i) {
        const RegistroSTEP* r = tabla.buscar(i * 3);
        ASSERT_NE(r, nullptr) << i;
        EXPECT_EQ(limpiarCadenaSTEP(r->argumentos), std::to_string(i));
        EXPECT_EQ(tabla.buscar(i * 3 + 1), nullptr);
    }
}

TEST(StepReader, LooksUpSparseAndExtremeRecordNumbers)
{
    std::vector<std::int64_t> numeros = {-9223372036854775807LL - 1, -5, 0, 9223372036854775807LL};
    for (std::int64_t i = 1; i <= 3000; ++i)
        numeros.push_back(i * 1000003);
    std::string datos;
    for (const std::int64_t n : numeros)
        datos += "#" + std::to_string(n) + "=IFCLABEL('" + std::to_string(n) + "');\n";
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo(datos));
    for (const std::int64_t n : numeros) {
        const RegistroSTEP* r = tabla.buscar(n);
        ASSERT_NE(r, nullptr) << n;
        EXPECT_EQ(limpiarCadenaSTEP(r->argumentos), std::to_string(n));
        EXPECT_EQ(tabla.buscar(n ^ 1), nullptr) << n;  // a neighbouring number that is not there
    }
}

TEST(StepReader, IndexWorkStaysLinearForNumbersChosenToCollide)
{
    // Numbers whose product with the golden-ratio constant is small share the top bits a
    // fixed multiplicative hash keeps: under such a hash every one lands in the same slot.
    constexpr std::uint64_t kInversa = 0xF1DE83E19937733DULL;  // inverse of 0x9E3779B97F4A7C15 mod 2^64
    static_assert(kInversa * 0x9E3779B97F4A7C15ULL == 1);
    std::string datos;
    std::vector<std::int64_t> numeros;
    for (std::uint64_t k = 1; numeros.size() < 20000; ++k) {
        const auto n = static_cast<std::int64_t>(k * kInversa);
        if (n <= 0)
            continue;
        numeros.push_back(n);
        datos += "#" + std::to_string(n) + "=IFCLABEL('x');\n";
    }
    const auto tabla = TablaRegistrosSTEP::desdeTexto(archivo(datos));
    ASSERT_EQ(tabla.entradas().size(), numeros.size());
    EXPECT_LE(tabla.sondeosIndice(), 4 * numeros.size());
    for (const std::int64_t n : numeros)
        ASSERT_NE(tabla.buscar(n), nullptr) << n;
}

TEST(StepReader, NumbersOutOfRangeNameNoRecord)
{
    // 2^64 + 4 must not wrap around to #4
    const auto tabla = TablaRegistrosSTEP::desdeTexto(
        archivo("#4=IFCWALL('a');\n#18446744073709551620=IFCSLAB('b');\n#9223372036854775808=IFCSLAB('c');\n"));
    ASSERT_NE(tabla.buscar(4), nullptr);
    EXPECT_EQ(tabla.buscar(4)->tipo, "IFCWALL");
    EXPECT_EQ(tabla.entradas().size(), 3u);
    EXPECT_FALSE(tabla.entradas()[1].numeroValido);
    EXPECT_FALSE(tabla.entradas()[2].numeroValido);

    const struct {
        const char* texto;
        std::optional<std::int64_t> valor;
    } casos[] = {
        {"18446744073709551620", std::nullopt},
        {"18446744073709551616", std::nullopt},
        {"9223372036854775808", std::nullopt},
        {"9223372036854775807", 9223372036854775807LL},
        {"-9223372036854775808", -9223372036854775807LL - 1},
        {"-9223372036854775809", std::nullopt},
        {"92233720368547758070", std::nullopt},
        {"000000000000000000000000004", 4},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(leerEnteroSTEP(c.texto), c.valor) << c.texto;
        EXPECT_EQ(parsearReferenciaSTEP(std::string("#") + c.texto), c.valor) << c.texto;
    }
    EXPECT_EQ(parsearListaReferenciasSTEP("(#18446744073709551620,#5)"), (std::vector<std::int64_t>{5}));
}

TEST(StepReader, SplitsAttributesAtTopLevelCommas)
{
    struct Caso {
        const char* texto;
        std::vector<std::string> esperado;
    };
    const Caso casos[] = {
        {"'a, b',(#1,#2),IFCLABEL('x, y'),$", {"'a, b'", "(#1,#2)", "IFCLABEL('x, y')", "$"}},
        {" 'L''H, o' , ((1,2),(3,4)) ,.T.", {"'L''H, o'", "((1,2),(3,4))", ".T."}},
        {"a,,b", {"a", "", "b"}},
        {"a,b,", {"a", "b"}},
        {",", {""}},
        {"", {}},
        {"'sin cerrar, (", {"'sin cerrar, ("}},
        {"a),b", {"a),b"}},  // unbalanced: below depth 0 commas no longer split
    };
    for (const auto& caso : casos) {
        std::vector<std::string> obtenido;
        for (auto a : separarAtributosSTEP(caso.texto))
            obtenido.emplace_back(a);
        EXPECT_EQ(obtenido, caso.esperado) << caso.texto;
    }
}

TEST(StepReader, CleansStringAttributes)
{
    struct Caso {
        const char* atributo;
        std::string esperado;
    };
    const Caso casos[] = {
        {"$", ""},
        {"*", ""},
        {"'", ""},
        {"''", ""},
        {" 'Caf\\X2\\00E9\\X0\\' ", "Caf\u00e9"},
        {"'\\X\\E9'", "\u00e9"},
        {"'L''Hospitalet'", "L'Hospitalet"},
        {"'C:\\\\dir'", "C:\\dir"},
        {"'$'", "$"},
        {"'  espacios  '", "  espacios  "},
        {"sin comillas", "sin comillas"},
        {"'Ni\\S\\qo'", "Ni\u00f1o"},
    };
    for (const auto& caso : casos)
        EXPECT_EQ(limpiarCadenaSTEP(caso.atributo), caso.esperado) << caso.atributo;
}

TEST(StepReader, ReadsTypedAndEnumeratedValues)
{
    struct Caso {
        const char* atributo;
        std::string esperado;
    };
    const Caso casos[] = {
        {"IFCBOOLEAN(.T.)", ".T."},
        {".F.", "F"},
        {".", ""},
        {"$", ""},
        {"IFCREAL(-1.5E-3)", "-1.5E-3"},
        {"IFCLENGTHMEASURE(2.5)", "2.5"},
        {"IFCLABEL('Muro (ext.)')", "Muro (ext.)"},
        {"IFCLABEL('Hormig\\X2\\00F3\\X0\\n')", "Hormig\u00f3n"},
        {"IFCTEXT('it''s')", "it's"},
        {"IFCLABEL($)", ""},
        {"'Muro (ext.)'", "ext."},
        {"a)b(c", "a)b(c"},
    };
    for (const auto& caso : casos)
        EXPECT_EQ(valorNominalSTEP(caso.atributo), caso.esperado) << caso.atributo;
}

TEST(StepReader, ReadsReferencesAndListsOfReferences)
{
    EXPECT_EQ(parsearReferenciaSTEP(" #42 "), 42);
    EXPECT_EQ(parsearReferenciaSTEP("#"), std::nullopt);
    EXPECT_EQ(parsearReferenciaSTEP("$"), std::nullopt);
    EXPECT_EQ(parsearReferenciaSTEP("#12a"), std::nullopt);
    EXPECT_EQ(parsearReferenciaSTEP("#99999999999999999999999"), std::nullopt);
    EXPECT_EQ(parsearListaReferenciasSTEP("( #1 , #2 ,$,#x)"), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(parsearListaReferenciasSTEP("#7"), (std::vector<std::int64_t>{7}));
    EXPECT_EQ(parsearListaReferenciasSTEP("()"), (std::vector<std::int64_t>{}));
    EXPECT_EQ(parsearListaReferenciasSTEP("("), (std::vector<std::int64_t>{}));
    EXPECT_EQ(parsearListaReferenciasSTEP("(#1,#99999999999999999999,#3)"), (std::vector<std::int64_t>{1, 3}));
}

TEST(StepReader, BadInputGivesAnEmptyOrPartialTable)
{
    EXPECT_TRUE(TablaRegistrosSTEP::desdeTexto("").vacia());
    // Latin-1 bytes: not UTF-8, so nothing is read.
    EXPECT_TRUE(TablaRegistrosSTEP::desdeTexto(archivo("#1=IFCWALL('a',$,'Mur\xe9');\n")).vacia());
    (void)TablaRegistrosSTEP::desdeTexto(std::string("\0\0\0#1=IFCWALL();", 16));

    std::string binario;
    for (int i = 0; i < 100000; ++i)
        binario.push_back(static_cast<char>((i * 2654435761u) >> 24));
    (void)TablaRegistrosSTEP::desdeTexto(binario);
    std::string ascii;
    for (int i = 0; i < 100000; ++i)
        ascii.push_back(static_cast<char>(1 + ((i * 2654435761u) >> 25)));
    (void)TablaRegistrosSTEP::desdeTexto(ascii);

    // Truncated inside a string: the complete records before it stay.
    const auto truncado = TablaRegistrosSTEP::desdeTexto(std::string(kCabecera) + "#1=IFCWALL('a');\n#2=IFCSLAB('sin fin");
    EXPECT_NE(truncado.buscar(1), nullptr);
    EXPECT_EQ(truncado.buscar(2), nullptr);

    const auto comentarioAbierto = TablaRegistrosSTEP::desdeTexto("#1=IFCWALL('a');\n/* sin cierre #2=IFCSLAB('b');");
    EXPECT_NE(comentarioAbierto.buscar(1), nullptr);
    EXPECT_EQ(comentarioAbierto.buscar(2), nullptr);

    const auto parentesis = TablaRegistrosSTEP::desdeTexto("#1=IFCWALL((((('a',$,'b');\n#2=IFCSLAB('c'))))));\n");
    EXPECT_NE(parentesis.buscar(1), nullptr);
    EXPECT_NE(parentesis.buscar(2), nullptr);
}

TEST(StepReader, ReadsAHundredMegabyteLine)
{
    std::string texto = "#1=IFCLABEL('";
    texto.append(100u * 1024 * 1024, 'x');
    texto += "');#2=IFCLABEL('fin');";
    const auto tabla = TablaRegistrosSTEP::desdeTexto(std::move(texto));
    ASSERT_NE(tabla.buscar(1), nullptr);
    EXPECT_EQ(tabla.buscar(1)->argumentos.size(), 100u * 1024 * 1024 + 2);
    ASSERT_NE(tabla.buscar(2), nullptr);
}

TEST(StepReader, MissingFileGivesEmptyTable)
{
    EXPECT_TRUE(leerArchivoSTEP("/nonexistent/ninguno.ifc").vacia());
    EXPECT_TRUE(leerArchivoSTEP("/").vacia());
}

TEST(StepReader, TrimsUnicodeSpaceSeparatorsAndTabsOnly)
{
    EXPECT_EQ(recortarSTEP("\t \u00a0\u3000x y\u2003\u202f "), "x y");
    EXPECT_EQ(recortarSTEP("\nx\r"), "\nx\r");
    EXPECT_EQ(recortarSTEP("\u00e9"), "\u00e9");
}

}  // namespace
