#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace quelva::ifcconvert {

// Triangles of one element in world coordinates (metres, Z up); normals are per triangle.
struct MallaElemento {
    int id = 0;                     // the STEP instance number of the element
    std::vector<double> vertices;   // x y z per vertex
    std::vector<double> normales;   // x y z per triangle
    std::vector<uint32_t> triangulos;  // three vertex indices per triangle
};

// Segments of an IfcIndexedPolyCurve as the file writes them (1-based point indices), by the
// curve's instance number: IFC++ does not read that list.
struct SegmentoIndexado {
    bool arco = false;
    std::vector<int> indices;
};
using SegmentosIndexados = std::unordered_map<int, std::vector<SegmentoIndexado>>;

// Drives IFC++ and carve: reads the model once, then converts one product at a time so
// memory does not grow with the geometry already written.
class GeometriaIFC {
public:
    GeometriaIFC();
    ~GeometriaIFC();
    GeometriaIFC(const GeometriaIFC&) = delete;
    GeometriaIFC& operator=(const GeometriaIFC&) = delete;

    // Parses the whole file text; returns the number of entities read.
    std::size_t leer(std::string contenido);

    // Calls porElemento for every product with a body, in entity-number order.
    void convertir(const SegmentosIndexados& segmentos, const std::function<void(const MallaElemento&)>& porElemento);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quelva::ifcconvert
