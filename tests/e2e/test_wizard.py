"""The interactive installation under Wine, clicked through as a person
would: the language page switching its texts, the password, two license
texts and a readme, the folder page with a folder text for each of its
tests, the start menu page, and the summary page whose choices start a
program, open two documents and show the log. Then programs closed before
the installation and an earlier installation removed first, and a cancel on
each page that leaves nothing behind.

These tests run in a Wine prefix and X server of their own: the cancel test
compares snapshots of the prefix."""
import glob
import os
import shutil
import subprocess
import unittest

_STATE = os.environ["ORV_WINE_STATE"] + "-wizard"
os.environ.update(ORV_WINE_STATE=_STATE, WINEPREFIX=os.path.join(_STATE, "prefix"),
                  XDG_DATA_HOME=os.path.join(_STATE, "xdg"))

from harness import (SOURCE_DIR, TOOLS_BIN, WINE_RUN, WineTestCase, answer, build_installer, control_state,  # noqa: E402
                     drive, wait_until, wait_window, windows_path)
from prefix import PREFIX, host_path, reg, snapshot, windows_change  # noqa: E402

SESSION = os.path.join(SOURCE_DIR, "scripts", "wine-session.sh")

# Control numbers of the pages.
NEXT, CANCEL, READ_ONLY_TEXT, MAIN_TEXT, FOLDER_EDIT, LANGUAGE_LIST, PASSWORD_EDIT = (
    1001, 1003, 1005, 1009, 1015, 1017, 1019)
SUMMARY_BOXES = [1023, 1025, 1027, 1029]
IDOK, IDCANCEL, IDRETRY, IDYES, IDNO = 1, 2, 4, 6, 7

ROOT = "C:\\Wizard Walk"
CHOSEN = ROOT + "\\Chosen"
PRODUCT = "Wizard Walk"
# The 32-bit runtime sees the registry's 32-bit view.
UNINSTALL_KEY = "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"

# The authoring tool's English texts the pages show.
LANGUAGE_TEXT = "Please choose the language of the installation:"
GERMAN_LANGUAGE_TEXT = "Bitte w\xe4hlen Sie die Sprache der Installation:"
WRONG_PASSWORD = "The password is not correct."
CANCELLED = f"The installation of {PRODUCT} has been cancelled."


def marker():
    with open(os.path.join(TOOLS_BIN, "marker.exe"), "rb") as f:
        return f.read()


def walk_project(root):
    return f"""
languages = ["English", "Deutsch"]

[product]
name = "{PRODUCT}"
version = "2.0"
publisher = "Orvanta Tests"
install-dir = '{root}\\Default'
start-menu = 'Orvanta Tests\\{PRODUCT}'
password = "Sesame"

[wizard]
license = ["files/license16.txt", "files/license8.txt"]
readme = "files/readme.txt"
styles = {{ greeting = "side-picture", language = "side-picture", license = "side-picture", readme = "side-picture", folder = "side-picture", start-menu = "side-picture", summary = "side-picture" }}

[finish]
open = '%InstallDir%\\open1.exe'
run = '%InstallDir%\\app.exe'
open-second = '%InstallDir%\\open2.exe'

[options]
start-menu-page = true
offer-install-log = true
confirm-folder = true
refuse-network-folder = true

[[files]]
source = "files/app.exe"

[[files]]
source = "files/app.exe"
name = "open1.exe"

[[files]]
source = "files/app.exe"
name = "open2.exe"

[strings.Deutsch]
82 = "{GERMAN_LANGUAGE_TEXT}"
"""


WALK_FILES = {
    "files/license16.txt": "\ufeffLicense one of <product>: gr\xfcn\r\nsecond line".encode("utf-16-le"),
    "files/license8.txt": "\ufeffLicense two of <PRODUCT>: gro\xdf\nnext line".encode("utf-8"),
    "files/readme.txt": b"Readme of <product>.",
}


def page(pid, caption=None, timeout=None, with_id=CANCEL):
    """A wizard page of the process: a dialog with the control `with_id`
    (the cancel button, which every page but the summary has)."""
    match = dict(pid=pid, window_class="#32770", with_id=with_id)
    if caption is not None:
        match["title"] = caption
    return wait_window(**match) if timeout is None else wait_window(timeout=timeout, **match)


def message_box(pid, button, caption=None):
    """Reads a message box of the process and presses one of its buttons."""
    match = dict(pid=pid, window_class="#32770", with_id=button)
    if caption is not None:
        match["title"] = caption
    return answer(button, **match)


class Wizard(WineTestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        subprocess.run([SESSION, "start"], check=True, capture_output=True, timeout=900)
        # A window of ours keeps the desktop's explorer running from here on:
        # started later by an installer's first window, it would inherit the
        # installer's output pipe and keep it open after the installer ends.
        cls.desktop_keeper = subprocess.Popen([WINE_RUN, os.path.join(TOOLS_BIN, "test_window.exe"), "Desktop Keeper"],
                                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                              stderr=subprocess.DEVNULL)
        wait_window(title="Desktop Keeper")

    @classmethod
    def tearDownClass(cls):
        subprocess.run([SESSION, "stop"], capture_output=True, timeout=300)
        cls.desktop_keeper.wait(60)

    def build_walk_installer(self):
        return build_installer(self.scratch, walk_project(ROOT), {**WALK_FILES, "files/app.exe": marker()})

    def click(self, pid, control):
        drive("click", "--id", str(control), pid=pid, window_class="#32770", with_id=CANCEL)

    def type(self, pid, control, text):
        drive("type", "--id", str(control), "--text", text, pid=pid, window_class="#32770", with_id=CANCEL)

    # --- the walk -------------------------------------------------------

    def test_1_walk_through_every_page(self):
        installer = self.build_walk_installer()
        os.makedirs(host_path(ROOT), exist_ok=True)
        with open(os.path.join(host_path(ROOT), "blocker"), "w") as f:
            f.write("a file where the test asks for a folder")
        program = self.start(installer)
        pid = program.pid
        self.language_page(pid)
        self.assertEqual(page(pid, f"{PRODUCT} Setup").text_of(NEXT), "&Next >")
        self.click(pid, NEXT)
        self.password_page(pid)
        self.document_pages(pid)
        self.folder_page(pid)
        self.start_menu_page(pid)
        self.summary_page(pid)
        self.finish_actions()
        # Started by the installation, the log's viewer shares its output;
        # once the viewer is closed the installation's end can be read.
        self.assertEqual(program.wait(), 1)

    def language_page(self, pid):
        language = page(pid, "Language")
        self.assertEqual(language.text_of(MAIN_TEXT), LANGUAGE_TEXT, "English is the user's language")
        for index, text in [(1, GERMAN_LANGUAGE_TEXT), (0, LANGUAGE_TEXT)]:
            drive("select", "--id", str(LANGUAGE_LIST), "--index", str(index), pid=pid, with_id=LANGUAGE_LIST)
            wait_until(lambda: page(pid, "Language").text_of(MAIN_TEXT) == text,
                       f"the page did not switch to language {index}", timeout=30)
        self.click(pid, NEXT)

    def password_page(self, pid):
        self.assertEqual(page(pid, "Password").text_of(NEXT).strip(), "OK")
        for typed in ["", "sesame", "Sesame!"]:
            self.type(pid, PASSWORD_EDIT, typed)
            self.click(pid, NEXT)
            box = message_box(pid, IDOK, "Error")
            self.assertEqual(box.message, WRONG_PASSWORD, typed)
            self.assertEqual(page(pid, "Password").text_of(PASSWORD_EDIT), "", "the entry is cleared")
        self.type(pid, PASSWORD_EDIT, "Sesame")
        self.click(pid, NEXT)

    def document_pages(self, pid):
        for expected in [f"License one of {PRODUCT}: gr\xfcn\r\nsecond line",
                         f"License two of {PRODUCT}: gro\xdf\r\nnext line"]:
            license = page(pid, "License Agreement")
            self.assertEqual(license.text_of(READ_ONLY_TEXT), expected)
            self.assertEqual(license.text_of(NEXT), "I &Agree")
            self.next_page(pid, license)
        readme = page(pid, "License Agreement")
        self.assertEqual(readme.text_of(READ_ONLY_TEXT), f"Readme of {PRODUCT}.")
        self.click(pid, NEXT)

    def folder_page(self, pid):
        folder = page(pid, "Installation Folder")
        self.assertEqual(folder.text_of(FOLDER_EDIT), ROOT + "\\Default")
        self.assertTrue(folder.text_of(1036).startswith("Space required: "), folder.text_of(1036))
        self.assertTrue(folder.text_of(1037).startswith("Space available: "), folder.text_of(1037))
        programs = "C:\\Program Files (x86)"
        refused = [
            ("C:\\Wizard*Walk", "This is not a valid folder name:\r\n\r\nC:\\Wizard*Walk"),
            ("relative\\folder", "This is not a valid folder name:\r\n\r\nrelative\\folder"),
            ("Q:\\Walk", "Drive Q: is not available. Please choose another folder."),
            ("\\\\server\\share\\Walk",
             "The installation folder cannot be on a network drive. Please choose a local folder."),
            (programs + "\\", f"The folder {programs} cannot hold the installation itself. "
                              "Please choose a folder inside it."),
        ]
        for typed, message in refused:
            with self.subTest(folder=typed):
                self.type(pid, FOLDER_EDIT, typed)
                self.click(pid, NEXT)
                self.assertEqual(message_box(pid, IDOK, "Error").message, message)
        # A file stands where a folder must be made.
        self.type(pid, FOLDER_EDIT, ROOT + "\\blocker\\sub")
        self.click(pid, NEXT)
        box = message_box(pid, IDYES, "Installation Folder")
        self.assertEqual(box.message, f"The folder {ROOT}\\blocker\\sub does not exist yet and will be created.")
        cannot = message_box(pid, IDOK, "Error").message
        self.assertTrue(cannot.startswith(f"Unable to create the folder\r\n{ROOT}\\blocker\\sub\r\n\r\n"), cannot)
        # The confirmation: No goes back to the page, for an existing and a new folder.
        for typed, message in [(ROOT, f"{PRODUCT} will be installed in the existing folder {ROOT}."),
                               (ROOT + "\\New", f"The folder {ROOT}\\New does not exist yet and will be created.")]:
            self.type(pid, FOLDER_EDIT, typed)
            self.click(pid, NEXT)
            self.assertEqual(message_box(pid, IDNO, "Installation Folder").message, message)
        self.assertFalse(os.path.exists(host_path(ROOT + "\\New")), "a declined folder is not made")
        self.type(pid, FOLDER_EDIT, f'  "{CHOSEN}"  ')
        self.click(pid, NEXT)
        message_box(pid, IDYES, "Installation Folder")

    def start_menu_page(self, pid):
        menu = page(pid, "Start Menu Folder")
        self.assertEqual(menu.text_of(FOLDER_EDIT), f"Orvanta Tests\\{PRODUCT}")
        for typed, enabled in [("Bad|Name", False), ("\\Leading", False), ("Two\\\\In a row", False),
                               ("Orvanta Tests\\Walk Menu", True)]:
            self.type(pid, FOLDER_EDIT, typed)
            wait_until(lambda: control_state(NEXT, pid=pid, with_id=FOLDER_EDIT)["enabled"] == enabled,
                       f"next should be {'enabled' if enabled else 'disabled'} for {typed!r}", timeout=30)
        self.click(pid, NEXT)

    def summary_page(self, pid):
        summary = page(pid, "Installation Complete", timeout=600, with_id=SUMMARY_BOXES[0])
        self.assertEqual([summary.text_of(box) for box in SUMMARY_BOXES],
                         ["&Open the documentation", "&Start Wizard Walk", "Show the installation &log",
                          "Open the &release notes"])
        for box in SUMMARY_BOXES:
            self.assertTrue(control_state(box, pid=pid, with_id=box)["visible"], box)
            drive("check", "--id", str(box), pid=pid, with_id=box)
        drive("click", "--id", str(NEXT), pid=pid, with_id=SUMMARY_BOXES[0])

    def finish_actions(self):
        installed = host_path(CHOSEN)
        for name in ["open1.exe", "app.exe", "open2.exe"]:
            ran = os.path.join(installed, name + ".ran")
            wait_until(lambda: os.path.exists(ran), f"{name} was not started", timeout=120)
        with open(os.path.join(installed, "app.exe.ran"), "rb") as f:
            self.assertEqual(f.read().decode("latin-1").splitlines()[1].lower(), CHOSEN.lower(),
                             "the program starts in the installation folder")
        log = wait_window(title_prefix="Install")
        self.assertIn("Install.LOG", log.caption)
        drive("close", title_prefix="Install")
        values = reg("query", UNINSTALL_KEY + PRODUCT)
        self.assertIn(CHOSEN, values)
        self.assertIn("Orvanta Tests\\Walk Menu", values)

    # --- closing programs, then the must-uninstall page -------------------

    def test_2_programs_closed_and_the_earlier_installation_removed_first(self):
        earlier = "C:\\Close Probe Old"
        os.makedirs(host_path(earlier), exist_ok=True)
        flag = os.path.join(self.scratch, "uninstalled.flag")
        # The uninstall command ends the batch at once: the batch keeps its
        # other lines for the test to read, and the installation is not
        # started a second time.
        command = f'echo uninstalled>"{windows_path(flag)}" & exit'
        key = UNINSTALL_KEY + "Close Probe"
        reg("add", key, "/v", "InstallLocation", "/d", earlier, "/f")
        reg("add", key, "/v", "DisplayVersion", "/d", "1.0", "/f")
        reg("add", key, "/v", "QuietUninstallString", "/d", command, "/f")
        installer = build_installer(self.scratch, """
[product]
name = "Close Probe"
version = "2.0"
install-dir = 'C:\\Close Probe'

[options]
must-uninstall-first = true
no-greeting = true

[[close]]
title = "Orvanta Close Me"
action = "close"
when = ["install"]

[[close]]
title = "*Ask Me"
name = "Ask Me Program"
action = "ask"
when = ["install"]
""")
        test_window = os.path.join(TOOLS_BIN, "test_window.exe")
        closed = self.start(test_window, "\"Orvanta Close Me\"")
        asking = self.start(test_window, "\"Please Ask Me\"")
        for title in ["Orvanta Close Me", "Please Ask Me"]:
            wait_window(title=title)
        program = self.start(installer)
        pid = program.pid
        # Asked again and again while the program runs.
        for _ in range(2):
            box = message_box(pid, IDRETRY, "Close Probe Setup")
            self.assertEqual(box.message, "Ask Me Program is running. Please close it, then click Retry.")
        drive("close", title="Please Ask Me")
        self.assertEqual(asking.wait(60), 0)
        message_box(pid, IDRETRY, "Close Probe Setup")
        self.assertEqual(closed.wait(120), 0, "mode 0 closes the window")
        must = page(pid, "Error")
        self.assertEqual(must.text_of(NEXT), "&Uninstall")
        self.click(pid, NEXT)
        self.assertEqual(program.wait(), 1)
        wait_until(lambda: os.path.exists(flag), "the uninstall command did not run", timeout=120)
        batches = glob.glob(os.path.join(PREFIX, "drive_c", "users", "*", "**", "utrri.bat"), recursive=True)
        self.assertEqual(len(batches), 1, batches)
        with open(batches[0], "rb") as f:
            lines = f.read().decode("latin-1").split("\r\n")
        batch = "C:" + batches[0][len(os.path.join(PREFIX, "drive_c")):].replace("/", "\\")
        self.assertEqual(lines[0], command)
        self.assertIn("setup.exe", lines[1].lower(), "the installation starts again")
        self.assertEqual(lines[2].lower(), f'del "{batch}"'.lower())
        self.assertEqual(lines[3:], [""])
        reg("delete", key, "/f")
        shutil.rmtree(os.path.dirname(batches[0]))

    # --- a cancel on each page ----------------------------------------------

    def test_3_cancel_on_each_page_leaves_nothing(self):
        # Without an earlier installation (the walk's), so that every run
        # reaches the folder page.
        reg("delete", UNINSTALL_KEY + PRODUCT, "/f", check=False)
        installer = self.build_walk_installer()
        before = snapshot(self.scratch)
        steps = ["language", "greeting", "password", "license", "readme", "folder", "start menu"]
        programs = [self.start(installer) for _ in steps]
        # The runs start side by side; each is then walked to its page.
        for cancel_at, program in zip(steps, programs):
            with self.subTest(page=cancel_at):
                self.walk_to_and_cancel(program.pid, cancel_at)
                self.assertEqual(program.wait(), 1)
        after = snapshot(self.scratch)
        for name, old, new in zip(["files", "registry"], before, after):
            added = sorted(e for e in new - old if not windows_change(e))
            removed = sorted(e for e in old - new if not windows_change(e))
            self.assertEqual((added, removed), ([], []), name)

    def walk_to_and_cancel(self, pid, cancel_at):
        messages = {"license": CANCELLED, "readme": CANCELLED, "folder": CANCELLED, "start menu": CANCELLED}

        def leave():
            self.click(pid, CANCEL)
            if cancel_at in messages:
                self.assertEqual(message_box(pid, IDOK, f"{PRODUCT} Setup").message, messages[cancel_at])

        walk = [("language", "Language", None), ("greeting", f"{PRODUCT} Setup", None),
                ("password", "Password", "Sesame"),
                ("license", "License Agreement", None), ("license 2", "License Agreement", None),
                ("readme", "License Agreement", None), ("folder", "Installation Folder", ROOT + "\\Cancel\\Deep"),
                ("start menu", "Start Menu Folder", None)]
        for step, caption, typed in walk:
            shown = page(pid, caption)
            if step == cancel_at:
                leave()
                return
            if step == "password":
                self.type(pid, PASSWORD_EDIT, typed)
            if step == "folder":
                self.type(pid, FOLDER_EDIT, typed)
                self.click(pid, NEXT)
                message_box(pid, IDYES, "Installation Folder")
            else:
                self.next_page(pid, shown)

    def next_page(self, pid, shown):
        """Clicks next and waits until another page has taken the place of `shown`."""
        self.click(pid, NEXT)

        def moved_on():
            current = page(pid)
            return (current.caption, current.text_of(READ_ONLY_TEXT)) != (shown.caption, shown.text_of(READ_ONLY_TEXT))
        wait_until(moved_on, f"the page {shown.caption!r} stayed", timeout=60)


if __name__ == "__main__":
    unittest.main()
