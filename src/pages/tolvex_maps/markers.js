// ---------------------------------------------------------------- marker images
var DEFAULT_PIN = 'data:image/svg+xml,' + encodeURIComponent(
  '<svg xmlns="http://www.w3.org/2000/svg" width="22" height="36" viewBox="0 0 22 36">' +
  '<path d="M11 35C11 35 1.5 20.5 1.5 11a9.5 9.5 0 0 1 19 0C20.5 20.5 11 35 11 35z" fill="#ea4335" stroke="#a52714" stroke-width="1.5"/>' +
  '<circle cx="11" cy="11" r="3.5" fill="#7b1b0f"/></svg>');
var imageSizes = Object.create(null);  // url -> {w, h} once known

function cssUrl(u) { return 'url("' + String(u).replace(/["\\]/g, '\\$&').replace(/[\r\n]/g, '') + '")'; }

// Styles el (a div that keeps its identity) as the given icon: a MarkerImage, an object with the
// same fields, or an address. Returns the anchor used.
function styleImage(el, icon, isShadow, onSizeKnown) {
  var s = el.style;
  if (!icon) {
    if (isShadow) { s.display = 'none'; el.__tvKey = null; return null; }
    icon = { url: DEFAULT_PIN, size: new Size(22, 36) };
  }
  var im = typeof icon === 'string' ? { url: icon } : icon;
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
  ['click', 'dblclick'].forEach(function (name) {
    lm.on(name, function (e) { trigger(self, name, mouseEvent(e)); });
  });
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
  this.__v = { visible: true, draggable: false, icon: undefined };
  this.icon_changed();
  this.setValues(opts);
}
inherit(Marker, MVCObject);
accessors(Marker.prototype, ['map', 'position', 'icon', 'shadow', 'title', 'visible', 'draggable', 'zIndex']);
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
// Among markers, a higher zIndex is drawn above (Leaflet adds the marker's height on screen).
Marker.prototype.zIndex_changed = function () {
  var z = Number(this.get('zIndex'));
  this.__lm.setZIndexOffset(isFinite(z) ? z : 0);
};
Marker.prototype.draggable_changed = function () {
  var d = !!this.get('draggable');
  this.__lm.options.draggable = d;
  if (this.__lm.dragging) { if (d) this.__lm.dragging.enable(); else this.__lm.dragging.disable(); }
};
Marker.MAX_ZINDEX = 1000000;
gm.Marker = Marker;

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
  };
  this.setValues(opts || {});
}
inherit(InfoWindow, MVCObject);
accessors(InfoWindow.prototype, ['content', 'position']);
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
  // One relayout per frame however often the text changes (the popup does not pan then).
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
};
// Opens on the anchor (a marker) or at the window's position. Like Google's, the map pans to
// show the window when it opens and never afterwards: a new text or a moving anchor leaves the
// map where the pilot has it.
InfoWindow.prototype.open = function (map, anchor) {
  if (!map || !map.__l) return;
  var self = this, pos = null, offsetY = 7;
  if (anchor) {
    pos = toLL(anchor.getPosition());
    if (anchor.__anchor) offsetY = 7 - anchor.__anchor.y;
  }
  if (!pos) pos = toLL(this.get('position'));
  if (!pos) return;
  if (this.__open && this.__open !== map.__l) this.close();
  this.__detach();
  var popup = this.__popup;
  if (!popup) {
    popup = this.__popup = L.popup({
      autoClose: false, closeOnClick: false, closeOnEscapeKey: false, className: 'tv-infowindow', autoPan: false
    });
    popup.setContent(this.__box);
    popup.on('remove', this.__onRemove);
  }
  popup.options.offset = L.point(0, offsetY);
  popup.setLatLng(toL(pos));
  this.__open = map.__l;
  popup.options.autoPan = true;
  try {
    if (!map.__l.hasLayer(popup)) map.__l.addLayer(popup);
    else popup.update();
  } finally {
    popup.options.autoPan = false;
  }
  if (anchor) {
    this.__follow.push(addListener(anchor, 'position_changed', function () {
      var p = toLL(anchor.getPosition());
      if (p && self.__popup) self.__popup.setLatLng(toL(p));
    }));
    this.__follow.push(addListener(anchor, 'map_changed', function () {
      if (!anchor.getMap()) self.close();
    }));
  }
};
InfoWindow.prototype.close = function () {
  var lmap = this.__open;
  this.__detach();
  if (lmap && this.__popup && lmap.hasLayer(this.__popup)) {
    this.__closing = true;
    try { lmap.removeLayer(this.__popup); } finally { this.__closing = false; }
  }
};
InfoWindow.prototype.getMap = function () { return this.__open ? this.__open.__tvMap : undefined; };
gm.InfoWindow = InfoWindow;
