#include "simlink/xgps_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvex {
namespace {

using R = XgpsRejection;

// What a datagram should give: a position, an attitude (checked on its first and last values),
// or a rejection.
struct DatagramCase {
  std::string text;
  XgpsMessage expected;
};

TEST(XgpsDatagram, ParsesBothMessagesAndRejectsEverythingElse) {
  const std::string long_name(900, 'n');
  const std::vector<DatagramCase> cases = {
      {"XGPSMy Sim,-80.11,34.55,1200.1,359.05,55.6", XgpsFix{-80.11, 34.55, 1200.1, 359.05, 55.6}},
      {"XGPSFlightGear,-3.785,40.371,690.0,271.500,51.4\n", XgpsFix{-3.785, 40.371, 690, 271.5, 51.4}},
      {"  XGPS1 , -3.7 , 40.4 , 0 , 90 , 0 \r\n", XgpsFix{-3.7, 40.4, 0, 90, 0}},
      {"XGPS,1,2,3,4,5", XgpsFix{1, 2, 3, 4, 5}},                     // no name
      {"XGPS" + long_name + ",1,2,3,4,5", XgpsFix{1, 2, 3, 4, 5}},   // a long name still fits
      {"XGPSsim,+1,2e1,-3,4.,.5", XgpsFix{1, 20, -3, 4, 0.5}},
      {"XGPSsim,180,-90,-400,360,0", XgpsFix{180, -90, -400, 360, 0}},  // the limits themselves
      {"XGPSsim,1,2,3,-90,5", XgpsFix{1, 2, 3, 270, 5}},                // a negative track is a direction
      {"XATTMy Sim,180.2,0.1,0.2", XattAttitude{180.2, 0.1, 0.2}},
      {"XATT1,271.3,-2.5,-15.0,0.0,0.0,0.0,-0.1,9.8,0.0\n", XattAttitude{271.3, -2.5, -15}},
      {"XATT,-10,0,0", XattAttitude{350, 0, 0}},
      // Rejected.
      {"XTRAFFICMy Sim,168,33.85,-118.32,3749.9,-213.0,1,68.2,126.0,KS6", R::unknown_prefix},
      {"xgpsMy Sim,1,2,3,4,5", R::unknown_prefix},
      {"", R::unknown_prefix},
      {"GPSsim,1,2,3,4,5", R::unknown_prefix},
      {"XGPSsim,1,2,3,4", R::missing_words},
      {"XGPSsim", R::missing_words},
      {"XATTsim,1,2", R::missing_words},
      {"XGPSsim,1,2,3,4,", R::not_a_number},  // an empty word
      {"XGPSsim,1,2,3,4,5,extra", R::extra_words},
      {"XGPSsim,-3,7,40,4,690,0,271,5,51,4", R::extra_words},  // decimal commas
      {"XGPSsim,-3.7,40.4 N,0,90,0", R::not_a_number},
      {"XGPSsim,0x10,1,1,1,1", R::not_a_number},
      {"XGPSsim,nan,1,1,1,1", R::not_a_number},
      {"XGPSsim,1,1,1,1,inf", R::not_a_number},
      {"XATTsim,90,NaN,0", R::not_a_number},
      {"XGPSsim,1,1,1,1,1e999", R::not_a_number},
      {"XGPSsim,180.001,1,1,1,1", R::out_of_range},
      {"XGPSsim,1,-90.5,1,1,1", R::out_of_range},
      {"XGPSsim,1,1,1,361,1", R::out_of_range},
      {"XGPSsim,1,1,1,-361,1", R::out_of_range},
      {"XGPSsim,1,1,1,1,-0.5", R::out_of_range},
      {"XATTsim,400,0,0", R::out_of_range},
      {"XATTsim,10,91,0", R::out_of_range},
      {"XATTsim,10,0,-181", R::out_of_range},
      {"XGPS" + std::string(kXgpsMaxDatagramBytes, 'n') + ",1,2,3,4,5", R::too_long},
  };
  for (const DatagramCase& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    const XgpsMessage got = parse_xgps_datagram(c.text);
    ASSERT_EQ(got.index(), c.expected.index());
    if (const auto* want = std::get_if<XgpsFix>(&c.expected)) {
      const auto& fix = std::get<XgpsFix>(got);
      EXPECT_DOUBLE_EQ(fix.longitude, want->longitude);
      EXPECT_DOUBLE_EQ(fix.latitude, want->latitude);
      EXPECT_DOUBLE_EQ(fix.altitude_m, want->altitude_m);
      EXPECT_DOUBLE_EQ(fix.track_deg, want->track_deg);
      EXPECT_DOUBLE_EQ(fix.ground_speed_ms, want->ground_speed_ms);
    } else if (const auto* want_att = std::get_if<XattAttitude>(&c.expected)) {
      const auto& att = std::get<XattAttitude>(got);
      EXPECT_DOUBLE_EQ(att.heading_deg, want_att->heading_deg);
      EXPECT_DOUBLE_EQ(att.pitch_deg, want_att->pitch_deg);
      EXPECT_DOUBLE_EQ(att.roll_deg, want_att->roll_deg);
    } else {
      EXPECT_EQ(std::get<XgpsRejection>(got), std::get<XgpsRejection>(c.expected));
    }
  }
}

XgpsSample sample_at(const XgpsReceiver& r, std::int64_t now_ms) {
  auto got = r.newest(now_ms);
  if (auto* silence = std::get_if<XgpsSilence>(&got)) {
    ADD_FAILURE() << "silence at " << now_ms << ": " << silence_message(*silence, 49002);
    return {};
  }
  return std::get<XgpsSample>(got);
}

TEST(XgpsReceiver, NewestPositionWithTheHeadingOfAFreshAttitude) {
  XgpsReceiver r;
  r.receive("XGPSsim,-3.70912,40.47123,700,90.4,50", 1000);
  r.receive("XGPSsim,-3.700004,40.400005,700,100.5,50", 1500);  // the newest wins
  XgpsSample s = sample_at(r, 1500);
  EXPECT_DOUBLE_EQ(s.latitud, 40.40001);  // 0.00001 degree, halves away from zero
  EXPECT_DOUBLE_EQ(s.longitud, -3.7);
  EXPECT_EQ(s.heading, 101) << "the track, no attitude yet";
  EXPECT_FALSE(s.heading_from_attitude);

  r.receive("XATTsim,359.6,0,0", 2000);
  s = sample_at(r, 2000);
  EXPECT_EQ(s.heading, 360) << "just under 360 is kept as 360, as on the IOCP path";
  EXPECT_TRUE(s.heading_from_attitude);
  r.receive("XATTsim,45.2,0,0", 2100);
  EXPECT_EQ(sample_at(r, 4100).heading, 45) << "an attitude 2 s old still gives the heading";
  EXPECT_EQ(sample_at(r, 4101).heading, 101) << "older: back to the track";

  EXPECT_DOUBLE_EQ(sample_at(r, 4500).latitud, 40.40001) << "a position 3 s old still answers";
  const auto stale = r.newest(4501);
  ASSERT_TRUE(std::holds_alternative<XgpsSilence>(stale));
  EXPECT_EQ(std::get<XgpsSilence>(stale).fix_age_ms, 3001);

  // Bad datagrams change nothing but the counters.
  r.receive("XGPSsim,1,1,1,1", 4000);
  r.receive("XATTsim,bad,0,0", 4000);
  r.receive("hola", 4000);
  r.receive_oversized();
  EXPECT_DOUBLE_EQ(sample_at(r, 4000).latitud, 40.40001);
  EXPECT_EQ(sample_at(r, 4000).heading, 45);
  const XgpsCounters& c = r.counters();
  EXPECT_EQ(c.fixes, 2);
  EXPECT_EQ(c.attitudes, 2);
  EXPECT_EQ(c.total_ignored(), 4);
  EXPECT_EQ(ignored_summary(c),
            "Mensajes de red ignorados: 4 (prefijo desconocido 1, faltan datos 1, sobran datos 0, no numéricos 1, "
            "fuera de rango 0, demasiado largos 1, de otro emisor 0)");
}

TEST(XgpsReceiver, SilenceSaysWhatThePilotCanCheck) {
  XgpsReceiver r;
  r.receive("XATTsim,10,0,0", 0);  // an attitude alone is no position
  auto got = r.newest(0);
  ASSERT_TRUE(std::holds_alternative<XgpsSilence>(got));
  EXPECT_EQ(silence_message(std::get<XgpsSilence>(got), 49002),
            "No llegan posiciones del simulador (XGPS) al puerto UDP 49002. Compruebe que el simulador las envía "
            "a la dirección de este equipo.");

  r.receive("XGPSsim,1,2,3,4,5", 1000);
  r.receive("XGPSsim,1,2,3,4", 1200);
  r.receive("XGPSsim,1,2,3,4", 1300);
  got = r.newest(6999);
  ASSERT_TRUE(std::holds_alternative<XgpsSilence>(got));
  EXPECT_EQ(silence_message(std::get<XgpsSilence>(got), 5000),
            "No llegan posiciones del simulador (XGPS) al puerto UDP 5000 desde hace 5 s. Compruebe que el simulador "
            "sigue en marcha y enviándolas a este equipo. Se han recibido 2 mensajes no válidos.");

  r.clear();
  EXPECT_FALSE(r.has_fix());
  EXPECT_EQ(r.counters().total_ignored(), 0);
}

// Two simulators on one network: the first one that sends a valid message is followed until it
// has sent nothing valid for 3 s.
TEST(XgpsReceiver, FollowsOneSenderUntilItIsSilent) {
  struct Step {
    std::int64_t now_ms;
    const char* sender;
    const char* datagram;
    const char* followed;  // afterwards
    double latitud;
    std::int32_t heading;
  };
  const Step steps[] = {
      {0, "10.0.0.1:49001", "XGPSa,-3,40.1,0,90,0", "10.0.0.1:49001", 40.1, 90},
      {500, "10.0.0.2:49001", "XGPSb,-3,50,0,180,0", "10.0.0.1:49001", 40.1, 90},
      {1000, "10.0.0.2:49001", "XATTb,180,0,0", "10.0.0.1:49001", 40.1, 90},
      {1000, "10.0.0.1:49002", "XATTa,180,0,0", "10.0.0.1:49001", 40.1, 90},  // the port counts too
      {2000, "10.0.0.1:49001", "XGPSa,-3,40.1,0,45,0", "10.0.0.1:49001", 40.1, 45},
      {2500, "10.0.0.1:49001", "hola", "10.0.0.1:49001", 40.1, 45},  // no sign of a simulator
      {5000, "10.0.0.2:49001", "XGPSb,-3,50,0,180,0", "10.0.0.1:49001", 40.1, 45},  // 3 s: not yet
      {5001, "10.0.0.2:49001", "XGPSb,-3,50,0,270,0", "10.0.0.2:49001", 50, 270},
      {5100, "10.0.0.1:49001", "XGPSa,-3,40.1,0,90,0", "10.0.0.2:49001", 50, 270},
  };
  XgpsReceiver r;
  for (const Step& s : steps) {
    r.receive(s.datagram, s.now_ms, s.sender);
    ASSERT_TRUE(r.sender().has_value()) << s.now_ms;
    EXPECT_EQ(*r.sender(), s.followed) << s.now_ms;
    const XgpsSample got = sample_at(r, s.now_ms);
    EXPECT_DOUBLE_EQ(got.latitud, s.latitud) << s.now_ms;
    EXPECT_EQ(got.heading, s.heading) << s.now_ms;
  }
  EXPECT_EQ(r.counters().ignored[static_cast<std::size_t>(XgpsRejection::other_sender)], 5);
  EXPECT_EQ(r.counters().ignored[static_cast<std::size_t>(XgpsRejection::unknown_prefix)], 1);
  const auto silence = std::get<XgpsSilence>(r.newest(9000));
  EXPECT_EQ(silence.ignored_since_fix, 0) << "another simulator's messages are not invalid ones";
}

}  // namespace
}  // namespace tolvex
