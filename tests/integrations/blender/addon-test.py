# Installs the add-on from its zip, adds trees with its operator and checks each against the
# .glb arbolith-render writes for the same values: counts, closed solids, the growth and the
# texture coordinates; then that a value arbolith-render refuses is reported, not raised.
#   blender -b --factory-startup --python addon-test.py -- ARBOLITH-RENDER ADDON-ZIP FOLDER
import os
import re
import subprocess
import sys

import bmesh
import bpy

render, zip_path, folder = sys.argv[sys.argv.index("--") + 1:]


def written(*arguments, lod=0):
    """The vertices and triangles arbolith-render says it wrote, of the level of detail asked."""
    path = os.path.join(folder, "tree.glb")
    said = subprocess.run([render, *arguments, "-o", path], capture_output=True, text=True,
                          check=True).stderr
    counts = re.findall(r"(\d+) vertices, (\d+) triangles", said)
    return tuple(map(int, counts[lod]))


def check(condition, what):
    if not condition:
        raise AssertionError(what)
    print("ok", what)


def added(**values):
    before = set(bpy.data.objects)
    check(bpy.ops.mesh.arbolith_tree_add(**values) == {"FINISHED"}, f"added {values}")
    new = set(bpy.data.objects) - before
    check(len(new) == 1, "one object added")
    return new.pop()


def check_tree(obj, expected, what):
    mesh = obj.data
    check((len(mesh.vertices), len(mesh.polygons)) == expected,
          f"{what}: {len(mesh.vertices)} vertices, {len(mesh.polygons)} triangles as written")
    solid = bmesh.new()
    solid.from_mesh(mesh)
    check(all(edge.is_manifold for edge in solid.edges), f"{what}: every edge joins two faces")
    growth = [0.0] * len(mesh.vertices)
    mesh.attributes["growth"].data.foreach_get("value", growth)
    check(min(growth) == 0 and 0.99 < max(growth) <= 1, f"{what}: growth from 0 to 1")
    check("UVMap" in mesh.uv_layers, f"{what}: texture coordinates")
    check(obj.active_material is not None, f"{what}: a material")


bpy.ops.preferences.addon_install(filepath=zip_path)
bpy.ops.preferences.addon_enable(module="arbolith_blender")
preferences = bpy.context.preferences.addons["arbolith_blender"].preferences
preferences.program = render

oak = added(preset="oak")
check_tree(oak, written("--preset", "oak"), "the oak preset")
check(oak.location.z == 0 and max(v.co.z for v in oak.data.vertices) > 1,
      "the tree stands up along Blender's z")

fewer = added(preset="oak", levels=5)
check_tree(fewer, written("--preset", "oak", "--levels", "5"), "the oak with 5 levels")

lighter = added(preset="acacia", detail=2)
check_tree(lighter, written("--preset", "acacia", "--lod", "3", lod=2),
           "the acacia's level of detail 2")

for values, said in (({"preset": "oak", "levels": 40}, "more than --max-branches"),
                     ({"preset": "oak", "levels": 2147483647}, "lower --levels")):
    before = len(bpy.data.objects)
    try:
        bpy.ops.mesh.arbolith_tree_add(**values)
        raise AssertionError(f"{values} was taken")
    except RuntimeError as error:
        message = str(error)
        check(said in message and "Traceback" not in message,
              f"{values} refused: {message.strip()}")
    check(len(bpy.data.objects) == before, "nothing added")

preferences.program = os.path.join(folder, "nowhere", "arbolith-render")
try:
    bpy.ops.mesh.arbolith_tree_add(preset="oak")
    raise AssertionError("a missing program was taken")
except RuntimeError as error:
    check("is not a program" in str(error) and "Traceback" not in str(error),
          f"a missing program is named: {str(error).strip()}")
