#!/usr/bin/env python3
"""Takes a whole test the way a screen reader user does: through the
accessibility bus (AT-SPI) alone, never the mouse or the window.

Usage: atspi_e2e.py <program folder>   (the built folder holding proctorium)

The program folder is copied to a temporary folder first, so the saved
result lands there. The script starts its own X server (Xvfb) and its own
private D-Bus session, so it touches nothing of the desktop it runs on.
Where any of that is missing or the bus cannot start, it says why and exits
with 77, which CTest reports as skipped, not failed.

Steps: find the sample set by name in the list, start it, read each question
and its answers by name, tick answer A through the accessibility action,
end the test, read the score, review (telling the correct answers by their
description, not by colour), save, close.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
SET_NAME = "Networking Fundamentals.qst"
LIMIT = 60  # seconds to wait for any one thing to appear


def skip(why):
    print("SKIP: " + why)
    sys.exit(SKIP)


def fail(why):
    print("FAIL: " + why)
    sys.exit(1)


# ------------------------------------------------------------------ outer


def start_xvfb():
    # A display number no other server holds; the server is ready once its
    # socket is there.
    for number in range(90, 190):
        if os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
            continue
        xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        end = time.monotonic() + LIMIT
        while time.monotonic() < end and xvfb.poll() is None:
            if os.path.exists("/tmp/.X11-unix/X%d" % number):
                return xvfb, ":%d" % number
            time.sleep(0.1)
        if xvfb.poll() is None:
            xvfb.kill()
        xvfb.wait()
    skip("the X server did not start")
    return None, None


def outer(program_folder):
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            skip(tool + " is not installed")
    if not any(os.path.exists(p) for p in ("/usr/libexec/at-spi-bus-launcher",
                                            "/usr/lib/at-spi2-core/at-spi-bus-launcher")):
        skip("at-spi2-core is not installed")
    try:
        import pyatspi  # noqa: F401
    except Exception:  # pylint: disable=broad-except
        # The Debian package serves the system's Python, which may not be the
        # one first on the path.
        system = "/usr/bin/python3"
        if os.path.exists(system) and os.path.realpath(sys.executable) != os.path.realpath(system):
            os.execv(system, [system, os.path.abspath(__file__), program_folder])
        skip("python3-pyatspi is not installed")
    work = tempfile.mkdtemp(prefix="proctorium-atspi-")
    try:
        folder = os.path.join(work, "Proctorium")
        shutil.copytree(program_folder, folder)
        runtime = os.path.join(work, "run")
        os.mkdir(runtime, 0o700)
        xvfb, display = start_xvfb()
        try:
            env = dict(os.environ, DISPLAY=display, PROCTORIUM_ATSPI_INNER="1", QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", XDG_RUNTIME_DIR=runtime,
                       HOME=work)
            env.pop("DBUS_SESSION_BUS_ADDRESS", None)
            env.pop("AT_SPI_BUS_ADDRESS", None)
            try:
                return subprocess.call(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), folder],
                                       env=env, timeout=600)
            except subprocess.TimeoutExpired:
                fail("the run did not finish")
        finally:
            xvfb.terminate()
            xvfb.wait()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 1


# ------------------------------------------------------------------ inner


def wait_for(what, probe, limit=LIMIT):
    """probe() until it gives something; fails after limit seconds."""
    end = time.monotonic() + limit
    while time.monotonic() < end:
        try:
            found = probe()
        except Exception:  # pylint: disable=broad-except
            found = None  # the tree changes under us while windows open
        if found:
            return found
        time.sleep(0.2)
    fail("did not find " + what)
    return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    try:
        count = node.childCount
    except Exception:  # pylint: disable=broad-except
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:  # pylint: disable=broad-except
            continue
        yield from walk(child, depth + 1)


def showing(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_SHOWING)


def enabled(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def find(root, role, name=None, pattern=None, visible=True):
    for node in walk(root):
        try:
            if node.getRoleName() != role:
                continue
            if name is not None and node.name != name:
                continue
            if pattern is not None and not re.search(pattern, node.name or ""):
                continue
            if visible and not showing(node):
                continue
            return node
        except Exception:  # pylint: disable=broad-except
            continue
    return None


def find_all(root, role, pattern):
    found = []
    for node in walk(root):
        try:
            if node.getRoleName() == role and re.search(pattern, node.name or "") and showing(node):
                found.append(node)
        except Exception:  # pylint: disable=broad-except
            continue
    return found


def act(node, *names):
    """Runs the node's first action of the names given. A button that opens
    a modal window answers only once it closes, so the call runs aside."""
    action = node.queryAction()
    index = 0
    for i in range(action.nActions):
        if action.getName(i) in names:
            index = i
            break
    threading.Thread(target=lambda: _quiet(action.doAction, index), daemon=True).start()


def _quiet(call, *args):
    try:
        call(*args)
    except Exception:  # pylint: disable=broad-except
        pass


def press(root, name):
    button = wait_for("the button " + name,
                      lambda: (lambda b: b if b is not None and enabled(b) else None)(find(root, "push button", name)))
    act(button, "Press", "press", "click")


def inner(folder):
    import pyatspi
    try:
        desktop = pyatspi.Registry.getDesktop(0)
    except Exception as e:  # pylint: disable=broad-except
        skip("the accessibility bus cannot start: " + str(e))
    program = subprocess.Popen([os.path.join(folder, "proctorium")], cwd=folder)
    try:
        def the_app():
            for i in range(desktop.childCount):
                child = desktop.getChildAtIndex(i)
                if child is not None and child.name == "Proctorium":
                    return child
            return None
        try:
            app = wait_for("the program on the bus", the_app)
        except SystemExit:
            skip("the program did not appear on the accessibility bus")

        # The start window: find the set by name and highlight it.
        item = wait_for("the set " + SET_NAME, lambda: find(app, "list item", SET_NAME))
        if not item.getState().contains(pyatspi.STATE_SELECTED):
            try:
                item.parent.querySelection().selectChild(item.getIndexInParent())
            except NotImplementedError:  # older Qt serves no selection on lists
                act(item, "Toggle", "toggle", "Press", "press", "SetFocus")
        wait_for("the set highlighted", lambda: item.getState().contains(pyatspi.STATE_SELECTED))
        press(app, "Start test")

        # The test: every question read, answer A ticked through its action.
        title = wait_for("the question heading", lambda: find(app, "label", pattern=r"^Question 1 of \d+"))
        total = int(re.search(r"of (\d+)", title.name).group(1))
        for n in range(1, total + 1):
            wait_for("question %d" % n, lambda: find(app, "label", pattern=r"^Question %d of " % n))
            answers = wait_for("the answers of question %d" % n,
                               lambda: find_all(app, "radio button", r"^[A-H]\. ")
                               or find_all(app, "check box", r"^[A-H]\. "))
            print("Question %d: %s" % (n, " | ".join(a.name for a in answers)))
            first = sorted(answers, key=lambda a: a.name)[0]
            act(first, "Toggle", "toggle", "Press", "press", "click")
            wait_for("answer A ticked", lambda: first.getState().contains(pyatspi.STATE_CHECKED))
            if n < total:
                press(app, "Next")
        press(app, "End Test")
        score = wait_for("the score", lambda: find(app, "label", pattern=r"\d+ of \d+ Correct"))
        print("Score: " + score.name)

        # The review: the key is read from the description, not the colour.
        review = find(app, "push button", "Review")
        if review is not None and enabled(review):
            act(review, "Press", "press", "click")
            wait_for("the review", lambda: find(app, "label", pattern=r"^Review 1 of "))
            rows = find_all(app, "radio button", r"^[A-H]\. ") + find_all(app, "check box", r"^[A-H]\. ")
            correct = [r.name for r in rows if r.description == "correct answer"]
            if not correct:
                fail("no answer in the review is described as correct")
            print("Correct in review: " + " | ".join(correct))
        press(app, "Save Results")
        results = os.path.join(folder, "Tests", "results.txt")
        wait_for("the saved result", lambda: os.path.exists(results) and "Networking" in open(
            results, encoding="cp1252", errors="replace").read())
        press(app, "Close")
        press(app, "Exit")
        try:
            program.wait(timeout=LIMIT)
        except subprocess.TimeoutExpired:
            fail("the program did not exit")
        print("PASS")
        return 0
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    if os.environ.get("PROCTORIUM_ATSPI_INNER") == "1":
        return inner(sys.argv[1])
    return outer(os.path.abspath(sys.argv[1]))


if __name__ == "__main__":
    sys.exit(main())
