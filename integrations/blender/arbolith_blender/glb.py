"""Reads the meshes of a binary glTF file as arbolith-render writes it, with nothing but the
standard library: the JSON chunk, then each accessor out of the binary chunk."""

import array
import json
import struct
import sys

_COMPONENTS = {"SCALAR": 1, "VEC2": 2, "VEC3": 3, "VEC4": 4}
# componentType: (array typecode, bytes, largest value of a normalized integer)
_TYPES = {
    5120: ("b", 1, 127.0),
    5121: ("B", 1, 255.0),
    5122: ("h", 2, 32767.0),
    5123: ("H", 2, 65535.0),
    5125: ("I", 4, None),
    5126: ("f", 4, None),
}


class GlbError(ValueError):
    """A file that is not a binary glTF file of the kind this reader takes."""


class Mesh:
    """One mesh: flat arrays of vertex positions, normals (3 a vertex), texture coordinates
    (2 a vertex), growth (1 a vertex) and triangle corners (3 a triangle), glTF's axes."""

    def __init__(self, name):
        self.name = name
        self.positions = array.array("f")
        self.normals = array.array("f")
        self.texture = array.array("f")
        self.growth = array.array("f")
        self.corners = array.array("I")

    @property
    def vertex_count(self):
        return len(self.positions) // 3

    @property
    def triangle_count(self):
        return len(self.corners) // 3


def _chunks(data):
    if len(data) < 20 or data[:4] != b"glTF":
        raise GlbError("not a binary glTF file")
    version, length = struct.unpack_from("<II", data, 4)
    if version != 2 or length > len(data):
        raise GlbError("not a whole binary glTF 2.0 file")
    chunks = {}
    at = 12
    while at + 8 <= length:
        size, kind = struct.unpack_from("<II", data, at)
        chunks.setdefault(kind, memoryview(data)[at + 8:at + 8 + size])
        at += 8 + size
    if 0x4E4F534A not in chunks:
        raise GlbError("no JSON chunk")
    return json.loads(bytes(chunks[0x4E4F534A])), chunks.get(0x004E4942)


def _accessor(gltf, binary, index):
    """The accessor's values as a flat array: floats, or whole numbers for unsigned integers that
    are not normalized (indices)."""
    accessor = gltf["accessors"][index]
    view = gltf["bufferViews"][accessor["bufferView"]]
    typecode, size, largest = _TYPES[accessor["componentType"]]
    components = _COMPONENTS[accessor["type"]]
    count = accessor["count"]
    stride = view.get("byteStride", size * components)
    start = view.get("byteOffset", 0) + accessor.get("byteOffset", 0)
    end = start + stride * (count - 1) + size * components if count else start
    if binary is None or end > len(binary) or end > view.get("byteOffset", 0) + view["byteLength"]:
        raise GlbError("an accessor reaches beyond its data")
    if stride % size:
        raise GlbError("an accessor's stride does not hold whole components")
    # The whole strided run as components, then every component of each element picked out.
    run = array.array(typecode)
    run.frombytes(binary[start:start + stride * count][:end - start])
    if sys.byteorder != "little":
        run.byteswap()
    step = stride // size
    if step == components:
        values = run
    else:
        values = array.array(typecode, bytes(count * components * size))
        for c in range(components):
            values[c::components] = run[c::step]
    normalized = accessor.get("normalized", False)
    if typecode == "f":
        return values
    if normalized and size == 1:
        # Each byte's share by table, which maps faster than arithmetic on every value.
        offset = 128 if typecode == "b" else 0
        table = [max((v - offset) / largest, -1.0) for v in range(256)]
        if offset:
            values = array.array("B", values.tobytes())
            table = table[128:] + table[:128]
        return array.array("f", map(table.__getitem__, values))
    if normalized:
        return array.array("f", (max(v / largest, -1.0) for v in values))
    if typecode in "BHI":
        return array.array("I", values)
    return array.array("f", values)


def read_meshes(data):
    """Every mesh of the file, in the order of its nodes' meshes."""
    gltf, binary = _chunks(data)
    meshes = []
    for described in gltf.get("meshes", []):
        mesh = Mesh(described.get("name", "mesh"))
        for primitive in described["primitives"]:
            if primitive.get("mode", 4) != 4:
                raise GlbError("a primitive is not a list of triangles")
            attributes = primitive["attributes"]
            first = mesh.vertex_count
            positions = _accessor(gltf, binary, attributes["POSITION"])
            count = len(positions) // 3
            mesh.positions.extend(positions)
            for name, target, width in (("NORMAL", mesh.normals, 3),
                                        ("TEXCOORD_0", mesh.texture, 2),
                                        ("_GROWTH", mesh.growth, 1)):
                if name in attributes:
                    target.extend(_accessor(gltf, binary, attributes[name]))
                else:
                    target.extend(array.array("f", bytes(4 * width * count)))
            if "indices" in primitive:
                corners = _accessor(gltf, binary, primitive["indices"])
            else:
                corners = array.array("I", range(count))
            if corners and max(corners) >= count:
                raise GlbError("a triangle names a vertex its primitive does not have")
            mesh.corners.extend(map(first.__add__, corners) if first else corners)
        meshes.append(mesh)
    return meshes


def material_colour(data):
    """The first material's base colour, linear RGBA, or None."""
    gltf, _ = _chunks(data)
    for material in gltf.get("materials", []):
        factor = material.get("pbrMetallicRoughness", {}).get("baseColorFactor")
        if factor:
            return tuple(factor)
    return None
