#include "main_window/federacion/ClaveEspecialidad.h"

#include <gtest/gtest.h>

using quelva::claveNuevaEspecialidad;

TEST(ClaveEspecialidad, DerivesKeysFromTheTrimmedNameAndCountsUpWhenTaken)
{
    const QStringList porDefecto{"ARQ", "EST", "MEP", "TOP", "ARE", "EXI"};
    struct Caso {
        const char* nombre;
        QStringList enUso;
        const char* clave;
    };
    const Caso casos[] = {
        {"Sanitarias", porDefecto, "SAN"},
        {"Sanidad", porDefecto + QStringList{"SAN"}, "SAN1"},
        {"Sanos", porDefecto + QStringList{"SAN", "SAN1"}, "SAN2"},
        {"  mep ", porDefecto, "MEP1"},
        {"Arquitectura", porDefecto, "ARQ1"},
        {"x", porDefecto, "X"},
        {"\tÁrea\t", {}, "ÁRE"},
        {"   ", porDefecto, ""},
        {"", porDefecto, ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(claveNuevaEspecialidad(QString::fromUtf8(c.nombre), c.enUso), QString::fromUtf8(c.clave))
            << c.nombre;
}

TEST(ClaveEspecialidad, CountsCombiningAccentsAsOneCharacter)
{
    // "E" + combining acute, "s", "t", "e": the key keeps the accent whole.
    const QString nombre = QString::fromUtf8("E\xCC\x81ste");
    EXPECT_EQ(claveNuevaEspecialidad(nombre, {}), QString::fromUtf8("E\xCC\x81ST"));
}

TEST(ClaveEspecialidad, TrimsOnlySpacesAndTabs)
{
    EXPECT_EQ(quelva::nombreEspecialidadLimpio(QString::fromUtf8(" \t mep \t")), "mep");
    EXPECT_EQ(quelva::nombreEspecialidadLimpio("\nmep\n"), "\nmep\n");
}
