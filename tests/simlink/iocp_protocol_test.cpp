#include "simlink/iocp_protocol.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tolvex {
namespace {

constexpr double kOldLat = -1.5, kOldLon = 2.5;
constexpr std::int32_t kOldHeading = 77;

struct ReplyCase {
  const char* name;
  std::string line;
  // Expected fields after the call (old values where the parse stopped first).
  double lat, lon;
  std::int32_t heading;
  // Empty: success; else a piece of the expected error text.
  std::string error;
};

void PrintTo(const ReplyCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class ReplyParse : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyParse, AssignsFieldsInOrderAndStopsAtTheFirstBadOne) {
  const ReplyCase& c = GetParam();
  double lat = kOldLat, lon = kOldLon;
  std::int32_t heading = kOldHeading;
  if (c.error.empty()) {
    parse_iocp_reply(c.line, lat, lon, heading);
  } else {
    try {
      parse_iocp_reply(c.line, lat, lon, heading);
      ADD_FAILURE() << "no error for " << c.line;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
    }
  }
  EXPECT_DOUBLE_EQ(lat, c.lat);
  EXPECT_DOUBLE_EQ(lon, c.lon);
  EXPECT_EQ(heading, c.heading);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplyParse,
    ::testing::Values(
        ReplyCase{"Example", "Arn.Resp:69=4047123:70=-370912:79=27049:", 40.47123, -3.70912, 270, ""},
        ReplyCase{"CrLfLeftByCaller", "Arn.Resp:69=4047123:70=-370912:79=27049:\r", 40.47123, -3.70912, 270, ""},
        ReplyCase{"JustUnder360Is360", "Arn.Resp:69=0:70=0:79=35960:", 0.0, 0.0, 360, ""},
        ReplyCase{"HalfRoundsUp", "69=1:70=1:79=27050:", 0.00001, 0.00001, 271, ""},
        ReplyCase{"UnderHalfRoundsDown", "69=1:70=1:79=27049:", 0.00001, 0.00001, 270, ""},
        ReplyCase{"NegativeHalfAwayFromZero", "69=1:70=1:79=-150:", 0.00001, 0.00001, -2, ""},
        ReplyCase{"SouthWestExtremes", "69=-9000000:70=-18000000:79=0:", -90.0, -180.0, 0, ""},
        ReplyCase{"Int32Limits", "69=2147483647:70=-2147483648:79=0:", 21474.83647, -21474.83648, 0, ""},
        ReplyCase{"TextBeforeAndBetweenSkipped", "Arn.Resp:12=5:69=4047123:x:70=-370912:y=1:79=9000:", 40.47123,
                  -3.70912, 90, ""},
        ReplyCase{"TrailingTextIgnored", "Arn.Resp:69=4047123:70=-370912:79=27049:80=1:hola", 40.47123, -3.70912,
                  270, ""},
        // 70 before 69: the search for 70 starts at 69, so 70 counts as missing.
        ReplyCase{"ReorderedVariables", "Arn.Resp:70=-370912:69=4047123:79=27049:", 40.47123, kOldLon, kOldHeading,
                  "variable 70"},
        ReplyCase{"HeadingBeforeLongitude", "Arn.Resp:69=4047123:79=27049:70=-370912:", 40.47123, -3.70912,
                  kOldHeading, "variable 79"},
        ReplyCase{"NoLatitude", "Arn.Resp:70=-370912:79=27049:", kOldLat, kOldLon, kOldHeading, "variable 69"},
        ReplyCase{"EmptyLine", "", kOldLat, kOldLon, kOldHeading, "variable 69"},
        ReplyCase{"MissingLongitude", "Arn.Resp:69=4047123:79=27049:", 40.47123, kOldLon, kOldHeading,
                  "Respuesta del IOCP Server sin el valor de la variable 70"},
        ReplyCase{"MissingHeading", "Arn.Resp:69=4047123:70=-370912:", 40.47123, -3.70912, kOldHeading,
                  "variable 79"},
        ReplyCase{"HeadingWithoutColon", "Arn.Resp:69=4047123:70=-370912:79=27049", 40.47123, -3.70912,
                  kOldHeading, "variable 79"},
        ReplyCase{"EmptyLatitude", "69=:70=1:79=1:", kOldLat, kOldLon, kOldHeading, "'' no es un valor entero"},
        ReplyCase{"NonNumericLongitude", "69=4047123:70=abc:79=27049:", 40.47123, kOldLon, kOldHeading,
                  "'abc' no es un valor entero válido"},
        ReplyCase{"DecimalHeading", "69=4047123:70=-370912:79=270.5:", 40.47123, -3.70912, kOldHeading,
                  "'270.5' no es"},
        ReplyCase{"PlusSignRejected", "69=+4047123:70=1:79=1:", kOldLat, kOldLon, kOldHeading, "'+4047123'"},
        ReplyCase{"BlankInsideValue", "69= 4047123:70=1:79=1:", kOldLat, kOldLon, kOldHeading, "' 4047123'"},
        ReplyCase{"LoneMinus", "69=4047123:70=-:79=1:", 40.47123, kOldLon, kOldHeading, "'-' no es"},
        ReplyCase{"AboveInt32", "69=4047123:70=2147483648:79=1:", 40.47123, kOldLon, kOldHeading,
                  "'2147483648' no es"},
        ReplyCase{"BelowInt32", "69=-2147483649:70=1:79=1:", kOldLat, kOldLon, kOldHeading, "'-2147483649'"},
        // A runaway value is quoted cut, not whole, in the message and the log.
        ReplyCase{"HugeValueQuotedCut", "69=" + std::string(60000, '9') + ":70=1:79=1:", kOldLat, kOldLon,
                  kOldHeading, "'" + std::string(200, '9') + "\xE2\x80\xA6' no es un valor entero v\xC3\xA1lido"}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

TEST(Heading, RoundsHundredthsHalfAwayFromZero) {
  const std::vector<std::pair<std::int32_t, std::int32_t>> cases = {
      {0, 0}, {49, 0}, {50, 1}, {35949, 359}, {35950, 360}, {35999, 360}, {-49, 0}, {-50, -1}, {-151, -2},
      {2147483647, 21474836}, {-2147483648, -21474836}};
  for (auto [in, out] : cases) EXPECT_EQ(heading_from_hundredths(in), out) << in;
}

TEST(KeepAlive, RecognisesOnlyTheKeepAliveLine) {
  EXPECT_TRUE(is_keepalive("Arn.Vivo:"));
  EXPECT_TRUE(is_keepalive("Arn.Vivo: \r"));
  EXPECT_FALSE(is_keepalive("Arn.Resp:69=1:70=1:79=1:"));
  EXPECT_FALSE(is_keepalive("Arn.Vivo"));
  EXPECT_FALSE(is_keepalive(""));
}

std::vector<std::string> drain(IocpLineFramer& f) {
  std::vector<std::string> out;
  while (auto line = f.next_line()) out.push_back(*line);
  return out;
}

TEST(Framer, JoinsPiecesAndSplitsBatches) {
  struct Case {
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
    std::size_t pending;
  };
  const std::vector<Case> cases = {
      {{"Arn.TipoSer:FSA:\r\n"}, {"Arn.TipoSer:FSA:"}, 0},
      {{"Arn.TipoSer:FSA:\n"}, {"Arn.TipoSer:FSA:"}, 0},
      {{"Arn.Re", "sp:69=1:", "70=2:79=3:\r\n"}, {"Arn.Resp:69=1:70=2:79=3:"}, 0},
      {{"a\r", "\nb\r\n"}, {"a", "b"}, 0},
      {{"a\r\nArn.Vivo:\r\nc"}, {"a", "Arn.Vivo:"}, 1},
      {{"\n\r\n"}, {"", ""}, 0},
      {{"x\ry\r\r\n"}, {"x\ry\r"}, 0},  // only the CR just before LF goes
      {{"no end yet"}, {}, 10},
  };
  for (const Case& c : cases) {
    IocpLineFramer f;
    for (const auto& chunk : c.chunks) f.feed(chunk);
    EXPECT_EQ(drain(f), c.lines);
    EXPECT_EQ(f.pending_bytes(), c.pending);
  }
}

TEST(Framer, RejectsAnOverlongLineWithoutBufferingIt) {
  IocpLineFramer f;
  const std::string block(1024, 'x');
  bool thrown = false;
  for (int i = 0; i < 200 && !thrown; ++i) {
    try {
      f.feed(block);
      EXPECT_LE(f.pending_bytes(), IocpLineFramer::kMaxLineBytes + 1);
    } catch (const std::runtime_error& e) {
      thrown = true;
      EXPECT_NE(std::string(e.what()).find("demasiado larga"), std::string::npos);
    }
  }
  EXPECT_TRUE(thrown);
  EXPECT_THROW(f.feed("\n"), std::runtime_error);  // stays failed
}

TEST(Framer, LongestAllowedLinePassesAndOneMoreFails) {
  const std::string longest(IocpLineFramer::kMaxLineBytes, 'x');
  IocpLineFramer ok;
  ok.feed(longest + "\r\n");
  EXPECT_EQ(ok.next_line(), longest);

  IocpLineFramer too_long;  // arriving whole in one chunk with its LF
  EXPECT_THROW(too_long.feed(longest + "x\n"), std::runtime_error);
}

}  // namespace
}  // namespace tolvex
