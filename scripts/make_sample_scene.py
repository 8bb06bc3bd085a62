#!/usr/bin/env python3
"""Writes scenes/plaza.gltf: the small glTF 2.0 scene the README renders.

A chequered plaza with a coloured landmark in each direction (front red, right green, back blue,
left yellow), a ring of pillars, a sun and a warm point light, and an animated camera that walks
forward and turns over three seconds. Everything is embedded as data URIs, so the one file is the
whole scene. Python 3 standard library only; the output is committed, so builds never run this.
"""

import base64
import json
import math
import struct
import zlib
from pathlib import Path


def png_rgb(width, height, pixel, alpha=False):
    """A PNG of width x height whose pixel(x, y) gives (r, g, b) bytes, or (r, g, b, a) with alpha."""
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


class Buffer:
    def __init__(self):
        self.data = bytearray()
        self.views = []
        self.accessors = []

    def add(self, fmt, values, kind, count, minmax=False):
        while len(self.data) % 4:
            self.data.append(0)
        offset = len(self.data)
        self.data += struct.pack("<" + fmt * len(values), *values)
        self.views.append({"buffer": 0, "byteOffset": offset, "byteLength": len(self.data) - offset})
        accessor = {"bufferView": len(self.views) - 1, "componentType": 5126 if fmt == "f" else 5123,
                    "count": count, "type": kind}
        if minmax:
            width = {"VEC3": 3}[kind]
            accessor["min"] = [min(values[i::width]) for i in range(width)]
            accessor["max"] = [max(values[i::width]) for i in range(width)]
        self.accessors.append(accessor)
        return len(self.accessors) - 1


def unit_cube(buffer):
    """A cube from -0.5 to 0.5 with flat faces: position, normal and uv accessors and indices."""
    positions, normals, uvs, indices = [], [], [], []
    for axis in range(3):
        for side in (-1.0, 1.0):
            n = [0.0, 0.0, 0.0]
            n[axis] = side
            a = [0.0, 0.0, 0.0]
            a[(axis + 1) % 3] = 0.5
            b = [0.0, 0.0, 0.0]
            b[(axis + 2) % 3] = 0.5
            base = len(positions) // 3
            for (s, t) in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                positions += [n[i] * 0.5 + a[i] * s + b[i] * t for i in range(3)]
                normals += n
                uvs += [(s + 1) / 2, (t + 1) / 2]
            quad = [0, 1, 2, 0, 2, 3] if side > 0 else [0, 2, 1, 0, 3, 2]
            indices += [base + q for q in quad]
    return (buffer.add("f", positions, "VEC3", 24, True), buffer.add("f", normals, "VEC3", 24),
            buffer.add("f", uvs, "VEC2", 24), buffer.add("H", indices, "SCALAR", 36))


def main():
    buffer = Buffer()
    cube = unit_cube(buffer)
    ground = (buffer.add("f", [-20, 0, -20, 20, 0, -20, 20, 0, 20, -20, 0, 20], "VEC3", 4, True),
              buffer.add("f", [0, 1, 0] * 4, "VEC3", 4),
              buffer.add("f", [0, 0, 20, 0, 20, 20, 0, 20], "VEC2", 4),
              buffer.add("H", [0, 2, 1, 0, 3, 2], "SCALAR", 6))
    # The camera walks 3 m forward (-Z) while turning 40 degrees to its left, then back.
    times = [0.0, 1.5, 3.0]
    walk = [0.0, 1.6, 4.0, 0.0, 1.6, 1.0, 0.0, 1.6, 4.0]
    half = math.radians(20.0)
    turn = [0.0, 0.0, 0.0, 1.0, 0.0, math.sin(half), 0.0, math.cos(half), 0.0, 0.0, 0.0, 1.0]
    key_times = buffer.add("f", times, "SCALAR", 3)
    key_walk = buffer.add("f", walk, "VEC3", 3)
    key_turn = buffer.add("f", turn, "VEC4", 3)
    buffer.accessors[key_times]["min"] = [0.0]
    buffer.accessors[key_times]["max"] = [3.0]

    def material(name, rgb, texture=None):
        pbr = {"baseColorFactor": rgb + [1.0], "metallicFactor": 0.0, "roughnessFactor": 1.0}
        if texture is not None:
            pbr["baseColorTexture"] = {"index": texture}
        # Two-sided, as exporters write materials drawn without back-face culling.
        return {"name": name, "pbrMetallicRoughness": pbr, "doubleSided": True}

    colours = [("red", [0.8, 0.1, 0.08]), ("green", [0.1, 0.65, 0.15]), ("blue", [0.1, 0.25, 0.85]),
               ("yellow", [0.9, 0.75, 0.1]), ("stone", [0.6, 0.58, 0.55])]
    materials = [material(name, rgb) for name, rgb in colours] + [material("plaza", [1.0, 1.0, 1.0], 0)]
    meshes = [{"name": name, "primitives": [{"attributes": {"POSITION": cube[0], "NORMAL": cube[1],
                                                             "TEXCOORD_0": cube[2]},
                                              "indices": cube[3], "material": i}]}
              for i, (name, _) in enumerate(colours)]
    meshes.append({"name": "plaza", "primitives": [{"attributes": {"POSITION": ground[0], "NORMAL": ground[1],
                                                                   "TEXCOORD_0": ground[2]},
                                                    "indices": ground[3], "material": len(colours)}]})
    nodes = [
        {"name": "Plaza", "mesh": 5},
        # glTF looks along -Z: the red landmark stands in front of the camera.
        {"name": "Front red", "mesh": 0, "translation": [0, 1.5, -6], "scale": [2, 3, 1]},
        {"name": "Right green", "mesh": 1, "translation": [6, 1.5, 0], "scale": [1, 3, 2]},
        {"name": "Back blue", "mesh": 2, "translation": [0, 1.5, 6], "scale": [2, 3, 1]},
        {"name": "Left yellow", "mesh": 3, "translation": [-6, 1.5, 0], "scale": [1, 3, 2]},
    ]
    for i in range(8):
        angle = 2 * math.pi * (i + 0.5) / 8
        nodes.append({"name": "Pillar %d" % i, "mesh": 4, "translation": [10 * math.sin(angle), 2.5, 10 * math.cos(angle)],
                      "rotation": [0, math.sin(angle / 2), 0, math.cos(angle / 2)], "scale": [0.6, 5, 0.6]})
    sun_pitch = math.radians(-50.0) / 2
    sun_yaw = math.radians(30.0) / 2
    nodes.append({"name": "Sun", "rotation": [math.sin(sun_pitch) * math.cos(sun_yaw), math.cos(sun_pitch) * math.sin(sun_yaw),
                                              -math.sin(sun_pitch) * math.sin(sun_yaw), math.cos(sun_pitch) * math.cos(sun_yaw)],
                  "extensions": {"KHR_lights_punctual": {"light": 0}}})
    nodes.append({"name": "Lantern", "translation": [2, 2.5, -2], "extensions": {"KHR_lights_punctual": {"light": 1}}})
    camera_node = len(nodes)
    nodes.append({"name": "Walker", "camera": 0, "translation": walk[0:3]})
    texture = png_rgb(8, 8, lambda x, y: (200, 196, 186) if (x + y) % 2 else (90, 86, 80))
    gltf = {
        "asset": {"version": "2.0", "generator": "scripts/make_sample_scene.py"},
        "extensionsUsed": ["KHR_lights_punctual"],
        "extensions": {"KHR_lights_punctual": {"lights": [
            # In the extension's units: lux and candela (683 lumens per watt; pi turns an irradiance
            # into the radiance a white matte surface shows). The sun lights the white chequers to just
            # below the display's white, with the sky and the light bounced from the plaza.
            {"name": "sun", "type": "directional", "color": [1.0, 0.95, 0.88],
             "intensity": round(1.3 * 683 * math.pi, 2)},
            {"name": "lantern", "type": "point", "color": [1.0, 0.7, 0.4],
             "intensity": round(1.5 * 683 * math.pi, 2)}]}},
        "scene": 0,
        "scenes": [{"nodes": list(range(len(nodes)))}],
        "nodes": nodes,
        "cameras": [{"name": "walker", "type": "perspective",
                     "perspective": {"yfov": 0.9, "aspectRatio": 16 / 9, "znear": 0.05}}],
        "meshes": meshes,
        "materials": materials,
        "textures": [{"source": 0, "sampler": 0}],
        "samplers": [{"magFilter": 9728, "minFilter": 9728}],
        "images": [{"uri": "data:image/png;base64," + base64.b64encode(texture).decode()}],
        "animations": [{"name": "walk", "samplers": [
            {"input": key_times, "output": key_walk, "interpolation": "LINEAR"},
            {"input": key_times, "output": key_turn, "interpolation": "LINEAR"}],
            "channels": [{"sampler": 0, "target": {"node": camera_node, "path": "translation"}},
                         {"sampler": 1, "target": {"node": camera_node, "path": "rotation"}}]}],
        "buffers": [{"byteLength": len(buffer.data),
                     "uri": "data:application/octet-stream;base64," + base64.b64encode(bytes(buffer.data)).decode()}],
        "bufferViews": buffer.views,
        "accessors": buffer.accessors,
    }
    out = Path(__file__).resolve().parent.parent / "scenes" / "plaza.gltf"
    out.write_text(json.dumps(gltf, separators=(",", ":")) + "\n")
    print(out, out.stat().st_size, "bytes")


if __name__ == "__main__":
    main()
