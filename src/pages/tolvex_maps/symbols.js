// ---------------------------------------------------------------- symbols
// A symbol's SVG path (or one of the SymbolPath shapes) as polylines in its own coordinates:
// [{pts: [[x, y], ...], closed}]. Curves and arcs keep only their end points.
function parseSymbolPath(path) {
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

// "20px" or "50%" as {px} or {pct}; dflt when empty.
function parseLength(v, dflt) {
  if (v === undefined || v === null || v === '') return dflt;
  var s = String(v).trim();
  if (/%$/.test(s)) return { pct: num(parseFloat(s), 0) };
  return { px: num(parseFloat(s), 0) };
}

// The polyline's icon sequences as Leaflet layers. A straight vertical dash repeated at a pixel
// interval (the dynamic route's) becomes one dashed line; any other symbol is drawn shape by
// shape near the view (drawGenericSymbols).
function updateSymbols(line) {
  var on = line.__on, icons = line.get('icons') || [];
  var want = on ? icons : [];
  while (line.__symbols.length > want.length) {
    var s = line.__symbols.pop();
    if (s.map) s.map.removeLayer(s.layer);
  }
  want.forEach(function (seq, i) {
    var sym = seq.icon || {};
    var v = line.__v;
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
    var cur = line.__symbols[i];
    if (cur && cur.kind !== kind) {
      if (cur.map) cur.map.removeLayer(cur.layer);
      cur = null;
    }
    if (!cur) {
      cur = { kind: kind, map: null };
      cur.layer = kind === 'generic' ? L.polygon([], st) : L.polyline([], st);
      line.__symbols[i] = cur;
    }
    cur.shapes = shapes; cur.scale = scale; cur.offset = offset; cur.repeat = repeat;
    if (dash) {
      st.dashArray = dash.len + ' ' + dash.gap;
      // The pattern starts at the symbol's leading edge, offset along the line.
      st.dashOffset = String(-dash.start);
      cur.layer.setStyle(st);
      cur.layer.setLatLngs(line.__pathL);
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
  // Shapes drawn one by one are placed in pixels: they follow the view. Dashes need not.
  var viewOn = on && line.__symbols.some(function (s) { return s.kind !== 'dash'; }) ? on : null;
  if (line.__viewOn !== viewOn) {
    if (line.__viewOn) line.__viewOn.off('zoomend viewreset moveend', line.__onView);
    if (viewOn) viewOn.on('zoomend viewreset moveend', line.__onView);
    line.__viewOn = viewOn;
  }
  drawGenericSymbols(line);
}

function drawGenericSymbols(line) {
  var on = line.__on;
  if (!on || !line.__symbols.some(function (s) { return s.kind !== 'dash'; })) return;
  var pts = line.__pathL.map(function (ll) { return on.latLngToLayerPoint(ll); });
  if (line.__closed && pts.length > 1) pts.push(pts[0]);
  var cum = [0];
  for (var i = 1; i < pts.length; i++) cum.push(cum[i - 1] + pts[i].distanceTo(pts[i - 1]));
  var total = cum[cum.length - 1] || 0;
  // Only symbols near the view are built: long lines at high zoom would need thousands.
  var size = on.getSize(), tl = on.containerPointToLayerPoint([0, 0]);
  var minX = tl.x - size.x, maxX = tl.x + 2 * size.x, minY = tl.y - size.y, maxY = tl.y + 2 * size.y;
  line.__symbols.forEach(function (s) {
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
}
