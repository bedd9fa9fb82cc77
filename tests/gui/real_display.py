# SPDX-License-Identifier: MIT
"""Drives the real program in an X server under a window manager, with the keyboard and
the mouse as a user would, and reads its windows through the accessibility bus (AT-SPI), as
a screen reader sees them: focus, places, sizes and texts.

Usage (inside an X server with a window manager and a session bus):
    real_display.py SCENARIO WORK ARTEFACTS PROGRAM [ARGS...]
Prints one line per check ("ok: ..." or "FAILED: ...") and exits 1 when any failed.
"""

import os
import subprocess
import sys
import time

import pyatspi

SCREEN = (1024, 768)
# The version the program says of itself (real_display_test.sh passes it on).
VERSION = os.environ["GLOSSEK_TEST_VERSION"]
failures = 0


def check(name, condition, detail=""):
    global failures
    if condition:
        print(f"ok: {name}")
    else:
        failures += 1
        print(f"FAILED: {name} {detail}".rstrip())
    sys.stdout.flush()


def wait_for(condition, timeout=10.0):
    """Polls until condition() gives something true; returns it, or None."""
    end = time.time() + timeout
    while time.time() < end:
        try:
            value = condition()
        except Exception:  # the tree changes under our feet while windows come and go
            value = None
        if value:
            return value
        time.sleep(0.1)
    return None


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False)


def keys(*combos):
    for combo in combos:
        xdotool("key", "--clearmodifiers", combo)
        time.sleep(0.15)


def type_text(text):
    xdotool("type", "--delay", "15", text)
    time.sleep(0.2)


def screenshot(artefacts, name):
    """The active window with the window manager's frame around it, for people to look at."""
    active = subprocess.run(["xdotool", "getactivewindow"], capture_output=True,
                            text=True).stdout.strip()
    window = ["-window", active, "-frame"] if active else ["-window", "root"]
    subprocess.run(["import", *window, os.path.join(artefacts, name)], check=False)


def application(name="glossek"):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def states(node):
    return node.getState()


def showing(node):
    s = states(node)
    return s.contains(pyatspi.STATE_SHOWING) and s.contains(pyatspi.STATE_VISIBLE)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def find(root, role, name=None, only_showing=True):
    for node in walk(root):
        if node.getRoleName() == role and (name is None or node.name == name):
            if not only_showing or showing(node):
                return node
    return None


def focused(root):
    """The control with the keyboard, among those shown (a child window shown as an icon
    still says which of its controls had it last)."""
    for node in walk(root):
        if node.getRoleName() not in ("frame", "filler", "application") and states(node).contains(
                pyatspi.STATE_FOCUSED) and showing(node):
            return node
    return None


def has_keyboard(root, role, name):
    """Whether the control of that role and name, shown, has the keyboard."""
    node = find(root, role, name)
    return node is not None and states(node).contains(pyatspi.STATE_FOCUSED)


def leave_text_box(frame, title):
    """Tab on until the keyboard is on no text box of the child window `title`, where Ctrl+A
    would select the text rather than show the table editor."""
    for _ in range(4):
        node = focused_in_child(frame, title)
        if node is not None and node.getRoleName() != "text":
            return
        keys("Tab")


def focused_in_child(frame, title):
    """The control with the keyboard in the child window `title`."""
    child = find(frame, "frame", title)
    return focused(child) if child is not None else None


def main_frame(app):
    for node in app:
        if node is not None and node.getRoleName() == "frame" and node.name.startswith("Glossek"):
            return node
    return None


def inside_screen(box):
    x, y, w, h = box
    return x >= 0 and y >= 0 and x + w <= SCREEN[0] and y + h <= SCREEN[1]


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return node.name


def message_box(app, words):
    """The message box whose text holds `words`, shown."""
    for node in app:
        if node is None or node.getRoleName() not in ("dialog", "alert", "frame"):
            continue
        if not showing(node):
            continue
        for label in walk(node):
            if label.getRoleName() == "label" and words in label.name:
                return node
    return None


def label_starting(root, words):
    """The shown label whose text starts with `words`."""
    return next((n for n in walk(root) if n.getRoleName() == "label" and showing(n) and
                 n.name.startswith(words)), None)


def button_names(root):
    return [n.name for n in walk(root) if n.getRoleName() == "push button" and showing(n)]


def activate(app):
    frame = main_frame(app)
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Glossek"],
                         capture_output=True, text=True).stdout.split()
    if ids:
        xdotool("windowactivate", "--sync", ids[0])
        time.sleep(0.3)
    return frame


def start(program, args, env_extra=None, cwd=None):
    env = dict(os.environ)
    env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    if env_extra:
        env.update(env_extra)
    process = subprocess.Popen([program, *args], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, cwd=cwd)
    app = wait_for(lambda: application() if application() and main_frame(application()) else None,
                   20)
    return process, app


def window_id():
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Glossek"],
                         capture_output=True, text=True).stdout.split()
    return ids[0] if ids else None


def resize(width, height):
    wid = window_id()
    if wid:
        xdotool("windowsize", "--sync", wid, str(width), str(height))
        time.sleep(0.6)


def scenario_english(work, artefacts, program):
    docs = os.path.join(work, "docs")
    process, app = start(program, [])
    check("the window opens", app is not None)
    if app is None:
        return process
    frame = activate(app)
    check("frame title", frame.name == f"Glossek {VERSION} - [General data]", frame.name)
    check("frame wholly on the screen", inside_screen(extents(frame)), str(extents(frame)))
    check("frame at its usual place", extents(frame)[:2] == (128, 147), str(extents(frame)))
    box = wait_for(lambda: find(frame, "text", "Input file:"))
    check("the input box has the keyboard",
          wait_for(lambda: getattr(focused_in_child(frame, "General data"), "name", None) ==
                   "Input file:"))
    page = find(frame, "label", "Input file:")
    bx, by, bw, bh = extents(box)
    lx, ly, _, _ = extents(page)
    check("input box at its design place", (bx - lx, by - ly) == (112, 0), f"{bx - lx},{by - ly}")
    check("viewers show no icon before they have something",
          find(frame, "frame", "View input file") is None and
          find(frame, "frame", "View result") is None)
    screenshot(artefacts, "general-data.png")

    # Ctrl+A selects the text of a text box; elsewhere it shows the table editor.
    type_text("draft")
    keys("ctrl+a", "BackSpace")
    check("Ctrl+A in a text box selects its text",
          wait_for(lambda: text_of(find(frame, "text", "Input file:")) == "") is not None and
          frame.name.endswith("[General data]"), frame.name)
    leave_text_box(frame, "General data")
    keys("ctrl+a")
    check("Ctrl+A shows the table editor",
          wait_for(lambda: frame.name == f"Glossek {VERSION} - [Auxiliary conversion details]"),
          frame.name)
    check("the grid has the keyboard",
          wait_for(lambda: getattr(focused_in_child(frame, "Auxiliary conversion details"),
                                   "getRoleName", lambda: None)() in ("table", "table cell")))
    type_text("cat")
    keys("alt+u", "alt+k", "alt+t")  # no access keys of this window
    keys("Right")
    type_text("dog")
    cell = wait_for(lambda: find(frame, "table cell", "cat"))
    check("typed into the first cell", cell is not None)
    check("Alt letters typed nothing", find(frame, "table cell", "catukt") is None)
    screenshot(artefacts, "table-editor.png")

    # The notation with the keyboard: Tab to the group, the arrow keys switch as a click does.
    radio = "radio button"
    keys("Tab", "Tab", "Tab", "Tab", "Tab")
    check("Tab reaches the notation after Help",
          wait_for(lambda: has_keyboard(frame, radio, "Characters strings")))
    keys("Down")
    check("Down switches to hexadecimal, the keyboard with it",
          wait_for(lambda: find(frame, "table cell", "63 61 74") and
                   has_keyboard(frame, radio, "Codes in hexadecimal")))
    keys("Down")
    refusal = wait_for(lambda: message_box(app, "do not convert into each other"))
    check("a refused switch says why", refusal is not None)
    if refusal is not None:
        screenshot(artefacts, "notation-refused.png")
        keys("Return")
    check("after the refusal the keyboard stays on hexadecimal",
          wait_for(lambda: find(frame, "table cell", "63 61 74") and
                   has_keyboard(frame, radio, "Codes in hexadecimal")))
    keys("Up", "Up")
    check("Up goes round the group to decimal",
          wait_for(lambda: find(frame, "table cell", "099 097 116") and
                   has_keyboard(frame, radio, "Codes in decimal")))
    keys("Down")
    wait_for(lambda: find(frame, "table cell", "cat"))

    # Back to General data, a conversion typed in the boxes, with the overwrite question.
    keys("ctrl+g")
    check("Ctrl+G gives the input box the keyboard",
          wait_for(lambda: getattr(focused_in_child(frame, "General data"), "name", None) ==
                   "Input file:"))
    type_text(os.path.join(docs, "lettre.txt"))
    keys("Tab")
    type_text(os.path.join(docs, "lettre.cvt.txt"))
    keys("F2")
    question = wait_for(lambda: message_box(app, "Warning, this file already exists"))
    check("overwrite question", question is not None)
    if question is not None:
        check("question buttons in English",
              sorted(button_names(question)) == ["&No", "&Yes"] or
              sorted(button_names(question)) == ["No", "Yes"], str(button_names(question)))
        screenshot(artefacts, "overwrite-question.png")
        keys("alt+y")
    done = wait_for(lambda: message_box(app, "Generation achieved"))
    check("Go reads a typed name: the line under the input box says what it holds",
          label_starting(frame, "Reads as DOS text (850), CR LF line ends, 17 lines") is not None)
    check("end message", done is not None)
    keys("Return")
    time.sleep(0.3)

    # Stretched: the boxes grow with the frame; back to the design size.
    resize(1000, 700)
    box = find(frame, "text", "Input file:")
    check("input box grows with the frame", extents(box)[2] == bw + (1000 - 695),
          f"{extents(box)[2]} vs {bw} + 305")
    screenshot(artefacts, "general-data-stretched.png")
    leave_text_box(frame, "General data")
    keys("ctrl+a")
    wait_for(lambda: frame.name.endswith("[Auxiliary conversion details]"))
    table = find(frame, "table")
    check("grid grows with the frame", table is not None and extents(table)[2] > 600,
          str(table and extents(table)))
    screenshot(artefacts, "table-editor-stretched.png")

    # Restored through the button at the right of the menu bar: its design size, usable.
    fx, fy, fw, fh = extents(frame)
    menu_bar = find(frame, "menu bar")
    mx, my, mw, mh = extents(menu_bar)
    xdotool("mousemove", str(mx + mw - 26), str(my + mh // 2), "click", "1")
    time.sleep(0.8)
    editor = find(frame, "frame", "Auxiliary conversion details")
    size = extents(editor)[2:] if editor else None
    check("restored child keeps a usable size", size is not None and size[0] >= 600 and
          size[1] >= 400, str(size))
    screenshot(artefacts, "restored-child.png")

    # Small: nothing clipped, the page scrolls.
    keys("ctrl+g")
    resize(480, 360)
    frame = main_frame(app)
    bars = [n for n in walk(frame) if n.getRoleName() == "scroll bar" and showing(n)]
    check("small window scrolls instead of clipping", len(bars) >= 1)
    screenshot(artefacts, "general-data-small.png")

    # Options, Code pages..., with the keyboard: the lists, a page picked, in force at once.
    keys("alt+o", "Down", "Return")
    chooser = wait_for(lambda: next((n for n in app if n is not None and
                                     n.getRoleName() == "dialog" and n.name == "Code pages" and
                                     showing(n)), None))
    check("code pages dialog opens", chooser is not None)
    if chooser is not None:
        items = [n.name for n in walk(chooser) if n.getRoleName() == "list item"]
        check("code pages listed by number and name",
              "850 Western European (DOS)" in items and "1252 Western European (Windows)" in items,
              str(items[:4]))
        screenshot(artefacts, "code-pages.png")
        keys("Down", "Return")  # from the page in force, 850, to the next, 852
        check("the pair picked is in force", wait_for(lambda: find(frame, "label",
                                                                   "DOS 852 - Windows 1252")))

    # Help: F1 opens it on the screen; Escape closes it.
    resize(695, 480)
    keys("F1")
    help_window = wait_for(lambda: next((n for n in app if n is not None and
                                         n.getRoleName() == "dialog" and
                                         "Help" in n.name and showing(n)), None))
    check("help opens", help_window is not None,
          str([(n.getRoleName(), n.name, showing(n)) for n in app if n is not None]))
    if help_window is not None:
        check("help wholly on the screen", inside_screen(extents(help_window)),
              str(extents(help_window)))
        check("help has Back, Forward and Contents",
              {"Back", "Forward", "Contents"} <= set(button_names(help_window)),
              str(button_names(help_window)))
        screenshot(artefacts, "help.png")
        keys("Escape")
        check("Escape closes the help",
              wait_for(lambda: not showing(help_window) or None, 5) is not None)
    return process


def scenario_french(work, artefacts, program):
    docs = os.path.join(work, "docs")
    process, app = start(program, [os.path.join(docs, "lettre.txt")], cwd=docs)
    check("the window opens", app is not None)
    if app is None:
        return process
    frame = activate(app)
    # Options, Language, French, with the keyboard.
    keys("alt+o", "Return", "Down", "Return")
    check("French captions", wait_for(lambda: frame.name == f"Glossek {VERSION} - [Données principales]"),
          frame.name)
    check("file opened from the command line is in the box",
          text_of(find(frame, "text", "Fichier en sortie:") or frame).endswith("lettre.cvt.txt"))
    check("what the input holds, in French",
          label_starting(frame, "Se lit comme du texte DOS (850), fins de ligne CR LF") is not None)
    screenshot(artefacts, "general-data-fr.png")

    # The DOS letter in the input viewer, through the DOS page, which is named under it.
    keys("ctrl+i")
    viewer = wait_for(lambda: find(frame, "frame", "Aperçu du fichier en entrée"))
    memo = viewer and wait_for(lambda: find(viewer, "text"))
    check("the input viewer shows the DOS letter as written",
          memo is not None and "Paris, le 3 février 1987" in text_of(memo) and
          "Hélène & Frères" in text_of(memo), memo and text_of(memo)[:60])
    check("the viewer names the page it shows",
          viewer is not None and find(viewer, "label", "DOS 850") is not None)
    screenshot(artefacts, "input-viewer-fr.png")
    keys("ctrl+g")

    # Qt's file dialog in French: its words, the table filter, sizes in French, whole columns.
    keys("alt+x", "Return")
    chooser = wait_for(lambda: next((n for n in app if n is not None and showing(n) and
                                     n.getRoleName() == "dialog" and n.name == "Ouvrir"), None))
    check("the file dialog opens in French", chooser is not None,
          str([(n.getRoleName(), n.name) for n in app if n is not None]))
    if chooser is not None:
        names = [n.name for n in walk(chooser)]
        check("the table filter in French",
              any("Tables de conversion (*.glk)" in (n or "") for n in names) or
              any("Tables de conversion (*.glk)" in text_of(n) for n in walk(chooser)
                  if n.getRoleName() in ("combo box", "text")), str(names[:20]))
        size = wait_for(lambda: next((n.name for n in walk(chooser)
                                      if n.getRoleName() == "table cell" and
                                      n.name.endswith("octets")), None))
        check("sizes written in French", size is not None, str(size))
        screenshot(artefacts, "file-dialog-fr.png")
        keys("Escape")
        time.sleep(0.3)
    keys("F2")
    question = wait_for(lambda: message_box(app, "Attention, ce fichier existe"))
    check("overwrite question in French", question is not None)
    if question is not None:
        names = button_names(question)
        check("question buttons in French", "&Oui" in names or "Oui" in names, str(names))
        keys("Escape")
    time.sleep(0.3)
    leave_text_box(frame, "Données principales")
    keys("ctrl+a")
    check("table editor in French",
          wait_for(lambda: frame.name == f"Glossek {VERSION} - [Conversion par tableau auxiliaire]"),
          frame.name)
    screenshot(artefacts, "table-editor-fr.png")
    resize(1000, 700)
    screenshot(artefacts, "table-editor-fr-stretched.png")
    keys("F1")
    help_window = wait_for(lambda: next((n for n in app if n is not None and
                                         n.getRoleName() == "dialog" and
                                         "Aide" in n.name and showing(n)), None))
    check("help in French", help_window is not None and
          {"Précédent", "Suivant", "Sommaire"} <= set(button_names(help_window)),
          str(help_window and button_names(help_window)))
    return process


def scenario_title(work, artefacts, program, out_name):
    process, app = start(program, [])
    frame = activate(app) if app else None
    with open(os.path.join(work, out_name), "w") as out:
        out.write(frame.name if frame else "")
    if frame and out_name == "title.switched":
        keys("alt+o", "Return", "Down", "Return")
        wait_for(lambda: "Données" in frame.name)
        with open(os.path.join(work, out_name), "w") as out:
            out.write(frame.name)
    return process


def main():
    scenario, work, artefacts, program = sys.argv[1:5]
    if scenario == "english":
        process = scenario_english(work, artefacts, program)
    elif scenario == "french":
        process = scenario_french(work, artefacts, program)
    else:
        process = scenario_title(work, artefacts, program, scenario)
    if process is not None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
