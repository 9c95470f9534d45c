// The network GPS link's datagrams and the newest-sample store. Any datagram is either taken
// or counted as ignored, once; a position taken has a finite latitude within 90, longitude
// within 180 and a track in 0..360, an attitude a heading in 0..360; an ignored datagram leaves
// the sample as it was. A position or attitude written with the program's number form from
// doubles of the input reads back to what those texts say, which is within 15 digits of the
// doubles. For any series of datagrams and times, a poll gives the last position's latitude
// and longitude, the last attitude's heading while it is at most 2 s old (else the track), and
// fails when the last position is more than 3 s old or there is none.
//
// Input: parts separated by lines "%%"; each part is one byte of time passing (its value
// modulo 32, times 125 ms: '@' 0, 'A' 125 ms, 'P' 2 s, 'X' 3 s) and a datagram. The first 40
// bytes of the input are also read as five doubles for the written messages.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "base/number_format.h"
#include "fuzz_support.h"
#include "simlink/xgps_protocol.h"

namespace {

using namespace tolvex;

bool within(double v, double limit) { return std::isfinite(v) && v >= -limit && v <= limit; }
double as_direction(double degrees) { return degrees < 0 ? degrees + 360 : degrees; }

void check_message(const XgpsMessage& m) {
  if (const auto* fix = std::get_if<XgpsFix>(&m)) {
    FUZZ_CHECK(within(fix->latitude, 90) && within(fix->longitude, 180));
    FUZZ_CHECK(within(fix->track_deg, 360) && fix->track_deg >= 0);
    FUZZ_CHECK(std::isfinite(fix->altitude_m) && std::isfinite(fix->ground_speed_ms) && fix->ground_speed_ms >= 0);
  } else if (const auto* att = std::get_if<XattAttitude>(&m)) {
    FUZZ_CHECK(within(att->heading_deg, 360) && att->heading_deg >= 0);
    FUZZ_CHECK(within(att->pitch_deg, 90) && within(att->roll_deg, 180));
  }
}

// Doubles written as the program writes numbers, and what those texts say to another reader.
struct Written {
  std::string datagram;
  double said[5] = {};
  int count = 0;
};

Written write(std::string_view prefix, std::initializer_list<double> values) {
  Written w;
  w.datagram = std::string(prefix) + "Sim";
  for (double v : values) {
    const std::string word = format_general(v, '.');
    w.datagram += "," + word;
    w.said[w.count] = std::strtod(word.c_str(), nullptr);
    // Read wider for the check: fifteen digits of the largest doubles round beyond a double's range.
    if (std::isfinite(v)) FUZZ_CHECK(std::fabs(std::strtold(word.c_str(), nullptr) - v) <= std::fabs(v) * 1e-14L);
    ++w.count;
  }
  return w;
}

void check_written(const double v[5]) {
  const Written gps = write("XGPS", {v[0], v[1], v[2], v[3], v[4]});
  const double* s = gps.said;
  const auto fix = parse_xgps_datagram(gps.datagram);
  const bool fix_valid = within(s[0], 180) && within(s[1], 90) && std::isfinite(s[2]) && within(s[3], 360) &&
                         std::isfinite(s[4]) && s[4] >= 0;
  FUZZ_CHECK(std::holds_alternative<XgpsFix>(fix) == fix_valid);
  if (const auto* f = std::get_if<XgpsFix>(&fix)) {
    FUZZ_CHECK(f->longitude == s[0] && f->latitude == s[1] && f->altitude_m == s[2]);
    FUZZ_CHECK(f->track_deg == as_direction(s[3]) && f->ground_speed_ms == s[4]);
  }
  const Written att = write("XATT", {v[3], v[1], v[0]});
  const double* a = att.said;
  const auto attitude = parse_xgps_datagram(att.datagram);
  FUZZ_CHECK(std::holds_alternative<XattAttitude>(attitude) == (within(a[0], 360) && within(a[1], 90) && within(a[2], 180)));
  if (const auto* t = std::get_if<XattAttitude>(&attitude))
    FUZZ_CHECK(t->heading_deg == as_direction(a[0]) && t->pitch_deg == a[1] && t->roll_deg == a[2]);
}

// What the store must give, kept from the messages as parsed.
struct Model {
  std::optional<XgpsFix> fix;
  std::int64_t fix_at = 0;
  std::optional<XattAttitude> attitude;
  std::int64_t attitude_at = 0;
  std::int64_t ignored_since_fix = 0;
};

void check_poll(const XgpsReceiver& receiver, const Model& model, std::int64_t now) {
  const auto newest = receiver.newest(now);
  if (!model.fix || now - model.fix_at > 3000) {
    const auto* silence = std::get_if<XgpsSilence>(&newest);
    FUZZ_CHECK(silence);
    FUZZ_CHECK(silence->fix_age_ms == (model.fix ? std::optional(now - model.fix_at) : std::nullopt));
    FUZZ_CHECK(silence->ignored_since_fix == model.ignored_since_fix);
    return;
  }
  const auto* sample = std::get_if<XgpsSample>(&newest);
  FUZZ_CHECK(sample);
  FUZZ_CHECK(std::fabs(sample->latitud - model.fix->latitude) <= 0.5e-5 + 1e-12);
  FUZZ_CHECK(std::fabs(sample->longitud - model.fix->longitude) <= 0.5e-5 + 1e-12);
  const bool from_attitude = model.attitude && now - model.attitude_at <= 2000;
  FUZZ_CHECK(sample->heading_from_attitude == from_attitude);
  const double heading = from_attitude ? model.attitude->heading_deg : model.fix->track_deg;
  // Whole degrees as the IOCP path gives them: hundredths first, so 359.4999 may give 360.
  FUZZ_CHECK(sample->heading >= 0 && sample->heading <= 360 && std::fabs(sample->heading - heading) <= 0.505 + 1e-9);
}

bool same(const std::variant<XgpsSample, XgpsSilence>& a, const std::variant<XgpsSample, XgpsSilence>& b) {
  if (a.index() != b.index()) return false;
  if (const auto* x = std::get_if<XgpsSample>(&a)) {
    const auto& y = std::get<XgpsSample>(b);
    return x->latitud == y.latitud && x->longitud == y.longitud && x->heading == y.heading &&
           x->heading_from_attitude == y.heading_from_attitude;
  }
  return std::get<XgpsSilence>(a).fix_age_ms == std::get<XgpsSilence>(b).fix_age_ms;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 5 * sizeof(double)) {
    double v[5];
    std::memcpy(v, data, sizeof v);
    check_written(v);
  }

  XgpsReceiver receiver;
  Model model;
  std::int64_t now = 1'000'000;
  for (std::string_view part : tolvex::fuzz::split_parts(tolvex::fuzz::as_text(data, size))) {
    if (part.empty()) continue;
    now += (static_cast<unsigned char>(part.front()) % 32) * 125;
    const std::string_view datagram = part.substr(1);
    check_poll(receiver, model, now);

    const XgpsMessage message = parse_xgps_datagram(datagram);
    check_message(message);
    const auto before = receiver.newest(now);
    const XgpsCounters counted = receiver.counters();
    receiver.receive(datagram, now);
    const XgpsCounters& c = receiver.counters();
    const bool fix = c.fixes == counted.fixes + 1, attitude = c.attitudes == counted.attitudes + 1;
    const bool ignored = c.total_ignored() == counted.total_ignored() + 1;
    FUZZ_CHECK(fix + attitude + ignored == 1);
    FUZZ_CHECK(c.fixes + c.attitudes + c.total_ignored() == counted.fixes + counted.attitudes + counted.total_ignored() + 1);
    if (const auto* f = std::get_if<XgpsFix>(&message)) {
      FUZZ_CHECK(fix);
      model.fix = *f;
      model.fix_at = now;
      model.ignored_since_fix = 0;
    } else if (const auto* a = std::get_if<XattAttitude>(&message)) {
      FUZZ_CHECK(attitude);
      model.attitude = *a;
      model.attitude_at = now;
    } else {
      const auto reason = static_cast<std::size_t>(std::get<XgpsRejection>(message));
      FUZZ_CHECK(ignored && c.ignored[reason] == counted.ignored[reason] + 1);
      FUZZ_CHECK(same(before, receiver.newest(now)));
      ++model.ignored_since_fix;
    }
    check_poll(receiver, model, now);
  }
  return 0;
}
