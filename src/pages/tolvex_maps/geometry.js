// ---------------------------------------------------------------- LatLng, bounds, sizes
function LatLng(lat, lng, noWrap) {
  if (lat && typeof lat === 'object') {
    var o = lat;
    noWrap = lng;
    lat = typeof o.lat === 'function' ? o.lat() : o.lat;
    lng = typeof o.lng === 'function' ? o.lng() : o.lng;
  }
  lat = Number(lat); lng = Number(lng);
  if (noWrap !== true) {
    lat = Math.max(-90, Math.min(90, lat));
    if (lng < -180 || lng > 180) lng = wrap(lng, -180, 180);
  }
  this.__lat = lat; this.__lng = lng;
}
LatLng.prototype.lat = function () { return this.__lat; };
LatLng.prototype.lng = function () { return this.__lng; };
LatLng.prototype.equals = function (o) {
  o = toLL(o);
  return !!o && Math.abs(o.lat() - this.__lat) <= 1e-9 && Math.abs(o.lng() - this.__lng) <= 1e-9;
};
LatLng.prototype.toString = function () { return '(' + this.__lat + ', ' + this.__lng + ')'; };
LatLng.prototype.toUrlValue = function (p) {
  p = p === undefined ? 6 : p;
  var f = Math.pow(10, p);
  return Math.round(this.__lat * f) / f + ',' + Math.round(this.__lng * f) / f;
};
gm.LatLng = LatLng;

function toLL(p) {
  if (!p) return null;
  if (p instanceof LatLng) return p;
  if (typeof p.lat === 'function') return new LatLng(p.lat(), p.lng());
  if (p.lat !== undefined && p.lng !== undefined) return new LatLng(p.lat, p.lng);
  return null;
}
function toL(p) { p = toLL(p); return L.latLng(p.lat(), p.lng()); }
function fromL(ll) { return new LatLng(ll.lat, ll.lng); }
function pathArray(path) {
  if (!path) return [];
  if (typeof path.getArray === 'function') return path.getArray();
  return path;
}

// Longitudes run west to east and may cross the antimeridian (west > east).
function lngSpan(w, e) { var s = e - w; return s < 0 ? s + 360 : s; }
function LatLngBounds(sw, ne) {
  this.__s = 1; this.__n = -1; this.__w = 180; this.__e = -180;  // empty
  sw = toLL(sw);
  if (!sw) return;
  ne = toLL(ne) || sw;
  this.__s = sw.lat(); this.__n = ne.lat();
  var w = sw.lng(), e = ne.lng();
  if (ne.lng() - sw.lng() >= 360) { w = -180; e = 180; }
  this.__w = w; this.__e = e;
}
LatLngBounds.prototype.__lngEmpty = function () { return this.__w === 180 && this.__e === -180; };
LatLngBounds.prototype.isEmpty = function () { return this.__s > this.__n || this.__lngEmpty(); };
LatLngBounds.prototype.__lngContains = function (x) {
  if (this.__lngEmpty()) return false;
  if (x === -180) x = 180;
  var w = this.__w === -180 ? 180 : this.__w, e = this.__e;
  if (this.__w <= this.__e) return (x >= this.__w && x <= e) || (x === 180 && this.__w === -180);
  return x >= w || x <= e;
};
LatLngBounds.prototype.contains = function (p) {
  p = toLL(p);
  if (!p || this.isEmpty()) return false;
  return p.lat() >= this.__s && p.lat() <= this.__n && this.__lngContains(p.lng());
};
LatLngBounds.prototype.extend = function (p) {
  p = toLL(p);
  if (!p) return this;
  var lat = p.lat(), lng = p.lng();
  if (this.__s > this.__n) { this.__s = this.__n = lat; }
  else { this.__s = Math.min(this.__s, lat); this.__n = Math.max(this.__n, lat); }
  if (this.__lngEmpty()) { this.__w = this.__e = lng; }
  else if (!this.__lngContains(lng)) {
    var west = lngSpan(lng, this.__w), east = lngSpan(this.__e, lng);
    if (west < east) this.__w = lng; else this.__e = lng;
  }
  return this;
};
LatLngBounds.prototype.union = function (o) {
  if (o.isEmpty()) return this;
  this.extend(o.getSouthWest());
  this.extend(o.getNorthEast());
  return this;
};
LatLngBounds.prototype.getCenter = function () {
  var c = this.__w + lngSpan(this.__w, this.__e) / 2;
  if (c > 180) c -= 360;
  return new LatLng((this.__s + this.__n) / 2, c);
};
LatLngBounds.prototype.getNorthEast = function () { return new LatLng(this.__n, this.__e, true); };
LatLngBounds.prototype.getSouthWest = function () { return new LatLng(this.__s, this.__w, true); };
LatLngBounds.prototype.toSpan = function () {
  if (this.isEmpty()) return new LatLng(0, 0, true);
  return new LatLng(this.__n - this.__s, lngSpan(this.__w, this.__e), true);
};
LatLngBounds.prototype.toString = function () {
  return '(' + this.getSouthWest().toString() + ', ' + this.getNorthEast().toString() + ')';
};
LatLngBounds.prototype.__toL = function () {
  var e = this.__e < this.__w ? this.__e + 360 : this.__e;
  return L.latLngBounds([this.__s, this.__w], [this.__n, e]);
};
gm.LatLngBounds = LatLngBounds;

function Size(w, h) { this.width = Number(w); this.height = Number(h); }
Size.prototype.equals = function (o) { return !!o && o.width === this.width && o.height === this.height; };
Size.prototype.toString = function () { return '(' + this.width + ', ' + this.height + ')'; };
gm.Size = Size;
function Point(x, y) { this.x = Number(x); this.y = Number(y); }
Point.prototype.equals = function (o) { return !!o && o.x === this.x && o.y === this.y; };
Point.prototype.toString = function () { return '(' + this.x + ', ' + this.y + ')'; };
gm.Point = Point;
function MarkerImage(url, size, origin, anchor, scaledSize) {
  this.url = url; this.size = size || null; this.origin = origin || null;
  this.anchor = anchor || null; this.scaledSize = scaledSize || null;
}
gm.MarkerImage = MarkerImage;

gm.MapTypeId = { ROADMAP: 'roadmap', SATELLITE: 'satellite', HYBRID: 'hybrid', TERRAIN: 'terrain' };
gm.SymbolPath = { CIRCLE: 0, FORWARD_CLOSED_ARROW: 1, FORWARD_OPEN_ARROW: 2, BACKWARD_CLOSED_ARROW: 3, BACKWARD_OPEN_ARROW: 4 };

// ---------------------------------------------------------------- geometry library
// The sphere of Google's geometry library, so both providers give the same distances.
function angleBetween(a, b) {
  var lat1 = rad(a.lat()), lat2 = rad(b.lat());
  var dLat = lat2 - lat1, dLng = rad(b.lng() - a.lng());
  var h = Math.pow(Math.sin(dLat / 2), 2) + Math.cos(lat1) * Math.cos(lat2) * Math.pow(Math.sin(dLng / 2), 2);
  return 2 * Math.asin(Math.min(1, Math.sqrt(h)));
}
function signedArea(path, radius) {
  var pts = pathArray(path).map(toLL);
  var n = pts.length;
  if (n < 3) return 0;
  var total = 0, prev = pts[n - 1];
  var prevTan = Math.tan((Math.PI / 2 - rad(prev.lat())) / 2), prevLng = rad(prev.lng());
  for (var i = 0; i < n; i++) {
    var t = Math.tan((Math.PI / 2 - rad(pts[i].lat())) / 2), lng = rad(pts[i].lng());
    var dl = lng - prevLng, tt = t * prevTan;
    total += 2 * Math.atan2(tt * Math.sin(dl), 1 + tt * Math.cos(dl));
    prevTan = t; prevLng = lng;
  }
  return total * Math.pow(radius || EARTH_RADIUS, 2);
}
var spherical = {
  computeDistanceBetween: function (a, b, radius) {
    return angleBetween(toLL(a), toLL(b)) * (radius || EARTH_RADIUS);
  },
  computeHeading: function (a, b) {
    a = toLL(a); b = toLL(b);
    var lat1 = rad(a.lat()), lat2 = rad(b.lat()), dLng = rad(b.lng() - a.lng());
    var h = deg(Math.atan2(Math.sin(dLng) * Math.cos(lat2),
      Math.cos(lat1) * Math.sin(lat2) - Math.sin(lat1) * Math.cos(lat2) * Math.cos(dLng)));
    return wrap(h, -180, 180);
  },
  computeOffset: function (from, distance, heading, radius) {
    from = toLL(from);
    var d = distance / (radius || EARTH_RADIUS), h = rad(heading);
    var lat = rad(from.lat()), lng = rad(from.lng());
    var sinLat = Math.cos(d) * Math.sin(lat) + Math.sin(d) * Math.cos(lat) * Math.cos(h);
    var dLng = Math.atan2(Math.sin(d) * Math.cos(lat) * Math.sin(h), Math.cos(d) - Math.sin(lat) * sinLat);
    return new LatLng(deg(Math.asin(sinLat)), deg(lng + dLng));
  },
  computeOffsetOrigin: function (to, distance, heading, radius) {
    to = toLL(to);
    heading = rad(heading);
    distance /= (radius || EARTH_RADIUS);
    var n1 = Math.cos(distance), n2 = Math.sin(distance) * Math.cos(heading);
    var n3 = Math.sin(distance) * Math.sin(heading), n4 = Math.sin(rad(to.lat()));
    var n12 = n1 * n1, disc = n2 * n2 * n12 + n12 * n12 - n12 * n4 * n4;
    if (disc < 0) return null;
    var b = n2 * n4 + Math.sqrt(disc);
    b /= n1 * n1 + n2 * n2;
    var a = (n4 - n2 * b) / n1;
    var fromLatRad = Math.atan2(a, b);
    if (fromLatRad < -Math.PI / 2 || fromLatRad > Math.PI / 2) {
      b = n2 * n4 - Math.sqrt(disc);
      b /= n1 * n1 + n2 * n2;
      fromLatRad = Math.atan2(a, b);
    }
    if (fromLatRad < -Math.PI / 2 || fromLatRad > Math.PI / 2) return null;
    var fromLngRad = rad(to.lng()) - Math.atan2(n3, n1 * Math.cos(fromLatRad) - n2 * Math.sin(fromLatRad));
    return new LatLng(deg(fromLatRad), deg(fromLngRad));
  },
  interpolate: function (a, b, f) {
    a = toLL(a); b = toLL(b);
    var lat1 = rad(a.lat()), lng1 = rad(a.lng()), lat2 = rad(b.lat()), lng2 = rad(b.lng());
    var angle = angleBetween(a, b), s = Math.sin(angle);
    if (s < 1e-6) return new LatLng(a.lat() + f * (b.lat() - a.lat()), a.lng() + f * (b.lng() - a.lng()));
    var ka = Math.sin((1 - f) * angle) / s, kb = Math.sin(f * angle) / s;
    var x = ka * Math.cos(lat1) * Math.cos(lng1) + kb * Math.cos(lat2) * Math.cos(lng2);
    var y = ka * Math.cos(lat1) * Math.sin(lng1) + kb * Math.cos(lat2) * Math.sin(lng2);
    var z = ka * Math.sin(lat1) + kb * Math.sin(lat2);
    return new LatLng(deg(Math.atan2(z, Math.sqrt(x * x + y * y))), deg(Math.atan2(y, x)));
  },
  computeLength: function (path, radius) {
    var pts = pathArray(path), total = 0;
    for (var i = 1; i < pts.length; i++) total += spherical.computeDistanceBetween(pts[i - 1], pts[i], radius);
    return total;
  },
  computeArea: function (path, radius) { return Math.abs(signedArea(path, radius)); }
};
gm.geometry = { spherical: spherical };
