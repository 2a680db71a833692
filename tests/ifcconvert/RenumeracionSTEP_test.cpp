#include "RenumeracionSTEP.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using quelva::ifcconvert::renumerarSTEP;

const std::string kCabecera =
    "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('#9','',(''),(''),'','','');\n"
    "FILE_SCHEMA(('IFC4'));\nENDSEC;\n";
const std::string kFin = "ENDSEC;\nEND-ISO-10303-21;\n";

std::optional<std::string> renumerar(const std::string& texto)
{
    return renumerarSTEP(texto, texto.find("DATA;"));
}

TEST(RenumeracionSTEP, RenumbersOnlyRecordsItReadsAndASecondPassChangesNothing)
{
    struct Caso {
        const char* nombre;
        std::string datos;        // between DATA; and ENDSEC;
        std::string tras;         // after the section's ENDSEC;
        std::optional<std::string> esperado;  // DATA section after one pass; nullopt: left as it is
    };
    const Caso casos[] = {
        {"ordinary numbers", "#1=IFCA(#2);\n#2=IFCB($);\n", "", std::nullopt},
        {"a lone # after the section", "#1=IFCA(#2);\n#2=IFCB($);\n", "#", std::nullopt},
        {"a lone # after a section that is renumbered", "#3000000000=IFCA(#3000000001);\n#3000000001=IFCB($);\n",
         "#", "#1=IFCA(#2);\n#2=IFCB($);\n"},
        {"numbers after the section", "#1=IFCA($);\n", "#0=IFCX(#-4);\n/* #9999999999 */", std::nullopt},
        {"a statement starting with # but without =", "#1=IFCA($);\n#5 IFCB(#-3);\n", "", std::nullopt},
        {"the same beside a record that is renumbered", "#0=IFCA($);\n#5 IFCB(#-3);\n", "",
         "#1=IFCA($);\n#5 IFCB(#-3);\n"},
        {"zero, negative and missing references", "#0=IFCA(#7,#-2,#0);\n#4=IFCB(#0);\n", "",
         "#1=IFCA(#3,#3,#1);\n#2=IFCB(#1);\n"},
        {"spaces around the number and strings", "# 3000000000 = IFCA('#1;=',#3000000000);\n", "",
         "#1= IFCA('#1;=',#1);\n"},
        {"a record whose number is no integer is left out", "#1x=IFCA($);\n#2=IFCB(#2);\n", "", "#1=IFCB(#1);\n"},
        {"a # without digits is no reference", "#2147483648=IFCA(#,'a');\n", "", "#1=IFCA(#,'a');\n"},
        {"an ENDSEC inside a string", "#0=IFCA('ENDSEC;');\n", "", "#1=IFCA('ENDSEC;');\n"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const std::string texto = kCabecera + "DATA;\n" + caso.datos + kFin + caso.tras;
        const std::optional<std::string> una = renumerar(texto);
        if (!caso.esperado) {
            EXPECT_FALSE(una) << *una;
            continue;
        }
        ASSERT_TRUE(una);
        EXPECT_EQ(*una, kCabecera + "DATA;\n" + *caso.esperado + kFin + caso.tras);
        const std::optional<std::string> otra = renumerar(*una);
        EXPECT_FALSE(otra) << *otra;
    }
}

}  // namespace
