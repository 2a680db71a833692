#pragma once

// The plane cut of the linked models, the labels of the cut elements and the grid lines of a
// 2D drawing. Everything works in scene (world) coordinates: a model placed by its
// transformation is cut, labelled and hidden where it is shown.

#include "federation/EstadoFederacion.h"
#include "sections/Seccion2D.h"
#include "scene/Math.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace quelva::CorteSeccion {

// Drawing point of a 3D point: X gives (y, z), Y gives (x, z), Z gives (x, y).
Punto2D proyectar(int eje, const scene::Vec3f& p);

// Cut segment of one triangle by the plane value on the axis, or nothing.
std::optional<std::pair<Punto2D, Punto2D>> intersectarTriangulo(int eje, const scene::Vec3f& a,
                                                                const scene::Vec3f& b, const scene::Vec3f& c3,
                                                                float plano);

// The four outline segments of a box, in the drawing.
std::vector<Segmento2D> rectanguloProyeccion(int eje, const QString& key, const QColor& color,
                                             const scene::Box& caja);

// Cut lines of every element under the visible disciplines (visited in `orden`, then any key
// not in it), plus the outlines of elements behind the plane within `profundidad` metres
// (0: none, infinity: all).
std::vector<Segmento2D> cortarModelos(const TablaEspecialidades& especialidades, const QStringList& orden,
                                      int eje, double posicion, double profundidad);

// Labels of the elements whose box holds the plane, laid out in two columns, hidden.
std::vector<Etiqueta2D> generarEtiquetas(const TablaEspecialidades& especialidades, const QStringList& orden,
                                         int eje, const PropiedadesPorEspecialidad& propiedades,
                                         double posicion);

// Display name of an IFC class as the property table stores it ("IFCWALL" is "Muro").
QString nombreTipoIFC(const QString& claseIFC);

// The new labels with the visibility and text offset of the stored ones of the same element.
std::vector<Etiqueta2D> aplicarEtiquetasGuardadas(std::vector<Etiqueta2D> nuevas,
                                                  const std::vector<Etiqueta2D>& guardadas);

// One grey line per pair of consecutive points of each axis (world metres).
std::vector<Segmento2D> segmentosGrilla(const std::vector<EjeGrilla>& ejes, int eje);

// Smallest minimum and largest maximum along the axis of the element boxes of the visible
// disciplines; none when nothing is loaded.
std::optional<std::pair<float, float>> rangoModelos(const TablaEspecialidades& especialidades, int eje);

// Hides every element node (of every discipline) whose box lies wholly beyond the plane;
// with `activa` false shows them all. Container nodes keep their state.
void ocultarMasAllaDelCorte(const TablaEspecialidades& especialidades, bool activa, int eje, double posicion);

// "Plano 2D — Eje Z = 3.00 m" with the depth suffix of the mode (0 exact, 1 depth, 2 unlimited).
QString tituloPlano(int eje, double posicion, int modoProfundidad, double profundidad);

// The cut depth of a depth mode.
double profundidadDeModo(int modoProfundidad, double profundidad);

// Name of a new saved section: trimmed; blank gives "Sección n", a taken name gets " n", where
// n is the number of saved sections plus one.
QString nombreSeccionNueva(const std::vector<SeccionGuardada>& guardadas, const QString& nombre);

}  // namespace quelva::CorteSeccion
