#include "overlays/sphere_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tolvex {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

double normal_longitude(double lon) {
  lon = std::fmod(lon + 180.0, 360.0);
  if (lon < 0) lon += 360.0;
  return lon - 180.0;
}

}  // namespace

double distancia_m(PuntoGeo a, PuntoGeo b) {
  const double dlat = (b.lat - a.lat) * kRad, dlon = (b.lon - a.lon) * kRad;
  const double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
                   std::cos(a.lat * kRad) * std::cos(b.lat * kRad) * std::sin(dlon / 2) * std::sin(dlon / 2);
  return 2 * kRadioTierraM * std::asin(std::min(1.0, std::sqrt(h)));
}

double rumbo_grados(PuntoGeo a, PuntoGeo b) {
  const double p1 = a.lat * kRad, p2 = b.lat * kRad, dlon = (b.lon - a.lon) * kRad;
  const double y = std::sin(dlon) * std::cos(p2);
  const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dlon);
  const double deg = std::atan2(y, x) / kRad;
  return deg < 0 ? deg + 360.0 : deg;
}

PuntoGeo destino(PuntoGeo origen, double rumbo, double distancia) {
  const double d = distancia / kRadioTierraM, t = rumbo * kRad;
  const double p1 = origen.lat * kRad, l1 = origen.lon * kRad;
  const double sin_p2 = std::clamp(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(t), -1.0, 1.0);
  const double p2 = std::asin(sin_p2);
  const double l2 = l1 + std::atan2(std::sin(t) * std::sin(d) * std::cos(p1), std::cos(d) - std::sin(p1) * sin_p2);
  return {p2 / kRad, normal_longitude(l2 / kRad)};
}

void agregar_arco(std::vector<PuntoGeo>& out, PuntoGeo centro, double radio_m, double desde, double barrido,
                  bool sin_extremos) {
  const int pasos = std::max(1, static_cast<int>(std::ceil(std::abs(barrido) / kPasoArcoGrados - 1e-9)));
  const int first = sin_extremos ? 1 : 0, last = sin_extremos ? pasos - 1 : pasos;
  for (int i = first; i <= last; ++i) out.push_back(destino(centro, desde + barrido * i / pasos, radio_m));
}

}  // namespace tolvex
