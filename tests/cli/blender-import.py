# Imports each .glb named after "--" in Blender and prints, one line a file, its vertex and
# triangle counts and its edges that do not join exactly two faces.
import sys

import numpy

# Blender 3.4's glTF importer still uses numpy.bool, which Debian 12's numpy no longer has.
numpy.bool = bool

import bmesh  # noqa: E402
import bpy  # noqa: E402

for path in sys.argv[sys.argv.index("--") + 1:]:
    bpy.ops.wm.read_factory_settings(use_empty=True)
    bpy.ops.import_scene.gltf(filepath=path)
    mesh = bmesh.new()
    for obj in bpy.context.scene.objects:
        if obj.type == "MESH":
            mesh.from_mesh(obj.data)
    open_edges = sum(1 for edge in mesh.edges if not edge.is_manifold)
    print(f"imported {path}: {len(mesh.verts)} vertices, {len(mesh.faces)} triangles, "
          f"{open_edges} non-manifold edges")
