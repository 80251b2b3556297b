#!/usr/bin/python3
"""The real program driven through the display server, as a person drives it.

The program's test variant (QuilloraTestHooks.exe), copied into a folder of
its own with its settings file, runs against a stand-in instance of its own.
Everything reaches it as X input made by xdotool: pointer moves and clicks
placed from the windows' own positions (found by title with xdotool, placed
with xwininfo, the controls' client rectangles asked of the program's
control query), and keys typed one by one, Latin and Chinese. Checked:
  - what is typed right after the text page opens lands in the editor, and
    the keyboard stays there (no voice picker opens on the space);
  - after 多音字 the reading typed next lands between "[=" and "]";
  - the SSML the stand-in received holds the text and the reading;
  - 开始转换 ends in the result window and an mp3 in the output folder;
  - the close box and the quit question's OK end the program with status 0,
    without a crash dump or the crash reporter.
A screenshot of the text page after typing is saved and its editor checked
for drawn text.

Usage: program_typing_test.py BIN_DIR SCREENSHOT_DIR WORK_DIR
Run inside the Windows test session (tools/test-session.sh), which exports
DISPLAY, WINE, WINEPREFIX and QUILLORA_STANDIN. Exit status 77 (skipped) only
outside CI when there is no such session.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import time
import urllib.request

SKIPPED = 77
MAIN_TITLE = "Tavrin文字语音转换器"
MAIN_CLASS = "_QuilloraMainWnd_"
MESSAGE_CLASS = "MessageWnd"
KEY_DELAY_MS = "120"  # faster than about 40 ms a key, Chinese characters are lost
SYNTHESIS = "/colud/tts/text2voice.php"

problems = []


def problem(text):
    print("program_typing_test: " + text, file=sys.stderr)
    problems.append(text)


def log(text):
    print("program_typing_test: " + text, flush=True)


def wait_until(done, seconds, step=0.2):
    end = time.monotonic() + seconds
    while True:
        value = done()
        if value:
            return value
        if time.monotonic() >= end:
            return None
        time.sleep(step)


# --- The stand-in instance ---

class Standin:
    def __init__(self, control):
        self.control = control.rstrip("/")
        reply = self._call("POST", "/instances", {})
        self.id = reply["id"]
        self.urls = reply["urls"]
        self.ca_pem = reply["caPem"]
        self.rsa_pem = reply["rsaPublicPem"]

    def _call(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        request = urllib.request.Request(self.control + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        with urllib.request.urlopen(request, timeout=30) as reply:
            return json.loads(reply.read().decode("utf-8"))

    def requests(self, path):
        return self._call("GET", "/instances/%s/requests?path=%s" % (self.id, path))

    def count(self, path):
        return self._call("GET", "/instances/%s/count?path=%s" % (self.id, path))["count"]

    def release(self):
        try:
            self._call("DELETE", "/instances/" + self.id)
        except OSError:
            pass


# --- The program's windows ---

def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Inspector:
    """Asks the running test variant's control query through the query tool
    of the build (TestControlQuery.exe, run under Wine): its shown windows by
    class, and their named controls (visible, enabled, client rectangle,
    text)."""

    def __init__(self, bin_dir):
        self.tool = os.path.join(bin_dir, "TestControlQuery.exe")
        self.classes = {}  # window handle -> its class, for control()
        self.clients = {}  # window handle -> its client size

    def _ask(self, *arguments):
        try:
            done = subprocess.run([os.environ["WINE"], self.tool, *arguments], capture_output=True,
                                  timeout=30, stdin=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            return None
        lines = [line for line in done.stdout.decode("utf-8", errors="replace").splitlines()
                 if line.startswith("{")]
        try:
            return json.loads(lines[-1]) if lines else None
        except ValueError:
            return None

    def window(self, class_name):
        reply = self._ask("window", class_name)
        if not reply or not reply.get("window"):
            return None
        self.classes[reply["window"]] = class_name
        self.clients[reply["window"]] = tuple(reply["client"])
        return reply["window"]

    def control(self, hwnd, name):
        class_name = self.classes.get(hwnd)
        if class_name is None:
            return None
        reply = self._ask("control", class_name, name)
        if not reply or not reply.get("found") or reply.get("window") != hwnd:
            return None
        reply["rect"] = tuple(reply["rect"])
        return reply

    def client_size(self, hwnd):
        return self.clients.get(hwnd)


def x_windows(title):
    """The visible X windows with exactly this title, as (id, x, y, width, height)."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title)],
                           capture_output=True, text=True).stdout.split()
    placed = []
    for window in found:
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True).stdout
        values = {}
        for key, label in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"),
                           ("width", "Width"), ("height", "Height")):
            match = re.search(r"^\s*%s:\s*(-?\d+)" % label, info, re.M)
            if match:
                values[key] = int(match.group(1))
        if len(values) == 4:
            placed.append((window, values["x"], values["y"], values["width"], values["height"]))
    return placed


def x_window_of(title, size=None):
    """The X window of a program window: by its title, the one of the given
    client size when several share the title (a system message box carries
    the main window's title too)."""
    candidates = x_windows(title)
    if size is not None:
        candidates = [c for c in candidates if (c[3], c[4]) == size] or candidates
    return max(candidates, key=lambda c: c[3] * c[4]) if candidates else None


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=False)


def click_control(inspector, hwnd, title, name):
    """Moves the pointer onto the named control of a window and clicks it."""
    control = wait_until(lambda: (lambda c: c if c and c["visible"] and c["rect"][2] > c["rect"][0] else None)(
        inspector.control(hwnd, name)), 10)
    if control is None:
        problem("no visible control %s in window %s" % (name, title))
        return False
    window = x_window_of(title, inspector.client_size(hwnd))
    if window is None:
        problem("no X window titled %s" % title)
        return False
    left, top, right, bottom = control["rect"]
    x = window[1] + (left + right) // 2
    y = window[2] + (top + bottom) // 2
    xdotool("mousemove", str(x), str(y))
    time.sleep(0.3)
    xdotool("click", "1")
    time.sleep(0.5)
    return True


def type_keys(text):
    xdotool("type", "--delay", KEY_DELAY_MS, text)
    time.sleep(0.8)


def editor_text(inspector, main):
    control = inspector.control(main, "editText2Vioce")
    return control["text"] if control else None


def wait_for_editor(inspector, main, expected, seconds=5):
    return wait_until(lambda: editor_text(inspector, main) == expected, seconds) is not None


def dark_pixels(png, rect):
    from PIL import Image  # Debian's python3-pil
    image = Image.open(png).convert("RGB")
    left, top, right, bottom = rect
    dark = 0
    for y in range(max(top, 0), min(bottom, image.height)):
        for x in range(max(left, 0), min(right, image.width)):
            r, g, b = image.getpixel((x, y))
            dark += 1 if r + g + b < 200 else 0
    return dark


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    bin_dir, shot_dir, work = sys.argv[1:4]
    in_ci = os.environ.get("CI") == "true"
    missing = [name for name in ("DISPLAY", "WINE", "WINEPREFIX", "QUILLORA_STANDIN") if not os.environ.get(name)]
    if missing:
        text = "no test session (%s not set); run it through tools/test.sh" % ", ".join(missing)
        if in_ci:
            problem(text)
            return 1
        log(text + "; skipped")
        return SKIPPED
    for tool in ("xdotool", "xwininfo"):
        if shutil.which(tool) is None:
            problem("%s is missing (tools/install-packages.sh installs it)" % tool)
            return 1

    # The program in a folder of its own: its settings file, account record
    # and any crash dump live beside it.
    shutil.rmtree(work, ignore_errors=True)
    program_dir = os.path.join(work, "program")
    output_dir = os.path.join(work, "output")
    os.makedirs(program_dir)
    os.makedirs(output_dir)
    os.makedirs(shot_dir, exist_ok=True)
    shutil.copy2(os.path.join(bin_dir, "QuilloraTestHooks.exe"), program_dir)
    for helper in ("ffmpeg.exe", "Crashvane.exe", "Pagemint.exe", "Updrift.exe"):
        if os.path.exists(os.path.join(bin_dir, helper)):
            os.symlink(os.path.join(bin_dir, helper), os.path.join(program_dir, helper))
    with open(os.path.join(program_dir, "quillora.ini"), "w", encoding="ascii", newline="\r\n") as ini:
        ini.write("[soft]\nDriveUrlW2V=%s\n" % windows_path(output_dir))

    standin = Standin(os.environ["QUILLORA_STANDIN"])
    program = None
    try:
        ca_file = os.path.join(work, "ca.pem")
        rsa_file = os.path.join(work, "rsa.pem")
        with open(ca_file, "w") as file:
            file.write(standin.ca_pem)
        with open(rsa_file, "w") as file:
            file.write(standin.rsa_pem)
        environment = dict(os.environ, LC_ALL="zh_CN.UTF-8", LANG="zh_CN.UTF-8",
                           QUILLORA_TEST_SPEECH_URL=standin.urls["speechHttps"],
                           QUILLORA_TEST_MANAGEMENT_URL=standin.urls["managementHttps"],
                           QUILLORA_TEST_LOGIN_URL=standin.urls["login"],
                           QUILLORA_TEST_CA_FILE=windows_path(ca_file),
                           QUILLORA_TEST_RSA_KEY_FILE=windows_path(rsa_file),
                           QUILLORA_SCREENSHOT_DIR=windows_path(shot_dir))
        with open(os.path.join(work, "program.log"), "w") as program_log:
            program = subprocess.Popen([os.environ["WINE"], os.path.join(program_dir, "QuilloraTestHooks.exe")],
                                       cwd=program_dir, env=environment, stdout=program_log,
                                       stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        inspector = Inspector(bin_dir)
        drive(inspector, standin, program, environment, bin_dir, shot_dir, output_dir)
    finally:
        if program is not None and program.poll() is None:
            program.kill()
            program.wait()
        standin.release()
    return 1 if problems else 0


def drive(inspector, standin, program, environment, bin_dir, shot_dir, output_dir):
    main = wait_until(lambda: inspector.window(MAIN_CLASS), 60)
    if main is None:
        problem("the main window did not appear")
        return
    if wait_until(lambda: standin.count("/colud/tts/voiceList.php") >= 1
                  and standin.count("/colud/tts/voiceEmotion.php") >= 1, 30) is None:
        problem("the program did not fetch the voice catalogue")
        return
    if wait_until(lambda: x_window_of(MAIN_TITLE), 20) is None:
        problem("no X window titled %s" % MAIN_TITLE)
        return
    time.sleep(1.5)

    # The text page, and typing right away: the page opens with the caret in the editor.
    if not click_control(inspector, main, MAIN_TITLE, "btnShowText2Voice"):
        return
    if wait_until(lambda: (inspector.control(main, "editText2Vioce") or {}).get("visible"), 10) is None:
        problem("the text page did not open")
        return
    time.sleep(1.0)
    type_keys("abc def")
    if not wait_for_editor(inspector, main, "abc def"):
        problem("typed 'abc def' right after the page opened; the editor holds %r"
                % editor_text(inspector, main))
    if inspector.window("VoiceTypeWnd"):
        problem("the voice picker opened while typing (a button had the keyboard focus)")
        return
    type_keys("你好银行")
    if not wait_for_editor(inspector, main, "abc def你好银行"):
        problem("typed Chinese text; the editor holds %r" % editor_text(inspector, main))

    # 多音字 puts "[=]" at the caret and the reading typed next goes inside it.
    before = editor_text(inspector, main) or ""
    if not click_control(inspector, main, MAIN_TITLE, "btnPolyphone"):
        return
    if not wait_for_editor(inspector, main, before + "[=]"):
        problem("多音字 did not put its mark at the caret; the editor holds %r" % editor_text(inspector, main))
    type_keys("hang2")
    if not wait_for_editor(inspector, main, before + "[=hang2]"):
        problem("typed the reading after 多音字; the editor holds %r" % editor_text(inspector, main))
    if inspector.window("VoiceTypeWnd"):
        problem("the voice picker opened while typing the reading")
        return

    editor = inspector.control(main, "editText2Vioce")
    shot = os.path.join(shot_dir, "program-typing-text-page.png")
    if os.path.exists(shot):
        os.remove(shot)
    subprocess.run([os.environ["WINE"], os.path.join(bin_dir, "QuilloraWindowShot.exe"),
                    os.path.basename(shot)], env=environment, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)
    if not os.path.exists(shot):
        problem("no screenshot of the text page was saved")
    elif editor is not None and dark_pixels(shot, editor["rect"]) < 40:
        problem("the screenshot %s shows no text in the editor" % shot)

    # The conversion, and what the stand-in received.
    if not click_control(inspector, main, MAIN_TITLE, "btnConvertText2Voice"):
        return
    result = wait_until(lambda: inspector.window(MESSAGE_CLASS), 120)
    if result is None:
        problem("no result window after 开始转换")
        return
    requests = standin.requests(SYNTHESIS)
    ssml = requests[-1].get("text", "") if requests else ""
    log("the stand-in received: %s" % ssml)
    for part in ("abc def你好银", '<phoneme alphabet="py" ph="hang2">行</phoneme>'):
        if part not in ssml:
            problem("the SSML lacks %r: %r" % (part, ssml))
    if not [name for name in os.listdir(output_dir) if name.endswith(".mp3")]:
        problem("no mp3 in the output folder %s" % output_dir)
    time.sleep(0.8)
    if not click_control(inspector, result, MESSAGE_CLASS, "closebtn"):
        return
    if wait_until(lambda: inspector.window(MESSAGE_CLASS) is None, 10) is None:
        problem("the result window did not close")
        return

    # Quitting through the close box and the quit question.
    if not click_control(inspector, main, MAIN_TITLE, "closeBtn"):
        return
    question = wait_until(lambda: inspector.window(MESSAGE_CLASS), 10)
    if question is None:
        problem("the close box asked no quit question")
        return
    time.sleep(0.8)
    if not click_control(inspector, question, MESSAGE_CLASS, "btn_ok"):
        return
    try:
        status = program.wait(timeout=30)
    except subprocess.TimeoutExpired:
        problem("the program did not end after the quit question's OK")
        return
    if status != 0:
        problem("the program ended with status %d (0x%08X)" % (status, status & 0xFFFFFFFF))
    program_dir = os.path.dirname(program.args[1])
    dumps = [name for name in os.listdir(program_dir) if name.lower().endswith(".dmp")]
    if dumps or os.path.isdir(os.path.join(program_dir, "crash")):
        problem("the program left a crash dump: %s" % (dumps or ["crash/"]))


if __name__ == "__main__":
    sys.exit(main())
