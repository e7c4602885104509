"""An automatic installation under Wine, built by the authoring tool: every
file kind's folder, the target rules, stamps and attributes, the replacement
rules over real files, locked files, pending renames, the pre-installation
batch, the single-instance mutex and "Install.LOG"."""
import calendar
import glob
import json
import os
import shutil
import subprocess
import time
import unittest

from harness import (CROSS_BIN, TOOLS_BIN, WINE_RUN, WineTestCase, answer_message_box, build_installer, wait_until,
                     windows_path)
from prefix import attributes, host_path, pending_renames, set_pending_renames

ROOT = "C:\\Probe"
SHARED = "C:\\Program Files (x86)\\Common Files\\Orvanta Tests"
T0 = "2023-07-04 09:05:00"  # the stamp of the files found in place
T1 = "2023-07-04 09:05:01"  # one second later
IDNO = 7


def dll(stem):
    with open(os.path.join(CROSS_BIN, f"ver_{stem}.dll"), "rb") as f:
        return f.read()


LAUNCH_ON_EXIT = "C:\\windows\\sysnative\\cmd.exe /c echo ran>C:\\Probe\\ran.flag"

BATCH = "echo hello %ProductName%\npause\n:wait\nif not exist C:\\Probe\\go.flag goto wait\n"

# The product both installations share: one folder, one log.
PRODUCT = f"""
[product]
name = "Install Probe"
version = "3.1"
publisher = "Orvanta Tests"
install-dir = '{ROOT}'

[uninstaller]
folder = "Uninst"
"""

PROJECT = PRODUCT + f"""
[options]
single-instance = true
verify-written-files = true
# A locked file asks for a restart; even in automatic mode the run asks first,
# and the test answers No: a restart would carry out the pending renames this
# test looks at and end the programs of the other tests in the prefix.
ask-before-automatic-restart = true

[batches]
pre-install = {{ commands = {json.dumps(BATCH)}, log = true }}

[[files]]
source = "files/app.exe"
into = "bin"
stamp = "2021-03-04 05:06:07"
attributes = ["read-only", "hidden"]

[[files]]
source = "files/empty.dat"

[[files]]
source = "files/readme.txt"
target = "liesmich.txt"

[[files]]
source = "files/sub/a.txt"
name = 'sub\\a.txt'
target = '%InstallDir%\\Docs\\'

[[files]]
source = "files/probe.ico"
uninstall-folder = true

[[files]]
source = "files/shared.dat"
kind = "shared"

[[files]]
source = "files/probe.fon"
kind = "font"

[[files]]
source = "files/orvprobe_sys.dll"
kind = "system"

[[files]]
source = "files/orvprobe_com.dll"
kind = "com-server"

[[files]]
source = "files/orvprobe.tlb"
kind = "type-library"

[[files]]
source = "files/start.exe"
kind = "startup-app"

[[files]]
source = "files/v.dll"
kind = "versioned-app"

[[files]]
source = "files/r1.dll"
kind = "versioned-app"
stamp = "{T1}"

[[files]]
source = "files/r2.dll"
kind = "com-server"
target = '%InstallDir%\\'

[[files]]
source = "files/r3.dll"
kind = "system"
target = '%InstallDir%\\'

[[files]]
source = "files/r4.dll"
kind = "type-library"
target = '%InstallDir%\\'
stamp = "{T1}"
version = "1.0"

[[files]]
source = "files/r5.dat"
kind = "shared"
stamp = "no-time"

[[files]]
source = "files/r6.dat"
replace = "not-over-newer"
stamp = "none"

[[files]]
source = "files/r7.dat"

[[files]]
source = "files/r8.dat"
replace = "if-missing"

[[files]]
source = "files/r9.dat"
replace = "if-exists"

[[files]]
source = "files/r10.dat"
replace = "never"

[[files]]
source = "files/locked_shared.dat"
kind = "shared"

[[files]]
source = "files/locked_app.dat"
"""

# The same product one version on: an upgrade of the first installation.
AGAIN_PROJECT = PRODUCT.replace('version = "3.1"', 'version = "3.2"') + """
[options]
verbose-log = true

[[files]]
source = "files/again.txt"
"""

FILES = {
    "files/app.exe": b"MZ app\r\n" * 50,
    "files/empty.dat": b"",
    "files/readme.txt": b"readme\r\n",
    "files/sub/a.txt": b"a\r\n",
    "files/probe.ico": b"icon",
    "files/shared.dat": b"shared",
    "files/probe.fon": b"font bytes",
    "files/orvprobe_sys.dll": b"system",
    "files/orvprobe_com.dll": b"com",
    "files/orvprobe.tlb": b"tlb",
    "files/start.exe": b"start",
    "files/v.dll": b"versioned",
    "files/r1.dll": dll("2_0_0"),
    "files/r2.dll": dll("1_5a"),
    "files/r3.dll": dll("1_2_3"),
    "files/r4.dll": b"new r4",
    "files/r5.dat": b"new r5",
    "files/r6.dat": b"new r6",
    "files/r7.dat": b"new r7",
    "files/r8.dat": b"new r8",
    "files/r9.dat": b"new r9",
    "files/r10.dat": b"new r10",
    "files/locked_shared.dat": b"new shared bytes",
    "files/locked_app.dat": b"new app bytes",
}

# What lies in place before the installation, stamped T0.
IN_PLACE = {
    ROOT + "\\r1.dll": dll("2_0"),
    ROOT + "\\r2.dll": dll("1_5b"),
    ROOT + "\\r3.dll": dll("1_2_3"),
    ROOT + "\\r4.dll": dll("none"),
    SHARED + "\\r5.dat": b"old r5",
    ROOT + "\\r6.dat": b"old r6",
    ROOT + "\\r7.dat": b"old r7",
    ROOT + "\\r8.dat": b"old r8",
    ROOT + "\\r10.dat": b"old r10",
    ROOT + "\\stale.tmp": b"left by an earlier run",
    SHARED + "\\locked_shared.dat": b"old shared",
    ROOT + "\\locked_app.dat": b"old app",
}


def epoch(stamp):
    return calendar.timegm(time.strptime(stamp, "%Y-%m-%d %H:%M:%S"))


def place(files, stamp):
    for windows, content in files.items():
        path = host_path(windows)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)
        os.utime(path, (epoch(stamp), epoch(stamp)))


def read(windows):
    with open(host_path(windows), "rb") as f:
        return f.read()


class HeldFile:
    """A file kept open without sharing by a 64-bit helper until released."""

    def __init__(self, windows, release_flag):
        self.release_flag = release_flag
        self.process = subprocess.Popen([WINE_RUN, os.path.join(TOOLS_BIN, "hold_file.exe"), windows,
                                         release_flag], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.process.stdout.readline().decode("latin-1").strip()
        if line != "holding":
            raise AssertionError(f"hold_file did not hold {windows}: {line!r}")

    def release(self):
        place({self.release_flag: b""}, T0)
        self.process.wait(timeout=60)
        self.process.stdout.close()


class AutomaticInstallation(WineTestCase):
    @classmethod
    def setUpClass(cls):
        for folder in (ROOT, SHARED):
            shutil.rmtree(host_path(folder), ignore_errors=True)

    def install(self):
        installer = build_installer(self.scratch, PROJECT, FILES)
        place(IN_PLACE, T0)
        set_pending_renames(["\\??\\" + ROOT + "\\stale.tmp", "!\\??\\" + ROOT + "\\r7.dat",
                             "\\??\\C:\\keep.tmp", "!\\??\\C:\\keep.dat"])
        held = [HeldFile(SHARED + "\\locked_shared.dat", ROOT + "\\release1.flag"),
                HeldFile(ROOT + "\\locked_app.dat", ROOT + "\\release2.flag")]
        try:
            first = self.start(installer, '/a /b1:"echo appended~~echo second" /r:"' + LAUNCH_ON_EXIT + '"')
            # The first installer holds the mutex and waits in its batch; a
            # second one must not start.
            batch = ROOT + "\\SETUPBAT.BAT"
            wait_until(lambda: os.path.exists(host_path(batch)), f"{batch} did not appear")
            second = self.start(installer, "/a")
            box = answer_message_box(title="Install Probe Setup", pid=second.pid)
            self.assertEqual(second.wait(), 1)
            place({ROOT + "\\go.flag": b""}, T0)
            restart = answer_message_box(IDNO, pid=first.pid)
            self.assertEqual(first.wait(), 1)
        finally:
            for h in held:
                h.release()
        return box, restart

    def test_automatic_installation(self):
        box, restart = self.install()
        self.assertTrue(box.message.startswith("Another installation is running."), box.message)
        self.assertEqual((restart.caption, restart.message),
                         ("Install Probe Setup",
                          "The computer must be restarted to complete the installation of Install Probe.\r\n\r\n"
                          "Restart now?"))

        with self.subTest("every kind in its folder, the target rules"):
            expected = {
                ROOT + "\\bin\\app.exe": FILES["files/app.exe"],
                ROOT + "\\empty.dat": b"",
                ROOT + "\\liesmich.txt": b"readme\r\n",
                ROOT + "\\Docs\\a.txt": b"a\r\n",
                ROOT + "\\Uninst\\probe.ico": b"icon",
                SHARED + "\\shared.dat": b"shared",
                "C:\\windows\\Fonts\\probe.fon": b"font bytes",
                "C:\\windows\\syswow64\\orvprobe_sys.dll": b"system",
                "C:\\windows\\syswow64\\orvprobe_com.dll": b"com",
                "C:\\windows\\syswow64\\orvprobe.tlb": b"tlb",
                ROOT + "\\start.exe": b"start",
                ROOT + "\\v.dll": b"versioned",
            }
            for windows, content in expected.items():
                self.assertEqual(read(windows), content, windows)
            self.assertFalse(os.path.exists(host_path(ROOT + "\\readme.txt")))

        with self.subTest("stamps as UTC, attributes"):
            self.assertEqual(os.stat(host_path(ROOT + "\\bin\\app.exe")).st_mtime, epoch("2021-03-04 05:06:07"))
            self.assertIn("R", attributes(ROOT + "\\bin\\app.exe"))
            self.assertIn("H", attributes(ROOT + "\\bin\\app.exe"))

        log_path = host_path(ROOT + "\\Uninst\\Install.LOG")
        with open(log_path, "rb") as f:
            log = f.read().decode("latin-1")

        with self.subTest("replacement rules"):
            lines = [
                ROOT + "\\r1.dll needs replacement because its version (2.0.0) is newer than 2.0 and its date "
                       "(2023/7/04 9:05:01) is newer than 2023/7/04 9:05:00\r\n",
                ROOT + "\\r2.dll was not installed because its version (1.5a) is not newer than 1.5b\r\n",
                ROOT + "\\r3.dll was not installed because its version (1.2.3) is not newer than 1.2.3\r\n",
                ROOT + "\\r4.dll needs replacement because its date (2023/7/04 9:05:01) is newer than "
                       "2023/7/04 9:05:00\r\n",
                SHARED + "\\r5.dat is out of date and will be replaced.\r\n",
                ROOT + "\\r8.dat was not installed because it already exists.\r\n",
                ROOT + "\\r9.dat was not installed because it does not already exist.\r\n",
            ]
            for line in lines:
                self.assertIn("\r\n" + line, log)
            for quiet in ("r6.dat", "r7.dat", "r10.dat"):
                self.assertNotIn(quiet + " ", log)
            results = {"r1.dll": dll("2_0_0"), "r2.dll": dll("1_5b"), "r3.dll": dll("1_2_3"), "r4.dll": b"new r4",
                       "r6.dat": b"new r6", "r7.dat": b"new r7", "r8.dat": b"old r8", "r10.dat": b"old r10"}
            for name, content in results.items():
                self.assertEqual(read(ROOT + "\\" + name), content, name)
            self.assertEqual(read(SHARED + "\\r5.dat"), b"new r5")
            self.assertFalse(os.path.exists(host_path(ROOT + "\\r9.dat")))

        with self.subTest("a locked shared file is replaced at restart"):
            renames = pending_renames()
            target = SHARED + "\\locked_shared.dat"
            destinations = [d.lstrip("!\\?").lower() for d in renames[1::2]]
            self.assertIn(target.lower(), destinations)
            source = renames[2 * destinations.index(target.lower())].lstrip("\\?")
            self.assertTrue(source.rsplit("\\", 1)[-1].upper().startswith("TLT"), source)
            parked = glob.glob(os.path.join(host_path(SHARED), "TLT*.tmp"))
            self.assertEqual(len(parked), 1, parked)
            with open(parked[0], "rb") as f:
                self.assertEqual(f.read(), b"new shared bytes")
            self.assertEqual(read(target), b"old shared")
            self.assertIn(f"\"{target}\" was successfully registered for replacement.\r\nTemporary file is \"", log)
            self.assertIn("\"\r\nReboot will be required.\r\n", log)

        with self.subTest("a locked kind 0 file fails and is summarised"):
            self.assertEqual(read(ROOT + "\\locked_app.dat"), b"old app")
            summary = log.split("\r\n*** FAILURE SUMMARY ***\r\n", 1)
            self.assertEqual(len(summary), 2, log)
            self.assertIn(ROOT + "\\locked_app.dat", summary[1])
            self.assertNotIn("locked_shared", summary[1])
            # After a failure the launch-on-exit command is only logged.
            self.assertIn("\r\nLaunch on exit: " + LAUNCH_ON_EXIT + "\r\n", log)
            self.assertFalse(os.path.exists(host_path(ROOT + "\\ran.flag")))

        with self.subTest("a stale pending rename onto a written file is pruned"):
            renames = pending_renames()
            self.assertNotIn("\\??\\" + ROOT + "\\stale.tmp", renames)
            self.assertIn("\\??\\C:\\keep.tmp", renames)
            self.assertIn("was removed from the list of pending moves.\r\n", log)
            self.assertIn(f"File \"{ROOT}\\r7.dat\" was removed".lower(), log.lower())
            self.assertFalse(os.path.exists(host_path(ROOT + "\\stale.tmp")))

        with self.subTest("the pre-installation batch"):
            self.assertIn("\r\nRunning Pre-Installation Batch...\r\nhello Install Probe\r\nappended\r\nsecond\r\n", log)
            for leftover in ("SETUPBAT.BAT", "ov_batch.log"):
                self.assertFalse(os.path.exists(host_path(ROOT + "\\" + leftover)), leftover)

        with self.subTest("the log's header"):
            head = log.split("\r\n\r\n", 1)[0].split("\r\n")
            self.assertEqual(head[0], "Installation log for: Install Probe")
            self.assertRegex(head[1], r"^Install date: \d{1,2}-\w{3}-\d{2,4} \d{1,2}:\d{2}:\d{2}[ap]$")
            self.assertEqual(head[2:6], ["Install type: New", f"Install location: {ROOT}",
                                         "Installer version: 27.0.5", "Product version: 3.1"])
            self.assertTrue(head[6].startswith("Operating system: Windows "), head[6])

        with self.subTest("a second run appends its block"):
            folder = os.path.join(self.scratch, "again")
            os.makedirs(folder)
            again = build_installer(folder, AGAIN_PROJECT, {"files/again.txt": b"again"})
            self.assertEqual(self.start(again, "/a").wait(), 1)
            with open(log_path, "rb") as f:
                appended = f.read().decode("latin-1")
            self.assertTrue(appended.startswith(log), "the first block was changed")
            self.assertTrue(appended[len(log):].startswith(
                "\r\n\r\n" + "*" * 46 + "\r\nInstallation log for: Install Probe\r\n"), appended[len(log):])
            # An upgrade installs over an earlier installation: a reinstallation to the log.
            self.assertIn("\r\nInstall type: Reinstall\r\n", appended[len(log):])
            # (the pending renames left by the first run add one empty line)
            self.assertRegex(appended[len(log):], r"again\.txt >>> C:\\Probe\\again\.txt\r\n(\r\n)+"
                                                  r"Installation Complete\r\n$")


if __name__ == "__main__":
    unittest.main()
