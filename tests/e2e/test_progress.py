"""The progress display under Wine: the background window and the progress
dialog of an interactive installation and of its uninstallation, the
background bitmap the installation leaves for the uninstaller, a cancel
during extraction that takes back what the run created, and an automatic
run that shows no window at all.

Each start of the 32-bit runtime costs about a minute here, so the module
makes four: the installation, its uninstallation, the cancelled
installation and the automatic one.

These tests run in a Wine prefix and X server of their own: the cancel test
compares snapshots of the prefix."""
import os
import struct
import subprocess
import tempfile
import unittest

_STATE = os.environ["ORV_WINE_STATE"] + "-progress"
os.environ.update(ORV_WINE_STATE=_STATE, WINEPREFIX=os.path.join(_STATE, "prefix"),
                  XDG_DATA_HOME=os.path.join(_STATE, "xdg"))

from harness import (PROCESS_TIMEOUT, SOURCE_DIR, TOOLS_BIN, UIDRIVER, WINE_RUN, WineTestCase, answer,  # noqa: E402
                     build_installer, control_state, drive, match_args, unescape, wait_window, windows_path)
from prefix import host_path, reg, snapshot, windows_change  # noqa: E402

SESSION = os.path.join(SOURCE_DIR, "scripts", "wine-session.sh")
UNINSTALL_KEY = "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"

NEXT, CANCEL, PROGRESS_BAR, HEADING, STATUS_LINE = 1001, 1003, 1007, 1009, 1011
IDOK, IDYES = 1, 6
WM_QUERYENDSESSION = 0x11
BACKGROUND_CLASS = "SEA Window Class"
DIALOG = dict(window_class="#32770", with_id=PROGRESS_BAR)
PAUSE_MS = 3000
BITMAP_NAME = "Installer Background.BMP"

# The authoring tool's English texts.
PREPARING = "Preparing the installation..."
CHECKING = "Checking the installation data..."
FINISHING = "Finishing the installation..."


def bitmap(width=8, height=8, blue_green_red=b"\x90\x60\x30"):
    """A 24-bit BMP file of one colour (rows of 8 pixels need no padding)."""
    pixels = blue_green_red * width * height
    file_header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return file_header + info + pixels


def setUpModule():
    subprocess.run([SESSION, "start"], check=True, capture_output=True, timeout=900)
    global desktop_keeper
    # A window of ours keeps the desktop's explorer running: started later by
    # an installer's first window, it would inherit the installer's output
    # pipe and keep it open after the installer ends.
    desktop_keeper = subprocess.Popen([WINE_RUN, os.path.join(TOOLS_BIN, "test_window.exe"), "Desktop Keeper"],
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
    wait_window(title="Desktop Keeper")


def tearDownModule():
    subprocess.run([SESSION, "stop"], capture_output=True, timeout=300)
    desktop_keeper.wait(60)


class Beside:
    """A UI driver command that runs beside the test, its output in a file."""

    def __init__(self, *args):
        self.out = tempfile.TemporaryFile()
        self.process = subprocess.Popen([WINE_RUN, UIDRIVER, *args], stdin=subprocess.DEVNULL, stdout=self.out,
                                        stderr=subprocess.DEVNULL)

    def running(self):
        return self.process.poll() is None

    def output(self):
        self.out.seek(0)
        return self.out.read().decode("latin-1")

    def finish(self, timeout=PROCESS_TIMEOUT):
        """The exit code and the output, once the command has ended by itself."""
        code = self.process.wait(timeout)
        return code, self.output()

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait(60)
        self.out.close()


def page(pid, caption):
    """A wizard page of the process: a dialog with a cancel button."""
    return wait_window(pid=pid, window_class="#32770", with_id=CANCEL, title=caption)


def message_box(pid, button, caption):
    """Reads a message box of the process and presses one of its buttons."""
    return answer(button, pid=pid, window_class="#32770", with_id=button, title=caption)


def message_box_waiting(pid, caption, button=IDOK):
    """A message box of the process, read but not yet answered."""
    return wait_window(pid=pid, window_class="#32770", with_id=button, title=caption)


def next_page(pid):
    drive("click", "--id", str(NEXT), pid=pid, window_class="#32770", with_id=CANCEL)


def project(name, root, files, more=""):
    tables = "".join(f"\n[[files]]\nsource = \"{source}\"\n{extra}" for source, extra in files)
    return f"""
[product]
name = "{name}"
version = "1.0"
install-dir = '{root}'
{more}
{tables}"""


class ProgressDisplay(WineTestCase):
    maxDiff = None

    def beside(self, *args):
        command = Beside(*args)
        self.addCleanup(command.stop)
        return command

    def walk_to_the_installation(self, pid, product):
        """The greeting page and the folder page, each left with next."""
        page(pid, f"{product} Setup")
        next_page(pid)
        page(pid, "Installation Folder")
        next_page(pid)

    def assertInOrder(self, expected, seen):
        """Every entry of `expected` occurs in `seen`, in this order."""
        rest = iter(seen)
        missing = [e for e in expected if not any(s == e for s in rest)]
        self.assertEqual(missing, [], f"not seen in this order among {seen}")

    # --- an installation and its uninstallation -----------------------------

    def test_1_installation_and_uninstallation_show_their_progress(self):
        product, root = "Progress Walk", "C:\\Progress Walk"
        picture = bitmap()
        held = os.path.join(self.scratch, "held")
        release = os.path.join(self.scratch, "release.flag")
        open(held, "wb").close()
        self.addCleanup(lambda: open(release, "ab").close())
        # The first uninstallation batch runs while the uninstaller's progress
        # dialog is open, and keeps it open until the test lets go.
        hold = f'"{windows_path(os.path.join(TOOLS_BIN, "hold_file.exe"))}" "{windows_path(held)}" ' \
               f'"{windows_path(release)}"'
        # Files of a megabyte each, so that the extraction takes a while.
        files = {"files/first.bin": b"\0" * 2**20, "files/second.bin": b"\1" * 2**20,
                 "files/third.bin": b"\2" * 2**20, "files/back.bmp": picture}
        text = project(product, root, [("files/first.bin", ""), ("files/second.bin", 'into = "Sub"\n'),
                                       ("files/third.bin", "")], f"""
[wizard]
progress-pause = {PAUSE_MS}

[background]
bitmap = "files/back.bmp"

[batches]
uninstall-1 = {{ commands = '{hold}', hidden = true }}
""")
        installer = build_installer(self.scratch, text, files)
        installed = [root + "\\first.bin", root + "\\Sub\\second.bin", root + "\\third.bin"]

        program = self.start(installer)
        pid = program.pid
        self.walk_to_the_installation(pid, product)
        watch = self.beside("watch", *match_args(pid=pid, **DIALOG), "--id", str(STATUS_LINE), "--timeout", "300")
        dialog = wait_window(pid=pid, **DIALOG)
        self.assertEqual(dialog.text_of(HEADING), f"Installing {product}. Please wait...")
        background = wait_window(pid=pid, window_class=BACKGROUND_CLASS, timeout=10)
        self.assertEqual(background.caption, f"{product} Setup")
        # Sent after the background window was seen: the dialog is still there.
        result = drive("send", "--message", str(WM_QUERYENDSESSION), pid=pid, **DIALOG)
        self.assertEqual(result.split(), ["result", "0"], "the dialog refuses the end of the session")

        done = message_box_waiting(pid, "Installation Complete")
        # The dialog was gone before the outcome was shown.
        drive("closed", "--timeout", "0", pid=pid, **DIALOG)
        self.assertEqual(done.message, f"{product} has been installed successfully.")
        message_box(pid, IDOK, "Installation Complete")
        self.assertEqual(program.wait(), 1)
        code, seen = watch.finish()
        self.assertEqual(code, 0, seen)
        texts = [unescape(line[5:]) for line in seen.splitlines() if line.startswith("text ")]
        positions = [int(line.split()[1]) for line in seen.splitlines() if line.startswith("position ")]
        with self.subTest("the status line"):
            # Paths are shown at a pace that keeps painting cheap: one may
            # give way to the next, the last one always comes.
            self.assertInOrder([PREPARING, CHECKING, installed[-1], FINISHING], texts)
            shown = [text for text in texts if text.startswith(root + "\\")]
            self.assertEqual(shown, [path for path in installed if path in shown], "in the files' order")
        with self.subTest("the bar"):
            self.assertEqual(positions, sorted(positions))
            self.assertEqual(positions[-1], 100, positions)
        with open(host_path(root + "\\" + BITMAP_NAME), "rb") as f:
            self.assertEqual(f.read(), picture, "the bitmap is kept for the uninstaller")

        command = reg("query", UNINSTALL_KEY + product, "/v", "UninstallString")
        self.assertIn(f'"{root}\\Uninstall.exe" /u:"{product}"', command)
        uninstaller = self.start(host_path(root + "\\Uninstall.exe"), f'/u:"{product}"')
        pid = uninstaller.pid
        question = message_box(pid, IDYES, f"{product} Uninstall")
        self.assertEqual(question.message,
                         f"Do you want to remove {product} and all of its components from your computer?")
        dialog = wait_window(pid=pid, **DIALOG)
        self.assertEqual(dialog.text_of(HEADING), f"Removing {product}. Please wait...")
        background = wait_window(pid=pid, window_class=BACKGROUND_CLASS, timeout=10)
        # The bitmap, read back from the registration and the file, is
        # stretched over the whole window: its colour at the right edge,
        # away from the centred dialog and the title at the top left.
        left, top, right, bottom = background.rect
        shown = drive("pixel", "--x", str(right - left - 3), "--y", str((bottom - top) // 2),
                      pid=pid, window_class=BACKGROUND_CLASS)
        self.assertEqual(shown.split(), ["pixel", "306090"], "the uninstaller draws the installation's bitmap")
        state = control_state(CANCEL, pid=pid, **DIALOG)
        self.assertEqual((state["visible"], state["enabled"]), (True, False), "no cancel in the uninstallation")
        open(release, "wb").close()
        message_box(pid, IDOK, "Uninstallation Complete")
        self.assertEqual(uninstaller.wait(), 0)
        for path in [*installed, root + "\\" + BITMAP_NAME]:
            self.assertFalse(os.path.exists(host_path(path)), path)

    # --- a cancel while the files are extracted ------------------------------

    def test_2_cancel_during_extraction_takes_back_what_the_run_created(self):
        product, root = "Progress Cancel", "C:\\Progress Cancel\\App"
        # Files in place before the run, replaced by it: one of a kind that is
        # written whatever is there, one of a kind that compares dates first.
        kept = {"C:\\Progress Existing\\kept.txt": "",
                "C:\\Progress Existing\\dated.txt": 'kind = "versioned-app"\nstamp = "2030-01-01 00:00:00"\n'}
        os.makedirs(host_path("C:\\Progress Existing"), exist_ok=True)
        for path in kept:
            with open(host_path(path), "wb") as f:
                f.write(b"before the run")
        os.makedirs(os.path.join(self.scratch, "files"))
        # Zeros pack small, but unpacking them takes the runtime a while.
        with open(os.path.join(self.scratch, "files", "big.bin"), "wb") as f:
            f.truncate(96 * 2**20)
        # The replaced files first, then the small files, then the big one.
        records = [("files/new.txt", f"target = '{path}'\n{extra}") for path, extra in kept.items()]
        records += [("files/first.txt", 'into = "Sub"\n'), ("files/second.txt", ""), ("files/big.bin", "")]
        text = project(product, root, records, "\n[uninstaller]\nfolder = 'Uninst'\n")
        installer = build_installer(self.scratch, text, {"files/new.txt": b"written by the run",
                                                        "files/first.txt": b"first", "files/second.txt": b"second"})
        # The bar's position while record i is installed: the big file is
        # unpacked after the last small file's position is shown.
        last_small = 28 + (len(records) - 2) * 62 // len(records)
        before = snapshot(self.scratch)

        program = self.start(installer)
        pid = program.pid
        self.walk_to_the_installation(pid, product)
        drive("reached", "--id", str(PROGRESS_BAR), "--position", str(last_small), "--click", str(CANCEL),
              "--timeout", "250", pid=pid, **DIALOG)
        question = message_box_waiting(pid, f"{product} Setup", IDYES)
        self.assertEqual(question.message, f"Do you want to cancel the installation of {product}?")
        position = control_state(PROGRESS_BAR, pid=pid, **DIALOG)["position"]
        # The bar moves at a pace that keeps painting cheap: on a busy
        # machine it may show the small files' position only at the end of
        # the extraction (91), before the integration takes cancel away.
        self.assertIn(position, range(last_small, 92), "the question comes by the end of the extraction")
        message_box(pid, IDYES, f"{product} Setup")
        self.assertEqual(message_box(pid, IDOK, f"{product} Setup").message,
                         f"The installation of {product} has been cancelled.")
        self.assertEqual(program.wait(), 1)
        after = snapshot(self.scratch)

        with self.subTest("the replaced files"):
            for path in kept:
                self.assertTrue(os.path.exists(host_path(path)), f"{path} was taken away")
                with open(host_path(path), "rb") as f:
                    self.assertEqual(f.read(), b"written by the run", f"{path} keeps its new content")
        with self.subTest("Install.LOG"):
            with open(host_path(root + "\\Uninst\\Install.LOG"), "rb") as f:
                log = f.read().decode("latin-1")
            self.assertIn("\r\nThe installation was cancelled. These files were replaced and keep their new content:"
                          "\r\n" + "".join(path + "\r\n" for path in kept), log)
            self.assertTrue(log.endswith("\r\nInstallation cancelled.\r\n"), log[-200:])
        with self.subTest("the prefix"):
            def paths(entries):
                names = (e if e.endswith("/") else e.rsplit(" ", 2)[0] for e in entries)
                return sorted(n.removeprefix("./") for n in names)
            # What stays: the replaced files, and the uninstall folder with the
            # log that names them (with the folders above it).
            replaced = ["progress existing/dated.txt", "progress existing/kept.txt"]
            self.assertEqual((paths(after[0] - before[0]), paths(before[0] - after[0])),
                             (["progress cancel/", "progress cancel/app/", "progress cancel/app/uninst/",
                               "progress cancel/app/uninst/install.log", *replaced], replaced))
            changed = sorted(e for e in after[1] ^ before[1] if not windows_change(e))
            self.assertEqual(changed, [], "registry")

    # --- an automatic run -----------------------------------------------------

    def test_3_automatic_run_shows_no_window(self):
        product, root = "Progress Quiet", "C:\\Progress Quiet"
        # With all that makes an interactive run show its windows.
        text = project(product, root, [("files/a.txt", "")],
                       f"\n[wizard]\nprogress-pause = {PAUSE_MS}\n\n[background]\nbitmap = \"files/back.bmp\"\n")
        installer = build_installer(self.scratch, text, {"files/a.txt": b"a", "files/back.bmp": bitmap()})
        program = self.start(installer, "/a")
        # Any visible window of the process ends the wait with its description.
        watcher = self.beside("wait", "--pid", str(program.pid), "--timeout", str(PROCESS_TIMEOUT))
        self.assertEqual(program.wait(), 1)
        self.assertTrue(watcher.running(), f"a window appeared:\n{watcher.output()}")
        self.assertTrue(os.path.exists(host_path(root + "\\a.txt")), "the run installed its file")


if __name__ == "__main__":
    unittest.main()
