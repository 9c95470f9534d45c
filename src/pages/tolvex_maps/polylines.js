// ---------------------------------------------------------------- Polyline / Polygon
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

// Shared by Polyline and Polygon (a polygon is a closed, filled line with one ring). While the
// options of a constructor or setOptions are applied (__batch), nothing is drawn: the line is
// drawn once at the end.
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
    this.__outline = false;
    this.__viewOn = null;
    this.__symbols = [];
    this.__handles = [];
    this.__mids = [];
    this.__pathL = [];
    this.__lp = null;  // Leaflet's line, made when the line is first drawn as an element of its own
    this.__onView = function () { drawGenericSymbols(self); };
    var o = {};
    for (var k in opts || {}) o[k] = opts[k];
    if (closed && o.paths !== undefined) { o.path = o.paths; delete o.paths; }
    if (o.path === undefined) o.path = [];
    this.__apply(o);
  },
  __element: function () {
    if (!this.__lp) {
      var self = this, Cls = this.__closed ? L.polygon : L.polyline;
      this.__lp = Cls([], { bubblingMouseEvents: false, interactive: this.get('clickable') !== false });
      ['click', 'dblclick', 'mousemove'].forEach(function (name) {
        self.__lp.on(name, function (e) { trigger(self, name, mouseEvent(e)); });
      });
      this.__style();
    }
    return this.__lp;
  },
  __apply: function (o) {
    this.__batch = true;
    try { this.setValues(o); } finally { this.__batch = false; }
    this.__style();
    if (!this.__sync()) this.__redraw();
  },
  getPath: function () { return this.get('path'); },
  setPath: function (p) { this.set('path', p); },
  setMap: function (m) { this.set('map', m); },
  getMap: function () { return this.get('map'); },
  setOptions: function (o) {
    var c = {};
    for (var k in o || {}) c[k] = o[k];
    if (this.__closed && c.paths !== undefined) { c.path = c.paths; delete c.paths; }
    this.__apply(c);
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
  map_changed: function () { if (!this.__batch) this.__sync(); },
  visible_changed: function () { if (!this.__batch) this.__sync(); },
  // These three may move the line between its own element and the outline canvas.
  editable_changed: function () { if (!this.__batch && !this.__sync()) this.__syncHandles(null); },
  icons_changed: function () { if (!this.__batch && !this.__sync()) updateSymbols(this); },
  clickable_changed: function () {
    var on = this.__on;
    if (this.__lp) this.__lp.options.interactive = this.get('clickable') !== false;
    if (this.__batch || this.__sync() || !on || this.__outline) return;
    on.removeLayer(this.__lp);
    on.addLayer(this.__lp);
  },
  geodesic_changed: function () { if (!this.__batch) this.__redraw(); },
  strokeColor_changed: function () { this.__restyle(); },
  strokeOpacity_changed: function () { this.__restyle(); },
  strokeWeight_changed: function () { this.__restyle(); },
  fillColor_changed: function () { this.__restyle(); },
  fillOpacity_changed: function () { this.__restyle(); },
  __restyle: function () {
    if (this.__batch) return;
    this.__style();
    updateSymbols(this);  // symbols take the line's colour and weight unless they have their own
  },
  __style: function () {
    var v = this.__v;
    if (this.__outline) outlinesOf(this.__on).__schedule();
    if (this.__lp) this.__lp.setStyle({
      color: v.strokeColor, opacity: num(v.strokeOpacity, 1), weight: num(v.strokeWeight, 3),
      fillColor: v.fillColor, fillOpacity: this.__closed ? num(v.fillOpacity, 0.3) : 0, fill: this.__closed
    });
  },
  // Puts the line on the map it should be on, as its own element or on the outline canvas;
  // false when it already was there.
  __sync: function () {
    var map = this.get('map');
    var target = map && map.__l && this.get('visible') !== false ? map.__l : null;
    var outline = !!target && this.get('clickable') === false && !this.get('editable') && !(this.get('icons') || []).length;
    if (this.__on === target && this.__outline === outline) return false;
    if (this.__on) {
      if (this.__outline) outlinesOf(this.__on).__remove(this);
      else this.__on.removeLayer(this.__lp);  // made by __setPoints when the line was put there
    }
    this.__on = target;
    this.__outline = outline;
    // The points go in before the line joins the map, so it is drawn once.
    if (target) this.__setPoints();
    if (outline) outlinesOf(target).__add(this);
    else if (target) target.addLayer(this.__element());
    updateSymbols(this);
    this.__syncHandles(null);
    return true;
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
  __setPoints: function () {
    this.__pathL = this.__latlngs();
    this.__world = null;
    if (this.__outline) outlinesOf(this.__on).__schedule();
    else if (this.__on) this.__element().setLatLngs(this.__pathL);
  },
  __redraw: function () {
    if (!this.get('path')) return;
    this.__setPoints();
    updateSymbols(this);
    this.__syncHandles(null);
  }
};
for (var hm in handleMethods) polyMethods[hm] = handleMethods[hm];

function Polyline(opts) { MVCObject.call(this); this.__init(opts, false); }
inherit(Polyline, MVCObject);
function Polygon(opts) { MVCObject.call(this); this.__init(opts, true); }
inherit(Polygon, MVCObject);
for (var pm in polyMethods) { Polyline.prototype[pm] = polyMethods[pm]; Polygon.prototype[pm] = polyMethods[pm]; }
accessors(Polyline.prototype, ['visible', 'editable']);
accessors(Polygon.prototype, ['visible', 'editable']);
gm.Polyline = Polyline;
gm.Polygon = Polygon;
