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
        box = answer_message_box(title="Error")
        return box, program.wait()

    def test_without_payload_says_there_is_no_installation_data(self):
        box, code = self.run_to_box("")
        self.assertEqual(box.caption, "Error")
        self.assertEqual(box.message, NO_INSTALLATION_DATA)
        self.assertEqual(code, 1)

    def test_automatic_mode_still_shows_the_fatal_message(self):
        box, code = self.run_to_box('/a /d:"C:\\a b"')
        self.assertEqual(box.message, NO_INSTALLATION_DATA)
        self.assertEqual(code, 1)

    def test_command_line_without_extension_opens_the_exe(self):
        # The program's name in its command line lacks ".exe": the runtime
        # appends ".EXE", opens itself and gets as far as looking for a payload.
        runtime = self.copy_runtime()
        box, code = self.run_to_box("", argv0='"' + windows_path(os.path.splitext(runtime)[0]) + '"')
        self.assertEqual(box.message, NO_INSTALLATION_DATA)
        self.assertEqual(code, 1)

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
