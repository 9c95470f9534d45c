// ---------------------------------------------------------------- outline canvas
// Lines and polygons that take no clicks, carry no symbols and cannot be edited (the airspace
// outlines: hundreds of them, thousands of points) are drawn together on one canvas per map,
// below the other lines, instead of one SVG element each: adding one costs a few array writes,
// the canvas is drawn at most once a frame, and again only when the zoom changes or the view
// leaves the area it covers.
var OutlineCanvas = L.Canvas.extend({
  options: { padding: 0.5, pane: 'tvOutlines' },
  _update: lazyUpdate(L.Canvas),
  _updatePaths: function () { if (!this._postponeUpdatePaths) this.__draw(); },
  __add: function (line) { this.__lines.push(line); this.__schedule(); },
  __remove: function (line) {
    var i = this.__lines.indexOf(line);
    if (i >= 0) this.__lines.splice(i, 1);
    this.__schedule();
  },
  __schedule: function () {
    if (this.__frame) return;
    var self = this;
    this.__frame = L.Util.requestAnimFrame(function () { self.__frame = 0; self.__draw(); });
  },
  // Draws in the frame of the last _update: its zoom, pixel origin and bounds.
  __draw: function () {
    if (!this._map || !this._ctx || !this._bounds) return;
    var ctx = this._ctx, b = this._bounds, size = b.getSize();
    var scale = 256 * Math.pow(2, this._zoom), ox = this.__origin.x, oy = this.__origin.y;
    ctx.clearRect(b.min.x, b.min.y, size.x, size.y);
    ctx.lineJoin = ctx.lineCap = 'round';
    this.__lines.forEach(function (line) {
      var w = line.__world || (line.__world = worldPoints(line.__pathL));
      var n = w.pts.length / 2, pad = num(line.__v.strokeWeight, 3);
      if (!n || w.maxX * scale - ox < b.min.x - pad || w.minX * scale - ox > b.max.x + pad ||
          w.maxY * scale - oy < b.min.y - pad || w.minY * scale - oy > b.max.y + pad) return;
      ctx.beginPath();
      ctx.moveTo(w.pts[0] * scale - ox, w.pts[1] * scale - oy);
      for (var i = 1; i < n; i++) ctx.lineTo(w.pts[2 * i] * scale - ox, w.pts[2 * i + 1] * scale - oy);
      var v = line.__v;
      if (line.__closed) {
        ctx.closePath();
        ctx.globalAlpha = num(v.fillOpacity, 0.3);
        if (ctx.globalAlpha > 0) { ctx.fillStyle = v.fillColor; ctx.fill(); }
      }
      ctx.globalAlpha = num(v.strokeOpacity, 1);
      ctx.strokeStyle = v.strokeColor;
      ctx.lineWidth = pad;
      if (ctx.globalAlpha > 0 && ctx.lineWidth > 0) ctx.stroke();
    });
    ctx.globalAlpha = 1;
  }
});

// Points as fractions of the world at zoom 0 (Leaflet's spherical Mercator), with their extent.
function worldPoints(lls) {
  var pts = new Float64Array(2 * lls.length), w = { pts: pts, minX: Infinity, minY: Infinity, maxX: -Infinity, maxY: -Infinity };
  for (var i = 0; i < lls.length; i++) {
    var s = Math.sin(rad(Math.max(-85.0511287798, Math.min(85.0511287798, lls[i].lat))));
    var x = lls[i].lng / 360 + 0.5, y = 0.5 - Math.log((1 + s) / (1 - s)) / (4 * Math.PI);
    pts[2 * i] = x; pts[2 * i + 1] = y;
    w.minX = Math.min(w.minX, x); w.maxX = Math.max(w.maxX, x);
    w.minY = Math.min(w.minY, y); w.maxY = Math.max(w.maxY, y);
  }
  return w;
}

// The map's outline canvas, made on first use.
function outlinesOf(lmap) {
  if (!lmap.__tvOutlines) {
    var pane = lmap.createPane('tvOutlines');
    pane.style.zIndex = 390;  // above the tiles, below Leaflet's overlay pane
    pane.style.pointerEvents = 'none';
    var c = lmap.__tvOutlines = new OutlineCanvas();
    c.__lines = [];
    lmap.addLayer(c);
  }
  return lmap.__tvOutlines;
}
