#!/usr/bin/env python3
"""End-to-end tests: the built glyphcull on real files, with a pseudo-terminal
as its controlling terminal, so that the console bytes can be read, and with
standard output and standard error captured apart.

Usage: glyphcull_e2e.py PATH_TO_GLYPHCULL PROJECT_ROOT
"""

import dataclasses
import os
import pathlib
import pty
import re
import resource
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import threading
import time
import unittest
import fcntl

TOOL = ""
ROOT = pathlib.Path(".")

BEGIN = b"%%BeginResource: font\n"
END = b"%%EndResource\n"
BANNER = (b"\x1b[93mPS font extracting utility v1.1 by Quilvane\x1b[0m\r\n"
          b"\x1b[37mUsage: glyphcull <srcps> [<destdir>]\x1b[0m\r\n")


def font(name_line, *lines):
    """A font resource holding one font program."""
    body = b"".join(line + b"\n" for line in lines)
    return BEGIN + b"dict begin\n" + name_line + b"\n" + body + b"cleartomark\n" + END


def pfa(name, *lines):
    """The font file that the capture rules give."""
    return (b"%!PS-AdobeFont-1.0: " + name + b"\n" +
            b"".join(line + b"\n" for line in lines) + b"cleartomark\r\n")


def simple_font(name):
    return font(b"/FontName /" + name + b" def")


def simple_pfa(name):
    return pfa(name, b"dict begin", b"/FontName /" + name + b" def")


class Terminal:
    """A pseudo-terminal; what the tool writes to it is collected."""

    def __init__(self):
        self.master, self.slave = pty.openpty()
        self.output = bytearray()
        self._stop = threading.Event()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        while True:
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if not ready:
                if self._stop.is_set():
                    return
                continue
            try:
                data = os.read(self.master, 65536)
            except OSError:
                return
            if not data:
                return
            self.output += data

    def modes(self):
        return termios.tcgetattr(self.slave)

    def type(self, data):
        os.write(self.master, data)

    def hang_up(self):
        """Closes the terminal's window: the master side goes away."""
        self._stop.set()
        self._reader.join()
        os.close(self.master)
        self.master = None

    def close(self):
        self._stop.set()
        self._reader.join()
        if self.master is not None:
            os.close(self.master)
        os.close(self.slave)


@dataclasses.dataclass
class Result:
    status: int
    stdout: bytes
    stderr: bytes
    console: bytes
    modes_after: list = None  # the terminal's modes once the tool has ended


def limits(address_space=None, file_size=None):
    """A preexec step that sets resource limits for the tool."""
    if address_space is not None and os.environ.get("GLYPHCULL_SANITIZED"):
        # AddressSanitizer reserves terabytes of address space at start.
        raise unittest.SkipTest("an address-space limit cannot hold a "
                                "sanitized build")

    def apply():
        if address_space is not None:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))
        if file_size is not None:
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (file_size, file_size))
    return apply


class Tool:
    """One run of glyphcull, started with or without a controlling terminal."""

    def __init__(self, args, cwd, with_terminal=True, env=None, stdin=None,
                 preexec=None):
        self.terminal = Terminal() if with_terminal else None
        slave = self.terminal.slave if self.terminal else None
        # The terminal's modes before the tool could touch them.
        self.modes_before = self.terminal.modes() if self.terminal else None

        def setup():
            if slave is not None:
                fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
            if preexec:
                preexec()

        environment = dict(os.environ, LANG="C.UTF-8")
        environment.pop("LC_ALL", None)
        environment.pop("LC_CTYPE", None)
        environment.update(env or {})
        self.process = subprocess.Popen(
            [TOOL] + list(args), cwd=cwd, env=environment,
            stdin=stdin if stdin is not None else subprocess.DEVNULL,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            start_new_session=True, preexec_fn=setup,
            pass_fds=(slave,) if slave is not None else ())

    def finish(self, timeout=60):
        stdout, stderr = self.process.communicate(timeout=timeout)
        console, modes_after = b"", None
        if self.terminal:
            time.sleep(0.1)
            try:
                modes_after = self.terminal.modes()
            except termios.error:  # the terminal has hung up
                pass
            self.terminal.close()
            console = bytes(self.terminal.output)
        return Result(self.process.returncode, stdout, stderr, console, modes_after)


def as_nobody():
    """A preexec step: the tool runs as the user nobody where the tests run
    as root, who may read and write any file."""
    if os.geteuid() == 0:
        os.setgid(65534)
        os.setuid(65534)


def run(args, cwd, **options):
    return Tool(args, cwd, **options).finish()


def message(code, location):
    return b"Runtime error %3d at %s\r\n" % (code, location)


class E2eTest(unittest.TestCase):
    def setUp(self):
        self.dir = pathlib.Path(tempfile.mkdtemp(prefix="glyphcull-e2e-"))

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def write(self, name, data):
        path = self.dir / name
        path.write_bytes(data)
        return path

    def fonts(self, folder="fonts"):
        path = self.dir / folder
        return {p.name: p.read_bytes() for p in sorted(path.iterdir())}


class StartTest(E2eTest):
    def test_no_arguments_prints_banner_and_usage_in_colour(self):
        for args in ([], [""], ['""']):
            with self.subTest(args=args):
                result = run(args, self.dir)
                self.assertEqual(result.status, 0)
                self.assertEqual(result.console, BANNER)
                self.assertEqual(result.stdout, b"")
                self.assertEqual(result.stderr, b"")
                self.assertEqual(list(self.dir.iterdir()), [])

    def test_argument_rules_on_argv(self):
        self.write("my file.ps", simple_font(b"A"))
        self.write("in.ps", simple_font(b"B"))
        cases = [
            (['""', "in.ps"], "fonts", "B.pfa"),
            (["in.ps", '""'], "fonts", "B.pfa"),
            (["in.ps", ""], "fonts", "B.pfa"),
            (['"in.ps"', '"out dir"'], "out dir", "B.pfa"),
            (["my file.ps", "d", "extra", "more"], "d", "A.pfa"),
        ]
        for args, folder, name in cases:
            with self.subTest(args=args):
                result = run(args, self.dir)
                self.assertEqual(result.status, 0, result.stdout)
                self.assertEqual(list(self.fonts(folder)), [name])
                shutil.rmtree(self.dir / folder)

    def test_the_bundled_sample(self):
        shutil.copy(ROOT / "examples" / "sample.ps", self.dir)
        result = run(["sample.ps"], self.dir)
        self.assertEqual(result.status, 0)
        self.assertEqual(result.console, b"GlyphSans\r\nGlyphDots\r\nGlyphComposite\r\n")
        fonts = self.fonts()
        self.assertEqual(sorted(fonts), ["GlyphDots.pfa", "GlyphSans.pfa"])
        for name, data in fonts.items():
            self.assertTrue(data.startswith(b"%!PS-AdobeFont-1.0: " + name[:-4].encode() + b"\n"))
            self.assertTrue(data.endswith(b"\ncleartomark\r\n"))
            self.assertNotIn(b"\r\n", data[:-2])


class OutputTest(E2eTest):
    def test_worked_example_byte_for_byte(self):
        self.write("in.ps", b"%!PS\n" + BEGIN +
                   b"11 dict begin\r\n/FontType 1 def\r\n/FontName /SerifText def\r\n"
                   b"end\r\ncleartomark\r\n" + END)
        result = run(["in.ps", "out"], self.dir)
        self.assertEqual(result.status, 0)
        data = (self.dir / "out" / "SerifText.pfa").read_bytes()
        self.assertEqual(data, b"%!PS-AdobeFont-1.0: SerifText\n11 dict begin\n"
                         b"/FontType 1 def\n/FontName /SerifText def\nend\ncleartomark\r\n")
        self.assertEqual(len(data), 102)
        self.assertEqual(result.console, b"SerifText\r\n")

    def test_capture_edge_cases(self):
        cases = [
            ("a Type 42 font ends with its resource; the next font is its own",
             BEGIN + b"10 dict begin\n/FontType 42 def\n/FontName /Tt def\n"
             b"/sfnts [<00>] def\nFontName currentdict end definefont pop\n" + END +
             simple_font(b"T1"),
             {"T1.pfa": simple_pfa(b"T1")}, b"Tt\r\nT1\r\n"),
            ("type 0 dropped, its name printed",
             font(b"/FontName /Comp def", b"/FontType 0 def"), {}, b"Comp\r\n"),
            ("subset names lose their prefix",
             font(b"/FontName /ABCDEF+Serif def"),
             {"Serif.pfa": pfa(b"Serif", b"dict begin", b"/FontName /ABCDEF+Serif def")},
             b"Serif\r\n"),
            ("a 0x1A at the start of a line outside a resource ends the scan",
             simple_font(b"A") + b"\x1a\n" + simple_font(b"B"),
             {"A.pfa": simple_pfa(b"A")}, b"A\r\n"),
            ("a truncated file: the unfinished font is not written",
             simple_font(b"A") + BEGIN + b"dict begin\n/FontName /Cut def\n0000",
             {"A.pfa": simple_pfa(b"A")}, b"A\r\nCut\r\n"),
            ("a file of zero bytes", b"", {}, b""),
            ("binary garbage around a font",
             bytes(range(256)) * 4 + b"\n" + simple_font(b"A") + bytes(range(255, -1, -1)),
             {"A.pfa": simple_pfa(b"A")}, b"A\r\n"),
            ("a CR-only file is one line", b"%%BeginResource: font\rdict begin\r"
             b"/FontName /A def\rcleartomark\r%%EndResource\r", {}, b""),
        ]
        for what, source, files, console in cases:
            with self.subTest(what):
                self.write("in.ps", source)
                result = run(["in.ps", "out"], self.dir)
                self.assertEqual(result.status, 0)
                self.assertEqual(self.fonts("out"), files)
                self.assertEqual(result.console, console)
                self.assertEqual(result.stdout, b"")
                shutil.rmtree(self.dir / "out")

    def test_a_long_line_outside_fonts_takes_no_memory(self):
        # 300 MiB without a line end (sparse), then a font; 96 MiB of address
        # space is far less than the line.
        with open(self.dir / "in.ps", "wb") as f:
            f.write(b"%!PS ")
            f.truncate(300 << 20)
            f.seek(0, os.SEEK_END)
            f.write(b"\n" + simple_font(b"A"))
        result = run(["in.ps", "out"], self.dir, preexec=limits(address_space=96 << 20))
        self.assertEqual(result.status, 0, result.stdout)
        self.assertEqual(self.fonts("out"), {"A.pfa": simple_pfa(b"A")})

    def test_a_fifo_or_standard_input_as_source(self):
        source = ROOT / "examples" / "sample.ps"
        with open(source, "rb") as stdin:
            result = run(["/dev/stdin", "out"], self.dir, stdin=stdin)
        self.assertEqual(result.status, 0, result.stdout)
        self.assertEqual(sorted(self.fonts("out")), ["GlyphDots.pfa", "GlyphSans.pfa"])
        writer = subprocess.Popen(["cat", str(source)], stdout=subprocess.PIPE)
        result = run(["/dev/stdin", "piped"], self.dir, stdin=writer.stdout)
        writer.wait()
        self.assertEqual(sorted(self.fonts("piped")), ["GlyphDots.pfa", "GlyphSans.pfa"])


class FailureTest(E2eTest):
    """Every failure shows its code and step on standard output only."""

    def check(self, result, code, location, console=b""):
        self.assertEqual(result.stdout, message(code, location))
        self.assertEqual(result.status, code)
        self.assertEqual(result.stderr, b"")
        self.assertEqual(result.console, console)

    def test_missing_source_after_the_folder_is_made(self):
        result = run(["missing.ps"], self.dir)
        self.check(result, 2, b"00001201")
        self.assertTrue((self.dir / "fonts").is_dir())

    def test_an_unreadable_source(self):
        self.write("in.ps", simple_font(b"A")).chmod(0)
        self.dir.chmod(0o755)

        # Root may read any file: run as a user who may not.
        self.check(run(["in.ps", "out"], self.dir, preexec=as_nobody), 13, b"00001201")

    def test_a_folder_as_source_fails_at_the_first_read(self):
        (self.dir / "adir").mkdir()
        self.check(run(["adir", "out"], self.dir), 21, b"00001202")

    def test_destinations_that_cannot_be_made(self):
        self.write("in.ps", simple_font(b"A") + simple_font(b"B"))
        self.write("afile", b"keep")
        for dest, code in (("missing/sub", 2), ("afile", 20)):
            with self.subTest(dest=dest):
                self.check(run(["in.ps", dest], self.dir), code, b"00001301", b"A\r\n")
                self.assertFalse((self.dir / "missing").exists())
                self.assertEqual((self.dir / "afile").read_bytes(), b"keep")
        self.write("none.ps", b"%!PS\nshowpage\n")
        result = run(["none.ps", "missing/sub"], self.dir)
        self.assertEqual((result.status, result.stdout), (0, b""))

    def test_a_full_disk(self):
        self.write("in.ps", simple_font(b"A") + simple_font(b"Full") + simple_font(b"C"))
        (self.dir / "out").mkdir()
        os.symlink("/dev/full", self.dir / "out" / "Full.pfa")
        self.check(run(["in.ps", "out"], self.dir), 28, b"00001302", b"A\r\nFull\r\n")
        self.assertEqual((self.dir / "out" / "A.pfa").read_bytes(), simple_pfa(b"A"))
        self.assertFalse((self.dir / "out" / "C.pfa").exists())

    def test_a_file_size_limit_keeps_what_reached_the_file(self):
        big = b"x" * 5000
        self.write("in.ps", font(b"/FontName /Big def", big))
        result = run(["in.ps", "out"], self.dir, preexec=limits(file_size=1000))
        self.check(result, 27, b"00001302", b"Big\r\n")
        data = (self.dir / "out" / "Big.pfa").read_bytes()
        self.assertEqual(data, pfa(b"Big", b"dict begin", b"/FontName /Big def", big)[:1000])

    def test_memory_running_out(self):
        # A font resource with a 600 MiB line: it is gathered, and cannot be.
        with open(self.dir / "in.ps", "wb") as f:
            f.write(BEGIN + b"dict begin\n")
            f.truncate(600 << 20)
        result = run(["in.ps", "out"], self.dir, preexec=limits(address_space=256 << 20))
        self.check(result, 203, b"000010CB")

    def test_output_onto_the_source_is_refused(self):
        source = simple_font(b"in")
        cases = [
            ("same spelling", "out/in.pfa", "out", lambda: None),
            ("another spelling", "out/in.pfa", "./out/../out", lambda: None),
            ("a hard link", "in.ps", "out",
             lambda: os.link(self.dir / "in.ps", self.dir / "out" / "in.pfa")),
            ("a symlink", "in.ps", "out",
             lambda: os.symlink(self.dir / "in.ps", self.dir / "out" / "in.pfa")),
        ]
        for what, path, dest, link in cases:
            with self.subTest(what):
                shutil.rmtree(self.dir / "out", ignore_errors=True)
                (self.dir / "out").mkdir()
                src = self.dir / path
                src.write_bytes(source)
                link()
                self.check(run([path, dest], self.dir), 16, b"00001301", b"in\r\n")
                self.assertEqual(src.read_bytes(), source)

    def test_a_read_error_in_the_middle_of_the_source(self):
        shim = os.environ.get("GLYPHCULL_READ_ERROR_SHIM")
        if not shim or os.environ.get("GLYPHCULL_SANITIZED"):
            self.skipTest("needs the read error shim, which a sanitized "
                          "build cannot preload")
        first = simple_font(b"A")
        capture = BEGIN + b"dict begin\n/FontName /B def\n"
        self.write("in.ps", first + b"x" * (600 << 10) + b"\n" + capture +
                   b"y" * (600 << 10) + b"\ncleartomark\n" + END)
        cases = [  # bytes delivered before the failure, the step it hits
            # in the scan, inside a long line outside fonts: a line read
            (len(first) + (300 << 10), b"00001203", b"A\r\n"),
            # in the capture of B
            (len(first) + (600 << 10) + 1 + len(capture) + 1000, b"00001203",
             b"A\r\nB\r\n"),
            # right after the first font: the end-of-file test's read
            (len(first), b"00001202", b"A\r\n"),
        ]
        for after, location, console in cases:
            with self.subTest(after=after):
                shutil.rmtree(self.dir / "out", ignore_errors=True)
                result = run(["in.ps", "out"], self.dir,
                             env={"LD_PRELOAD": shim,
                                  "GLYPHCULL_READ_ERROR_AFTER": str(after)})
                self.check(result, 5, location, console)
                self.assertEqual(self.fonts("out"), {"A.pfa": simple_pfa(b"A")})

    def test_a_destination_removed_during_the_run(self):
        os.mkfifo(self.dir / "in.ps")
        tool = Tool(["in.ps", "out"], self.dir)
        with open(self.dir / "in.ps", "wb") as fifo:
            fifo.write(simple_font(b"A"))
            fifo.flush()
            deadline = time.monotonic() + 30
            while not (self.dir / "out" / "A.pfa").exists():
                self.assertLess(time.monotonic(), deadline)
                time.sleep(0.01)
            time.sleep(0.1)
            shutil.rmtree(self.dir / "out")
            fifo.write(simple_font(b"B"))
        self.check(tool.finish(), 2, b"00001301", b"A\r\nB\r\n")
        self.assertFalse((self.dir / "out").exists())

    def test_a_font_file_that_cannot_be_replaced(self):
        self.write("in.ps", simple_font(b"A") + simple_font(b"Kept"))
        out = self.dir / "out"
        out.mkdir()
        if os.geteuid() == 0:
            # Root writes any file: a folder stands at the file's path.
            (out / "Kept.pfa").mkdir()
            self.check(run(["in.ps", "out"], self.dir), 21, b"00001301",
                       b"A\r\nKept\r\n")
            self.assertTrue((out / "Kept.pfa").is_dir())
        (out / "Kept.pfa").rmdir() if (out / "Kept.pfa").is_dir() else None
        (out / "Kept.pfa").write_bytes(b"read-only")
        (out / "Kept.pfa").chmod(0o444)
        self.dir.chmod(0o755)
        os.chown(out, 65534, 65534) if os.geteuid() == 0 else None
        result = run(["in.ps", "out"], self.dir, preexec=as_nobody)
        self.assertEqual((result.status, result.stdout),
                         (13, message(13, b"00001301")))
        self.assertEqual((out / "Kept.pfa").read_bytes(), b"read-only")
        self.assertEqual((out / "A.pfa").read_bytes(), simple_pfa(b"A"))

    def test_a_font_file_that_another_run_is_writing(self):
        import fcntl as locks
        self.write("in.ps", simple_font(b"A") + simple_font(b"Busy"))
        (self.dir / "out").mkdir()
        busy = self.dir / "out" / "Busy.pfa"
        busy.write_bytes(b"being written")
        with open(busy, "rb+") as held:
            locks.flock(held, locks.LOCK_EX)
            self.check(run(["in.ps", "out"], self.dir), 16, b"00001301",
                       b"A\r\nBusy\r\n")
        self.assertEqual(busy.read_bytes(), b"being written")
        self.assertEqual(self.fonts("out")["A.pfa"], simple_pfa(b"A"))

    def test_two_runs_at_once_into_one_folder(self):
        names = [[b"First%03d" % i for i in range(150)],
                 [b"Second%03d" % i for i in range(150)]]
        for index, group in enumerate(names):
            self.write(f"{index}.ps", b"".join(
                font(b"/FontName /" + n + b" def", b"x" * 3000) for n in group))
        tools = [Tool([f"{i}.ps", "out"], self.dir, with_terminal=False)
                 for i in range(2)]
        for tool in tools:
            result = tool.finish()
            self.assertEqual((result.status, result.stdout), (0, b""))
        fonts = self.fonts("out")
        self.assertEqual(len(fonts), 300)
        for name in names[0] + names[1]:
            self.assertEqual(fonts[name.decode() + ".pfa"],
                             pfa(name, b"dict begin", b"/FontName /" + name +
                                 b" def", b"x" * 3000))

    def test_hostile_font_names(self):
        cases = [
            b"/FontName /../../escaped def",
            b"/FontName //tmp/escaped def",
            b"/FontName /a\x00b def",
            b"/FontName /" + b"n" * 2000 + b"/escaped" + b"n" * 2000 + b" def",
        ]
        for line in cases:
            with self.subTest(line=line):
                shutil.rmtree(self.dir / "out", ignore_errors=True)
                self.write("in.ps", simple_font(b"Good") + font(line))
                result = run(["in.ps", "out"], self.dir)
                self.assertEqual(result.stdout, message(22, b"00001301"))
                self.assertEqual(result.status, 22)
                self.assertEqual(list(self.fonts("out")), ["Good.pfa"])
                self.assertFalse(list(self.dir.glob("**/escaped*")))
                self.assertFalse(pathlib.Path("/tmp/escaped.pfa").exists())


    def test_a_name_too_long_for_the_file_system(self):
        self.write("in.ps", simple_font(b"Good") + simple_font(b"n" * 4000))
        result = run(["in.ps", "out"], self.dir)
        self.check(result, 36, b"00001301", b"Good\r\n" + b"n" * 4000 + b"\r\n")
        self.assertEqual(list(self.fonts("out")), ["Good.pfa"])

    def test_names_that_stay_inside_the_destination(self):
        # Control bytes and dots are file name bytes on POSIX: the files are
        # made, inside the destination, and named byte for byte.
        names = [b"ctl\x01\x1b[2J", b"..", b"...", b"-rf", b" "]
        self.write("in.ps", b"".join(simple_font(n) for n in names))
        (self.dir / "real").mkdir()
        os.symlink(self.dir / "real", self.dir / "link")  # the destination
        result = run(["in.ps", "link"], self.dir)
        self.assertEqual((result.status, result.stdout), (0, b""))
        made = {p.name.encode("utf-8", "surrogateescape"): p.read_bytes()
                for p in (self.dir / "real").iterdir()}
        self.assertEqual(made, {n + b".pfa": simple_pfa(n) for n in names})
        self.assertEqual(sorted(p.name for p in self.dir.iterdir()),
                         ["in.ps", "link", "real"])


class ConsoleTest(E2eTest):
    def test_font_names_are_visible_cells(self):
        name = b"\x1b]0;pwned\x07A\tB\x1b[2J\x80\xff\x08"
        self.write("in.ps", simple_font(name))
        cases = [
            ("C.UTF-8", "\u2190]0;pwned\aA\u25cbB\u2190[2J\u00c7\u00a0\b\r\n".encode()),
            ("C", b"?]0;pwned\x07A?B?[2J??\x08\r\n"),
        ]
        for lang, console in cases:
            with self.subTest(lang=lang):
                result = run(["in.ps", "out"], self.dir, env={"LANG": lang})
                self.assertEqual(result.status, 0)
                self.assertEqual(result.console, console)
                self.assertEqual(self.fonts("out"),
                                 {os.fsdecode(name + b".pfa"): simple_pfa(name)})

    def test_without_a_terminal_the_names_go_to_standard_error(self):
        self.write("in.ps", simple_font(b"A\x1bB"))
        result = run(["in.ps", "out"], self.dir, with_terminal=False)
        self.assertEqual(result.status, 0)
        self.assertEqual(result.stderr, b"A\x1bB\r\n")
        self.assertEqual(result.stdout, b"")
        result = run([], self.dir, with_terminal=False)
        self.assertEqual(result.stderr, b"PS font extracting utility v1.1 by Quilvane\r\n"
                         b"Usage: glyphcull <srcps> [<destdir>]\r\n")

    def test_standard_output_redirected_carries_no_console_text(self):
        self.write("in.ps", simple_font(b"A"))
        result = run(["in.ps", "out"], self.dir)
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.console, b"A\r\n")


def modes_during_run(terminal):
    """The terminal's modes while the tool runs: the flags it switches."""
    iflag, oflag, cflag, lflag, ispeed, ospeed, cc = terminal.modes()
    return {
        "canonical": bool(lflag & termios.ICANON),
        "echo": bool(lflag & termios.ECHO),
        "output processing": bool(oflag & termios.OPOST),
        "interrupt key": cc[termios.VINTR] != b"\x00" and cc[termios.VINTR] != 0,
    }


class ModesTest(E2eTest):
    """The terminal's modes are switched for the run and restored at its end."""

    def start_on_fifo(self):
        fifo = self.dir / "in.fifo"
        os.mkfifo(fifo)
        tool = Tool([str(fifo), "out"], self.dir)
        before = tool.modes_before
        deadline = time.time() + 10
        while modes_during_run(tool.terminal)["echo"] and time.time() < deadline:
            time.sleep(0.02)
        return tool, fifo, before

    def test_modes_during_the_run_and_ctrl_c_goes_unheeded(self):
        tool, fifo, before = self.start_on_fifo()
        self.assertEqual(modes_during_run(tool.terminal), {
            "canonical": False, "echo": False, "output processing": False,
            "interrupt key": False})
        tool.terminal.type(b"\x03")
        time.sleep(0.3)
        self.assertIsNone(tool.process.poll(), "Ctrl+C ended the run")
        with open(fifo, "wb") as writer:
            writer.write(simple_font(b"A"))
        result = tool.finish()
        self.assertEqual(result.status, 0)
        self.assertEqual(self.fonts("out"), {"A.pfa": simple_pfa(b"A")})
        self.assertEqual(result.modes_after, before)

    def test_console_breaks_end_the_run_with_status_0(self):
        for kind in ("ctrl+backslash", "hang-up"):
            with self.subTest(kind):
                tool, fifo, before = self.start_on_fifo()
                if kind == "hang-up":
                    tool.terminal.hang_up()
                else:
                    tool.terminal.type(b"\x1c")
                result = tool.finish(timeout=10)
                self.assertEqual((result.status, result.stdout, result.stderr), (0, b"", b""))
                if kind != "hang-up":
                    self.assertEqual(result.modes_after, before)
                fifo.unlink()

    def test_modes_restored_after_a_normal_end_and_a_failure_stop(self):
        self.write("in.ps", simple_font(b"A"))
        for args in ([], ["in.ps", "out"], ["missing.ps"]):
            with self.subTest(args=args):
                tool = Tool(args, self.dir)
                self.assertEqual(tool.finish().modes_after, tool.modes_before)


def expect_fonts_load(test, folder, draw):
    """Each font file in `folder` loads in Ghostscript as a Type 1 font under
    the name its /FontName line gives, and (with `draw`) draws a "G"."""
    if not shutil.which("gs"):
        test.skipTest("Ghostscript (gs) is not installed: the fonts were not loaded")
    for path in sorted(folder.iterdir()):
        name = re.search(rb"/FontName /(\S+) def", path.read_bytes()).group(1).decode()
        program = "/%s findfont dup /FontType get =" % name
        expected = [b"1"]
        if draw:
            program += (" 20 scalefont setfont 0 0 moveto (G) false charpath"
                        " flattenpath pathbbox pop exch pop sub 0 lt { (drawn) = } if")
            expected.append(b"drawn")
        result = subprocess.run(["gs", "-q", "-dNODISPLAY", "-dBATCH", "-dNOPAUSE",
                                 str(path), "-c", program], capture_output=True)
        test.assertEqual(result.stdout.split(), expected,
                         (path, result.stdout, result.stderr))


class FontsLoadTest(E2eTest):
    """Extracted fonts load in Ghostscript: the sample's, and those of a print
    file that cairo writes."""

    def test_the_sample_fonts_load_and_draw(self):
        shutil.copy(ROOT / "examples" / "sample.ps", self.dir)
        self.assertEqual(run(["sample.ps"], self.dir).status, 0)
        expect_fonts_load(self, self.dir / "fonts", draw=True)

    SCRIPT = r"""
import sys, cairo
surface = cairo.PSSurface(sys.argv[1], 300, 200)
context = cairo.Context(surface)
for family, y in (("Nimbus Sans", 60), ("Nimbus Roman", 120)):
    context.select_font_face(family)
    context.set_font_size(24)
    context.move_to(20, y)
    context.show_text("Glyphcull " + family)
surface.finish()
"""

    def test_fonts_from_cairo_load_in_ghostscript(self):
        python = "/usr/bin/python3"
        probe = subprocess.run([python, "-c", "import cairo"], capture_output=True) \
            if os.path.exists(python) else None
        if probe is None or probe.returncode != 0 or not shutil.which("gs"):
            self.skipTest("needs Debian's python3-cairo and Ghostscript")
        script = self.write("make.py", self.SCRIPT.encode())
        subprocess.run([python, str(script), str(self.dir / "cairo.ps")], check=True)
        result = run(["cairo.ps", "out"], self.dir)
        self.assertEqual(result.status, 0, result.stdout)
        fonts = self.fonts("out")
        self.assertGreaterEqual(len(fonts), 2, result.console)
        for data in fonts.values():
            self.assertTrue(data.endswith(b"cleartomark\r\n"))
        expect_fonts_load(self, self.dir / "out", draw=False)


def run_suite(tests):
    """Runs the named tests of the calling script and exits: 0, 1 on a
    failure, or 77, which tells CTest that something was skipped."""
    program = unittest.main(module="__main__", argv=[sys.argv[0], "-v"] + tests,
                            exit=False)
    result = program.result
    if not result.wasSuccessful():
        sys.exit(1)
    for test, reason in result.skipped:
        print(f"SKIPPED {test.id()}: {reason}", file=sys.stderr)
    sys.exit(77 if result.skipped else 0)


if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv[1])
    ROOT = pathlib.Path(sys.argv[2])
    run_suite(sys.argv[3:])
