// The phone page: reads the laptop's event stream and shows it; it sends
// nothing but the requests for itself and its stream.
'use strict';
(function () {
  const TEXTS = {
    de: {
      cyl: 'Zyl. ', cylLong: 'Zylinder ', in: 'OK', near: 'KNAPP', out: 'WEIT', sync: 'SYNCHRON',
      settling: 'Werte beruhigen sich …', noscan: 'Kein Scan', waiting: 'Warte auf Messwerte …',
      nodata: 'Keine Daten', lost: 'Verbindung verloren', rescan: 'Zugang abgelaufen: QR-Code neu scannen',
      ref: 'Bezug: ', tol: 'Toleranz ±', mean: 'Mittelwert', mid: 'Mitte', pairs: 'Paare 1+2 / 3+4',
      tone: 'Ton folgt: ', frames: 'Messungen:', hold: 'HOLD', sep: ',',
      sign: 'Negativ: mehr Unterdruck als die Referenz',
      note: 'Tipp: Die automatische Bildschirmsperre des Telefons lang einstellen – diese Seite kann den ' +
        'Bildschirm nicht eingeschaltet halten.'
    },
    en: {
      cyl: 'Cyl. ', cylLong: 'Cylinder ', in: 'OK', near: 'NEAR', out: 'FAR', sync: 'IN SYNC',
      settling: 'Settling …', noscan: 'No scan', waiting: 'Waiting for readings …',
      nodata: 'No data', lost: 'Connection lost', rescan: 'Access expired: scan the QR code again',
      ref: 'Reference: ', tol: 'tolerance ±', mean: 'Mean', mid: 'Midpoint', pairs: 'Pairs 1+2 / 3+4',
      tone: 'Tone follows: ', frames: 'Readings:', hold: 'HOLD', sep: '.',
      sign: 'Negative: more vacuum than the reference',
      note: 'Tip: set the phone\'s automatic screen lock to a long time – this page cannot keep the ' +
        'screen on.'
    }
  };

  function language() {
    const list = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language || ''];
    for (const l of list) {
      const p = String(l).toLowerCase().split(/[-_]/)[0];
      if (p === 'de' || p === 'en') return p;
    }
    return 'de';
  }

  const lang = language();
  const t = TEXTS[lang];
  const $ = (id) => document.getElementById(id);
  const NO_FRAME_MS = 1000;  // "no data" after a second without a frame
  const SILENT_MS = 3500;    // the laptop sends a sign of life every second

  let source = null;
  let lastFrameNo = null;
  let lastFrameAt = 0;
  let lastMessageAt = 0;
  let frames = 0;
  let lost = false;
  let expired = false;
  let last = null;
  let retryTimer = 0;
  let streams = 0;     // streams that delivered a reading, for the document's observers
  let fresh = false;   // the current stream has delivered nothing yet

  // As the workshop view writes numbers: rounded to the unit, "0" without a
  // sign, "+" before positive values, the real minus sign before negative ones.
  function number(v, dec, withSign) {
    if (v === null || typeof v !== 'number' || !isFinite(v)) return '--';
    let s = Math.abs(v).toFixed(dec);
    const zero = Number(s) === 0;
    if (t.sep !== '.') s = s.replace('.', t.sep);
    if (zero) return s;
    if (v < 0) return '\u2212' + s;
    return withSign ? '+' + s : s;
  }

  function channelName(r, i) {
    return t.cyl + (r.pair ? (2 * i + 1) + '+' + (2 * i + 2) : String(i + 1));
  }

  function referenceName(r) {
    if (r.pair) return t.pairs;
    if (r.ref.kind === 'mid') return t.mid;
    if (r.ref.kind === 'cyl') return t.cylLong + (r.ref.cyl + 1);
    return t.mean;
  }

  function verdict(r) {
    if (!r.active || r.status === 'noscan') return t.noscan;
    if (r.status === 'waiting') return t.waiting;
    if (r.status === 'nodata') return t.nodata;
    if (r.sync) return t.sync;
    if (r.worst >= 0 && r.band[r.worst] !== 'in') {
      return channelName(r, r.worst) + ': ' + number(r.d[r.worst], r.dec, true) + ' ' + r.unit;
    }
    return t.settling;
  }

  function show(r) {
    const count = r.d.length;
    document.documentElement.style.setProperty('--count', String(count));
    for (let i = 0; i < 4; i++) {
      const box = $('c' + i);
      box.hidden = i >= count;
      if (i >= count) continue;
      const shown = r.active && (r.status === 'live' || r.status === 'nodata');
      box.className = 'cyl' + (shown ? ' ' + r.band[i] : '') + (r.tone === i && !r.pair ? ' tone' : '');
      box.querySelector('.name').textContent = channelName(r, i);
      box.querySelector('.word').textContent = shown ? t[r.band[i]] : '';
      const text = shown ? number(r.d[i], r.dec, true) : '--';
      const num = box.querySelector('.num');
      num.textContent = text;
      num.className = 'num' + (text.length > 3 ? ' long' : '');
    }
    const v = $('verdict');
    v.textContent = (r.hold ? t.hold + '  ' : '') + verdict(r);
    v.className = 'verdict' + (r.active && r.status === 'live' && r.sync ? ' sync' : '');
    $('info').textContent = t.ref + referenceName(r) + ' ' + number(r.ref.value, r.dec, false) + ' ' + r.unit +
      '  \u00b7  ' + t.tol + number(r.tol, r.dec, false) + ' ' + r.unit;
    const tone = $('tone');
    tone.hidden = r.tone < 0;
    tone.textContent = r.tone >= 0 ? t.tone + t.cyl + (r.tone + 1) + '  \u00b7 ' : '';
  }

  function banner() {
    const b = $('banner');
    const now = Date.now();
    const noData = last !== null && last.active && now - lastFrameAt > NO_FRAME_MS;
    let text = '';
    if (expired) text = t.rescan;
    else if (lost) text = t.lost;
    else if (noData) text = t.nodata;
    b.hidden = text === '';
    b.textContent = text;
    b.className = 'banner' + (lost || expired ? ' lost' : '');
    document.body.classList.toggle('stale', text !== '');
    document.body.dataset.banner = text === '' ? 'none' : expired ? 'expired' : lost ? 'lost' : 'nodata';
  }

  function onReading(e) {
    let r;
    try { r = JSON.parse(e.data); } catch (err) { return; }
    lastMessageAt = Date.now();
    lost = false;
    expired = false;
    if (fresh) {
      fresh = false;
      document.body.dataset.streams = String(++streams);
    }
    if (lastFrameNo !== null && r.n !== lastFrameNo) {
      frames++;
      lastFrameAt = lastMessageAt;
      $('frames').textContent = String(frames);
      document.body.dataset.frames = String(frames);
    } else if (lastFrameNo === null) {
      lastFrameAt = r.n > 0 ? lastMessageAt : 0;
    }
    lastFrameNo = r.n;
    last = r;
    show(r);
    banner();
  }

  // A stream that the server refused for good: is the link still valid?
  function checkAccess() {
    fetch('/app.css', { method: 'HEAD', cache: 'no-store' }).then((res) => {
      expired = res.status === 403;
      banner();
    }, () => {});
  }

  function connect() {
    clearTimeout(retryTimer);
    if (source) source.close();
    lastMessageAt = Date.now();
    source = new EventSource('/events');
    fresh = true;
    source.addEventListener('reading', onReading);
    source.addEventListener('alive', () => { lastMessageAt = Date.now(); if (lost) { lost = false; banner(); } });
    source.onerror = () => {
      lost = true;
      banner();
      // The browser tries again by itself unless the server refused the stream.
      if (source.readyState === EventSource.CLOSED) {
        checkAccess();
        retryTimer = setTimeout(connect, 2000);
      }
    };
  }

  function wake() {
    if (document.visibilityState === 'visible') connect();
  }

  document.documentElement.lang = lang;
  $('note').textContent = t.note;
  $('framesLabel').textContent = t.frames;
  $('info').title = t.sign;
  document.addEventListener('visibilitychange', wake);
  window.addEventListener('pageshow', (e) => { if (e.persisted) connect(); });
  setInterval(() => {
    // A stream that went silent (the laptop left the network) is opened afresh.
    if (source && !lost && Date.now() - lastMessageAt > SILENT_MS) {
      lost = true;
      connect();
    }
    banner();
  }, 200);
  connect();
})();
