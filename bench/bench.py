#!/usr/bin/env python3
"""Benchmark of the silent install and uninstall against plain copy and delete
loops and against NSIS installers of the same payload, under Wine.

Run through bench/run.sh (which builds first). Every measured process is started
and waited for by build/bench/bench_timer.exe inside the prefix, so the times are
those of the Windows processes, without the cost of the `wine` launcher. The
variants run interleaved in every round, the order of their pairs rotating from
round to round; round 0 is a warm-up and is not counted.
"""
import argparse
import json
import os
import random
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent
# On tmpfs by default: on this shared virtual machine the disk's writeback (ext4
# flushes each copied file when it is closed) varied the times by 2x from round to
# round, more than the differences measured. The prefix itself stays on disk.
TMPFS_WORK = "/dev/shm/glimmerix-bench"
SELF_REMOVAL_WAIT = 1.0  # the temporary copy's Sleep(1000) before it removes anything


def parse_args():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--files", type=int, default=2000, help="small files in all (default 2000)")
    p.add_argument("--folders", type=int, default=20, help="subfolders that hold them (default 20)")
    p.add_argument("--file-kib", type=int, default=16, help="size of a small file in KiB (default 16)")
    p.add_argument("--big", type=int, default=4, help="large files (default 4)")
    p.add_argument("--big-mib", type=int, default=8, help="size of a large file in MiB (default 8)")
    p.add_argument("--rounds", type=int, default=7, help="counted rounds after the warm-up (default 7)")
    p.add_argument("--seed", type=int, default=6, help="seed of the payload's bytes (default 6)")
    p.add_argument("--only", default="", help="comma-separated variant groups: glx,loops,nsis (default all)")
    p.add_argument("--root", default=str(TOP / "build" / "bench-run"), help="run folder (default build/bench-run)")
    p.add_argument("--work", default="", help="folder of the payload, packages and installs, linked as C:\\bench "
                   f"(default {TMPFS_WORK} when /dev/shm is there, else ROOT/work on disk; "
                   "give ROOT/work to measure on disk, writeback included)")
    p.add_argument("--build", default=str(TOP / "build"), help="build folder (default build)")
    p.add_argument("--reuse-prefix", action="store_true", help="keep a prefix left by --keep-prefix")
    p.add_argument("--keep-prefix", action="store_true", help="leave the prefix and its server running")
    p.add_argument("--readme", action="store_true", help="put the table into README.md")
    return p.parse_args()


class Wine:
    """The private prefix of the run: made by tests/harness/prefix-up.sh."""

    def __init__(self, root: Path, reuse: bool):
        self.root = root / "wine"
        if not (reuse and (self.root / "env").exists()):
            subprocess.run(["sh", str(TOP / "tests/harness/prefix-up.sh"), str(self.root)], check=True,
                           stdout=subprocess.DEVNULL)
        self.env = dict(os.environ)
        for line in (self.root / "env").read_text().splitlines():
            if line.startswith("export "):
                key, value = line[len("export "):].split("=", 1)
                self.env[key] = value.strip('"')
        self.env["WINEDEBUG"] = "-all"
        self.drive_c = Path(self.env["WINEPREFIX"]) / "drive_c"
        subprocess.run(["wineserver", "-p"], env=self.env, check=False)

    def down(self):
        subprocess.run(["sh", str(TOP / "tests/harness/prefix-down.sh"), str(self.root)], check=False)

    def run(self, args, out: Path, cwd: Path):
        with open(out, "wb") as stdout:
            return subprocess.run(["wine"] + args, env=self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                                  stdout=stdout, stderr=subprocess.STDOUT).returncode

    def temp_folders(self):
        return list(self.drive_c.glob("users/*/AppData/Local/Temp")) + list(self.drive_c.glob("users/*/Temp"))


# ---------------------------------------------------------------- payload and packages

def subfolder_names(count):
    return [f"sub{i:02d}" for i in range(1, count + 1)]


def make_payload(folder: Path, a):
    """The data files: a.files small files spread over a.folders subfolders and
    a.big large ones in "large", all random bytes from a.seed (incompressible)."""
    stamp = folder / "payload.json"
    wanted = {k: getattr(a, k) for k in ("files", "folders", "file_kib", "big", "big_mib", "seed")}
    if stamp.exists() and json.loads(stamp.read_text()) == wanted:
        return False
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    rng = random.Random(a.seed)
    names = subfolder_names(a.folders)
    for index in range(a.files):
        sub = folder / names[index % a.folders]
        sub.mkdir(exist_ok=True)
        (sub / f"f{index:05d}.bin").write_bytes(rng.randbytes(a.file_kib * 1024))
    if a.big:
        (folder / "large").mkdir()
        for index in range(a.big):
            (folder / "large" / f"big{index}.bin").write_bytes(rng.randbytes(a.big_mib << 20))
    stamp.write_text(json.dumps(wanted))
    return True


def data_folders(payload: Path):
    return sorted(p.name for p in payload.iterdir() if p.is_dir())


def manifest(folders):
    lines = ["Glimmerix 6 benchmark package.", "",
             "File Copy: Glimcap6.exe", "File Copy: setup.exe > OrvUnInst.exe"]
    for name in folders:
        lines += [f"Make Dir: {name}", f"File Copy: {name}\\*"]
    return "\r\n".join(lines) + "\r\n"


def make_package(package: Path, payload: Path, build: Path, one_file: bool):
    """setup.exe, Glimcap6.exe, the manifest, and the payload's folders (hard
    links), or for one_file only the first small file in its folder."""
    if package.exists():
        shutil.rmtree(package)
    package.mkdir(parents=True)
    shutil.copy2(build / "setup.exe", package / "setup.exe")
    shutil.copy2(build / "product" / "Glimcap6.exe", package / "Glimcap6.exe")
    folders = data_folders(payload)
    if one_file:
        folders = folders[:1]
    for name in folders:
        (package / name).mkdir()
        files = sorted((payload / name).iterdir())
        for f in files[:1] if one_file else files:
            os.link(f, package / name / f.name)
    (package / "OrvUnInst.log").write_bytes(manifest(folders).encode("ascii"))
    return folders


NSIS_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\GlimmerixBench"


def nsis_script(package: Path, folders, out_file: Path, compressor):
    """An NSIS installer of the same files into the same layout, with an
    uninstaller that deletes them by the same wildcards, folder by folder."""
    s = [f'Name "Glimmerix bench"', f'OutFile "{out_file}"', r'InstallDir "$PROGRAMFILES\GlimmerixBench"',
         "RequestExecutionLevel admin", "ShowInstDetails nevershow", "ShowUninstDetails nevershow"]
    s += ["SetCompress off"] if compressor is None else [f"SetCompressor {compressor}"]
    s += ['Section "Install"', r'SetOutPath "$INSTDIR"', f'File "{package}/Glimcap6.exe"',
          f'File "/oname=OrvUnInst.exe" "{package}/setup.exe"', f'File "{package}/OrvUnInst.log"']
    for name in folders:
        s += [f'SetOutPath "$INSTDIR\\{name}"', f'File "{package}/{name}/*"']
    s += [r'SetOutPath "$INSTDIR"', r'WriteUninstaller "$INSTDIR\uninst.exe"',
          f'WriteRegStr HKLM "{NSIS_KEY}" "DisplayName" "Glimmerix bench"',
          f'WriteRegStr HKLM "{NSIS_KEY}" "UninstallString" "$INSTDIR\\uninst.exe"', "SectionEnd",
          'Section "Uninstall"']
    for name in folders:
        s += [f'Delete "$INSTDIR\\{name}\\*.*"', f'RMDir "$INSTDIR\\{name}"']
    s += [r'Delete "$INSTDIR\Glimcap6.exe"', r'Delete "$INSTDIR\OrvUnInst.exe"', r'Delete "$INSTDIR\OrvUnInst.log"',
          f'DeleteRegKey HKLM "{NSIS_KEY}"', r'Delete "$INSTDIR\uninst.exe"', r'RMDir "$INSTDIR"', "SectionEnd"]
    return "\n".join(s) + "\n"


def empty_nsis_script(out_file: Path):
    return "\n".join([f'Name "Empty"', f'OutFile "{out_file}"', r'InstallDir "$PROGRAMFILES\Empty"',
                      "RequestExecutionLevel admin", 'Section ""', "SectionEnd"]) + "\n"


def build_nsis(script: str, nsi: Path, out_file: Path, fresh: bool):
    if not fresh and out_file.exists() and nsi.exists() and nsi.read_text() == script:
        return
    nsi.write_text(script)
    log = nsi.with_suffix(".log")
    with open(log, "wb") as f:
        if subprocess.run(["makensis", "-V2", str(nsi)], stdout=f, stderr=subprocess.STDOUT).returncode != 0:
            sys.exit(f"makensis failed on {nsi}: see {log}")


# ---------------------------------------------------------------- measuring

def win(path: Path, drive_c: Path):
    return "C:\\" + str(path.relative_to(drive_c)).replace("/", "\\")


def count_files(folder: Path):
    return sum(1 for p in folder.rglob("*") if p.is_file()) if folder.exists() else -1


class Bench:
    def __init__(self, a):
        self.a = a
        self.root = Path(a.root).resolve()
        self.build = Path(a.build).resolve()
        self.samples = {}   # variant -> list of seconds
        self.problems = []

    def prepare(self):
        root = self.root
        if not self.a.work:
            shm = Path("/dev/shm")
            self.a.work = TMPFS_WORK if shm.is_dir() and os.access(shm, os.W_OK) else str(root / "work")
        work = Path(self.a.work).resolve()
        work.mkdir(parents=True, exist_ok=True)
        payload_fresh = make_payload(work / "payload", self.a)
        self.wine = Wine(root, self.a.reuse_prefix)
        dc = self.wine.drive_c
        link = dc / "bench"
        if link.is_symlink():
            link.unlink()
        elif link.exists():
            shutil.rmtree(link)
        link.symlink_to(work)
        self.bin = work / "bin"
        self.bin.mkdir(exist_ok=True)
        for exe in ("bench_timer.exe", "bench_copy.exe", "bench_delete.exe", "bench_keepalive.exe"):
            shutil.copy2(self.build / "bench" / exe, self.bin / exe)
        self.inst = work / "inst"
        self.inst.mkdir(exist_ok=True)
        self.packages, self.expected = {}, {}
        (work / "nsis").mkdir(exist_ok=True)
        for size in ("full", "one"):
            pkg = work / "pkg" / size
            folders = make_package(pkg, work / "payload", self.build, size == "one")
            self.packages[size] = pkg
            self.expected[size] = count_files(pkg)  # setup.exe comes as OrvUnInst.exe, the manifest as the log
            if self.group("nsis"):
                for flavour, compressor in (("raw", None), ("zlib", "zlib")):
                    out = work / "nsis" / f"{size}-{flavour}.exe"
                    build_nsis(nsis_script(pkg, folders, out, compressor), work / "nsis" / f"{size}-{flavour}.nsi",
                               out, payload_fresh)
        self.empty_nsis = work / "nsis" / "empty.exe"
        build_nsis(empty_nsis_script(self.empty_nsis), work / "nsis" / "empty.nsi", self.empty_nsis, False)
        self.empty_size = self.empty_nsis.stat().st_size
        self.work = work
        # The desktop stays up for the whole run, as on Windows (see keepalive.cpp).
        self.keepalive = subprocess.Popen(["wine", self.w(self.bin / "bench_keepalive.exe")], env=self.wine.env,
                                          cwd=work, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
        time.sleep(2)

    def group(self, name):
        return not self.a.only or name in self.a.only.split(",")

    def w(self, path: Path):
        return "C:\\bench\\" + str(path.relative_to(self.work)).replace("/", "\\")

    def timed(self, variant, args, follow=False, expect_exit=None):
        """Runs args under bench_timer.exe; records the time (with follow: until
        the follower ended, and the first process's own time as variant + ' hand-over')."""
        out = self.root / "timer.out"
        # Every measured process starts with no dirty data of an earlier one left
        # for the kernel to write back meanwhile.
        os.sync()
        timer = [self.w(self.bin / "bench_timer.exe")] + (["-follow"] if follow else [])
        rc = self.wine.run(timer + args, out, self.work)
        text = out.read_text(errors="replace").split()
        if rc != 0 or len(text) < 3:
            self.problems.append(f"{variant}: timer failed ({rc}): {' '.join(text)[:200]}")
            return
        first, total, code = float(text[-3]), float(text[-2]), int(text[-1])
        if expect_exit is not None and code != expect_exit:
            self.problems.append(f"{variant}: exit code {code}")
        self.samples.setdefault(variant, []).append(total)
        if follow:
            self.samples.setdefault(variant + " hand-over", []).append(first)

    def check_files(self, variant, folder: Path, expected):
        n = count_files(folder)
        if n != expected:
            self.problems.append(f"{variant}: {n} files in {folder.name}, {expected} expected")

    def fresh(self, folder: Path, make=False):
        if folder.exists():
            shutil.rmtree(folder)
        if make:
            folder.mkdir()

    def pair_glx(self, size):
        dest = self.inst / f"glx-{size}"
        self.fresh(dest, make=True)  # -instdir takes only a folder that exists
        self.timed(f"install {size}", [self.w(self.packages[size] / "setup.exe"), "-s", "-instdir", self.w(dest)])
        self.check_files(f"install {size}", dest, self.expected[size])
        self.timed(f"uninstall {size}", [self.w(dest / "OrvUnInst.exe"), "-s"], follow=True)
        if dest.exists():
            self.problems.append(f"uninstall {size}: {count_files(dest)} files left in {dest.name}")
            self.fresh(dest)
        for temp in self.wine.temp_folders():
            for f in temp.glob("uni*.tmp"):
                f.unlink()

    def pair_loops(self, size):
        dest = self.inst / f"copy-{size}"
        self.fresh(dest)
        self.timed(f"copy loop {size}", [self.w(self.bin / "bench_copy.exe"), self.w(self.packages[size]), self.w(dest)])
        self.check_files(f"copy loop {size}", dest, self.expected[size])
        self.timed(f"delete loop {size}", [self.w(self.bin / "bench_delete.exe"), self.w(dest)])
        if dest.exists():
            self.problems.append(f"delete loop {size}: folder left")
            self.fresh(dest)

    def pair_nsis(self, size, flavour):
        dest = self.inst / f"nsis-{flavour}-{size}"
        self.fresh(dest)
        installer = self.work / "nsis" / f"{size}-{flavour}.exe"
        self.timed(f"NSIS {flavour} install {size}", [self.w(installer), "/S", "/D=" + self.w(dest)])
        self.check_files(f"NSIS {flavour} install {size}", dest, self.expected[size] + 1)  # + uninst.exe
        self.timed(f"NSIS {flavour} uninstall {size}", [self.w(dest / "uninst.exe"), "/S", "_?=" + self.w(dest)])
        left = count_files(dest)
        if left != 1:  # the in-place uninstaller cannot delete itself
            self.problems.append(f"NSIS {flavour} uninstall {size}: {left} files left")
        self.fresh(dest)

    def pairs(self):
        ps = []
        for size in ("full", "one"):
            if self.group("glx"):
                ps.append(lambda s=size: self.pair_glx(s))
            if self.group("loops"):
                ps.append(lambda s=size: self.pair_loops(s))
            if self.group("nsis"):
                for flavour in ("raw", "zlib"):
                    ps.append(lambda s=size, f=flavour: self.pair_nsis(s, f))
        return ps

    def measure(self):
        ps = self.pairs()
        for rnd in range(self.a.rounds + 1):
            started = time.time()
            k = rnd % len(ps)
            for p in ps[k:] + ps[:k]:
                p()
            if rnd == 0:
                self.samples.clear()  # the warm-up round
                self.problems = [f"warm-up: {p}" for p in self.problems]
            print(f"round {rnd}{' (warm-up)' if rnd == 0 else ''}: {time.time() - started:.1f} s", flush=True)


# ---------------------------------------------------------------- report

def table(bench: Bench):
    a, s = bench.a, bench.samples
    med = {k: statistics.median(v) for k, v in s.items()}
    lines = [f"Files in {a.work} ({'tmpfs' if a.work.startswith('/dev/shm') else 'disk'}), prefix on disk. "
             f"Payload: {a.files} files of {a.file_kib} KiB in {a.folders} subfolders + {a.big} files of "
             f"{a.big_mib} MiB (seed {a.seed}); one-file package: 1 file of {a.file_kib} KiB. "
             f"{a.rounds} rounds after a warm-up, interleaved; seconds of wall time per process (median, min, max).",
             "", "| measure | median s | min s | max s |", "|---|---:|---:|---:|"]
    order = [f"{what} {size}" for what in ("install", "uninstall", "uninstall hand-over", "copy loop", "delete loop",
                                           "NSIS raw install", "NSIS raw uninstall", "NSIS zlib install",
                                           "NSIS zlib uninstall") for size in ("full", "one")]
    order = [k.replace("uninstall hand-over full", "uninstall full hand-over")
              .replace("uninstall hand-over one", "uninstall one hand-over") for k in order]
    for k in [k for k in order if k in s] + [k for k in s if k not in order]:
        v = s[k]
        lines.append(f"| {k} | {med[k]:.3f} | {min(v):.3f} | {max(v):.3f} |")
        if k.startswith("uninstall ") and not k.endswith("hand-over"):
            lines.append(f"| {k} without the 1 s wait | {med[k] - SELF_REMOVAL_WAIT:.3f} | "
                         f"{min(v) - SELF_REMOVAL_WAIT:.3f} | {max(v) - SELF_REMOVAL_WAIT:.3f} |")

    def get(k):
        return med.get(k)

    goals = ["", "Ratios of the medians; in brackets the median of the same ratio taken round by round "
             "(each round's variants ran close together in time).", "",
             "| comparison | ratio | per round | goal | met |", "|---|---:|---:|---:|---|"]
    rows = []

    def row(text, value, goal=None, fmt="{:.2f}"):
        rows.append((text, value, goal, fmt))

    def ratio(x, y):
        return None if x is None or y is None or y <= 0 else x / y

    def diff(x, y):
        return None if x is None or y is None else x - y

    inst, inst1 = get("install full"), get("install one")
    un, un1 = get("uninstall full"), get("uninstall one")
    un_w = None if un is None else un - SELF_REMOVAL_WAIT
    un1_w = None if un1 is None else un1 - SELF_REMOVAL_WAIT
    cp, cp1, de, de1 = get("copy loop full"), get("copy loop one"), get("delete loop full"), get("delete loop one")

    def comparisons(inst, inst1, un, un1, un_w, cp, cp1, de, de1):
        for fl in ("raw", "zlib"):
            row(f"install / NSIS {fl} install (full payload)", ratio(inst, get(f"NSIS {fl} install full")), 1.0)
        row("install / plain copy loop (full payload)", ratio(inst, cp))
        row("install per-file cost (full - one) / copy loop's (full - one)", ratio(diff(inst, inst1), diff(cp, cp1)), 1.05)
        row("install per-file cost (full - one) / copy loop (full)", ratio(diff(inst, inst1), cp), 1.05)
        for fl in ("raw", "zlib"):
            row(f"uninstall without the wait / NSIS {fl} in-place uninstall (full payload)",
                ratio(un_w, get(f"NSIS {fl} uninstall full")), 1.0)
        row("uninstall without the wait / plain delete loop (full payload)", ratio(un_w, de))
        row("uninstall per-file cost (full - one) / delete loop's (full - one)", ratio(diff(un, un1), diff(de, de1)), 1.10)
        row("uninstall per-file cost (full - one) / delete loop (full)", ratio(diff(un, un1), de), 1.10)

    comparisons(inst, inst1, un, un1, un_w, cp, cp1, de, de1)

    fixed = (("install, one file", inst1), ("uninstall, one file, without the 1 s wait", un1_w),
             ("uninstall's hand-over (installed OrvUnInst.exe until it ends)", get("uninstall one hand-over")),
             ("copy loop, one file", cp1), ("delete loop, one file", de1))
    # The same comparisons round by round: med and get read that round's samples.
    n = min((len(v) for v in s.values()), default=0)
    per_round = [[] for _ in rows]
    if all(len(v) == n for v in s.values()):
        for r in range(n):
            med = {k: v[r] for k, v in s.items()}
            inst, inst1 = get("install full"), get("install one")
            un, un1 = get("uninstall full"), get("uninstall one")
            un_w = None if un is None else un - SELF_REMOVAL_WAIT
            cp, cp1 = get("copy loop full"), get("copy loop one")
            de, de1 = get("delete loop full"), get("delete loop one")
            first = len(rows)
            comparisons(inst, inst1, un, un1, un_w, cp, cp1, de, de1)
            for i, (_, value, _, _) in enumerate(rows[first:]):
                if value is not None:
                    per_round[i].append(value)
            del rows[first:]
    for (text, value, goal, fmt), values in zip(rows, per_round):
        if value is None:
            continue
        met = "" if goal is None else ("yes" if value <= goal else "**no**")
        paired = f"({statistics.median(values):.2f})" if values else ""
        goals.append(f"| {text} | {fmt.format(value)} | {paired} | {'' if goal is None else fmt.format(goal)} | {met} |")
    goals.append("")
    goals.append("| fixed costs (one-file package) | seconds |")
    goals.append("|---|---:|")
    for text, value in fixed:
        if value is not None:
            goals.append(f"| {text} | {value:.3f} |")

    setup_size = (bench.build / "setup.exe").stat().st_size
    empty_size = bench.empty_size
    goals += ["", "| size | bytes |", "|---|---:|",
              f"| setup.exe (stripped, static) | {setup_size:,} |",
              f"| NSIS installer with an empty payload | {empty_size:,} |",
              f"| setup.exe / NSIS empty | {setup_size / empty_size:.2f} |",
              f"| setup.exe <= 150 KiB (153,600 bytes) | {'yes' if setup_size <= 150 * 1024 else '**no**'} |"]
    if bench.problems:
        goals += ["", "Problems seen:", ""] + [f"- {p}" for p in bench.problems]
    return "\n".join(lines + goals) + "\n"


def update_readme(text):
    readme = TOP / "README.md"
    content = readme.read_text()
    start, end = "<!-- bench-table -->", "<!-- /bench-table -->"
    if start not in content:
        return
    head, rest = content.split(start, 1)
    tail = rest.split(end, 1)[1]
    readme.write_text(head + start + "\n" + text + end + tail)


def main():
    a = parse_args()
    bench = Bench(a)
    bench.prepare()
    try:
        bench.measure()
    finally:
        bench.keepalive.terminate()
        bench.keepalive.wait()
        if not a.keep_prefix:
            bench.wine.down()
            if bench.work.is_relative_to("/dev/shm"):
                shutil.rmtree(bench.work)  # memory, not disk: given back
    with open(bench.root / "raw.json", "w") as f:
        json.dump(bench.samples, f, indent=1)
    text = table(bench)
    stamp = time.strftime("%Y-%m-%d %H:%M")
    text = f"Measured {stamp} by `bench/run.sh`.\n\n" + text
    (bench.root / "results.md").write_text(text)
    print(text)
    if a.readme:
        update_readme(text)


if __name__ == "__main__":
    main()
