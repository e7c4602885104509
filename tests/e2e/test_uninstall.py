"""The uninstall round trip under Wine: an automatic installation that
registers the product, writes "Uninstall.DAT" and the uninstaller, runs the
finish (batches, the notification request, the launch on exit); then the
uninstaller declining, failing on a locked file and completing through the
quiet command as written in the registry, with the self-removal batch; and a
prefix snapshot that shows nothing left behind. A second installation
restarts the computer in automatic mode.

These tests run in a Wine prefix and X server of their own: the snapshot must
not see the other tests' installations, and the restart ends every program of
the prefix."""
import http.server
import json
import os
import re
import shutil
import struct
import subprocess
import threading
import unittest

_STATE = os.environ["ORV_WINE_STATE"] + "-uninstall"
os.environ.update(ORV_WINE_STATE=_STATE, WINEPREFIX=os.path.join(_STATE, "prefix"),
                  XDG_DATA_HOME=os.path.join(_STATE, "xdg"))

from harness import (RUNTIME, SOURCE_DIR, TOOLS_BIN, WINE_RUN, WineTestCase, answer_message_box,  # noqa: E402
                     build_installer, pe_sections, section_names, wait_until, windows_path)
from prefix import PREFIX, file_tree, host_path, pending_renames, reg, snapshot, windows_change  # noqa: E402

SESSION = os.path.join(SOURCE_DIR, "scripts", "wine-session.sh")
UNINSTALL_KEY = r"HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall"
IDNO = 7

ROOT = "C:\\Round Trip"
DATA = ROOT + "\\Uninst\\Data"
UNINSTALLER = DATA + "\\Uninstall.exe"
KEY = UNINSTALL_KEY + "\\Round Trip"
VERSION = "2.15.3 beta+1"
ENCODED_VERSION = "2.15.3%20beta%2B1"

# Two icon images; the uninstaller gets them as icons 1 and 2 and group 1.
ICON_IMAGES = [b"\x28\0\0\0" + b"first image " * 8, b"\x28\0\0\0" + b"second image" * 12]


def icon_file(images):
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for i, image in enumerate(images):
        entries += struct.pack("<BBBBHHII", 16 * (i + 1), 16 * (i + 1), 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    return head + entries + data


FILES = {
    "files/app.exe": b"MZ round trip\r\n" * 40,
    "files/readme.txt": b"readme\r\n",
    "files/a.txt": b"a\r\n",
    "files/deep.txt": b"deep\r\n",
    "files/product.ico": icon_file(ICON_IMAGES),
}


def project(port, flags_folder):
    flag = windows_path(flags_folder)
    return f"""
[product]
name = "Round Trip"
version = "{VERSION}"
publisher = "Orvanta Tests"
install-dir = '{ROOT}'

[background]
title-size = 14.0
copyright = "(c) Orvanta Tests"
copyright-size = 10.5
copyright-color = "#123456"

[uninstaller]
folder = 'Uninst\\Data'
icon = "files/product.ico"
notify-url = "http://127.0.0.1:{port}/uninstalled?v=%version%"

[finish]
notify-install = "http://127.0.0.1:{port}/installed?v=%VERSION%"

[batches]
post-install = 'echo post %ProductName%>"{flag}\\post.flag"'
install-exit = 'echo exit>"{flag}\\exit.flag"'

[[files]]
source = "files/app.exe"
into = "bin"
attributes = ["read-only"]

[[files]]
source = "files/readme.txt"

[[files]]
source = "files/a.txt"
into = "Docs"

[[files]]
source = "files/deep.txt"
into = 'Docs\\deep\\deeper'

[[uninstall-values]]
name = "HelpLink"
value = "http://help.invalid/%version%"

[[uninstall-values]]
name = "Readme"
type = "expandable"
value = '%InstallDir%\\readme.txt'

[[uninstall-values]]
name = "NoModify"
type = "number"
value = "1"
"""


INSTALLED = [ROOT + "\\bin\\app.exe", ROOT + "\\readme.txt", ROOT + "\\Docs\\a.txt",
             ROOT + "\\Docs\\deep\\deeper\\deep.txt", UNINSTALLER]

UNINSTALLER_STRINGS = [10, 15, 20, 30, 34, 35, 49, 53, 55, 56, 57, 58, 59, 65, 67, 68, 69, 70, 71, 74, 79, 80,
                       99, 100, 101]


class NotificationServer:
    """A loopback HTTP server that records the paths it was asked for."""

    def __init__(self):
        paths = self.paths = []

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                paths.append(self.path)
                self.send_response(200)
                self.send_header("Content-Length", "2")
                self.end_headers()
                self.wfile.write(b"ok")

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def setUpModule():
    subprocess.run([SESSION, "start"], check=True, capture_output=True, timeout=900)


def tearDownModule():
    subprocess.run([SESSION, "stop"], capture_output=True, timeout=300)


def registry_values(key):
    """The values of one key as {name: (type, data)}; None when the key is missing."""
    result = subprocess.run([WINE_RUN, os.path.join(PREFIX, "drive_c", "windows", "system32", "reg.exe"), "query", key],
                            capture_output=True, timeout=300)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.decode("latin-1").splitlines():
        parts = line.rstrip("\r").split("    ")
        if len(parts) >= 3 and parts[0] == "" and parts[2].startswith("REG_"):
            values[parts[1]] = (parts[2], "    ".join(parts[3:]))
    return values


def read_host(windows):
    with open(host_path(windows), "rb") as f:
        return f.read()


# --- the uninstaller's PE file ---------------------------------------------

def pe_resources(data):
    """{(type, number, language): bytes} of a 32-bit PE file's numbered resources."""
    sections, base_rva = pe_sections(data)

    def offset(rva):
        for _, start, size, raw_at in sections:
            if start <= rva < start + size:
                return raw_at + rva - start
        raise ValueError(f"rva {rva:#x} outside every section")

    base = offset(base_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield ident, target

    found = {}
    for kind, kind_dir in entries(0):
        for number, number_dir in entries(kind_dir & 0x7FFFFFFF):
            for language, leaf in entries(number_dir & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                at = offset(rva)
                found[(kind, number, language)] = data[at:at + size]
    return found


class UninstallRoundTrip(WineTestCase):
    maxDiff = None

    def setUp(self):
        super().setUp()
        self.server = NotificationServer()
        self.addCleanup(self.server.close)
        self.flags = os.path.join(self.scratch, "flags")
        os.makedirs(self.flags)

    def flag(self, name):
        path = os.path.join(self.flags, name)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def keep_data_file(self, kind):
        """The text of "Uninstall.DAT", kept in the scratch folder as a fuzzing seed."""
        data = read_host(DATA + "\\Uninstall.DAT")
        with open(os.path.join(self.scratch, f"{kind}-Uninstall.DAT"), "wb") as f:
            f.write(data)
        return data.decode("latin-1")

    def test_1_round_trip(self):
        before = snapshot(self.scratch)
        installer = build_installer(self.scratch, project(self.server.port, self.flags), FILES)
        ran_flag = windows_path(os.path.join(self.flags, "ran.flag"))
        code = self.start(installer, f'/a /r:"C:\\windows\\sysnative\\cmd.exe /c echo ran>{ran_flag}"').wait()
        self.assertEqual(code, 1)
        self.check_installation(installer)

        self.decline_and_unknown_names()

        user_file = ROOT + "\\Docs\\notes\\mine.txt"
        os.makedirs(os.path.dirname(host_path(user_file)))
        with open(host_path(user_file), "wb") as f:
            f.write(b"the user's own")
        self.uninstall_with_a_locked_file()
        self.uninstall_completely(user_file)

        shutil.rmtree(host_path(ROOT))
        after = snapshot(self.scratch)
        for name, old, new in (("files", before[0], after[0]), ("registry", before[1], after[1])):
            added = sorted(e for e in new - old if not windows_change(e))
            removed = sorted(e for e in old - new if not windows_change(e))
            self.assertEqual((added, removed), ([], []), f"{name} changed")

    def check_installation(self, installer):
        for path in INSTALLED:
            self.assertTrue(os.path.exists(host_path(path)), path)

        with self.subTest("the uninstall registration"):
            values = registry_values(KEY)
            self.assertIsNotNone(values, KEY)
            quoted = f'"{UNINSTALLER}"'
            expected = {
                "UninstallString": ("REG_SZ", quoted + ' /u:"Round Trip"'),
                "QuietUninstallString": ("REG_SZ", quoted + ' /a /u:"Round Trip"'),
                "DisplayName": ("REG_SZ", "Round Trip"),
                "InstallSource": ("REG_SZ", windows_path(installer)),
                "DisplayVersion": ("REG_SZ", VERSION),
                "Publisher": ("REG_SZ", "Orvanta Tests"),
                "Bitness": ("REG_DWORD", "0x0"),
                "VersionMajor": ("REG_DWORD", "0x2"),
                "VersionMinor": ("REG_DWORD", "0xf"),
                "UninstallSubdir": ("REG_SZ", "Uninst\\Data"),
                "NotifyURL": ("REG_SZ", f"http://127.0.0.1:{self.server.port}/uninstalled?v=%version%"),
                "TitleSize": ("REG_SZ", "14"),
                "CopyrightSize": ("REG_SZ", "10.5"),
                "CopyrightColor": ("REG_SZ", "123456"),
                "CopyrightText": ("REG_SZ", "(c) Orvanta Tests"),
                "MonoColor": ("REG_DWORD", "0x0"),
                "InstallLocation": ("REG_SZ", ROOT),
                "HelpLink": ("REG_SZ", f"http://help.invalid/{VERSION}"),
                "Readme": ("REG_EXPAND_SZ", ROOT + "\\readme.txt"),
                "NoModify": ("REG_DWORD", "0x1"),
            }
            for name, value in expected.items():
                self.assertEqual(values.get(name), value, name)
            for absent in ("ShortcutMode", "SharedFiles", "ProductFonts", "UninstallBatch1", "BitmapSize"):
                self.assertNotIn(absent, values)
            flags = int(values["ProductFlags"][1])
            self.assertTrue(flags & (1 << 2), flags)
            self.assertGreater(int(values["EstimatedSize"][1], 16), 0)
            self.assertRegex(values["InstallDate"][1], r"^\d{1,2}/\d{1,2}/\d{2} \d{1,2}:\d{2}:\d{2}[ap]$")

        with self.subTest("Uninstall.DAT"):
            text = self.keep_data_file("installed")
            paths, strings = text.split("\r\n\r\n[Strings]\r\n", 1)
            lines = paths.split("\r\n")
            for path in INSTALLED[:4]:
                self.assertIn(path, lines)
            # Each file's own folder; the folders between are removed on the way up.
            folders = [line for line in lines if line.startswith("~")]
            self.assertEqual(folders, ["~" + ROOT + "\\bin", "~" + ROOT + "\\Docs", "~" + ROOT + "\\Docs\\deep\\deeper"])
            numbers = [int(n) for n in re.findall(r"(?m)^~(\d+)\r$", strings)]
            self.assertEqual(numbers, UNINSTALLER_STRINGS + [999])
            self.assertNotIn("\r\n\r\n[", strings, "no further section without content")
            self.assertTrue(strings.endswith("\r\n"))

        with self.subTest("the uninstaller file"):
            image = read_host(UNINSTALLER)
            sections, _ = pe_sections(image)
            self.assertNotIn(".setup", [s[0] for s in sections])
            resources = pe_resources(image)
            for n, data in enumerate(ICON_IMAGES, 1):
                self.assertEqual(resources[(3, n, 1033)], data)
            group = resources[(14, 1, 1033)]
            self.assertEqual(struct.unpack_from("<HHH", group), (0, 1, 2))
            source = FILES["files/product.ico"]
            for i in range(2):
                self.assertEqual(group[6 + 14 * i:6 + 14 * i + 12], source[6 + 16 * i:6 + 16 * i + 12])
                self.assertEqual(struct.unpack_from("<H", group, 6 + 14 * i + 12)[0], i + 1)

        with self.subTest("the finish"):
            self.assertEqual(self.flag("post.flag"), b"post Round Trip\r\n")
            self.assertEqual(self.flag("exit.flag"), b"exit\r\n")
            wait_until(lambda: self.flag("ran.flag") is not None, "timed out waiting for the launch on exit", timeout=60)
            self.assertEqual(self.flag("ran.flag"), b"ran\r\n")
            self.assertEqual(self.server.paths, [f"/installed?v={ENCODED_VERSION}"])
            log = read_host(DATA + "\\Install.LOG").decode("latin-1")
            self.assertIn("Launch on exit: C:\\windows\\sysnative\\cmd.exe /c echo ran>", log)
            self.assertNotIn("FAILURE SUMMARY", log)
            # The shared folder was made for the run and held nothing at its end.
            shared = registry_values(KEY)["SharedPath"][1]
            self.assertFalse(os.path.exists(host_path(shared)), shared)

    def decline_and_unknown_names(self):
        broken = UNINSTALL_KEY + "\\Broken Probe"
        reg("add", broken, "/v", "DisplayName", "/d", "Broken Product", "/f")
        try:
            # One at a time: each start keeps a core busy for a minute.
            answers, codes = [], []
            for program, tail, button in ((host_path(UNINSTALLER), '/u:"Round Trip"', IDNO),
                                          (RUNTIME, '/u:"Nobody Here"', 1), (RUNTIME, '/u:"Broken Probe"', 1)):
                started = self.start(program, tail)
                answers.append(answer_message_box(button, pid=started.pid))
                codes.append(started.wait())
            question, missing, damaged = answers
        finally:
            reg("delete", broken, "/f", check=False)
        self.assertEqual(question.caption, "Round Trip Uninstall")
        self.assertEqual(question.message, "Do you want to remove Round Trip and all of its components from your computer?")
        self.assertEqual((missing.caption, missing.message), ("Error", "No product named 'Nobody Here' is installed."))
        self.assertEqual((damaged.caption, damaged.message),
                         ("Error", "The uninstall information for Broken Product is corrupt.\r\n\r\n"
                                   "The uninstallation cannot be performed."))
        self.assertEqual(codes, [1, 0, 0])
        for path in INSTALLED:
            self.assertTrue(os.path.exists(host_path(path)), path)
        self.assertIsNotNone(registry_values(KEY))

    def uninstall_with_a_locked_file(self):
        locked = ROOT + "\\readme.txt"
        release = os.path.join(self.scratch, "release.flag")
        holder = subprocess.Popen([WINE_RUN, os.path.join(TOOLS_BIN, "hold_file.exe"), locked, windows_path(release)],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(holder.stdout.readline().decode("latin-1").strip(), "holding")
            self.assertEqual(self.start(host_path(UNINSTALLER), '/a /u:"Round Trip"').wait(), 0)
        finally:
            open(release, "wb").close()
            holder.wait(timeout=60)
            holder.stdout.close()
        self.assertIsNotNone(registry_values(KEY), "the registration stays")
        self.assertEqual(read_host(locked), b"readme\r\n")
        for path in (ROOT + "\\bin\\app.exe", ROOT + "\\Docs\\a.txt"):
            self.assertFalse(os.path.exists(host_path(path)), path)
        self.assertFalse(os.path.exists(host_path(ROOT + "\\bin")))
        self.assertTrue(os.path.exists(host_path(UNINSTALLER)), "no self-removal after a failure")
        text = self.keep_data_file("reduced")
        self.assertTrue(text.startswith(locked + "\r\n\r\n\r\n[Strings]\r\n~10\r\n"), text[:200])
        self.assertNotIn("~" + ROOT, text)
        self.assertEqual(self.server.paths, [f"/installed?v={ENCODED_VERSION}"], "no notification after a failure")

    def uninstall_completely(self, user_file):
        command = registry_values(KEY)["QuietUninstallString"][1]
        program, tail = re.fullmatch(r'"([^"]+)" (.*)', command).groups()
        self.assertEqual(self.start(host_path(program), tail).wait(), 0)
        self.assertIsNone(registry_values(KEY), "the registration is removed")
        wait_until(lambda: not os.path.exists(host_path(ROOT + "\\Uninst")),
                   "timed out waiting for the self-removal batch", timeout=300)
        self.assertEqual(read_host(user_file), b"the user's own")
        self.assertEqual(sorted(os.listdir(host_path(ROOT))), ["Docs"])
        self.assertEqual(sorted(os.listdir(host_path(ROOT + "\\Docs"))), ["notes"])
        self.assertEqual(self.server.paths, [f"/installed?v={ENCODED_VERSION}", f"/uninstalled?v={ENCODED_VERSION}"])
        wait_until(lambda: not any("delunins.bat" in e for e in file_tree()),
                   "timed out waiting for the batch deleting itself", timeout=60)

    def test_2_restart_after_installation(self):
        root = "C:\\Restart Probe"
        release = os.path.join(self.flags, "release.flag")
        renames = os.path.join(self.flags, "renames.txt")
        session = r"HKLM\SYSTEM\CurrentControlSet\Control\Session Manager"
        # The post-installation batch runs after the uninstaller was parked
        # and before the restart: it records what is pending and lets go of
        # the old uninstaller, so that the restart can replace it.
        batch = (f'if exist "%InstallDir%\\reboot.dat" echo marker>"{windows_path(self.flags)}\\marker.flag"\n'
                 f'reg query "{session}" /v PendingFileRenameOperations >"{windows_path(renames)}"\n'
                 f'echo done>"{windows_path(release)}"\n')
        text = f"""
[product]
name = "Restart Probe"
version = "7"
install-dir = '{root}'
extra-space = 1023

[uninstaller]
file-name = "Uninstall.exe"

[options]
restart-after-install = true
restart-marker = true

[batches]
post-install = {json.dumps(batch)}

[[uninstall-values]]
name = '\\HKLM\\Software\\Orvanta Tests\\Restart Probe\\Folder'
value = '%InstallDir%'
"""
        installer = build_installer(self.scratch, text)
        old = root + "\\Uninstall.exe"
        os.makedirs(host_path(root))
        with open(host_path(old), "wb") as f:
            f.write(b"the old uninstaller")
        holder = subprocess.Popen([WINE_RUN, os.path.join(TOOLS_BIN, "hold_file.exe"), old, windows_path(release)],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(holder.stdout.readline().decode("latin-1").strip(), "holding")
            code = self.start(installer, "/a").wait()
        finally:
            if not os.path.exists(release):
                open(release, "wb").close()
            holder.wait(timeout=120)
            holder.stdout.close()

        with self.subTest("before the restart"):
            self.assertEqual(self.flag("marker.flag"), b"marker\r\n")
            with open(renames, "rb") as f:
                pending = f.read().decode("latin-1")
            self.assertIn("reboot.dat", pending)
            self.assertIn("Uninstall.exe", pending)

        with self.subTest("after the restart"):
            self.assertFalse(os.path.exists(host_path(root + "\\reboot.dat")))
            image = read_host(old)
            self.assertTrue(image.startswith(b"MZ"), image[:40])
            self.assertNotIn(".setup", section_names(image))
            self.assertEqual([e for e in pending_renames() if "restart probe" in e.lower()], [])
            self.assertEqual([n for n in os.listdir(host_path(root)) if n.upper().startswith("TLT")], [])

        with self.subTest("the registration"):
            values = registry_values(UNINSTALL_KEY + "\\Restart Probe")
            for absent in ("VersionMajor", "VersionMinor"):
                self.assertNotIn(absent, values)
            # No files: the uninstaller and the extra space alone, in whole KB.
            size = os.path.getsize(host_path(old))
            self.assertEqual(values["EstimatedSize"], ("REG_DWORD", hex((size + 1023) // 1024)))
            self.assertEqual(registry_values(r"HKLM\Software\Wow6432Node\Orvanta Tests\Restart Probe"),
                             {"Folder": ("REG_SZ", root)})
        self.assertEqual(code, 1)


if __name__ == "__main__":
    unittest.main()
