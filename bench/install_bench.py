#!/usr/bin/env python3
"""Install benchmark: the runtime's extraction against a plain copy of the
same bytes, both under the same Wine prefix.

For each corpus (deterministic files made here) the authoring tool builds an
installer; the installer runs in automatic mode into C:\\bench\\<corpus>, and
our plain copy program (tests/tools/plain_copy.cpp, 32-bit like the runtime)
copies the corpus through Wine's Z: drive into C:\\bench-copy\\<corpus>. Both
are started through launch.exe --peak-memory, which also reports the peak
working set.

Every start of a 32-bit program may cost about a minute under an emulator,
so the start-up cost is measured in the same run and subtracted: the runtime
on an installer of one tiny file, the copy program on an empty folder. Rates
are bytes / (wall time - start-up wall time). The machine is shared: compare
the ratio, not the absolute rates.

    bench/install_bench.py [--build DIR] [--corpora small,large]

This is a benchmark, never a test: it prints figures and checks only that
the installed and copied trees equal the corpus.
"""
import argparse
import hashlib
import os
import random
import shutil
import subprocess
import sys
import time

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_SESSION = os.path.join(SOURCE_DIR, "scripts", "wine-session.sh")
WINE_RUN = os.path.join(SOURCE_DIR, "scripts", "wine-run.sh")

KB = 1024
MB = 1024 * KB

# name: (file count, smallest size, largest size, seed)
CORPORA = {
    "small": (2000, 1 * KB, 16 * KB, 1),
    "large": (8, 16 * MB, 16 * MB, 2),
}
FILE_TIME = 1_600_000_000  # 2020-09-13: every corpus file gets this time

RUN_TIMEOUT = 3600


# ---------------------------------------------------------------- corpora

def words(rng, count):
    """A vocabulary of pseudo-words: text that packs well but not to nothing."""
    letters = "etaoinshrdlucmfwypvbgkjqxz"
    return ["".join(rng.choice(letters) for _ in range(rng.randint(2, 9))) for _ in range(count)]


def text_bytes(rng, vocabulary, size):
    out = []
    length = 0
    while length < size:
        line = " ".join(rng.choices(vocabulary, k=rng.randint(6, 14))) + "\r\n"
        out.append(line)
        length += len(line)
    return "".join(out).encode("ascii")[:size]


def corpus_files(name):
    """(relative path, bytes) of a corpus, the same on every run: the even
    files are text, the odd ones random bytes."""
    count, smallest, largest, seed = CORPORA[name]
    rng = random.Random(seed)
    vocabulary = words(rng, 600)
    for i in range(count):
        size = rng.randint(smallest, largest)
        text = i % 2 == 0
        data = text_bytes(rng, vocabulary, size) if text else rng.randbytes(size)
        folders = [f"d{rng.randrange(8)}" for _ in range(rng.randint(0, 3))] if count > 100 else []
        yield "/".join(folders + [f"f{i:04d}.{'txt' if text else 'bin'}"]), data


def make_corpus(scratch, name):
    """Writes the corpus below scratch/name/files once; later runs reuse it."""
    folder = os.path.join(scratch, name, "files")
    marker = os.path.join(scratch, name, "files.complete")
    stamp = repr(CORPORA[name])
    if os.path.exists(marker) and open(marker).read() == stamp:
        return folder
    shutil.rmtree(folder, ignore_errors=True)
    for relative, data in corpus_files(name):
        path = os.path.join(folder, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        os.utime(path, (FILE_TIME, FILE_TIME))
    os.makedirs(folder, exist_ok=True)
    with open(marker, "w") as f:
        f.write(stamp)
    return folder


def make_tiny_corpus(scratch):
    folder = os.path.join(scratch, "tiny", "files")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "tiny.txt"), "wb") as f:
        f.write(b"tiny\r\n")
    return folder


def tree_digest(folder, ignore=()):
    """{relative path: (size, blake2b)} of every file below folder."""
    result = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            relative = os.path.relpath(path, folder).replace(os.sep, "/")
            if relative in ignore:
                continue
            h = hashlib.blake2b(digest_size=16)
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(MB), b""):
                    h.update(block)
            result[relative] = (os.path.getsize(path), h.hexdigest())
    return result


# ---------------------------------------------------------------- builds

def build_installer(pack, runtime, scratch, name):
    folder = os.path.join(scratch, name)
    project = os.path.join(folder, "project.toml")
    with open(project, "w") as f:
        f.write(f"[product]\nname = 'Bench {name}'\ninstall-dir = 'Bench\\{name}'\n"
                "[[files]]\nsource = 'files/**'\n")
    return pack_project(pack, runtime, project, os.path.join(folder, f"setup-{name}.exe"))


def pack_project(pack, runtime, project, installer):
    """Builds `installer` from `project`; (installer, seconds it took)."""
    started = time.monotonic()
    result = subprocess.run([pack, "build", project, "-o", installer, "--runtime", runtime],
                            capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"orvanta-pack failed for {project}:\n{result.stdout}{result.stderr}")
    return installer, time.monotonic() - started


# ---------------------------------------------------------------- Wine

def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WineSession:
    def __init__(self, state):
        self.env = {**os.environ, "ORV_WINE_STATE": state, "WINEPREFIX": os.path.join(state, "prefix")}
        self.drive_c = os.path.join(state, "prefix", "drive_c")

    def __enter__(self):
        subprocess.run([WINE_SESSION, "start"], env=self.env, check=True)
        return self

    def __exit__(self, *_):
        subprocess.run([WINE_SESSION, "stop"], env=self.env)

    def launch(self, launcher, program, tail):
        """Runs program with the exact command tail; (wall seconds, exit code, peak working set)."""
        args = [WINE_RUN, launcher, windows_path(program), tail.encode("latin-1").hex(), "--peak-memory"]
        started = time.monotonic()
        result = subprocess.run(args, env=self.env, capture_output=True, timeout=RUN_TIMEOUT)
        wall = time.monotonic() - started
        peak = 0
        for line in result.stdout.decode("latin-1").splitlines():
            key, _, value = line.partition(" ")
            if key == "peak_working_set" and value.strip().isdigit():
                peak = int(value)
        if result.returncode == 255:
            sys.exit(f"launch failed: {result.stderr.decode('latin-1')}")
        return Run(wall, result.returncode, peak, result.stderr.decode("latin-1"))


class Run:
    def __init__(self, wall, code, peak, errors):
        self.wall, self.code, self.peak, self.errors = wall, code, peak, errors


def birth_time(path):
    """The creation time of a file (statx), or None where the file system keeps none."""
    result = subprocess.run(["stat", "--format=%.9W", path], capture_output=True, text=True)
    try:
        value = float(result.stdout.strip())
    except ValueError:
        return None
    return value if value > 0 else None


def write_span(folder, ignore):
    """Seconds from the making of `folder` to the last change of a file below it
    (a file's change time moves when its time is set after writing): the work
    of the run without its start-up, read from the file system's clock."""
    first, last = birth_time(folder), 0.0
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            if os.path.relpath(path, folder).replace(os.sep, "/") in ignore:
                continue
            changed = os.stat(path).st_ctime_ns / 1e9
            last = max(last, changed)
            if first is None or changed < first:
                first = changed
    return last - first if first is not None and last > first else None


# ---------------------------------------------------------------- report

def mb(n):
    return f"{n / MB:.1f} MB"


def rate(size, wall, startup):
    work = wall - startup
    return size / MB / work if work > 0 else None


def show_rate(value):
    return f"{value:.1f}" if value is not None else "n/a"


def verify(name, expected, installed, ignore):
    found = tree_digest(installed, ignore)
    missing = sorted(set(expected) - set(found))
    extra = sorted(set(found) - set(expected))
    wrong = sorted(p for p in set(expected) & set(found) if expected[p] != found[p])
    if missing or extra or wrong:
        print(f"  {name}: MISMATCH: {len(missing)} missing, {len(extra)} extra, {len(wrong)} differ "
              f"(first: {(missing + extra + wrong)[:3]})")
        return False
    total = hashlib.blake2b(repr(sorted(expected.items())).encode(), digest_size=8).hexdigest()
    print(f"  {name}: {len(expected)} files, {sum(s for s, _ in expected.values())} bytes equal (tree hash {total})")
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="/work/main/build", help="native build folder (default %(default)s)")
    parser.add_argument("--cross-bin", help="folder of orvanta-setup.exe and plain_copy.exe (default BUILD/cross/bin)")
    parser.add_argument("--scratch", help="corpora, installers and the Wine prefix (default BUILD/bench-install)")
    parser.add_argument("--corpora", default="small,large", help="comma-separated: small, large")
    parser.add_argument("--no-warm-up", action="store_true", help="skip the unmeasured first 32-bit start")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    cross_bin = os.path.abspath(args.cross_bin or os.path.join(build, "cross", "bin"))
    scratch = os.path.abspath(args.scratch or os.path.join(build, "bench-install"))
    pack = os.path.join(build, "bin", "orvanta-pack")
    launcher = os.path.join(build, "tools64", "launch.exe")
    runtime = os.path.join(cross_bin, "orvanta-setup.exe")
    copier = os.path.join(cross_bin, "plain_copy.exe")
    names = [n for n in args.corpora.split(",") if n]
    for n in names:
        if n not in CORPORA:
            sys.exit(f"unknown corpus {n}; use {', '.join(CORPORA)}")
    for path in (pack, launcher, runtime, copier):
        if not os.path.isfile(path):
            sys.exit(f"missing {path}: build orvanta-pack, test_tools64 and the cross build first")
    os.makedirs(scratch, exist_ok=True)

    print("== corpora and installers")
    corpora = {"tiny": make_tiny_corpus(scratch)}
    for n in names:
        corpora[n] = make_corpus(scratch, n)
    empty = os.path.join(scratch, "empty")
    os.makedirs(empty, exist_ok=True)
    installers = {}
    digests = {n: tree_digest(folder) for n, folder in corpora.items()}
    sizes = {n: sum(s for s, _ in digest.values()) for n, digest in digests.items()}
    for n in ["tiny"] + names:
        installers[n], seconds = build_installer(pack, runtime, scratch, n)
        size = sizes[n]
        print(f"  {n}: {mb(size)} of files -> {mb(os.path.getsize(installers[n]))} installer, packed in {seconds:.1f} s")

    def install(session, n):
        return session.launch(launcher, installers[n], f'/a /d:"C:\\bench\\{n}"')

    def copy(session, n, source):
        return session.launch(launcher, copier, f'"{windows_path(source)}" "C:\\bench-copy\\{n}"')

    with WineSession(os.path.join(scratch, "wine")) as session:
        print("== runs (each 32-bit start may take a minute)")
        def checked_copy(n, source):
            run = copy(session, n, source)
            if run.code != 0:
                sys.exit(f"plain_copy failed for {n} (exit {run.code}): {run.errors}")
            return run

        if not args.no_warm_up:
            print(f"  warm-up start: {checked_copy('warm-up', empty).wall:.1f} s")
        copy_start = checked_copy("empty", empty)
        install_start = install(session, "tiny")
        print(f"  start-up: runtime {install_start.wall:.1f} s (one tiny file), "
              f"copy {copy_start.wall:.1f} s (empty folder)")
        results = {}
        for n in names:
            copied = checked_copy(n, corpora[n])
            installed = install(session, n)
            results[n] = (installed, copied)
            print(f"  {n}: runtime {installed.wall:.1f} s (exit {installed.code}), copy {copied.wall:.1f} s")

        # Besides the product's files the installation folder holds what the
        # runtime leaves for the uninstaller.
        runtime_files = {"Uninstall.exe", "Install.LOG", "Uninstall.DAT"}
        installed_at = {n: os.path.join(session.drive_c, "bench", n) for n in names}
        copied_at = {n: os.path.join(session.drive_c, "bench-copy", n) for n in names}

        header = (f"{'corpus':8} {'bytes':>11} {'runtime MB/s':>13} {'copy MB/s':>10} {'runtime/copy':>13}")
        print("== figures: wall time minus the start-up wall time")
        print(f"{header} {'runtime peak WS':>16} {'copy peak WS':>13}")
        for n in names:
            installed, copied = results[n]
            r_rate = rate(sizes[n], installed.wall, install_start.wall)
            c_rate = rate(sizes[n], copied.wall, copy_start.wall)
            ratio = f"{r_rate / c_rate:.2f}" if r_rate and c_rate else "n/a"
            print(f"{n:8} {sizes[n]:>11} {show_rate(r_rate):>13} {show_rate(c_rate):>10} {ratio:>13} "
                  f"{mb(installed.peak):>16} {mb(copied.peak):>13}")
        print(f"start-up peak working sets: runtime {mb(install_start.peak)}, copy {mb(copy_start.peak)}")

        print("== figures: from the target folder's creation to the last file written (file system times)")
        print(header)
        for n in names:
            r_span = write_span(installed_at[n], runtime_files)
            c_span = write_span(copied_at[n], ())
            r_rate = sizes[n] / MB / r_span if r_span else None
            c_rate = sizes[n] / MB / c_span if c_span else None
            ratio = f"{r_rate / c_rate:.2f}" if r_rate and c_rate else "n/a"
            spans = f"({r_span or 0:.2f} s, {c_span or 0:.2f} s)"
            print(f"{n:8} {sizes[n]:>11} {show_rate(r_rate):>13} {show_rate(c_rate):>10} {ratio:>13} {spans}")

        print("== verification")
        ok = True
        for n in names:
            ok &= verify(f"{n} installed", digests[n], installed_at[n], runtime_files)
            ok &= verify(f"{n} copied", digests[n], copied_at[n], ())
            log = os.path.join(installed_at[n], "Install.LOG")
            if os.path.exists(log) and b"*** FAILURE SUMMARY ***" in open(log, "rb").read():
                print(f"  {n}: Install.LOG has a failure summary")
                ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
