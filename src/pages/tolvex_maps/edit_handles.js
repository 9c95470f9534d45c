// ---------------------------------------------------------------- edit handles
// An editable line or polygon shows a handle on every vertex and one in the middle of every
// segment. Dragging a vertex handle moves that vertex; dragging a middle handle inserts a vertex
// there. The line reports the vertex under the pointer in its events (e.vertex), as Google's
// editable lines do. These methods join the line's own (polylines part).
var handleMethods = {
  // Puts the handles where the path's vertices and midpoints are; `skip` (the handle being
  // dragged) stays under the pointer.
  __syncHandles: function (skip) {
    skip = skip || this.__lockHandles || null;
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
    }
    return h;
  }
};
