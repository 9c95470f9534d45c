// Marker manager: puts each managed marker on the map only at the zoom levels it was added for
// and only near the visible part of the map. Uses nothing but the public google.maps API, so it
// serves both the real API and our own provider.
(function () {
  'use strict';

  function MarkerManager(map, opts) {
    opts = opts || {};
    var gm = google.maps, self = this;
    this.map_ = map;
    this.entries_ = [];
    this.shown_ = true;
    this.loaded_ = false;
    this.borderPadding_ = opts.borderPadding !== undefined ? Number(opts.borderPadding) : 100;
    this.maxZoom_ = opts.maxZoom !== undefined ? Number(opts.maxZoom) : 19;
    this.listeners_ = [];
    this.refreshTimer_ = null;
    // The map's pixel projection only exists once an overlay has been drawn: that is when we
    // announce "loaded", as the classic manager does.
    var probe = this.probe_ = new gm.OverlayView();
    probe.onAdd = function () {};
    probe.onRemove = function () {};
    probe.draw = function () {
      if (self.loaded_) return;
      self.loaded_ = true;
      var later = function () { self.scheduleRefresh_(); };
      self.listeners_.push(gm.event.addListener(map, 'zoom_changed', later));
      self.listeners_.push(gm.event.addListener(map, 'idle', later));
      gm.event.trigger(self, 'loaded');
    };
    probe.setMap(map);
  }

  MarkerManager.prototype.scheduleRefresh_ = function () {
    var self = this;
    if (this.refreshTimer_ !== null || !this.shown_) return;
    this.refreshTimer_ = setTimeout(function () { self.refreshTimer_ = null; self.refresh(); }, 0);
  };

  // The visible bounds widened by the border padding, or null when everything counts as near.
  MarkerManager.prototype.nearBounds_ = function () {
    var gm = google.maps, b = this.map_.getBounds && this.map_.getBounds();
    if (!b || b.isEmpty()) return null;
    if (b.toSpan().lng() > 90) return null;  // world views: not worth culling
    var proj = this.probe_.getProjection && this.probe_.getProjection();
    if (!proj) return b;
    var sw = proj.fromLatLngToDivPixel(b.getSouthWest()), ne = proj.fromLatLngToDivPixel(b.getNorthEast());
    if (!sw || !ne) return b;
    var pad = this.borderPadding_;
    return new gm.LatLngBounds(proj.fromDivPixelToLatLng(new gm.Point(sw.x - pad, sw.y + pad)),
      proj.fromDivPixelToLatLng(new gm.Point(ne.x + pad, ne.y - pad)));
  };

  MarkerManager.prototype.wanted_ = function (e, zoom, near) {
    if (zoom < e.minZoom || zoom > e.maxZoom) return false;
    if (!near) return true;
    var p = e.marker.getPosition();
    return !!p && near.contains(p);
  };

  MarkerManager.prototype.place_ = function (e, on) {
    if (e.on === on) return;
    e.on = on;
    e.marker.setMap(on ? this.map_ : null);
  };

  MarkerManager.prototype.addMarkers = function (markers, minZoom, maxZoom) {
    minZoom = Number(minZoom) || 0;
    maxZoom = maxZoom === undefined || maxZoom === null ? this.maxZoom_ : Number(maxZoom);
    for (var i = 0; i < (markers || []).length; i++) {
      this.entries_.push({ marker: markers[i], minZoom: minZoom, maxZoom: maxZoom, on: false });
    }
    // Like the classic manager, these appear at the next refresh().
  };

  MarkerManager.prototype.refresh = function () {
    if (!this.shown_) return;
    var zoom = this.map_.getZoom(), near = this.nearBounds_();
    for (var i = 0; i < this.entries_.length; i++) {
      var e = this.entries_[i];
      this.place_(e, this.wanted_(e, zoom, near));
    }
  };

  MarkerManager.prototype.show = function () {
    this.shown_ = true;
    this.refresh();
  };

  MarkerManager.prototype.hide = function () {
    this.shown_ = false;
    for (var i = 0; i < this.entries_.length; i++) this.place_(this.entries_[i], false);
  };

  MarkerManager.prototype.toggle = function () {
    if (this.shown_) this.hide(); else this.show();
  };

  MarkerManager.prototype.isHidden = function () { return !this.shown_; };

  // Markers whose range starts at or below the zoom level.
  MarkerManager.prototype.getMarkerCount = function (zoom) {
    var n = 0;
    for (var i = 0; i < this.entries_.length; i++) if (this.entries_[i].minZoom <= zoom) n++;
    return n;
  };

  window.MarkerManager = MarkerManager;
})();
