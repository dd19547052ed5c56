#!/usr/bin/env python3
"""Runs each scenario twice and compares what a user of the runners can observe.

differential.py --kind win32|win64 [--wine LOADER] SOURCE_DIR LAYER_BIN WINDOWS_BIN WORK_DIR [SCENARIO...]

Once with the Linux programs of LAYER_BIN on the layer, once with the .exe
programs of WINDOWS_BIN under Wine (LOADER, "wine" unless given; WINEPREFIX and
the rest of Wine's environment are the caller's), each run in a fresh folder of
WORK_DIR with the same package: the runner beside its description, the setup
program DiffSetup (tests/differential/record_setup.cpp) as Setup.exe where the
description says. The kind tells which Windows programs WINDOWS_BIN holds: 32-bit
ones in a 32-bit prefix, or 64-bit ones in a 64-bit prefix. Either way the program
sees no WOW64 and Program Files without "(x86)", as the layer's profile says.

Compared: the exit code, standard output, the log with its times blanked, what
the setup program recorded (its command line and arguments, the generated files'
bytes), and every file left in the run's folder with its bytes. Paths of the run's
folder read as <root>. A difference fails unless accepted.txt lists it with its
reason for that kind of run; an accepted difference that no longer shows fails
too, so the list stays true for each kind.
"""
import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
from dataclasses import dataclass, field
from pathlib import Path

RUN_SECONDS = 60
CONSOLE_SCENARIO = "console"  # tests/differential/console_differential.py, which shares accepted.txt
LOG_TIME = re.compile(rb"^\[ZoltApp\] \w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4}\t", re.M)
DESCRIPTION_FILE = {"ZoltInstaller": "OmbrixZoltInstaller.xml", "ZoltUnInstaller": "OmbrixZoltUninstaller.xml"}
IMAGE_FOLDERS = ("payloads", "extensions", "resources", "redist")
IMAGE_FILES = ("WinBootstrapper.msi", "WinBootstrapper1.cab")


def description(location, deployment="<Deployment><Properties/></Deployment>", info='processorFamily="All"',
                overrides="<Overrides><Configuration/></Overrides>"):
    return ('<?xml version="1.0" encoding="utf-8"?>\n<Description>\n'
            f"  <InstallerLocation>{location}</InstallerLocation>\n  <TargetOS>Windows</TargetOS>\n"
            f"  <DeploymentInfo {info}>\n    {deployment}\n  </DeploymentInfo>\n"
            f"  {overrides}\n</Description>\n")


def example(name):
    return ("examples/package/" + name,)


def entities():
    subset = '<!ENTITY a0 "lol">' + "".join(
        f'<!ENTITY a{i} "{("&a%d;" % (i - 1)) * 10}">' for i in range(1, 10))
    return f"<!DOCTYPE Description [{subset}]>\n" + description("kit", f"<Deployment>&a9;</Deployment>")


TOKENS = ('<Deployment><Properties><Property name="INSTALLDIR">[SysDrive]\\Data</Property>'
          '<Property name="SHAREDDIR">[ProgramFiles]\\Shared</Property>'
          '<Property name="INSTALLDIR">[OmbrixProgramFiles]\\Caf\u00e9</Property></Properties></Deployment>')


@dataclass
class Scenario:
    name: str
    program: str = "ZoltInstaller"
    # The description's text ("{root}" is the run's folder as Windows sees it),
    # a one-element tuple naming a file of the source tree, bytes as they are, or
    # None for no description.
    description: object = None
    setup: str = None          # folder of Setup.exe below the run's folder, None for none
    args: list = field(default_factory=list)
    setup_end: str = "0"
    image: bool = False        # an installation image beside Setup.exe


SCENARIOS = [
    Scenario("install-version", args=["-version"]),
    Scenario("removal-version", "ZoltUnInstaller", args=["-version"]),
    Scenario("version-after-a-good-server", args=["-server=\\\\fileserver\\deploy", "-version"]),
    Scenario("bad-server-option", args=["-server=/x", "-version"]),
    Scenario("empty-server-option", args=["-server="]),
    Scenario("capital-options-are-no-options", args=["-VERSION", "-NODELETE", "-user", "-Server=x"]),
    Scenario("install-missing-description"),
    Scenario("removal-missing-description", "ZoltUnInstaller"),
    Scenario("install-failed-reading", description="<Deployment/>", args=["-user=admin", "-password=s3cr3t"]),
    Scenario("removal-failed-reading", "ZoltUnInstaller", description="<Deployment/>"),
    Scenario("install-failed-reading-nodelete", description="<Deployment/>", args=["-nodelete"]),
    Scenario("install-example", description=example("OmbrixZoltInstaller.xml"), setup="package/kit"),
    Scenario("install-example-nodelete", description=example("OmbrixZoltInstaller.xml"), setup="package/kit",
             args=["-nodelete"]),
    Scenario("removal-example", "ZoltUnInstaller", description=example("OmbrixZoltUninstaller.xml"),
             setup="package/kit"),
    Scenario("removal-example-nodelete", "ZoltUnInstaller", description=example("OmbrixZoltUninstaller.xml"),
             setup="package/kit", args=["-nodelete"]),
    Scenario("install-folder-tokens", description=description("kit", TOKENS), setup="package/kit"),
    Scenario("install-exit-code-3010", description=description("kit"), setup="package/kit", setup_end="3010"),
    Scenario("removal-exit-code-3010", "ZoltUnInstaller", description=description("kit"), setup="package/kit",
             setup_end="3010"),
    Scenario("install-setup-fails", description=description("kit"), setup="package/kit", setup_end="3"),
    Scenario("setup-ends-with-an-access-violation", description=description("kit"), setup="package/kit",
             setup_end="0xC0000005"),
    Scenario("removal-setup-fails", "ZoltUnInstaller", description=description("kit"), setup="package/kit",
             setup_end="1618"),
    Scenario("install-setup-missing", description=description("kit")),
    Scenario("unreachable-server", description=description("kit"), setup="package/kit",
             args=["-server=\\\\nosuchserver\\deploy", "-user=admin", "-password=secret"]),
    Scenario("absolute-location-with-blanks", description=description("{root}\\Program Files\\Ombrix kit"),
             setup="Program Files/Ombrix kit"),
    Scenario("empty-location", description=description(""), setup="package"),
    Scenario("skip-process-check", description=description("kit", info='processorFamily="All" ignoreProcesses="true"'),
             setup="package/kit"),
    Scenario("clean-up-of-the-image",
             description=description("kit", info='processorFamily="All" deleteInstallationImage="true"'),
             setup="package/kit", image=True),
    Scenario("clean-up-of-missing-entries",
             description=description("kit", info='processorFamily="All" deleteInstallationImage="true"'),
             setup="package/kit"),
    Scenario("no-clean-up-after-a-failure",
             description=description("kit", info='processorFamily="All" deleteInstallationImage="true"'),
             setup="package/kit", image=True, setup_end="3"),
    Scenario("description-in-utf-16",
             description=description("kit").replace('"utf-8"', '"utf-16"').encode("utf-16"),
             setup="package/kit"),
    Scenario("description-with-exponential-entities", description=entities(), setup="package/kit"),
    Scenario("description-for-64-bit-only", description=description("kit", info='processorFamily="x64"'),
             setup="package/kit"),
]


class Side:
    """How one implementation runs a program: names, environment, command."""

    def __init__(self, name, bin_dir, suffix, setup_name):
        self.name, self.bin_dir, self.suffix, self.setup_name = name, Path(bin_dir), suffix, setup_name

    def program(self, name):
        return self.bin_dir / (name + self.suffix)


class Layer(Side):
    def __init__(self, bin_dir):
        super().__init__("layer", bin_dir, "", "diff_setup")

    def prepare(self, root):
        # The machine that Wine's 32-bit prefix describes to a 32-bit program, and
        # its 64-bit prefix to a 64-bit one, with drive C: of the run's own.
        drive_c = root.parent / (root.name + "-drive-c")
        shutil.rmtree(drive_c, ignore_errors=True)
        for folder in ("Program Files", "windows"):
            (drive_c / folder).mkdir(parents=True, exist_ok=True)
        profile = root.parent / (root.name + "-machine.ini")
        profile.write_text("[system]\nwow64 = false\nprogram_files = C:\\Program Files\nwindows = C:\\windows\n"
                           f"system = {self.bin_dir}\n[drives]\nC = {drive_c}\n")
        return {"WINLAYER_MACHINE": str(profile), "TMP": str(root / "tmp")}

    def command(self, program, args):
        return [str(program)] + args


class Wine(Side):
    def __init__(self, bin_dir, loader="wine"):
        super().__init__("wine", bin_dir, ".exe", "DiffSetup")
        self.loader = loader

    def prepare(self, root):
        # The prefix's TEMP and TMP read %DIFF_TEMP% (scripts/test-differential.sh).
        return {"DIFF_TEMP": windows_path(root / "tmp")}

    def command(self, program, args):
        return [self.loader, str(program)] + args


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def description_bytes(scenario, source_dir, root):
    text = scenario.description
    if isinstance(text, tuple):
        return (source_dir / text[0]).read_bytes()
    if isinstance(text, bytes):
        return text
    return text.replace("{root}", windows_path(root)).encode("utf-8")


def lay_out(scenario, side, source_dir, root):
    package = root / "package"
    package.mkdir(parents=True)
    (root / "tmp").mkdir()
    runner = package / (scenario.program + ".exe")
    shutil.copy2(side.program(scenario.program), runner)
    if scenario.description is not None:
        (package / DESCRIPTION_FILE[scenario.program]).write_bytes(description_bytes(scenario, source_dir, root))
    if scenario.setup is not None:
        kit = root / scenario.setup
        kit.mkdir(parents=True, exist_ok=True)
        shutil.copy2(side.program(side.setup_name), kit / "Setup.exe")
        if scenario.image:
            for folder in IMAGE_FOLDERS:
                (kit / folder / "sub").mkdir(parents=True)
                (kit / folder / "sub" / "data.bin").write_bytes(b"x")
            for name in IMAGE_FILES:
                (kit / name).write_bytes(b"x")
            (kit / "keep.txt").write_bytes(b"x")
            (kit / "other").mkdir()
    return runner


def leftovers(root, skip):
    """Every file and folder below root, with the bytes of each file but the
    programs (each side's own build) and those in skip (compared on their own)."""
    found = []
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root).as_posix()
        if relative in skip:
            continue
        if path.is_dir():
            found.append(relative.encode() + b"/")
        else:
            found.append(relative.encode() + (b"" if path.suffix == ".exe" else b": " + path.read_bytes()))
    return b"\n".join(found)


def observe(scenario, side, source_dir, work):
    root = work / scenario.name / side.name
    shutil.rmtree(root, ignore_errors=True)
    root.mkdir(parents=True)
    runner = lay_out(scenario, side, source_dir, root)
    record = root / "setup-record"
    env = dict(os.environ, DIFF_SETUP_RECORD=windows_path(record), DIFF_SETUP_END=scenario.setup_end)
    env.update(side.prepare(root))
    # Output goes to files, not pipes: a process that Wine starts on the side may
    # hold a pipe open long after the program has ended.
    out_path, err_path = root.parent / (side.name + ".out"), root.parent / (side.name + ".err")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        try:
            status = subprocess.run(side.command(runner, scenario.args), env=env, cwd=root, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, timeout=RUN_SECONDS).returncode
        except subprocess.TimeoutExpired:
            status = f"killed after {RUN_SECONDS} s"
    out, err = out_path.read_bytes(), err_path.read_bytes()
    log = root / "tmp" / "ombrixxelq.log"
    observed = {
        "exit code": str(status),
        "standard output": out,
        "standard error": err,
        "log": LOG_TIME.sub(b"[ZoltApp] <time>\t", log.read_bytes()) if log.exists() else b"(no log)",
        "setup record": record.read_bytes() if record.exists() else b"(the setup program did not run)",
        "leftovers": leftovers(root, {"setup-record", "tmp/ombrixxelq.log"}),
    }
    here = windows_path(root).encode()
    return {key: value.replace(here, b"<root>").decode("utf-8", "backslashreplace") if isinstance(value, bytes)
            else value for key, value in observed.items()}


KINDS = ("win32", "win64")


def read_accepted(path, kind):
    """{(scenario, observable): reason} for the kind of run, from lines
    "scenario | observable | kinds | reason" (kinds: one or more of KINDS)."""
    accepted = {}
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if line.strip() and not line.startswith("#"):
            scenario, observable, kinds, reason = (part.strip() for part in line.split("|", 3))
            if not kinds.split() or set(kinds.split()) - set(KINDS):
                raise ValueError(f"{path}:{number}: kinds {kinds!r} are not among {' '.join(KINDS)}")
            if kind in kinds.split():
                accepted[(scenario, observable)] = reason
    return accepted


def shown(text):
    """The lines of an observation, their ends and other control characters visible."""
    return [repr(line)[1:-1] for line in text.splitlines(keepends=True)]


def compare(scenario, layer, wine, accepted):
    """The failures of one scenario, printed with their differences."""
    failures = []
    for key in layer:
        reason = accepted.pop((scenario.name, key), None)
        if layer[key] == wine[key]:
            if reason is not None:
                failures.append(f"{scenario.name}: {key} is accepted as differing but agrees")
            continue
        diff = "\n".join(difflib.unified_diff(shown(layer[key]), shown(wine[key]), "layer", "wine", lineterm=""))
        if reason is not None:
            print(f"  accepted: {scenario.name}: {key} differs ({reason})")
            continue
        failures.append(f"{scenario.name}: {key} differs\n{diff}")
    return failures


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("--kind", choices=KINDS, required=True)
    parser.add_argument("--wine", default="wine")
    for name in ("source_dir", "layer_bin", "windows_bin", "work"):
        parser.add_argument(name, type=lambda a: Path(a).resolve())
    parser.add_argument("scenarios", nargs="*")
    options = parser.parse_args()
    chosen = set(options.scenarios)
    accepted = read_accepted(options.source_dir / "tests/differential/accepted.txt", options.kind)
    sides = (Layer(options.layer_bin), Wine(options.windows_bin, options.wine))
    source_dir, work = options.source_dir, options.work
    failures = []
    for scenario in SCENARIOS:
        if chosen and scenario.name not in chosen:
            accepted = {k: v for k, v in accepted.items() if k[0] != scenario.name}
            continue
        layer, wine = (observe(scenario, side, source_dir, work) for side in sides)
        found = compare(scenario, layer, wine, accepted)
        print(("FAIL " if found else "same ") + scenario.name)
        failures += found
    failures += [f"{name}: {key} is accepted but no scenario has it" for name, key in accepted
                 if name != CONSOLE_SCENARIO]
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"differential: every scenario agrees between the layer and Wine ({options.kind}), accepted differences aside")


if __name__ == "__main__":
    main()
