// Allegro in a browser tab: what the drivers ask of the page. The canvas is
// Module.canvas; the song goes to Module.midiOut(status, data1, data2) when
// the page has Web Audio (it holds the song's settings until its synthesizer
// is ready). Key events wait in a queue until the program's next yield reads
// them.
mergeInto(LibraryManager.library, {
  $webKeys: [],

  web_js_init__deps: ['$webKeys'],
  web_js_init: function (codes, count) {
    // The keys the keyboard driver reads (wsystem.c names them) must not
    // scroll the page or open a menu.
    var handled = new Set(HEAPU8.subarray(codes, codes + count));
    var queue = function (e, down) {
      if (e.repeat || e.ctrlKey || e.metaKey || !handled.has(e.keyCode)) return;
      e.preventDefault();
      webKeys.push((e.keyCode << 2) | (e.location === 2 ? 2 : 0) | (down ? 1 : 0));
      if (Module.onKey) Module.onKey(e.keyCode, down);
    };
    window.addEventListener('keydown', function (e) { queue(e, true); });
    window.addEventListener('keyup', function (e) { queue(e, false); });
    // A tab that loses the focus gets no key-up events: every key goes up.
    window.addEventListener('blur', function () {
      handled.forEach(function (c) { webKeys.push(c << 2); webKeys.push((c << 2) | 2); });
    });
  },

  web_js_take_key__deps: ['$webKeys'],
  web_js_take_key: function () {
    return webKeys.length ? webKeys.shift() : -1;
  },

  web_js_message: function (text) {
    if (Module.printErr) Module.printErr(UTF8ToString(text));
  },

  web_js_sleep__sig: 'vi',
  web_js_sleep: function (ms) {
    return Asyncify.handleSleep(function (wakeUp) {
      setTimeout(wakeUp, ms);
    });
  },

  web_js_wait_frame__sig: 'v',
  web_js_wait_frame: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      requestAnimationFrame(function () { wakeUp(); });
    });
  },

  web_js_show: function (rgba, w, h) {
    var canvas = Module.canvas;
    if (!canvas) return;
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
    var context = Module.canvasContext || (Module.canvasContext = canvas.getContext('2d'));
    var bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4);
    context.putImageData(new ImageData(bytes, w, h), 0, 0);
    Module.framesShown = (Module.framesShown || 0) + 1;
  },

  web_js_midi_ready: function () {
    return Module.midiOut ? 1 : 0;
  },

  web_js_midi: function (status, data1, data2) {
    if (Module.midiOut) Module.midiOut(status, data1, data2);
  },
});
