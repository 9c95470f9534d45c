// Distance helpers for polylines and polygons: length, bounds, heading between vertices and the
// points found at given distances along the path. Distances are on the sphere of radius
// 6378137 m, as the geometry library measures them, so flight plans agree with the map.
(function () {
  'use strict';
  var R = 6378137;

  function rad(d) { return d * Math.PI / 180; }

  function install() {
    var gm = window.google && window.google.maps;
    if (!gm || !gm.Polyline || !gm.Polygon || !gm.LatLng) return false;
    var sph = gm.geometry && gm.geometry.spherical;

    function distance(a, b) {
      if (sph) return sph.computeDistanceBetween(a, b);
      var dLat = rad(b.lat() - a.lat()), dLng = rad(b.lng() - a.lng());
      var h = Math.pow(Math.sin(dLat / 2), 2) +
        Math.cos(rad(a.lat())) * Math.cos(rad(b.lat())) * Math.pow(Math.sin(dLng / 2), 2);
      return 2 * R * Math.asin(Math.min(1, Math.sqrt(h)));
    }
    function between(a, b, f) {
      if (sph) return sph.interpolate(a, b, f);
      return new gm.LatLng(a.lat() + (b.lat() - a.lat()) * f, a.lng() + (b.lng() - a.lng()) * f);
    }
    function vertices(poly) {
      var path = poly.getPath(), out = [];
      for (var i = 0; i < path.getLength(); i++) out.push(path.getAt(i));
      return out;
    }
    // Walks the path once, calling visit(index, from, to, start, length) per segment.
    function walk(pts, visit) {
      var start = 0;
      for (var i = 1; i < pts.length; i++) {
        var len = distance(pts[i - 1], pts[i]);
        if (visit(i, pts[i - 1], pts[i], start, len) === false) return;
        start += len;
      }
    }

    var methods = {
      Distance: function () {
        var total = 0;
        walk(vertices(this), function (i, a, b, s, len) { total += len; });
        return total;
      },
      Bounds: function () {
        var b = new gm.LatLngBounds();
        vertices(this).forEach(function (p) { b.extend(p); });
        return b;
      },
      // The point at the given distance from the first vertex, or null beyond the end.
      GetPointAtDistance: function (metres) {
        var pts = vertices(this), found = null;
        metres = Number(metres);
        if (!(metres >= 0) || !pts.length) return null;
        if (metres === 0) return pts[0];
        walk(pts, function (i, a, b, start, len) {
          if (start + len >= metres) {
            found = between(a, b, len > 0 ? (metres - start) / len : 0);
            return false;
          }
          return true;
        });
        return found;
      },
      // The points at d, 2d, 3d ... strictly before the end of the path.
      GetPointsAtDistance: function (metres) {
        var pts = vertices(this), out = [];
        metres = Number(metres);
        if (!(metres > 0) || !isFinite(metres) || pts.length < 2) return out;
        var total = this.Distance();
        var end = total - Math.max(1e-6, total * 1e-9);
        var k = 1, next = metres;
        walk(pts, function (i, a, b, start, len) {
          while (next < end && next <= start + len && out.length < 100000) {
            out.push(between(a, b, len > 0 ? (next - start) / len : 0));
            k++;
            next = k * metres;
          }
          return next < end && out.length < 100000;
        });
        return out;
      },
      // Index of the first vertex at or beyond the given distance, or null beyond the end.
      GetIndexAtDistance: function (metres) {
        var pts = vertices(this), found = null;
        metres = Number(metres);
        if (!(metres >= 0) || !pts.length) return null;
        if (metres === 0) return 0;
        walk(pts, function (i, a, b, start, len) {
          if (start + len >= metres) { found = i; return false; }
          return true;
        });
        return found;
      },
      // Initial heading in degrees (0 to 360) from vertex v1 to vertex v2.
      Bearing: function (v1, v2) {
        var pts = vertices(this);
        if (v1 === undefined || v1 === null) { v1 = 0; v2 = pts.length - 1; }
        else if (v2 === undefined || v2 === null) v2 = v1 + 1;
        if (v1 < 0 || v1 >= pts.length || v2 < 0 || v2 >= pts.length) return null;
        var a = pts[v1], b = pts[v2], h;
        if (sph) h = sph.computeHeading(a, b);
        else {
          var lat1 = rad(a.lat()), lat2 = rad(b.lat()), dLng = rad(b.lng() - a.lng());
          h = Math.atan2(Math.sin(dLng) * Math.cos(lat2),
            Math.cos(lat1) * Math.sin(lat2) - Math.sin(lat1) * Math.cos(lat2) * Math.cos(dLng)) * 180 / Math.PI;
        }
        return (h + 360) % 360;
      }
    };
    for (var k in methods) {
      gm.Polyline.prototype[k] = methods[k];
      gm.Polygon.prototype[k] = methods[k];
    }
    return true;
  }

  if (!install()) {
    // The map API may still be loading: try again for a while.
    var tries = 0;
    var timer = setInterval(function () {
      if (install() || ++tries > 200) clearInterval(timer);
    }, 50);
  }
})();
