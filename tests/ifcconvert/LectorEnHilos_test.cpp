#include "LectorEnHilos.h"

#include <ifcpp/model/BuildingModel.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

using quelva::ifcconvert::LectorEnHilos;

// A model of a few megabytes, so that it is read in parts: properties whose strings hold what looks
// like a record's end and the next record's start (";" and a line with "#") in each of the
// reader's string forms, lines ended in CR LF in places, references to records in other parts
// and a number written twice.
std::string modeloEnPartes()
{
    const char* cadenas[] = {"a;\n#5=IFCWALL(", "b\\'c;\n#6=X(", "c\\\\", "d''e;\n#7=Y(", "",
                             "\\X2\\00E9\\X0\\;\n#8=(", "x\\X\\41;\r\n#9=Z(", "f'';\n#1=W("};
    std::ostringstream t;
    t << "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('','',(''),(''),'','','');\n"
         "FILE_SCHEMA(('IFC4'));\nENDSEC;\nDATA;\n";
    const int registros = 130000;
    for (int i = 1; i <= registros; ++i) {
        const char* fin = i % 5 == 0 ? "\r\n" : "\n";
        if (i % 3 == 0)
            t << '#' << i << "=IFCPOLYLINE((#" << (registros - i + 1) << ",#" << (i % 7 + 1) << "));" << fin;
        else if (i % 3 == 1)
            t << '#' << i << "=IFCCARTESIANPOINT((" << i << ".5," << -i << ".,0.));" << fin;
        else
            t << '#' << i << "=IFCPROPERTYSINGLEVALUE('" << cadenas[i % 8] << "',$,IFCLABEL('" << cadenas[(i + 1) % 8]
              << "'),$);" << fin;
    }
    t << "#3=IFCCARTESIANPOINT((9.,9.,9.));\nENDSEC;\nEND-ISO-10303-21;\n";
    return t.str();
}

std::map<int, std::string> leer(ReaderSTEP& lector, std::string texto)
{
    auto modelo = std::make_shared<BuildingModel>();
    lector.loadModelFromString(texto, modelo);
    std::map<int, std::string> lineas;
    for (const auto& [id, entidad] : modelo->getMapIfcEntities()) {
        std::stringstream linea;
        entidad->getStepLine(linea);
        lineas[id] = linea.str();
    }
    return lineas;
}

TEST(LectorEnHilos, ReadsTheModelTheReaderReadsAlone)
{
    const std::string texto = modeloEnPartes();
    ASSERT_GT(texto.size(), std::size_t{4} << 20);  // four parts of a megabyte or more
    ReaderSTEP solo;
    const auto esperado = leer(solo, texto);
    ASSERT_GT(esperado.size(), std::size_t{120000});
    for (const int hilos : {2, 4}) {
        LectorEnHilos enHilos(hilos);
        EXPECT_EQ(leer(enHilos, texto), esperado) << hilos << " threads";
    }
}

}  // namespace
