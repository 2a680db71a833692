#pragma once

namespace quelva::ifcconvert {

// A crash inside the geometry kernel must not leave half an output file behind: on a fatal
// signal the partial file named here is removed and one line goes to standard error, then the
// signal takes its usual course, so the caller still sees the converter die by it.
void instalarSalidaPorSenal();
// In a worker process: no partial file of its own, and no line (the parent reports the crash).
void silenciarSalidaPorSenal();
// The partial file to remove; nullptr when there is none.
void fijarArchivoParcial(const char* ruta);

}  // namespace quelva::ifcconvert
