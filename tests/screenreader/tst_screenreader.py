#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The program as a screen reader meets it, on its own X display and session bus: read
over AT-SPI (the system's python3 has pyatspi, Debian python3-pyatspi), keys typed with xdotool.

  tst_screenreader.py <juanzong executable> <content folder>
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

TITLE = "卷宗范本 V2.0.0"

# Qt's accessibility on whatever the desktop says; the program decides the pages itself.
os.environ.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                  # The bus's accessibility settings live in memory, never in the user's own.
                  GSETTINGS_BACKEND="memory")
for inherited in ("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "QTWEBENGINE_CHROMIUM_FLAGS"):
    os.environ.pop(inherited, None)
if os.geteuid() == 0:
    os.environ["QTWEBENGINE_DISABLE_SANDBOX"] = "1"

if not os.environ.get("JUANZONG_SCREENREADER_ON_DISPLAY"):
    os.environ["JUANZONG_SCREENREADER_ON_DISPLAY"] = "1"
    # -noreset: the accessibility bus's launcher leaves the display as the program
    # connects, and a server resetting then turns the program away.
    os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1400x900x24 -noreset", "dbus-run-session", "--",
                           sys.executable, os.path.abspath(__file__), *sys.argv[1:]])

# Only now, on the session bus of our own, is the accessibility bus asked for.
import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402


def check(name, ok, why):
    """The first failed step ends the test."""
    print(f"PASS {name}" if ok else f"FAIL {name}: {why}", flush=True)
    if not ok:
        sys.exit(1)


def pump(seconds):
    """Waits while letting AT-SPI's events in: the focus listener lives on them."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not context.iteration(False):
            time.sleep(0.02)


def poll(read, seconds):
    """read() until it answers; the program builds and exposes its tree some time after it shows it."""
    deadline = time.monotonic() + seconds
    while True:
        try:
            answer = read()
        except GLib.GError:  # an object that went away while being read
            answer = None
        if answer or time.monotonic() > deadline:
            return answer
        pump(0.5)


def frame():
    """The program's window as the accessibility bus has it now, or None."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "juanzong" and app.childCount > 0:
            # Read afresh over the bus, as a reader arriving now would.
            app.clearCache()
            return app[0]
    return None


def nodes(node):
    """node and everything under it, in reading order."""
    if node is None:
        return
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def document():
    return next((n for n in nodes(frame()) if n.getRoleName() == "document web"), None)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def has_state(node, state):
    return node is not None and node.getState().contains(state)


def describe(node):
    if node is None:
        return None
    return {"role": node.getRoleName(), "name": node.name or "", "text": text_of(node),
            "focused": has_state(node, pyatspi.STATE_FOCUSED), "showing": has_state(node, pyatspi.STATE_SHOWING),
            "children": [describe(c) for c in node if c is not None]}


def act(role, name, action):
    """Performs the node's named action (Press, SetFocus); False if there is none to perform."""
    node = next((n for n in nodes(frame()) if n.getRoleName() == role and n.name == name), None)
    actions = node.queryAction() if node is not None else None
    names = [actions.getName(i) for i in range(actions.nActions)] if actions is not None else []
    return action in names and actions.doAction(names.index(action))


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, timeout=30)


def tab_order(presses):
    """What each Tab moved the focus to, as the focus events report it."""
    latest = []

    def focused(event):
        if event.detail1 == 1 and event.source is not None:
            role = event.source.getRoleName()
            # The page's name is its title, which says nothing of the order.
            latest.append(f"{role}:" + ("" if role.startswith("document") else event.source.name or ""))

    pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
    pump(1.5)
    moves = []
    for _ in range(presses):
        latest.clear()
        xdotool("key", "--clearmodifiers", "Tab")
        pump(0.9)
        moves.append(latest[-1] if latest else "")
    pyatspi.Registry.deregisterEventListener(focused, "object:state-changed:focused")
    return moves


def heading_shows(step, heading):
    """The view reads a heading named heading, within ~20 s."""
    found = poll(lambda: any(n.getRoleName() == "heading" and n.name == heading for n in nodes(document())), 20)
    check(step, found, f"no heading {heading!r} in\n" + json.dumps(describe(document()), ensure_ascii=False, indent=1))


def by_catalogue(downs):
    act("push button", "搜索", "SetFocus")
    # Tab from the 搜索 button lands on the catalogue, as the tab order says.
    xdotool("key", "Tab")
    for _ in range(downs):
        xdotool("key", "Down")


def main(program, content):
    with tempfile.TemporaryDirectory() as scratch:
        # The program finds its content beside itself and writes its search there.
        shutil.copy(program, os.path.join(scratch, "juanzong"))
        shutil.copytree(os.path.join(content, "ws"), os.path.join(scratch, "ws"))
        shutil.copy(os.path.join(content, "black.she"), scratch)
        viewer = subprocess.Popen([os.path.join(scratch, "juanzong")], cwd=scratch, stdout=subprocess.DEVNULL)
        try:
            named = poll(lambda: getattr(frame(), "name", None) == TITLE, 60)
            check("frame_isNamedTheTitle", named, f"the frame reads {getattr(frame(), 'name', None)!r}")
            # No window manager runs here: give the window the keyboard as one would.
            xdotool("search", "--sync", "--onlyvisible", "--name", TITLE, "windowfocus", "--sync")

            # The page has the focus first: the first Tab leaves it for 搜索, the next in
            # the order. (The page itself reports "focused" whether it has the keyboard
            # or not, so asking it proves nothing.)
            expected = ["push button:搜索", "tree:目录", "push button:关闭", "text:搜索关键词", "push button:前进",
                        "push button:后退", "push button:关于", "push button:打印", "document web:", "push button:搜索"]
            moves = tab_order(len(expected))
            check("focus_movesInTheTabOrderAndIsReported", moves == expected, f"focus went to {moves}")

            # Each page from where the one before left the view. Down from the start page's
            # row: two groups, then 管辖, then 回避; one page a step, each loaded before the next.
            heading_shows("startPage_readsItsHeading", "民事诉讼文书制作规范")
            by_catalogue(3)
            heading_shows("catalogueRowByKeyboard_readsItsTemplate", "管辖")
            by_catalogue(1)
            heading_shows("nextCatalogueRow_readsItsTemplate", "回避")
            check("press 后退", act("push button", "后退", "Press"), "no such button, or it refused")
            heading_shows("back_readsTheTemplateBefore", "管辖")
            check("press 关于", act("push button", "关于", "Press"), "no such button, or it refused")
            heading_shows("about_readsItsHeading", TITLE)
        finally:
            viewer.terminate()
            try:
                viewer.wait(10)
            except subprocess.TimeoutExpired:
                viewer.kill()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
