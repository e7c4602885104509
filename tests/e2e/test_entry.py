"""The runtime's start: fatal messages of a runtime without a payload and of
bad command lines, read from the message box as a person would."""
import os
import unittest

from harness import WineTestCase, answer_message_box, windows_path

NO_INSTALLATION_DATA = (
    "This program performs installations and uninstallations.\r\n"
    "There is no installation data present.\r\n"
    "No uninstallation parameters were specified.\r\n\r\n"
    "You should not delete this program or execute it directly.")


class BareRuntime(WineTestCase):
    def run_to_box(self, tail, argv0=None):
        runtime = self.copy_runtime()
        program = self.start(runtime, tail, argv0)
        box = answer_message_box(title="Error", pid=program.pid)
        return box, program.wait()

    def test_without_payload_says_there_is_no_installation_data(self):
        # Also: automatic mode still shows fatal messages, and a command line
        # that names the program without ".exe" still opens it (".EXE" is
        # appended), so the run gets as far as looking for its payload.
        runtime = self.copy_runtime()
        argv0 = '"' + windows_path(os.path.splitext(runtime)[0]) + '"'
        program = self.start(runtime, '/a /d:"C:\\a b"', argv0)
        box = answer_message_box(title="Error", pid=program.pid)
        self.assertEqual(box.caption, "Error")
        self.assertEqual(box.message, NO_INSTALLATION_DATA)
        self.assertEqual(program.wait(), 1)

    def test_usage_errors(self):
        cases = [
            ("/x", "Illegal command line atom:\nx"),
            ("install", "Unexpected command line parameter:\ninstall"),
            ("/u", "Product name required"),
        ]
        for tail, reason in cases:
            with self.subTest(tail=tail):
                box, code = self.run_to_box(tail)
                self.assertEqual(box.caption, "Error")
                self.assertTrue(box.message.startswith(reason + "\r\n\r\nUsage:\r\norvanta-setup.exe [/a] [/b1:"),
                                box.message)
                self.assertIn("/u:\"name\"\tUninstall product by name.", box.message)
                self.assertEqual(code, 1)


if __name__ == "__main__":
    unittest.main()
