#pragma once
// The flight plan's inputs from the route page: the legs the page computes and one terrain
// elevation per sample point, asked point by point. The page and the pauses are the window's;
// this is the sequence of statements, reads and waits.
#include <string>
#include <string_view>

namespace tolvex {

// What the computation needs of the route editor: its page and its pause.
class FlightPlanPage {
 public:
  virtual ~FlightPlanPage() = default;
  // Runs one statement in the page, as a batch of its own.
  virtual void run(const std::string& statement) = 0;
  // A field of the page's form f1 ("PuntosRuta", "Longitud", "Listo").
  virtual std::string read(const std::string& field) = 0;
  // Pauses for at most `ms`, keeping the window alive; may end early once the page's answer has
  // come. False: the computation is to stop (the window is closing).
  virtual bool esperar(int ms) = 0;
  // "Calculando altura: punto n de N" is shown; false: the computation is to stop.
  virtual bool progreso(int n, int total) = 0;
};

inline constexpr int kPausaMs = 200;
inline constexpr int kMaxPausas = 99;  // per point: about 20 s
// The elevation item of a point the service refused or never answered: no terrain there, which
// is not the same as terrain at 0 m.
inline constexpr std::string_view kSinAltura = "?|";

enum class FlightPlanError { ninguno, sin_ruta, sin_longitud, cancelado };

struct FlightPlanOutcome {
  FlightPlanError error = FlightPlanError::ninguno;
  std::string longitud;  // the legs: "distance|heading" LF per leg
  std::string alturas;   // per sample point the elevation in metres and '|', or kSinAltura
};

// multiplicador 1..10 ("x1".."x10"): with 1 the samples are the route's vertices; with m >= 2
// also the points AddPT gives for k = vertices * m - 3.
FlightPlanOutcome calcular_plan_vuelo(FlightPlanPage& page, int multiplicador);

// The pilot's message for an error ("" for none and for a stopped computation).
std::string_view flight_plan_message(FlightPlanError error);

}  // namespace tolvex
