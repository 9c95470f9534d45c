// "Movimiento suave" in a real browser: the aircraft glides between MueveAvion samples. Time is
// the page's own clock, replaced by one the test steps (frames are then drawn on request), except
// in the last test, which lets the browser run its frames.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "map/page_harness.h"
#include "map/view_statements.h"

namespace tolvex::test {
namespace {

constexpr double kMetresPerDegree = 6378137.0 * M_PI / 180.0;
constexpr double kSpeed = 51.4;  // 100 kt in m/s

struct Point {
  double lat, lng;
};

Point moved(Point p, double north_m, double east_m) {
  return {p.lat + north_m / kMetresPerDegree, p.lng + east_m / (kMetresPerDegree * std::cos(p.lat * M_PI / 180.0))};
}

double metres(Point a, Point b) {
  const double n = (b.lat - a.lat) * kMetresPerDegree;
  const double e = (b.lng - a.lng) * kMetresPerDegree * std::cos(a.lat * M_PI / 180.0);
  return std::hypot(n, e);
}

const Point kStart{40.0, -3.7};

class GlidePage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.load(map_page_html(kStart.lat, kStart.lng, 0, "", true)));
    ASSERT_EQ(h.eval("typeof planeo").toString(), "object");
    // Close in, so that half a pixel (the smallest move drawn) is a fraction of a metre.
    h.eval("map.setZoom(18); 1");
  }

  // From here on the page's clock reads what the test sets, in ms from now.
  void step_the_clock() {
    h.eval("window.base = performance.now() + 10000; window.reloj = base; "
           "planeo.now = function () { return window.reloj; }; 1");
  }
  void mueve(double ms, Point p, int hdg, bool follow = false) {
    h.eval(QStringLiteral("window.reloj = base + %1; 1").arg(ms));
    h.bridge().run_statement(QString::fromStdString(mueve_avion_statement(p.lat, p.lng, hdg, follow)));
  }
  void frame_at(double ms) { h.eval(QStringLiteral("window.reloj = base + %1; planeo.frame(); 1").arg(ms)); }
  Point point(const QString& expression) {
    const QVariantList v = h.eval(expression).toList();
    return v.size() == 2 ? Point{v[0].toDouble(), v[1].toDouble()} : Point{0, 0};
  }
  Point shown() { return point("[marcador.getPosition().lat(), marcador.getPosition().lng()]"); }
  Point centre() { return point("[map.getCenter().lat(), map.getCenter().lng()]"); }

  PageHarness h;
};

TEST_F(GlidePage, FliesOnAlongTheTrackForTwoSecondsThenSettlesOnTheLastSample) {
  step_the_clock();
  const Point p1 = moved(kStart, kSpeed, 0);
  const Point p2 = moved(kStart, 2 * kSpeed, 0);
  mueve(0, p1, 0);
  EXPECT_LT(metres(shown(), kStart), 0.5) << "a new sample is eased in, not jumped to";
  mueve(1000, p2, 0);
  // Metres north of p2 where the aircraft is shown at each time (p1 was reached at 250 ms and
  // held: one sample gives no speed).
  struct Case {
    double ms;
    double north_of_p2;
  };
  const Case cases[] = {
      {1000, -kSpeed},           // the new sample does not move it at once
      {1250, kSpeed * 0.25},     // reached within 250 ms, flying on at the samples' speed
      {2000, kSpeed},            // one second past the last sample
      {3000, 2 * kSpeed},        // two seconds: as far as it goes
      {3900, 2 * kSpeed},        // no extrapolation beyond 2 s
      {5000, 2 * kSpeed},        // samples stopped 4 s ago: it settles back within 250 ms
      {5250, 0},                 // where the last sample put it
      {9000, 0},
  };
  for (const Case& c : cases) {
    frame_at(c.ms);
    const Point s = shown();
    EXPECT_NEAR((s.lat - p2.lat) * kMetresPerDegree, c.north_of_p2, 0.5) << c.ms << " ms";
    EXPECT_NEAR(s.lng, p2.lng, 1e-8) << c.ms << " ms";
  }
  EXPECT_TRUE(h.wait_until("!planeo.running && planeo.timer === null && planeo.raf === null"))
      << "nothing moves: no frame is asked for";
}

// Samples at 1 Hz whose arrival wanders by up to 80 ms, as a poll timer makes it: drawn every
// 50 ms, the aircraft never steps further than it flies in 100 ms plus 5 m (once two samples
// have given its speed: until then it catches up with the second one).
TEST_F(GlidePage, JitteredSamplesGiveNoVisibleStep) {
  step_the_clock();
  const QVariant largest = h.eval(QStringLiteral(R"(
    (function () {
      var arrivals = [0, 1040, 1960, 3080, 4000, 4950, 6060, 7000];
      var k = %1, lat0 = %2, lng0 = %3, prev = null, largest = 0, next = 0;
      for (var t = 0; t <= 7500; t += 10) {
        reloj = base + t;
        if (next < arrivals.length && t >= arrivals[next]) {
          // The true position when the sample left: one second of flight per sample.
          MueveAvion(lat0 + next * %4 / k, lng0, 0, 0);
          next++;
        }
        planeo.frame();
        if (t % 50 === 0) {
          var p = marcador.getPosition();
          if (prev && t >= 2300) {
            largest = Math.max(largest, google.maps.geometry.spherical.computeDistanceBetween(prev, p));
          }
          prev = p;
        }
      }
      return largest;
    })())")
                                      .arg(kMetresPerDegree, 0, 'f', 6)
                                      .arg(kStart.lat, 0, 'f', 6)
                                      .arg(kStart.lng, 0, 'f', 6)
                                      .arg(kSpeed));
  ASSERT_TRUE(largest.isValid());
  EXPECT_GT(largest.toDouble(), kSpeed * 0.05 * 0.5) << "it moves between samples";
  EXPECT_LE(largest.toDouble(), kSpeed * 0.1 + 5.0);
}

TEST_F(GlidePage, TeleportsAndOlderSamplesAreShownAtOnce) {
  step_the_clock();
  struct Case {
    const char* name;
    double north_m, east_m;  // from the last sample, the aircraft flying north at 100 kt
    int hdg;
    bool at_once;
  };
  const Case cases[] = {
      {"more than 10 km away", 0, 11000, 180, true},
      {"less than 10 km away", 0, 9000, 180, false},
      {"behind on the track", -30, 0, 180, true},
      {"ahead on the track", 60, 0, 180, false},
  };
  Point last = kStart;
  double t = 0;
  for (const Case& c : cases) {
    // Two samples a second apart give the speed; the case's sample comes a second later.
    t += 10000;
    mueve(t, moved(last, kSpeed, 0), 0);
    mueve(t + 1000, moved(last, 2 * kSpeed, 0), 0);
    const Point from = moved(last, 2 * kSpeed, 0);
    const Point to = moved(from, c.north_m, c.east_m);
    mueve(t + 2000, to, c.hdg);
    const double off = metres(shown(), to);
    const int shown_hdg = h.eval("rumboMostrado").toInt();
    if (c.at_once) {
      EXPECT_LT(off, 0.01) << c.name;
      EXPECT_EQ(shown_hdg, c.hdg) << c.name;
    } else {
      EXPECT_GT(off, 1.0) << c.name;
      EXPECT_EQ(shown_hdg, 0) << c.name;
    }
    EXPECT_EQ(h.eval("heading").toInt(), c.hdg) << c.name << ": the sample's heading, as without the glide";
    last = to;
  }
}

TEST_F(GlidePage, HeadingTurnsTheShortWayRoundAndTheIconChangesBySector) {
  step_the_clock();
  struct Case {
    int from, to;
    int halfway;  // shown heading after 125 ms
    const char* icon;
  };
  const Case cases[] = {
      {350, 10, 0, "AvionN4NE.png"},
      {10, 350, 0, "AvionN4NW.png"},
      {80, 100, 90, "AvionE4SE.png"},
      {200, 100, 150, "AvionE4SE.png"},
      {100, 200, 150, "AvionSSW.png"},
  };
  double t = 0;
  for (const Case& c : cases) {
    t += 1000;
    mueve(t, kStart, c.from);
    frame_at(t + 300);
    ASSERT_EQ(h.eval("rumboMostrado").toInt(), c.from);
    mueve(t + 500, kStart, c.to);
    frame_at(t + 625);
    EXPECT_EQ(h.eval("rumboMostrado").toInt(), c.halfway) << c.from << " -> " << c.to;
    frame_at(t + 750);
    EXPECT_EQ(h.eval("rumboMostrado").toInt(), c.to) << c.from << " -> " << c.to;
    EXPECT_EQ(h.eval("marcador.getIcon().url").toString(), c.icon) << c.from << " -> " << c.to;
    t += 1000;
  }
}

TEST_F(GlidePage, FollowModePansWithTheAircraftOnEveryFrame) {
  step_the_clock();
  mueve(0, moved(kStart, kSpeed, 0), 0, true);
  mueve(1000, moved(kStart, 2 * kSpeed, 0), 0, true);
  std::vector<Point> centres;
  for (double ms : {1500.0, 1750.0}) {
    frame_at(ms);
    EXPECT_LT(metres(centre(), shown()), 1.5) << ms << " ms";
    centres.push_back(centre());
  }
  EXPECT_GT(metres(centres[0], centres[1]), 10.0) << "the map moved between samples";
  // Follow mode off: the map stays where it is.
  mueve(2000, moved(kStart, 3 * kSpeed, 0), 0, false);
  const Point still = centre();
  frame_at(2600);
  EXPECT_LT(metres(centre(), still), 0.01);
  EXPECT_GT(metres(shown(), still), 10.0);
}

TEST_F(GlidePage, TheBrowsersFramesMoveItAndStopWhenItIsStill) {
  const Point p1 = moved(kStart, kSpeed, 0);
  const Point p2 = moved(kStart, 2 * kSpeed, 0);
  h.bridge().run_statement(QString::fromStdString(mueve_avion_statement(p1.lat, p1.lng, 0, false)));
  pump_events(1000);
  h.bridge().run_statement(QString::fromStdString(mueve_avion_statement(p2.lat, p2.lng, 0, false)));
  pump_events(600);
  const double ahead = (shown().lat - p2.lat) * kMetresPerDegree;
  EXPECT_GT(ahead, 2.0) << "no frame moved the aircraft on";
  EXPECT_LE(ahead, 2 * kSpeed + 2.0) << "at most 2 s of flight past the sample";
  EXPECT_TRUE(h.wait_until("!planeo.running", 8000)) << "frames go on while nothing moves";
  EXPECT_LT(metres(shown(), p2), 0.01);

  // A hidden page draws no frames: the sample is shown at once.
  h.view().hide();
  ASSERT_TRUE(h.wait_until("document.hidden"));
  const Point p3 = moved(p2, 0, 500);
  h.bridge().run_statement(QString::fromStdString(mueve_avion_statement(p3.lat, p3.lng, 90, false)));
  EXPECT_LT(metres(shown(), p3), 0.01);
  EXPECT_EQ(h.eval("rumboMostrado").toInt(), 90);
  EXPECT_FALSE(h.eval("planeo.running").toBool());
}

}  // namespace
}  // namespace tolvex::test
