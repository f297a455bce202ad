#!/usr/bin/python3
"""Checks, through the desktop's accessibility bus, what a screen reader sees of the
window: its title, the menus with their captions, the species list with its entries, and the
drop-down lists' popup lists with their names."""
import sys
import time

import pyatspi


def find(node, predicate, depth=0):
    if predicate(node):
        return node
    if depth > 12:
        return None
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            found = find(child, predicate, depth + 1)
            if found is not None:
                return found
    return None


def application(name, timeout=20.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    desktop = pyatspi.Registry.getDesktop(0)
    names = [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)]
    sys.exit(f"no application named {name!r} on the accessibility bus, only {names}")


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def main():
    app = application(sys.argv[1] if len(sys.argv) > 1 else "Statwright")
    failures = []

    frame = find(app, lambda n: n.getRole() == pyatspi.ROLE_FRAME)
    if frame is None or frame.name != "Statwright":
        failures.append(f"window title: {frame.name if frame else None!r}")

    bar = find(app, lambda n: n.getRole() == pyatspi.ROLE_MENU_BAR)
    menus = [m.name for m in children(bar)] if bar else []
    if menus != ["File", "Edit", "View", "Help"]:
        failures.append(f"menus: {menus}")
    expected = {
        "File": ["Open ROM...", "Save ROM", "", "Exit"],
        "Edit": ["Undo Save", "", "EV Yield and TM/HM...", "Evolutions...", "Moves..."],
        "View": ["Table of All Entries"],
        "Help": ["No Gender?", "Read Errors?", "", "About"],
    }
    for menu in children(bar) if bar else []:
        entries = children(menu)
        if len(entries) == 1 and entries[0].getRole() in (pyatspi.ROLE_MENU, pyatspi.ROLE_POPUP_MENU):
            entries = children(entries[0])  # the popup that holds the items
        items = [item.name for item in entries]
        if items != expected.get(menu.name):
            failures.append(f"{menu.name} menu: {items}")

    species = find(app, lambda n: n.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX)
                   and n.name == "Pokémon")
    count = species.childCount if species else 0
    if count != 500:
        failures.append(f"species list entries: {count}")
    elif species.getChildAtIndex(0).name != "Bulbasaur":
        failures.append(f"first entry: {species.getChildAtIndex(0).name!r}")

    # Every drop-down list's popup list is named after the drop-down list.
    lists = []
    def collect(node, depth=0):
        if node.getRole() == pyatspi.ROLE_COMBO_BOX:
            lists.append(node)
            return
        if depth < 12:
            for child in children(node):
                if child is not None:
                    collect(child, depth + 1)
    collect(frame if frame is not None else app)
    if len(lists) != 12:
        failures.append(f"drop-down lists: {len(lists)}")
    for combo in lists:
        popups = [child for child in children(combo)
                  if child is not None and child.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX)]
        if not popups or any(popup.name != combo.name or not popup.name for popup in popups):
            failures.append(f"popup of {combo.name!r}: {[popup.name for popup in popups]}")

    # The small dialogs open as dialogs: a screen reader says so.
    help_menu = next((m for m in children(bar) if m.name == "Help"), None) if bar else None
    about = find(help_menu, lambda n: n.name == "About") if help_menu else None
    if about is None:
        failures.append("no About item")
    else:
        about.queryAction().doAction(0)
        dialog = None
        deadline = time.time() + 10
        while dialog is None and time.time() < deadline:
            time.sleep(0.2)
            dialog = find(app, lambda n: n.getRole() == pyatspi.ROLE_DIALOG, 2)
        if dialog is None or dialog.name != "About":
            failures.append(f"About dialog: {dialog.name if dialog else None!r}")

    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("window 'Statwright', menus File, Edit, View and Help with their items, 500 species entries, "
              "12 drop-down lists with named popups, the About dialog")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
