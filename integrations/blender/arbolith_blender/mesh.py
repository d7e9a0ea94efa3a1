"""A tree's mesh, as glb.read_meshes gives it, made a Blender mesh."""

import array

import bpy

MATERIAL = "Arbolith bark"


def _blender_axes(positions):
    """glTF's +Y up to Blender's +Z up: (x, y, z) becomes (x, -z, y)."""
    turned = array.array("f", bytes(4 * len(positions)))
    turned[0::3] = positions[0::3]
    turned[1::3] = array.array("f", map(float.__neg__, positions[2::3]))
    turned[2::3] = positions[1::3]
    return turned


def _material(colour):
    material = bpy.data.materials.get(MATERIAL)
    if material is None:
        material = bpy.data.materials.new(MATERIAL)
        material.use_nodes = True
        shader = material.node_tree.nodes.get("Principled BSDF")
        if colour is not None and shader is not None:
            shader.inputs["Base Color"].default_value = colour
            shader.inputs["Roughness"].default_value = 0.9
        if colour is not None:
            material.diffuse_color = colour
    return material


def build_mesh(name, tree, colour):
    """The mesh: its vertices, triangles, smooth normals, the texture coordinates as the UV map
    "UVMap", the growth as the point attribute "growth", and the material of the file's colour."""
    mesh = bpy.data.meshes.new(name)
    corners = tree.corners
    triangles = len(corners) // 3
    mesh.vertices.add(tree.vertex_count)
    mesh.vertices.foreach_set("co", _blender_axes(tree.positions))
    mesh.loops.add(len(corners))
    mesh.loops.foreach_set("vertex_index", corners)
    mesh.polygons.add(triangles)
    mesh.polygons.foreach_set("loop_start", array.array("i", range(0, len(corners), 3)))
    # Blender 4 counts each polygon's corners from where the next starts.
    if not bpy.types.MeshPolygon.bl_rna.properties["loop_total"].is_readonly:
        mesh.polygons.foreach_set("loop_total", array.array("i", [3]) * triangles)
    mesh.polygons.foreach_set("use_smooth", array.array("b", [1]) * triangles)
    mesh.update(calc_edges=True)

    # A corner's texture coordinates are its vertex's; Blender's v runs up where glTF's runs down.
    u = tree.texture[0::2]
    v = array.array("f", map((1.0).__sub__, tree.texture[1::2]))
    uv = array.array("f", bytes(8 * len(corners)))
    uv[0::2] = array.array("f", map(u.__getitem__, corners))
    uv[1::2] = array.array("f", map(v.__getitem__, corners))
    mesh.uv_layers.new(name="UVMap").data.foreach_set("uv", uv)

    mesh.attributes.new("growth", "FLOAT", "POINT").data.foreach_set("value", tree.growth)

    normals = _blender_axes(tree.normals)
    if hasattr(mesh, "use_auto_smooth"):
        mesh.use_auto_smooth = True
    mesh.normals_split_custom_set_from_vertices(
        list(zip(normals[0::3], normals[1::3], normals[2::3])))
    mesh.materials.append(_material(colour))
    return mesh
