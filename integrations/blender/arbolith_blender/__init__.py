"""Arbolith trees in Blender: Add > Mesh > Arbolith tree grows a tree with arbolith-render and
builds its mesh, reading the .glb file itself, so that it needs no other add-on."""

bl_info = {
    "name": "Arbolith tree",
    "author": "the Arbolith developers",
    # The project's version (CMakeLists.txt), which the package checks hold it to.
    "version": (0, 1, 0),
    "blender": (3, 4, 0),
    "location": "View3D > Add > Mesh > Arbolith tree",
    "description": "Grows a random three-dimensional tree with arbolith-render",
    "doc_url": "https://github.com/arbolith/arbolith",
    "category": "Add Mesh",
}

import time

import bpy
from bpy.props import (BoolProperty, EnumProperty, FloatProperty, IntProperty,
                       IntVectorProperty, StringProperty)
from bpy_extras import object_utils

from . import renderer
from .mesh import build_mesh


def _preferences(context):
    return context.preferences.addons[__package__].preferences


class ArbolithPreferences(bpy.types.AddonPreferences):
    bl_idname = __package__

    program: StringProperty(
        name="arbolith-render",
        description="The program that grows the trees; empty to take the one on the search path",
        subtype="FILE_PATH",
    )
    most_branches: IntProperty(
        name="Largest tree",
        description="A tree of more branches is refused before it is grown, so that a slip of "
                    "a value cannot keep Blender busy for minutes",
        default=1_000_000, min=1,
    )

    def draw(self, context):
        self.layout.prop(self, "program")
        self.layout.prop(self, "most_branches")


# The presets arbolith-render offers, read once; Blender keeps only the strings it is handed
# while someone holds them.
_preset_items = []


def _presets(self, context):
    if not _preset_items:
        try:
            program = renderer.find(_preferences(context).program)
            for name, description in renderer.presets(program):
                _preset_items.append((name, name.capitalize(), description))
        except renderer.RendererError:
            pass
        if not _preset_items:
            _preset_items.append(("example", "Example", "the example tree"))
    return _preset_items


# The tree's values: the operator's property, the option of arbolith-render, how a preset's
# text reads as the property.
def _triple(text):
    return tuple(int(number) for number in text.split(","))


_VALUES = (
    ("max_xy", "--max-xy", int),
    ("max_yz", "--max-yz", int),
    ("max_xz", "--max-xz", int),
    ("scale", "--scale", float),
    ("limbs", "--limbs", int),
    ("reference", "--reference", _triple),
    ("vector", "--vector", _triple),
    ("levels", "--levels", int),
)


class ARBOLITH_OT_add_tree(bpy.types.Operator, object_utils.AddObjectHelper):
    """Grow a random three-dimensional tree with arbolith-render and add its mesh"""
    bl_idname = "mesh.arbolith_tree_add"
    bl_label = "Arbolith tree"
    bl_options = {"REGISTER", "UNDO"}

    preset: EnumProperty(name="Preset", items=_presets,
                         description="Take the values and the second of a named tree")
    # The preset whose values were taken last: a preset chosen anew replaces the values.
    applied_preset: StringProperty(options={"HIDDEN"})
    second: IntProperty(name="Second", min=0,
                        description="The clock second that seeds the tree: the same values and "
                                    "second always grow the same tree")
    now: BoolProperty(name="Now", description="Take the clock's second: a new tree")
    max_xy: IntProperty(name="Max XY", description="The largest turn in the XY plane, degrees")
    max_yz: IntProperty(name="Max YZ", description="The largest turn in the YZ plane, degrees")
    max_xz: IntProperty(name="Max XZ", description="The largest turn in the XZ plane, degrees")
    scale: FloatProperty(name="Scale", precision=3, step=1,
                         description="Each limb's length against its parent's; 0 draws one for "
                                     "every limb")
    limbs: IntProperty(name="Limbs", description="Limbs of each fork; 0 draws a number")
    reference: IntVectorProperty(name="Foot", size=3,
                                 description="The trunk's foot, canvas pixels")
    vector: IntVectorProperty(name="Trunk", size=3,
                              description="The trunk, canvas pixels, y downward")
    levels: IntProperty(name="Levels", description="Levels of limbs above the trunk")
    detail: IntProperty(name="Level of detail", min=0, max=7,
                        description="0 for the whole tree; each level about half the triangles "
                                    "of the one before")

    def draw(self, context):
        layout = self.layout
        layout.prop(self, "preset")
        row = layout.row(align=True)
        row.prop(self, "second")
        row.prop(self, "now", toggle=True)
        column = layout.column(align=True)
        for name, _, _ in _VALUES:
            column.prop(self, name)
        layout.prop(self, "detail")
        layout.separator()
        layout.prop(self, "align")
        layout.prop(self, "location")
        layout.prop(self, "rotation")

    def _take_preset(self, program):
        values = renderer.preset_values(program, self.preset)
        # The first run keeps the values given with the call; a preset chosen later replaces all.
        first = not self.applied_preset
        for name, option, read in _VALUES:
            if not (first and self.properties.is_property_set(name)):
                setattr(self, name, read(values[option[2:]]))
        if "time" in values and not (first and self.properties.is_property_set("second")):
            self.second = int(values["time"])
        self.applied_preset = self.preset

    def execute(self, context):
        preferences = _preferences(context)
        try:
            program = renderer.find(preferences.program)
            if self.preset != self.applied_preset:
                self._take_preset(program)
            if self.now:
                self.second = int(time.time()) & 0x7FFFFFFF
                self.now = False
            options = [(option, ",".join(map(str, getattr(self, name)))
                        if read is _triple else getattr(self, name))
                       for name, option, read in _VALUES]
            options += [("--time", self.second), ("--max-branches", preferences.most_branches)]
            meshes, colour = renderer.write_tree(program, options,
                                                 self.detail + 1 if self.detail else 0)
        except (renderer.RendererError, KeyError, ValueError) as error:
            self.report({"ERROR"}, str(error))
            return {"CANCELLED"}
        tree = meshes[-1]
        mesh = build_mesh(f"Arbolith tree {self.second}", tree, colour)
        object_utils.object_data_add(context, mesh, operator=self)
        self.report({"INFO"}, f"Arbolith tree of second {self.second}: {tree.vertex_count} "
                              f"vertices, {tree.triangle_count} triangles")
        return {"FINISHED"}


def _menu(self, context):
    self.layout.operator(ARBOLITH_OT_add_tree.bl_idname, text="Arbolith tree")


_classes = (ArbolithPreferences, ARBOLITH_OT_add_tree)


def register():
    for cls in _classes:
        bpy.utils.register_class(cls)
    bpy.types.VIEW3D_MT_mesh_add.append(_menu)


def unregister():
    bpy.types.VIEW3D_MT_mesh_add.remove(_menu)
    for cls in reversed(_classes):
        bpy.utils.unregister_class(cls)
