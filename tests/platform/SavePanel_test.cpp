#include "platform/SavePanel.h"

#include <gtest/gtest.h>

TEST(SavePanel, NamesGetTheirExtensionOnce)
{
    struct Caso {
        const char* nombre;
        const char* extension;
        const char* esperado;
    };
    const Caso casos[] = {
        {"plano", "dxf", "plano.dxf"},
        {"Plano_2D_—_Eje_Z_=_1.00_m", "dxf", "Plano_2D_—_Eje_Z_=_1.00_m.dxf"},  // a dot in the name
        {"Plano_2D_—_Eje_Z_=_1.00_m", "pdf", "Plano_2D_—_Eje_Z_=_1.00_m.pdf"},
        {"plano.dxf", "dxf", "plano.dxf"},
        {"PLANO.DXF", "dxf", "PLANO.DXF"},
        {"plano.dxf", "pdf", "plano.dxf.pdf"},  // another kind of file's name
        {"plano.pdfx", "pdf", "plano.pdfx.pdf"},
        {"/tmp/obra.v2/plano", "dxf", "/tmp/obra.v2/plano.dxf"},  // a dot in a folder only
        {"/tmp/obra.v2/plano.dxf", "dxf", "/tmp/obra.v2/plano.dxf"},
        {"Obra 1.2", "quelva", "Obra 1.2.quelva"},
        {"", "pdf", ""},
        {"/tmp/", "pdf", "/tmp/"},
        {"plano", "", "plano"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(platform::withExtension(QString::fromUtf8(c.nombre), QString::fromUtf8(c.extension)),
                  QString::fromUtf8(c.esperado))
            << c.nombre << " + " << c.extension;
}
