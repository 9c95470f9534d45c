// The aircraft glides between position samples instead of jumping from one to the next.
// Between samples it flies on along its track at the speed the last two samples give, so the
// map shows where the aircraft is now; each new sample is eased in within a quarter of a second,
// and the heading turns the short way round. It never flies on more than 2 s past the last
// sample: it waits there, and when no new position has come for 4 s it settles back where the
// last sample put it. A sample more than 10 km from the last one, or behind it on the track (an
// old or replayed one), is a teleport and is shown at once.
//
// It knows nothing of the map: the page hands it what to do with a position and a heading, so
// any page that shows the aircraft can load this file. Frames run on requestAnimationFrame, and
// only when there is something new to draw: the aircraft has moved a pixel or turned. Follow
// mode pans the map in those frames. A hidden page runs no frames, so there each sample is shown
// at once.
//
//   var glide = new TolvexGlide(lat, lng, hdg, {
//     place: function (lat, lng) {...},        // show the aircraft there
//     turn: function (hdg) {...},              // show this heading (whole degrees)
//     follow: function (lat, lng) {...},       // keep the map centred there (follow mode)
//     metres_per_pixel: function (lat) {...}   // optional: the map's scale; without it every frame is drawn
//   });
//   glide.sample(lat, lng, hdg, following);    // each new sample
(function () {
'use strict';

var EASE_MS = 250;           // a new sample is reached within this
var AHEAD_MS = 2000;         // the longest flight past the last sample
var STOPPED_MS = 4000;       // no new position for this long: the samples have stopped
var SPEED_WITHIN_MS = 3000;  // two samples further apart than this give no speed
var TELEPORT_M = 10000;
var FRAME_MS = 16;           // a display frame, about
var UPDATE_MS = 100;         // a moving aircraft's position is brought up to date at least this often
var EARTH_RADIUS = 6378137;  // the sphere the maps measure on

function rad(d) { return d * Math.PI / 180; }

// b - a in degrees, the short way round: [-180, 180).
function turn_between(a, b) { return ((b - a) % 360 + 540) % 360 - 180; }

function wrap_lng(lng) { return lng >= -180 && lng <= 180 ? lng : ((lng + 180) % 360 + 360) % 360 - 180; }

function distance_m(a, b) {
  var s = Math.sin(rad(b.lat - a.lat) / 2), w = Math.sin(rad(turn_between(a.lng, b.lng)) / 2);
  var h = s * s + Math.cos(rad(a.lat)) * Math.cos(rad(b.lat)) * w * w;
  return 2 * EARTH_RADIUS * Math.asin(Math.min(1, Math.sqrt(h)));
}

// Smoothstep: starts and ends with no speed of its own.
function ease(u) { return u <= 0 ? 0 : u >= 1 ? 1 : u * u * (3 - 2 * u); }

function TolvexGlide(lat, lng, hdg, hooks) {
  var t = this.now();
  this.hooks = hooks;
  this.fix = {lat: lat, lng: lng, t: t, sampled: false};  // the last position given
  this.vel = null;                                        // degrees per ms, or none
  this.corr = {lat: 0, lng: 0};  // where the aircraft was shown minus the new fix, eased away
  this.hdg_from = hdg;
  this.hdg_delta = 0;
  this.hdg_to = hdg;
  this.hdg_t = t - EASE_MS;
  this.following = false;
  this.recentre = false;
  this.shown = {lat: lat, lng: lng};
  this.drawn = this.shown;   // where the last frame drew it
  this.panned = this.shown;  // where follow mode last centred the map
  this.shown_hdg = hdg;
  this.running = false;  // a frame or a wake-up is pending
  this.raf = null;
  this.timer = null;
  var self = this;
  document.addEventListener('visibilitychange', function () {
    if (!document.hidden) self.kick();
  });
}

// The page's clock (tests replace it on an instance to step time themselves).
TolvexGlide.prototype.now = function () { return performance.now(); };

// Where the aircraft is shown at time t.
TolvexGlide.prototype.position_at = function (t) {
  var f = this.fix, dt = t - f.t, lat = f.lat, lng = f.lng;
  if (this.vel) {
    var ahead = Math.min(Math.max(dt, 0), AHEAD_MS);
    if (dt >= STOPPED_MS) ahead *= 1 - ease((dt - STOPPED_MS) / EASE_MS);
    lat += this.vel.lat * ahead;
    lng += this.vel.lng * ahead;
  }
  var c = 1 - ease(dt / EASE_MS);
  lat += this.corr.lat * c;
  lng += this.corr.lng * c;
  return {lat: Math.max(-90, Math.min(90, lat)), lng: wrap_lng(lng)};
};

// The heading shown at time t, in whole degrees; the sample's own value once turned.
TolvexGlide.prototype.heading_at = function (t) {
  var u = (t - this.hdg_t) / EASE_MS;
  if (u >= 1) return this.hdg_to;
  var h = Math.round(this.hdg_from + this.hdg_delta * ease(u));
  return (h % 360 + 360) % 360;
};

// A sample behind the last one on the track is older than the aircraft shown.
TolvexGlide.prototype.behind = function (p) {
  var v = this.vel, f = this.fix;
  if (!v) return false;
  var k = Math.cos(rad(f.lat));
  return (p.lat - f.lat) * v.lat + turn_between(f.lng, p.lng) * v.lng * k * k < 0;
};

TolvexGlide.prototype.sample = function (lat, lng, hdg, following) {
  lat = Number(lat);
  lng = Number(lng);
  hdg = Number(hdg);
  var t = this.now(), f = this.fix;
  var shown = this.position_at(t), shown_hdg = this.heading_at(t);
  // A hidden page draws no frames: whatever it shows next must be the sample itself.
  var at_once = document.hidden;
  // A position polled again before the simulator sent a new one tells nothing new.
  if (lat !== f.lat || lng !== f.lng) {
    var p = {lat: lat, lng: lng, t: t, sampled: true};
    var jump = distance_m(f, p) > TELEPORT_M || this.behind(p);
    var dt = t - f.t;
    this.vel = !jump && f.sampled && dt > 0 && dt <= SPEED_WITHIN_MS
        ? {lat: (lat - f.lat) / dt, lng: turn_between(f.lng, lng) / dt} : null;
    at_once = at_once || jump;
    this.corr = at_once ? {lat: 0, lng: 0} : {lat: shown.lat - lat, lng: turn_between(lng, shown.lng)};
    this.fix = p;
  }
  if (at_once) {
    this.hdg_from = this.hdg_to = hdg;
    this.hdg_delta = 0;
    this.hdg_t = t - EASE_MS;
  } else if (hdg !== this.hdg_to) {
    this.hdg_from = shown_hdg;
    this.hdg_delta = turn_between(shown_hdg, hdg);
    this.hdg_to = hdg;
    this.hdg_t = t;
  }
  this.following = !!following;
  // Follow mode puts the aircraft back in the centre at every sample, as without the glide.
  this.recentre = this.following;
  this.apply(t, true);
  this.kick();
};

// Whether the aircraft is shown moving or turning at time t.
TolvexGlide.prototype.moving = function (t) {
  var dt = t - this.fix.t;
  if (dt < EASE_MS || t - this.hdg_t < EASE_MS) return true;
  return !!this.vel && (dt < AHEAD_MS || (dt >= STOPPED_MS && dt < STOPPED_MS + EASE_MS));
};

// One pixel of the map in metres at latitude lat; 0 when the page does not say.
TolvexGlide.prototype.pixel_m = function (lat) {
  return this.hooks.metres_per_pixel ? this.hooks.metres_per_pixel(lat) : 0;
};

// What comes next after time t: {wait: ms, draw: a frame to draw or only a position to bring up
// to date}, or null when the aircraft stands still for good. A frame is drawn when the aircraft
// has moved a pixel, turned, or come to a standstill; in between its position is brought up to
// date every 100 ms all the same (cheap: nothing on the screen changes), so that it never lags.
TolvexGlide.prototype.next_change = function (t) {
  var f = this.fix, dt = t - f.t;
  if (!this.moving(t)) return this.vel && dt < STOPPED_MS ? {wait: STOPPED_MS - dt, draw: true} : null;
  var pixel = this.pixel_m(f.lat);
  if (!pixel || t - this.hdg_t < EASE_MS) return {wait: 0, draw: true};
  var p = this.position_at(t);
  var per_frame = distance_m(p, this.position_at(t + FRAME_MS)) / pixel;
  if (per_frame >= 1) return {wait: 0, draw: true};
  var left = 1 - distance_m(this.drawn, p) / pixel;
  var to_pixel = left <= 0 ? 0 : per_frame > 0 ? left / per_frame * FRAME_MS : Infinity;
  // The end of this stretch of motion: the aircraft is then drawn exactly where it stops.
  var end = dt < EASE_MS ? EASE_MS - dt : dt < AHEAD_MS ? AHEAD_MS - dt : STOPPED_MS + EASE_MS - dt;
  var draw_in = Math.min(to_pixel, end);
  return draw_in <= UPDATE_MS ? {wait: draw_in, draw: true} : {wait: UPDATE_MS, draw: false};
};

// Shows what time t shows. The map follows when a frame is drawn and the aircraft has moved a
// pixel since the map last moved, and whenever it comes to a standstill.
TolvexGlide.prototype.apply = function (t, draw) {
  var hooks = this.hooks, p = this.position_at(t), h = this.heading_at(t);
  if (p.lat !== this.shown.lat || p.lng !== this.shown.lng) {
    hooks.place(p.lat, p.lng);
    this.shown = p;
  }
  if (draw) this.drawn = p;
  if (h !== this.shown_hdg) {
    hooks.turn(h);
    this.shown_hdg = h;
  }
  if (this.following && (p.lat !== this.panned.lat || p.lng !== this.panned.lng || this.recentre)) {
    if (this.recentre || !this.moving(t) || (draw && distance_m(this.panned, p) >= this.pixel_m(p.lat))) {
      hooks.follow(p.lat, p.lng);
      this.panned = p;
    }
  }
  this.recentre = false;
};

// Shows the present, then waits for what comes next. Tests call it with their own clock.
TolvexGlide.prototype.frame = function (draw) {
  var t = this.now();
  this.apply(t, draw !== false);
  this.schedule(t);
};

TolvexGlide.prototype.schedule = function (t) {
  var self = this;
  if (this.timer !== null || this.raf !== null) return;
  var next = this.next_change(t);
  this.running = next !== null && !document.hidden;
  if (!this.running) return;
  var draw = function () {
    self.timer = null;
    self.raf = requestAnimationFrame(function () {
      self.raf = null;
      self.frame(true);
    });
  };
  if (next.draw && next.wait < 2 * FRAME_MS) draw();
  else if (next.draw) this.timer = setTimeout(draw, next.wait - FRAME_MS);
  else this.timer = setTimeout(function () {
    self.timer = null;
    self.frame(false);
  }, next.wait);
};

// Something changed: the next frame comes at once.
TolvexGlide.prototype.kick = function () {
  if (this.timer !== null) {
    clearTimeout(this.timer);
    this.timer = null;
  }
  this.schedule(this.now());
};

// A glide for a page on the google.maps API (either provider): `marker` placed, `map` followed
// and its scale read; `turn` shows a heading.
TolvexGlide.onMap = function (map, marker, hdg, turn) {
  var at = marker.getPosition();
  return new TolvexGlide(at.lat(), at.lng(), hdg, {
    place: function (lat, lng) { marker.setPosition(new google.maps.LatLng(lat, lng)); },
    turn: turn,
    follow: function (lat, lng) { map.setCenter(new google.maps.LatLng(lat, lng)); },
    metres_per_pixel: function (lat) {
      return 156543.03392 * Math.cos(lat * Math.PI / 180) / Math.pow(2, map.getZoom());
    }
  });
};

window.TolvexGlide = TolvexGlide;
})();
