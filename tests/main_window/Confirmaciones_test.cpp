#include "main_window/dialogos/Confirmaciones.h"

#include <gtest/gtest.h>

using namespace quelva;

TEST(Confirmaciones, MessagesQuoteTheirSubjectWithStraightQuotes)
{
    EXPECT_EQ(mensajeEliminarModelo("Muros.ifc"),
              QString::fromUtf8("¿Eliminar \"Muros.ifc\" de la escena? Esta acción no se puede deshacer."));
    EXPECT_EQ(mensajeLimpiarTRELM(), QString::fromUtf8("Se eliminará el resultado de la comparación TRELM activa. "
                                                       "Los modelos base y nuevo permanecerán vinculados."));
    EXPECT_EQ(mensajeEliminarComentario(), QString::fromUtf8("Esta acción no se puede deshacer."));

    const struct {
        const char* slot;
        const char* etiqueta;
    } casos[] = {{"BASE", "Base"}, {"NUEVO", "Nueva"}, {"otro", "Nueva"}};
    for (const auto& c : casos)
        EXPECT_EQ(mensajeCargarSlot(c.slot),
                  QString::fromUtf8("Cargar un nuevo archivo en el slot \"") + c.etiqueta +
                      QString::fromUtf8("\" borrará el resultado de comparación TRELM actual. ¿Deseas continuar?"));
}

TEST(Confirmaciones, SectionAndAnalysisMessagesNeedAMatchingRecord)
{
    SeccionGuardada corte;
    corte.nombre = "Corte A";
    SeccionGuardada otro;
    otro.nombre = "Corte B";
    const std::vector<SeccionGuardada> secciones{corte, otro};
    EXPECT_EQ(mensajeEliminarSeccion(secciones, otro.id),
              QString::fromUtf8("¿Eliminar la sección \"Corte B\"? Esta acción no se puede deshacer."));
    EXPECT_FALSE(mensajeEliminarSeccion(secciones, QUuid::createUuid()));

    std::vector<AnalisisInterferencias> historial(2);
    historial[1].nombre = "ARQ vs EST";
    EXPECT_EQ(mensajeEliminarAnalisis(historial, 1),
              QString::fromUtf8("¿Eliminar \"ARQ vs EST\"? Esta acción no se puede deshacer."));
    for (std::int64_t fuera : {-1, 2, 99})
        EXPECT_FALSE(mensajeEliminarAnalisis(historial, fuera)) << fuera;
}
