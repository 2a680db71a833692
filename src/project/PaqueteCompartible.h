#pragma once

// The shareable package: one zip archive with the project document as "proyecto.json" and a
// copy of every linked model's IFC file under "modelos/". Both directions run in the
// background on values copied on the main thread and touch no window state.

#include "project/ProyectoQUELVA.h"

#include "federation/EstadoFederacion.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

namespace quelva {

// Failures of the package code that are its own carry the domain "QUELVA" and a code from 1
// to 3; code 0 is a failure of something else (a missing source, the decoder), whose reason
// is shown as it is.
struct ErrorPaquete {
    static constexpr const char* dominio = "QUELVA";
    enum Codigo { otro = 0, comprimir = 1, abrir = 2, sinProyecto = 3 };
    int codigo = otro;
    QString descripcion;

    bool operator==(const ErrorPaquete&) const = default;
};

inline QString extensionPaquete() { return QStringLiteral("quelvapkg"); }

// The chosen file with ".quelvapkg" appended unless its extension, in any case, already is
// that: "obra" → "obra.quelvapkg", "obra.QUELVAPKG" stays, "obra.v2" → "obra.v2.quelvapkg".
QString rutaConExtensionPaquete(const QString& elegida);

// The copy's name for a source file, not yet in `usados` (which it joins): the file's own
// name, else stem + "_" + n + "." + extension for the first free n ("planta_1.ifc"; a name
// without extension gives "planta_1.").
QString nombreEnPaquete(const QString& rutaOrigen, QSet<QString>& usados);

// A model the scene does not hold (still converting after an open, or not converted): the
// places its file may be, in order. Found, it is copied like any other; not found, it is left
// out of the package and named.
struct ModeloPendientePaquete {
    std::size_t especialidad = 0;  // index in the document's "especialidades"
    std::size_t modelo = 0;        // index in that discipline's "modelos"
    QStringList rutas;
};

// The pending models of a document made from `especialidades`: where the open found each
// file, then its saved path.
std::vector<ModeloPendientePaquete> modelosPendientesPaquete(const ProyectoQUELVA& documento,
                                                             const TablaEspecialidades& especialidades);

// A model the package carries no copy of although it had a file.
struct ModeloOmitido {
    QString especialidad;  // discipline key
    QString nombre;
    QString ruta;  // the saved path that was not found

    bool operator==(const ModeloOmitido&) const = default;
};

struct CopiaModelo {
    QString entrada;  // "modelos/planta.ifc"
    QString origen;
};

struct CopiasPaquete {
    std::vector<CopiaModelo> copias;  // in document order
    std::vector<ModeloOmitido> omitidos;
};

// Gives every model with a file its copy's place ("modelos/<name>", names shared by all
// disciplines). A pending model is looked for at its places; found, it is copied from there
// (its "rutaAbsoluta" becomes that file, as once converted); not found, it keeps its saved path,
// loses any "rutaRelativa" and is omitted. Models without source lose any "rutaRelativa".
CopiasPaquete asignarCopias(ProyectoQUELVA& documento, const std::vector<ModeloPendientePaquete>& pendientes = {});

struct PaqueteExportado {
    std::vector<ModeloOmitido> omitidos;

    bool operator==(const PaqueteExportado&) const = default;
};

// Writes the package at `destino` (already with its extension): every source is checked
// first, then the archive is written beside the destination and renamed over it only when
// whole, so an earlier package survives any failure. A placed model whose source is gone fails
// the export; a pending one is left out and reported.
std::variant<PaqueteExportado, ErrorPaquete> exportarPaquete(const QString& destino, ProyectoQUELVA documento,
                                                             const std::vector<ModeloPendientePaquete>& pendientes = {});

// The alert after an export that left models out: one line per model.
QString textoModelosOmitidos(const QString& archivo, const std::vector<ModeloOmitido>& omitidos);

// Where opened packages are kept: the user's data folder + "/paquetes". The restored models
// and the next save point into it, so it must outlive the run.
QString carpetaPaquetes();

struct PaqueteAbierto {
    ProyectoQUELVA proyecto;  // models with a packaged copy point at it
    QString carpeta;          // the extraction folder, the restore's base folder
    QString nombre;           // the package's file name without extension
};

// Extracts the package safely into a new folder under `carpetaDestino`
// ("<name>-<UUID>"), reads and decodes its root "proyecto.json". Every model with a copy in
// the package gets that copy as its path, so a file the receiver happens to have at the
// sender's path is not taken instead; a "rutaRelativa" that leaves the folder is dropped.
// On failure nothing is left behind.
std::variant<PaqueteAbierto, ErrorPaquete> importarPaquete(const QString& paquete,
                                                          const QString& carpetaDestino = carpetaPaquetes());

}  // namespace quelva
