// Tolvex keyless map provider: the part of the google.maps API our pages use, drawn with
// Leaflet (loaded before this file). Addresses come from window.TOLVEX_MAPS, set by the page
// builder before this script; any missing entry falls back to a public keyless service:
//   tiles: {roadmap, satellite, hybrid, terrain}  tile templates with {z} {x} {y} (and {s});
//          hybrid is the label layer drawn over the satellite one
//   elevation   template with {lat} and {lng} (comma-separated lists) or {locations}
//               ("lat,lng|lat,lng"); answers {elevation:[...]} or {results:[{elevation}]}
//   geocoder    template with {query}; answers a Nominatim list, {results:[...]} or GeoJSON
//   geocoderReverse  template with {lat} {lng};  timeoutMs  wait for a service (20000)
//   attributions: {roadmap, ...}  credit lines for configured tiles;  maxZoom  highest zoom (20)
// Failing tiles stay blank and failing services answer with Google's status names; nothing here
// delays the page's load event.
(function () {
  'use strict';
  var g = window.google = window.google || {};
  if (g.maps && g.maps.Map) return;  // the real API is already here
  var L = window.L;
  if (!L || !L.map) {
    // Without Leaflet there is nothing to draw with; say so once instead of failing later.
    if (window.console) console.error('tolvex_maps.js: falta leaflet/leaflet.js en la carpeta del programa');
    return;
  }
  var gm = g.maps = g.maps || {};
  var cfg = window.TOLVEX_MAPS || {};
  var cfgTiles = cfg.tiles || {};

  var EARTH_RADIUS = 6378137;
  var DEFAULT_TILES = {
    roadmap: 'https://tile.openstreetmap.org/{z}/{x}/{y}.png',
    satellite: 'https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}',
    hybrid: 'https://server.arcgisonline.com/ArcGIS/rest/services/Reference/World_Boundaries_and_Places/MapServer/tile/{z}/{y}/{x}',
    terrain: 'https://tile.opentopomap.org/{z}/{x}/{y}.png'
  };
  var TILE_ATTRIBUTION = {
    roadmap: '&copy; OpenStreetMap',
    satellite: 'Imagery &copy; Esri',
    hybrid: '',
    terrain: '&copy; OpenStreetMap, SRTM | &copy; OpenTopoMap (CC-BY-SA)'
  };
  var TILE_NATIVE_ZOOM = { roadmap: 19, satellite: 19, hybrid: 19, terrain: 17 };
  // Hybrid is the satellite layer with the label layer on top of it.
  var TYPE_LAYERS = { roadmap: ['roadmap'], satellite: ['satellite'], hybrid: ['satellite', 'hybrid'], terrain: ['terrain'] };
  var DEFAULT_ELEVATION = 'https://api.open-meteo.com/v1/elevation?latitude={lat}&longitude={lng}';
  var DEFAULT_GEOCODER = 'https://nominatim.openstreetmap.org/search?format=json&limit=5&q={query}';
  var DEFAULT_REVERSE = 'https://nominatim.openstreetmap.org/reverse?format=json&lat={lat}&lon={lng}';
  var REQUEST_TIMEOUT_MS = cfg.timeoutMs || 20000;

  // ---------------------------------------------------------------- helpers
  function rad(d) { return d * Math.PI / 180; }
  function deg(r) { return r * 180 / Math.PI; }
  function wrap(v, lo, hi) { var d = hi - lo; return ((v - lo) % d + d) % d + lo; }
  function num(v, dflt) { v = Number(v); return isFinite(v) ? v : dflt; }
  function capital(k) { return k.charAt(0).toUpperCase() + k.slice(1); }

  var styleDone = false;
  function injectStyle() {
    if (styleDone || !document.head) return;
    styleDone = true;
    var s = document.createElement('style');
    s.textContent =
      '.tv-marker{background-repeat:no-repeat;}' +
      '.tv-vertex{background:#fff;border:1px solid #444;box-sizing:border-box;border-radius:2px;}' +
      '.tv-midpoint{background:#fff;border:1px solid #444;box-sizing:border-box;border-radius:2px;opacity:.55;}' +
      '.tv-infowindow .leaflet-popup-content{margin:10px 14px;}';
    document.head.appendChild(s);
  }

  // ---------------------------------------------------------------- events
  var registry = new WeakMap();
  function listenerList(obj, name, create) {
    var m = registry.get(obj);
    if (!m) {
      if (!create) return null;
      m = Object.create(null);
      registry.set(obj, m);
    }
    var l = m[name];
    if (!l && create) l = m[name] = [];
    return l || null;
  }
  function hasListeners(obj, name) {
    var l = listenerList(obj, name, false);
    return !!(l && l.length);
  }
  function MapsEventListener(obj, name, fn) {
    this.instance = obj; this.eventName = name; this.handler = fn; this.removed = false;
  }
  MapsEventListener.prototype.remove = function () {
    if (this.removed) return;
    this.removed = true;
    if (this.dom) {
      this.instance.removeEventListener(this.eventName, this.dom, this.capture);
      return;
    }
    var l = listenerList(this.instance, this.eventName, false);
    if (l) { var i = l.indexOf(this); if (i >= 0) l.splice(i, 1); }
  };
  function isDom(o) { return o && (o.nodeType || o === window) && typeof o.addEventListener === 'function'; }
  function addListener(obj, name, fn) {
    if (isDom(obj)) return addDomListener(obj, name, fn);
    var e = new MapsEventListener(obj, name, fn);
    listenerList(obj, name, true).push(e);
    return e;
  }
  function addDomListener(el, name, fn, capture) {
    var e = new MapsEventListener(el, name, fn);
    e.capture = !!capture;
    e.dom = function (ev) { return fn.call(el, ev); };
    el.addEventListener(name, e.dom, e.capture);
    return e;
  }
  function trigger(obj, name) {
    var l = listenerList(obj, name, false);
    if (!l || !l.length) return;
    var args = Array.prototype.slice.call(arguments, 2);
    var copy = l.slice();
    for (var i = 0; i < copy.length; i++) {
      if (!copy[i].removed) copy[i].handler.apply(obj, args);
    }
  }
  gm.MapsEventListener = MapsEventListener;
  gm.event = {
    addListener: addListener,
    addDomListener: addDomListener,
    addListenerOnce: function (obj, name, fn) {
      var e = addListener(obj, name, function () { e.remove(); return fn.apply(this, arguments); });
      return e;
    },
    addDomListenerOnce: function (el, name, fn, capture) {
      var e = addDomListener(el, name, function () { e.remove(); return fn.apply(this, arguments); }, capture);
      return e;
    },
    removeListener: function (e) { if (e && e.remove) e.remove(); },
    clearListeners: function (obj, name) {
      var l = listenerList(obj, name, false);
      if (l) l.slice().forEach(function (e) { e.remove(); });
    },
    clearInstanceListeners: function (obj) {
      var m = registry.get(obj);
      if (m) Object.keys(m).forEach(function (n) { gm.event.clearListeners(obj, n); });
    },
    trigger: trigger,
    hasListeners: hasListeners
  };

  // ---------------------------------------------------------------- MVCObject / MVCArray
  function MVCObject() {}
  MVCObject.prototype.get = function (k) { return this.__v ? this.__v[k] : undefined; };
  MVCObject.prototype.set = function (k, val) {
    if (!this.__v) this.__v = {};
    this.__v[k] = val;
    this.notify(k);
  };
  MVCObject.prototype.notify = function (k) {
    var m = this[k + '_changed'];
    if (typeof m === 'function') m.call(this);
    trigger(this, k.toLowerCase() + '_changed');
  };
  MVCObject.prototype.setValues = function (values) {
    if (!values) return;
    for (var k in values) {
      if (!Object.prototype.hasOwnProperty.call(values, k)) continue;
      var setter = this['set' + capital(k)];
      if (typeof setter === 'function') setter.call(this, values[k]);
      else this.set(k, values[k]);
    }
  };
  MVCObject.prototype.setOptions = function (o) { this.setValues(o); };
  MVCObject.prototype.changed = function () {};
  MVCObject.prototype.bindTo = function (key, target, targetKey) {
    // One-way binding: enough for code that mirrors another object's property.
    targetKey = targetKey || key;
    var self = this;
    this.unbind(key);
    if (!this.__b) this.__b = {};
    this.__b[key] = addListener(target, targetKey.toLowerCase() + '_changed', function () {
      self.set(key, target.get(targetKey));
    });
    this.set(key, target.get(targetKey));
  };
  MVCObject.prototype.unbind = function (key) {
    if (this.__b && this.__b[key]) { this.__b[key].remove(); delete this.__b[key]; }
  };
  MVCObject.prototype.unbindAll = function () {
    if (this.__b) for (var k in this.__b) this.unbind(k);
  };
  function accessors(proto, keys) {
    keys.forEach(function (k) {
      var C = capital(k);
      if (!proto['get' + C]) proto['get' + C] = function () { return this.get(k); };
      if (!proto['set' + C]) proto['set' + C] = function (v) { this.set(k, v); };
    });
  }
  function inherit(Child, Parent) {
    Child.prototype = Object.create(Parent.prototype);
    Child.prototype.constructor = Child;
  }
  gm.MVCObject = MVCObject;

  function MVCArray(arr) {
    MVCObject.call(this);
    this.__a = arr ? Array.prototype.slice.call(arr) : [];
    this.__v = { length: this.__a.length };
  }
  inherit(MVCArray, MVCObject);
  MVCArray.prototype.getArray = function () { return this.__a; };
  MVCArray.prototype.getLength = function () { return this.__a.length; };
  MVCArray.prototype.getAt = function (i) { return this.__a[i]; };
  MVCArray.prototype.forEach = function (cb) {
    for (var i = 0; i < this.__a.length; i++) cb(this.__a[i], i);
  };
  MVCArray.prototype.setAt = function (i, el) {
    var n = this.__a.length;
    if (i < n) {
      var old = this.__a[i];
      this.__a[i] = el;
      trigger(this, 'set_at', i, old);
    } else {
      for (var k = n; k < i; k++) this.insertAt(k, undefined);
      this.insertAt(i, el);
    }
  };
  MVCArray.prototype.insertAt = function (i, el) {
    this.__a.splice(i, 0, el);
    this.set('length', this.__a.length);
    trigger(this, 'insert_at', i);
  };
  MVCArray.prototype.removeAt = function (i) {
    if (i < 0 || i >= this.__a.length) return undefined;
    var old = this.__a.splice(i, 1)[0];
    this.set('length', this.__a.length);
    trigger(this, 'remove_at', i, old);
    return old;
  };
  MVCArray.prototype.push = function (el) { this.insertAt(this.__a.length, el); return this.__a.length; };
  MVCArray.prototype.pop = function () { return this.removeAt(this.__a.length - 1); };
  MVCArray.prototype.clear = function () { while (this.__a.length) this.pop(); };
  gm.MVCArray = MVCArray;

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
  LatLng.prototype.toJSON = function () { return { lat: this.__lat, lng: this.__lng }; };
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

  function lngSpan(w, e) { var s = e - w; return s < 0 ? s + 360 : s; }
  function LatLngBounds(sw, ne) {
    this.__s = 1; this.__n = -1; this.__w = 180; this.__e = -180;  // empty
    if (sw && sw.north !== undefined && typeof sw.lat !== 'function') {
      ne = { lat: sw.north, lng: sw.east };
      sw = { lat: sw.south, lng: sw.west };
    }
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
    if (!(o instanceof LatLngBounds)) o = new LatLngBounds(o);
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
  LatLngBounds.prototype.intersects = function (o) {
    if (this.isEmpty() || o.isEmpty()) return false;
    if (o.__n < this.__s || o.__s > this.__n) return false;
    return this.__lngContains(o.__w) || this.__lngContains(o.__e) || o.__lngContains(this.__w);
  };
  LatLngBounds.prototype.equals = function (o) {
    return !!o && this.getSouthWest().equals(o.getSouthWest()) && this.getNorthEast().equals(o.getNorthEast());
  };
  LatLngBounds.prototype.toString = function () {
    return '(' + this.getSouthWest().toString() + ', ' + this.getNorthEast().toString() + ')';
  };
  LatLngBounds.prototype.toUrlValue = function (p) {
    return this.getSouthWest().toUrlValue(p) + ',' + this.getNorthEast().toUrlValue(p);
  };
  LatLngBounds.prototype.toJSON = function () {
    return { north: this.__n, south: this.__s, east: this.__e, west: this.__w };
  };
  LatLngBounds.prototype.__toL = function () {
    var e = this.__e < this.__w ? this.__e + 360 : this.__e;
    return L.latLngBounds([this.__s, this.__w], [this.__n, e]);
  };
  gm.LatLngBounds = LatLngBounds;

  function Size(w, h, wu, hu) { this.width = Number(w); this.height = Number(h); this.__wu = wu; this.__hu = hu; }
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
  gm.Animation = { BOUNCE: 1, DROP: 2 };
  gm.ControlPosition = {
    TOP_LEFT: 1, TOP_CENTER: 2, TOP: 2, TOP_RIGHT: 3, LEFT_CENTER: 4, LEFT_TOP: 5, LEFT: 5, LEFT_BOTTOM: 6,
    RIGHT_TOP: 7, RIGHT: 7, RIGHT_CENTER: 8, RIGHT_BOTTOM: 9, BOTTOM_LEFT: 10, BOTTOM_CENTER: 11, BOTTOM: 11, BOTTOM_RIGHT: 12, CENTER: 13
  };
  gm.MapTypeControlStyle = { DEFAULT: 0, HORIZONTAL_BAR: 1, DROPDOWN_MENU: 2, INSET: 3, INSET_LARGE: 4 };
  gm.NavigationControlStyle = { DEFAULT: 0, SMALL: 1, ANDROID: 2, ZOOM_PAN: 3 };
  gm.ZoomControlStyle = { DEFAULT: 0, SMALL: 1, LARGE: 2 };
  gm.StrokePosition = { CENTER: 0, INSIDE: 1, OUTSIDE: 2 };

  // ---------------------------------------------------------------- geometry
  function angleBetween(a, b) {
    var lat1 = rad(a.lat()), lat2 = rad(b.lat());
    var dLat = lat2 - lat1, dLng = rad(b.lng() - a.lng());
    var h = Math.pow(Math.sin(dLat / 2), 2) + Math.cos(lat1) * Math.cos(lat2) * Math.pow(Math.sin(dLng / 2), 2);
    return 2 * Math.asin(Math.min(1, Math.sqrt(h)));
  }
  function pathArray(path) {
    if (!path) return [];
    if (typeof path.getArray === 'function') return path.getArray();
    return path;
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
    computeSignedArea: signedArea,
    computeArea: function (path, radius) { return Math.abs(signedArea(path, radius)); }
  };
  var encoding = {
    encodePath: function (path) {
      var out = '', plat = 0, plng = 0;
      function enc(v) {
        v = v < 0 ? ~(v << 1) : v << 1;
        var s = '';
        while (v >= 0x20) { s += String.fromCharCode((0x20 | (v & 0x1f)) + 63); v >>= 5; }
        return s + String.fromCharCode(v + 63);
      }
      pathArray(path).forEach(function (p) {
        p = toLL(p);
        var lat = Math.round(p.lat() * 1e5), lng = Math.round(p.lng() * 1e5);
        out += enc(lat - plat) + enc(lng - plng);
        plat = lat; plng = lng;
      });
      return out;
    },
    decodePath: function (s) {
      var pts = [], i = 0, lat = 0, lng = 0;
      function dec() {
        var r = 0, shift = 0, b;
        do { b = s.charCodeAt(i++) - 63; r |= (b & 0x1f) << shift; shift += 5; } while (b >= 0x20 && i < s.length);
        return r & 1 ? ~(r >> 1) : r >> 1;
      }
      while (i < s.length) { lat += dec(); lng += dec(); pts.push(new LatLng(lat / 1e5, lng / 1e5)); }
      return pts;
    }
  };
  var poly = {
    containsLocation: function (p, polygon) {
      p = toLL(p);
      var pts = pathArray(polygon.getPath ? polygon.getPath() : polygon).map(toLL);
      var inside = false, x = p.lng(), y = p.lat();
      for (var i = 0, j = pts.length - 1; i < pts.length; j = i++) {
        var xi = pts[i].lng(), yi = pts[i].lat(), xj = pts[j].lng(), yj = pts[j].lat();
        if ((yi > y) !== (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
      }
      return inside;
    }
  };
  gm.geometry = { spherical: spherical, encoding: encoding, poly: poly };

  // ---------------------------------------------------------------- Map
  var PANES = [
    ['mapPane', 250], ['overlayLayer', 420], ['overlayShadow', 520], ['overlayImage', 620],
    ['floatShadow', 650], ['overlayMouseTarget', 660], ['floatPane', 710]
  ];
  function mouseEvent(e) {
    var ev = { domEvent: e.originalEvent };
    if (e.latlng) ev.latLng = fromL(e.latlng);
    if (e.containerPoint) ev.pixel = new Point(e.containerPoint.x, e.containerPoint.y);
    ev.stop = function () { if (e.originalEvent) L.DomEvent.stop(e.originalEvent); };
    return ev;
  }

  function Map(div, opts) {
    MVCObject.call(this);
    injectStyle();
    opts = opts || {};
    var self = this;
    this.__div = div;
    var lmap = this.__l = L.map(div, {
      zoomControl: opts.zoomControl !== false,
      doubleClickZoom: !opts.disableDoubleClickZoom,
      scrollWheelZoom: opts.scrollwheel !== false,
      dragging: opts.draggable !== false,
      keyboard: opts.keyboardShortcuts !== false,
      minZoom: num(opts.minZoom, 0),
      maxZoom: num(opts.maxZoom, num(cfg.maxZoom, 20)),
      zoomSnap: 1
    });
    lmap.__tvMap = this;
    this.__layers = {};
    this.__type = null;
    this.__panes = {};
    PANES.forEach(function (p) {
      var pane = lmap.createPane('tv-' + p[0]);
      pane.style.zIndex = p[1];
      pane.classList.add('leaflet-zoom-hide');
      self.__panes[p[0]] = pane;
    });
    var center = toLL(opts.center) || new LatLng(0, 0);
    lmap.setView(toL(center), num(opts.zoom, 1), { animate: false, reset: true });
    this.__v = { zoom: lmap.getZoom(), center: center };
    this.controls = [];
    for (var i = 0; i <= 13; i++) this.controls.push(new MVCArray());

    var mouse = function (lname, gname) {
      lmap.on(lname, function (e) { if (hasListeners(self, gname)) trigger(self, gname, mouseEvent(e)); });
    };
    mouse('click', 'click'); mouse('dblclick', 'dblclick'); mouse('mousemove', 'mousemove');
    mouse('contextmenu', 'rightclick'); mouse('mousedown', 'mousedown'); mouse('mouseup', 'mouseup');
    mouse('mouseover', 'mouseover'); mouse('mouseout', 'mouseout');
    lmap.on('dragstart', function () { trigger(self, 'dragstart'); });
    lmap.on('drag', function () { trigger(self, 'drag'); });
    lmap.on('dragend', function () { trigger(self, 'dragend'); });
    lmap.on('zoomend', function () {
      var z = lmap.getZoom();
      if (self.__v.zoom !== z) { self.__v.zoom = z; trigger(self, 'zoom_changed'); }
    });
    lmap.on('move', function () {
      if (hasListeners(self, 'center_changed')) trigger(self, 'center_changed');
      if (hasListeners(self, 'bounds_changed')) trigger(self, 'bounds_changed');
    });
    var idleTimer = null;
    lmap.on('moveend', function () {
      if (idleTimer !== null || !hasListeners(self, 'idle')) return;
      idleTimer = setTimeout(function () { idleTimer = null; trigger(self, 'idle'); }, 0);
    });
    addListener(this, 'resize', function () { lmap.invalidateSize(false); });

    var rest = {};
    for (var k in opts) if (k !== 'center' && k !== 'zoom') rest[k] = opts[k];
    if (!rest.mapTypeId) rest.mapTypeId = 'roadmap';
    this.setValues(rest);
    // First idle once the first view is drawn.
    setTimeout(function () { trigger(self, 'idle'); }, 0);
  }
  inherit(Map, MVCObject);
  Map.prototype.getDiv = function () { return this.__div; };
  Map.prototype.getCenter = function () { return fromL(this.__l.getCenter()); };
  Map.prototype.setCenter = function (c) {
    c = toLL(c);
    if (!c) return;
    this.__l.setView(toL(c), this.__l.getZoom(), { animate: false });
  };
  Map.prototype.getZoom = function () { return this.__l.getZoom(); };
  Map.prototype.setZoom = function (z) {
    z = Number(z);
    if (isFinite(z)) this.__l.setZoom(z, { animate: false });
  };
  Map.prototype.panTo = function (c) {
    c = toLL(c);
    if (c) this.__l.panTo(toL(c), { animate: false });
  };
  Map.prototype.panBy = function (x, y) { this.__l.panBy([x, y], { animate: false }); };
  Map.prototype.fitBounds = function (b, padding) {
    if (!(b instanceof LatLngBounds)) b = new LatLngBounds(b);
    if (b.isEmpty()) return;
    var o = { animate: false };
    if (typeof padding === 'number') o.padding = [padding, padding];
    else if (padding && typeof padding === 'object') {
      o.paddingTopLeft = [num(padding.left, 0), num(padding.top, 0)];
      o.paddingBottomRight = [num(padding.right, 0), num(padding.bottom, 0)];
    }
    this.__l.fitBounds(b.__toL(), o);
  };
  Map.prototype.panToBounds = function (b) {
    if (!(b instanceof LatLngBounds)) b = new LatLngBounds(b);
    if (!b.isEmpty()) this.panTo(b.getCenter());
  };
  Map.prototype.getBounds = function () {
    var lb = this.__l.getBounds();
    var w = lb.getWest(), e = lb.getEast();
    if (e - w >= 360) { w = -180; e = 180; } else { w = wrap(w, -180, 180); e = e === 180 ? 180 : wrap(e, -180, 180); }
    var b = new LatLngBounds();
    b.__s = Math.max(-90, lb.getSouth()); b.__n = Math.min(90, lb.getNorth()); b.__w = w; b.__e = e;
    return b;
  };
  Map.prototype.setMapTypeId = function (t) { this.set('mapTypeId', t); };
  Map.prototype.getMapTypeId = function () { return this.get('mapTypeId'); };
  Map.prototype.getStreetView = function () { return null; };
  Map.prototype.getTilt = function () { return 0; };
  Map.prototype.getHeading = function () { return 0; };
  Map.prototype.setOptions = function (o) {
    if (!o) return;
    if (o.center !== undefined) this.setCenter(o.center);
    if (o.zoom !== undefined) this.setZoom(o.zoom);
    var rest = {};
    for (var k in o) if (k !== 'center' && k !== 'zoom') rest[k] = o[k];
    this.setValues(rest);
  };
  Map.prototype.disableDoubleClickZoom_changed = function () {
    var h = this.__l.doubleClickZoom;
    if (this.get('disableDoubleClickZoom')) h.disable(); else h.enable();
  };
  Map.prototype.draggable_changed = function () {
    if (this.get('draggable') === false) this.__l.dragging.disable(); else this.__l.dragging.enable();
  };
  Map.prototype.mapTypeId_changed = function () {
    var t = String(this.get('mapTypeId') || 'roadmap').toLowerCase();
    if (!TYPE_LAYERS[t]) t = 'roadmap';
    if (t === this.__type) return;
    var want = TYPE_LAYERS[t], lmap = this.__l, layers = this.__layers, self = this;
    Object.keys(layers).forEach(function (key) {
      if (want.indexOf(key) < 0 && lmap.hasLayer(layers[key])) lmap.removeLayer(layers[key]);
    });
    want.forEach(function (key, i) {
      if (!layers[key]) {
        layers[key] = L.tileLayer(cfgTiles[key] || DEFAULT_TILES[key], {
          maxNativeZoom: TILE_NATIVE_ZOOM[key], maxZoom: 22, zIndex: i + 1,
          attribution: (cfg.attributions && cfg.attributions[key]) || (cfgTiles[key] ? '' : TILE_ATTRIBUTION[key]),
          className: 'tv-tiles-' + key
        });
        // Failed tiles count as done too: offline, the map still settles.
        layers[key].on('load', function () { trigger(self, 'tilesloaded'); });
      }
      if (!lmap.hasLayer(layers[key])) lmap.addLayer(layers[key]);
    });
    this.__type = t;
  };
  Map.prototype.getProjection = function () {
    var lmap = this.__l;
    return {
      fromLatLngToPoint: function (ll) { var p = lmap.project(toL(ll), 0); return new Point(p.x, p.y); },
      fromPointToLatLng: function (p, noWrap) {
        var ll = lmap.unproject(L.point(p.x, p.y), 0);
        return new LatLng(ll.lat, ll.lng, noWrap);
      }
    };
  };
  gm.Map = Map;

  // Pixel projection of a map, as overlays see it: "div" pixels move with the map panes.
  function canvasProjection(map) {
    var lmap = map.__l;
    return {
      fromLatLngToDivPixel: function (ll) {
        ll = toLL(ll);
        if (!ll) return null;
        var p = lmap.latLngToLayerPoint(toL(ll));
        return new Point(p.x, p.y);
      },
      fromDivPixelToLatLng: function (p, noWrap) {
        var ll = lmap.layerPointToLatLng(L.point(p.x, p.y));
        return new LatLng(ll.lat, ll.lng, noWrap);
      },
      fromLatLngToContainerPixel: function (ll) {
        var p = lmap.latLngToContainerPoint(toL(ll));
        return new Point(p.x, p.y);
      },
      fromContainerPixelToLatLng: function (p, noWrap) {
        var ll = lmap.containerPointToLatLng(L.point(p.x, p.y));
        return new LatLng(ll.lat, ll.lng, noWrap);
      },
      getWorldWidth: function () { return 256 * Math.pow(2, lmap.getZoom()); },
      getVisibleRegion: function () {
        var b = map.getBounds();
        return { latLngBounds: b, farLeft: new LatLng(b.__n, b.__w), farRight: b.getNorthEast(),
          nearLeft: b.getSouthWest(), nearRight: new LatLng(b.__s, b.__e) };
      }
    };
  }

  // ---------------------------------------------------------------- marker images
  var DEFAULT_PIN = 'data:image/svg+xml,' + encodeURIComponent(
    '<svg xmlns="http://www.w3.org/2000/svg" width="22" height="36" viewBox="0 0 22 36">' +
    '<path d="M11 35C11 35 1.5 20.5 1.5 11a9.5 9.5 0 0 1 19 0C20.5 20.5 11 35 11 35z" fill="#ea4335" stroke="#a52714" stroke-width="1.5"/>' +
    '<circle cx="11" cy="11" r="3.5" fill="#7b1b0f"/></svg>');
  var imageSizes = Object.create(null);  // url -> {w, h} once known

  function parseSymbolPath(path) {
    // Polylines of the symbol in its own coordinates: [{pts: [[x,y]...], closed}]
    var shapes = [];
    if (typeof path === 'number') {
      var arrows = {
        1: [[[-2, 2], [0, 0], [2, 2]], true], 2: [[[-2, 2], [0, 0], [2, 2]], false],
        3: [[[-2, -2], [0, 0], [2, -2]], true], 4: [[[-2, -2], [0, 0], [2, -2]], false]
      };
      if (path === 0) {
        var c = [];
        for (var a = 0; a < 24; a++) c.push([Math.cos(a * Math.PI / 12), Math.sin(a * Math.PI / 12)]);
        return [{ pts: c, closed: true }];
      }
      var ar = arrows[path];
      return ar ? [{ pts: ar[0], closed: ar[1] }] : [];
    }
    var tokens = String(path || '').match(/[a-zA-Z]|-?\d*\.?\d+(?:e[-+]?\d+)?/g) || [];
    var i = 0, cmd = 'M', x = 0, y = 0, cur = null, sx = 0, sy = 0;
    function n() { return parseFloat(tokens[i++]); }
    while (i < tokens.length) {
      if (/[a-zA-Z]/.test(tokens[i])) cmd = tokens[i++];
      var rel = cmd === cmd.toLowerCase(), C = cmd.toUpperCase();
      if (C === 'Z') {
        if (cur) { cur.closed = true; cur = null; }
        x = sx; y = sy;
        continue;
      }
      if (C === 'M' || C === 'L' || C === 'T') {
        var px = n(), py = n();
        x = rel ? x + px : px; y = rel ? y + py : py;
        if (C === 'M') { cur = { pts: [], closed: false }; shapes.push(cur); sx = x; sy = y; cmd = rel ? 'l' : 'L'; }
      } else if (C === 'H') { var hx = n(); x = rel ? x + hx : hx; }
      else if (C === 'V') { var vy = n(); y = rel ? y + vy : vy; }
      else {
        // Curves and arcs: keep only their end point.
        var count = { C: 6, S: 4, Q: 4, A: 7 }[C] || 2;
        var vals = [];
        for (var k = 0; k < count; k++) vals.push(n());
        var ex = vals[count - 2], ey = vals[count - 1];
        x = rel ? x + ex : ex; y = rel ? y + ey : ey;
      }
      if (!cur) { cur = { pts: [], closed: false }; shapes.push(cur); }
      if (isNaN(x) || isNaN(y)) break;
      cur.pts.push([x, y]);
    }
    return shapes.filter(function (s) { return s.pts.length > 0; });
  }

  function symbolImage(sym) {
    var scale = num(sym.scale, 1), sw = num(sym.strokeWeight, scale);
    var shapes = parseSymbolPath(sym.path);
    var minX = 0, minY = 0, maxX = 0, maxY = 0, first = true;
    shapes.forEach(function (s) {
      s.pts.forEach(function (p) {
        if (first) { minX = maxX = p[0]; minY = maxY = p[1]; first = false; }
        minX = Math.min(minX, p[0]); maxX = Math.max(maxX, p[0]);
        minY = Math.min(minY, p[1]); maxY = Math.max(maxY, p[1]);
      });
    });
    var pad = sw;
    var w = Math.ceil((maxX - minX) * scale + 2 * pad), h = Math.ceil((maxY - minY) * scale + 2 * pad);
    var d = shapes.map(function (s) {
      return 'M' + s.pts.map(function (p) {
        return ((p[0] - minX) * scale + pad).toFixed(2) + ' ' + ((p[1] - minY) * scale + pad).toFixed(2);
      }).join('L') + (s.closed ? 'Z' : '');
    }).join('');
    var svg = '<svg xmlns="http://www.w3.org/2000/svg" width="' + w + '" height="' + h + '">' +
      '<path d="' + d + '" fill="' + (sym.fillColor || 'black') + '" fill-opacity="' + num(sym.fillOpacity, 0) +
      '" stroke="' + (sym.strokeColor || 'black') + '" stroke-opacity="' + num(sym.strokeOpacity, 1) +
      '" stroke-width="' + sw + '"/></svg>';
    var anchor = sym.anchor || { x: 0, y: 0 };
    return {
      url: 'data:image/svg+xml,' + encodeURIComponent(svg), w: w, h: h,
      ax: (anchor.x - minX) * scale + pad, ay: (anchor.y - minY) * scale + pad
    };
  }

  function cssUrl(u) { return 'url("' + String(u).replace(/["\\]/g, '\\$&').replace(/[\r\n]/g, '') + '")'; }

  // Styles el (a div that keeps its identity) as the given icon; returns the anchor used.
  function styleImage(el, icon, isShadow, onSizeKnown) {
    var s = el.style;
    if (!icon) {
      if (isShadow) { s.display = 'none'; el.__tvKey = null; return null; }
      icon = { url: DEFAULT_PIN, size: new Size(22, 36) };
    }
    var im;
    if (typeof icon === 'string') im = { url: icon };
    else if (icon.path !== undefined) {
      var sy = symbolImage(icon);
      im = { url: sy.url, size: new Size(sy.w, sy.h), anchor: new Point(sy.ax, sy.ay) };
    } else im = icon;
    var url = im.url, size = im.size, scaled = im.scaledSize;
    el.__tvKey = url;
    if (!size && scaled) size = scaled;
    if (!size) {
      var known = imageSizes[url];
      if (known) size = new Size(known.w, known.h);
      else {
        var probe = new Image();
        probe.onload = function () {
          imageSizes[url] = { w: probe.naturalWidth, h: probe.naturalHeight };
          if (el.__tvKey === url && onSizeKnown) onSizeKnown();
        };
        probe.src = url;
        size = new Size(0, 0);
      }
    }
    var origin = im.origin || { x: 0, y: 0 };
    var anchor = im.anchor || new Point(size.width / 2, size.height);
    if (el.__tvUrl !== url) { s.backgroundImage = cssUrl(url); el.__tvUrl = url; }
    s.width = size.width + 'px';
    s.height = size.height + 'px';
    s.backgroundPosition = (-origin.x) + 'px ' + (-origin.y) + 'px';
    s.backgroundSize = scaled ? scaled.width + 'px ' + scaled.height + 'px' : '';
    s.marginLeft = (-anchor.x) + 'px';
    s.marginTop = (-anchor.y) + 'px';
    s.display = el.__tvHidden ? 'none' : '';
    return anchor;
  }

  // Leaflet icon that always hands back the marker's own elements, so they are never rebuilt.
  var OwnIcon = L.Icon.extend({
    options: {},
    createIcon: function () { return this.__owner.__el; },
    createShadow: function () { return this.__owner.__sh; }
  });

  // ---------------------------------------------------------------- Marker
  function Marker(opts) {
    MVCObject.call(this);
    injectStyle();
    opts = opts || {};
    var self = this;
    var el = this.__el = document.createElement('div');
    el.className = 'leaflet-marker-icon tv-marker';
    var sh = this.__sh = document.createElement('div');
    sh.className = 'leaflet-marker-shadow tv-marker tv-shadow';
    sh.style.display = 'none';
    var icon = new OwnIcon();
    icon.__owner = this;
    this.__on = null;
    this.__anchor = new Point(11, 36);
    var lm = this.__lm = L.marker([0, 0], {
      icon: icon, keyboard: false, autoPanOnFocus: false, bubblingMouseEvents: false, draggable: false
    });
    var relay = function (lname, gname) {
      lm.on(lname, function (e) { trigger(self, gname, mouseEvent(e)); });
    };
    relay('click', 'click'); relay('dblclick', 'dblclick'); relay('mousedown', 'mousedown');
    relay('mouseup', 'mouseup'); relay('mouseover', 'mouseover'); relay('mouseout', 'mouseout');
    relay('contextmenu', 'rightclick');
    var dragStep = function (gname, done) {
      return function () {
        self.__v.position = fromL(lm.getLatLng());
        self.__dragging = !done;
        self.notify('position');
        trigger(self, gname, { latLng: self.__v.position, stop: function () {} });
      };
    };
    lm.on('dragstart', function () {
      self.__dragging = true;
      trigger(self, 'dragstart', { latLng: self.getPosition(), stop: function () {} });
    });
    lm.on('drag', dragStep('drag', false));
    lm.on('dragend', dragStep('dragend', true));
    this.__v = { visible: true, clickable: true, draggable: false, icon: undefined };
    this.icon_changed();
    this.setValues(opts);
  }
  inherit(Marker, MVCObject);
  Marker.MAX_ZINDEX = 1000000;
  accessors(Marker.prototype, ['map', 'position', 'icon', 'shadow', 'title', 'visible', 'draggable', 'zIndex',
    'clickable', 'cursor', 'opacity', 'animation', 'shape', 'label']);
  Marker.prototype.setPosition = function (p) { this.set('position', p ? toLL(p) : p); };
  Marker.prototype.__sync = function () {
    var map = this.get('map'), pos = this.get('position');
    var target = (map && map.__l && pos) ? map.__l : null;
    if (this.__on === target) return;
    if (this.__on) this.__on.removeLayer(this.__lm);
    this.__on = target;
    if (target) { this.__lm.setLatLng(toL(pos)); target.addLayer(this.__lm); }
  };
  Marker.prototype.map_changed = function () { this.__sync(); };
  Marker.prototype.position_changed = function () {
    var p = this.get('position');
    if (p && !this.__dragging) this.__lm.setLatLng(toL(p));
    this.__sync();
  };
  Marker.prototype.icon_changed = function () {
    var self = this;
    this.__anchor = styleImage(this.__el, this.get('icon'), false, function () { self.icon_changed(); });
  };
  Marker.prototype.shadow_changed = function () {
    var self = this;
    styleImage(this.__sh, this.get('shadow'), true, function () { self.shadow_changed(); });
  };
  Marker.prototype.title_changed = function () {
    var t = this.get('title');
    t = t === undefined || t === null ? '' : String(t);
    if (this.__el.title !== t) this.__el.title = t;
  };
  Marker.prototype.visible_changed = function () {
    var hidden = this.get('visible') === false;
    this.__el.__tvHidden = hidden;
    this.__el.style.display = hidden ? 'none' : '';
    this.__sh.__tvHidden = hidden;
    if (this.__sh.__tvKey) this.__sh.style.display = hidden ? 'none' : '';
  };
  Marker.prototype.draggable_changed = function () {
    var d = !!this.get('draggable');
    this.__lm.options.draggable = d;
    if (this.__lm.dragging) { if (d) this.__lm.dragging.enable(); else this.__lm.dragging.disable(); }
  };
  Marker.prototype.zIndex_changed = function () {
    var z = num(this.get('zIndex'), 0);
    this.__lm.setZIndexOffset(Math.max(-2e9, Math.min(2e9, z * 1000)));
  };
  Marker.prototype.opacity_changed = function () { this.__lm.setOpacity(num(this.get('opacity'), 1)); };
  Marker.prototype.clickable_changed = function () {
    this.__el.style.pointerEvents = this.get('clickable') === false ? 'none' : '';
  };
  Marker.prototype.cursor_changed = function () { this.__el.style.cursor = this.get('cursor') || ''; };
  gm.Marker = Marker;

  // ---------------------------------------------------------------- Polyline / Polygon
  function parseLength(v, dflt) {
    if (v === undefined || v === null || v === '') return dflt;
    var s = String(v).trim();
    if (/%$/.test(s)) return { pct: num(parseFloat(s), 0) };
    return { px: num(parseFloat(s), 0) };
  }
  function unwrapLngs(lls) {
    // Keep each point within half a world of the previous one, so lines take the short way.
    for (var i = 1; i < lls.length; i++) {
      var d = lls[i].lng - lls[i - 1].lng;
      if (d > 180 || d < -180) lls[i] = L.latLng(lls[i].lat, lls[i].lng - 360 * Math.round(d / 360));
    }
    return lls;
  }
  function geodesicPoints(a, b) {
    var angle = angleBetween(a, b), steps = Math.min(64, Math.ceil(angle * EARTH_RADIUS / 50000));
    var out = [];
    for (var i = 1; i < steps; i++) out.push(spherical.interpolate(a, b, i / steps));
    return out;
  }

  var polyMethods = {
    __init: function (opts, closed) {
      injectStyle();
      var self = this;
      this.__closed = closed;
      this.__v = {
        strokeColor: '#000000', strokeOpacity: 1, strokeWeight: 3, fillColor: '#000000', fillOpacity: 0.3,
        clickable: true, visible: true, editable: false, geodesic: false
      };
      this.__on = null;
      this.__symbols = [];
      this.__handles = [];
      this.__mids = [];
      this.__pathL = [];
      var Cls = closed ? L.polygon : L.polyline;
      this.__lp = Cls([], { bubblingMouseEvents: false, interactive: true });
      var relay = function (lname, gname) {
        self.__lp.on(lname, function (e) { trigger(self, gname, mouseEvent(e)); });
      };
      relay('click', 'click'); relay('dblclick', 'dblclick'); relay('mousemove', 'mousemove');
      relay('mousedown', 'mousedown'); relay('mouseup', 'mouseup'); relay('mouseover', 'mouseover');
      relay('mouseout', 'mouseout'); relay('contextmenu', 'rightclick');
      this.__onView = function () { self.__drawGenericSymbols(); };
      var o = {};
      for (var k in opts || {}) o[k] = opts[k];
      if (closed && o.paths !== undefined) { o.path = o.paths; delete o.paths; }
      if (o.path === undefined) o.path = [];
      this.setValues(o);
      this.__style();
    },
    getPath: function () { return this.get('path'); },
    setPath: function (p) { this.set('path', p); },
    getPaths: function () { return new MVCArray([this.get('path')]); },
    setPaths: function (p) { this.set('path', p); },
    setMap: function (m) { this.set('map', m); },
    getMap: function () { return this.get('map'); },
    setOptions: function (o) {
      var c = {};
      for (var k in o || {}) c[k] = o[k];
      if (this.__closed && c.paths !== undefined) { c.path = c.paths; delete c.paths; }
      this.__batch = true;
      try { this.setValues(c); } finally { this.__batch = false; }
      this.__style();
      this.__redraw();
    },
    path_changed: function () {
      var p = this.get('path'), self = this;
      if (!(p instanceof MVCArray)) {
        var arr = pathArray(p);
        // Polygons may be given a list of rings: we draw the first one.
        if (arr.length && Array.isArray(arr[0])) arr = arr[0];
        if (arr.length && arr[0] instanceof MVCArray) arr = arr[0].getArray();
        p = new MVCArray(arr.map(toLL));
        this.__v.path = p;
      }
      if (this.__pathListeners) this.__pathListeners.forEach(function (l) { l.remove(); });
      var changed = function () { self.__redraw(); };
      this.__pathListeners = [addListener(p, 'insert_at', changed), addListener(p, 'remove_at', changed),
        addListener(p, 'set_at', changed)];
      if (!this.__batch) this.__redraw();
    },
    map_changed: function () { this.__sync(); },
    visible_changed: function () { this.__sync(); },
    editable_changed: function () { if (!this.__batch) this.__redraw(); },
    geodesic_changed: function () { if (!this.__batch) this.__redraw(); },
    icons_changed: function () { if (!this.__batch) this.__redraw(); },
    clickable_changed: function () {
      var on = this.__on;
      this.__lp.options.interactive = this.get('clickable') !== false;
      if (on) { on.removeLayer(this.__lp); on.addLayer(this.__lp); }
    },
    strokeColor_changed: function () { if (!this.__batch) { this.__style(); this.__redraw(); } },
    strokeOpacity_changed: function () { if (!this.__batch) { this.__style(); this.__redraw(); } },
    strokeWeight_changed: function () { if (!this.__batch) { this.__style(); this.__redraw(); } },
    fillColor_changed: function () { if (!this.__batch) this.__style(); },
    fillOpacity_changed: function () { if (!this.__batch) this.__style(); },
    __style: function () {
      var v = this.__v;
      this.__lp.setStyle({
        color: v.strokeColor, opacity: num(v.strokeOpacity, 1), weight: num(v.strokeWeight, 3),
        fillColor: v.fillColor, fillOpacity: this.__closed ? num(v.fillOpacity, 0.3) : 0, fill: this.__closed
      });
    },
    __sync: function () {
      var map = this.get('map');
      var target = map && map.__l && this.get('visible') !== false ? map.__l : null;
      if (this.__on === target) return;
      var old = this.__on;
      if (old) {
        old.removeLayer(this.__lp);
        this.__symbols.forEach(function (s) { old.removeLayer(s.layer); });
        old.off('zoomend viewreset moveend', this.__onView);
      }
      this.__on = target;
      if (target) {
        target.addLayer(this.__lp);
        target.on('zoomend viewreset moveend', this.__onView);
      }
      this.__redraw();
    },
    __latlngs: function () {
      var arr = this.get('path').getArray(), geo = this.get('geodesic'), out = [];
      for (var i = 0; i < arr.length; i++) {
        var p = toLL(arr[i]);
        if (!p) continue;
        if (geo && i > 0) {
          var prev = toLL(arr[i - 1]);
          if (prev) geodesicPoints(prev, p).forEach(function (q) { out.push(L.latLng(q.lat(), q.lng())); });
        }
        out.push(L.latLng(p.lat(), p.lng()));
      }
      return unwrapLngs(out);
    },
    __redraw: function () {
      if (!this.get('path')) return;
      var lls = this.__latlngs();
      this.__pathL = lls;
      this.__lp.setLatLngs(lls);
      this.__updateSymbols();
      this.__syncHandles(null);
    },
    __updateSymbols: function () {
      var self = this, on = this.__on, icons = this.get('icons') || [];
      var want = on ? icons : [];
      // Drop layers beyond the wanted count.
      while (this.__symbols.length > want.length) {
        var s = this.__symbols.pop();
        if (s.map) s.map.removeLayer(s.layer);
      }
      want.forEach(function (seq, i) {
        var sym = seq.icon || {};
        var v = self.__v;
        var scale = num(sym.scale, num(v.strokeWeight, 3));
        var st = {
          color: sym.strokeColor || v.strokeColor, opacity: num(sym.strokeOpacity, num(v.strokeOpacity, 1)),
          weight: num(sym.strokeWeight, scale), fillColor: sym.fillColor || v.strokeColor,
          fillOpacity: num(sym.fillOpacity, 0), interactive: false, lineCap: 'butt', noClip: true
        };
        var shapes = parseSymbolPath(sym.path);
        var offset = parseLength(seq.offset, { pct: 100 }), repeat = parseLength(seq.repeat, { px: 0 });
        var dash = null;
        if (shapes.length === 1 && shapes[0].pts.length === 2 && !shapes[0].closed &&
            shapes[0].pts[0][0] === 0 && shapes[0].pts[1][0] === 0 && repeat.px > 0 && offset.px !== undefined) {
          var y0 = Math.min(shapes[0].pts[0][1], shapes[0].pts[1][1]);
          var y1 = Math.max(shapes[0].pts[0][1], shapes[0].pts[1][1]);
          var len = (y1 - y0) * scale;
          dash = { len: len, gap: Math.max(0, repeat.px - len), start: offset.px + y0 * scale };
        }
        var closedShape = shapes.some(function (sh) { return sh.closed; });
        var kind = dash ? 'dash' : closedShape ? 'generic' : 'generic-open';
        var cur = self.__symbols[i];
        if (cur && cur.kind !== kind) {
          if (cur.map) cur.map.removeLayer(cur.layer);
          cur = null;
        }
        if (!cur) {
          cur = { kind: kind, map: null };
          cur.layer = kind === 'generic' ? L.polygon([], st) : L.polyline([], st);
          self.__symbols[i] = cur;
        }
        cur.seq = seq; cur.shapes = shapes; cur.scale = scale; cur.offset = offset; cur.repeat = repeat;
        if (dash) {
          st.dashArray = dash.len + ' ' + dash.gap;
          // The pattern starts at the symbol's leading edge, offset along the line.
          st.dashOffset = String(-dash.start);
          cur.layer.setStyle(st);
          cur.layer.setLatLngs(self.__pathL);
        } else {
          st.fill = num(sym.fillOpacity, 0) > 0;
          delete st.noClip;
          cur.layer.setStyle(st);
        }
        if (cur.map !== on) {
          if (cur.map) cur.map.removeLayer(cur.layer);
          if (on) on.addLayer(cur.layer);
          cur.map = on;
        }
      });
      this.__drawGenericSymbols();
    },
    __drawGenericSymbols: function () {
      var on = this.__on;
      if (!on || !this.__symbols.some(function (s) { return s.kind !== 'dash'; })) return;
      var pts = this.__pathL.map(function (ll) { return on.latLngToLayerPoint(ll); });
      if (this.__closed && pts.length > 1) pts.push(pts[0]);
      var cum = [0];
      for (var i = 1; i < pts.length; i++) cum.push(cum[i - 1] + pts[i].distanceTo(pts[i - 1]));
      var total = cum[cum.length - 1] || 0;
      // Only symbols near the view are built: long lines at high zoom would need thousands.
      var size = on.getSize(), tl = on.containerPointToLayerPoint([0, 0]);
      var minX = tl.x - size.x, maxX = tl.x + 2 * size.x, minY = tl.y - size.y, maxY = tl.y + 2 * size.y;
      this.__symbols.forEach(function (s) {
        if (s.kind === 'dash') return;
        var rings = [];
        if (pts.length > 1 && total > 0) {
          var off = s.offset.pct !== undefined ? total * s.offset.pct / 100 : s.offset.px;
          var rep = s.repeat.pct !== undefined ? total * s.repeat.pct / 100 : s.repeat.px;
          var seg = 0, placed = 0;
          for (var d = off; d <= total + 1e-9 && placed < 2000; d += rep > 0 ? rep : Infinity) {
            while (seg < cum.length - 2 && cum[seg + 1] < d) seg++;
            var a = pts[seg], b = pts[seg + 1], segLen = cum[seg + 1] - cum[seg];
            var t = segLen > 0 ? (d - cum[seg]) / segLen : 0;
            var px = a.x + (b.x - a.x) * t, py = a.y + (b.y - a.y) * t;
            if (px < minX || px > maxX || py < minY || py > maxY) continue;
            var dx = segLen > 0 ? (b.x - a.x) / segLen : 0, dy = segLen > 0 ? (b.y - a.y) / segLen : -1;
            s.shapes.forEach(function (shape) {
              rings.push(shape.pts.map(function (q) {
                // Symbol "up" (negative y) points along the line; x is to its right.
                var along = -q[1] * s.scale, side = q[0] * s.scale;
                return on.layerPointToLatLng(L.point(px + dx * along - dy * side, py + dy * along + dx * side));
              }));
            });
            placed++;
          }
        }
        s.layer.setLatLngs(rings);
      });
    },
    __syncHandles: function (skip) {
      var self = this, on = this.__on, editable = on && this.get('editable');
      var arr = editable ? this.get('path').getArray() : [];
      var n = arr.length, nm = editable ? (this.__closed ? (n > 2 ? n : 0) : Math.max(0, n - 1)) : 0;
      var list = function (store, count, make) {
        while (store.length > count) {
          var h = store.pop();
          if (h.__map) h.__map.removeLayer(h);
        }
        while (store.length < count) store.push(make(store.length));
        store.forEach(function (h) {
          if (h.__map !== on) { if (h.__map) h.__map.removeLayer(h); if (on) on.addLayer(h); h.__map = on; }
        });
      };
      list(this.__handles, n, function () { return self.__makeHandle(false); });
      list(this.__mids, nm, function () { return self.__makeHandle(true); });
      this.__handles.forEach(function (h, i) {
        h.__i = i;
        if (h !== skip) h.setLatLng(toL(arr[i]));
      });
      this.__mids.forEach(function (h, i) {
        h.__i = i;
        if (h !== skip) {
          var a = toLL(arr[i]), b = toLL(arr[(i + 1) % n]);
          h.setLatLng(toL(self.get('geodesic') ? spherical.interpolate(a, b, 0.5)
            : new LatLng((a.lat() + b.lat()) / 2, (a.lng() + b.lng()) / 2)));
        }
      });
    },
    __makeHandle: function (mid) {
      var self = this;
      var h = L.marker([0, 0], {
        icon: L.divIcon({ className: mid ? 'tv-midpoint' : 'tv-vertex', iconSize: mid ? [9, 9] : [11, 11] }),
        draggable: true, keyboard: false, autoPanOnFocus: false, bubblingMouseEvents: false, zIndexOffset: 100000
      });
      var vertexEvent = function (e) {
        var path = self.get('path');
        var idx = h.__vertex !== undefined ? h.__vertex : h.__i;
        return { latLng: toLL(path.getAt(idx)) || fromL(h.getLatLng()), vertex: idx, path: 0,
          domEvent: e && e.originalEvent, stop: function () {} };
      };
      h.on('dragstart', function () {
        if (mid) {
          h.__vertex = h.__i + 1;
          self.__lockHandles = h;
          self.get('path').insertAt(h.__vertex, fromL(h.getLatLng()));
        } else {
          h.__vertex = h.__i;
          self.__lockHandles = h;
        }
        trigger(self, 'dragstart', vertexEvent());
      });
      h.on('drag', function () {
        self.get('path').setAt(h.__vertex, fromL(h.getLatLng()));
        trigger(self, 'mousemove', vertexEvent());
      });
      h.on('dragend', function () {
        self.get('path').setAt(h.__vertex, fromL(h.getLatLng()));
        trigger(self, 'mousemove', vertexEvent());
        delete h.__vertex;
        self.__lockHandles = null;
        self.__syncHandles(null);
        trigger(self, 'dragend', vertexEvent());
      });
      if (!mid) {
        h.on('click', function (e) { trigger(self, 'click', vertexEvent(e)); });
        h.on('dblclick', function (e) { trigger(self, 'dblclick', vertexEvent(e)); });
        h.on('mousemove', function (e) { trigger(self, 'mousemove', vertexEvent(e)); });
        h.on('contextmenu', function (e) { trigger(self, 'rightclick', vertexEvent(e)); });
      }
      return h;
    }
  };
  // While a handle is dragged the others follow but the dragged one stays under the pointer.
  var baseSyncHandles = polyMethods.__syncHandles;
  polyMethods.__syncHandles = function (skip) { baseSyncHandles.call(this, skip || this.__lockHandles || null); };

  function Polyline(opts) { MVCObject.call(this); this.__init(opts, false); }
  inherit(Polyline, MVCObject);
  function Polygon(opts) { MVCObject.call(this); this.__init(opts, true); }
  inherit(Polygon, MVCObject);
  for (var pm in polyMethods) { Polyline.prototype[pm] = polyMethods[pm]; Polygon.prototype[pm] = polyMethods[pm]; }
  accessors(Polyline.prototype, ['visible', 'editable', 'draggable']);
  accessors(Polygon.prototype, ['visible', 'editable', 'draggable']);
  gm.Polyline = Polyline;
  gm.Polygon = Polygon;

  // ---------------------------------------------------------------- InfoWindow
  function InfoWindow(opts) {
    MVCObject.call(this);
    var self = this;
    this.__box = document.createElement('div');
    this.__box.className = 'tv-infowindow-content';
    this.__popup = null;
    this.__open = null;  // Leaflet map it is open on
    this.__v = { content: '' };
    this.__follow = [];
    this.__closing = false;
    this.__onRemove = function () {
      // Gone at once, as with Google, rather than after Leaflet's fade.
      var box = self.__popup && self.__popup.getElement();
      if (box && box.parentNode) box.parentNode.removeChild(box);
      if (self.__closing) return;
      // Closed by the user with its close button.
      self.__detach();
      trigger(self, 'closeclick');
      trigger(self, 'close');
    };
    this.setValues(opts || {});
  }
  inherit(InfoWindow, MVCObject);
  accessors(InfoWindow.prototype, ['content', 'position', 'zIndex']);
  InfoWindow.prototype.content_changed = function () {
    var c = this.get('content'), box = this.__box, self = this;
    if (c && c.nodeType) {
      if (box.firstChild === c && box.childNodes.length === 1) return;
      while (box.firstChild) box.removeChild(box.firstChild);
      box.appendChild(c);
      this.__html = null;
    } else {
      var html = c === undefined || c === null ? '' : String(c);
      // Pages rewrite the same text on every aircraft sample: leave the DOM alone then.
      if (html === this.__html) return;
      box.innerHTML = html;
      this.__html = html;
    }
    // One relayout per frame however often the text changes.
    if (this.__popup && this.__open && !this.__relayout) {
      this.__relayout = requestAnimationFrame(function () {
        self.__relayout = 0;
        if (self.__popup && self.__open) self.__popup.update();
      });
    }
  };
  InfoWindow.prototype.position_changed = function () {
    var p = toLL(this.get('position'));
    if (p && this.__popup && this.__open) this.__popup.setLatLng(toL(p));
  };
  InfoWindow.prototype.__detach = function () {
    this.__follow.forEach(function (l) { l.remove(); });
    this.__follow = [];
    this.__open = null;
    this.__anchorObj = null;
  };
  InfoWindow.prototype.open = function (mapOrOpts, anchor) {
    var map = mapOrOpts;
    if (mapOrOpts && !(mapOrOpts instanceof Map) && (mapOrOpts.map || mapOrOpts.anchor)) {
      map = mapOrOpts.map; anchor = mapOrOpts.anchor;
    }
    if (!map && anchor && anchor.getMap) map = anchor.getMap();
    if (!map || !map.__l) return;
    var self = this, pos = null, offsetY = 7;
    if (anchor) {
      pos = toLL(anchor.getPosition ? anchor.getPosition() : anchor.get('position'));
      if (anchor.__anchor) offsetY = 7 - anchor.__anchor.y;
      else if (anchor.get && anchor.get('anchorPoint')) offsetY = 7 + anchor.get('anchorPoint').y;
    }
    if (!pos) pos = toLL(this.get('position'));
    if (!pos) return;
    if (this.__open && this.__open !== map.__l) this.close();
    this.__detach();
    if (!this.__popup) {
      this.__popup = L.popup({
        autoClose: false, closeOnClick: false, closeOnEscapeKey: false, className: 'tv-infowindow',
        autoPan: !this.get('disableAutoPan'), maxWidth: num(this.get('maxWidth'), 300)
      });
      this.__popup.setContent(this.__box);
      this.__popup.on('remove', this.__onRemove);
    }
    var extra = this.get('pixelOffset');
    this.__popup.options.offset = L.point(extra ? num(extra.width, 0) : 0, offsetY + (extra ? num(extra.height, 0) : 0));
    this.__popup.options.maxWidth = num(this.get('maxWidth'), 300);
    this.__popup.options.autoPan = !this.get('disableAutoPan');
    this.__popup.setLatLng(toL(pos));
    this.__open = map.__l;
    this.__anchorObj = anchor || null;
    if (!map.__l.hasLayer(this.__popup)) map.__l.addLayer(this.__popup);
    else this.__popup.update();
    if (anchor) {
      this.__follow.push(addListener(anchor, 'position_changed', function () {
        var p = toLL(anchor.getPosition ? anchor.getPosition() : anchor.get('position'));
        if (p && self.__popup) self.__popup.setLatLng(toL(p));
      }));
      this.__follow.push(addListener(anchor, 'map_changed', function () {
        if (!(anchor.getMap ? anchor.getMap() : anchor.get('map'))) self.close();
      }));
    }
    setTimeout(function () { if (self.__open) trigger(self, 'domready'); }, 0);
  };
  InfoWindow.prototype.close = function () {
    var lmap = this.__open;
    this.__detach();
    if (lmap && this.__popup && lmap.hasLayer(this.__popup)) {
      this.__closing = true;
      try { lmap.removeLayer(this.__popup); } finally { this.__closing = false; }
      trigger(this, 'close');
    }
  };
  InfoWindow.prototype.getMap = function () { return this.__open ? this.__open.__tvMap : undefined; };
  gm.InfoWindow = InfoWindow;

  // ---------------------------------------------------------------- OverlayView
  function OverlayView() { MVCObject.call(this); }
  inherit(OverlayView, MVCObject);
  OverlayView.prototype.setMap = function (m) { this.set('map', m); };
  OverlayView.prototype.getMap = function () { return this.get('map'); };
  OverlayView.prototype.map_changed = function () {
    var map = this.get('map') || null, self = this;
    if (this.__attached === map) return;
    if (this.__attached) {
      var old = this.__attached;
      if (this.__drawFn) old.__l.off('zoom viewreset', this.__drawFn);
      this.__attached = null;
      if (this.__added) {
        this.__added = false;
        if (typeof this.onRemove === 'function') this.onRemove();
      }
    }
    this.__attached = map;
    if (!map || !map.__l) return;
    var token = this.__token = {};
    // Like the real API, onAdd and the first draw come after the current script has finished.
    Promise.resolve().then(function () {
      if (self.__token !== token || self.__attached !== map) return;
      self.__added = true;
      if (typeof self.onAdd === 'function') self.onAdd();
      if (!self.__drawFn) self.__drawFn = function () { if (self.__added && typeof self.draw === 'function') self.draw(); };
      map.__l.on('zoom viewreset', self.__drawFn);
      if (typeof self.draw === 'function') self.draw();
    });
  };
  OverlayView.prototype.getPanes = function () {
    var map = this.__added ? this.__attached : null;
    return map ? map.__panes : null;
  };
  OverlayView.prototype.getProjection = function () {
    var map = this.__added ? this.__attached : null;
    return map ? canvasProjection(map) : null;
  };
  OverlayView.preventMapHitsFrom = function (el) { L.DomEvent.disableClickPropagation(el); };
  OverlayView.preventMapHitsAndGesturesFrom = function (el) {
    L.DomEvent.disableClickPropagation(el);
    L.DomEvent.disableScrollPropagation(el);
  };
  gm.OverlayView = OverlayView;

  // ---------------------------------------------------------------- web services
  function fill(template, values) {
    return String(template).replace(/\{(\w+)\}/g, function (m, k) {
      return values[k] !== undefined ? values[k] : m;
    });
  }
  function fetchJson(url) {
    // Resolves {status: 'OK', body} or {status: <error kind>}; never rejects.
    if (typeof fetch !== 'function') return Promise.resolve({ status: 'NETWORK' });
    var ctl = typeof AbortController === 'function' ? new AbortController() : null;
    var timer = setTimeout(function () { if (ctl) ctl.abort(); }, REQUEST_TIMEOUT_MS);
    return fetch(url, ctl ? { signal: ctl.signal } : {}).then(function (r) {
      if (r.status === 429) return { status: 'OVER_QUERY_LIMIT' };
      if (r.status === 401 || r.status === 403) return { status: 'REQUEST_DENIED' };
      if (r.status >= 400 && r.status < 500) return { status: 'INVALID_REQUEST' };
      if (!r.ok) return { status: 'SERVER' };
      return r.json().then(function (body) { return { status: 'OK', body: body }; },
        function () { return { status: 'SERVER' }; });
    }, function () { return { status: 'NETWORK' }; }).then(function (res) {
      clearTimeout(timer);
      return res;
    });
  }
  function deliver(callback, results, status) {
    // Callbacks always run asynchronously, as with the real services.
    if (callback) {
      setTimeout(function () { callback(results, status); }, 0);
      return undefined;
    }
    return status === 'OK' ? Promise.resolve({ results: results })
      : Promise.reject(Object.assign(new Error(status), { code: status }));
  }

  gm.ElevationStatus = {
    OK: 'OK', UNKNOWN_ERROR: 'UNKNOWN_ERROR', OVER_QUERY_LIMIT: 'OVER_QUERY_LIMIT',
    REQUEST_DENIED: 'REQUEST_DENIED', INVALID_REQUEST: 'INVALID_REQUEST'
  };
  function ElevationService() {}
  var ELEVATION_CHUNK = 100;
  function elevationBatch(locs) {
    var url = fill(cfg.elevation || DEFAULT_ELEVATION, {
      lat: locs.map(function (p) { return p.lat(); }).join(','),
      lng: locs.map(function (p) { return p.lng(); }).join(','),
      locations: locs.map(function (p) { return p.lat() + ',' + p.lng(); }).join('|')
    });
    return fetchJson(url).then(function (res) {
      if (res.status !== 'OK') return res;
      var b = res.body || {}, values = null;
      if (Array.isArray(b.elevation)) values = b.elevation;
      else if (Array.isArray(b.results)) values = b.results.map(function (r) { return r && r.elevation; });
      else if (typeof b.status === 'string' && b.status !== 'OK') return { status: b.status };
      if (!values) return { status: 'SERVER' };
      var out = [];
      for (var i = 0; i < values.length && i < locs.length; i++) {
        var e = Number(values[i]);
        if (values[i] === null || values[i] === undefined || !isFinite(e)) continue;
        out.push({ elevation: e, location: locs[i], resolution: -1 });
      }
      return { status: 'OK', results: out };
    });
  }

  // A service answers through the caller's callback (results, status) or, without one, as a
  // promise that resolves to {results} and rejects with the status, as Google's does.
  function answerService(work, callback) {
    if (callback) {
      work.then(function (r) { callback(r.results, r.status); });
      return undefined;
    }
    return work.then(function (r) {
      if (r.status === 'OK') return { results: r.results };
      throw Object.assign(new Error(r.status), { code: r.status });
    });
  }

  function elevationFor(locs, callback) {
    if (!locs.length || locs.some(function (p) { return !p || !isFinite(p.lat()) || !isFinite(p.lng()); })) {
      return deliver(callback, [], 'INVALID_REQUEST');
    }
    var chunks = [];
    for (var i = 0; i < locs.length; i += ELEVATION_CHUNK) chunks.push(locs.slice(i, i + ELEVATION_CHUNK));
    var work = Promise.all(chunks.map(elevationBatch)).then(function (parts) {
      var results = [];
      for (var k = 0; k < parts.length; k++) {
        if (parts[k].status !== 'OK') {
          var s = parts[k].status;
          return { status: gm.ElevationStatus[s] ? s : 'UNKNOWN_ERROR', results: [] };
        }
        results = results.concat(parts[k].results);
      }
      return { status: 'OK', results: results };
    });
    return answerService(work, callback);
  }
  ElevationService.prototype.getElevationForLocations = function (req, callback) {
    var locs = ((req && req.locations) || []).map(toLL);
    return elevationFor(locs, callback);
  };
  ElevationService.prototype.getElevationAlongPath = function (req, callback) {
    var path = pathArray(req && req.path).map(toLL), samples = Math.max(2, Math.min(512, num(req && req.samples, 2)));
    if (path.length < 1) return deliver(callback, [], 'INVALID_REQUEST');
    var total = spherical.computeLength(path), locs = [];
    for (var i = 0; i < samples; i++) locs.push(pointAlong(path, total * i / (samples - 1)));
    return elevationFor(locs, callback);
  };
  function pointAlong(path, d) {
    for (var i = 1; i < path.length; i++) {
      var seg = spherical.computeDistanceBetween(path[i - 1], path[i]);
      if (d <= seg || i === path.length - 1) return spherical.interpolate(path[i - 1], path[i], seg > 0 ? Math.min(1, d / seg) : 0);
      d -= seg;
    }
    return path[0];
  }
  gm.ElevationService = ElevationService;

  gm.GeocoderStatus = {
    OK: 'OK', ZERO_RESULTS: 'ZERO_RESULTS', ERROR: 'ERROR', INVALID_REQUEST: 'INVALID_REQUEST',
    OVER_QUERY_LIMIT: 'OVER_QUERY_LIMIT', REQUEST_DENIED: 'REQUEST_DENIED', UNKNOWN_ERROR: 'UNKNOWN_ERROR'
  };
  gm.GeocoderLocationType = { ROOFTOP: 'ROOFTOP', RANGE_INTERPOLATED: 'RANGE_INTERPOLATED',
    GEOMETRIC_CENTER: 'GEOMETRIC_CENTER', APPROXIMATE: 'APPROXIMATE' };
  function geocodeResult(name, lat, lng, bbox) {
    var loc = new LatLng(lat, lng);
    var view = bbox ? new LatLngBounds(new LatLng(bbox[0], bbox[2]), new LatLng(bbox[1], bbox[3]))
      : new LatLngBounds(loc, loc);
    return { formatted_address: name || '', address_components: [], types: [],
      geometry: { location: loc, location_type: 'APPROXIMATE', viewport: view, bounds: view } };
  }
  function parseGeocode(body) {
    var list = [];
    if (Array.isArray(body)) body = { list: body };
    else if (body && body.lat !== undefined && body.lon !== undefined) body = { list: [body] };
    if (body && Array.isArray(body.list)) {
      body.list.forEach(function (r) {
        var bb = Array.isArray(r.boundingbox) ? r.boundingbox.map(Number) : null;
        if (isFinite(Number(r.lat)) && isFinite(Number(r.lon))) list.push(geocodeResult(r.display_name, Number(r.lat), Number(r.lon), bb));
      });
    } else if (body && Array.isArray(body.results)) {
      body.results.forEach(function (r) {
        var l = r.geometry && r.geometry.location;
        if (l && isFinite(Number(l.lat)) && isFinite(Number(l.lng))) list.push(geocodeResult(r.formatted_address, Number(l.lat), Number(l.lng), null));
      });
    } else if (body && Array.isArray(body.features)) {
      body.features.forEach(function (f) {
        var c = f.geometry && f.geometry.coordinates, p = f.properties || {};
        if (c && isFinite(Number(c[1])) && isFinite(Number(c[0]))) list.push(geocodeResult(p.name || p.label, Number(c[1]), Number(c[0]), null));
      });
    } else return null;
    return list;
  }
  function Geocoder() {}
  Geocoder.prototype.geocode = function (req, callback) {
    req = req || {};
    var url;
    if (req.address !== undefined && req.address !== null && String(req.address).trim() !== '') {
      url = fill(cfg.geocoder || DEFAULT_GEOCODER, { query: encodeURIComponent(String(req.address)) });
    } else if (req.location || req.latLng) {
      var p = toLL(req.location || req.latLng);
      url = fill(cfg.geocoderReverse || DEFAULT_REVERSE, { lat: p.lat(), lng: p.lng() });
    } else {
      return deliver(callback, [], 'INVALID_REQUEST');
    }
    var work = fetchJson(url).then(function (res) {
      if (res.status === 'NETWORK') return { status: 'ERROR', results: [] };
      if (res.status === 'SERVER') return { status: 'UNKNOWN_ERROR', results: [] };
      if (res.status !== 'OK') return { status: res.status, results: [] };
      var list = parseGeocode(res.body);
      if (!list) return { status: 'UNKNOWN_ERROR', results: [] };
      return { status: list.length ? 'OK' : 'ZERO_RESULTS', results: list };
    });
    return answerService(work, callback);
  };
  gm.Geocoder = Geocoder;
})();
