#!/usr/bin/env python3
"""Progress benchmark: what the progress dialog costs the extraction.

The authoring tool builds two installers of the `small` corpus (2,000 small
files, see install_bench.py) that differ in one option: A with
`progress-dialog` on, B with it off. Both take automatic mode from their
settings (`automatic = "always"`), not from /a, so they ask nothing yet show
their windows, on the X display of the Wine session. A and B alternate over
the rounds (A first in odd rounds, B first in even ones), each run into a
fresh folder C:\\bench-progress\\<A or B>\\<round>.

The figure is the file-system span of each run: from the creation of the
installation folder to the last change of a file below it, free of the
start-up of the 32-bit program, which under an emulator may take a minute.
The medians of A and B and their ratio are printed beside the target
(A/B at most 1.05).

    bench/progress_bench.py [--build DIR] [--cross-bin DIR] [--rounds N]

This is a benchmark, never a test: it prints figures and checks only that
every installed tree equals the corpus (exit code 1 when one differs).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import install_bench as bench  # noqa: E402  (the corpus, the Wine session and the spans)

CORPUS = "small"
TARGET_RATIO = 1.05
# name: progress-dialog option
INSTALLERS = {"A": True, "B": False}
# Besides the product's files the installation folder holds what the
# runtime leaves for the uninstaller.
RUNTIME_FILES = {"Uninstall.exe", "Install.LOG", "Uninstall.DAT"}


def build_installer(pack, runtime, scratch, name, progress_dialog):
    """Builds installer `name` of the corpus below scratch/CORPUS; (path, seconds)."""
    folder = os.path.join(scratch, CORPUS)
    project = os.path.join(folder, f"progress-{name}.toml")
    with open(project, "w") as f:
        f.write("[product]\nname = 'Bench progress'\ninstall-dir = 'Bench\\progress'\n"
                "automatic = \"always\"\n"
                f"[options]\nprogress-dialog = {'true' if progress_dialog else 'false'}\n"
                "[[files]]\nsource = 'files/**'\n")
    return bench.pack_project(pack, runtime, project, os.path.join(folder, f"setup-progress-{name}.exe"))


def first_file_delay(folder):
    """Seconds from the making of `folder` to the first file written below it:
    the part of the span before the extraction's first file (the checks, and
    whatever the progress display sets up), or None."""
    made = bench.birth_time(folder)
    changes = [os.stat(os.path.join(root, name)).st_ctime_ns / 1e9
               for root, _, files in os.walk(folder) for name in files
               if os.path.relpath(os.path.join(root, name), folder).replace(os.sep, "/") not in RUNTIME_FILES]
    return min(changes) - made if made is not None and changes else None


def ratio_text(a, b):
    return f"{a / b:.3f}" if a is not None and b else "n/a"


def span_text(span):
    return f"{span:.2f}" if span is not None else "n/a"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="/work/main/build", help="native build folder (default %(default)s)")
    parser.add_argument("--cross-bin", help="folder of orvanta-setup.exe (default BUILD/cross/bin)")
    parser.add_argument("--scratch", help="corpus, installers and the Wine prefix (default BUILD/bench-progress)")
    parser.add_argument("--rounds", type=int, default=3, help="runs of each installer (default %(default)s)")
    args = parser.parse_args()
    if args.rounds < 1:
        sys.exit("--rounds must be at least 1")

    build = os.path.abspath(args.build)
    cross_bin = os.path.abspath(args.cross_bin or os.path.join(build, "cross", "bin"))
    scratch = os.path.abspath(args.scratch or os.path.join(build, "bench-progress"))
    pack = os.path.join(build, "bin", "orvanta-pack")
    launcher = os.path.join(build, "tools64", "launch.exe")
    runtime = os.path.join(cross_bin, "orvanta-setup.exe")
    for path in (pack, launcher, runtime):
        if not os.path.isfile(path):
            sys.exit(f"missing {path}: build orvanta-pack, test_tools64 and the cross build first")
    os.makedirs(scratch, exist_ok=True)

    print("== corpus and installers")
    corpus = bench.make_corpus(scratch, CORPUS)
    digest = bench.tree_digest(corpus)
    size = sum(s for s, _ in digest.values())
    installers = {}
    for name, progress_dialog in INSTALLERS.items():
        installers[name], seconds = build_installer(pack, runtime, scratch, name, progress_dialog)
        print(f"  {name}: progress-dialog {'on' if progress_dialog else 'off'}, {len(digest)} files, "
              f"{bench.mb(size)} -> {bench.mb(os.path.getsize(installers[name]))} installer, "
              f"packed in {seconds:.1f} s")

    spans = {name: [] for name in INSTALLERS}
    ok = True
    with bench.WineSession(os.path.join(scratch, "wine")) as session:
        def install(name, round_number):
            """One run, checked and then removed; its span, or None."""
            nonlocal ok
            target = f"C:\\bench-progress\\{name}\\{round_number}"
            installed_at = os.path.join(session.drive_c, "bench-progress", name, str(round_number))
            try:
                run = session.launch(launcher, installers[name], f'/d:"{target}"')
            except subprocess.TimeoutExpired:
                print(f"  round {round_number} {name}: no end after {bench.RUN_TIMEOUT} s (a window waiting?)")
                ok = False
                return None
            made = os.path.isdir(installed_at)
            span = bench.write_span(installed_at, RUNTIME_FILES) if made else None
            first = first_file_delay(installed_at) if made else None
            # Every installation ends with exit code 1, a failed one too: the
            # files and the log tell.
            print(f"  round {round_number} {name}: wall {run.wall:.1f} s, span {span_text(span)} s "
                  f"(first file after {span_text(first)} s), peak working set {bench.mb(run.peak)} "
                  f"(exit {run.code})")
            if not bench.verify(f"round {round_number} {name} installed", digest, installed_at, RUNTIME_FILES):
                ok = False
            log = os.path.join(installed_at, "Install.LOG")
            if not os.path.exists(log):
                print("    no Install.LOG: the run did not reach its end")
                ok = False
            elif b"*** FAILURE SUMMARY ***" in open(log, "rb").read():
                print("    Install.LOG has a failure summary")
                ok = False
            # The next run of the same product would find this installation
            # (its uninstall entry names the folder) and install over it
            # instead of into its own folder: the folder goes.
            shutil.rmtree(installed_at, ignore_errors=True)
            return span

        print(f"== runs: {args.rounds} round(s) of A and B (each 32-bit start may take a minute)")
        for round_number in range(1, args.rounds + 1):
            order = ("A", "B") if round_number % 2 else ("B", "A")
            for name in order:
                spans[name].append(install(name, round_number))

    print("== file-system spans: from the installation folder's creation to the last file written")
    print(f"{'round':>6} {'A (dialog on) s':>16} {'B (dialog off) s':>17} {'A/B':>6}")
    for i in range(args.rounds):
        a, b = spans["A"][i], spans["B"][i]
        print(f"{i + 1:>6} {span_text(a):>16} {span_text(b):>17} {ratio_text(a, b):>6}")
    medians = {}
    for name in INSTALLERS:
        measured = [s for s in spans[name] if s is not None]
        medians[name] = statistics.median(measured) if measured else None
    a, b = medians["A"], medians["B"]
    print(f"{'median':>6} {span_text(a):>16} {span_text(b):>17} {ratio_text(a, b):>6}")
    if a is not None and b:
        verdict = "within" if a / b <= TARGET_RATIO else "above"
        print(f"A/B {a / b:.3f}: {verdict} the target of at most {TARGET_RATIO:.2f} "
              f"({len(digest)} files, {size} bytes per run)")
    else:
        print(f"A/B n/a (target: at most {TARGET_RATIO:.2f})")
    print("== verification: " + ("every installed tree equals the corpus" if ok else "FAILED (see above)"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
