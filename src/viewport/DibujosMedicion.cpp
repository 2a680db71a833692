#include "viewport/DibujosMedicion.h"

namespace quelva {

scene::NodePtr crearMarcadorPunto(const scene::Vec3&, const std::string&) { return scene::Node::make(); }
scene::NodePtr crearNodoDistancia(const scene::Vec3&, const scene::Vec3&) { return scene::Node::make(); }
scene::NodePtr crearNodoAngulo(const scene::Vec3&, const scene::Vec3&, const scene::Vec3&) { return scene::Node::make(); }
scene::NodePtr crearNodoCoordenadas(const scene::Vec3&) { return scene::Node::make(); }
scene::NodePtr crearNodoArea(const std::vector<scene::Vec3>&) { return scene::Node::make(); }
scene::NodePtr nodoMedicion(const scene::Vec3&, const scene::Vec3&, float) { return scene::Node::make(); }
bool imagenEtiquetaAngulo(QPainter&, const QRectF&, float) { return true; }
bool imagenEtiquetaCoordenadas(QPainter&, const QRectF&, double, double, double) { return true; }
double distanciaMedicion(const scene::Vec3&, const scene::Vec3&) { return 0; }
float anguloMedicion(const scene::Vec3&, const scene::Vec3&, const scene::Vec3&) { return 0; }
double areaMedicion(const std::vector<scene::Vec3>&) { return 0; }
std::string textoDistancia(double) { return {}; }
std::string textoAngulo(float) { return {}; }
std::string textoArea(double) { return {}; }
std::string textoCoordenada(char, double) { return {}; }

}  // namespace quelva
