"""What a screen reader hears: starts the real program (on a fresh database
with a county chosen, in a home of its own) with the accessibility bus,
opens every panel with its toolbar key, and reads the program's AT-SPI tree
with pyatspi, as Orca does. Prints the named controls as JSON lines and
fails when a button or table of any panel has no name, or a field or
drop-down neither a label nor a description.
Run inside dbus-run-session and an X server (xvfb-run).
Usage: atspi_tree.py KELMIR_NEWDB KELMIR"""
import json
import os
import sqlite3
import subprocess
import sys
import tempfile
import time

newdb, program = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp(prefix="kelmir-atspi-")
home = os.path.join(work, "home")
os.makedirs(home)
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
           XDG_DATA_HOME=os.path.join(home, ".local/share"), XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM="xcb",
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", LC_ALL="C.UTF-8")
database = os.path.join(work, "datacore.vdf")
env["KELMIR_DATABASE"] = database  # this file, whatever the machine's configuration names
bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
time.sleep(1)

import pyatspi  # noqa: E402  (the bus must be up first)

subprocess.run([newdb, database], check=True, env=env)
db = sqlite3.connect(database)
db.execute("INSERT INTO at_settings (megye_kod, cel) VALUES (6, 'cel@example.hu')")
db.commit()
db.close()

ROLES = {"push button", "toggle button", "check box", "text", "password text", "combo box", "table", "tree table",
         "list"}


def application():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Kelmir":
                return app
        time.sleep(0.1)
    raise SystemExit("the program never appeared on the accessibility bus")


def controls(node, panel, found):
    try:
        role = node.getRoleName()
        name = node.name or ""
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:  # a node that went away meanwhile
        return
    if role in ROLES and showing:
        labels = []
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                labels += [relation.getTarget(t).name for t in range(relation.getNTargets())]
        found.append({"panel": panel, "role": role, "name": name, "label": " ".join(labels),
                      "description": node.description or ""})
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            controls(child, panel, found)


def key(sequence):
    subprocess.run(["xdotool", "key", "--delay", "80"] + sequence.split(), env=env, check=True)
    time.sleep(0.8)


def started():
    """The program, started afresh, its window focused, and its node on the bus."""
    process = subprocess.Popen([program], cwd=work, env=env)
    app = application()
    time.sleep(1)
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Kelmir - Daventor"],
                            capture_output=True, text=True, env=env).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], env=env)
    return process, app


found = []
# The bare window, then each panel opened by its toolbar key in a program of its own.
for shortcut, panel in [(None, "toolbar"), ("ctrl+b", "settings"), ("ctrl+l", "locations"),
                        ("ctrl+n", "new month"), ("ctrl+o", "open month"), ("ctrl+e", "export")]:
    kelmir, app = started()
    try:
        if shortcut:
            key(shortcut)
        controls(app, panel, found)
    finally:
        kelmir.terminate()
        kelmir.wait()
bus.terminate()

for control in found:
    print(json.dumps(control, ensure_ascii=False))
# A button says its name; a field or drop-down its own name or its label
# (a drop-down's name is the entry it shows, its label says what it is).
nameless = [c for c in found if not c["name"].strip()
            or (c["role"] in ("combo box", "text", "password text") and not (c["label"] or c["description"]))]
panels = {c["panel"] for c in found}
if nameless or len(panels) < 6:
    print("NAMELESS: " + json.dumps(nameless, ensure_ascii=False), file=sys.stderr)
    print("PANELS: " + ", ".join(sorted(panels)), file=sys.stderr)
    sys.exit(1)
