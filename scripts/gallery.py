"""Walks the wizard of a small product of its own in each page layout and
photographs every page: called by scripts/gallery.sh inside a Wine session
of its own (ORV_WINE_STATE, WINEPREFIX and DISPLAY already set).

One installer run per layout walks every page it has: language, greeting,
password, license, readme, folder, start menu and summary. A fourth run
shows the page that asks to remove an earlier installation first, and a
last run shows the header layout again at 144 DPI. Each page is cropped from
the screen to its window and written with few colours as
<out>/<page>-<layout>.png."""
import argparse
import ctypes
import ctypes.util
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(HERE)


def setup_harness(runtime, pack, tools, scratch):
    """The end-to-end tests' harness, pointed at the given build."""
    os.environ.update(ORV_SOURCE_DIR=SOURCE_DIR, ORV_CROSS_BIN=os.path.dirname(runtime),
                      ORV_NATIVE_BIN=os.path.dirname(pack), ORV_TOOLS_BIN=tools, ORV_SCRATCH=scratch)
    sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "e2e"))


# Control numbers of the pages (src/setup/ui/page_ids.h) and of message boxes.
NEXT, CANCEL, READ_ONLY_TEXT, MAIN_TEXT, FOLDER_EDIT, LANGUAGE_LIST, PASSWORD_EDIT = (
    1001, 1003, 1005, 1009, 1015, 1017, 1019)
OPEN_FILE1_BOX, REQUIRED_SPACE = 1023, 1036
IDOK = 1

PRODUCT = "Northwind Notes"
PASSWORD = "Sesame"
UNINSTALL_KEYS = ["HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
                  "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"]
DPI_KEYS = ["HKCU\\Control Panel\\Desktop",
            "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"]

LICENSE = """NORTHWIND NOTES END USER LICENSE AGREEMENT

Please read this agreement carefully before you install <product>. By \
clicking "I Agree" you accept its terms.

1. GRANT OF LICENSE. Northwind Software grants you the right to install and \
use one copy of <product> on each computer you own or control.

2. RESTRICTIONS. You may not rent, lease or lend the software, nor reverse \
engineer, decompile or disassemble it, except where the law expressly \
permits it.

3. NO WARRANTY. The software is provided "as is", without warranty of any \
kind. The whole risk of its use stays with you.

4. LIMITATION OF LIABILITY. In no event shall Northwind Software be liable \
for any damages arising out of the use of, or the inability to use, the \
software.

5. TERMINATION. This license ends when you fail to comply with any of its \
terms. You must then destroy all copies of the software.
""".replace("\n", "\r\n")

README = """Northwind Notes 2.4 - Read Me

What is new in this version:
  - Notes can be grouped into notebooks and searched as you type.
  - Pictures pasted into a note are kept at their full size.
  - Export to PDF keeps the page breaks of the printed note.

Known problems:
  - Notes larger than 2 MB open slowly on network drives.

Support: support@northwind.example
""".replace("\n", "\r\n")


def project(layout, key_name, install_dir, languages, extra_options=""):
    styles = ", ".join(f'{page} = "{layout}"' for page in
                       ["greeting", "language", "license", "readme", "folder", "start-menu", "summary"])
    return f"""
languages = {languages!r}

[product]
name = "{PRODUCT}"
version = "2.4"
publisher = "Northwind Software"
install-dir = '{install_dir}'
start-menu = 'Northwind Software\\{PRODUCT}'
password = "{PASSWORD}"

[wizard]
license = "files/license.txt"
readme = "files/readme.txt"
styles = {{ {styles} }}

[uninstaller]
key-name = "{key_name}"

[finish]
open = '%InstallDir%\\manual.txt'
run = '%InstallDir%\\notes.exe'
open-second = '%InstallDir%\\readme.txt'

[options]
start-menu-page = true
offer-install-log = true
{extra_options}

[[files]]
source = "files/notes.exe"

[[files]]
source = "files/manual.txt"

[[files]]
source = "files/readme.txt"
"""


MUST_UNINSTALL_PROJECT = f"""
[product]
name = "{PRODUCT}"
version = "2.4"
publisher = "Northwind Software"
install-dir = 'C:\\Gallery\\Must Uninstall'

[uninstaller]
key-name = "{PRODUCT} (must uninstall)"

[options]
must-uninstall-first = true
no-greeting = true

[[files]]
source = "files/manual.txt"
"""


class Output:
    """What a finished program wrote, as subprocess.run gives it."""

    def __init__(self, returncode, stdout, stderr):
        self.returncode, self.stdout, self.stderr = returncode, stdout, stderr


def run_windows(*args, timeout=60):
    """Runs a Windows program under the session and waits for it.

    Its output goes through files, not pipes: a Wine program may start the
    session's desktop process, which inherits its output and lives as long
    as the session, and a pipe held by it never reaches its end."""
    import harness
    with open(os.devnull, "rb") as nothing, \
            tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run([harness.WINE_RUN, *args], stdin=nothing, stdout=out, stderr=err,
                              timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        return Output(code, out.read(), err.read())


class Program:
    """A Windows program started through the launcher; its process id is
    the one the launcher prints first."""

    def __init__(self, exe):
        import harness
        self.output = tempfile.NamedTemporaryFile(prefix="launch-", suffix=".txt")
        with open(os.devnull, "rb") as nothing:
            self.process = subprocess.Popen([harness.WINE_RUN, harness.LAUNCH, harness.windows_path(exe), ""],
                                            stdin=nothing, stdout=self.output, stderr=subprocess.STDOUT)
        self.pid = None
        deadline = time.monotonic() + 300
        while self.pid is None and time.monotonic() < deadline and self.process.poll() is None:
            with open(self.output.name, "rb") as f:
                first = f.readline().decode("latin-1")
            words = first.split()
            if first.endswith("\n") and len(words) == 2 and words[0] == "pid":
                self.pid = int(words[1])
            else:
                time.sleep(0.2)

    def wait(self, timeout=600):
        return self.process.wait(timeout)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Screen:
    """The X server of the session through Xlib: the page photographed gets
    the keyboard focus, so that its caption is drawn active as on a desktop
    with a window manager, and the pointer waits in a corner, away from the
    controls it would highlight."""

    class Attributes(ctypes.Structure):
        _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                    ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                    ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                    ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                    ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                    ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                    ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                    ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                    ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                    ("screen", ctypes.c_void_p)]

    IS_VIEWABLE, REVERT_TO_PARENT = 2, 2

    def __init__(self, display):
        x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Screen.Attributes)]
        x.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
        x.XWarpPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong] + [ctypes.c_int] * 2 + [
            ctypes.c_uint] * 2 + [ctypes.c_int] * 2
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x = x
        # A click is what makes Wine activate a window whatever the focus was.
        self.test = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        self.test.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.test.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = x.XOpenDisplay(display.encode())
        if not self.display:
            raise SystemExit(f"gallery: cannot open the X display {display}")
        self.root = x.XDefaultRootWindow(self.display)
        size = Screen.Attributes()
        x.XGetWindowAttributes(self.display, self.root, ctypes.byref(size))
        self.corner = (size.width - 1, size.height - 1)

    def window_at(self, rect):
        """The mapped top-level X window that covers exactly `rect`, or 0."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, self.root, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return 0
        found = 0
        left, top, right, bottom = rect
        for i in range(count.value):
            attributes = Screen.Attributes()
            if not self.x.XGetWindowAttributes(self.display, children[i], ctypes.byref(attributes)):
                continue
            if attributes.map_state == Screen.IS_VIEWABLE and (
                    attributes.x, attributes.y, attributes.width, attributes.height) == (
                    left, top, right - left, bottom - top):
                found = children[i]  # the last one is the top one
        if children:
            self.x.XFree(children)
        return found

    def focus(self, rect):
        """Clicks the caption of the window at `rect` and gives it the focus."""
        window = self.window_at(rect)
        if window:
            self.test.XTestFakeMotionEvent(self.display, -1, rect[0] + 60, rect[1] + 8, 0)
            self.test.XTestFakeButtonEvent(self.display, 1, 1, 0)
            self.test.XTestFakeButtonEvent(self.display, 1, 0, 0)
            self.x.XSync(self.display, 0)
            time.sleep(0.5)
            self.x.XSetInputFocus(self.display, window, Screen.REVERT_TO_PARENT, 0)
        self.x.XWarpPointer(self.display, 0, self.root, 0, 0, 0, 0, *self.corner)
        self.x.XSync(self.display, 0)
        return bool(window)


class Gallery:
    def __init__(self, out, work, display, colours):
        import harness
        self.h = harness
        self.out = out
        self.work = work
        self.display = display
        self.colours = colours
        self.screen = Screen(display)
        self.shots = []
        self.sizes = {}  # (page, layout) -> (width, height) of the window

    # --- the UI driver ------------------------------------------------------

    def uidriver(self, *args, timeout=60):
        return run_windows(self.h.UIDRIVER, *args, timeout=timeout)

    def wait(self, pid, with_id, previous=None, timeout=400, window_class="#32770"):
        """The next window of the process with control `with_id` that is not
        the window `previous`: (handle, rect, Window).

        The driver is asked again every few seconds: a driver started before
        the session's desktop exists never sees the windows made after it."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                result = self.uidriver("wait", "--pid", str(pid), "--class", window_class,
                                       "--with-id", str(with_id), "--timeout", "5", timeout=60)
            except subprocess.TimeoutExpired:
                result = None
            if result is not None and result.returncode == 0:
                printed = result.stdout.decode("latin-1")
                handle, rect = None, None
                for line in printed.splitlines():
                    words = line.split()
                    if words and words[0] == "window":
                        handle = words[1]
                    elif words and words[0] == "rect":
                        rect = tuple(int(w) for w in words[1:5])
                if handle != previous:
                    return handle, rect, self.h.Window(printed)
            if time.monotonic() > deadline:
                listing = self.uidriver("list").stdout.decode("latin-1")
                raise SystemExit(f"gallery: no new window with control {with_id} of process {pid}\n{listing}")
            time.sleep(0.3)

    def click(self, pid, control):
        result = self.uidriver("click", "--pid", str(pid), "--with-id", str(control), "--id", str(control))
        if result.returncode != 0:
            raise SystemExit(f"gallery: cannot click {control}: {result.stderr.decode('latin-1')}")

    def type(self, pid, control, text):
        result = self.uidriver("type", "--pid", str(pid), "--with-id", str(control), "--id", str(control),
                               "--text", text)
        if result.returncode != 0:
            raise SystemExit(f"gallery: cannot type into {control}: {result.stderr.decode('latin-1')}")

    # --- pictures -----------------------------------------------------------

    def shoot(self, name, rect, window=None):
        """Crops the window at `rect` from the screen into <out>/<name>.png;
        the full-colour crop stays in the work folder."""
        if not self.screen.focus(rect):
            print(f"  (no X window at {rect}: {name} keeps the focus it has)", flush=True)
        left, top, right, bottom = rect
        width, height = right - left, bottom - top
        raw = os.path.join(self.work, "raw", name + ".png")
        os.makedirs(os.path.dirname(raw), exist_ok=True)
        # The page paints itself and takes the focus after it appears: it is
        # photographed until two pictures a second apart are the same.
        previous = None
        for _ in range(10):
            time.sleep(1)
            subprocess.run(["import", "-display", self.display, "-window", "root",
                            "-crop", f"{width}x{height}+{left}+{top}", "+repage", raw], check=True, timeout=60)
            pixels = subprocess.run(["convert", raw, "rgb:-"], check=True, capture_output=True, timeout=60).stdout
            if pixels == previous:
                break
            previous = pixels
        target = os.path.join(self.out, name + ".png")
        subprocess.run(["convert", raw, "+dither", "-colors", str(self.colours), "-strip",
                        "-define", "png:compression-level=9", "-define", "png:compression-filter=5",
                        "PNG8:" + target], check=True)
        if window is not None:
            with open(os.path.join(self.work, "raw", name + ".txt"), "w", encoding="latin-1") as f:
                f.write(f"rect {left} {top} {right} {bottom}\ncaption {window.caption}\n")
                for cid, cclass, text in window.controls:
                    f.write(f"control {cid} {cclass} {text!r}\n")
        self.shots.append((name, width, height, os.path.getsize(target)))
        print(f"  {name}.png  {width}x{height}  {os.path.getsize(target)} bytes", flush=True)

    # --- the runs -----------------------------------------------------------

    def build(self, folder, text):
        files = {"files/license.txt": LICENSE.encode("latin-1"), "files/readme.txt": README.encode("latin-1"),
                 "files/manual.txt": b"The manual of Northwind Notes.\r\n",
                 "files/notes.exe": b"MZ not a real program\r\n"}
        folder = os.path.join(self.work, folder)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        return self.h.build_installer(folder, text, files)

    def walk(self, layout, suffix=None):
        """One installer run with every page in `layout`; the pictures are
        named <page>-<suffix>."""
        suffix = suffix or layout
        print(f"== {suffix}: every page", flush=True)
        languages = ["English", "Deutsch", "Fran\xe7ais"] if layout != "plain" else ["English"]
        installer = self.build(f"product-{suffix}", project(
            layout, f"{PRODUCT} (gallery {suffix})", f"C:\\Gallery\\{suffix}\\{PRODUCT}", languages))
        started = time.monotonic()
        program = Program(installer)
        try:
            self.walk_pages(program, layout, suffix, languages, started)
        finally:
            program.kill()

    def walk_pages(self, program, layout, suffix, languages, started):
        pid = program.pid
        if pid is None:
            raise SystemExit("gallery: the launcher named no process")
        previous = None

        def page(name, with_id, timeout=400, shot=None):
            """Waits for the next page, photographs it as <shot> (by default
            <name>-<suffix>) unless `shot` is empty."""
            nonlocal previous
            handle, rect, window = self.wait(pid, with_id, previous, timeout=timeout)
            previous = handle
            self.sizes[(name, suffix)] = (rect[2] - rect[0], rect[3] - rect[1])
            shot = f"{name}-{suffix}" if shot is None else shot
            if shot:
                self.shoot(shot, rect, window)
            return window

        if len(languages) > 1:
            page("language", LANGUAGE_LIST)
            print(f"  (the first page after {time.monotonic() - started:.0f} s)", flush=True)
            self.click(pid, NEXT)
        if layout == "plain":
            # The plain greeting is a message box with OK and Cancel.
            page("greeting", IDOK)
            self.click(pid, IDOK)
        else:
            page("greeting", MAIN_TEXT)
            self.click(pid, NEXT)
        # The password page has one layout: it is photographed once at each size.
        page("password", PASSWORD_EDIT,
             shot="password" if layout == "side-picture" else f"password-{suffix}" if suffix != layout else "")
        self.type(pid, PASSWORD_EDIT, PASSWORD)
        self.click(pid, NEXT)
        page("license", READ_ONLY_TEXT)
        self.click(pid, NEXT)
        page("readme", READ_ONLY_TEXT)
        self.click(pid, NEXT)
        page("folder", REQUIRED_SPACE)
        self.click(pid, NEXT)
        page("start-menu", FOLDER_EDIT)
        self.click(pid, NEXT)
        page("summary", OPEN_FILE1_BOX, timeout=600)
        self.click(pid, NEXT)
        code = program.wait()
        print(f"  the run ended with {code} after {time.monotonic() - started:.0f} s", flush=True)

    def reg(self, *args, check=True):
        reg = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "system32", "reg.exe")
        result = run_windows(reg, *args, timeout=300)
        if check and result.returncode != 0:
            raise SystemExit(f"gallery: reg {args} failed: {result.stdout!r} {result.stderr!r}")

    def must_uninstall(self):
        """The page that asks to remove an earlier installation first; the
        run is left with Cancel."""
        print("== must-uninstall", flush=True)
        earlier = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Gallery", "Earlier")
        os.makedirs(earlier, exist_ok=True)
        names = [key + PRODUCT + " (must uninstall)" for key in UNINSTALL_KEYS]
        for key in names:
            self.reg("add", key, "/v", "InstallLocation", "/d", "C:\\Gallery\\Earlier", "/f")
            self.reg("add", key, "/v", "DisplayVersion", "/d", "1.0", "/f")
            self.reg("add", key, "/v", "UninstallString", "/d", "cmd /c exit", "/f")
        installer = self.build("product-must-uninstall", MUST_UNINSTALL_PROJECT)
        program = Program(installer)
        try:
            _, rect, window = self.wait(program.pid, NEXT)
            self.shoot("must-uninstall", rect, window)
            self.click(program.pid, CANCEL)
            program.wait()
        finally:
            program.kill()
        for key in names:
            self.reg("delete", key, "/f", check=False)

    def set_dpi(self, dpi):
        for key in DPI_KEYS:
            self.reg("add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runtime", required=True)
    parser.add_argument("--pack", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--colours", type=int, default=64)
    parser.add_argument("--runs", default="plain,side-picture,header,must-uninstall,header-144dpi",
                        help="which runs, comma-separated")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    os.makedirs(args.work, exist_ok=True)
    setup_harness(os.path.abspath(args.runtime), os.path.abspath(args.pack), os.path.abspath(args.tools),
                  os.path.join(args.work, "scratch"))
    with open(os.path.join(os.environ["ORV_WINE_STATE"], "display")) as f:
        display = f.read().strip()
    gallery = Gallery(args.out, args.work, display, args.colours)
    # Without a window manager on the X server Wine draws the pages' frames
    # and captions itself, as Windows would, and a window that gets the X
    # focus becomes the active one.
    for value in ["Decorated", "UseTakeFocus"]:
        gallery.reg("add", "HKCU\\Software\\Wine\\X11 Driver", "/v", value, "/d", "N", "/f")
    runs = args.runs.split(",")
    for run in runs:
        if run in ("plain", "side-picture", "header"):
            gallery.walk(run)
        elif run == "must-uninstall":
            gallery.must_uninstall()
        elif run == "header-144dpi":
            gallery.set_dpi(144)
            try:
                gallery.walk("header", "header-144dpi")
            finally:
                gallery.set_dpi(96)
        else:
            raise SystemExit(f"gallery: unknown run {run}")
    # The 144 DPI pages must be larger than the 96 DPI ones, or the setting
    # did not reach the program.
    for (name, suffix), (width, height) in sorted(gallery.sizes.items()):
        if suffix != "header-144dpi" or (name, "header") not in gallery.sizes:
            continue
        base_width, base_height = gallery.sizes[(name, "header")]
        ratio = width / base_width
        print(f"  {name}: {base_width}x{base_height} at 96 DPI, {width}x{height} at 144 DPI ({ratio:.2f})")
        if ratio < 1.3:
            raise SystemExit(f"gallery: the {name} page did not grow at 144 DPI")
    print(f"{len(gallery.shots)} pictures in {args.out}, "
          f"{sum(s[3] for s in gallery.shots) // 1024} KB, the largest "
          f"{max(s[3] for s in gallery.shots) // 1024} KB")


if __name__ == "__main__":
    main()
