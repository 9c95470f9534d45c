// Elevation and geocoding through the configured keyless services: a local fake answers, and a
// closed port stands for being offline.
#include "map/shim_fixture.h"
#include "support/fake_map_services.h"

namespace tolvex::test {
namespace {

class ShimServicesTest : public ShimTest {
 protected:
  ShimServices services() const override {
    ShimServices s;
    s.elevation = fake_.elevation_template();
    s.geocoder = fake_.geocoder_template();
    return s;
  }
  mutable FakeMapServices fake_;
};

TEST_F(ShimServicesTest, ElevationAnswersInRequestOrderAndInBatches) {
  page->run(R"JS(
    window.answers = [];
    var svc = new google.maps.ElevationService();
    svc.getElevationForLocations({locations: [new google.maps.LatLng(40.4, -3.7)]}, function (r, st) {
      answers.push(st + ':' + r.length + ':' + (r[0] && r[0].elevation) + ':' + (r[0] && r[0].location.toUrlValue()));
    });
    var many = [];
    for (var i = 0; i < 150; i++) many.push(new google.maps.LatLng(40 + i * 0.001, -3.7));
    svc.getElevationForLocations({locations: many}, function (r, st) {
      answers.push(st + ':' + r.length + ':' + r[0].elevation + ':' + r[99].elevation + ':' + r[100].elevation + ':' + r[149].location.lat().toFixed(3));
    });
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("answers.length === 2"));
  EXPECT_EQ(text("answers[0]"), "OK:1:100:40.4,-3.7");
  // 150 points go out as 100 + 50, and come back in order.
  EXPECT_EQ(text("answers[1]"), "OK:150:100:199:100:40.149");
  ASSERT_EQ(fake_.requests.size(), 3);
  EXPECT_EQ(fake_.requests[0].toStdString(), "/elevation?latitude=40.4&longitude=-3.7");
}

TEST_F(ShimServicesTest, GeocoderFindsAnAddressOrSaysZeroResults) {
  page->run(R"JS(
    window.found = [];
    var g = new google.maps.Geocoder();
    g.geocode({address: 'Madrid, España', partialmatch: true}, function (r, st) {
      found.push(st + ':' + r.length + ':' + (r[0] && r[0].geometry.location.toUrlValue()) + ':' + (r[0] && r[0].formatted_address) +
        ':' + (r[0] && r[0].geometry.viewport.contains(new google.maps.LatLng(40.5, -3.6))));
    });
    g.geocode({address: 'ningun sitio'}, function (r, st) { found.push(st + ':' + r.length); });
    g.geocode({address: '   '}, function (r, st) { found.push(st + ':' + r.length); });
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("found.length === 3"));
  EXPECT_EQ(text("found.slice().sort().join('|')"),
            "INVALID_REQUEST:0|OK:1:40.4168,-3.7038:Madrid, España:true|ZERO_RESULTS:0");
  // Only real questions reach the service.
  EXPECT_EQ(fake_.requests.size(), 2);
}

// Nothing listens on port 1: the services must fail cleanly, with Google's status names.
TEST_F(ShimTest, ServicesOfflineFailWithGoogleStatuses) {
  page->run(R"JS(
    window.offline = {};
    new google.maps.ElevationService().getElevationForLocations({locations: [new google.maps.LatLng(1, 2)]},
      function (r, st) { offline.elevation = st + ':' + r.length; });
    new google.maps.Geocoder().geocode({address: 'Madrid'}, function (r, st) { offline.geocoder = st + ':' + r.length; });
    new google.maps.ElevationService().getElevationForLocations({locations: [new google.maps.LatLng(1, 2)]})
      .then(function () { offline.promise = 'resolved'; }, function (e) { offline.promise = e.code; });
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("offline.elevation && offline.geocoder && offline.promise"));
  EXPECT_EQ(text("offline.elevation"), "UNKNOWN_ERROR:0");
  EXPECT_EQ(text("offline.geocoder"), "ERROR:0");
  EXPECT_EQ(text("offline.promise"), "UNKNOWN_ERROR");
}

}  // namespace
}  // namespace tolvex::test
