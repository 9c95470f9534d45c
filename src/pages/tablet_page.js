// The tablet page's own script: draws what the main map shows from the data Tolvex sends over
// the socket (JSON, never script), with the main page's names for what it draws (marcador,
// polyShape, espacios, nomespacios, marcapos, rutades, gmarkers). It sends nothing back; the
// browser answers the server's pings by itself. Loaded before Leaflet and the map provider, so
// that the provider finds its tile addresses in window.TOLVEX_MAPS.

var ajustes = (function () {
  try {
    return JSON.parse(document.getElementById('ajustes').textContent) || {};
  } catch (e) {
    return {};
  }
})();
window.TOLVEX_MAPS = { tiles: ajustes.tiles || {} };

var RECONEXION_MS = 2000;
var TEXTO_SIN_DATOS = 'Sin datos del simulador';
var TEXTO_CONECTANDO = 'Conectando con Tolvex...';
var TEXTO_SIN_CONEXION = 'Sin conexión con Tolvex. Reintentando...';
var TEXTO_CLAVE_NUEVA = 'La clave ha cambiado: abra la dirección nueva que muestra Tolvex.';
var CIERRE_CLAVE_NUEVA = 4001;  // the server's close code for a new key

var map;
var marcador;
var heading = 90;
var polyShape;
var pinicio;
var pfin;
var gmarkers = [];
var marcapos;
var rutades;
var espacios = [];
var nomespacios = [];
var seguir = true;
var seguirElegido = false;  // the pilot chose on the tablet: the main map's mode no longer applies
var hayDatos = false;
var enlace = null;
var enlaceAbierto = false;
var claveCaducada = false;
var avionVisto = false;
var estado = {};
var suaveQuerido = false;  // the main map's "Movimiento suave": the aircraft glides (glide.js)
var planeo = null;
var rumboMostrado = 90;

// Heading sectors of the aircraft icons, inclusive bounds, in the order they are tested (the
// main page's table): the last matching row wins.
var sectores = [
  [355, 6, 'N'], [7, 17, 'N4NE'], [18, 28, 'NNE'], [29, 39, 'NE4N'], [40, 50, 'NE'], [51, 61, 'NE4E'],
  [62, 73, 'ENE'], [74, 84, 'E4NE'], [85, 96, 'E'], [97, 107, 'E4SE'], [108, 118, 'ESE'], [119, 129, 'SE4E'],
  [130, 140, 'SE'], [141, 151, 'SE4S'], [152, 163, 'SSE'], [164, 174, 'S4SE'], [175, 186, 'S'],
  [187, 197, 'S4SW'], [198, 208, 'SSW'], [209, 219, 'SW4S'], [220, 231, 'SW'], [232, 242, 'SW4W'],
  [243, 254, 'WSW'], [255, 265, 'W4SW'], [266, 275, 'W'], [276, 287, 'W4NW'], [288, 298, 'WNW'],
  [299, 309, 'NW4W'], [310, 320, 'NW'], [321, 332, 'NW4N'], [333, 343, 'NNW'], [344, 355, 'N4NW']
];
var iconos = {};

function conClave(nombre) {
  return nombre + '?clave=' + encodeURIComponent(ajustes.clave || '');
}

function enSector(hdg, fila) {
  if (fila[0] > fila[1]) return hdg >= fila[0] || hdg <= fila[1];
  return hdg >= fila[0] && hdg <= fila[1];
}

function iconoDeFila(fila) {
  var nombre = fila[2];
  if (!iconos[nombre]) {
    iconos[nombre] = new google.maps.MarkerImage(conClave('Avion' + nombre + '.png'),
      new google.maps.Size(32, 32), new google.maps.Point(0, 0), new google.maps.Point(16, 16));
  }
  return iconos[nombre];
}

function iconoDeRumbo(hdg) {
  var icono = iconoDeFila(sectores[0]);
  for (var i = 0; i < sectores.length; i++) {
    if (enSector(hdg, sectores[i])) icono = iconoDeFila(sectores[i]);
  }
  return icono;
}

function numero(v) {
  return typeof v === 'number' && isFinite(v);
}

function textoSeguro(texto) {
  return String(texto).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
    .replace(/"/g, '&quot;').replace(/'/g, '&#39;');
}

function marca(nombre) {
  return (ajustes.marcas && ajustes.marcas[nombre]) || null;
}

// ---------------------------------------------------------------- what the main page does

// The icon of the sector `hdg` enters coming from `anterior`; a later row overrides an earlier one.
function cambiarIcono(hdg, anterior) {
  for (var i = 0; i < sectores.length; i++) {
    if (enSector(hdg, sectores[i]) && !enSector(anterior, sectores[i])) marcador.setIcon(iconoDeFila(sectores[i]));
  }
}

function MueveAvion(lt, ln, hdg, auto) {
  var posicion = new google.maps.LatLng(lt, ln);
  if (planeo) {
    planeo.sample(lt, ln, hdg, auto == 1);
  } else {
    marcador.setPosition(posicion);
    cambiarIcono(hdg, heading);
  }
  heading = hdg;
  marcador.setTitle('Rumbo: ' + hdg);
  if (auto == 1 && !planeo) map.panTo(posicion);
  if (rutades) {
    rutades.getPath().setAt(1, posicion);
    actualizatitulos();
  }
}

function AgregarPunto(Lati, Longi) {
  var punto = new google.maps.LatLng(Lati, Longi);
  var path = polyShape.getPath();
  path.push(punto);
  var n = path.getLength();
  var imagen = function (nombre) {
    var url = marca(nombre);
    return url ? new google.maps.MarkerImage(url, new google.maps.Size(20, 20), new google.maps.Point(0, 0),
      new google.maps.Point(5, 20)) : null;
  };
  if (n == 1) {
    pinicio = new google.maps.Marker({ position: punto, map: map, icon: imagen('azul') });
  } else if (n == 2) {
    pfin = new google.maps.Marker({ position: punto, map: map, icon: imagen('roja') });
  } else {
    pfin.setPosition(punto);
  }
}

function clearRuta() {
  var path = polyShape.getPath();
  var n = path.getLength();
  if (n > 0) {
    pinicio.setMap(null);
    if (n >= 2) pfin.setMap(null);
    while (path.getLength() > 0) path.pop();
  }
}

function cambiarLinea(lw, cl, op) {
  polyShape.setOptions({ strokeColor: cl, strokeOpacity: op, strokeWeight: lw });
}

function NuevoPoligono(carea, cnombre, color, ccoords, grosor) {
  var vertices = [];
  for (var i = 0; i < ccoords.length; i++) vertices.push(new google.maps.LatLng(ccoords[i][1], ccoords[i][0]));
  if (vertices.length > 1) vertices.push(vertices[0]);
  var contorno = new google.maps.Polyline({
    path: vertices, clickable: false, strokeColor: color, strokeOpacity: 1.0, strokeWeight: grosor || 2, map: map
  });
  espacios.push(contorno);
  nomespacios.push(cnombre);
}

// Distance and course from the aircraft to the pilot's marker, as the main page words them.
function actualizatitulos() {
  var caja = document.getElementById('rumbo');
  if (!rutades || rutades.getPath().getLength() != 2) {
    caja.hidden = true;
    return;
  }
  var desde = rutades.getPath().getAt(0);
  var hasta = rutades.getPath().getAt(1);
  var distancia = Math.round(
    google.maps.geometry.spherical.computeDistanceBetween(desde, hasta) * 0.000539956803455723);
  var h = Math.round(google.maps.geometry.spherical.computeHeading(desde, hasta));
  if (h == -180) h = 180;
  var rumbo = h < 0 ? (360 + h > 180 ? 360 + h - 180 : 360 + h) : h + 180;
  var texto = 'Distancia: ' + distancia + ' nm. Rumbo: ' + rumbo;
  marcapos.setTitle(texto);
  caja.textContent = texto;
  caja.hidden = false;
}

// ---------------------------------------------------------------- state sections

function dibujarRuta(ruta) {
  clearRuta();
  if (!ruta || !Array.isArray(ruta.puntos)) return;
  ruta.puntos.forEach(function (p) {
    if (Array.isArray(p) && numero(p[0]) && numero(p[1])) AgregarPunto(p[0], p[1]);
  });
  cambiarLinea(numero(ruta.ancho) ? ruta.ancho : 4, String(ruta.color || '#000000'),
    numero(ruta.opacidad) ? ruta.opacidad : 1);
}

function dibujarEspacios(lista) {
  espacios.forEach(function (e) { e.setMap(null); });
  espacios = [];
  nomespacios = [];
  if (!Array.isArray(lista)) return;
  lista.forEach(function (a) {
    if (!a || !Array.isArray(a.trozos)) return;
    a.trozos.forEach(function (trozo) {
      if (!Array.isArray(trozo)) return;
      var puntos = trozo.filter(function (p) { return Array.isArray(p) && numero(p[0]) && numero(p[1]); });
      NuevoPoligono(String(a.etiqueta || ''), String(a.nombre || ''), String(a.color || '#FF0000'), puntos,
        numero(a.grosor) ? a.grosor : 2);
    });
  });
}

// Each point shows from its own zoom level up, as on the main map, so that labels never pile up.
function mostrarVfrSegunZoom() {
  var zoom = map.getZoom();
  gmarkers.forEach(function (m) { m.setMap(zoom >= m.zmin ? map : null); });
}

function dibujarVfr(lista) {
  gmarkers.forEach(function (m) { m.setMap(null); });
  gmarkers = [];
  if (!Array.isArray(lista) || typeof MarkerWithLabel !== 'function') return;
  var url = marca('naranja');
  var imagen = url ? new google.maps.MarkerImage(url, new google.maps.Size(20, 20), new google.maps.Point(20, 0),
    new google.maps.Point(0, 10)) : null;
  lista.forEach(function (p) {
    if (!p || !numero(p.lat) || !numero(p.lng)) return;
    var marker = new MarkerWithLabel({
      position: new google.maps.LatLng(p.lat, p.lng), draggable: false, raiseOnDrag: false,
      icon: imagen, labelContent: textoSeguro(p.nombre == null ? '' : p.nombre),
      labelAnchor: new google.maps.Point(-11, 13), labelClass: 'labels', labelStyle: { opacity: 0.90 }
    });
    marker.zmin = numero(p.zoom) ? p.zoom : 1;
    gmarkers.push(marker);
  });
  mostrarVfrSegunZoom();
}

function dibujarRutaDinamica(rd) {
  if (marcapos) {
    marcapos.setMap(null);
    rutades.setMap(null);
    marcapos = null;
    rutades = null;
  }
  if (rd && numero(rd.lat) && numero(rd.lng)) {
    var punto = new google.maps.LatLng(rd.lat, rd.lng);
    marcapos = new google.maps.Marker({ position: punto, map: map });
    rutades = new google.maps.Polyline({
      path: [punto, marcador.getPosition()], geodesic: true, strokeOpacity: 0, map: map,
      icons: [{
        icon: {
          path: 'M 0,-1 0,1', strokeColor: String(rd.color || '#000000'),
          strokeOpacity: numero(rd.opacidad) ? rd.opacidad : 1, strokeWeight: numero(rd.ancho) ? rd.ancho : 4, scale: 4
        },
        offset: '0', repeat: '20px'
      }]
    });
  }
  actualizatitulos();
}

function aplicarAvion(avion) {
  if (!avion) return;
  hayDatos = avion.datos === true;
  if (numero(avion.lat) && numero(avion.lng) && numero(avion.hdg)) moverAvion(avion.lat, avion.lng, avion.hdg);
  mostrarAviso();
}

function aplicarMapa(ajuste) {
  if (!ajuste) return;
  var tipo = google.maps.MapTypeId[String(ajuste.tipo)];
  if (tipo) map.setMapTypeId(tipo);
  suaveQuerido = ajuste.suave === true;
  if (!suaveQuerido) planeo = null;
  if (!seguirElegido && typeof ajuste.seguir === 'boolean') ponerSeguir(ajuste.seguir);
}

// A state message holds the sections that changed; each is drawn anew from its data.
function aplicarEstado(partes) {
  var dibujar = {
    mapa: aplicarMapa, ruta: dibujarRuta, espacios: dibujarEspacios, vfr: dibujarVfr,
    rutadin: dibujarRutaDinamica, avion: aplicarAvion
  };
  Object.keys(dibujar).forEach(function (nombre) {
    if (!Object.prototype.hasOwnProperty.call(partes, nombre)) return;
    estado[nombre] = partes[nombre];
    try {
      dibujar[nombre](partes[nombre]);
    } catch (e) {
      if (window.console) console.error('tablet_page.js: ' + nombre + ': ' + e);
    }
  });
}

// Glides from where the aircraft is shown now, as the main map does.
function crearPlaneo() {
  rumboMostrado = heading;
  return TolvexGlide.onMap(map, marcador, heading, function (hdg) {
    cambiarIcono(hdg, rumboMostrado);
    rumboMostrado = hdg;
  });
}

function moverAvion(lt, ln, hdg) {
  var primera = !avionVisto;
  avionVisto = true;
  if (primera) marcador.setMap(map);
  if (suaveQuerido && !planeo && !primera && window.TolvexGlide) planeo = crearPlaneo();
  MueveAvion(lt, ln, Math.round(hdg), seguir || primera ? 1 : 0);
}

// ---------------------------------------------------------------- the socket

function mostrarAviso() {
  var aviso = document.getElementById('aviso');
  var texto = claveCaducada ? TEXTO_CLAVE_NUEVA :
    !enlaceAbierto ? (enlace === null ? TEXTO_CONECTANDO : TEXTO_SIN_CONEXION) :
    !hayDatos ? TEXTO_SIN_DATOS : '';
  aviso.textContent = texto;
  aviso.hidden = texto === '';
}

function recibir(evento) {
  var m;
  try {
    m = JSON.parse(evento.data);
  } catch (e) {
    return;
  }
  if (!m || typeof m !== 'object') return;
  if (m.tipo === 'muestra') {
    if (!numero(m.lat) || !numero(m.lng) || !numero(m.hdg)) return;
    hayDatos = true;
    moverAvion(m.lat, m.lng, m.hdg);
    mostrarAviso();
  } else if (m.tipo === 'datos') {
    hayDatos = m.hay === true;
    mostrarAviso();
  } else if (m.tipo === 'estado') {
    aplicarEstado(m);
  }
}

function conectar() {
  var direccion = 'ws://' + location.host + '/enlace?clave=' + encodeURIComponent(ajustes.clave || '');
  var socket;
  try {
    socket = new WebSocket(direccion);
  } catch (e) {
    setTimeout(conectar, RECONEXION_MS);
    return;
  }
  enlace = socket;
  socket.onopen = function () {
    enlaceAbierto = true;
    mostrarAviso();
  };
  socket.onmessage = recibir;
  socket.onclose = function (evento) {
    if (enlace !== socket) return;
    enlaceAbierto = false;
    // Dropped for a new key: this address will never open again.
    if (evento.code === CIERRE_CLAVE_NUEVA) claveCaducada = true;
    mostrarAviso();
    if (!claveCaducada) setTimeout(conectar, RECONEXION_MS);
  };
}

// ---------------------------------------------------------------- controls

function ponerSeguir(activo) {
  seguir = activo;
  var boton = document.getElementById('seguir');
  boton.setAttribute('aria-pressed', activo ? 'true' : 'false');
  boton.textContent = activo ? 'Seguir avión' : 'Mapa libre';
  if (activo && avionVisto) map.panTo(marcador.getPosition());
}

function load() {
  if (!window.google || !google.maps || !google.maps.Map) {
    document.getElementById('aviso').textContent = 'No se ha podido cargar el mapa.';
    return;
  }
  map = new google.maps.Map(document.getElementById('map'), {
    zoom: 9, center: new google.maps.LatLng(40.4168, -3.7038), mapTypeId: google.maps.MapTypeId.ROADMAP,
    mapTypeControl: false, streetViewControl: false, disableDoubleClickZoom: true
  });
  // The page's own zoom buttons, with Spanish names, take the place of the map library's.
  if (map.__l && map.__l.zoomControl) map.__l.zoomControl.remove();
  marcador = new google.maps.Marker({
    position: map.getCenter(), icon: iconoDeRumbo(heading),
    shadow: new google.maps.MarkerImage(conClave('AvionSHW.png'), new google.maps.Size(32, 32),
      new google.maps.Point(0, 0), new google.maps.Point(16, 16))
  });
  polyShape = new google.maps.Polyline({ path: [], strokeColor: '#000000', strokeOpacity: 1.0, strokeWeight: 3, map: map });
  google.maps.event.addListener(map, 'zoom_changed', mostrarVfrSegunZoom);
  document.getElementById('seguir').addEventListener('click', function () {
    seguirElegido = true;
    ponerSeguir(!seguir);
  });
  document.getElementById('acercar').addEventListener('click', function () { map.setZoom(map.getZoom() + 1); });
  document.getElementById('alejar').addEventListener('click', function () { map.setZoom(map.getZoom() - 1); });
  mostrarAviso();
  conectar();
}

window.addEventListener('load', load);
