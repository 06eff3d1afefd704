#!/usr/bin/env python3
"""Times glyphcull on the benchmark's print files, side by side with `wc -l`
on the same file (the bare cost of cutting it into lines) and with
extractres from psutils where it is installed, interleaved, and reports the
median time, MB/s, the ratios and the peak RSS of each.

Usage: run.py GLYPHCULL FOLDER [RUNS] [--dest DIR]

The runs write their files into new folders under DIR (by default under
FOLDER, beside the print files). With DIR on a tmpfs such as /dev/shm, the
disk's file system, whose cost of creating a file changes with its state,
drops out of the times of both glyphcull and extractres.
"""

import argparse
import os
import pathlib
import shutil
import statistics
import subprocess
import tempfile
import time

FILES = ["1-lf.ps", "2-crlf.ps", "3-fonts.ps", "4-noeol.ps"]


def timed(command, cwd):
    """Seconds of one run of `command`. The files that earlier runs wrote are
    flushed to disk first, so that their write-back, which the kernel does
    later and on any core, does not fall into this run's time."""
    os.sync()
    start = time.perf_counter()
    done = subprocess.run(command, cwd=cwd, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          start_new_session=True)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        raise RuntimeError(f"{command[0]} failed on {command[-1]}")
    return seconds


def in_new_folder(command, work, name):
    """`command`, to be run in a new folder `name` under `work` (extractres
    writes its files into the folder it runs in)."""
    folder = pathlib.Path(work) / name
    folder.mkdir()
    return command, folder


def peak_rss(command, cwd):
    """The peak RSS in KiB of one run of `command`, as /usr/bin/time reports
    it. (A child of this Python process would count Python's own memory.)"""
    done = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, cwd=cwd,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, check=True)
    return int(done.stderr.split()[-1])


def main():
    parser = argparse.ArgumentParser(description="glyphcull's benchmark")
    parser.add_argument("glyphcull")
    parser.add_argument("folder")
    parser.add_argument("runs", nargs="?", type=int, default=5)
    parser.add_argument("--dest", help="where the runs write their files")
    args = parser.parse_args()
    tool = os.path.abspath(args.glyphcull)
    folder = pathlib.Path(args.folder).resolve()
    runs = args.runs
    dest = pathlib.Path(args.dest).resolve() if args.dest else folder
    extractres = shutil.which("extractres")
    print(f"{'file':<12} {'MB':>6} {'tool':<10} {'median s':>9} {'MB/s':>7}"
          f" {'x wc -l':>8} {'peak RSS':>10}")
    for name in FILES:
        path = folder / name
        megabytes = path.stat().st_size / 1e6
        commands = {
            "glyphcull": lambda run, work: ([tool, str(path), f"out{run}"],
                                            work),
            "wc -l": lambda run, work: (["wc", "-l", str(path)], work)}
        if extractres and name == "3-fonts.ps":
            commands["extractres"] = lambda run, work: in_new_folder(
                [extractres, str(path)], work, f"extractres{run}")
        times = {k: [] for k in commands}
        peaks = {}
        with tempfile.TemporaryDirectory(dir=dest) as work:
            # Interleaved, so that all see the same machine; each run writes
            # into a new folder, as for a new print file.
            for run in range(runs):
                for key, command in commands.items():
                    times[key].append(timed(*command(run, work)))
            for key, command in commands.items():
                peaks[key] = peak_rss(*command(runs, work))
            fonts = len(os.listdir(os.path.join(work, "out0")))
            if "extractres" in commands:
                extracted = len(os.listdir(os.path.join(work, "extractres0")))
        base = statistics.median(times["wc -l"])
        for key in times:
            median = statistics.median(times[key])
            print(f"{name:<12} {megabytes:>6.0f} {key:<10} {median:>9.3f}"
                  f" {megabytes / median:>7.0f} {median / base:>8.2f}"
                  f" {peaks[key] / 1024:>8.1f} MiB")
        print(f"{name:<12} {'':>6} fonts written by glyphcull: {fonts}")
        if "extractres" in times:
            ratio = (statistics.median(times["extractres"]) /
                     statistics.median(times["glyphcull"]))
            print(f"{name:<12} {'':>6} files written by extractres:"
                  f" {extracted}")
            print(f"{name:<12} {'':>6} glyphcull is {ratio:.1f} times as fast"
                  " as extractres")


if __name__ == "__main__":
    main()
