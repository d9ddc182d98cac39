#!/usr/bin/python3
"""What a screen reader sees of Morvane, checked over AT-SPI on a private X
server: every text box, scroll bar, slider, check box and button of the
light and full windows has a name (and of the lab window, opened with
Ctrl+F, whose readout is read and whose slider the keys move), and after a
run made from the keyboard
alone (Tab, Space, the Menu key, arrows, typing, Enter), with a disaster
typed at t = 20, the graph's description names the run's largest x and the
disaster. Run by scripts/accessibility.sh inside its X and D-Bus sessions.
Usage: accessibility.py MORVANE MORVANE-EXPORT [SCREENSHOT-DIR]"""
import os
import subprocess
import sys
import time

import pyatspi

morvane, export = sys.argv[1], sys.argv[2]
shots = sys.argv[3] if len(sys.argv) > 3 else None
R = pyatspi
CONTROLS = {R.ROLE_TEXT: "text box", R.ROLE_ENTRY: "text box", R.ROLE_SCROLL_BAR: "scroll bar",
            R.ROLE_SLIDER: "slider", R.ROLE_PUSH_BUTTON: "button", R.ROLE_CHECK_BOX: "check box",
            R.ROLE_PROGRESS_BAR: "progress bar", R.ROLE_LIST: "list", R.ROLE_CHART: "chart"}
failures = []


def walk(node, found):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if child.getRole() in CONTROLS:
            found.append(child)
        if child.getRole() != R.ROLE_LIST:
            walk(child, found)
    return found


def application(pid):
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:
                pass
        time.sleep(0.1)
    raise SystemExit("FAIL: the program never showed up over AT-SPI")


def keys(*names):
    for name in names:
        subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)
        time.sleep(0.3)


def screenshot(name):
    if shots:
        subprocess.run(["import", "-window", "root", os.path.join(shots, name)], check=True)


def largest_x():
    # The same run as the window's texts at load, from the command.
    csv = subprocess.run([export, "--disaster=20", "--csv=-"], capture_output=True, text=True,
                         check=True, env=dict(os.environ, LC_ALL="C.UTF-8")).stdout
    xs = [float(line.split(",")[2]) for line in csv.splitlines()[1:]]
    return ("%.15g" % max(xs)).replace(".", ",")


def labels(node, found):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if child.getRole() == R.ROLE_LABEL and child.name:
            found.append(child.name)
        labels(child, found)
    return found


def check_lab(app, pid, window):
    """Ctrl+F opens the lab; its controls are named, its readout is there
    to be read, and the keyboard alone moves a slider."""
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    keys("ctrl+f")
    time.sleep(1.5)
    frames = [app.getChildAtIndex(i) for i in range(app.childCount)]
    lab = [f for f in frames if f is not None and f.name == "Фазовый портрет"]
    if not lab:
        failures.append("Ctrl+F opened no window \"Фазовый портрет\"")
        return
    controls = walk(lab[0], [])
    for c in controls:
        if not c.name.strip():
            failures.append("lab: a %s without a name" % CONTROLS[c.getRole()])
    print("lab: %d controls" % len(controls))
    print("  " + "; ".join("%s \"%s\"" % (CONTROLS[c.getRole()], c.name) for c in controls))
    readout = [t for t in labels(lab[0], []) if t.startswith(
        ("Равновесие:", "V₀ =", "V(T) =", "Дрейф", "Наименьшие", "Период", "Малый период"))]
    print("lab readout: " + " | ".join(readout))
    if len(readout) < 9:
        failures.append("lab: the readout has %d of its 9 lines" % len(readout))
    # The example choice has the focus; Tab reaches the k1 slider, whose
    # arrows change k1 and so the equilibrium's y = k1/α1.
    lab_window = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid),
                                 "--name", "Фазовый портрет"],
                                capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", lab_window], check=True)
    before = [t for t in labels(lab[0], []) if t.startswith("Равновесие:")]
    keys("Tab", "Right", "Right")
    after = [t for t in labels(lab[0], []) if t.startswith("Равновесие:")]
    print("lab keyboard: %s -> %s" % (before, after))
    if before == after:
        failures.append("lab: Tab and the arrows changed nothing")
    screenshot("lab-after-keys.png")


env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
for edition, args in (("light", []), ("full", ["-Debug"])):
    program = subprocess.Popen([morvane] + args, env=env)
    try:
        time.sleep(2.5 if args else 1.0)
        app = application(program.pid)
        controls = walk(app, [])
        kinds = {}
        for c in controls:
            kind = CONTROLS[c.getRole()]
            kinds[kind] = kinds.get(kind, 0) + 1
            if not c.name.strip():
                failures.append("%s: a %s without a name" % (edition, kind))
        print("%s: %s" % (edition, ", ".join("%d %s" % (n, k) for k, n in sorted(kinds.items()))))
        print("  " + "; ".join("%s \"%s\"" % (CONTROLS[c.getRole()], c.name) for c in controls))
        if edition == "light":
            # A bare X server has no window manager to give the window the
            # keyboard. k1 has the focus in it; Tab reaches "Рассчитать".
            window = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                     str(program.pid), "--name", "Модель"],
                                    capture_output=True, text=True).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
            keys("Tab", "space")
            time.sleep(1)
            keys("Menu", "Up", "Return")
            subprocess.run(["xdotool", "type", "--delay", "100", "20"], check=True)
            screenshot("typed-disaster.png")
            keys("Return")
            # Again: the closed dialog took the keyboard with it.
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
            keys("space")
            time.sleep(1)
            screenshot("after-keyboard-run.png")
            chart = [c for c in controls if c.getRole() == R.ROLE_CHART][0]
            described = chart.description
            print("graph: " + described)
            want = largest_x()
            if "Наибольшее x = %s " % want not in described:
                failures.append("the graph's description does not name the largest x " + want)
            if "Катастрофа при t = 20:" not in described:
                failures.append("the graph's description has no disaster at t = 20")
            check_lab(app, program.pid, window)
    finally:
        program.terminate()
        program.wait()

for f in failures:
    print("FAIL: " + f)
sys.exit(1 if failures else 0)
