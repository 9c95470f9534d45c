// The map, markers, lines, information windows, overlays and events of our map provider, driven
// in a real browser page and checked through what the page shows (its DOM).
#include "map/shim_fixture.h"

namespace tolvex::test {
namespace {

// Script helpers defined once per page.
const char* kHelpers = R"JS(
  window.LL = google.maps.LatLng;
  window.markerIcons = function () { return document.querySelectorAll('.leaflet-marker-pane .tv-marker'); };
  window.linePaths = function () { return document.querySelectorAll('.leaflet-overlay-pane path'); };
  window.pointCount = function (path) { return (path.getAttribute('d').match(/L/g) || []).length + 1; };
  window.nonTileNodes = function () {
    var all = document.getElementById('map').getElementsByTagName('*'), n = 0;
    for (var i = 0; i < all.length; i++) if (!all[i].closest('.leaflet-tile-pane')) n++;
    return n;
  };
  window.mouse = function (el, type, x, y) {
    el.dispatchEvent(new MouseEvent(type, {bubbles: true, cancelable: true, clientX: x, clientY: y, button: 0}));
  };
  window.centreOf = function (el) { var r = el.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; };
  window.drag = function (el, dx, dy) {
    var c = centreOf(el);
    mouse(el, 'mousedown', c[0], c[1]);
    mouse(el, 'mousemove', c[0] + dx / 2, c[1] + dy / 2);
    mouse(el, 'mousemove', c[0] + dx, c[1] + dy);
    mouse(el, 'mouseup', c[0] + dx, c[1] + dy);
  };
  return true;
)JS";

class ShimMapTest : public ShimTest {
 protected:
  void SetUp() override {
    ShimTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(page->run(kHelpers).toBool(), true);
  }
};

TEST_F(ShimMapTest, SetIconRestylesTheSameElementWithSpriteOriginAndAnchor) {
  expect_true(R"JS(
    var a = new google.maps.MarkerImage('sprite.png', new google.maps.Size(20, 20), new google.maps.Point(20, 0), new google.maps.Point(0, 10));
    var b = new google.maps.MarkerImage('AvionE.png', new google.maps.Size(32, 32), new google.maps.Point(0, 0), new google.maps.Point(16, 16));
    var m = new google.maps.Marker({position: new LL(40.4, -3.7), map: map, icon: a});
    var els = markerIcons();
    if (els.length !== 1) return 'icons ' + els.length;
    var el = els[0], s = el.style;
    if (s.backgroundImage.indexOf('sprite.png') < 0) return 'image ' + s.backgroundImage;
    if (s.backgroundPosition !== '-20px 0px') return 'sprite origin ' + s.backgroundPosition;
    if (s.width !== '20px' || s.height !== '20px') return 'size ' + s.width + 'x' + s.height;
    if (s.marginLeft !== '0px' || s.marginTop !== '-10px') return 'anchor ' + s.marginLeft + ' ' + s.marginTop;
    m.setIcon(b);
    if (markerIcons().length !== 1 || markerIcons()[0] !== el) return 'element replaced';
    if (s.backgroundImage.indexOf('AvionE.png') < 0 || s.backgroundPosition !== '0px 0px') return 'new image ' + s.backgroundImage;
    if (s.marginLeft !== '-16px' || s.marginTop !== '-16px' || s.width !== '32px') return 'new anchor';
    if (m.getIcon() !== b) return 'getIcon';
    // A scaled sprite keeps its origin in scaled pixels.
    m.setIcon({url: 'sprite.png', size: new google.maps.Size(10, 10), origin: new google.maps.Point(10, 0), scaledSize: new google.maps.Size(20, 10)});
    if (s.backgroundSize !== '20px 10px' || s.backgroundPosition !== '-10px 0px') return 'scaled ' + s.backgroundSize;
    // Off the map and back: still the one element.
    m.setMap(null);
    if (markerIcons().length !== 0) return 'still shown after setMap(null)';
    m.setMap(map);
    return markerIcons().length === 1 && markerIcons()[0] === el;
  )JS");
}

TEST_F(ShimMapTest, TwentyThousandMovesLeaveTheDocumentAsItWas) {
  // What MueveAvion does on every sample: move, sometimes turn, title, follow.
  const QVariant v = page->run(R"JS(
    var a = new google.maps.MarkerImage('AvionN.png', new google.maps.Size(32, 32), new google.maps.Point(0, 0), new google.maps.Point(16, 16));
    var b = new google.maps.MarkerImage('AvionE.png', new google.maps.Size(32, 32), new google.maps.Point(0, 0), new google.maps.Point(16, 16));
    var sh = new google.maps.MarkerImage('AvionSHW.png', new google.maps.Size(32, 32), new google.maps.Point(0, 0), new google.maps.Point(16, 16));
    var m = new google.maps.Marker({position: new LL(40.4, -3.7), map: map, icon: a, shadow: sh});
    var el = markerIcons()[0];
    var before = nonTileNodes();
    for (var i = 0; i < 20000; i++) {
      var p = new LL(40.4 + (i % 10) * 0.001, -3.7 + (i % 7) * 0.001);
      m.setPosition(p);
      if (i % 40 === 0) m.setIcon(i % 80 === 0 ? b : a);
      m.setTitle('Heading: ' + (i % 360));
      map.panTo(p);
    }
    var after = nonTileNodes();
    if (after !== before) return 'nodes ' + before + ' -> ' + after;
    if (markerIcons().length !== 1 || markerIcons()[0] !== el) return 'marker element changed';
    if (document.querySelectorAll('.leaflet-shadow-pane .tv-shadow').length !== 1) return 'shadows';
    if (el.title !== 'Heading: ' + (19999 % 360)) return 'title ' + el.title;
    var c = map.getCenter();
    // Panning is immediate (no animation) and lands within a pixel of the aircraft.
    if (Math.abs(c.lat() - m.getPosition().lat()) > 0.003 || Math.abs(c.lng() - m.getPosition().lng()) > 0.003) return 'centre ' + c;
    return true;
  )JS", 120000);
  EXPECT_TRUE(v.userType() == QMetaType::Bool && v.toBool()) << v.toString().toStdString();
}

TEST_F(ShimMapTest, IconWithoutSizeTakesTheImageSize) {
  ASSERT_TRUE(page->run("window.pm = new google.maps.Marker({position: map.getCenter(), map: map, icon: 'pin.svg'}); return true;").toBool());
  ASSERT_TRUE(page->wait_until("markerIcons()[0].style.width === '30px'"));
  expect_true(R"JS(
    var s = markerIcons()[0].style;
    // Default anchor: bottom centre, as Google places it.
    return s.height === '40px' && s.marginLeft === '-15px' && s.marginTop === '-40px' ? true : s.cssText;
  )JS");
}

TEST_F(ShimMapTest, MarkerTitleVisibilityClicksAndDrag) {
  expect_true(R"JS(
    var m = new google.maps.Marker({position: map.getCenter(), map: map, title: 'Heading: 90', draggable: true});
    var el = markerIcons()[0], log = [];
    if (el.title !== 'Heading: 90' || m.getTitle() !== 'Heading: 90') return 'title';
    m.setVisible(false);
    if (el.style.display !== 'none' || m.getVisible() !== false) return 'hide';
    m.setVisible(true);
    if (el.style.display === 'none') return 'show';
    google.maps.event.addListener(m, 'click', function (e) { log.push('click:' + (e.latLng instanceof google.maps.LatLng)); });
    google.maps.event.addListener(m, 'dblclick', function () { log.push('dblclick'); });
    google.maps.event.addListener(map, 'click', function () { log.push('map click'); });
    google.maps.event.addListener(map, 'dblclick', function () { log.push('map dblclick'); });
    google.maps.event.addListener(m, 'dragstart', function () { log.push('dragstart'); });
    google.maps.event.addListener(m, 'drag', function (e) { if (log[log.length - 1] !== 'drag') log.push('drag'); });
    google.maps.event.addListener(m, 'dragend', function (e) { log.push('dragend'); });
    google.maps.event.addListener(m, 'position_changed', function () { window.movedTo = m.getPosition(); });
    var c = centreOf(el);
    mouse(el, 'click', c[0], c[1]);
    mouse(el, 'dblclick', c[0], c[1]);
    var start = m.getPosition();
    drag(el, 60, 0);
    var end = m.getPosition();
    if (!(end.lng() > start.lng() + 0.05) || Math.abs(end.lat() - start.lat()) > 0.01) return 'dragged to ' + end + ' from ' + start;
    if (!window.movedTo || !window.movedTo.equals(end)) return 'position_changed during drag';
    var want = 'click:true,dblclick,dragstart,drag,dragend';
    if (log.join() !== want) return 'events ' + log.join();
    m.setDraggable(false);
    drag(el, 60, 0);
    return m.getPosition().equals(end) ? true : 'moved while not draggable';
  )JS");
}

TEST_F(ShimMapTest, PolylinePathEditsRedrawTheLine) {
  expect_true(R"JS(
    var line = new google.maps.Polyline({path: [new LL(40.3, -3.9), new LL(40.5, -3.6)], strokeColor: '#00ff00', strokeWeight: 3, map: map});
    var path = line.getPath(), log = [];
    google.maps.event.addListener(path, 'insert_at', function (i) { log.push('insert ' + i); });
    google.maps.event.addListener(path, 'remove_at', function (i, old) { log.push('remove ' + i + (old instanceof google.maps.LatLng)); });
    google.maps.event.addListener(path, 'set_at', function (i, old) { log.push('set ' + i); });
    var el = linePaths()[0];
    if (pointCount(el) !== 2 || el.getAttribute('stroke') !== '#00ff00') return 'initial ' + el.getAttribute('d');
    path.push(new LL(40.2, -3.5));
    path.insertAt(1, new LL(40.6, -3.8));
    if (pointCount(linePaths()[0]) !== 4 || path.getLength() !== 4) return 'after insert';
    var before = linePaths()[0].getAttribute('d');
    path.setAt(0, new LL(40.25, -3.95));
    if (linePaths()[0].getAttribute('d') === before) return 'setAt not drawn';
    if (path.removeAt(1).lat() !== 40.6) return 'removeAt value';
    path.pop();
    if (pointCount(linePaths()[0]) !== 2 || path.getArray().length !== 2) return 'after remove';
    var seen = [];
    path.forEach(function (p, i) { seen.push(i + ':' + p.lat()); });
    if (seen.join() !== '0:40.25,1:40.5') return 'forEach ' + seen.join();
    line.setOptions({strokeColor: '#0000ff', strokeOpacity: 0.5, strokeWeight: 6});
    var p = linePaths()[0];
    if (p.getAttribute('stroke') !== '#0000ff' || p.getAttribute('stroke-opacity') !== '0.5' || p.getAttribute('stroke-width') !== '6') return 'setOptions';
    line.setPath([new LL(40.3, -3.9), new LL(40.5, -3.8), new LL(40.3, -3.7)]);
    if (pointCount(linePaths()[0]) !== 3 || line.getPath().getLength() !== 3) return 'setPath';
    line.getPath().clear();
    if (line.getPath().getLength() !== 0) return 'clear';
    line.setMap(null);
    if (linePaths().length !== 0) return 'still drawn';
    var want = 'insert 2,insert 1,set 0,remove 1true,remove 2true';
    return log.join() === want ? true : log.join();
  )JS");
}

TEST_F(ShimMapTest, EditablePolylineHandlesReportVerticesAndEditThePath) {
  expect_true(R"JS(
    var line = new google.maps.Polyline({path: [new LL(40.3, -3.9), new LL(40.5, -3.6), new LL(40.35, -3.4)], map: map, editable: true});
    var vertices = function () { return document.querySelectorAll('.leaflet-marker-pane .tv-vertex'); };
    var mids = function () { return document.querySelectorAll('.leaflet-marker-pane .tv-midpoint'); };
    if (vertices().length !== 3 || mids().length !== 2) return 'handles ' + vertices().length + '/' + mids().length;
    line.getPath().push(new LL(40.45, -3.3));
    if (vertices().length !== 4 || mids().length !== 3) return 'handles after push';
    var log = [];
    google.maps.event.addListener(line, 'dblclick', function (e) { log.push('dbl ' + e.vertex); });
    google.maps.event.addListener(line, 'mousemove', function (e) { if (e.vertex !== undefined && log.indexOf('move ' + e.vertex) < 0) log.push('move ' + e.vertex); });
    var h = vertices()[1], c = centreOf(h);
    mouse(h, 'dblclick', c[0], c[1]);
    var before = line.getPath().getAt(3);
    drag(vertices()[3], 0, 50);
    var after = line.getPath().getAt(3);
    if (!(after.lat() < before.lat() - 0.05)) return 'vertex drag ' + before + ' -> ' + after;
    if (log.join() !== 'dbl 1,move 3') return 'events ' + log.join();
    drag(mids()[0], 0, -40);
    if (line.getPath().getLength() !== 5 || vertices().length !== 5 || mids().length !== 4) return 'midpoint drag did not add a vertex';
    line.setEditable(false);
    return vertices().length === 0 && mids().length === 0 ? true : 'handles left';
  )JS");
}

TEST_F(ShimMapTest, DashAndArrowSymbolsAreDrawnAlongTheLine) {
  expect_true(R"JS(
    var line = new google.maps.Polyline({
      path: [new LL(40.3, -3.9), new LL(40.5, -3.5)], geodesic: true, strokeOpacity: 0,
      icons: [{icon: {path: 'M 0,-1 0,1', strokeColor: '#ff0000', strokeOpacity: 1, strokeWeight: 4, scale: 4}, offset: '0', repeat: '20px'}],
      map: map});
    var all = linePaths(), base = null, dash = null;
    for (var i = 0; i < all.length; i++) {
      if (all[i].getAttribute('stroke-dasharray')) dash = all[i]; else base = all[i];
    }
    if (!base || base.getAttribute('stroke-opacity') !== '0') return 'invisible base line';
    if (!dash) return 'no dashes';
    if (dash.getAttribute('stroke-dasharray') !== '8 12') return 'dash pattern ' + dash.getAttribute('stroke-dasharray');
    if (dash.getAttribute('stroke') !== '#ff0000' || dash.getAttribute('stroke-opacity') !== '1' || dash.getAttribute('stroke-width') !== '4') return 'dash style';
    if (dash.getAttribute('stroke-dashoffset') !== '4') return 'dash offset ' + dash.getAttribute('stroke-dashoffset');
    // The dashes follow the path as it moves.
    var d0 = dash.getAttribute('d');
    line.getPath().setAt(1, new LL(40.6, -3.4));
    if (dash.getAttribute('d') === d0) return 'dashes did not follow';
    line.setMap(null);
    if (linePaths().length !== 0) return 'left after setMap(null)';
    var arrows = new google.maps.Polyline({path: [new LL(40.3, -3.9), new LL(40.5, -3.5)],
      icons: [{icon: {path: google.maps.SymbolPath.FORWARD_CLOSED_ARROW, scale: 3}, offset: '0', repeat: '40px'}], map: map});
    var most = 0;
    linePaths().forEach(function (p) { most = Math.max(most, (p.getAttribute('d').match(/M/g) || []).length); });
    return most >= 4 ? true : 'arrows drawn ' + most;
  )JS");
}

TEST_F(ShimMapTest, PolygonFillsAndReportsClicksForItsInfoWindow) {
  // How the airspace page labels an outline: the click point places the information window.
  expect_true(R"JS(
    var pg = new google.maps.Polygon({paths: [new LL(40.3, -3.8), new LL(40.5, -3.8), new LL(40.5, -3.6), new LL(40.3, -3.6)],
      strokeColor: '#00ff00', strokeOpacity: 1.0, strokeWeight: 2, fillColor: '#FF0000', fillOpacity: 0.35, map: map});
    var iw = new google.maps.InfoWindow(), mapClicks = 0;
    google.maps.event.addListener(map, 'click', function () { mapClicks++; });
    google.maps.event.addListener(pg, 'click', function (e) {
      iw.close(); iw.setContent('Restringida<br>LED 71'); iw.setPosition(e.latLng); iw.open(map);
    });
    var p = linePaths()[0];
    if (p.getAttribute('fill') !== '#FF0000' || p.getAttribute('fill-opacity') !== '0.35' || p.getAttribute('stroke') !== '#00ff00') return 'style';
    if (pointCount(p) !== 4 || !/z$/i.test(p.getAttribute('d'))) return 'ring ' + p.getAttribute('d');
    var c = centreOf(p);
    mouse(p, 'click', c[0], c[1]);
    var pop = document.querySelector('.leaflet-popup-content');
    if (!pop || pop.querySelector('.tv-infowindow-content').innerHTML !== 'Restringida<br>LED 71') return 'info window ' + (pop && pop.innerHTML);
    if (mapClicks !== 0) return 'the map saw the click too';
    if (pg.getPath().getLength() !== 4) return 'getPath';
    pg.setMap(null);
    return linePaths().length === 0 ? true : 'polygon left';
  )JS");
}

TEST_F(ShimMapTest, MapTypeSwitchChangesTheTileLayers) {
  struct Case { const char* type; const char* layers; } cases[] = {
      {"HYBRID", "satellite,hybrid"}, {"SATELLITE", "satellite"}, {"TERRAIN", "terrain"}, {"ROADMAP", "roadmap"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ASSERT_EQ(page->run(QStringLiteral("map.setMapTypeId(google.maps.MapTypeId.%1); return true;").arg(c.type)).toBool(), true);
    EXPECT_EQ(text("map.getMapTypeId()"), QString::fromLatin1(c.type).toLower().toStdString());
    EXPECT_EQ(text(R"JS((function () {
      var names = [];
      document.querySelectorAll('.leaflet-tile-pane .leaflet-layer').forEach(function (l) {
        var m = l.className.match(/tv-tiles-(\w+)/);
        if (m) names.push(m[1]);
      });
      return names.join();
    })())JS"), c.layers);
    // The tiles come from the configured address of the layer.
    const std::string first = QString::fromLatin1(c.layers).section(',', -1).toStdString();
    EXPECT_EQ(text(QStringLiteral("(function(){var i=document.querySelector('.leaflet-tile-pane .tv-tiles-%1 img');"
                                  "return i ? i.src.indexOf('tolvex://app/nonexistent-tiles/%1/') === 0 : 'no tile';})()")
                       .arg(QString::fromStdString(first))),
              "true");
  }
}

TEST_F(ShimMapTest, FitBoundsPicksTheTightestZoomThatShowsEverything) {
  expect_true(R"JS(
    var sw = new LL(40, -4), ne = new LL(41, -3);
    map.fitBounds(new google.maps.LatLngBounds(sw, ne));
    var z = map.getZoom(), vb = map.getBounds();
    if (!vb.contains(sw) || !vb.contains(ne)) return 'not shown at ' + z + ': ' + vb;
    var c = map.getCenter();
    if (Math.abs(c.lat() - 40.5) > 0.05 || Math.abs(c.lng() + 3.5) > 0.05) return 'centre ' + c;
    map.setZoom(z + 1);
    if (map.getZoom() !== z + 1) return 'setZoom';
    var tb = map.getBounds();
    if (tb.contains(sw) && tb.contains(ne)) return 'zoom ' + z + ' is not the tightest';
    // One point: no error, centred on it.
    map.fitBounds(new google.maps.LatLngBounds(sw, sw));
    if (map.getCenter().toUrlValue(3) !== '40,-4') return 'single point ' + map.getCenter();
    map.setCenter(new LL(10, 20));
    return map.getCenter().toUrlValue(4) === '10,20' ? true : 'setCenter';
  )JS");
}

TEST_F(ShimMapTest, EventsAddRemoveTriggerAndPropertyChanges) {
  expect_true(R"JS(
    var ev = google.maps.event, o = new google.maps.MVCObject(), got = [];
    var l1 = ev.addListener(o, 'ping', function (a, b) { got.push('1:' + a + b + (this === o)); });
    var l2 = ev.addListener(o, 'ping', function () { got.push('2'); });
    ev.addListenerOnce(o, 'ping', function () { got.push('once'); });
    ev.trigger(o, 'ping', 'x', 'y');
    ev.removeListener(l1);
    ev.trigger(o, 'ping');
    ev.clearListeners(o, 'ping');
    ev.trigger(o, 'ping');
    l2.remove();
    if (got.join() !== '1:xytrue,2,once,2') return 'listeners ' + got.join();
    var changes = [];
    ev.addListener(o, 'foo_changed', function () { changes.push(o.get('foo')); });
    o.set('foo', 7);
    var m = new google.maps.Marker({position: map.getCenter(), map: map});
    ev.addListener(m, 'title_changed', function () { changes.push(m.getTitle()); });
    ev.addListener(m, 'position_changed', function () { changes.push('moved'); });
    m.setTitle('t');
    m.setPosition(new LL(40.41, -3.71));
    if (changes.join() !== '7,t,moved') return 'changes ' + changes.join();
    var div = document.createElement('div'), clicks = 0;
    document.body.appendChild(div);
    var dl = ev.addDomListener(div, 'click', function () { clicks++; });
    div.click();
    ev.removeListener(dl);
    div.click();
    if (clicks !== 1) return 'dom listener ' + clicks;
    ev.clearInstanceListeners(m);
    m.setTitle('u');
    return changes.length === 3 ? true : 'clearInstanceListeners';
  )JS");
}

TEST_F(ShimMapTest, MapDoubleClickGivesThePointAndDoesNotZoom) {
  expect_true(R"JS(
    var got = null;
    google.maps.event.addListener(map, 'dblclick', function (e) { got = e.latLng; });
    var div = map.getDiv(), r = div.getBoundingClientRect();
    mouse(div, 'dblclick', r.left + r.width / 2, r.top + r.height / 2);
    if (!got) return 'no dblclick';
    var c = map.getCenter();
    if (Math.abs(got.lat() - c.lat()) > 0.01 || Math.abs(got.lng() - c.lng()) > 0.01) return 'point ' + got + ' centre ' + c;
    return map.getZoom() === 9 ? true : 'zoomed to ' + map.getZoom();
  )JS");
}

TEST_F(ShimMapTest, InfoWindowOpensOnItsAnchorFollowsItAndClears) {
  expect_true(R"JS(
    var m = new google.maps.Marker({position: map.getCenter(), map: map});
    var iw = new google.maps.InfoWindow({content: ''}), closed = 0;
    google.maps.event.addListener(iw, 'closeclick', function () { closed++; });
    iw.setContent('Distancia: 5 nm.<br>Rumbo: 90<br>');
    iw.open(map, m);
    iw.open(map, m);
    var pops = document.querySelectorAll('.leaflet-popup');
    if (pops.length !== 1) return 'popups ' + pops.length;
    var content = pops[0].querySelector('.leaflet-popup-content');
    if (content.innerHTML.indexOf('Rumbo: 90<br>') < 0) return 'content ' + content.innerHTML;
    iw.setContent('');
    if (content.textContent !== '') return 'not cleared: ' + content.textContent;
    // It follows its marker.
    var markerEl = markerIcons()[0];
    m.setPosition(new LL(40.45, -3.6));
    if (pops[0].style.transform !== markerEl.style.transform) return 'not following ' + pops[0].style.transform + ' vs ' + markerEl.style.transform;
    var node = document.createElement('b');
    node.textContent = 'nodo';
    iw.setContent(node);
    if (content.querySelector('b') !== node) return 'node content';
    var btn = pops[0].querySelector('.leaflet-popup-close-button');
    var c = centreOf(btn);
    mouse(btn, 'click', c[0], c[1]);
    if (closed !== 1 || document.querySelectorAll('.leaflet-popup').length !== 0) return 'close button ' + closed;
    iw.setPosition(new LL(40.3, -3.8));
    iw.open(map);
    if (document.querySelectorAll('.leaflet-popup').length !== 1) return 'open at position';
    iw.close();
    if (document.querySelectorAll('.leaflet-popup').length !== 0) return 'close';
    // Closing when the anchor leaves the map.
    iw.open(map, m);
    m.setMap(null);
    return document.querySelectorAll('.leaflet-popup').length === 0 ? true : 'open without its marker';
  )JS");
}

TEST_F(ShimMapTest, OverlayViewIsAddedAfterTheScriptAndProjectsBothWays) {
  expect_true(R"JS(
    var ov = new google.maps.OverlayView(), log = window.ovlog = [];
    ov.onAdd = function () {
      var panes = this.getPanes();
      log.push('add:' + !!(panes.overlayImage && panes.floatPane && panes.overlayMouseTarget));
      var d = document.createElement('div');
      d.id = 'ovdiv';
      panes.floatPane.appendChild(d);
    };
    ov.draw = function () {
      var proj = this.getProjection(), p = proj.fromLatLngToDivPixel(map.getCenter());
      window.roundTrip = proj.fromDivPixelToLatLng(p);
      log.push('draw');
    };
    ov.onRemove = function () { log.push('remove'); document.getElementById('ovdiv').remove(); };
    ov.setMap(map);
    window.ov = ov;
    return log.length === 0 ? true : 'onAdd ran inside setMap';
  )JS");
  ASSERT_TRUE(page->wait_until("ovlog.length >= 2"));
  expect_true(R"JS(
    if (ovlog.join() !== 'add:true,draw') return ovlog.join();
    var c = map.getCenter();
    if (Math.abs(roundTrip.lat() - c.lat()) > 0.003 || Math.abs(roundTrip.lng() - c.lng()) > 0.003) return 'projection ' + roundTrip;
    map.setZoom(11);
    if (ovlog[ovlog.length - 1] !== 'draw' || ovlog.length < 3) return 'no draw on zoom: ' + ovlog.join();
    ov.setMap(null);
    return ovlog[ovlog.length - 1] === 'remove' && !document.getElementById('ovdiv') ? true : ovlog.join();
  )JS");
}

}  // namespace
}  // namespace tolvex::test
