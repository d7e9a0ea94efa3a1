// The tree in 3-D on the canvas's place: WebGL 2, a 32-byte record a branch in a float texture
// from which the vertex shader builds each limb's solid, lit as the desktop's view is. The camera, the shaders
// and the records come from the core; the records grow in a worker of their own and stream in.
// One finger or the left button orbits, the wheel or a pinch zooms toward the pointer, the right
// button or two fingers pan, a double click or Home frames the whole tree. Until the camera is
// moved, it keeps the tree framed as it grows.
const kRecordFloats = 8;
const kZoomPerNotch = 0.85;

export class View3D {
  // `onChange` hears of progress ({grown, expected, going}); `worker` makes a worker.
  constructor(canvas, note, core, { onChange, worker }) {
    this.canvas = canvas;
    this.note = note;
    this.core = core;
    this.onChange = onChange;
    this.newWorker = worker;
    this.camera = new core.OrbitCamera();
    this.box = { low: [0, 0, 0], high: [0, 0, 0], empty: true };
    this.autoFrame = true;
    this.solids = 0;
    this.ribbons = 0;
    this.expected = 0;
    this.key = null;
    this.run = null;
    this.nextId = 1;
    // Its buffer kept after each frame, so that a frame can be read back as it was shown.
    this.gl = canvas.getContext('webgl2', { antialias: true, preserveDrawingBuffer: true });
    // The benchmark (bench/scene-bench.mjs) times frames through the canvas.
    canvas.view3d = this;
    this.trouble = this.gl ? this.build() : 'The 3-D view needs WebGL 2, which this browser does not offer.';
    this.pointers = new Map();
    canvas.addEventListener('pointerdown', (e) => this.press(e));
    canvas.addEventListener('pointermove', (e) => this.move(e));
    for (const end of ['pointerup', 'pointercancel']) {
      canvas.addEventListener(end, (e) => this.pointers.delete(e.pointerId));
    }
    canvas.addEventListener('wheel', (e) => this.wheel(e), { passive: false });
    canvas.addEventListener('dblclick', () => this.frame());
    canvas.addEventListener('contextmenu', (e) => e.preventDefault());
    canvas.addEventListener('keydown', (e) => {
      if (e.key === 'Home') {
        this.frame();
      }
    });
  }

  // The one line shown where the view cannot be; empty while it works.
  get unavailable() {
    return this.trouble;
  }

  build() {
    const { gl, core } = this;
    const compile = (type, source) => {
      const shader = gl.createShader(type);
      gl.shaderSource(shader, source);
      gl.compileShader(shader);
      return shader;
    };
    const program = gl.createProgram();
    gl.attachShader(program, compile(gl.VERTEX_SHADER, core.vertexShader()));
    gl.attachShader(program, compile(gl.FRAGMENT_SHADER, core.fragmentShader()));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
      return 'The 3-D view\'s shaders did not build on this browser\'s WebGL 2.';
    }
    this.program = program;
    this.uniforms = Object.fromEntries(['viewMatrix', 'projectionMatrix', 'barkColour', 'skyUp',
      'ribbons', 'eye', 'first', 'records']
      .map((name) => [name, gl.getUniformLocation(program, name)]));
    this.vertexArray = gl.createVertexArray();
    this.texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, this.texture);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
    this.textureWidth = core.recordTextureWidth;
    this.perRow = this.textureWidth / 2;
    // The most records the largest texture holds.
    this.most = gl.getParameter(gl.MAX_TEXTURE_SIZE) * this.perRow;
    return '';
  }

  // Grows the entry's tree of `expected` branches at most, unless the view holds or grows it
  // already, whatever the picture's view.
  setTree(entry, expected) {
    const key = JSON.stringify({ ...entry, view: null });
    if (this.trouble || key === this.key) {
      return;
    }
    this.stop();
    this.key = key;
    this.expected = Math.min(Math.max(expected, 1), this.most);
    this.solids = 0;
    this.ribbons = 0;
    this.box = { low: [0, 0, 0], high: [0, 0, 0], empty: true };
    // The whole tree's room at once, so that streaming never copies what is there.
    const { gl } = this;
    gl.bindTexture(gl.TEXTURE_2D, this.texture);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA32F, this.textureWidth,
      Math.ceil(this.expected / this.perRow), 0, gl.RGBA, gl.FLOAT, null);
    const id = this.nextId++;
    const worker = this.newWorker();
    this.run = { id, worker };
    performance.mark('scene-start');
    worker.onmessage = ({ data }) => {
      if (!this.run || data.id !== id) {
        return;
      }
      if (data.kind === 'records') {
        this.add(data.solids, data.ribbons);
      } else if (data.kind === 'grown') {
        worker.terminate();
        this.run = null;
        if (data.box && !data.box.empty) {
          this.box = data.box;
        }
        this.changed();
      }
    };
    worker.postMessage({ kind: 'records', id, entry });
    this.changed();
  }

  // The solids go into the GPU's texture from its start, the ribbons from its end.
  add(solids, ribbons) {
    const { gl } = this;
    gl.bindTexture(gl.TEXTURE_2D, this.texture);
    // Row by row: a run of records from `at` on.
    const put = (at, records, count) => {
      for (let from = 0; from < count;) {
        const slot = at + from;
        const column = slot % this.perRow;
        const run = Math.min(count - from, this.perRow - column);
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 2 * column, Math.floor(slot / this.perRow), 2 * run, 1,
          gl.RGBA, gl.FLOAT, records, from * kRecordFloats);
        from += run;
      }
    };
    const room = () => this.expected - this.solids - this.ribbons;
    const newSolids = Math.min(solids.length / kRecordFloats, room());
    put(this.solids, solids, newSolids);
    this.solids += newSolids;
    const newRibbons = Math.min(ribbons.length / kRecordFloats, room());
    put(this.expected - this.ribbons - newRibbons, ribbons, newRibbons);
    this.ribbons += newRibbons;
    // The box of what has come: each end and its radius all round.
    const box = this.box;
    for (const [records, count] of [[solids, newSolids], [ribbons, newRibbons]]) {
      for (let at = 0; at < count * kRecordFloats; at += 4) {
        const r = records[at + 3];
        for (let k = 0; k < 3; k += 1) {
          const v = records[at + k];
          box.low[k] = box.empty ? v - r : Math.min(box.low[k], v - r);
          box.high[k] = box.empty ? v + r : Math.max(box.high[k], v + r);
        }
        box.empty = false;
      }
    }
    this.changed();
  }

  get count() {
    return this.solids + this.ribbons;
  }

  // Draws `count` records from `first` on, as prisms or as ribbons.
  drawShape(first, count, ribbons) {
    if (count === 0) {
      return;
    }
    const { gl } = this;
    gl.uniform1i(this.uniforms.first, first);
    gl.uniform1i(this.uniforms.ribbons, ribbons ? 1 : 0);
    gl.drawArrays(gl.TRIANGLES, 0, count * (ribbons ? this.core.ribbonVertices : this.core.prismVertices));
  }

  stop() {
    if (this.run) {
      this.run.worker.terminate();
      this.run = null;
      this.changed();
    }
  }

  get going() {
    return this.run !== null;
  }

  changed() {
    if (this.autoFrame) {
      this.camera.frame(this.box, this.viewport());
    }
    this.onChange({ grown: this.count, expected: this.expected, going: this.going });
    this.requestDraw();
  }

  viewport() {
    return { width: this.canvas.clientWidth || this.canvas.width, height: this.canvas.clientHeight || this.canvas.height };
  }

  frame() {
    this.autoFrame = true;
    this.camera.frame(this.box, this.viewport());
    this.requestDraw();
  }

  moved() {
    this.autoFrame = false;
    this.requestDraw();
  }

  requestDraw() {
    if (!this.pending && !this.trouble) {
      this.pending = requestAnimationFrame(() => {
        this.pending = 0;
        this.draw();
      });
    }
  }

  // The drawing buffer at the device's pixels, the camera in CSS pixels.
  draw() {
    const { gl, canvas, camera, core } = this;
    const ratio = window.devicePixelRatio || 1;
    const width = Math.round(canvas.clientWidth * ratio);
    const height = Math.round(canvas.clientHeight * ratio);
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    const started = performance.now();
    gl.viewport(0, 0, width, height);
    const [r, g, b] = core.skyBackground();
    gl.clearColor(r, g, b, 1);
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    if (this.count > 0) {
      gl.enable(gl.DEPTH_TEST);
      gl.enable(gl.CULL_FACE);
      gl.useProgram(this.program);
      const view = camera.viewMatrix();
      gl.uniformMatrix4fv(this.uniforms.viewMatrix, false, view);
      gl.uniformMatrix4fv(this.uniforms.projectionMatrix, false,
        camera.projectionMatrix(this.viewport(), this.box));
      gl.uniform3fv(this.uniforms.barkColour, core.barkColour());
      gl.uniform3f(this.uniforms.skyUp, view[1], view[5], view[9]);
      gl.uniform3fv(this.uniforms.eye, core.eye(camera));
      gl.activeTexture(gl.TEXTURE0);
      gl.bindTexture(gl.TEXTURE_2D, this.texture);
      gl.uniform1i(this.uniforms.records, 0);
      gl.bindVertexArray(this.vertexArray);
      this.drawShape(0, this.solids, false);
      this.drawShape(this.expected - this.ribbons, this.ribbons, true);
      gl.bindVertexArray(null);
    }
    // For the tests and the benchmark: the camera drawn, and when.
    this.canvas.dataset.camera = JSON.stringify({
      yaw: camera.yaw, pitch: camera.pitch, distance: camera.distance, target: camera.target,
      fov: camera.verticalFieldOfView, count: this.count, going: this.going,
    });
    performance.measure('scene-frame', { start: started, end: performance.now() });
    if (this.count > 0 && performance.getEntriesByName('scene-first-frame').length === 0) {
      performance.mark('scene-first-frame');
    }
  }

  pictureView() {
    return this.camera.pictureView();
  }

  press(event) {
    this.canvas.setPointerCapture(event.pointerId);
    this.canvas.focus();
    this.pointers.set(event.pointerId, { x: event.clientX, y: event.clientY, button: event.button });
  }

  where(event) {
    const rect = this.canvas.getBoundingClientRect();
    return { x: event.clientX - rect.left, y: event.clientY - rect.top };
  }

  move(event) {
    const last = this.pointers.get(event.pointerId);
    if (!last) {
      return;
    }
    const now = { x: event.clientX, y: event.clientY, button: last.button };
    if (this.pointers.size === 2) {
      // Two fingers: the pinch zooms toward their middle, which pans as it moves.
      const [other] = [...this.pointers].filter(([id]) => id !== event.pointerId).map(([, p]) => p);
      const before = Math.hypot(last.x - other.x, last.y - other.y);
      const after = Math.hypot(now.x - other.x, now.y - other.y);
      const rect = this.canvas.getBoundingClientRect();
      const middle = { x: (now.x + other.x) / 2 - rect.left, y: (now.y + other.y) / 2 - rect.top };
      this.camera.pan((now.x - last.x) / 2, (now.y - last.y) / 2, this.viewport());
      if (before > 0 && after > 0) {
        this.camera.zoom(before / after, middle, this.viewport());
      }
    } else if (last.button === 2 || last.button === 1) {
      this.camera.pan(now.x - last.x, now.y - last.y, this.viewport());
    } else {
      this.camera.orbit(now.x - last.x, now.y - last.y);
    }
    this.pointers.set(event.pointerId, now);
    this.moved();
  }

  wheel(event) {
    event.preventDefault();
    const notches = -event.deltaY / (event.deltaMode === 0 ? 100 : 3);
    this.camera.zoom(kZoomPerNotch ** notches, this.where(event), this.viewport());
    this.moved();
  }
}
