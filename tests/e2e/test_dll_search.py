"""Installers run from download folders: a DLL planted beside the runtime
must never be loaded by it."""
import os
import shutil
import unittest

from harness import CROSS_BIN, WineTestCase, answer_message_box

# System DLLs that a program loads on demand. Not among them: imm32, uxtheme,
# version and msimg32, dependencies of the system libraries the runtime
# imports (msimg32 is loaded on demand later on, by its system path).
# Windows takes those from the system folder (they hang off the known DLLs);
# Wine, told to prefer files, resolves them through the search order at
# process start, before any code of the program runs, so no program could
# keep them out under Wine.
PLANTED_NAMES = ["dwmapi.dll", "cryptbase.dll", "wininet.dll", "dbghelp.dll", "srclient.dll",
                 "setupapi.dll"]


def prefer_files(names):
    """Wine prefers its built-in copy of a system DLL over any file of that
    name; Windows takes the first file its search order finds. Asking Wine to
    prefer files for these names gives Windows' behaviour, so a planted file
    is loaded whenever the search order reaches it."""
    return {"WINEDLLOVERRIDES": "mscoree,mshtml=;" + ",".join(n[:-4] for n in names) + "=n,b"}


class PlantedDll(WineTestCase):
    def plant(self, names):
        for name in names:
            shutil.copyfile(os.path.join(CROSS_BIN, "planted.dll"), os.path.join(self.scratch, name))

    def loaded(self):
        return sorted(f[: -len(".loaded")] for f in os.listdir(self.scratch) if f.endswith(".loaded"))

    def test_a_careless_program_would_load_the_planted_dll(self):
        # Shows that a DLL in the program's folder is picked up under these
        # settings, so the runtime's test below means something.
        self.plant(["version.dll"])
        probe = os.path.join(self.scratch, "probe.exe")
        shutil.copyfile(os.path.join(CROSS_BIN, "load_library_probe.exe"), probe)
        self.assertEqual(self.start(probe, "version.dll", env=prefer_files(["version.dll"])).wait(), 0)
        self.assertEqual(self.loaded(), ["version.dll"])

    def test_runtime_loads_no_dll_from_its_folder(self):
        self.plant(PLANTED_NAMES)
        runtime = self.copy_runtime()
        program = self.start(runtime, "", env=prefer_files(PLANTED_NAMES))
        answer_message_box(title="Error", pid=program.pid)
        self.assertEqual(program.wait(), 1)
        self.assertEqual(self.loaded(), [])


if __name__ == "__main__":
    unittest.main()
