#include "timeline/HojasTimeLiner.h"

namespace quelva {

HojasTimeLiner& hojasTimeLiner()
{
    static HojasTimeLiner hojas;
    return hojas;
}

}  // namespace quelva
