#!/usr/bin/env python3
# Reads the running Kestrelpack window over the desktop's accessibility bus
# (AT-SPI), as a screen reader does, while the keyboard works it: prints
# every control the reader can reach on each screen (role, name,
# description) and what it hears as the jobs run (focus moves, name and
# value changes). Run by scripts/screen-reader.sh, which starts the window.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

heard = []


def label(acc):
    try:
        return "%s %r" % (acc.getRoleName(), acc.name)
    except Exception:
        return "(gone)"


def on_event(event):
    src = event.source
    if event.type.startswith("object:state-changed:focused") and event.detail1:
        heard.append("focus: " + label(src) + (" (%s)" % src.description if src.description else ""))
    elif event.type.startswith("object:property-change:accessible-name"):
        heard.append("name: " + label(src))
    elif event.type.startswith("object:property-change:accessible-value"):
        try:
            heard.append("value: %s %s" % (label(src), src.queryValue().currentValue))
        except Exception:
            pass


def pump(seconds):
    end = time.time() + seconds
    ctx = GLib.MainContext.default()
    while time.time() < end:
        ctx.iteration(False)
        time.sleep(0.01)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app and app.name and "kestrelpack" in app.name.lower():
            return app
    return None


def controls(acc, out):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is None:
            continue
        states = child.getState()
        if not states.contains(pyatspi.STATE_SHOWING):
            continue
        if states.contains(pyatspi.STATE_FOCUSABLE) or child.getRole() in (
                pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_PROGRESS_BAR, pyatspi.ROLE_TEXT):
            out.append(child)
        controls(child, out)


def screen(title):
    app = find_app()
    found = []
    controls(app, found)
    unnamed = [c for c in found if not c.name.strip()]
    print("== %s: %d controls, %d without a name" % (title, len(found), len(unnamed)))
    for c in found:
        print("   %-12s %-40r %s" % (c.getRoleName(), c.name, c.description))
    return len(unnamed)


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "120"] + list(names), check=True)
    pump(0.8)


def main():
    for _ in range(100):
        if find_app():
            break
        pump(0.1)
    else:
        desktop = pyatspi.Registry.getDesktop(0)
        names = [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)]
        print("screen-reader: no Kestrelpack on the accessibility bus (%s)" % names, file=sys.stderr)
        return 1
    for kind in ("object:state-changed:focused", "object:property-change:accessible-name",
                 "object:property-change:accessible-value"):
        pyatspi.Registry.registerEventListener(on_event, kind)
    unnamed = screen("menu")
    steps = [("information", ["Tab", "Tab", "Return"], 4, ["Escape"]),
             ("export", ["shift+Tab", "shift+Tab", "Return"], 0, ["Escape"]),
             ("upgrade", ["Tab", "Return"], 0, ["Escape"])]
    for name, enter, wait, leave in steps:
        keys(*enter)
        pump(wait)
        unnamed += screen(name + " page")
        keys(*leave)
    sys.stdout.flush()
    if len(sys.argv) > 1:
        # An upgrade heard from start to end: the file typed into the dialog.
        heard.append("-- upgrade with %s" % sys.argv[1])
        keys("Return", "Tab", "space")          # the page, its link, the dialog
        pump(1.5)
        dialog = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Select path$"],
                                capture_output=True, text=True).stdout.split()
        if dialog:
            subprocess.run(["xdotool", "windowfocus", "--sync", dialog[0]], check=False)
        subprocess.run(["xdotool", "type", "--delay", "15", sys.argv[1]], check=True)
        keys("Return")
        pump(1.0)
        keys("Tab", "Tab", "Tab", "Return")     # field, Cancel, Update
        pump(float(sys.argv[2]) if len(sys.argv) > 2 else 20)
    print("== heard while the keys worked")
    for line in heard:
        print("   " + line)
    return 1 if unnamed else 0


sys.exit(main())
