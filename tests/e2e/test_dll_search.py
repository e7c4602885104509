"""Installers run from download folders: a DLL planted beside the runtime
must never be loaded by it."""
import os
import shutil
import unittest

from harness import CROSS_BIN, WineTestCase, answer_message_box

# System DLLs a Windows program may load on demand, directly or through the
# system's own libraries while it shows a window.
PLANTED_NAMES = ["version.dll", "uxtheme.dll", "dwmapi.dll", "msimg32.dll", "imm32.dll",
                 "cryptbase.dll", "wininet.dll", "dbghelp.dll", "srclient.dll", "setupapi.dll"]


# Wine prefers its own built-in copy of a system DLL wherever a file of that
# name lies; Windows takes the first file its search order finds. Asking Wine
# to prefer files ("native") for these names gives Windows' behaviour, so a
# planted file is loaded whenever the search order reaches it.
PREFER_FILES = {"WINEDLLOVERRIDES": "mscoree,mshtml=;" + ",".join(n[:-4] for n in PLANTED_NAMES) + "=n,b"}


class PlantedDll(WineTestCase):
    def plant(self, names):
        for name in names:
            shutil.copyfile(os.path.join(CROSS_BIN, "planted.dll"), os.path.join(self.scratch, name))

    def loaded(self):
        return sorted(f[: -len(".loaded")] for f in os.listdir(self.scratch) if f.endswith(".loaded"))

    def test_a_careless_program_would_load_the_planted_dll(self):
        # Shows that Wine does pick up a DLL from the program's folder, so the
        # runtime's test below means something.
        self.plant(["version.dll"])
        probe = os.path.join(self.scratch, "probe.exe")
        shutil.copyfile(os.path.join(CROSS_BIN, "load_library_probe.exe"), probe)
        self.assertEqual(self.start(probe, "version.dll", env=PREFER_FILES).wait(), 0)
        self.assertEqual(self.loaded(), ["version.dll"])

    def test_runtime_loads_no_dll_from_its_folder(self):
        self.plant(PLANTED_NAMES)
        runtime = self.copy_runtime()
        program = self.start(runtime, "", env=PREFER_FILES)
        answer_message_box(title="Error")
        self.assertEqual(program.wait(), 1)
        self.assertEqual(self.loaded(), [])


if __name__ == "__main__":
    unittest.main()
