// ---------------------------------------------------------------- Map
var cfgTiles = cfg.tiles || {};
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

// Google's overlay panes, stacked among Leaflet's own. overlayImage is where Google keeps its
// markers: what an overlay puts there (a marker's label) stays below every marker.
var PANES = [
  ['mapPane', 250], ['overlayLayer', 420], ['overlayShadow', 520], ['overlayImage', 590],
  ['floatShadow', 650], ['overlayMouseTarget', 660], ['floatPane', 710]
];
// Leaflet redraws every line whenever the map stops moving, to widen the area they are drawn
// for. A pan that stays inside the area already drawn (the aircraft followed at every sample)
// needs nothing redrawn; the area reaches half a view beyond each edge. The _update of a
// renderer based on Base that does that:
function lazyUpdate(Base) {
  return function () {
    var map = this._map, size = map.getSize(), origin = map.getPixelOrigin();
    if (this._bounds && !map._animatingZoom && this._zoom === map.getZoom() && this.__size &&
        this.__size.equals(size) && this.__origin && this.__origin.equals(origin)) {
      var min = map.containerPointToLayerPoint([0, 0]);
      if (this._bounds.contains(min) && this._bounds.contains(min.add(size))) return;
    }
    this.__size = size;
    this.__origin = origin;
    Base.prototype._update.call(this);
  };
}
var LazySvg = L.SVG.extend({ options: { padding: 0.5 }, _update: lazyUpdate(L.SVG) });

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
    renderer: new LazySvg(),
    doubleClickZoom: !opts.disableDoubleClickZoom,
    maxZoom: num(cfg.maxZoom, 20),
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

  ['click', 'dblclick'].forEach(function (name) {
    lmap.on(name, function (e) { if (hasListeners(self, name)) trigger(self, name, mouseEvent(e)); });
  });
  lmap.on('zoomend', function () {
    var z = lmap.getZoom();
    if (self.__v.zoom !== z) { self.__v.zoom = z; trigger(self, 'zoom_changed'); }
  });
  var idleTimer = null;
  lmap.on('moveend', function () {
    if (idleTimer !== null || !hasListeners(self, 'idle')) return;
    idleTimer = setTimeout(function () { idleTimer = null; trigger(self, 'idle'); }, 0);
  });

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
Map.prototype.fitBounds = function (b) {
  if (b.isEmpty()) return;
  this.__l.fitBounds(b.__toL(), { animate: false });
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
Map.prototype.disableDoubleClickZoom_changed = function () {
  var h = this.__l.doubleClickZoom;
  if (this.get('disableDoubleClickZoom')) h.disable(); else h.enable();
};
Map.prototype.mapTypeId_changed = function () {
  var t = String(this.get('mapTypeId') || 'roadmap').toLowerCase();
  if (!TYPE_LAYERS[t]) t = 'roadmap';
  if (t === this.__type) return;
  var want = TYPE_LAYERS[t], lmap = this.__l, layers = this.__layers;
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
    }
    if (!lmap.hasLayer(layers[key])) lmap.addLayer(layers[key]);
  });
  this.__type = t;
};
gm.Map = Map;

// ---------------------------------------------------------------- OverlayView
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
    }
  };
}

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
gm.OverlayView = OverlayView;
