#include "ProcesadoresLibres.h"

#include <gtest/gtest.h>

namespace {

using namespace quelva::ifcconvert;

TEST(ProcesadoresLibres, ReadsTheMachineLineAndCountsIdleProcessors)
{
    // user nice system idle iowait irq softirq steal guest guest_nice: guest time is in user already
    const auto antes = leerTiemposProcesador("cpu  100 0 50 800 50 0 0 0 40 0\ncpu0 1 2 3 4 5\n");
    ASSERT_TRUE(antes);
    EXPECT_EQ(antes->total, 1000u);
    EXPECT_EQ(antes->ocioso, 850u);
    const auto despues = leerTiemposProcesador("cpu  400 0 150 1150 100 0 0 0 0 0");
    ASSERT_TRUE(despues);
    // 400 of 800 ticks idle on 8 processors: 4 stood idle
    EXPECT_DOUBLE_EQ(procesadoresOciosos(*antes, *despues, 8), 4.0);
    EXPECT_EQ(procesadoresOciosos(*despues, *antes, 8), 0.0);  // a clock that went back says nothing
    EXPECT_EQ(procesadoresOciosos(*antes, *antes, 8), 0.0);

    for (const char* malo : {"", "cpu0 1 2 3 4 5", "cpu  1 2 x 4 5", "cpu  1 2 3"}) {
        SCOPED_TRACE(malo);
        EXPECT_FALSE(leerTiemposProcesador(malo));
    }
}

}  // namespace
