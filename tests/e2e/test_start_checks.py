"""The checks before an installation (excluded systems, processor width),
a damaged file record found during extraction, and a quiet successful run
that keeps no "Install.LOG"."""
import os
import struct
import unittest

from harness import WineTestCase, answer_message_box, build_installer
from prefix import host_path

FILES = {"files/first.dat": b"DAMAGE-ME!" * 40, "files/second.dat": b"second"}


def project(name, folder, extra=""):
    return f"""
[product]
name = "{name}"
version = "1.0"
publisher = "Orvanta Tests"
install-dir = '{folder}'
{extra}

[[files]]
source = "files/first.dat"

[[files]]
source = "files/second.dat"
"""


def damage_first_file_record(installer):
    """Changes one data byte of the first file and one byte of its stored
    checksum so that the archive's checksum still holds: only the file's own
    checksum can tell (the archive must be stored, not packed)."""
    with open(installer, "rb") as f:
        image = bytearray(f.read())
    name_at = image.rindex(b"first.dat\0")
    archive_start = name_at - 4 - 8  # the record's length, before it the chunk's size and checksum
    data_at = image.rindex(FILES["files/first.dat"])
    field_at = data_at + len(FILES["files/first.dat"])
    q = next(q for q in range(field_at, field_at + 4) if image[q] != 0)
    p = next(p for p in range(data_at, field_at) if (p - archive_start) % 4 == (q - archive_start) % 4)
    image[p] += 1
    image[q] -= 1
    with open(installer, "wb") as f:
        f.write(image)


class StartChecks(WineTestCase):
    def test_excluded_system_is_refused_by_name(self):
        installer = build_installer(self.scratch, project("Excluded Probe", "C:\\Excluded",
                                                          "excluded-systems = 4294967295"), FILES)
        program = self.start(installer, "")
        box = answer_message_box(title="Excluded Probe Setup", pid=program.pid)
        self.assertRegex(box.message, r"^Excluded Probe cannot be installed on Windows \S.*\.$")
        self.assertEqual(program.wait(), 1)
        self.assertFalse(os.path.exists(host_path("C:\\Excluded")))

    def test_product_for_32_bit_systems_only_is_refused_on_64_bit_windows(self):
        text = project("Bitness Probe", "C:\\Bitness", 'bitness = "32-bit-only"')
        installer = build_installer(self.scratch, text, FILES)
        program = self.start(installer, "")
        box = answer_message_box(title="Bitness Probe Setup", pid=program.pid)
        self.assertEqual(box.message, "Bitness Probe can only be installed on a 32-bit version of Windows.")
        self.assertEqual(program.wait(), 1)
        self.assertFalse(os.path.exists(host_path("C:\\Bitness")))


class Extraction(WineTestCase):
    def test_damaged_file_record_stops_with_code_100(self):
        text = project("Damage Probe", "C:\\Damage", "\n[options]\ncompress = false\nverify-checksums = false")
        installer = build_installer(self.scratch, text, FILES)
        damage_first_file_record(installer)
        program = self.start(installer, "/a")
        box = answer_message_box(title="Error", pid=program.pid)
        self.assertTrue(box.message.endswith("\r\n\r\nError code: 100"), box.message)
        self.assertEqual(program.wait(), 1)
        self.assertFalse(os.path.exists(host_path("C:\\Damage\\first.dat")))

    def test_successful_run_without_log_option_keeps_no_log(self):
        text = project("Quiet Probe", "C:\\Quiet", "\n[options]\nwrite-install-log = false")
        installer = build_installer(self.scratch, text, FILES)
        self.assertEqual(self.start(installer, "/a").wait(), 1)
        with open(host_path("C:\\Quiet\\first.dat"), "rb") as f:
            self.assertEqual(f.read(), FILES["files/first.dat"])
        self.assertFalse(os.path.exists(host_path("C:\\Quiet\\Install.LOG")))


if __name__ == "__main__":
    unittest.main()
