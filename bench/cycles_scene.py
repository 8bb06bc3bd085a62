"""A small courtyard built in Blender, exported to glTF with the exporter's defaults (lights and
cameras switched on), and rendered by Cycles as an equirectangular panorama; then, given the renders
of both sides, the table of per-object mean colour and clipped pixels.

Run by bench/light_vs_cycles.sh:
  blender -b --python bench/cycles_scene.py -- build OUT_DIR BOUNCES...
  blender -b --python bench/cycles_scene.py -- compare OUT_DIR BOUNCES...
"""
import math
import os
import sys

import bpy

WIDTH, HEIGHT = 512, 256
SAMPLES = 64
WORLD = 0.05  # the world's uniform radiance, the same for both renderers
# Each object: name, colour, and the colour of its mask in the object-ID render.
OBJECTS = [
    ("ground", (0.5, 0.5, 0.5), (1, 0, 0)),
    ("red cube", (0.8, 0.1, 0.08), (0, 1, 0)),
    ("white sphere", (0.8, 0.8, 0.8), (0, 0, 1)),
    ("blue cube", (0.1, 0.2, 0.8), (1, 1, 0)),
    ("metal sphere", (0.9, 0.6, 0.3), (1, 0, 1)),
    ("glossy cube", (0.8, 0.75, 0.1), (0, 1, 1)),
    ("emissive panel", (0.02, 0.02, 0.02), (1, 1, 1)),
    ("textured cube", (1.0, 1.0, 1.0), (0.5, 0.5, 0)),
]
# How each material differs from a matte one: Principled inputs by name.
FINISH = {
    "metal sphere": {"Metallic": 1.0, "Roughness": 0.3},
    "glossy cube": {"Roughness": 0.2, "Specular": 0.5},
    "emissive panel": {"Emission": (1.0, 0.5, 0.2, 1.0), "Emission Strength": 3.0},
}


def material(name, colour):
    mat = bpy.data.materials.new(name)
    mat.use_nodes = True
    bsdf = mat.node_tree.nodes["Principled BSDF"]
    bsdf.inputs["Base Color"].default_value = (*colour, 1.0)
    bsdf.inputs["Roughness"].default_value = 1.0
    bsdf.inputs["Specular"].default_value = 0.0
    for key, value in FINISH.get(name, {}).items():
        bsdf.inputs[key].default_value = value
    if name == "textured cube":
        # A checker image of 8 x 8 squares, as the exporter writes it into the file.
        image = bpy.data.images.new("checker", 64, 64)
        image.pixels[:] = [v for y in range(64) for x in range(64)
                           for v in ((0.9, 0.9, 0.9, 1.0) if (x // 8 + y // 8) % 2 else (0.1, 0.1, 0.1, 1.0))]
        image.pack()
        texture = mat.node_tree.nodes.new("ShaderNodeTexImage")
        texture.image = image
        mat.node_tree.links.new(texture.outputs["Color"], bsdf.inputs["Base Color"])
    return mat


def build_scene():
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    bpy.ops.mesh.primitive_plane_add(size=20, location=(0, 0, 0))
    bpy.ops.mesh.primitive_cube_add(size=1, location=(2.5, 2, 0.5))
    bpy.ops.mesh.primitive_uv_sphere_add(radius=0.7, location=(-2.5, 2.5, 0.7), segments=64, ring_count=32)
    bpy.ops.object.shade_smooth()
    bpy.ops.mesh.primitive_cube_add(size=1, location=(0, -3, 0.5))
    bpy.ops.mesh.primitive_uv_sphere_add(radius=0.6, location=(3.5, -1.5, 0.6), segments=64, ring_count=32)
    bpy.ops.object.shade_smooth()
    bpy.ops.mesh.primitive_cube_add(size=1, location=(-3.5, -1.5, 0.5))
    bpy.ops.mesh.primitive_plane_add(size=1.2, location=(-2, -4, 1.0), rotation=(math.radians(90), 0, 0))
    bpy.ops.mesh.primitive_cube_add(size=1.2, location=(2, 4, 0.6))
    for obj, (name, colour, _) in zip(scene.objects, OBJECTS):
        obj.name = name
        obj.data.materials.append(material(name, colour))
    sun = bpy.data.objects.new("sun", bpy.data.lights.new("sun", "SUN"))
    sun.data.energy = 3.0
    sun.data.angle = 0.0
    sun.rotation_euler = (math.radians(40), 0, math.radians(30))
    lamp = bpy.data.objects.new("lamp", bpy.data.lights.new("lamp", "POINT"))
    lamp.data.energy = 300.0
    lamp.data.shadow_soft_size = 0.0
    lamp.location = (0.5, 0.5, 2.5)
    camera = bpy.data.objects.new("camera", bpy.data.cameras.new("camera"))
    camera.location = (0, 0, 1.6)
    camera.rotation_euler = (math.radians(90), 0, 0)
    for obj in (sun, lamp, camera):
        scene.collection.objects.link(obj)
    scene.camera = camera
    world = bpy.data.worlds.new("world")
    world.use_nodes = True
    world.node_tree.nodes["Background"].inputs["Color"].default_value = (WORLD, WORLD, WORLD, 1)
    scene.world = world
    return scene


def set_up_cycles(scene, bounces):
    scene.render.engine = "CYCLES"
    scene.cycles.device = "CPU"
    scene.cycles.samples = SAMPLES
    scene.cycles.use_denoising = False
    scene.cycles.max_bounces = bounces
    scene.cycles.diffuse_bounces = bounces
    scene.render.resolution_x, scene.render.resolution_y = WIDTH, HEIGHT
    scene.render.resolution_percentage = 100
    camera = scene.camera.data
    camera.type = "PANO"
    camera.cycles.panorama_type = "EQUIRECTANGULAR"
    scene.view_settings.view_transform = "Standard"
    scene.view_settings.look = "None"
    scene.view_settings.exposure = 0.0


def render(scene, path, file_format):
    scene.render.image_settings.file_format = file_format
    scene.render.image_settings.color_depth = "32" if file_format == "OPEN_EXR" else "8"
    scene.render.filepath = path
    bpy.ops.render.render(write_still=True)


def build(out, bounce_counts):
    scene = build_scene()
    bpy.ops.export_scene.gltf(filepath=os.path.join(out, "courtyard.glb"), export_format="GLB",
                              export_lights=True, export_cameras=True)
    for bounces in bounce_counts:
        set_up_cycles(scene, bounces)
        render(scene, os.path.join(out, f"cycles_b{bounces}.exr"), "OPEN_EXR")
        render(scene, os.path.join(out, f"cycles_b{bounces}.png"), "PNG")
    # The object masks: every surface glowing in its own colour, nothing else.
    set_up_cycles(scene, 0)
    scene.cycles.samples = 1
    scene.render.filter_size = 0.01
    scene.world.node_tree.nodes["Background"].inputs["Strength"].default_value = 0.0
    for obj in list(scene.objects):
        if obj.type == "LIGHT":
            bpy.data.objects.remove(obj)
    for obj, (_, _, mask) in zip([o for o in scene.objects if o.type == "MESH"], OBJECTS):
        glow = bpy.data.materials.new(obj.name + " mask")
        glow.use_nodes = True
        nodes = glow.node_tree.nodes
        nodes.remove(nodes["Principled BSDF"])
        emission = nodes.new("ShaderNodeEmission")
        emission.inputs["Color"].default_value = (*mask, 1)
        glow.node_tree.links.new(emission.outputs[0], nodes["Material Output"].inputs[0])
        obj.data.materials[0] = glow
    render(scene, os.path.join(out, "masks.exr"), "OPEN_EXR")


def pixels(path):
    image = bpy.data.images.load(path)
    values = list(image.pixels[:])
    return [values[i:i + 3] for i in range(0, len(values), 4)]


def luminance(c):
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]


def object_means(colours, labels):
    sums = [[0.0, 0.0, 0.0, 0] for _ in OBJECTS]
    for colour, label in zip(colours, labels):
        if label is None:
            continue
        for c in range(3):
            sums[label][c] += colour[c]
        sums[label][3] += 1
    return [[s[c] / max(1, s[3]) for c in range(3)] for s in sums]


# Pixels blown out to white: every channel at the display's white.
def clipped_share(path):
    colours = pixels(path)
    return sum(1 for c in colours if min(c) >= 254.5 / 255.0) / len(colours)


def compare(out, bounce_counts):
    masks = pixels(os.path.join(out, "masks.exr"))
    labels = []
    for colour in masks:
        best = min(range(len(OBJECTS)), key=lambda i: sum((colour[c] - OBJECTS[i][2][c]) ** 2 for c in range(3)))
        near = sum((colour[c] - OBJECTS[best][2][c]) ** 2 for c in range(3)) < 0.01
        labels.append(best if near else None)
    print(f"{'bounces':>7} {'object':<13} {'Cycles mean RGB':<22} {'orvex360 mean RGB':<22} {'luminance ratio':>15}")
    for bounces in bounce_counts:
        theirs = object_means(pixels(os.path.join(out, f"cycles_b{bounces}.exr")), labels)
        ours = object_means(pixels(os.path.join(out, f"orvex_b{bounces}.exr")), labels)
        for (name, _, _), a, b in zip(OBJECTS, theirs, ours):
            ratio = luminance(b) / luminance(a) if luminance(a) > 0 else float("nan")
            fmt = lambda c: "%.3f %.3f %.3f" % tuple(c)
            print(f"{bounces:>7} {name:<13} {fmt(a):<22} {fmt(b):<22} {ratio:>15.3f}")
        print(f"{bounces:>7} clipped pixels: Cycles {100 * clipped_share(os.path.join(out, f'cycles_b{bounces}.png')):.2f}%"
              f", orvex360 {100 * clipped_share(os.path.join(out, f'orvex_b{bounces}.png')):.2f}%")


if __name__ == "__main__":
    arguments = sys.argv[sys.argv.index("--") + 1:]
    action, out, counts = arguments[0], arguments[1], [int(b) for b in arguments[2:]]
    (build if action == "build" else compare)(out, counts)
