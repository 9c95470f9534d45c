// simfeed's flight and replies: the demo must look like a real aircraft, and its replies must
// be what the client parses.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

#include "feed_protocol.h"
#include "flight_model.h"
#include "simlink/iocp_protocol.h"
#include "simlink/xgps_protocol.h"

namespace simfeed {
namespace {

double distance_m(double lat1, double lon1, double lat2, double lon2) {
  const double k = 3.14159265358979323846 / 180;
  const double east = (lon2 - lon1) * k * std::cos(lat1 * k) * 6378137;
  const double north = (lat2 - lat1) * k * 6378137;
  return std::hypot(east, north);
}

double heading_change(double from, double to) {
  double d = std::fmod(to - from + 540, 360) - 180;
  return std::abs(d);
}

TEST(FlightModel, FliesTheMadridCircuitLikeAnAeroplane) {
  const auto circuit = FlightModel::madrid_circuit();
  FlightModel model(circuit);
  AircraftState previous = model.state();
  std::set<std::size_t> targets_seen;
  double lap_s = 0;
  double max_turn = 0;
  for (int t = 1; t <= 15 * 60; ++t) {
    model.advance_to(t);
    const AircraftState& s = model.state();
    const double moved = distance_m(previous.lat, previous.lon, s.lat, s.lon);
    EXPECT_NEAR(moved, 100 * 1852.0 / 3600, 1.0) << "t=" << t;  // 100 kt, a bit less in turns
    const double turn = heading_change(previous.heading_deg, s.heading_deg);
    EXPECT_LE(turn, 3.0 + 1e-9) << "t=" << t;
    max_turn = std::max(max_turn, turn);
    EXPECT_GE(s.heading_deg, 0);
    EXPECT_LT(s.heading_deg, 360);
    EXPECT_LT(distance_m(circuit[0].lat, circuit[0].lon, s.lat, s.lon), 8000) << "t=" << t;
    targets_seen.insert(model.target_index());
    if (lap_s == 0 && targets_seen.size() == circuit.size() && model.target_index() == 1) lap_s = t;
    previous = s;
  }
  EXPECT_EQ(targets_seen.size(), circuit.size());
  EXPECT_GT(lap_s, 180);  // a few minutes per lap
  EXPECT_LT(lap_s, 9 * 60);
  EXPECT_GT(max_turn, 2.5);  // it does turn at standard rate
}

TEST(FlightModel, TimeOnlyMovesForward) {
  FlightModel model({{40, -3}, {40.1, -3}});
  EXPECT_NEAR(model.state().heading_deg, 0, 1e-9);  // due north to the second point
  model.advance_to(10);
  const AircraftState at10 = model.state();
  EXPECT_GT(at10.lat, 40);
  model.advance_to(5);
  EXPECT_EQ(model.state().lat, at10.lat);
  EXPECT_THROW(FlightModel({{40, -3}}), std::runtime_error);
}

TEST(RouteFile, ReadsPointsAfterTheHeader) {
  const auto points = parse_route_file(
      "# comentario\r\n120|12,5\r\n-3.7853, 40.3706\n\n  \n#-1, 1\n-3.80, 40.38\r\n-3.75, 40.36\r\n");
  ASSERT_EQ(points.size(), 3u);
  EXPECT_DOUBLE_EQ(points[0].lon, -3.7853);
  EXPECT_DOUBLE_EQ(points[0].lat, 40.3706);
  EXPECT_DOUBLE_EQ(points[2].lat, 40.36);
}

TEST(RouteFile, RejectsWhatCannotBeFlown) {
  const std::pair<const char*, const char*> cases[] = {
      {"120|12,5\n-3.7, 40.3\n-3.7 40.3\n", "Línea 3"},
      {"120|12,5\n-3.7, abc\n-3.7, 40.3\n", "Línea 2"},
      {"120|12,5\n-3.7, 95\n-3.7, 40.3\n", "Línea 2"},
      {"120|12,5\n-3.7, 40.3\n", "dos puntos"},
      {"", "dos puntos"},
  };
  for (const auto& [text, error] : cases) {
    try {
      parse_route_file(text);
      ADD_FAILURE() << text;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(error), std::string::npos) << e.what();
    }
  }
}

TEST(FeedReply, AnswersTheKnownVariablesInTheOrderAsked) {
  const IocpVariables v{4047123, -370912, 27049};
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"Arn.Preg:69:70:79:", "Arn.Resp:69=4047123:70=-370912:79=27049:"},
      {"Arn.Preg:79:69:", "Arn.Resp:79=27049:69=4047123:"},
      {"Arn.Preg:1:69:500:70:x:79", "Arn.Resp:69=4047123:70=-370912:79=27049:"},
      {"Arn.Preg:", "Arn.Resp:"},
      {"Arn.Vivo:", std::nullopt},
      {"arn.preg:69:", std::nullopt},
  };
  for (const auto& [request, reply] : cases) EXPECT_EQ(build_reply(request, v), reply) << request;
}

TEST(FeedReply, ClientReadsBackWhatTheModelFlies) {
  const AircraftState states[] = {{40.470004, -3.709116, 359.996}, {-33.86, 151.21, 0.004}, {0, 0, 270.5}};
  const std::int32_t headings[] = {360, 0, 271};
  for (int i = 0; i < 3; ++i) {
    const auto reply = build_reply(tolvex::kIocpRequest, to_iocp_variables(states[i]));
    ASSERT_TRUE(reply);
    double lat = 99, lon = 99;
    std::int32_t heading = -1;
    tolvex::parse_iocp_reply(*reply, lat, lon, heading);
    EXPECT_NEAR(lat, states[i].lat, 0.5e-5);
    EXPECT_NEAR(lon, states[i].lon, 0.5e-5);
    // The wire carries 0..35999 hundredths, so 359.996 goes out as 0.
    EXPECT_EQ(heading, i == 0 ? 0 : headings[i]) << *reply;
  }
  double lat = 0, lon = 0;
  std::int32_t heading = 0;
  EXPECT_THROW(tolvex::parse_iocp_reply(garbage_reply({1, 2, 3}), lat, lon, heading), std::runtime_error);
}

TEST(FeedDatagrams, TheNetworkLinkReadsBackWhatTheModelFlies) {
  AircraftState turning{40.370600, -3.785300, 279.45, 3.0};  // standard-rate turn to the right
  const auto fix = tolvex::parse_xgps_datagram(xgps_datagram(turning, 51.4));
  ASSERT_TRUE(std::holds_alternative<tolvex::XgpsFix>(fix));
  EXPECT_NEAR(std::get<tolvex::XgpsFix>(fix).latitude, turning.lat, 1e-6);
  EXPECT_NEAR(std::get<tolvex::XgpsFix>(fix).longitude, turning.lon, 1e-6);
  EXPECT_DOUBLE_EQ(std::get<tolvex::XgpsFix>(fix).track_deg, 279.45);
  EXPECT_DOUBLE_EQ(std::get<tolvex::XgpsFix>(fix).ground_speed_ms, 51.4);
  const auto attitude = tolvex::parse_xgps_datagram(xatt_datagram(turning, 51.4));
  ASSERT_TRUE(std::holds_alternative<tolvex::XattAttitude>(attitude));
  EXPECT_DOUBLE_EQ(std::get<tolvex::XattAttitude>(attitude).heading_deg, 279.45);
  EXPECT_NEAR(std::get<tolvex::XattAttitude>(attitude).roll_deg, 15.3, 0.2) << "right wing down in a right turn";
  turning.turn_rate_deg_s = 0;
  EXPECT_EQ(xatt_datagram(turning, 51.4), "XATTsimfeed,279.45,0.0,0.0");
}

}  // namespace
}  // namespace simfeed
