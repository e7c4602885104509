"""Shared pieces of the end-to-end tests: paths of the build, Windows
programs started under the test run's Wine prefix, and message boxes read
and answered through our UI driver."""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

SOURCE_DIR = os.environ["ORV_SOURCE_DIR"]
CROSS_BIN = os.environ["ORV_CROSS_BIN"]
NATIVE_BIN = os.environ["ORV_NATIVE_BIN"]
SCRATCH = os.environ["ORV_SCRATCH"]
WINE_RUN = os.path.join(SOURCE_DIR, "scripts", "wine-run.sh")
RUNTIME = os.path.join(CROSS_BIN, "orvanta-setup.exe")
TOOLS_BIN = os.environ["ORV_TOOLS_BIN"]
LAUNCH = os.path.join(TOOLS_BIN, "launch.exe")
UIDRIVER = os.path.join(TOOLS_BIN, "uidriver.exe")

WINDOW_TIMEOUT = 400  # seconds; a 32-bit program may start under an emulator on a busy machine
PROCESS_TIMEOUT = 600


def windows_path(path):
    """The Wine drive Z: path of a Unix path."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine(*args, timeout=PROCESS_TIMEOUT):
    """Runs a Windows program and waits for it. Its output goes through files,
    not pipes: a Wine process it starts on the side (the desktop's explorer,
    when the program is the first to need a window) inherits the output
    handles and lives on, and would keep a pipe open long after the end."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.run([WINE_RUN, *args], stdout=out, stderr=err, timeout=timeout)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(process.args, process.returncode, out.read(), err.read())


def wait_until(condition, failure, timeout=WINDOW_TIMEOUT):
    """Checks `condition` every half second until it holds; fails with the
    text `failure` once `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(failure)
        time.sleep(0.5)


def section_table(data):
    """The section table of a PE file as (name, rva, size, raw offset) rows."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional_size
    sections = []
    for i in range(count):
        at = table + 40 * i
        name = data[at:at + 8].rstrip(b"\0").decode("latin-1")
        virtual_size, rva, raw_size, raw_at = struct.unpack_from("<IIII", data, at + 8)
        sections.append((name, rva, max(virtual_size, raw_size), raw_at))
    return sections


def pe_sections(data):
    """The section table of a 32-bit PE file and its resource directory's rva."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    resource_rva, = struct.unpack_from("<I", data, pe + 24 + 96 + 2 * 8)
    return section_table(data), resource_rva


def section_names(image):
    """The names in a PE file's section table."""
    return [name for name, _, _, _ in section_table(image)]


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


class Window:
    """A window as the UI driver printed it."""

    def __init__(self, printed):
        self.caption = None
        self.window_class = None
        self.controls = []  # (id, class, text)
        self.rect = None  # (left, top, right, bottom) on the screen
        for line in printed.splitlines():
            kind, _, rest = line.partition(" ")
            if kind == "window":
                self.window_class = rest.split(" ")[1].partition("=")[2]
            elif kind == "rect":
                self.rect = tuple(int(n) for n in rest.split())
            elif kind == "caption":
                self.caption = unescape(rest)
            elif kind == "control":
                cid, cclass, text = (rest.split(" ", 2) + ["", ""])[:3]
                self.controls.append((int(cid), cclass, unescape(text)))

    def text_of(self, control_id):
        for cid, _, text in self.controls:
            if cid == control_id:
                return text
        return None

    @property
    def message(self):
        """The text of a message box: its longest static control."""
        statics = [t for _, c, t in self.controls if c.lower() == "static"]
        return max(statics, key=len) if statics else ""


def match_args(title=None, title_prefix=None, window_class=None, pid=None, with_id=None):
    args = []
    if with_id is not None:
        args += ["--with-id", str(with_id)]
    if pid is not None:
        args += ["--pid", str(pid)]
    if title is not None:
        args += ["--title", title]
    if title_prefix is not None:
        args += ["--title-prefix", title_prefix]
    if window_class is not None:
        args += ["--class", window_class]
    return args


def answer(button_id, timeout=WINDOW_TIMEOUT, **match):
    """Waits for a window, reads it and clicks one of its buttons."""
    result = wine(UIDRIVER, "answer", *match_args(**match), "--id", str(button_id),
                  "--timeout", str(timeout), timeout=timeout + 60)
    if result.returncode != 0:
        listing = wine(UIDRIVER, "list").stdout.decode("latin-1")
        raise AssertionError(f"no window {match}: {result.stderr.decode('latin-1')}\nopen windows:\n{listing}")
    return Window(result.stdout.decode("latin-1"))


def drive(command, *args, **match):
    """Runs one UI driver command on a window that must already be there."""
    result = wine(UIDRIVER, command, *match_args(**match), *args)
    if result.returncode != 0:
        listing = wine(UIDRIVER, "list").stdout.decode("latin-1")
        raise AssertionError(f"uidriver {command} {match} {args} failed: {result.stderr.decode('latin-1')}\n"
                             f"open windows:\n{listing}")
    return result.stdout.decode("latin-1")


def wait_window(timeout=WINDOW_TIMEOUT, **match):
    """Waits for a window and reads it."""
    result = wine(UIDRIVER, "wait", *match_args(**match), "--timeout", str(timeout), timeout=timeout + 60)
    if result.returncode != 0:
        listing = wine(UIDRIVER, "list").stdout.decode("latin-1")
        raise AssertionError(f"no window {match}: {result.stderr.decode('latin-1')}\nopen windows:\n{listing}")
    return Window(result.stdout.decode("latin-1"))


def control_state(control_id, **match):
    """{"enabled": bool, "visible": bool, "checked": bool, "position": int} of
    one control; the position is a progress bar's, 0 for other controls."""
    words = drive("state", "--id", str(control_id), **match).split()
    pairs = dict(zip(words[::2], words[1::2]))
    return {name: int(value) if name == "position" else value == "1" for name, value in pairs.items()}


def answer_message_box(button_id=1, **match):
    match.setdefault("window_class", "#32770")
    return answer(button_id, **match)


class Program:
    """A Windows program started through our launcher with an exact command tail."""

    def __init__(self, exe, tail="", argv0=None, env=None):
        args = [WINE_RUN, LAUNCH, windows_path(exe) if exe.startswith("/") else exe,
                tail.encode("latin-1").hex()]
        if argv0 is not None:
            args += ["--argv0-hex", argv0.encode("latin-1").hex()]
        self.process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        env=None if env is None else {**os.environ, **env})
        # The launcher names the Windows process id first: windows are matched
        # by it, since tests running side by side share one desktop.
        first = self.process.stdout.readline().decode("latin-1").split()
        self.pid = int(first[1]) if len(first) == 2 and first[0] == "pid" else None

    def wait(self, timeout=PROCESS_TIMEOUT):
        try:
            self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.communicate()
            raise
        return self.process.returncode

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            try:
                # A Windows program the launcher started may still hold the
                # output pipe; the session's end takes it down.
                self.process.communicate(timeout=10)
            except subprocess.TimeoutExpired:
                pass


class WineTestCase(unittest.TestCase):
    """A test with a scratch folder of its own and every started program
    ended when it is over."""

    def setUp(self):
        os.makedirs(SCRATCH, exist_ok=True)
        self.scratch = tempfile.mkdtemp(prefix=self.id().rsplit(".", 1)[-1] + "-", dir=SCRATCH)
        self.programs = []

    def tearDown(self):
        for p in self.programs:
            p.kill()

    def start(self, exe, tail="", argv0=None, env=None):
        program = Program(exe, tail, argv0, env)
        self.programs.append(program)
        return program

    def copy_runtime(self, name="orvanta-setup.exe"):
        target = os.path.join(self.scratch, name)
        shutil.copyfile(RUNTIME, target)
        return target


PACK = os.path.join(NATIVE_BIN, "orvanta-pack")


def pack(*args):
    """Runs the authoring tool; fails the test run loudly when it fails."""
    result = subprocess.run([PACK, *args], capture_output=True, text=True, timeout=600)
    if result.returncode != 0:
        raise AssertionError(f"orvanta-pack {' '.join(args)} failed:\n{result.stdout}{result.stderr}")
    return result.stdout


def build_installer(folder, project_text, files=None, name="setup.exe"):
    """Writes a project and its files into `folder` and builds the installer."""
    for relative, content in (files or {}).items():
        path = os.path.join(folder, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)
    project = os.path.join(folder, "project.toml")
    with open(project, "w") as f:
        f.write(project_text)
    installer = os.path.join(folder, name)
    pack("build", project, "-o", installer, "--runtime", RUNTIME)
    return installer
