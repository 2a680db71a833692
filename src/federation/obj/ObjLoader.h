#pragma once

#include "scene/Node.h"

#include <filesystem>
#include <string_view>

namespace quelva {

// Loads the converter's Wavefront OBJ output: one container node without a name
// holding one node per object or group, each with an unindexed triangle geometry
// and its own grey material. Null when the file cannot be read as UTF-8 text or
// holds no face.
scene::NodePtr cargarOBJ(const std::filesystem::path& ruta);
// The same from a text already in memory.
scene::NodePtr cargarOBJDesdeTexto(std::string_view texto);
// The same read in `hilos` stretches of lines on as many threads (large files use several).
scene::NodePtr cargarOBJDesdeTexto(std::string_view texto, unsigned hilos);

}  // namespace quelva
