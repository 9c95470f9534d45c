// ---------------------------------------------------------------- web services
// Elevation and geocoding from keyless public services (or the configured ones), answered the
// way Google's services answer: (results, status) to a callback, or a promise without one.
var DEFAULT_ELEVATION = 'https://api.open-meteo.com/v1/elevation?latitude={lat}&longitude={lng}';
var DEFAULT_GEOCODER = 'https://nominatim.openstreetmap.org/search?format=json&limit=5&q={query}';
var REQUEST_TIMEOUT_MS = cfg.timeoutMs || 20000;

function fill(template, values) {
  return String(template).replace(/\{(\w+)\}/g, function (m, k) {
    return values[k] !== undefined ? values[k] : m;
  });
}
function fetchJson(url) {
  // Resolves {status: 'OK', body} or {status: <error kind>}; never rejects.
  if (typeof fetch !== 'function') return Promise.resolve({ status: 'NETWORK' });
  var ctl = typeof AbortController === 'function' ? new AbortController() : null;
  var timer = setTimeout(function () { if (ctl) ctl.abort(); }, REQUEST_TIMEOUT_MS);
  return fetch(url, ctl ? { signal: ctl.signal } : {}).then(function (r) {
    if (r.status === 429) return { status: 'OVER_QUERY_LIMIT' };
    if (r.status === 401 || r.status === 403) return { status: 'REQUEST_DENIED' };
    if (r.status >= 400 && r.status < 500) return { status: 'INVALID_REQUEST' };
    if (!r.ok) return { status: 'SERVER' };
    return r.json().then(function (body) { return { status: 'OK', body: body }; },
      function () { return { status: 'SERVER' }; });
  }, function () { return { status: 'NETWORK' }; }).then(function (res) {
    clearTimeout(timer);
    return res;
  });
}
function deliver(callback, results, status) {
  // Callbacks always run asynchronously, as with the real services.
  if (callback) {
    setTimeout(function () { callback(results, status); }, 0);
    return undefined;
  }
  return status === 'OK' ? Promise.resolve({ results: results })
    : Promise.reject(Object.assign(new Error(status), { code: status }));
}
// A service answers through the caller's callback (results, status) or, without one, as a
// promise that resolves to {results} and rejects with the status, as Google's does.
function answerService(work, callback) {
  if (callback) {
    work.then(function (r) { callback(r.results, r.status); });
    return undefined;
  }
  return work.then(function (r) {
    if (r.status === 'OK') return { results: r.results };
    throw Object.assign(new Error(r.status), { code: r.status });
  });
}

gm.ElevationStatus = {
  OK: 'OK', UNKNOWN_ERROR: 'UNKNOWN_ERROR', OVER_QUERY_LIMIT: 'OVER_QUERY_LIMIT',
  REQUEST_DENIED: 'REQUEST_DENIED', INVALID_REQUEST: 'INVALID_REQUEST'
};
var ELEVATION_CHUNK = 100;  // Open-Meteo takes at most 100 points a request
// Answers: Open-Meteo's {elevation: [metres...]} or {results: [{elevation}...]} (Open-Elevation,
// Google), in the order of the locations asked.
function elevationBatch(locs) {
  var url = fill(cfg.elevation || DEFAULT_ELEVATION, {
    lat: locs.map(function (p) { return p.lat(); }).join(','),
    lng: locs.map(function (p) { return p.lng(); }).join(','),
    locations: locs.map(function (p) { return p.lat() + ',' + p.lng(); }).join('|')
  });
  return fetchJson(url).then(function (res) {
    if (res.status !== 'OK') return res;
    var b = res.body || {}, values = null;
    if (Array.isArray(b.elevation)) values = b.elevation;
    else if (Array.isArray(b.results)) values = b.results.map(function (r) { return r && r.elevation; });
    else if (typeof b.status === 'string' && b.status !== 'OK') return { status: b.status };
    if (!values) return { status: 'SERVER' };
    var out = [];
    for (var i = 0; i < values.length && i < locs.length; i++) {
      var e = Number(values[i]);
      if (values[i] === null || values[i] === undefined || !isFinite(e)) continue;
      out.push({ elevation: e, location: locs[i], resolution: -1 });
    }
    return { status: 'OK', results: out };
  });
}
function ElevationService() {}
ElevationService.prototype.getElevationForLocations = function (req, callback) {
  var locs = ((req && req.locations) || []).map(toLL);
  if (!locs.length || locs.some(function (p) { return !p || !isFinite(p.lat()) || !isFinite(p.lng()); })) {
    return deliver(callback, [], 'INVALID_REQUEST');
  }
  var chunks = [];
  for (var i = 0; i < locs.length; i += ELEVATION_CHUNK) chunks.push(locs.slice(i, i + ELEVATION_CHUNK));
  var work = Promise.all(chunks.map(elevationBatch)).then(function (parts) {
    var results = [];
    for (var k = 0; k < parts.length; k++) {
      if (parts[k].status !== 'OK') {
        var s = parts[k].status;
        return { status: gm.ElevationStatus[s] ? s : 'UNKNOWN_ERROR', results: [] };
      }
      results = results.concat(parts[k].results);
    }
    return { status: 'OK', results: results };
  });
  return answerService(work, callback);
};
gm.ElevationService = ElevationService;

gm.GeocoderStatus = {
  OK: 'OK', ZERO_RESULTS: 'ZERO_RESULTS', ERROR: 'ERROR', INVALID_REQUEST: 'INVALID_REQUEST',
  OVER_QUERY_LIMIT: 'OVER_QUERY_LIMIT', REQUEST_DENIED: 'REQUEST_DENIED', UNKNOWN_ERROR: 'UNKNOWN_ERROR'
};
function geocodeResult(name, lat, lng, bbox) {
  var loc = new LatLng(lat, lng);
  var view = bbox ? new LatLngBounds(new LatLng(bbox[0], bbox[2]), new LatLng(bbox[1], bbox[3]))
    : new LatLngBounds(loc, loc);
  return { formatted_address: name || '', address_components: [], types: [],
    geometry: { location: loc, location_type: 'APPROXIMATE', viewport: view, bounds: view } };
}
// Answers: Nominatim's list ([{lat, lon, display_name, boundingbox: [s, n, w, e]}...]) or
// Google's {results: [{formatted_address, geometry: {location: {lat, lng}}}...]}; null otherwise.
function parseGeocode(body) {
  var list = [];
  if (Array.isArray(body)) {
    body.forEach(function (r) {
      var bb = Array.isArray(r.boundingbox) ? r.boundingbox.map(Number) : null;
      if (bb && !bb.every(isFinite)) bb = null;
      if (isFinite(Number(r.lat)) && isFinite(Number(r.lon))) list.push(geocodeResult(r.display_name, Number(r.lat), Number(r.lon), bb));
    });
  } else if (body && Array.isArray(body.results)) {
    body.results.forEach(function (r) {
      var l = r.geometry && r.geometry.location;
      if (l && isFinite(Number(l.lat)) && isFinite(Number(l.lng))) list.push(geocodeResult(r.formatted_address, Number(l.lat), Number(l.lng), null));
    });
  } else return null;
  return list;
}
function Geocoder() {}
Geocoder.prototype.geocode = function (req, callback) {
  req = req || {};
  if (req.address === undefined || req.address === null || String(req.address).trim() === '') {
    return deliver(callback, [], 'INVALID_REQUEST');
  }
  var url = fill(cfg.geocoder || DEFAULT_GEOCODER, { query: encodeURIComponent(String(req.address)) });
  var work = fetchJson(url).then(function (res) {
    if (res.status === 'NETWORK') return { status: 'ERROR', results: [] };
    if (res.status === 'SERVER') return { status: 'UNKNOWN_ERROR', results: [] };
    if (res.status !== 'OK') return { status: res.status, results: [] };
    var list = parseGeocode(res.body);
    if (!list) return { status: 'UNKNOWN_ERROR', results: [] };
    return { status: list.length ? 'OK' : 'ZERO_RESULTS', results: list };
  });
  return answerService(work, callback);
};
gm.Geocoder = Geocoder;
