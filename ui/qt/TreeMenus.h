#pragma once

#include <span>

class QMenuBar;

namespace arbolith {

class TreeDialog;

// An entry of the window's menu bar: the menu it stands in, the action's object name, its text,
// its key (empty for none), whether a line sets it apart from the entries above, and what it does.
struct MenuEntry {
    const char* menu;
    const char* name;
    const char* text;
    const char* key;
    bool separatorBefore;
    void (*does)(TreeDialog& dialog);
};

// The entries of the File, Edit, Tree and Help menus, in their order. The View menu holds the
// canvas's "Front view" and its zoom, and the Presets menu an entry a preset, each named
// "preset-NAME".
std::span<const MenuEntry> MenuEntries();

// The menu bar of the dialog, its actions' keys working anywhere in the window.
QMenuBar* CreateMenuBar(TreeDialog& dialog);

} // namespace arbolith
