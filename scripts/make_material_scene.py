#!/usr/bin/env python3
"""Writes scenes/materials.gltf: a row of glTF materials on a chequered floor, for the README's picture.

From left to right: a mirror (metallic, roughness 0), brushed gold (metallic, roughness 0.35), glossy
red plastic (roughness 0.15), rough blue (roughness 1), and vertex-coloured; behind them a wall with
a normal map of raised tiles, a glowing sign (emissive, KHR_materials_emissive_strength) and a
cut-out fence (alpha MASK); a sun and a camera. Python 3 standard library only; the output is
committed, so builds never run this.
"""

import base64
import json
import math
from pathlib import Path

from make_sample_scene import Buffer, png_rgb


def sphere(buffer, colours=False, rings=24, segments=48):
    positions, normals, uvs, rgb, indices = [], [], [], [], []
    for r in range(rings + 1):
        theta = math.pi * r / rings
        for s in range(segments + 1):
            phi = 2 * math.pi * s / segments
            n = (math.sin(theta) * math.cos(phi), math.cos(theta), math.sin(theta) * math.sin(phi))
            positions += n
            normals += n
            uvs += (s / segments, r / rings)
            rgb += (0.5 + 0.5 * n[0], 0.5 + 0.5 * n[1], 0.5 + 0.5 * n[2], 1.0)
    for r in range(rings):
        for s in range(segments):
            a = r * (segments + 1) + s
            b = a + segments + 1
            indices += (a, a + 1, b, a + 1, b + 1, b)
    attributes = {"POSITION": buffer.add("f", positions, "VEC3", len(positions) // 3, True),
                  "NORMAL": buffer.add("f", normals, "VEC3", len(normals) // 3),
                  "TEXCOORD_0": buffer.add("f", uvs, "VEC2", len(uvs) // 2)}
    if colours:
        attributes["COLOR_0"] = buffer.add("f", rgb, "VEC4", len(rgb) // 4)
    return attributes, buffer.add("H", indices, "SCALAR", len(indices))


def quad(buffer, half_width, half_height):
    """A rectangle in the XY plane facing +Z, uv (0,0) at its top left."""
    w, h = half_width, half_height
    positions = [-w, -h, 0, w, -h, 0, w, h, 0, -w, h, 0]
    attributes = {"POSITION": buffer.add("f", positions, "VEC3", 4, True),
                  "NORMAL": buffer.add("f", [0, 0, 1] * 4, "VEC3", 4),
                  "TEXCOORD_0": buffer.add("f", [0, 1, 1, 1, 1, 0, 0, 0], "VEC2", 4)}
    return attributes, buffer.add("H", [0, 1, 2, 0, 2, 3], "SCALAR", 6)


def data_uri(kind, data):
    return "data:" + kind + ";base64," + base64.b64encode(data).decode()


def tile_normal(x, y):
    """Raised square tiles: each 16-texel tile's border slopes outwards."""
    u, v = x % 16, y % 16
    nx = -0.6 if u < 2 else 0.6 if u > 13 else 0.0
    ny = 0.6 if v < 2 else -0.6 if v > 13 else 0.0
    length = math.sqrt(nx * nx + ny * ny + 1.0)
    return tuple(int(round((c / length * 0.5 + 0.5) * 255)) for c in (nx, ny, 1.0))


def main():
    buffer = Buffer()
    sphere_mesh = sphere(buffer)
    coloured_sphere = sphere(buffer, colours=True)
    floor = quad(buffer, 10, 10)
    wall = quad(buffer, 6, 1.5)
    panel = quad(buffer, 1, 0.4)
    images = [
        png_rgb(8, 8, lambda x, y: (210, 205, 195) if (x + y) % 2 else (60, 58, 55)),
        png_rgb(64, 64, tile_normal),
        png_rgb(16, 16, lambda x, y: (120, 90, 50, 255 if (x % 8 < 2 or y % 8 < 2) else 0), alpha=True),
    ]
    samplers = [{"magFilter": 9728}, {"magFilter": 9728, "minFilter": 9728}, {}]
    textures = [{"source": 0, "sampler": 0}, {"source": 1, "sampler": 2}, {"source": 2, "sampler": 1}]
    pbr = lambda colour, metallic, roughness, **more: {"pbrMetallicRoughness": dict(
        baseColorFactor=colour + [1.0], metallicFactor=metallic, roughnessFactor=roughness), **more}
    materials = [
        pbr([0.95, 0.95, 0.95], 1.0, 0.0),
        pbr([1.0, 0.78, 0.34], 1.0, 0.35),
        pbr([0.8, 0.05, 0.04], 0.0, 0.15),
        pbr([0.1, 0.25, 0.8], 0.0, 1.0),
        pbr([1.0, 1.0, 1.0], 0.0, 0.5),
        {"pbrMetallicRoughness": {"baseColorTexture": {"index": 0, "extensions": {"KHR_texture_transform": {"scale": [10, 10]}}},
                                  "metallicFactor": 0.0, "roughnessFactor": 0.8}},
        {"pbrMetallicRoughness": {"baseColorFactor": [0.7, 0.68, 0.64, 1], "metallicFactor": 0.0, "roughnessFactor": 0.6},
         "normalTexture": {"index": 1, "extensions": {"KHR_texture_transform": {"scale": [6, 1.5]}}}},
        {"pbrMetallicRoughness": {"baseColorFactor": [0.02, 0.02, 0.02, 1], "metallicFactor": 0.0},
         "emissiveFactor": [1.0, 0.35, 0.1], "extensions": {"KHR_materials_emissive_strength": {"emissiveStrength": 4.0}}},
        {"pbrMetallicRoughness": {"baseColorTexture": {"index": 2, "extensions": {"KHR_texture_transform": {"scale": [12, 2]}}},
                                  "metallicFactor": 0.0},
         "alphaMode": "MASK", "doubleSided": True},
    ]
    meshes = [{"primitives": [{"attributes": attributes, "indices": indices, "material": material}]}
              for attributes, indices, material in [
                  (*sphere_mesh, 0), (*sphere_mesh, 1), (*sphere_mesh, 2), (*sphere_mesh, 3),
                  (*coloured_sphere, 4), (*floor, 5), (*wall, 6), (*panel, 7), (*wall, 8)]]
    nodes = [{"name": name, "mesh": i, "translation": [x, 0.7, -4], "scale": [0.7] * 3}
             for i, (name, x) in enumerate([("mirror", -3.2), ("gold", -1.6), ("glossy red", 0.0),
                                            ("rough blue", 1.6), ("vertex colours", 3.2)])]
    half_turn_x = [-math.sin(math.pi / 4), 0, 0, math.cos(math.pi / 4)]
    nodes += [
        {"name": "floor", "mesh": 5, "rotation": half_turn_x},
        {"name": "tiled wall", "mesh": 6, "translation": [0, 1.5, -7]},
        {"name": "sign", "mesh": 7, "translation": [0, 2.2, -6.95]},
        {"name": "fence", "mesh": 8, "translation": [0, 1.0, -5.6], "scale": [1, 0.66, 1]},
        {"name": "sun", "rotation": [-0.3535534, 0.3535534, 0.1464466, 0.8535534],
         "extensions": {"KHR_lights_punctual": {"light": 0}}},
        {"name": "camera", "camera": 0, "translation": [0, 1.4, 1.5], "rotation": [-0.0871557, 0, 0, 0.9961947]},
    ]
    gltf = {
        "asset": {"version": "2.0", "generator": "scripts/make_material_scene.py"},
        "extensionsUsed": ["KHR_lights_punctual", "KHR_texture_transform", "KHR_materials_emissive_strength"],
        "extensions": {"KHR_lights_punctual": {"lights": [
            {"name": "sun", "type": "directional", "color": [1.0, 0.96, 0.9], "intensity": 2500.0}]}},
        "scene": 0, "scenes": [{"nodes": list(range(len(nodes)))}],
        "nodes": nodes, "meshes": meshes, "materials": materials, "textures": textures, "samplers": samplers,
        "images": [{"uri": data_uri("image/png", image)} for image in images],
        "cameras": [{"type": "perspective", "perspective": {"yfov": 0.9, "aspectRatio": 2.0, "znear": 0.05}}],
        "buffers": [{"byteLength": len(buffer.data), "uri": data_uri("application/octet-stream", bytes(buffer.data))}],
        "bufferViews": buffer.views, "accessors": buffer.accessors,
    }
    path = Path(__file__).resolve().parent.parent / "scenes" / "materials.gltf"
    path.write_text(json.dumps(gltf, separators=(",", ":")))
    print(path, path.stat().st_size, "bytes")


if __name__ == "__main__":
    main()
