// Spherical geometry, coordinates and bounds of our map provider, and the polyline distance
// helpers, checked against values known independently of the code.
#include "map/shim_fixture.h"

namespace tolvex::test {
namespace {

constexpr double kDegreeAtEquator = 111319.49079327357;  // 6378137 m * pi / 180

struct Leg {
  const char* name;
  double lat1, lng1, lat2, lng2;
  double distance_m;
  double heading;
};

TEST_F(ShimTest, SphericalDistanceAndHeadingMatchGooglesSphere) {
  const Leg legs[] = {
      {"east along the equator", 0, 0, 0, 1, kDegreeAtEquator, 90},
      {"west along the equator", 0, 1, 0, 0, kDegreeAtEquator, -90},
      {"north along a meridian", 0, 0, 1, 0, kDegreeAtEquator, 0},
      {"south is -180, not 180", 1, 0, 0, 0, kDegreeAtEquator, -180},
      {"half the world", 0, 0, 0, 180, kDegreeAtEquator * 180, 90},
      {"across the antimeridian", 0, 179.5, 0, -179.5, kDegreeAtEquator, 90},
      {"same point", 40.4, -3.7, 40.4, -3.7, 0, 0},
  };
  for (const Leg& leg : legs) {
    SCOPED_TRACE(leg.name);
    const QString a = QStringLiteral("new google.maps.LatLng(%1,%2)").arg(leg.lat1, 0, 'g', 17).arg(leg.lng1, 0, 'g', 17);
    const QString b = QStringLiteral("new google.maps.LatLng(%1,%2)").arg(leg.lat2, 0, 'g', 17).arg(leg.lng2, 0, 'g', 17);
    EXPECT_NEAR(number("google.maps.geometry.spherical.computeDistanceBetween(" + a + "," + b + ")"),
                leg.distance_m, 0.005);
    EXPECT_NEAR(number("google.maps.geometry.spherical.computeHeading(" + a + "," + b + ")"), leg.heading, 1e-9);
  }
}

TEST_F(ShimTest, SphericalOffsetInterpolateAndLengthAgree) {
  // One degree east of the origin, then back along the reverse heading.
  expect_true(R"JS(
    var s = google.maps.geometry.spherical, o = new google.maps.LatLng(0, 0);
    var p = s.computeOffset(o, 111319.49079327357, 90);
    if (Math.abs(p.lat()) > 1e-9 || Math.abs(p.lng() - 1) > 1e-9) return 'offset ' + p;
    var madrid = new google.maps.LatLng(40.4168, -3.7038), bcn = new google.maps.LatLng(41.3874, 2.1686);
    var q = s.computeOffset(madrid, s.computeDistanceBetween(madrid, bcn), s.computeHeading(madrid, bcn));
    if (!q.equals(bcn) && (Math.abs(q.lat() - bcn.lat()) > 1e-7 || Math.abs(q.lng() - bcn.lng()) > 1e-7)) return 'round trip ' + q;
    var origin = s.computeOffsetOrigin(bcn, s.computeDistanceBetween(madrid, bcn), s.computeHeading(madrid, bcn));
    if (Math.abs(origin.lat() - madrid.lat()) > 1e-7 || Math.abs(origin.lng() - madrid.lng()) > 1e-7) return 'origin ' + origin;
    var mid = s.interpolate(new google.maps.LatLng(0, 0), new google.maps.LatLng(0, 10), 0.5);
    if (Math.abs(mid.lat()) > 1e-9 || Math.abs(mid.lng() - 5) > 1e-9) return 'interpolate ' + mid;
    var len = s.computeLength([new google.maps.LatLng(0, 0), new google.maps.LatLng(0, 1), new google.maps.LatLng(1, 1)]);
    var arr = new google.maps.MVCArray([new google.maps.LatLng(0, 0), new google.maps.LatLng(0, 1)]);
    if (Math.abs(len - 2 * 111319.49079327357) > 0.01) return 'length ' + len;
    if (Math.abs(s.computeLength(arr) - 111319.49079327357) > 0.01) return 'length of MVCArray';
    // A one-degree square at the equator: about (111.3 km)^2.
    var sq = [new google.maps.LatLng(0, 0), new google.maps.LatLng(0, 1), new google.maps.LatLng(1, 1), new google.maps.LatLng(1, 0)];
    var area = s.computeArea(sq);
    if (Math.abs(area / (111319.49 * 111319.49) - 1) > 0.01) return 'area ' + area;
    return true;
  )JS");
}

TEST_F(ShimTest, LatLngWrapsAndComparesLikeGoogle) {
  struct Case { const char* expr; const char* expected; } cases[] = {
      {"new google.maps.LatLng(95, 10).toString()", "(90, 10)"},
      {"new google.maps.LatLng(-95, 10).lat()", "-90"},
      {"new google.maps.LatLng(0, 190).lng()", "-170"},
      {"new google.maps.LatLng(0, -190).lng()", "170"},
      {"new google.maps.LatLng(0, 180).lng()", "180"},
      {"new google.maps.LatLng(0, 190, true).lng()", "190"},
      {"new google.maps.LatLng({lat: 1, lng: 2}).toString()", "(1, 2)"},
      {"new google.maps.LatLng(1.23456789, 2).toUrlValue()", "1.234568,2"},
      {"new google.maps.LatLng(1, 2).equals(new google.maps.LatLng(1, 2.0000000001))", "true"},
      {"new google.maps.LatLng(1, 2).equals(new google.maps.LatLng(1, 2.001))", "false"},
      {"new google.maps.Point(3, 4).toString()", "(3, 4)"},
      {"new google.maps.Size(20, 32).equals(new google.maps.Size(20, 32))", "true"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text(QStringLiteral("String(") + c.expr + QStringLiteral(")")), c.expected) << c.expr;
  }
}

TEST_F(ShimTest, BoundsExtendContainUnionAndCrossTheAntimeridian) {
  expect_true(R"JS(
    var LL = google.maps.LatLng, b = new google.maps.LatLngBounds();
    if (!b.isEmpty()) return 'new bounds not empty';
    if (b.contains(new LL(0, 0))) return 'empty bounds contain';
    b.extend(new LL(40, -4)); b.extend(new LL(41, -3)); b.extend(new LL(40.5, -3.5));
    if (b.isEmpty()) return 'empty after extend';
    if (!b.contains(new LL(40.5, -3.2)) || b.contains(new LL(42, -3.5)) || b.contains(new LL(40.5, -2.9))) return 'contains';
    var c = b.getCenter();
    if (Math.abs(c.lat() - 40.5) > 1e-12 || Math.abs(c.lng() + 3.5) > 1e-12) return 'center ' + c;
    if (b.getNorthEast().toString() !== '(41, -3)' || b.getSouthWest().toString() !== '(40, -4)') return 'corners ' + b;
    var u = new google.maps.LatLngBounds(new LL(30, 10), new LL(31, 11));
    b.union(u);
    if (!b.contains(new LL(30.5, 10.5)) || !b.contains(new LL(40.5, -3.5))) return 'union';
    // The short way round: 170 E to 170 W spans 20 degrees across 180.
    var x = new google.maps.LatLngBounds();
    x.extend(new LL(0, 170)); x.extend(new LL(1, -170));
    if (!x.contains(new LL(0.5, 180)) || !x.contains(new LL(0.5, -175)) || x.contains(new LL(0.5, 0))) return 'antimeridian contains';
    if (Math.abs(Math.abs(x.getCenter().lng()) - 180) > 1e-9) return 'antimeridian center ' + x.getCenter();
    if (Math.abs(x.toSpan().lng() - 20) > 1e-9) return 'span ' + x.toSpan();
    return true;
  )JS");
}

TEST_F(ShimTest, PolylinePointsAtDistanceStopBeforeTheEnd) {
  expect_true(R"JS(
    var LL = google.maps.LatLng;
    var line = new google.maps.Polyline({path: [new LL(0, 0), new LL(0, 1), new LL(0, 3)]});
    var total = line.Distance(), deg = 111319.49079327357;
    if (Math.abs(total - 3 * deg) > 0.01) return 'Distance ' + total;
    // k = 3 along a 3-degree line: two points, at 1 and 2 degrees; the end is not one of them.
    var pts = line.GetPointsAtDistance(total / 3);
    if (pts.length !== 2) return 'count k=3: ' + pts.length;
    if (Math.abs(pts[0].lng() - 1) > 1e-9 || Math.abs(pts[1].lng() - 2) > 1e-9) return 'points ' + pts;
    if (line.GetPointsAtDistance(total).length !== 0) return 'k=1 gives points';
    if (line.GetPointsAtDistance(0).length !== 0 || line.GetPointsAtDistance(-5).length !== 0) return 'non-positive step';
    if (line.GetPointsAtDistance(total / 7).length !== 6) return 'k=7';
    var mid = line.GetPointAtDistance(1.5 * deg);
    if (Math.abs(mid.lng() - 1.5) > 1e-9) return 'GetPointAtDistance ' + mid;
    if (line.GetPointAtDistance(4 * deg) !== null) return 'beyond the end';
    if (line.GetIndexAtDistance(0.5 * deg) !== 1 || line.GetIndexAtDistance(1.5 * deg) !== 2) return 'GetIndexAtDistance';
    var b = line.Bounds();
    if (!b.contains(new LL(0, 2)) || b.getNorthEast().lng() !== 3) return 'Bounds';
    if (Math.abs(line.Bearing(0, 1) - 90) > 1e-9) return 'Bearing';
    var single = new google.maps.Polyline({path: [new LL(0, 0)]});
    if (single.GetPointsAtDistance(0).length !== 0 || single.Distance() !== 0) return 'single point';
    return true;
  )JS");
}

}  // namespace
}  // namespace tolvex::test
