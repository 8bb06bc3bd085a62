// The 360 preview page: shows a render the way its audience sees it, from inside a sphere, a dome
// or a cube, with three.js. The page's folder holds everything (opened from disk, no network):
// config.js describes the render, frame_NNNN.js hands over each frame as a data URI (file:// pages
// may not give WebGL pixels of image files in most browsers; data URIs always work), or video.js a
// whole video the same way, played looping (space pauses) or held at the frame the slider picks.
//
// Directions follow the renderer: +X right, +Y up, +Z forward. three.js looks along -Z, so a host
// direction (x, y, z) is (x, y, -z) in the scene.
/* global THREE, ORVEX_PREVIEW */
(function () {
  'use strict';

  const config = ORVEX_PREVIEW;
  const params = new URLSearchParams(window.location.search);
  const view = {
    yaw: Number(params.get('yaw') || 0),  // degrees, positive turns right
    pitch: Number(params.get('pitch') || 0),  // degrees, positive looks up
    fov: Number(params.get('fov') || 75),
  };
  const state = { eye: params.get('eye') || (config.stereo === 'side-by-side' ? 'anaglyph' : 'left'), frame: 0 };
  const frames = [];  // textures, loaded one by one as they are first shown
  const kRadius = 100;

  const renderer = new THREE.WebGLRenderer({ antialias: false, preserveDrawingBuffer: true });
  renderer.setPixelRatio(1);
  renderer.setSize(window.innerWidth, window.innerHeight);
  document.getElementById('view').appendChild(renderer.domElement);
  const scene = new THREE.Scene();
  scene.background = new THREE.Color(0x000000);
  const camera = new THREE.PerspectiveCamera(view.fov, window.innerWidth / window.innerHeight, 0.1, 1000);
  const anaglyph = THREE.AnaglyphEffect ? new THREE.AnaglyphEffect(renderer, window.innerWidth, window.innerHeight) : null;

  // ---- where each direction lands in the image: (u, v) with v = 0 at the top row ----

  function lensFrame(h) { return { x: h.x, y: -h.z, z: h.y }; }  // pole +Z: up for a dome, forward for a cube

  function fisheyeUv(h, fovDegrees, dome) {
    const l = dome ? lensFrame(h) : h;
    const length = Math.hypot(l.x, l.y, l.z) || 1;
    const theta = Math.acos(Math.max(-1, Math.min(1, l.z / length)));
    const side = Math.hypot(l.x, l.y);
    const r = theta / (fovDegrees * Math.PI / 360);
    const x = side > 0 ? r * l.x / side : 0;
    const y = side > 0 ? r * l.y / side : 0;
    return { u: 0.5 * (x + 1), v: 0.5 * (1 - y) };
  }

  // Face number and where on it: the inverse of the renderer's cube faces (0 left, 1 right, 2 down,
  // 3 up, 4 back, 5 front), in the lens frame.
  function cubeFaceUv(face, l) {
    const ax = Math.abs(l.x), ay = Math.abs(l.y), az = Math.abs(l.z);
    const ab = {
      0: [-l.y / ax, -l.z / ax], 1: [l.y / ax, -l.z / ax], 2: [l.x / az, l.y / az],
      3: [l.x / az, -l.y / az], 4: [-l.x / ay, -l.z / ay], 5: [l.x / ay, -l.z / ay],
    }[face];
    return { u: 0.5 * (ab[0] + 1), v: 0.5 * (ab[1] + 1) };
  }

  // The cell coordinates whose turn by `rotation` gives (u, v) on the face.
  function unturn(uv, rotation) {
    switch (rotation) {
      case 90: return { u: 1 - uv.v, v: uv.u };
      case 180: return { u: 1 - uv.u, v: 1 - uv.v };
      case 270: return { u: uv.v, v: 1 - uv.u };
      default: return uv;
    }
  }

  // ---- geometry: a sphere, a dome cap or a cube around the viewer, with its texture coordinates ----

  function equirectGeometry() {
    const crop = config.crop;  // full panorama and the image's place in it, in pixels
    const a = crop.left / crop.fullWidth, b = (crop.left + crop.width) / crop.fullWidth;
    const top = crop.top / crop.fullHeight, bottom = (crop.top + crop.height) / crop.fullHeight;
    // three.js puts phi at -cos(phi), sin(phi) in x and z; the panorama's u is 0.25 - phi / 2pi there.
    const phiStart = 2 * Math.PI * (0.25 - b), phiLength = 2 * Math.PI * (b - a);
    const columns = 128, rows = 64;
    const geometry = new THREE.SphereBufferGeometry(kRadius, columns, rows, phiStart, phiLength,
      Math.PI * top, Math.PI * (bottom - top));
    const uv = geometry.attributes.uv;
    for (let row = 0; row <= rows; ++row) {
      for (let column = 0; column <= columns; ++column) {
        const phi = phiStart + column / columns * phiLength;
        const uFull = 0.25 - phi / (2 * Math.PI);
        const vFull = top + row / rows * (bottom - top);
        const i = row * (columns + 1) + column;
        uv.setXY(i, (uFull * crop.fullWidth - crop.left) / crop.width, (vFull * crop.fullHeight - crop.top) / crop.height);
      }
    }
    return geometry;
  }

  function mapPositions(geometry, uvOf) {
    const position = geometry.attributes.position;
    const uv = geometry.attributes.uv;
    for (let i = 0; i < position.count; ++i) {
      const h = { x: position.getX(i), y: position.getY(i), z: -position.getZ(i) };
      const p = uvOf(h, i);
      uv.setXY(i, p.u, p.v);
    }
    return geometry;
  }

  function fisheyeGeometry() {
    const dome = config.projection === 'dome';
    // Just inside the image's circle, whose edge pixels are partly blank.
    const half = Math.min(Math.PI, config.fov * Math.PI / 360) * 0.995;
    const geometry = new THREE.SphereBufferGeometry(kRadius, 128, 64, 0, 2 * Math.PI, 0, half);
    if (!dome) geometry.rotateX(-Math.PI / 2);  // the cap's pole looks forward, not up
    return mapPositions(geometry, (h) => fisheyeUv(h, config.fov, dome));
  }

  function cubemapGeometry() {
    const geometry = new THREE.BoxBufferGeometry(kRadius, kRadius, kRadius, 1, 1, 1);
    const normal = geometry.attributes.normal;
    const cells = {};
    config.cells.forEach((cell) => { cells[cell.face] = cell; });
    const faceOfNormal = (n) => {  // the lens-frame axis the box side faces
      const l = lensFrame({ x: n.x, y: n.y, z: -n.z });
      if (Math.abs(l.x) > 0.5) return l.x < 0 ? 0 : 1;
      if (Math.abs(l.z) > 0.5) return l.z < 0 ? 2 : 3;
      return l.y > 0 ? 4 : 5;
    };
    return mapPositions(geometry, (h, i) => {
      const face = faceOfNormal({ x: normal.getX(i), y: normal.getY(i), z: normal.getZ(i) });
      const cell = cells[face];
      if (!cell) return { u: -1, v: -1 };
      const uv = unturn(cubeFaceUv(face, lensFrame(h)), cell.rotation);
      return { u: (cell.column + uv.u) / config.grid[0], v: (cell.row + uv.v) / config.grid[1] };
    });
  }

  // Image (u, v) with v down to three.js texture coordinates (v up), within one eye's half.
  function placeInHalf(geometry, half) {
    const uv = geometry.attributes.uv;
    for (let i = 0; i < uv.count; ++i) {
      let u = uv.getX(i), v = uv.getY(i);
      if (half === 'left' || half === 'right') u = 0.5 * u + (half === 'right' ? 0.5 : 0);
      if (half === 'top' || half === 'bottom') v = 0.5 * v + (half === 'bottom' ? 0.5 : 0);
      uv.setXY(i, u, 1 - v);
    }
    uv.needsUpdate = true;
    return geometry;
  }

  function makeGeometry() {
    if (config.projection === 'equirectangular') return equirectGeometry();
    if (config.projection === 'cubemap') return cubemapGeometry();
    return fisheyeGeometry();
  }

  // ---- meshes: one per eye for side-by-side pairs, else one ----

  const material = (side) => new THREE.MeshBasicMaterial({ side: THREE.BackSide, color: 0xffffff, name: side });
  const meshes = {};
  function addMesh(name, half) {
    const mesh = new THREE.Mesh(placeInHalf(makeGeometry(), half), material(name));
    meshes[name] = mesh;
    scene.add(mesh);
  }
  if (config.stereo === 'side-by-side') {
    addMesh('left', config.leftEye);
    addMesh('right', config.rightEye);
  } else {
    addMesh('left', 'whole');
  }

  // The anaglyph effect renders the scene once per eye; each eye sees its own half of the pair.
  const rightAxis = new THREE.Vector3();
  const eyePosition = new THREE.Vector3();
  scene.onBeforeRender = function (r, s, eyeCamera) {
    if (!meshes.right) return;
    if (state.eye !== 'anaglyph') {
      meshes.left.visible = state.eye === 'left';
      meshes.right.visible = state.eye === 'right';
      return;
    }
    rightAxis.setFromMatrixColumn(camera.matrixWorld, 0);
    eyePosition.setFromMatrixPosition(eyeCamera.matrixWorld);
    const left = eyePosition.dot(rightAxis) <= 0;
    meshes.left.visible = left;
    meshes.right.visible = !left;
  };

  // ---- frames ----

  function frameCount() { return config.video ? config.video.frames : config.frames.length; }

  function showFrame(index) {
    state.frame = index;
    document.getElementById('frame').value = String(index);
    if (config.video) return showVideoFrame(index);
    document.getElementById('frame-label').textContent = config.frames[index].name;
    if (frames[index]) return applyTexture(frames[index]);
    const script = document.createElement('script');
    script.src = config.frames[index].script;
    document.head.appendChild(script);
  }

  // ---- a video: one texture that follows the playing video ----
  let video = null;
  const held = params.has('frame');  // a frame named in the URL is shown still

  function loadScript(source) {
    const script = document.createElement('script');
    script.src = source;
    document.head.appendChild(script);
  }

  function showVideoFrame(index) {
    document.getElementById('frame-label').textContent = 'frame ' + index;
    if (!video) return loadScript(config.video.script);
    video.pause();
    // The middle of the frame's time, so that rounding lands on it.
    video.currentTime = (index + 0.5) / config.video.fps;
  }

  function playing() {
    draw();
    if (!video.paused) requestAnimationFrame(playing);
  }

  window.OrvexPreview = {
    addVideo(dataUri) {
      video = document.createElement('video');
      Object.assign(video, { muted: true, loop: true, playsInline: true, src: dataUri });
      const texture = new THREE.VideoTexture(video);
      texture.minFilter = THREE.LinearFilter;
      texture.generateMipmaps = false;
      video.addEventListener('seeked', () => applyTexture(texture));
      video.addEventListener('playing', () => { applyTexture(texture); playing(); });
      if (held) showVideoFrame(state.frame);
      else video.play();
    },
    addFrame(index, dataUri) {
      new THREE.TextureLoader().load(dataUri, (texture) => {
        texture.minFilter = THREE.LinearFilter;
        texture.generateMipmaps = false;
        frames[index] = texture;
        if (index === state.frame) applyTexture(texture);
      });
    },
  };

  function applyTexture(texture) {
    Object.values(meshes).forEach((mesh) => {
      mesh.material.map = texture;
      mesh.material.needsUpdate = true;
    });
    document.body.dataset.ready = 'frame ' + state.frame;
    draw();
  }

  // ---- view direction, drawing, controls ----

  function draw() {
    const yaw = THREE.MathUtils ? THREE.MathUtils.degToRad(view.yaw) : view.yaw * Math.PI / 180;
    const pitch = Math.max(-89.9, Math.min(89.9, view.pitch)) * Math.PI / 180;
    const h = { x: Math.sin(yaw) * Math.cos(pitch), y: Math.sin(pitch), z: Math.cos(yaw) * Math.cos(pitch) };
    camera.fov = view.fov;
    camera.updateProjectionMatrix();
    camera.lookAt(h.x, h.y, -h.z);
    camera.updateMatrixWorld();
    if (meshes.right && state.eye === 'anaglyph' && anaglyph) anaglyph.render(scene, camera);
    else renderer.render(scene, camera);
  }

  let drag = null;
  renderer.domElement.addEventListener('pointerdown', (e) => { drag = { x: e.clientX, y: e.clientY }; });
  window.addEventListener('pointerup', () => { drag = null; });
  window.addEventListener('pointermove', (e) => {
    if (!drag) return;
    const degreesPerPixel = view.fov / window.innerHeight;
    view.yaw -= (e.clientX - drag.x) * degreesPerPixel;
    view.pitch = Math.max(-89.9, Math.min(89.9, view.pitch + (e.clientY - drag.y) * degreesPerPixel));
    drag = { x: e.clientX, y: e.clientY };
    draw();
  });
  renderer.domElement.addEventListener('wheel', (e) => {
    view.fov = Math.max(20, Math.min(120, view.fov + e.deltaY * 0.05));
    draw();
  });
  window.addEventListener('resize', () => {
    renderer.setSize(window.innerWidth, window.innerHeight);
    if (anaglyph) anaglyph.setSize(window.innerWidth, window.innerHeight);
    camera.aspect = window.innerWidth / window.innerHeight;
    draw();
  });

  function setUpControls() {
    document.getElementById('title').textContent = config.title;
    const slider = document.getElementById('frame');
    slider.max = String(frameCount() - 1);
    slider.hidden = frameCount() < 2;
    document.getElementById('frame-label').hidden = frameCount() < 2;
    slider.addEventListener('input', () => showFrame(Number(slider.value)));
    const eye = document.getElementById('eye');
    eye.hidden = config.stereo !== 'side-by-side';
    eye.value = state.eye;
    eye.addEventListener('change', () => { state.eye = eye.value; draw(); });
    window.addEventListener('keydown', (e) => {
      if (!video || e.key !== ' ') return;
      if (video.paused) video.play();
      else video.pause();
    });
  }

  setUpControls();
  showFrame(Math.max(0, Math.min(frameCount() - 1, Number(params.get('frame') || 0))));
})();
