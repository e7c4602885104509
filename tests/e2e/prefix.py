"""The test run's Wine prefix seen from outside: its C: drive as Linux paths,
its registry through the 64-bit reg.exe, attributes through the 64-bit
cmd.exe (both start at once, unlike 32-bit programs under the emulator)."""
import os
import subprocess

from harness import WINE_RUN

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
