// The aircraft glides between position samples instead of jumping from one to the next.
// Between samples it flies on along its track at the speed the last two samples give, so the
// map shows where the aircraft is now; each new sample is eased in within a quarter of a second,
// and the heading turns the short way round. It never flies on more than 2 s past the last
// sample: it waits there, and when no new position has come for 4 s it settles back where the
// last sample put it. A sample more than 10 km from the last one, or behind it on the track (an
// old or replayed one), is a teleport and is shown at once.
//
// It knows nothing of the map: the page hands it what to do with a position and a heading, so
// any page that shows the aircraft can load this file. Frames run on requestAnimationFrame only
// while something moves, and only as often as the aircraft moves half a pixel; a hidden page
// runs no frames, so there each sample is shown at once.
//
//   var glide = new TolvexGlide(lat, lng, hdg, {
//     place: function (lat, lng) {...},        // show the aircraft there
//     turn: function (hdg) {...},              // show this heading (whole degrees)
//     follow: function (lat, lng) {...},       // keep the map centred there (follow mode)
//     metres_per_pixel: function (lat) {...}   // optional: the map's scale, to skip unseen steps
//   });
//   glide.sample(lat, lng, hdg, following);    // each new sample
(function () {
'use strict';

var EASE_MS = 250;           // a new sample is reached within this
var AHEAD_MS = 2000;         // the longest flight past the last sample
var STOPPED_MS = 4000;       // no new position for this long: the samples have stopped
var SPEED_WITHIN_MS = 3000;  // two samples further apart than this give no speed
var TELEPORT_M = 10000;
var STEP_PX = 0.5;           // a smaller move is not drawn while the aircraft glides
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
  this.apply(t);
  this.kick();
};

// How long nothing need be drawn from time t: 0 for the next frame, Infinity when all is still.
TolvexGlide.prototype.wait_from = function (t) {
  var dt = t - this.fix.t;
  if (dt < EASE_MS || t - this.hdg_t < EASE_MS) return 0;
  if (!this.vel) return Infinity;
  if (dt < AHEAD_MS) {
    var hooks = this.hooks, at = this.position_at(t);
    var step = hooks.metres_per_pixel ? STEP_PX * hooks.metres_per_pixel(at.lat) : 0;
    var speed = distance_m(this.fix, {lat: this.fix.lat + this.vel.lat, lng: this.fix.lng + this.vel.lng});
    var left = step - distance_m(this.shown, at);
    return Math.min(left > 0 && speed > 0 ? left / speed : 0, AHEAD_MS - dt);
  }
  if (dt < STOPPED_MS) return STOPPED_MS - dt;
  if (dt < STOPPED_MS + EASE_MS) return 0;
  return Infinity;
};

// Draws what time t shows. While the aircraft glides a move of less than half a pixel waits for
// the next one; once it stands still it is drawn exactly where it stands.
TolvexGlide.prototype.apply = function (t) {
  var hooks = this.hooks, p = this.position_at(t), h = this.heading_at(t);
  var gliding = this.wait_from(t) < Infinity && t - this.fix.t < AHEAD_MS;
  var placed = false;
  if (p.lat !== this.shown.lat || p.lng !== this.shown.lng) {
    var step = gliding && hooks.metres_per_pixel ? STEP_PX * hooks.metres_per_pixel(p.lat) : 0;
    if (!step || distance_m(this.shown, p) >= step) {
      hooks.place(p.lat, p.lng);
      this.shown = p;
      placed = true;
    }
  }
  if (h !== this.shown_hdg) {
    hooks.turn(h);
    this.shown_hdg = h;
  }
  if (this.following && (placed || this.recentre)) hooks.follow(this.shown.lat, this.shown.lng);
  this.recentre = false;
};

// One frame: draw the present, then ask for the next one when something is still to move.
TolvexGlide.prototype.frame = function () {
  var t = this.now();
  this.apply(t);
  this.schedule(t);
};

TolvexGlide.prototype.schedule = function (t) {
  var self = this;
  if (this.timer !== null || this.raf !== null) return;
  var wait = this.wait_from(t);
  this.running = wait < Infinity && !document.hidden;
  if (!this.running) return;
  var next = function () {
    self.timer = null;
    self.raf = requestAnimationFrame(function () {
      self.raf = null;
      self.frame();
    });
  };
  // Frames come every 16 ms or so; a longer wait sleeps on a timer, which costs nothing.
  if (wait < 40) next();
  else this.timer = setTimeout(next, wait - 20);
};

// Something changed: the next frame comes at once.
TolvexGlide.prototype.kick = function () {
  if (this.timer !== null) {
    clearTimeout(this.timer);
    this.timer = null;
  }
  this.schedule(this.now());
};

window.TolvexGlide = TolvexGlide;
})();
