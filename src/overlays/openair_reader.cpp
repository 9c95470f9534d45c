#include "overlays/openair_reader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "base/number_format.h"
#include "base/text_file.h"
#include "map/script_escape.h"
#include "overlays/sphere_geometry.h"

namespace tolvex {

namespace {

constexpr double kRadioMaximoNm = 1000.0;  // beyond this a circle is a typing error

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Record keyword (upper case, "V" for variables) and its value.
std::pair<std::string, std::string_view> split_record(std::string_view line) {
  if (!line.empty() && upper(line[0]) == 'V' && (line.size() == 1 || line[1] == ' ' || line[1] == '\t'))
    return {"V", trim(line.substr(1))};
  if (line.size() < 2) return {std::string(line), {}};
  return {std::string{upper(line[0]), upper(line[1])}, trim(line.substr(2))};
}

// A comment starts at '*': anywhere in a geometry value (';' too, as some files write), after a
// blank in a text value (names may hold a star).
std::string_view without_comment(std::string_view value, bool anywhere) {
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (anywhere && value[i] == ';') return trim(value.substr(0, i));
    if (value[i] == '*' && (anywhere || i == 0 || value[i - 1] == ' ' || value[i - 1] == '\t'))
      return trim(value.substr(0, i));
  }
  return value;
}

bool decimal_point(std::string_view value) {
  const std::size_t comma = value.find(',');
  return comma != std::string_view::npos && is_plain_number(value.substr(0, comma)) &&
         is_plain_number(value.substr(comma + 1));
}

// "p1, p2": the comma between the two points (a point may hold one of its own).
std::optional<std::pair<PuntoGeo, PuntoGeo>> two_points(std::string_view value) {
  for (std::size_t c = value.find(','); c != std::string_view::npos; c = value.find(',', c + 1)) {
    const auto a = leer_punto_openair(trim(value.substr(0, c)));
    if (!a) continue;
    if (const auto b = leer_punto_openair(trim(value.substr(c + 1)))) return std::pair{*a, *b};
  }
  return std::nullopt;
}

// "X=<point>", "D=+": the variable letter and what follows '='.
std::optional<std::pair<char, std::string_view>> variable(std::string_view value) {
  if (value.empty()) return std::nullopt;
  const std::string_view rest = trim(value.substr(1));
  if (rest.empty() || rest.front() != '=') return std::nullopt;
  return std::pair{upper(value.front()), trim(rest.substr(1))};
}

std::vector<std::string_view> fields(std::string_view value) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = value.find(',', start);
    out.push_back(trim(value.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
    if (comma == std::string_view::npos) return out;
    start = comma + 1;
  }
}

std::optional<double> radius_nm(std::string_view text) {
  const auto r = parse_decimal(text, '.');
  if (!r || !(*r > 0) || *r > kRadioMaximoNm) return std::nullopt;
  return r;
}

// "SP style,width,R,G,B" -> "#RRGGBB" and the width; nothing for the decimal dialect's
// "0,2,AZUL" form, which keeps its own rule.
void read_pen(TAirSpace& a, std::string_view value) {
  a.SP = std::string(value);
  const std::vector<std::string_view> f = fields(value);
  if (f.size() != 5) return;
  int n[5];
  for (int i = 0; i < 5; ++i) {
    const auto v = parse_int32(f[static_cast<std::size_t>(i)]);
    if (!v || *v < 0 || (i >= 2 && *v > 255)) return;
    n[i] = *v;
  }
  static const char kHex[] = "0123456789ABCDEF";
  std::string colour = "#";
  for (int i = 2; i < 5; ++i) {
    colour += kHex[n[i] >> 4];
    colour += kHex[n[i] & 15];
  }
  a.color_pluma = std::move(colour);
  a.grosor = std::clamp(n[1], 1, 10);
}

// One airspace as its records come.
class AirspaceBuilder {
 public:
  AirspaceBuilder(AirspaceCatalogue& out, InformeEspacios* informe) : out_(out), informe_(informe) {}

  void start(std::size_t line, std::string_view clase) {
    finish();
    open_ = true;
    rec_ = TAirSpace{};
    rec_.AC = std::string(clase);
    ac_line_ = line;
    failed_ = false;
    centro_.reset();
    horario_ = true;  // clockwise unless V D=- says otherwise
  }

  void record(std::size_t line, const std::string& key, std::string_view raw) {
    if (!open_ || failed_) return;
    const bool geometry = key == "DP" || key == "DA" || key == "DB" || key == "DC" || key == "V";
    const std::string_view value = without_comment(raw, geometry);
    if (key == "AN") rec_.AN = std::string(value);
    else if (key == "AL") set_limit(rec_.inferior, rec_.AL, value);
    else if (key == "AH") set_limit(rec_.superior, rec_.AH, value);
    else if (key == "AY") rec_.AY = std::string(value);
    else if (key == "AF") rec_.AF = std::string(value);
    else if (key == "AG") rec_.AG = std::string(value);
    else if (key == "SP") read_pen(rec_, value);
    else if (key == "SB") rec_.SB = std::string(value);
    else if (key == "DP") point(line, value);
    else if (key == "V") set_variable(line, value);
    else if (key == "DA") arc_by_angles(line, value);
    else if (key == "DB") arc_by_points(line, value);
    else if (key == "DC") circle(line, value);
    // DY (airway points) and every other record are not drawn.
  }

  void finish() {
    if (!open_) return;
    open_ = false;
    if (failed_) {
      skip(fail_line_, why_);
      return;
    }
    std::vector<PuntoGeo>& c = rec_.contorno;
    if (c.size() > 1 && c.back() == c.front()) c.pop_back();
    if (c.size() < 3) {
      skip(ac_line_, "no forma un contorno (menos de tres puntos y ningún arco o círculo)");
      return;
    }
    c.push_back(c.front());
    out_.push_back(std::move(rec_));
  }

 private:
  static void set_limit(LimiteVertical& limit, std::string& shown, std::string_view value) {
    limit = leer_limite(value);
    shown = limit.mostrado();
  }

  void fail(std::size_t line, std::string why) {
    failed_ = true;
    fail_line_ = line;
    why_ = std::move(why);
  }

  void skip(std::size_t line, const std::string& why) {
    if (!informe_) return;
    ++informe_->omitidos;
    if (informe_->avisos.size() < kMaxAvisos)
      informe_->avisos.push_back({line, "se omite el espacio aéreo \"" + rec_.AN + "\": " + why});
  }

  void add(PuntoGeo p) {
    if (rec_.contorno.empty() || !(rec_.contorno.back() == p)) rec_.contorno.push_back(p);
  }

  // Adds sampled points and remembers that they lie on the circle.
  void add_curve(const std::vector<PuntoGeo>& samples, PuntoGeo centro, double radio_m) {
    if (samples.empty()) return;
    const bool joins = !rec_.contorno.empty() && rec_.contorno.back() == samples.front();
    const std::size_t desde = joins ? rec_.contorno.size() - 1 : rec_.contorno.size();
    for (const PuntoGeo& p : samples) add(p);
    rec_.curvas.push_back({centro, radio_m, desde, rec_.contorno.size() - 1});
  }

  void point(std::size_t line, std::string_view value) {
    if (const auto p = leer_punto_openair(value)) add(*p);
    else fail(line, "punto no válido \"" + std::string(value.substr(0, 80)) + "\"");
  }

  void set_variable(std::size_t line, std::string_view value) {
    const auto v = variable(value);
    if (!v) return;  // not a variable we know: skipped like an unknown record
    if (v->first == 'X') {
      if (const auto p = leer_punto_openair(v->second)) centro_ = *p;
      else fail(line, "centro no válido \"" + std::string(v->second.substr(0, 80)) + "\"");
    } else if (v->first == 'D') {
      if (v->second == "+") horario_ = true;
      else if (v->second == "-") horario_ = false;
      else fail(line, "sentido de arco no válido \"" + std::string(v->second.substr(0, 20)) + "\"");
    }
  }

  bool need_centre(std::size_t line) {
    if (centro_) return true;
    fail(line, "arco o círculo sin centro (falta V X=)");
    return false;
  }

  void arc_by_angles(std::size_t line, std::string_view value) {
    const std::vector<std::string_view> f = fields(value);
    const auto r = f.size() == 3 ? radius_nm(f[0]) : std::nullopt;
    const auto from = f.size() == 3 ? parse_decimal(f[1], '.') : std::nullopt;
    const auto to = f.size() == 3 ? parse_decimal(f[2], '.') : std::nullopt;
    if (!r || !from || !to || std::abs(*from) > 1e6 || std::abs(*to) > 1e6) {
      fail(line, "arco DA no válido (radio, ángulo inicial, ángulo final)");
      return;
    }
    if (!need_centre(line)) return;
    double sweep = std::fmod(horario_ ? *to - *from : *from - *to, 360.0);
    if (sweep <= 0) sweep += 360.0;  // equal angles: the whole circle
    std::vector<PuntoGeo> samples;
    const double radio_m = *r * kMetrosPorMilla;
    agregar_arco(samples, *centro_, radio_m, *from, horario_ ? sweep : -sweep);
    add_curve(samples, *centro_, radio_m);
  }

  void arc_by_points(std::size_t line, std::string_view value) {
    const auto ends = two_points(value);
    if (!ends) {
      fail(line, "arco DB no válido \"" + std::string(value.substr(0, 80)) + "\"");
      return;
    }
    if (!need_centre(line)) return;
    const auto [p1, p2] = *ends;
    const double radio_m = distancia_m(*centro_, p1);
    const double b1 = rumbo_grados(*centro_, p1), b2 = rumbo_grados(*centro_, p2);
    double sweep = std::fmod(horario_ ? b2 - b1 : b1 - b2, 360.0);
    if (sweep < 0) sweep += 360.0;
    // From and to the exact end points; the second may lie off the first one's circle.
    std::vector<PuntoGeo> samples{p1};
    agregar_arco(samples, *centro_, radio_m, b1, horario_ ? sweep : -sweep, true);
    add_curve(samples, *centro_, radio_m);
    add(p2);
  }

  void circle(std::size_t line, std::string_view value) {
    const auto r = radius_nm(value);
    if (!r) {
      fail(line, "radio de círculo no válido \"" + std::string(value.substr(0, 40)) + "\"");
      return;
    }
    if (!need_centre(line)) return;
    std::vector<PuntoGeo> samples;
    const double radio_m = *r * kMetrosPorMilla;
    agregar_arco(samples, *centro_, radio_m, 0.0, 360.0);
    samples.pop_back();  // the end is the start again
    add_curve(samples, *centro_, radio_m);
  }

  AirspaceCatalogue& out_;
  InformeEspacios* informe_;
  TAirSpace rec_;
  bool open_ = false;
  bool failed_ = false;
  std::size_t ac_line_ = 0, fail_line_ = 0;
  std::string why_;
  std::optional<PuntoGeo> centro_;
  bool horario_ = true;
};

}  // namespace

bool is_standard_openair(std::string_view text) {
  bool dms = false, decimal = false;
  for_each_line(text, [&](std::string_view raw) {
    if (decimal) return;
    const auto [key, value] = split_record(trim(raw));
    if (key == "DP") {
      const std::string_view v = without_comment(value, true);
      if (decimal_point(v)) decimal = true;
      else if (!dms) dms = leer_punto_openair(v).has_value();
    } else if (dms) {
      return;
    } else if (key == "V") {
      const auto v = variable(without_comment(value, true));
      dms = v && v->first == 'X' && leer_punto_openair(v->second);
    } else if (key == "DB") {
      dms = two_points(without_comment(value, true)).has_value();
    }
  });
  return dms && !decimal;
}

AirspaceCatalogue parse_standard_openair(std::string_view text, InformeEspacios* informe) {
  AirspaceCatalogue catalogue;
  if (informe) informe->estandar = true;
  AirspaceBuilder builder(catalogue, informe);
  std::size_t number = 0;
  for_each_line(text, [&](std::string_view raw) {
    ++number;
    const std::string_view line = trim(raw);
    if (line.empty() || line.front() == '*') return;
    const auto [key, value] = split_record(line);
    if (key == "AC") builder.start(number, without_comment(value, false));
    else builder.record(number, key, value);
  });
  builder.finish();
  return catalogue;
}

}  // namespace tolvex
