// Tolvex keyless map provider: the part of the google.maps API our pages use, drawn with
// Leaflet (loaded before this file). Addresses come from window.TOLVEX_MAPS, set by the page
// builder before this script; any missing entry falls back to a public keyless service:
//   tiles: {roadmap, satellite, hybrid, terrain}  tile templates with {z} {x} {y} (and {s});
//          hybrid is the label layer drawn over the satellite one
//   elevation   template with {lat} and {lng} (comma-separated lists) or {locations}
//               ("lat,lng|lat,lng"); answers {elevation:[...]} or {results:[{elevation}]}
//   geocoder    template with {query}; answers a Nominatim list or {results:[...]}
//   timeoutMs   wait for a service (20000)
//   attributions: {roadmap, ...}  credit lines for configured tiles;  maxZoom  highest zoom (20)
// Failing tiles stay blank and failing services answer with Google's status names; nothing here
// delays the page's load event.
// The build joins the parts in src/pages/tolvex_maps/ into one function: this part first.
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

var EARTH_RADIUS = 6378137;

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
    this.instance.removeEventListener(this.eventName, this.dom);
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
function addDomListener(el, name, fn) {
  var e = new MapsEventListener(el, name, fn);
  e.dom = function (ev) { return fn.call(el, ev); };
  el.addEventListener(name, e.dom);
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
function clearListeners(obj, name) {
  var l = listenerList(obj, name, false);
  if (l) l.slice().forEach(function (e) { e.remove(); });
}
gm.event = {
  addListener: addListener,
  addDomListener: addDomListener,
  addListenerOnce: function (obj, name, fn) {
    var e = addListener(obj, name, function () { e.remove(); return fn.apply(this, arguments); });
    return e;
  },
  removeListener: function (e) { if (e && e.remove) e.remove(); },
  clearListeners: clearListeners,
  clearInstanceListeners: function (obj) {
    var m = registry.get(obj);
    if (m) Object.keys(m).forEach(function (n) { clearListeners(obj, n); });
  },
  trigger: trigger
};

// ---------------------------------------------------------------- MVCObject / MVCArray
// Properties live in __v; set(k) calls the object's own k_changed method, then the
// "k_changed" listeners (lower case, as Google names them).
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
