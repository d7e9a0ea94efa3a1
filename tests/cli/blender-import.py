# Imports each .glb and .obj named after "--" in Blender and prints, one line a mesh object, its
# vertex and triangle counts and its edges that do not join exactly two faces.
import sys

import numpy

# Blender 3.4's glTF importer still uses numpy.bool, which Debian 12's numpy no longer has.
numpy.bool = bool

import bmesh  # noqa: E402
import bpy  # noqa: E402

for path in sys.argv[sys.argv.index("--") + 1:]:
    bpy.ops.wm.read_factory_settings(use_empty=True)
    if path.endswith(".obj"):
        bpy.ops.wm.obj_import(filepath=path)
    else:
        bpy.ops.import_scene.gltf(filepath=path)
    for obj in sorted(bpy.context.scene.objects, key=lambda o: o.name):
        if obj.type != "MESH":
            continue
        mesh = bmesh.new()
        mesh.from_mesh(obj.data)
        open_edges = sum(1 for edge in mesh.edges if not edge.is_manifold)
        print(f"imported {path} {obj.name}: {len(mesh.verts)} vertices, {len(mesh.faces)} "
              f"triangles, {open_edges} non-manifold edges")
