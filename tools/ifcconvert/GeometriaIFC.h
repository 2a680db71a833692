#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    // a coordinate lies beyond what the OBJ loader's 32-bit floats hold: the element cannot be written
    bool lejos = false;
};

// Segments of an IfcIndexedPolyCurve as the file writes them (1-based point indices), by the
// curve's instance number: IFC++ does not read that list.
struct SegmentoIndexado {
    bool arco = false;
    std::vector<int> indices;
};
using SegmentosIndexados = std::unordered_map<int, std::vector<SegmentoIndexado>>;

// How many references the file writes in each attribute of one record, in attribute order, into
// cuentas (reused from call to call); false when the project's reader has no such record.
using ReferenciasEnTexto = std::function<bool(int id, std::vector<int>& cuentas)>;

// A product left out before any geometry is built, and why (Spanish, for the error output).
struct ProductoOmitido {
    int id = 0;
    std::string motivo;
};

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

    // Finds the products whose geometry the kernel cannot build without crashing: a reference
    // cycle (a mapped item that maps itself, a boolean result that is its own operand) or a
    // reference that IFC++ could not resolve (a missing record, a record of the wrong type).
    // convertir leaves them out, and openings found here cut nothing. One pass over the
    // products' placement and representation graphs.
    std::vector<ProductoOmitido> revisar(const ReferenciasEnTexto& referencias);

    // Sets up the kernel and patches what IFC++ draws wrong; returns how many products have a
    // body to convert (numbered 0.. in entity-number order). Once, after revisar: workers forked
    // afterwards share the prepared model.
    std::size_t preparar(const SegmentosIndexados& segmentos);
    int idProducto(std::size_t indice) const;
    // The product's triangles in malla (emptied first); false when it gives none and is not lejos.
    // The mesh is the same whatever was converted before: the kernel works in memory that starts
    // over with each product (MemoriaKernel), so nothing it makes may outlive the call.
    bool convertirProducto(std::size_t indice, MallaElemento& malla);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quelva::ifcconvert
