#pragma once
// Distances, bearings and arcs on the sphere the maps use (radius 6378137 m), so that a circle
// drawn here has the radius the map measures.
#include <vector>

#include "overlays/openair_coordinates.h"

namespace tolvex {

inline constexpr double kRadioTierraM = 6378137.0;
inline constexpr double kMetrosPorMilla = 1852.0;
inline constexpr double kPasoArcoGrados = 5.0;  // arcs and circles: a vertex at least every 5 degrees

double distancia_m(PuntoGeo a, PuntoGeo b);
// Initial bearing from a to b, degrees in [0, 360).
double rumbo_grados(PuntoGeo a, PuntoGeo b);
// The point at that bearing and distance; longitude in [-180, 180].
PuntoGeo destino(PuntoGeo origen, double rumbo, double distancia);

// Appends the points of an arc around `centro`: from bearing `desde`, sweeping `barrido`
// degrees (positive clockwise, negative counter-clockwise), both ends included, vertices at
// most kPasoArcoGrados apart. `sin_extremos` leaves the two ends out.
void agregar_arco(std::vector<PuntoGeo>& out, PuntoGeo centro, double radio_m, double desde, double barrido,
                  bool sin_extremos = false);

}  // namespace tolvex
