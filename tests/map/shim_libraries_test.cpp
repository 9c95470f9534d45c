// The marker manager and the labelled marker on top of our map provider.
#include "map/shim_fixture.h"

namespace tolvex::test {
namespace {

const char* kSetup = R"JS(
  window.LL = google.maps.LatLng;
  window.labels = function () { return document.querySelectorAll('#map .labels'); };
  window.shownLabels = function () {
    var n = 0;
    labels().forEach(function (l) { if (l.style.display !== 'none') n++; });
    return n;
  };
  window.orange = function () {
    return new google.maps.MarkerImage('mm_20_orange.png', new google.maps.Size(20, 20), new google.maps.Point(20, 0), new google.maps.Point(0, 10));
  };
  window.vfr = function (lat, lng, name) {
    return new MarkerWithLabel({position: new LL(lat, lng), draggable: false, raiseOnDrag: false, icon: orange(),
      labelContent: name, labelAnchor: new google.maps.Point(2, 0), labelClass: 'labels', labelStyle: {opacity: 0.90}});
  };
  return true;
)JS";

class ShimLibrariesTest : public ShimTest {
 protected:
  void SetUp() override {
    ShimTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(page->run(kSetup).toBool(), true);
  }
};

TEST_F(ShimLibrariesTest, MarkerManagerLoadsAfterCreationThenShowAndHideToggleEveryMarker) {
  // As the map page does it: markers made first, added when the manager has loaded, then hidden.
  expect_true(R"JS(
    window.gmarkers = [];
    for (var i = 0; i < 6; i++) gmarkers.push(vfr(40.3 + i * 0.03, -3.8 + i * 0.03, 'P' + i));
    window.far = vfr(10, 10, 'LEJOS');
    window.deep = vfr(40.4, -3.7, 'CERCA');
    window.loadedCount = 0;
    window.mgr = new MarkerManager(map);
    google.maps.event.addListener(mgr, 'loaded', function () {
      loadedCount++;
      mgr.addMarkers(gmarkers, 1, 19);
      mgr.addMarkers([far], 1, 19);
      mgr.addMarkers([deep], 12, 19);
      mgr.refresh();
      mgr.hide();
    });
    return loadedCount === 0 ? true : 'loaded inside the constructor';
  )JS");
  ASSERT_TRUE(page->wait_until("loadedCount === 1"));
  page->run("return true;");  // let the label overlays settle
  expect_true(R"JS(
    var onMap = function () { return gmarkers.filter(function (m) { return m.getMap() === map; }).length; };
    if (onMap() !== 0 || mgr.isHidden() !== true) return 'shown after hide: ' + onMap();
    if (mgr.getMarkerCount(9) !== 7 || mgr.getMarkerCount(12) !== 8 || mgr.getMarkerCount(0) !== 0) return 'counts';
    mgr.show();
    if (onMap() !== 6) return 'show: ' + onMap();
    if (far.getMap() || deep.getMap()) return 'out of view or zoom range but shown';
    window.afterShow = true;
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("shownLabels() === 6")) << text("shownLabels()");
  expect_true(R"JS(
    var names = [];
    labels().forEach(function (l) { names.push(l.innerHTML); });
    if (names.sort().join() !== 'P0,P1,P2,P3,P4,P5') return 'labels ' + names.join();
    mgr.hide();
    if (gmarkers.some(function (m) { return m.getMap(); })) return 'hide left markers';
    if (labels().length !== 0) return 'hide left labels: ' + labels().length;
    if (document.querySelectorAll('.leaflet-marker-pane .tv-marker').length !== 0) return 'icons left';
    mgr.toggle();
    if (mgr.isHidden() || !gmarkers.every(function (m) { return m.getMap() === map; })) return 'toggle';
    // Closer in, the deep marker joins once the map settles.
    map.setZoom(12);
    return true;
  )JS");
  EXPECT_TRUE(page->wait_until("deep.getMap() === map"));
  // Far away markers appear when the map goes there.
  page->run("map.setCenter(new LL(10, 10)); return true;");
  EXPECT_TRUE(page->wait_until("far.getMap() === map"));
}

TEST_F(ShimLibrariesTest, LabelFollowsItsMarkerShowsWithItAndPassesClicks) {
  expect_true(R"JS(
    window.lm = vfr(40.4, -3.7, 'LEMD &amp; Co');
    lm.setMap(map);
    return lm instanceof google.maps.Marker;
  )JS");
  ASSERT_TRUE(page->wait_until("labels().length === 1"));
  expect_true(R"JS(
    var label = labels()[0], icon = document.querySelector('.leaflet-marker-pane .tv-marker');
    if (label.textContent !== 'LEMD & Co') return 'text ' + label.textContent;
    if (label.style.opacity !== '0.9' || label.style.marginLeft !== '-2px' || label.style.marginTop !== '0px') return 'style ' + label.style.cssText;
    var place = function () { return label.style.left + ',' + label.style.top; };
    var markerAt = function () {
      var m = icon.style.transform.match(/translate3d\(([-\d.]+)px, ([-\d.]+)px/);
      return m[1] + 'px,' + m[2] + 'px';
    };
    if (place() !== markerAt()) return 'label at ' + place() + ', marker at ' + markerAt();
    lm.setPosition(new LL(40.45, -3.6));
    if (place() !== markerAt()) return 'did not follow: ' + place() + ' vs ' + markerAt();
    lm.setVisible(false);
    if (label.style.display !== 'none') return 'visible with hidden marker';
    lm.setVisible(true);
    if (label.style.display === 'none') return 'hidden with visible marker';
    var clicks = [];
    google.maps.event.addListener(lm, 'click', function () { clicks.push('marker'); });
    google.maps.event.addListener(map, 'click', function () { clicks.push('map'); });
    label.click();
    if (clicks.join() !== 'marker') return 'clicks ' + clicks.join();
    lm.set('labelContent', 'LEVS');
    if (label.innerHTML !== 'LEVS') return 'labelContent ' + label.innerHTML;
    lm.setMap(null);
    return labels().length === 0 ? true : 'label left after setMap(null)';
  )JS");
}

TEST_F(ShimLibrariesTest, DraggedLabelledMarkerTakesItsLabelAlong) {
  expect_true(R"JS(
    window.dm = new MarkerWithLabel({position: new LL(40.4, -3.7), map: map, draggable: true, labelContent: 'X', labelClass: 'labels'});
    return true;
  )JS");
  ASSERT_TRUE(page->wait_until("labels().length === 1"));
  expect_true(R"JS(
    var label = labels()[0], el = document.querySelector('.leaflet-marker-pane .tv-marker');
    var r = el.getBoundingClientRect(), x = r.left + r.width / 2, y = r.top + r.height / 2;
    var left0 = parseFloat(label.style.left);
    var ev = function (type, dx) { el.dispatchEvent(new MouseEvent(type, {bubbles: true, cancelable: true, clientX: x + dx, clientY: y, button: 0})); };
    ev('mousedown', 0); ev('mousemove', 20); ev('mousemove', 50); ev('mouseup', 50);
    var moved = parseFloat(label.style.left) - left0;
    return Math.abs(moved - 50) <= 1 ? true : 'label moved ' + moved;
  )JS");
}

}  // namespace
}  // namespace tolvex::test
