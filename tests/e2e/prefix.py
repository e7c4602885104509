"""The test run's Wine prefix seen from outside: its C: drive as Linux paths,
its registry through the 64-bit reg.exe, attributes through the 64-bit
cmd.exe (both start at once, unlike 32-bit programs under the emulator)."""
import os
import re
import subprocess

from harness import WINE_RUN, windows_path

PREFIX = os.environ["WINEPREFIX"]
SYSTEM32 = os.path.join(PREFIX, "drive_c", "windows", "system32")


def host_path(windows_path):
    """The Linux path of a C: path, matching each part without regard to case."""
    assert windows_path[:3].upper() == "C:\\", windows_path
    path = os.path.join(PREFIX, "drive_c")
    for part in [p for p in windows_path[3:].split("\\") if p]:
        names = os.listdir(path) if os.path.isdir(path) else []
        match = next((n for n in names if n.lower() == part.lower()), part)
        path = os.path.join(path, match)
    return path


def run64(program, *args, check=True):
    result = subprocess.run([WINE_RUN, os.path.join(SYSTEM32, program), *args], capture_output=True, timeout=300)
    if check and result.returncode != 0:
        raise AssertionError(f"{program} {args} failed: {result.stdout!r} {result.stderr!r}")
    return result.stdout.decode("latin-1")


def reg(*args, check=True):
    return run64("reg.exe", *args, check=check)


def attributes(windows_path):
    """The attribute letters that attrib prints for one file, e.g. "RH"."""
    line = run64("cmd.exe", "/c", "attrib", windows_path).strip().splitlines()[-1]
    return "".join(c for c in line[: line.upper().find("C:\\")] if c.isalpha())


SESSION_MANAGER = r"HKLM\SYSTEM\CurrentControlSet\Control\Session Manager"


def pending_renames():
    """PendingFileRenameOperations as a list of strings (empty when missing)."""
    out = reg("query", SESSION_MANAGER, "/v", "PendingFileRenameOperations", check=False)
    for line in out.splitlines():
        if "PendingFileRenameOperations" in line and "REG_MULTI_SZ" in line:
            data = line.split("REG_MULTI_SZ", 1)[1].strip()
            return data.split("\\0") if data else []
    return []


def set_pending_renames(entries):
    reg("add", SESSION_MANAGER, "/v", "PendingFileRenameOperations", "/t", "REG_MULTI_SZ",
        "/d", "\\0".join(entries), "/f")


# Prefix snapshots: the files of drive C: and the registry, compared before
# and after a run to show what it left behind.

def file_tree():
    root = os.path.join(PREFIX, "drive_c")
    tree = set()
    for folder, folders, files in os.walk(root):
        relative = os.path.relpath(folder, root)
        for name in folders:
            tree.add(os.path.join(relative, name).lower() + "/")
        for name in files:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            tree.add(f"{os.path.join(relative, name).lower()} {st.st_size} {int(st.st_mtime)}")
    return tree


def registry_export(scratch):
    lines = set()
    for root in ("HKLM", "HKU"):
        target = os.path.join(scratch, f"{root}.reg")
        reg("export", root, windows_path(target), "/y")
        with open(target, "rb") as f:
            text = f.read().decode("utf-16").replace("\\\r\n  ", "")
        key = ""
        for line in text.splitlines():
            if line.startswith("["):
                key = line
                lines.add(key)
            elif line.strip():
                lines.add(key + " " + line)
    return lines


def snapshot(scratch):
    return file_tree(), registry_export(scratch)


# What Windows itself changes while programs run: the display devices the
# graphics driver registers for the session, the console defaults written
# when the first console program starts, and the internet client's settings
# written at its first use.
WINDOWS_CHANGES = [
    re.compile(r"^\[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\"),
    re.compile(r"^\[HKEY_USERS\\S-1-5-21-[\d-]+\\Console\]"),
    re.compile(r"^\[HKEY_USERS\\S-1-5-21-[\d-]+\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\]"),
]


def windows_change(entry):
    return any(p.search(entry) for p in WINDOWS_CHANGES)
