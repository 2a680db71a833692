#pragma once

#include "federation/ifc/StepReader.h"

#include <cstdint>
#include <string>

namespace quelva::ifcconvert {

// Element names exactly as the property table keys them: the project's own reader and
// name rule (nombreElementoIFC), so a blank or unset Name gives the GlobalId.
class NombresElementos {
public:
    explicit NombresElementos(std::string textoArchivo);

    std::string nombre(std::int64_t numero) const;
    const TablaRegistrosSTEP& tabla() const { return tabla_; }

private:
    TablaRegistrosSTEP tabla_;
};

}  // namespace quelva::ifcconvert
