#!/usr/bin/python3
"""Screen-reader view of the running reader.

Runs itself again under a private X server and session bus (Xvfb and
dbus-run-session), starts the program with Qt's AT-SPI bridge on, and checks
through pyatspi what a screen reader gets: names, roles, actions and values of
the controls, Tab order, and that the keyboard clicks buttons and moves sliders.

usage: test_accessibility.py PROGRAM
"""
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

DEADLINE = 15.0  # seconds for the program to show up on the bus


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def focus_window(title):
    # No window manager runs here to give the new window the keyboard.
    if subprocess.run(["xdotool", "search", "--name", title, "windowfocus", "--sync"],
                      stdout=subprocess.DEVNULL, timeout=10).returncode != 0:
        fail("no X window titled %r" % title)


def program_copy(program, workdir):
    """The program in a folder of its own beside its data folders, so that the
    settings it writes into its folder land in the scratch folder."""
    folder = os.path.join(workdir, "program")
    os.mkdir(folder)
    source = os.path.dirname(program)
    for entry in os.listdir(source):
        path = os.path.join(source, entry)
        if os.path.isdir(path) and not entry.startswith("CMakeFiles"):
            os.symlink(path, os.path.join(folder, entry))
    copy = os.path.join(folder, os.path.basename(program))
    shutil.copy2(program, copy)
    return copy


def walk(node, found):
    try:
        name = node.name
        role = node.getRoleName()
    except Exception:
        return
    found.append((node, name, role))
    for child in node:
        if child is not None:
            walk(child, found)


def run_in_private_session(program):
    """Runs this script again under an X server of its own and a session bus.

    Xvfb chooses a free display itself and writes its number once it accepts
    clients (-displayfd), so nothing is guessed, raced for or slept on."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        number = b""
        ready, _, _ = select.select([read_end], [], [], DEADLINE)
        while ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
            if number.endswith(b"\n"):
                break
            ready, _, _ = select.select([read_end], [], [], DEADLINE)
        if not number.strip().isdigit():
            fail("Xvfb did not start (%s)" % ("ended with code %s" % xvfb.poll()
                                              if xvfb.poll() is not None else "no display number"))
        env = dict(os.environ, DISPLAY=":" + number.strip().decode(), PARLO_A11Y_SESSION="1")
        return subprocess.call(["dbus-run-session", "--", sys.executable, __file__, program], env=env)
    finally:
        os.close(read_end)
        xvfb.terminate()
        try:
            xvfb.wait(5)
        except subprocess.TimeoutExpired:
            xvfb.kill()


def main():
    if len(sys.argv) != 2:
        fail("usage: test_accessibility.py PROGRAM")
    program = os.path.abspath(sys.argv[1])
    if "PARLO_A11Y_SESSION" not in os.environ:
        for tool in ("Xvfb", "dbus-run-session", "xdotool"):
            if not shutil.which(tool):
                fail("%s is not installed (tools/install-deps.sh installs it)" % tool)
        sys.exit(run_in_private_session(program))

    def out_of_time(*_):
        raise SystemExit("FAIL: no answer within 45 s (X server, session bus or accessibility bus stuck)")

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(45)
    workdir = tempfile.mkdtemp(prefix="parlo-a11y-")
    app_proc = None
    try:
        os.environ.update({"NO_AT_BRIDGE": "0", "XDG_RUNTIME_DIR": workdir})
        try:
            import pyatspi
        except ImportError:
            fail("python3-pyatspi is not installed (tools/install-deps.sh installs it)")

        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "HOME": workdir,
            "XDG_CONFIG_HOME": os.path.join(workdir, "config"),
            "PULSE_SERVER": "unix:" + os.path.join(workdir, "no-pulse"),
        })
        app_proc = subprocess.Popen([program_copy(program, workdir)], env=env, stdout=subprocess.DEVNULL,
                                    stderr=open(os.path.join(workdir, "program.log"), "w"))

        desktop = pyatspi.Registry.getDesktop(0)
        end = time.monotonic() + DEADLINE
        frame = None
        while frame is None or frame.childCount == 0:
            if app_proc.poll() is not None:
                fail("the program ended early (code %s): %s" % (
                    app_proc.returncode, open(os.path.join(workdir, "program.log")).read()[-2000:]))
            if time.monotonic() > end:
                fail("the program's window did not appear on the accessibility bus within %ds" % DEADLINE)
            time.sleep(0.2)
            apps = [a for a in desktop if a is not None and a.get_process_id() == app_proc.pid]
            frame = apps[0][0] if apps and apps[0].childCount > 0 else None
        focus_window(frame.name)
        time.sleep(0.5)
        run_checks(pyatspi, frame)
        print("PASS")
    finally:
        if app_proc is not None and app_proc.poll() is None:
            app_proc.send_signal(signal.SIGTERM)
            try:
                app_proc.wait(3)
            except subprocess.TimeoutExpired:
                app_proc.kill()
        shutil.rmtree(workdir, ignore_errors=True)


BUTTONS = ["朗讀", "暫停", "產生.wav音檔", "產生wav+mp3音檔", "開啟", "儲存", "搜尋", "列印",
           "使用手冊", "版權聲明", "語音提示", "自訂發音"]
SLIDERS = {"朗讀速度": (0, 100), "朗讀音量": (0, 100), "字型大小": (12, 86)}
# From the text box Tab passes the help column and comes round to the start.
TAB_ORDER = ["使用手冊", "版權聲明", "語音提示", "自訂發音", "朗讀", "產生.wav音檔", "產生wav+mp3音檔", "combo box", "顯示所有發音人",
             "朗讀速度", "朗讀音量", "開啟", "儲存", "搜尋", "列印", "combo box", "字型大小",
             "朗讀文稿編輯區"]


def run_checks(pyatspi, frame):
    errors = []
    if frame.getRoleName() != "frame":
        errors.append("window role is %r, not frame" % frame.getRoleName())
    nodes = []
    walk(frame, nodes)
    by_name = {}
    for node, name, role in nodes:
        by_name.setdefault(name, []).append((node, role))

    for name in BUTTONS:
        hits = [(n, r) for n, r in by_name.get(name, []) if r == "push button"]
        if not hits:
            errors.append("no push button named %r (found %r)" % (
                name, [r for _, r in by_name.get(name, [])]))
            continue
        node = hits[0][0]
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in names and "press" not in names:
            errors.append("button %r has no Press action: %r" % (name, names))
        if not node.description:
            errors.append("button %r has no description" % name)
    for name, (low, high) in SLIDERS.items():
        hits = [n for n, r in by_name.get(name, []) if r == "slider"]
        if not hits:
            errors.append("no slider named %r" % name)
            continue
        value = hits[0].queryValue()
        if (value.minimumValue, value.maximumValue) != (low, high):
            errors.append("slider %r spans %s-%s, not %s-%s" % (
                name, value.minimumValue, value.maximumValue, low, high))
        if not hits[0].getState().contains(pyatspi.STATE_FOCUSABLE):
            errors.append("slider %r cannot take focus" % name)
    for pane in ["朗讀與錄音", "發音人與語音設定", "朗讀文稿", "說明"]:
        if pane not in by_name:
            errors.append("no pane named %r" % pane)
    labels = {}
    for node, name, role in nodes:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                for i in range(relation.getNTargets()):
                    labels.setdefault(relation.getTarget(i).name, []).append(role)
    for label, role in [("發音人", "combo box"), ("字型", "combo box"), ("朗讀速度", "slider"),
                        ("朗讀文稿編輯區", "text")]:
        if role not in labels.get(label, []):
            errors.append("label %r is not linked to its %s" % (label, role))

    def focused():
        for node, name, _ in nodes:
            try:
                if node.getState().contains(pyatspi.STATE_FOCUSED):
                    # A combo box is named by its current entry.
                    return "combo box" if node.getRoleName() == "combo box" else name
            except Exception:
                pass
        return None

    first = focused()
    if first != "朗讀文稿編輯區":
        errors.append("focus starts on %r, not the text box" % first)

    def key(*names):
        subprocess.run(["xdotool", "key", "--delay", "60"] + list(names), timeout=10)
        time.sleep(0.15)

    visited = []
    for _ in TAB_ORDER:
        key("Tab")
        visited.append(focused())
    if visited != TAB_ORDER:
        errors.append("Tab from the text box visits %r, expected %r" % (visited, TAB_ORDER))

    # Keyboard only: Tab round to the speak button, Space starts the reading
    # (the pause button comes on), Space again stops it; arrows move the rate.
    pause = [n for n, r in by_name.get("暫停", []) if r == "push button"][0]
    key(*["Tab"] * (TAB_ORDER.index("朗讀") + 1))
    if focused() != "朗讀":
        errors.append("the speak button is not reached by Tab (focus on %r)" % focused())
    key("space")
    time.sleep(0.3)
    if not pause.getState().contains(pyatspi.STATE_SENSITIVE):
        errors.append("Space on the speak button did not start a reading")
    key("space")
    time.sleep(0.5)
    if pause.getState().contains(pyatspi.STATE_SENSITIVE):
        errors.append("Space again did not stop the reading")
    rate = [n for n, r in by_name.get("朗讀速度", []) if r == "slider"][0].queryValue()
    before = rate.currentValue
    key(*["Tab"] * (TAB_ORDER.index("朗讀速度") - TAB_ORDER.index("朗讀")))
    if focused() != "朗讀速度":
        errors.append("Tab does not reach the rate slider (focus on %r)" % focused())
    key("Home", "Right", "Right", "Right")
    if rate.currentValue != 3:
        errors.append("Home and three Right presses moved the rate to %s, not 3" % rate.currentValue)
    key("End", "Page_Down")
    if rate.currentValue != 90:
        errors.append("End and Page Down moved the rate to %s, not 90" % rate.currentValue)
    rate.currentValue = before
    time.sleep(0.2)
    if rate.currentValue != before:
        errors.append("setting the rate's value through its interface gave %s, not %s" % (
            rate.currentValue, before))

    if errors:
        fail("\n  ".join([""] + errors))


if __name__ == "__main__":
    main()
