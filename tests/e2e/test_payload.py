"""Installers built by the authoring tool, started under Wine: a whole
payload is read without complaint, damage and a foreign version are named,
and the uninstaller image runs as the plain runtime."""
import os
import unittest

from harness import (RUNTIME, WineTestCase, answer_message_box, build_installer, pack, section_names)
from prefix import host_path

PROJECT = """
[product]
name = "Payload Probe"
version = "1.0"
publisher = "Orvanta Tests"

[[files]]
source = "files/*"
"""

FILES = {"files/readme.txt": b"hello\r\n" * 100, "files/data.bin": bytes(range(256)) * 64}


PAYLOAD_MAGIC = bytes.fromhex("e53df2a4")
TARGET = "C:\\Payload Probe"


def patch(path, old, new):
    """Replaces the last occurrence: the payload lies after the runtime's own bytes."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.rindex(old)
    with open(path, "wb") as f:
        f.write(data[:at] + new + data[at + len(old):])


class BuiltInstaller(WineTestCase):
    def build(self, project=PROJECT):
        return build_installer(self.scratch, project, FILES)

    def test_a_whole_payload_is_read_and_installed_and_the_run_ends_with_code_1(self):
        installer = self.build()
        self.assertIn("Payload Probe", pack("inspect", installer))
        self.assertEqual(self.start(installer, f'/a /d:"{TARGET}"').wait(), 1)
        # Exit code 1 ends every installation, a failed one too: the files tell.
        for name, data in FILES.items():
            with open(host_path(TARGET + "\\" + os.path.basename(name)), "rb") as f:
                self.assertEqual(f.read(), data, name)

    def test_damaged_archive_shows_the_corrupt_installer_message_with_its_code(self):
        # Stored chunks keep the file's bytes as they are, so one can be changed in place.
        installer = self.build(PROJECT + "\n[options]\ncompress = false\n")
        patch(installer, b"hello\r\nhello", b"jello\r\nhello")
        program = self.start(installer, "/a")
        box = answer_message_box(title="Error", pid=program.pid)
        self.assertTrue(box.message.startswith("This installation program is corrupt."), box.message)
        self.assertTrue(box.message.endswith("\r\n\r\nError code: 55"), box.message)
        self.assertEqual(program.wait(), 1)

    def test_payload_of_another_runtime_version(self):
        installer = self.build()
        patch(installer, PAYLOAD_MAGIC + b"27.0.5\0", PAYLOAD_MAGIC + b"27.0.6\0")
        program = self.start(installer, "")
        box = answer_message_box(title="Error", pid=program.pid)
        self.assertEqual(box.message,
                         "The installer version (27.0.5) does not match the version of Orvanta Setup (27.0.6)."
                         "  Close all applications and reinstall Orvanta Setup.")
        self.assertEqual(program.wait(), 1)

    def test_uninstaller_images_run_as_the_plain_runtime(self):
        for layout, project in [("in section", PROJECT), ("archive in file", PROJECT + "\n[build]\narchive-in-file = true\n")]:
            with self.subTest(layout=layout):
                folder = os.path.join(self.scratch, layout.replace(" ", "-"))
                os.makedirs(folder)
                installer = build_installer(folder, project, FILES)
                uninstaller = os.path.join(folder, "uninstall.exe")
                pack("uninstaller", installer, uninstaller)
                with open(uninstaller, "rb") as f:
                    image = f.read()
                with open(installer, "rb") as f:
                    self.assertIn(".setup", section_names(f.read()))
                self.assertNotIn(".setup", section_names(image))
                # Neither the settings nor the archive is carried: the image is the plain runtime's size.
                self.assertEqual(len(image), os.path.getsize(RUNTIME))
                program = self.start(uninstaller, "/u")
                box = answer_message_box(title="Error", pid=program.pid)
                self.assertTrue(box.message.startswith("Product name required\r\n\r\nUsage:\r\nuninstall.exe "),
                                box.message)
                self.assertEqual(program.wait(), 1)


if __name__ == "__main__":
    unittest.main()
