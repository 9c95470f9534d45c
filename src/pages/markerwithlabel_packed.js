// A marker that carries a text label, built on google.maps.Marker and OverlayView only, so it
// serves both the real API and our own provider. The label follows the marker, shows and hides
// with it, and passes its clicks on to the marker.
(function () {
  'use strict';
  var Impl = null;

  function build() {
    var gm = google.maps;

    class MarkerLabel extends gm.OverlayView {
      constructor(marker) {
        super();
        this.marker = marker;
        this.div = document.createElement('div');
        this.listeners = [];
      }

      onAdd() {
        var panes = this.getPanes(), self = this, m = this.marker, ev = gm.event;
        // Beside its marker, in the markers' own layer: a label never covers a marker.
        (panes.overlayImage || panes.overlayMouseTarget).appendChild(this.div);
        var redraw = function () { self.draw(); };
        this.listeners = [
          ev.addListener(m, 'position_changed', redraw),
          ev.addListener(m, 'drag', redraw),
          ev.addListener(m, 'visible_changed', function () { self.applyVisibility(); }),
          ev.addListener(m, 'zindex_changed', function () { self.applyZIndex(); }),
          ev.addListener(m, 'title_changed', function () { self.applyTitle(); })
        ];
        var relay = function (domName, gName) {
          self.listeners.push(ev.addDomListener(self.div, domName, function (e) {
            e.stopPropagation();
            if (gName) ev.trigger(m, gName, { latLng: m.getPosition(), domEvent: e, stop: function () {} });
          }));
        };
        relay('click', 'click');
        relay('dblclick', 'dblclick');
        relay('contextmenu', 'rightclick');
        relay('mousedown', 'mousedown');
        relay('mouseup', 'mouseup');
        this.listeners.push(ev.addDomListener(this.div, 'mouseover', function (e) {
          ev.trigger(m, 'mouseover', { latLng: m.getPosition(), domEvent: e, stop: function () {} });
        }));
        this.listeners.push(ev.addDomListener(this.div, 'mouseout', function (e) {
          ev.trigger(m, 'mouseout', { latLng: m.getPosition(), domEvent: e, stop: function () {} });
        }));
      }

      onRemove() {
        this.listeners.forEach(function (l) { gm.event.removeListener(l); });
        this.listeners = [];
        if (this.div.parentNode) this.div.parentNode.removeChild(this.div);
      }

      draw() {
        var proj = this.getProjection(), pos = this.marker.getPosition();
        if (!proj || !pos) return;
        var p = proj.fromLatLngToDivPixel(pos);
        if (!p) return;
        this.div.style.left = Math.round(p.x) + 'px';
        this.div.style.top = Math.round(p.y) + 'px';
        this.applyVisibility();
        this.applyZIndex();
      }

      applyContent() {
        var c = this.marker.get('labelContent'), div = this.div;
        while (div.firstChild) div.removeChild(div.firstChild);
        // A string is markup, as with the classic library: callers escape plain text.
        if (c && c.nodeType) div.appendChild(c);
        else div.innerHTML = c === undefined || c === null ? '' : String(c);
      }

      applyStyles() {
        var m = this.marker, div = this.div, style = m.get('labelStyle') || {};
        div.className = m.get('labelClass') || 'markerLabels';
        div.style.cssText = '';
        for (var k in style) if (Object.prototype.hasOwnProperty.call(style, k)) div.style[k] = style[k];
        div.style.position = 'absolute';
        div.style.overflow = 'hidden';
        this.applyAnchor();
        this.applyTitle();
        this.draw();
      }

      applyAnchor() {
        var a = this.marker.get('labelAnchor');
        this.div.style.marginLeft = (a ? -a.x : 0) + 'px';
        this.div.style.marginTop = (a ? -a.y : 0) + 'px';
      }

      applyTitle() {
        var t = this.marker.getTitle();
        this.div.title = t === undefined || t === null ? '' : String(t);
      }

      applyVisibility() {
        var m = this.marker;
        var shown = m.getVisible() !== false && m.get('labelVisible') !== false;
        this.div.style.display = shown ? 'block' : 'none';
      }

      applyZIndex() {
        var z = this.marker.getZIndex();
        var inBack = this.marker.get('labelInBackground');
        this.div.style.zIndex = typeof z === 'number' ? String(inBack ? z - 1 : z + 1) : '';
      }
    }

    class MarkerWithLabel extends gm.Marker {
      constructor(opts) {
        var o = Object.assign({
          labelContent: '', labelAnchor: new gm.Point(0, 0), labelClass: 'markerLabels',
          labelStyle: {}, labelVisible: true, labelInBackground: false
        }, opts || {});
        var map = o.map;
        delete o.map;
        super(o);
        this.label = new MarkerLabel(this);
        this.label.applyContent();
        this.label.applyStyles();
        if (map) this.setMap(map);
      }

      setMap(map) {
        super.setMap(map);
        if (this.label) this.label.setMap(map || null);
      }

      labelContent_changed() { if (this.label) this.label.applyContent(); }
      labelClass_changed() { if (this.label) this.label.applyStyles(); }
      labelStyle_changed() { if (this.label) this.label.applyStyles(); }
      labelAnchor_changed() { if (this.label) this.label.applyAnchor(); }
      labelVisible_changed() { if (this.label) this.label.applyVisibility(); }
      labelInBackground_changed() { if (this.label) this.label.applyZIndex(); }
    }
    return MarkerWithLabel;
  }

  // Built on first use: the map API may finish loading after this file.
  window.MarkerWithLabel = function MarkerWithLabel(opts) {
    if (!Impl) Impl = build();
    return new Impl(opts);
  };
})();
