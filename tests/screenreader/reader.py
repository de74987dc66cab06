#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the program as a screen reader does, over AT-SPI, and answers in JSON.

  reader.py tree                     the program's whole tree
  reader.py act ROLE NAME ACTION     performs a named action (Press, SetFocus)
  reader.py settext ROLE NAME TEXT   replaces an editable text
  reader.py keys COUNT KEY...        presses the keys (xdotool) COUNT times and
                                     lists the object each press moved focus to

Run with the system's python3, which has pyatspi (Debian python3-pyatspi).
"""
import json
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM = "juanzong"


def application(timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == PROGRAM:
                return app
        time.sleep(0.2)
    sys.exit(f"{PROGRAM} is not on the accessibility bus")


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def describe(node):
    states = node.getState()
    return {
        "role": node.getRoleName(),
        "name": node.name or "",
        "text": text_of(node),
        "focused": states.contains(pyatspi.STATE_FOCUSED),
        "showing": states.contains(pyatspi.STATE_SHOWING),
        "children": [describe(c) for c in node if c is not None],
    }


def find(node, role, name):
    if node.getRoleName() == role and node.name == name:
        return node
    for child in node:
        if child is not None:
            found = find(child, role, name)
            if found is not None:
                return found
    return None


def found_or_exit(role, name):
    node = find(application(), role, name)
    if node is None:
        sys.exit(f"no {role} named {name!r}")
    return node


def act(role, name, action):
    node = found_or_exit(role, name)
    actions = node.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) == action:
            return {"done": bool(actions.doAction(i))}
    sys.exit(f"{role} {name!r} has no action {action}")


def settext(role, name, text):
    node = found_or_exit(role, name)
    return {"done": bool(node.queryEditableText().setTextContents(text))}


def keys(count, names):
    application()
    moves = []
    latest = {}

    def focused(event):
        if event.detail1 == 1 and event.source is not None:
            latest["node"] = f"{event.source.getRoleName()}:{event.source.name or ''}"

    def press():
        if len(moves) == count:
            pyatspi.Registry.stop()
            return False
        latest.pop("node", None)
        subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=True)
        GLib.timeout_add(900, record)
        return False

    def record():
        moves.append(latest.get("node", ""))
        GLib.idle_add(press)
        return False

    pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
    GLib.timeout_add(1500, press)
    pyatspi.Registry.start()
    return moves


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "tree":
        answer = describe(application())
    elif command == "act" and len(argv) == 5:
        answer = act(argv[2], argv[3], argv[4])
    elif command == "settext" and len(argv) == 5:
        answer = settext(argv[2], argv[3], argv[4])
    elif command == "keys" and len(argv) >= 4:
        answer = keys(int(argv[2]), argv[3:])
    else:
        sys.exit(__doc__)
    json.dump(answer, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv)
