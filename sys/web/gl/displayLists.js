// Display lists for Emscripten's OpenGL emulation, which has none. Between glNewList and
// glEndList the game's OpenGL calls are kept instead of made (with GL_COMPILE_AND_EXECUTE made
// too), their array arguments copied as OpenGL copies them; glCallList makes them again. The
// geometry is what a frame would otherwise send again and again: the vertices of glBegin/glEnd
// and of glDrawElements/glDrawArrays on client arrays are gathered once, at glEndList, and the
// lists kept so far go into one buffer when one is first called: a call draws from it, with the
// one buffer bound for every draw. Client-array state is not part of a list (as
// in OpenGL): glEnableClientState and the pointers run at once, and a glDrawElements kept in a
// list reads the arrays as they are when it is kept.

var LibraryZephDisplayLists = {
  $ZephLists__deps: ['$GL', '$GLImmediate', '$GLEmulation', 'malloc',
    'glBindBuffer', 'glEnableClientState', 'glDisableClientState', 'glVertexPointer',
    'glNormalPointer', 'glTexCoordPointer', 'glColorPointer', 'glDrawArrays',
    'glEnable', 'glDisable', 'glColor3f', 'glColor4f', 'glScalef', 'glTranslatef', 'glRotatef',
    'glPushMatrix', 'glPopMatrix', 'glMatrixMode', 'glLoadIdentity', 'glMultMatrixf',
    'glLoadMatrixf', 'glMaterialfv', 'glLightfv', 'glLightModelfv', 'glBindTexture',
    'glTexParameteri', 'glShadeModel', 'glBegin', 'glEnd', 'glVertex2f', 'glVertex3f',
    'glTexCoord2f', 'glNormal3f', 'glDrawElements'],
  // Wraps the emulation's calls after it has set them up: the calls a list keeps, and the
  // geometry it gathers.
  $ZephLists__postset: ['glEnable', 'glDisable', 'glColor3f', 'glColor4f', 'glScalef',
    'glTranslatef', 'glRotatef', 'glPushMatrix', 'glPopMatrix', 'glMatrixMode', 'glLoadIdentity',
    'glMultMatrixf', 'glLoadMatrixf', 'glMaterialfv', 'glLightfv', 'glLightModelfv',
    'glBindTexture', 'glTexParameteri', 'glShadeModel', 'glBegin', 'glEnd', 'glVertex2f',
    'glVertex3f', 'glTexCoord2f', 'glNormal3f', 'glDrawElements', 'glDrawArrays'
  ].map(function(name) {
    return '_' + name + ' = ZephLists.wrap("' + name + '", _' + name + ');';
  }).join('\n') +
    // For the benchmark: the time spent making the lists' calls again, in milliseconds, and how
    // many calls of glCallList (not counting lists called from lists) it took.
    '\nModule["layerProfile"] = function() { return {replayMs: ZephLists.replayMs, calls: ZephLists.calls}; };',

  $ZephLists: {
    lists: {},
    nextName: 1,
    recording: null,   // the list being kept: {name, execute, ops, primitive, current}
    replaying: 0,      // how deep glCallList is
    saved: null,       // the client-array state a call put aside
    emulated: {},      // the emulation's own calls, by name
    currentNormal: [0, 0, 1],
    replayMs: 0,
    calls: 0,

    // Floats an array argument holds, by parameter name (4 for colours and positions).
    floatsOf: function(name, pname) {
      if (name == 'glMultMatrixf' || name == 'glLoadMatrixf') return 16;
      // GL_SHININESS, GL_LIGHT_MODEL_LOCAL_VIEWER and _TWO_SIDE, a spot's exponent and cutoff,
      // the attenuations
      if (pname == 0x1601 || pname == 0x0B51 || pname == 0x0B52 ||
          (pname >= 0x1205 && pname <= 0x1209)) return 1;
      // GL_SPOT_DIRECTION, GL_COLOR_INDEXES
      if (pname == 0x1204 || pname == 0x1602) return 3;
      return 4;
    },

    // A copy, in memory that lives as long as the page, of the floats a call points at.
    copiedFloats: function(pointer, count) {
      var copy = _malloc(count * 4);
      HEAPF32.set(HEAPF32.subarray(pointer >> 2, (pointer >> 2) + count), copy >> 2);
      return copy;
    },

    wrap: function(name, emulated) {
      ZephLists.emulated[name] = emulated;
      return function() {
        var list = ZephLists.recording;
        if (list) {
          ZephLists.keep(list, name, emulated, Array.prototype.slice.call(arguments));
          if (!list.execute) return;
        }
        if (name == 'glNormal3f' && GLImmediate.mode < 0) {
          ZephLists.currentNormal = [arguments[0], arguments[1], arguments[2]];
        }
        return emulated.apply(null, arguments);
      };
    },

    keep: function(list, name, emulated, args) {
      var current = list.current;
      switch (name) {
        case 'glBegin':
          list.primitive = {mode: args[0], vertices: [], texCoords: false, normals: false, colours: false};
          return;
        case 'glEnd':
          if (list.primitive) ZephLists.addGeometry(list, list.primitive);
          list.primitive = null;
          return;
        case 'glVertex2f':
        case 'glVertex3f':
          if (!list.primitive) return;
          list.primitive.vertices.push({position: [args[0], args[1], args.length > 2 ? args[2] : 0],
            texCoord: current.texCoord.slice(), normal: current.normal.slice(),
            colour: current.colour.slice()});
          return;
        case 'glTexCoord2f':
          current.texCoord = [args[0], args[1]];
          if (list.primitive) { list.primitive.texCoords = true; return; }
          break;
        case 'glNormal3f':
          current.normal = [args[0], args[1], args[2]];
          if (list.primitive) { list.primitive.normals = true; return; }
          break;
        case 'glColor3f':
        case 'glColor4f':
          current.colour = [args[0], args[1], args[2], args.length > 3 ? args[3] : 1];
          if (list.primitive) { list.primitive.colours = true; return; }
          break;
        case 'glDrawElements':
        case 'glDrawArrays':
          if (ZephLists.keepClientArrays(list, name, args)) return;
          break;
        case 'glMaterialfv':
        case 'glLightfv':
        case 'glLightModelfv':
          args[args.length - 1] = ZephLists.copiedFloats(args[args.length - 1],
                                                         ZephLists.floatsOf(name, args[args.length - 2]));
          break;
        case 'glMultMatrixf':
        case 'glLoadMatrixf':
          args[0] = ZephLists.copiedFloats(args[0], 16);
          break;
      }
      list.ops.push({call: emulated, args: args});
    },

    // A draw on client arrays, its vertices read now; false when it reads from buffers
    // (kept as a call then).
    keepClientArrays: function(list, name, args) {
      if (GLctx.currentArrayBufferBinding) return false;
      var I = GLImmediate, mode = args[0], indices = [];
      if (name == 'glDrawElements') {
        if (GLctx.currentElementArrayBufferBinding) return false;
        var count = args[1], type = args[2], pointer = args[3];
        for (var i = 0; i < count; i++) {
          indices.push(type == 0x1401 ? HEAPU8[pointer + i] :
                       type == 0x1403 ? HEAPU16[(pointer >> 1) + i] : HEAPU32[(pointer >> 2) + i]);
        }
      } else {
        for (var i = 0; i < args[2]; i++) indices.push(args[1] + i);
      }
      if (!I.enabledClientAttributes[I.VERTEX]) return true; // nothing is drawn without vertices
      function reader(attribute, size) {
        if (!I.enabledClientAttributes[attribute]) return null;
        var a = I.clientAttributes[attribute];
        var stride = a.stride || a.size * 4;
        return function(index) {
          var at = (a.pointer + index * stride) >> 2, values = [];
          for (var c = 0; c < size; c++) values.push(c < a.size ? HEAPF32[at + c] : (c == 3 ? 1 : 0));
          return values;
        };
      }
      var position = reader(I.VERTEX, 3), normal = reader(I.NORMAL, 3),
          texCoord = reader(I.TEXTURE0, 2), colour = reader(I.COLOR, 4);
      var primitive = {mode: mode, vertices: [], texCoords: !!texCoord, normals: !!normal,
                       colours: !!colour};
      for (var i = 0; i < indices.length; i++) {
        var index = indices[i];
        primitive.vertices.push({position: position(index),
          normal: normal ? normal(index) : null, texCoord: texCoord ? texCoord(index) : null,
          colour: colour ? colour(index) : null});
      }
      ZephLists.addGeometry(list, primitive);
      return true;
    },

    // WebGL draws no quads nor polygons: they become triangles, strips and fans.
    webglPrimitive: function(primitive) {
      var v = primitive.vertices;
      if (primitive.mode == 7 /* GL_QUADS */) {
        var triangles = [];
        for (var q = 0; q + 3 < v.length; q += 4) {
          triangles.push(v[q], v[q + 1], v[q + 2], v[q], v[q + 2], v[q + 3]);
        }
        return {mode: 4, vertices: triangles};
      }
      if (primitive.mode == 8 /* GL_QUAD_STRIP */) return {mode: 5, vertices: v};
      if (primitive.mode == 9 /* GL_POLYGON */) return {mode: 6, vertices: v};
      return {mode: primitive.mode, vertices: v};
    },

    // The vertices interleaved as the emulation draws them fastest: position, normal, texture
    // corner, colour.
    addGeometry: function(list, primitive) {
      var drawn = ZephLists.webglPrimitive(primitive);
      if (!drawn.vertices.length) return;
      var layout = {normal: primitive.normals, texCoord: primitive.texCoords, colour: primitive.colours};
      var floats = 3 + (layout.normal ? 3 : 0) + (layout.texCoord ? 2 : 0) + (layout.colour ? 4 : 0);
      var data = new Float32Array(drawn.vertices.length * floats), at = 0;
      drawn.vertices.forEach(function(vertex) {
        data.set(vertex.position, at); at += 3;
        if (layout.normal) { data.set(vertex.normal, at); at += 3; }
        if (layout.texCoord) { data.set(vertex.texCoord, at); at += 2; }
        if (layout.colour) { data.set(vertex.colour, at); at += 4; }
      });
      var lengths = 0, last = null;
      if (layout.normal) {
        drawn.vertices.forEach(function(vertex) {
          var n = vertex.normal;
          lengths += Math.sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        });
        last = primitive.vertices[primitive.vertices.length - 1].normal;
      }
      list.ops.push({geometry: {mode: drawn.mode, count: drawn.vertices.length, layout: layout,
                                stride: floats * 4, data: data, buffer: 0,
                                normalLength: layout.normal ? lengths / drawn.vertices.length : 1,
                                lastNormal: last}});
    },

    // Every list's vertices in one buffer, made when a list is first called after lists were
    // kept: one buffer bound for all the draws rather than one a draw.
    pending: [],
    users: {},   // how many kept draws read each buffer, by buffer name

    upload: function() {
      var all = ZephLists.pending, floats = 0;
      ZephLists.pending = [];
      if (!all.length) return;
      all.forEach(function(geometry) { floats += geometry.data.length; });
      var data = new Float32Array(floats), at = 0;
      all.forEach(function(geometry) {
        data.set(geometry.data, at);
        geometry.offset = at * 4;
        at += geometry.data.length;
      });
      var buffer = GLctx.createBuffer();
      var name = GL.getNewId(GL.buffers);
      buffer.name = name;
      GL.buffers[name] = buffer;
      GLctx.bindBuffer(GLctx.ARRAY_BUFFER, buffer);
      GLctx.bufferData(GLctx.ARRAY_BUFFER, data, GLctx.STATIC_DRAW);
      GLctx.bindBuffer(GLctx.ARRAY_BUFFER, GL.buffers[GLctx.currentArrayBufferBinding] || null);
      all.forEach(function(geometry) {
        geometry.buffer = name;
        geometry.data = null;
      });
      ZephLists.users[name] = all.length;
    },

    // The client-array state and the array buffer a call changes, put aside and given back.
    save: function() {
      var I = GLImmediate;
      ZephLists.saved = {
        buffer: GLctx.currentArrayBufferBinding | 0,
        enabled: I.enabledClientAttributes.slice(),
        total: I.totalEnabledClientAttributes,
        attributes: I.clientAttributes.map(function(a) { return a ? Object.assign({}, a) : a; }),
        clientActiveTexture: I.clientActiveTexture
      };
    },

    restore: function() {
      var I = GLImmediate, s = ZephLists.saved;
      _glBindBuffer(0x8892 /* GL_ARRAY_BUFFER */, s.buffer);
      I.enabledClientAttributes = s.enabled;
      I.totalEnabledClientAttributes = s.total;
      I.clientAttributes = s.attributes;
      I.clientActiveTexture = s.clientActiveTexture;
      I.modifiedClientAttributes = true;
      I.currentRenderer = null;
      ZephLists.saved = null;
    },

    setArray: function(cap, on) {
      if (on) _glEnableClientState(cap); else _glDisableClientState(cap);
    },

    draw: function(geometry) {
      if (!geometry.buffer) ZephLists.upload();
      var layout = geometry.layout, stride = geometry.stride, offset = geometry.offset + 12;
      _glBindBuffer(0x8892 /* GL_ARRAY_BUFFER */, geometry.buffer);
      GLImmediate.clientActiveTexture = 0;
      _glEnableClientState(0x8074 /* GL_VERTEX_ARRAY */);
      _glVertexPointer(3, 0x1406 /* GL_FLOAT */, stride, geometry.offset);
      ZephLists.setArray(0x8075 /* GL_NORMAL_ARRAY */, layout.normal);
      if (layout.normal) { _glNormalPointer(0x1406, stride, offset); offset += 12; }
      ZephLists.setArray(0x8078 /* GL_TEXTURE_COORD_ARRAY */, layout.texCoord);
      if (layout.texCoord) { _glTexCoordPointer(2, 0x1406, stride, offset); offset += 8; }
      ZephLists.setArray(0x8076 /* GL_COLOR_ARRAY */, layout.colour);
      if (layout.colour) { _glColorPointer(4, 0x1406, stride, offset); }
      var lit = GLEmulation.lightingEnabled && layout.normal, diffuse = null, specular = null;
      if (lit) {
        // OpenGL 1.1 lights the normals as the model-view matrix leaves them, unnormalised (the
        // game never asks for GL_NORMALIZE): a mesh scaled by s is lit 1/s times as strongly.
        // The emulation's shader normalises them; the material makes up the difference.
        var k = ZephLists.normalScale(GLImmediate.matrix[0]) * geometry.normalLength;
        if (k != 1) {
          diffuse = ZephLists.scaledColour(GLEmulation.materialDiffuse, k);
          specular = ZephLists.scaledColour(GLEmulation.materialSpecular, k);
        }
      }
      ZephLists.emulated['glDrawArrays'](geometry.mode, 0, geometry.count);
      if (diffuse) {
        GLEmulation.materialDiffuse.set(diffuse);
        GLEmulation.materialSpecular.set(specular);
      }
      // What the desktop's OpenGL leaves current after a list: the last vertex's normal.
      if (geometry.lastNormal) ZephLists.currentNormal = geometry.lastNormal;
    },

    // Scales the colour's red, green and blue in place; gives back what they were.
    scaledColour: function(colour, k) {
      var before = colour.slice();
      for (var c = 0; c < 3; c++) colour[c] *= k;
      return before;
    },

    // How much longer a unit normal comes out of the model-view matrix `m` (column-major): for
    // turns, moves and even scales, 1/s where s is the scale, the cube root of the determinant.
    normalScale: function(m) {
      var det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[4] * (m[1] * m[10] - m[2] * m[9]) +
                m[8] * (m[1] * m[6] - m[2] * m[5]);
      var scale = Math.cbrt(Math.abs(det));
      return scale > 0 ? 1 / scale : 1;
    },

    // The colour OpenGL gives a raster position while lighting is on: the current normal (as
    // the model-view matrix leaves it, unnormalised) lit by the enabled lights and the current
    // material, as it lights a vertex.
    litColour: function() {
      var E = GLEmulation, m = GLImmediate.matrix[0], n = ZephLists.currentNormal;
      // The inverse transpose of the upper 3x3 turns normals: its rows are the cofactors.
      var a = [m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]];
      var det = a[0] * (a[4] * a[8] - a[5] * a[7]) - a[3] * (a[1] * a[8] - a[2] * a[7]) +
                a[6] * (a[1] * a[5] - a[2] * a[4]);
      if (det == 0) det = 1;
      var cof = [a[4] * a[8] - a[5] * a[7], a[5] * a[6] - a[3] * a[8], a[3] * a[7] - a[4] * a[6],
                 a[2] * a[7] - a[1] * a[8], a[0] * a[8] - a[2] * a[6], a[1] * a[6] - a[0] * a[7],
                 a[1] * a[5] - a[2] * a[4], a[2] * a[3] - a[0] * a[5], a[0] * a[4] - a[1] * a[3]];
      var N = [0, 1, 2].map(function(r) {
        return (cof[3 * r] * n[0] + cof[3 * r + 1] * n[1] + cof[3 * r + 2] * n[2]) / det;
      });
      var colour = [0, 1, 2].map(function(c) {
        return E.materialEmission[c] + E.lightModelAmbient[c] * E.materialAmbient[c];
      });
      for (var id = 0; id < E.MAX_LIGHTS; id++) {
        if (!E.lightEnabled[id]) continue;
        var p = E.lightPosition[id], length = Math.hypot(p[0], p[1], p[2]) || 1;
        var L = [p[0] / length, p[1] / length, p[2] / length];
        var diffuse = Math.max(N[0] * L[0] + N[1] * L[1] + N[2] * L[2], 0);
        var H = [L[0], L[1], L[2] + 1], h = Math.hypot(H[0], H[1], H[2]) || 1;
        var shine = diffuse > 0 ? Math.max((N[0] * H[0] + N[1] * H[1] + N[2] * H[2]) / h, 0) : 0;
        shine = shine > 0 ? Math.pow(shine, E.materialShininess[0]) : 0;
        for (var c = 0; c < 3; c++) {
          colour[c] += E.lightAmbient[id][c] * E.materialAmbient[c] +
                       diffuse * E.lightDiffuse[id][c] * E.materialDiffuse[c] +
                       shine * E.lightSpecular[id][c] * E.materialSpecular[c];
        }
      }
      colour.push(E.materialDiffuse[3]);
      return colour.map(function(x) { return Math.min(Math.max(x, 0), 1); });
    },

    replay: function(name) {
      var ops = ZephLists.lists[name];
      if (!ops) return;
      var start = 0;
      if (ZephLists.replaying++ == 0) {
        start = performance.now();
        ZephLists.save();
      }
      try {
        for (var i = 0; i < ops.length; i++) {
          var op = ops[i];
          if (op.geometry) ZephLists.draw(op.geometry);
          else if (op.list) ZephLists.replay(op.list);
          else op.call.apply(null, op.args);
        }
      } finally {
        if (--ZephLists.replaying == 0) {
          ZephLists.restore();
          ZephLists.replayMs += performance.now() - start;
          ZephLists.calls++;
        }
      }
    },

    forget: function(name) {
      var ops = ZephLists.lists[name];
      if (!ops) return;
      ops.forEach(function(op) {
        var name = op.geometry && op.geometry.buffer;
        if (op.geometry && !name) {
          ZephLists.pending = ZephLists.pending.filter(function(g) { return g !== op.geometry; });
        }
        if (name && --ZephLists.users[name] == 0) {
          GLctx.deleteBuffer(GL.buffers[name]);
          GL.buffers[name] = null;
          delete ZephLists.users[name];
        }
      });
      delete ZephLists.lists[name];
    }
  },

  glGenLists__deps: ['$ZephLists'],
  glGenLists: function(range) {
    if (range <= 0) return 0;
    var first = ZephLists.nextName;
    ZephLists.nextName += range;
    return first;
  },

  glNewList__deps: ['$ZephLists'],
  glNewList: function(name, mode) {
    if (name == 0 || ZephLists.recording) {
      GL.recordError(name == 0 ? 0x501 /* GL_INVALID_VALUE */ : 0x502 /* GL_INVALID_OPERATION */);
      return;
    }
    ZephLists.recording = {name: name, execute: mode == 0x1301 /* GL_COMPILE_AND_EXECUTE */,
      ops: [], primitive: null,
      current: {texCoord: [0, 0], normal: [0, 0, 1], colour: [1, 1, 1, 1]}};
  },

  glEndList__deps: ['$ZephLists'],
  glEndList: function() {
    var list = ZephLists.recording;
    if (!list) {
      GL.recordError(0x502 /* GL_INVALID_OPERATION */);
      return;
    }
    ZephLists.recording = null;
    ZephLists.forget(list.name);
    list.ops.forEach(function(op) { if (op.geometry) ZephLists.pending.push(op.geometry); });
    ZephLists.lists[list.name] = list.ops;
  },

  glCallList__deps: ['$ZephLists'],
  glCallList: function(name) {
    var list = ZephLists.recording;
    if (list) {
      list.ops.push({list: name});
      if (!list.execute) return;
    }
    ZephLists.replay(name);
  },

  glDeleteLists__deps: ['$ZephLists'],
  glDeleteLists: function(first, range) {
    for (var name = first; name < first + range; name++) ZephLists.forget(name);
  },

  glIsList__deps: ['$ZephLists'],
  glIsList: function(name) {
    return ZephLists.lists[name] ? 1 : 0;
  }
};

mergeInto(LibraryManager.library, LibraryZephDisplayLists);
