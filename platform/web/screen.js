// The picture on the page: the program's pages drawn with even pixels on the largest 4:3 area
// the page has beside its on-screen buttons, one canvas pixel to one screen pixel. As on the
// desktop, a page is enlarged by a whole number with nearest neighbour, then smoothly to the
// area, so that every game pixel is the same size on the screen.
'use strict';

(() => {
  const page = quendraPage;
  const canvas = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const controls = document.getElementById('controls');
  const scores = document.getElementById('scores');
  // Room for the on-screen buttons (CSS pixels, as index.html sizes them): a row and the scores'
  // line below the picture in portrait, a column each side in landscape.
  const ROW = 80, LINE = 36, COLUMN = 112;
  // Room the scores need in a bar beside or below the picture where there are no buttons.
  const SIDE_PANEL = 112, LOW_PANEL = 48;

  let draw = () => {};   // shows the last page on the area; set when the canvas is opened
  let image = null, pixels32 = null, rawPage = null, widen = null;
  let area = null;       // where the picture is, in device pixels
  let deviceSize = null; // the stage's size in device pixels, where the browser tells it

  // Where a page of pageWidth x pageHeight lands on an output of width x height pixels: the
  // largest area of its shape, centred. (The page is enlarged by the whole multiple at or above
  // the scale on its way there.)
  function layOut(width, height, pageWidth, pageHeight) {
    let w, h;
    if (width * pageHeight >= height * pageWidth) {
      h = height;
      w = Math.floor(height * pageWidth / pageHeight);
    } else {
      w = width;
      h = Math.floor(width * pageHeight / pageWidth);
    }
    w = Math.max(w, 1);
    h = Math.max(h, 1);
    return { x: Math.floor((width - w) / 2), y: Math.floor((height - h) / 2), w, h };
  }

  // The fewest device pixels that make a whole number of CSS pixels: 1 at a ratio of 1, 2 at
  // 2, 3 at 3 or 1.5. Browsers may round an element's edges to whole CSS pixels (chromium's
  // emulated devices do), which would resample the canvas to fit.
  function stepOf(ratio) {
    for (let step = 1; step <= 64; ++step) {
      const css = step / ratio;
      if (Math.abs(css - Math.round(css)) < 1e-6) return step;
    }
    return 1;
  }

  function place(element, left, top, width, height) {
    Object.assign(element.style, { left: `${left}px`, top: `${top}px`, width: `${width}px`,
      height: `${height}px` });
  }

  // Lays the stage out: the picture, the on-screen buttons beside or below it where the device
  // has touch, and the scores in a bar of their own (over the picture's foot where there is
  // none; panel.js shows them there only in the menu).
  function arrange() {
    const ratio = window.devicePixelRatio || 1;
    const cssWidth = stage.clientWidth, cssHeight = stage.clientHeight;
    // The browser's own count where it agrees with the ratio (an emulated device's may not).
    const count = (css, told) =>
      (told && Math.abs(told - css * ratio) < 1 ? told : Math.round(css * ratio));
    const width = count(cssWidth, deviceSize?.[0]), height = count(cssHeight, deviceSize?.[1]);
    const portrait = cssHeight > cssWidth;
    const buttons = page.hasTouch;
    const below = buttons && portrait ? Math.round((ROW + LINE) * ratio) : 0;
    const beside = buttons && !portrait ? Math.round(COLUMN * ratio) : 0;
    const fit = layOut(Math.max(1, width - 2 * beside), Math.max(1, height - below), 640, 480);
    // In portrait the picture and the buttons under it are centred together. Every edge on a
    // whole number of steps, so that the canvas is shown one to one, never resampled.
    const step = stepOf(ratio), down = (n) => n - n % step;
    const y = below ? Math.floor((height - fit.h - below) / 2) : fit.y;
    area = { x: down(beside + fit.x), y: down(y), w: Math.max(step, down(fit.w)),
      h: Math.max(step, down(fit.h)) };
    const left = area.x / ratio, top = area.y / ratio, right = (area.x + area.w) / ratio;
    const bottom = (area.y + area.h) / ratio;
    place(canvas, left, top, area.w / ratio, area.h / ratio);
    if (canvas.width !== area.w || canvas.height !== area.h) {
      canvas.width = area.w;  // which clears it
      canvas.height = area.h;
    }
    controls.style.flexDirection = portrait ? 'row' : 'column';
    if (buttons && portrait) {
      place(scores, 0, bottom, cssWidth, LINE);
      place(controls, 0, bottom + LINE, cssWidth, ROW);
    } else if (buttons) {
      place(scores, 0, 0, left, cssHeight);
      place(controls, right, 0, cssWidth - right, cssHeight);
    } else if (left >= SIDE_PANEL) {
      place(scores, 0, 0, left, cssHeight);
    } else if (cssHeight - bottom >= LOW_PANEL) {
      place(scores, 0, bottom, cssWidth, cssHeight - bottom);
    } else {
      place(scores, left, bottom - LOW_PANEL, right - left, LOW_PANEL);
    }
    scores.classList.toggle('over-picture', !buttons && left < SIDE_PANEL &&
      cssHeight - bottom < LOW_PANEL);
    draw(false);
  }

  // Each screen pixel samples the page enlarged `multiple` times (nearest neighbour) linearly at
  // its centre, edge pixels repeated outwards: the desktop's picture, in one pass on the GPU.
  const SHADER = `
    #ifdef GL_FRAGMENT_PRECISION_HIGH
    precision highp float;
    #else
    precision mediump float;
    #endif
    uniform sampler2D page;
    uniform vec2 pageSize, areaSize;
    uniform float multiple;
    vec3 at(float x, float y) { return texture2D(page, (vec2(x, y) + 0.5) / pageSize).rgb; }
    void main() {
      vec2 enlarged = pageSize * multiple;
      vec2 centre = vec2(gl_FragCoord.x, areaSize.y - gl_FragCoord.y);
      vec2 where = clamp(centre * enlarged / areaSize - 0.5, vec2(0.0), enlarged - 1.0);
      vec2 first = floor(where), weight = where - first;
      // (+ 0.5: a quotient that should be whole may come out a hair below it)
      vec2 from = floor((first + 0.5) / multiple);
      vec2 next = floor((min(first + 1.0, enlarged - 1.0) + 0.5) / multiple);
      vec3 top = mix(at(from.x, from.y), at(next.x, from.y), weight.x);
      vec3 bottom = mix(at(from.x, next.y), at(next.x, next.y), weight.x);
      gl_FragColor = vec4(mix(top, bottom, weight.y), 1.0);
    }`;

  // The pages drawn by WebGL: false when the shader or the buffers can't be made.
  function drawWithGl(gl, width, height) {
    let uniforms = null;
    function make() {
      const program = gl.createProgram();
      for (const [type, text] of [[gl.VERTEX_SHADER,
        'attribute vec2 corner; void main() { gl_Position = vec4(corner, 0.0, 1.0); }'],
      [gl.FRAGMENT_SHADER, SHADER]]) {
        const shader = gl.createShader(type);
        gl.shaderSource(shader, text);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
      }
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS)) return false;
      gl.useProgram(program);
      gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
      gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]),
        gl.STATIC_DRAW);
      const corner = gl.getAttribLocation(program, 'corner');
      gl.enableVertexAttribArray(corner);
      gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);
      gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
      for (const [name, value] of [[gl.TEXTURE_MIN_FILTER, gl.NEAREST],
        [gl.TEXTURE_MAG_FILTER, gl.NEAREST], [gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE],
        [gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE]]) gl.texParameteri(gl.TEXTURE_2D, name, value);
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE,
        image.data);
      uniforms = Object.fromEntries(['pageSize', 'areaSize', 'multiple'].map(
        (name) => [name, gl.getUniformLocation(program, name)]));
      gl.uniform2f(uniforms.pageSize, width, height);
      return true;
    }
    if (!make()) return false;
    // A lost context (the GPU was reset) draws nothing until the browser gives it back.
    canvas.addEventListener('webglcontextlost', (event) => event.preventDefault());
    canvas.addEventListener('webglcontextrestored', () => { make(); draw(true); });
    draw = (fresh) => {
      if (!area || gl.isContextLost()) return;
      if (fresh) gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE,
        image.data);
      gl.viewport(0, 0, area.w, area.h);
      gl.uniform2f(uniforms.areaSize, area.w, area.h);
      gl.uniform1f(uniforms.multiple, Math.ceil(area.h / height));
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    };
    return true;
  }

  // Where there is no WebGL: the page enlarged on a canvas of its own, then drawn smoothly.
  // Browsers filter there with coarser weights (a sixteenth), so a blended pixel may be a few
  // steps off; every game pixel is still the same size.
  function drawWith2d(output, width, height) {
    const source = document.createElement('canvas'), sharp = document.createElement('canvas');
    source.width = width;
    source.height = height;
    const sourceContext = source.getContext('2d'), sharpContext = sharp.getContext('2d');
    if (!sourceContext || !sharpContext) return false;
    draw = (fresh) => {
      if (!area) return;
      if (fresh) sourceContext.putImageData(image, 0, 0);
      const multiple = Math.ceil(area.h / height);
      if (sharp.width !== width * multiple || sharp.height !== height * multiple) {
        sharp.width = width * multiple;
        sharp.height = height * multiple;
      }
      sharpContext.imageSmoothingEnabled = false;
      sharpContext.drawImage(source, 0, 0, sharp.width, sharp.height);
      output.imageSmoothingEnabled = true;
      output.imageSmoothingQuality = 'low';  // plain bilinear: no mipmaps, which would blur
      output.drawImage(sharp, 0, 0, area.w, area.h);
    };
    return true;
  }

  // The display: RGB565 pages widened to 8 bits a channel by bit replication.
  page.openCanvas = (width, height) => {
    image = new ImageData(width, height);
    pixels32 = new Uint32Array(image.data.buffer);
    page.pixelCount = width * height;
    rawPage = new Uint16Array(page.pixelCount);
    widen = new Uint32Array(65536);
    for (let p = 0; p < 65536; ++p) {
      const r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
      widen[p] = (0xff000000 | (((b << 3) | (b >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) |
        ((r << 3) | (r >> 2))) >>> 0;
    }
    // (page.noWebGl: how the tests take the other way.)
    const gl = page.noWebGl ? null : canvas.getContext('webgl', { alpha: false, antialias: false,
      depth: false, stencil: false, preserveDrawingBuffer: false });
    if (gl) return drawWithGl(gl, width, height);
    const output = canvas.getContext('2d', { alpha: false });
    return !!output && drawWith2d(output, width, height);
  };
  page.present = (pixels) => {
    rawPage.set(pixels);
    for (let i = 0; i < pixels.length; ++i) pixels32[i] = widen[pixels[i]];
    draw(true);
    page.presented();
  };
  page.nextFrame = () => new Promise((resolve) => {
    let done = false;
    const finish = () => { if (!done) { done = true; resolve(); } };
    requestAnimationFrame(finish);
    setTimeout(finish, 100);  // a hidden page gets no animation frames
  });
  // A finger's point on the screen as a pixel of the page (beyond its edges when off the
  // picture), or null before there is a page.
  page.pagePoint = (clientX, clientY) => {
    const box = canvas.getBoundingClientRect();
    if (!image || box.width <= 0 || box.height <= 0) return null;
    return [Math.floor((clientX - box.left) * image.width / box.width),
      Math.floor((clientY - box.top) * image.height / box.height)];
  };

  // The browser tells the exact device pixels where it can; elsewhere they are worked out.
  try {
    new ResizeObserver((entries) => {
      const box = entries[0].devicePixelContentBoxSize?.[0];
      deviceSize = box ? [box.inlineSize, box.blockSize] : null;
      arrange();
    }).observe(stage, { box: 'device-pixel-content-box' });
  } catch (error) {
    window.addEventListener('resize', arrange);
  }
  arrange();

  Object.assign(page.test, {
    rawPage: () => rawPage && Array.from(rawPage),
    // The page widened to 8 bits a channel, as it goes to the screen.
    canvas: () => image && Array.from(image.data),
    area: () => area,
  });
})();
