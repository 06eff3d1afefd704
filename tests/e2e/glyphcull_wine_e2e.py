#!/usr/bin/env python3
"""End-to-end tests of glyphcull.exe under Wine.

Runs without a terminal have no console, so the font names go to standard
error. Runs in a console start console_probe.exe in a tmux pane: Wine gives it
a console, which glyphcull.exe shares, and the probe reports the screen buffer
cell by cell, the cursor, the console's modes and the exit status; tmux shows
the same screen as the terminal draws it.

Usage: glyphcull_wine_e2e.py GLYPHCULL_EXE CONSOLE_PROBE_EXE NATIVE_GLYPHCULL
                             PROJECT_ROOT [TEST...]
NATIVE_GLYPHCULL may be "-" when there is no native build to compare with.
"""

import os
import pathlib
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from glyphcull_e2e import (E2eTest, font, message, pfa,  # noqa: E402
                           run_suite, simple_font, simple_pfa)

TOOL = ""
PROBE = ""
NATIVE = ""
ROOT = pathlib.Path(".")
WINE = shutil.which("wine") or shutil.which("wine64") or "wine"
ENVIRONMENT = dict(os.environ, WINEDEBUG="-all")

BANNER = b"PS font extracting utility v1.1 by Quilvane"
USAGE = b"Usage: glyphcull <srcps> [<destdir>]"


def windows_path(path):
    """The path as a Windows program under Wine names it."""
    return "Z:" + str(path).replace("/", "\\")


def run_wine(args, cwd, timeout=120):
    """A Windows program under Wine, without a console. Its output is caught
    in files: Wine's helper processes hold on to pipes for seconds."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        done = subprocess.run([WINE] + list(args), cwd=cwd, env=ENVIRONMENT,
                              stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=timeout)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(done.args, done.returncode,
                                           out.read(), err.read())


def run(args, cwd, timeout=120):
    """glyphcull.exe without a console."""
    return run_wine([TOOL] + list(args), cwd, timeout)


class Report:
    """What console_probe.exe saw of one run in a console."""

    def __init__(self, path, drawn):
        self.values, self.rows, self.attributes = {}, [], []
        for line in path.read_text().splitlines():
            key, _, value = line.partition(" ")
            if key == "row":
                self.rows.append(bytes.fromhex(value))
            elif key == "attributes":
                self.attributes.append(bytes.fromhex(value))
            else:
                self.values[key] = value
        stdout = pathlib.Path(str(path) + ".stdout")
        self.stdout = stdout.read_bytes() if stdout.exists() else b""
        self.drawn = drawn  # the pane as tmux shows it, with colours

    @property
    def status(self):
        return int(self.values["status"])

    @property
    def cursor(self):
        column, row = self.values["cursor"].split()
        return int(row), int(column)

    def mode(self, name):
        return int(self.values[name], 16)

    def text(self, row):
        return self.rows[row].rstrip(b" ")


class Pane:
    """A tmux pane of a given size in which the probe runs, on a server of its
    own so that nothing else on the machine is touched."""

    count = 0

    def __init__(self, columns, rows):
        self.columns, self.rows = columns, rows
        Pane.count += 1
        self.socket = f"glyphcull-e2e-{os.getpid()}-{Pane.count}"

    def run(self, cwd, probe_args, timeout=120):
        report = cwd / "report.txt"
        done = cwd / "probe.done"
        command = " ".join(shlex.quote(a) for a in [WINE, PROBE] + probe_args)
        command = command.replace("@REPORT@", shlex.quote(str(report)))
        script = (f"cd {shlex.quote(str(cwd))} && export WINEDEBUG=-all && "
                  f"{command}; touch {shlex.quote(str(done))}; sleep 600")
        subprocess.run(["tmux", "-L", self.socket, "new-session", "-d", "-x",
                        str(self.columns), "-y", str(self.rows), script],
                       check=True)
        try:
            deadline = time.monotonic() + timeout
            while not done.exists():
                if time.monotonic() > deadline:
                    raise AssertionError("the probe did not end")
                time.sleep(0.1)
            drawn = subprocess.run(
                ["tmux", "-L", self.socket, "capture-pane", "-p", "-e"],
                capture_output=True, check=True).stdout
        finally:
            subprocess.run(["tmux", "-L", self.socket, "kill-server"],
                           capture_output=True)
        done.unlink()
        return Report(report, drawn)


def in_console(cwd, mode, *tool_args, columns=60, rows=12, attribute=None,
               data=None):
    """Runs glyphcull.exe with `tool_args` through the probe in a console of
    `columns` x `rows`; mode "pipe" feeds it the file `data` on a pipe."""
    probe_args = []
    if attribute is not None:
        probe_args += ["attribute", "%02x" % attribute]
    probe_args += [mode, "@REPORT@"]
    if data is not None:
        probe_args.append(windows_path(data))
    probe_args += [windows_path(TOOL)] + list(tool_args)
    return Pane(columns, rows).run(cwd, probe_args)


def probe_without_console(cwd, command_line):
    """Runs glyphcull.exe through the probe, without a console, with exactly
    `command_line` after the program's name."""
    report = cwd / "report.txt"
    probe = run_wine([PROBE, "run", str(report), windows_path(TOOL),
                      "hex:" + command_line.hex()], cwd)
    result = Report(report, b"")
    result.stderr = probe.stderr
    return result


def lines_for(names):
    """What the console stream writes for these names without a console."""
    return b"".join(name + b"\r\n" for name in names)


# Input mode bits that the run switches off: line input, echo, processed
# input; output mode bits: processed output, wrap at the end of a line.
INPUT_OFF = 0x0007
OUTPUT_OFF = 0x0003


class WineTest(E2eTest):
    """A test in a temporary folder of its own."""


class WineOutputTest(WineTest):
    def test_worked_example_byte_for_byte(self):
        self.write("a.ps", font(b"/FontType 1 def", b"/FontName /SerifText def",
                                b"end").replace(b"dict begin", b"11 dict begin"))
        result = run(["a.ps"], self.dir)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.stderr, lines_for([b"SerifText"]))
        data = self.fonts()["SerifText.pfa"]
        self.assertEqual(len(data), 102)
        self.assertEqual(data, pfa(b"SerifText", b"11 dict begin",
                                   b"/FontType 1 def",
                                   b"/FontName /SerifText def", b"end"))

    def test_the_same_bytes_as_the_native_build(self):
        if NATIVE == "-":
            self.skipTest("no native build to compare with")
        sources = {
            "sample.ps": (ROOT / "examples" / "sample.ps").read_bytes(),
            "mixed.ps": (simple_font(b"Lf") +
                         simple_font(b"Crlf").replace(b"\n", b"\r\n") +
                         b"\x1a" * 3 + b"%%BeginResource: font\ndict begin\n"
                         b"/FontName /Inner\x1aCtl def\ncleartomark\n" +
                         font(b"/FontName /T0 def", b"/FontType 0 def") +
                         b"\x1a%%BeginResource: font\n" + simple_font(b"Late")),
        }
        for name, data in sources.items():
            with self.subTest(source=name):
                self.write(name, data)
                windows = run([name, "win"], self.dir)
                native = subprocess.run([NATIVE, name, "native"], cwd=self.dir,
                                        stdin=subprocess.DEVNULL,
                                        capture_output=True, start_new_session=True)
                self.assertEqual(windows.returncode, 0, windows.stdout)
                self.assertEqual(native.returncode, 0, native.stdout)
                self.assertEqual(windows.stderr, native.stderr)
                self.assertEqual(self.fonts("win"), self.fonts("native"))
                self.assertTrue(self.fonts("win"))

    def test_arguments_from_the_windows_command_line(self):
        self.write("my file.ps", simple_font(b"A"))
        cases = [  # the command line after the program, and the fonts' folder
            (b"", None),
            (b'""', None),
            (b'  \t"" ', None),
            (b'"my file.ps"', "fonts"),
            (b'"" "my file.ps" out extra', "out"),
            (b'"my file.ps" ""', "fonts"),
            (b'"my file.ps"\t"out dir"', "out dir"),
        ]
        for line, folder in cases:
            with self.subTest(line=line):
                for made in ("fonts", "out", "out dir"):
                    shutil.rmtree(self.dir / made, ignore_errors=True)
                report = probe_without_console(self.dir, line)
                self.assertEqual(report.status, 0, report.stdout)
                if folder is None:
                    self.assertEqual(report.stderr, lines_for([BANNER, USAGE]))
                    self.assertFalse((self.dir / "fonts").exists())
                else:
                    self.assertEqual(report.stderr, lines_for([b"A"]))
                    self.assertEqual(self.fonts(folder),
                                     {"A.pfa": simple_pfa(b"A")})

    def test_a_destination_with_a_trailing_backslash(self):
        self.write("a.ps", simple_font(b"A"))
        (self.dir / "out").mkdir()
        result = run(["a.ps", "out\\"], self.dir)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(self.fonts("out"), {"A.pfa": simple_pfa(b"A")})


class WineFailureTest(WineTest):
    """The failure stop with the codes that Windows gives."""

    def check(self, result, code, location):
        self.assertEqual(result.returncode, code, result.stderr)
        self.assertEqual(result.stdout, message(code, location))

    def test_sources_that_cannot_be_opened(self):
        (self.dir / "folder.ps").mkdir()
        cases = [
            ("missing.ps", 2),
            ("nowhere\\a.ps", 3),
            ("folder.ps", 5),
        ]
        for source, code in cases:
            with self.subTest(source=source):
                shutil.rmtree(self.dir / "fonts", ignore_errors=True)
                result = run([source], self.dir)
                self.check(result, code, b"00001201")
                self.assertTrue((self.dir / "fonts").is_dir())

    def test_font_files_that_cannot_be_created(self):
        self.write("a.ps", simple_font(b"First") + simple_font(b"Second"))
        (self.dir / "fonts").mkdir()
        (self.dir / "fonts" / "Second.pfa").mkdir()
        result = run(["a.ps"], self.dir)
        self.check(result, 5, b"00001301")
        self.assertEqual(result.stderr, lines_for([b"First", b"Second"]))
        self.assertEqual((self.dir / "fonts" / "First.pfa").read_bytes(),
                         simple_pfa(b"First"))

        result = run(["a.ps", "missing\\out"], self.dir)
        self.check(result, 3, b"00001301")

    def test_output_onto_the_open_source_is_a_sharing_violation(self):
        (self.dir / "d").mkdir()
        source = self.write("d/Self.pfa", simple_font(b"Self"))
        before = source.read_bytes()
        for args in (["d\\Self.pfa", "d"], ["d\\Self.pfa", "D\\"],
                     [windows_path(source), windows_path(self.dir / "d")]):
            with self.subTest(args=args):
                result = run(args, self.dir)
                self.check(result, 32, b"00001301")
                self.assertEqual(source.read_bytes(), before)

    def test_names_that_are_not_one_file_name(self):
        names = [b"a/b", b"a\\b", b"C:x", b"..\\..\\up", b"nul\x00x"]
        for name in names:
            with self.subTest(name=name):
                shutil.rmtree(self.dir / "fonts", ignore_errors=True)
                self.write("a.ps", simple_font(b"Ok") + simple_font(name))
                result = run(["a.ps"], self.dir)
                self.check(result, 123, b"00001301")
                self.assertEqual(self.fonts(), {"Ok.pfa": simple_pfa(b"Ok")})
                self.assertEqual(sorted(p.name for p in self.dir.iterdir()),
                                 ["a.ps", "fonts"])

    def test_a_full_disk_keeps_what_reached_the_file(self):
        small = self.dir / "small"
        small.mkdir()
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs",
                           str(small)], capture_output=True).returncode != 0:
            self.skipTest("needs a small file system: mount -t tmpfs")
        try:
            self.write("a.ps", font(b"/FontName /Big def",
                                    *[b"B" * 1000] * 200))
            result = run(["a.ps", windows_path(small)], self.dir)
            self.check(result, 112, b"00001302")
            data = (small / "Big.pfa").read_bytes()
            self.assertTrue(data)
            self.assertTrue(pfa(b"Big", b"dict begin", b"/FontName /Big def",
                                *[b"B" * 1000] * 200).startswith(data))
        finally:
            subprocess.run(["umount", str(small)], capture_output=True)

    def test_a_path_longer_than_the_system_takes(self):
        self.write("a.ps", simple_font(b"N" * 300))
        result = run(["a.ps"], self.dir)
        # The ANSI calls refuse a path beyond MAX_PATH; the code is the
        # system's own (3 under Wine, 206 on some Windows versions).
        self.assertIn(result.returncode, (3, 206))
        self.check(result, result.returncode, b"00001301")
        self.assertEqual(list((self.dir / "fonts").iterdir()), [])


class WineConsoleTest(WineTest):
    """The console stream, seen on the screen buffer and on the terminal."""

    def test_banner_and_usage_in_their_colours(self):
        report = in_console(self.dir, "run")
        self.assertEqual(report.status, 0)
        self.assertEqual(report.text(0), BANNER)
        self.assertEqual(report.text(1), USAGE)
        self.assertEqual(report.attributes[0][:len(BANNER)],
                         b"\x0e" * len(BANNER))
        self.assertEqual(report.attributes[1][:len(USAGE)],
                         b"\x07" * len(USAGE))
        self.assertEqual(report.cursor, (2, 0))
        self.assertEqual(report.values["attribute"], "07")
        self.assertEqual(report.stdout, b"")
        # The terminal draws the banner in bright yellow.
        self.assertIn(b"\x1b[93m" + BANNER, report.drawn)
        self.assertFalse((self.dir / "fonts").exists())

    def test_text_colour_keeps_the_background_and_drops_its_intensity(self):
        report = in_console(self.dir, "run", attribute=0xD1)
        self.assertEqual(report.attributes[0][0], 0x5E)
        self.assertEqual(report.attributes[1][0], 0x57)
        self.assertEqual(report.values["attribute"], "d1")  # never changed

    def test_font_names_in_the_console_colours_one_per_line(self):
        report = in_console(self.dir, "run",
                            windows_path(ROOT / "examples" / "sample.ps"),
                            attribute=0x1F)
        self.assertEqual(report.status, 0)
        names = [b"GlyphSans", b"GlyphDots", b"GlyphComposite"]
        self.assertEqual([report.text(r) for r in range(3)], names)
        for row, name in enumerate(names):
            self.assertEqual(report.attributes[row][:len(name)],
                             b"\x1f" * len(name))
        self.assertEqual(report.cursor, (3, 0))
        self.assertEqual(sorted(self.fonts()), ["GlyphDots.pfa",
                                                "GlyphSans.pfa"])
        self.assertEqual(report.stdout, b"")

    def test_control_bytes_and_a_long_name_wrap(self):
        long_name = bytes(range(65, 91)) * 3  # 78 bytes in 60 columns
        # Windows takes no control byte in a file name: that font is type 0,
        # named on the console only.
        self.write("a.ps", font(b"/FontName /Tab\tBel\aBack\bX def",
                                b"/FontType 0 def") + simple_font(long_name))
        report = in_console(self.dir, "run", "a.ps")
        self.assertEqual(report.status, 0)
        self.assertEqual(report.text(0), b"Tab\tBelBacX")
        self.assertEqual(report.text(1), long_name[:60])
        self.assertEqual(report.text(2), long_name[60:])
        self.assertEqual(report.cursor, (3, 0))

    def test_the_buffer_scrolls_at_the_bottom(self):
        names = [b"Name%d" % n for n in range(1, 10)]
        self.write("a.ps", b"".join(simple_font(n) for n in names))
        report = in_console(self.dir, "run", "a.ps", rows=6)
        self.assertEqual(report.status, 0)
        self.assertEqual([report.text(r) for r in range(6)],
                         names[-5:] + [b""])
        self.assertEqual(report.cursor, (5, 0))
        self.assertEqual(len(self.fonts()), 9)

    def test_the_failure_message_goes_to_standard_output_only(self):
        report = in_console(self.dir, "run", "missing.ps")
        self.assertEqual(report.status, 2)
        self.assertEqual(report.stdout, message(2, b"00001201"))
        self.assertEqual(report.text(0), b"")
        self.assertEqual(report.cursor, (0, 0))


class WineModesTest(WineTest):
    """The console modes: switched off for the run, back at every end."""

    def check_modes(self, report):
        self.assertEqual(report.mode("during_input_mode"),
                         report.mode("before_input_mode") & ~INPUT_OFF)
        self.assertEqual(report.mode("during_output_mode"),
                         report.mode("before_output_mode") & ~OUTPUT_OFF)
        self.assertNotEqual(report.mode("before_input_mode") & INPUT_OFF, 0)
        self.assertEqual(report.mode("after_input_mode"),
                         report.mode("before_input_mode"))
        self.assertEqual(report.mode("after_output_mode"),
                         report.mode("before_output_mode"))

    def test_a_pipe_whose_writer_closes_ends_the_data(self):
        data = self.write("data.ps", simple_font(b"Piped") + b"tail")
        report = in_console(self.dir, "pipe", data=data)
        self.assertEqual(report.status, 0, report.stdout)
        self.check_modes(report)
        self.assertEqual(report.text(0), b"Piped")
        self.assertEqual(self.fonts(), {"Piped.pfa": simple_pfa(b"Piped")})

    def test_console_breaks_end_the_run_with_status_0(self):
        for event in ("break", "close"):
            with self.subTest(event=event):
                report = in_console(self.dir, event)
                self.assertNotIn("event_failed", report.values)
                self.assertNotIn("timed_out", report.values)
                self.assertEqual(report.status, 0)
                self.assertEqual(report.stdout, b"")
                self.check_modes(report)

    def test_modes_restored_after_a_normal_end_and_a_failure_stop(self):
        self.write("a.ps", simple_font(b"A"))
        for args, status in ((["a.ps"], 0), (["missing.ps"], 2)):
            with self.subTest(args=args):
                report = in_console(self.dir, "run", *args)
                self.assertEqual(report.status, status)
                self.assertEqual(report.mode("after_input_mode"),
                                 report.mode("before_input_mode"))
                self.assertEqual(report.mode("after_output_mode"),
                                 report.mode("before_output_mode"))


def warm_up():
    """Lets Wine make its prefix before anything is measured, and keeps one
    Wine server running across the tests, outside the panes, so that closing
    a pane never takes the server with it."""
    server = shutil.which("wineserver") or "/usr/lib/wine/wineserver64"
    subprocess.run([server, "-p30"], env=ENVIRONMENT, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    run_wine(["cmd", "/c", "exit"], ".", timeout=300)


if __name__ == "__main__":
    TOOL, PROBE, NATIVE = (os.path.abspath(a) if a != "-" else a
                           for a in sys.argv[1:4])
    ROOT = pathlib.Path(sys.argv[4])
    tests = sys.argv[5:]
    if not shutil.which(WINE):
        print("SKIPPED: wine is not installed", file=sys.stderr)
        sys.exit(77)
    if any(t.startswith("WineConsole") or t.startswith("WineModes")
           for t in tests) and not shutil.which("tmux"):
        print("SKIPPED: the console tests need tmux", file=sys.stderr)
        sys.exit(77)
    warm_up()
    run_suite(tests)
