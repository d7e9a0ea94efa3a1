"""arbolith-render as the add-on runs it: where it is, its presets, and a tree written to a
.glb file."""

import os
import shutil
import subprocess
import tempfile

from . import glb

PROGRAM = "arbolith-render"


class RendererError(Exception):
    """arbolith-render could not be run, or refused what it was asked; the message says why in
    one line."""


def find(configured):
    """The program: the path set in the preferences, or the one on the search path."""
    if configured:
        path = os.path.abspath(os.path.expanduser(configured))
        if not os.path.isfile(path) or not os.access(path, os.X_OK):
            raise RendererError(f"{path} (set in the add-on's preferences) is not a program")
        return path
    found = shutil.which(PROGRAM)
    if found is None:
        raise RendererError(f"{PROGRAM} was not found on the search path: install Arbolith, "
                            "or set its path in the add-on's preferences")
    return found


def _run(program, arguments):
    try:
        done = subprocess.run([program, *arguments], capture_output=True, text=True,
                              errors="replace", check=False)
    except OSError as error:
        raise RendererError(f"{program} could not be run: {error.strerror}") from error
    if done.returncode != 0:
        lines = [line for line in done.stderr.splitlines() if line.strip()]
        said = lines[-1] if lines else f"it ended with status {done.returncode}"
        prefix = PROGRAM + ": "
        raise RendererError(said[len(prefix):] if said.startswith(prefix) else said)
    return done


def presets(program):
    """The presets' names and what they look like, as --list-presets gives them."""
    listed = []
    for line in _run(program, ["--list-presets"]).stdout.splitlines():
        name, _, description = line.strip().partition(" ")
        if name:
            listed.append((name, description.strip()))
    return listed


def preset_values(program, name):
    """A preset's values and second, under the options' names (max-xy, reference, time...)."""
    values = {}
    for line in _run(program, ["--preset", name, "--show-params"]).stdout.splitlines():
        line = line.partition("#")[0]
        key, equals, value = line.partition("=")
        if equals:
            values[key.strip()] = value.strip()
    return values


def write_tree(program, options, levels_of_detail=0):
    """Writes the tree of the options (pairs of option and value) to a .glb file and reads its
    meshes back."""
    folder = tempfile.mkdtemp(prefix="arbolith-")
    path = os.path.join(folder, "tree.glb")
    try:
        arguments = []
        for option, value in options:
            arguments += [option, str(value)]
        if levels_of_detail:
            arguments += ["--lod", str(levels_of_detail)]
        _run(program, arguments + ["--format", "glb", "-o", path])
        with open(path, "rb") as file:
            data = file.read()
        try:
            return glb.read_meshes(data), glb.material_colour(data)
        except glb.GlbError as error:
            raise RendererError(f"the .glb {PROGRAM} wrote cannot be read: {error}") from error
    finally:
        shutil.rmtree(folder, ignore_errors=True)
