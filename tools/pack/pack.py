#!/usr/bin/env python3
"""Makes a checked, compressed, signed distribution medium from a product folder.

    pack.py SOURCE [--out DIST] [--disk-size BYTES] [--sign KEY] [--tessauto] [--zip] [--sandbox ANSWERS]
            [--single-file NAME.EXE [--stub SETUP.EXE]]

SOURCE holds SETUP.INI and the product's files as they are installed,
uncompressed. The script's "_" sources are compressed from them, the disks its
"(Dch)" entries ask for are laid out (DIST itself for one disk, DIST/DISK1, ...
for several), SETUP.EXE (and TESSAUTO.EXE) of the i686 build go on disk 1 and
are signed, and SHA256SUMS lists every file. The medium is made beside DIST and
takes its place only when every step has passed.

With --single-file, DIST holds one program instead: the stub SETUP.EXE with the
one-disk medium (its SETUP.EXE signed) as a payload, signed again as a whole.
"""

import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import signing  # noqa: E402
import singlefile  # noqa: E402
from medium import (AUTOMATION, PROGRAM, SCRIPT, PackError, copy_entries, folded, lay_out, lz_header,  # noqa: E402
                    medium_path, overflows, parse_size, readme_name, script_sections, title, with_stored_character)

# 64-bit stand-ins for the sandbox on a host that runs no 32-bit programs: read
# from SOURCE, never put on the medium.
TWINS = "x64"
COMPRESS_BATCH = 64
MACHINE_I386 = 0x14C


def progress(message, end="\n"):
    print(f"pack: {message}", file=sys.stderr, end=end, flush=True)


def pe_machine(path):
    head = Path(path).read_bytes()[:4096]
    if head[:2] != b"MZ":
        return None
    offset = int.from_bytes(head[0x3C:0x40], "little")
    if head[offset:offset + 4] != b"PE\0\0":
        return None
    return int.from_bytes(head[offset + 4:offset + 6], "little")


class Packer:
    def __init__(self, args):
        self.args = args
        self.source = Path(args.source).resolve()
        self.out = Path(args.out).resolve() if args.out else Path.cwd() / "dist"
        self.build = Path(args.build).resolve()
        self.setup = Path(args.stub).resolve() if args.stub else self.build / "win32" / PROGRAM
        self.single = args.single_file
        self.automation = self.build / "win32" / AUTOMATION
        self.checker = self.build / "host" / "tools" / "checker" / "checker"
        self.disk_size = parse_size(args.disk_size) if args.disk_size else None
        self.key = None
        if args.sign:
            self.key = signing.SigningKey(args.sign, args.pkcs11_module or "", args.pkcs11_cert or "",
                                          args.pass_file or "", args.pass_env or "", args.timestamp or "",
                                          args.ca_file or "")
        self.summary = {}

    # ------------------------------------------------------------ inputs

    def check_inputs(self):
        problems = []
        if not (self.source / SCRIPT).is_file():
            problems.append(f"{self.source} holds no {SCRIPT}")
        if self.out == self.source or self.source in self.out.parents or self.out in self.source.parents:
            problems.append(f"the medium {self.out} and the product folder {self.source} must not hold one another")
        if self.out.exists() and any(self.out.iterdir()) and not (self.out / "SHA256SUMS").is_file():
            problems.append(f"{self.out} holds files of something else than a medium made here: give another --out")
        wanted = [(self.setup, "SETUP.EXE (run ./tessera build)"), (self.checker, "the checker (./tessera build)")]
        if self.args.tessauto:
            wanted.append((self.automation, "TESSAUTO.EXE (./tessera build)"))
        for path, what in wanted:
            if not path.is_file():
                problems.append(f"{what} is missing: {path}")
        if self.setup.is_file() and pe_machine(self.setup) != MACHINE_I386 and not self.args.stub:
            problems.append(f"{self.setup} is not the i686 build")
        if self.args.stub and not self.single:
            problems.append("--stub is for --single-file: a medium's SETUP.EXE is the i686 build")
        if self.single:
            if not self.single.upper().endswith(".EXE") or any(c in self.single for c in "/\\:") or \
                    self.single.upper() == ".EXE":
                problems.append(f"--single-file takes a program's name, such as PRODUCT.EXE, not {self.single}")
            if self.disk_size:
                problems.append("--single-file makes one program of a one-disk medium: --disk-size does not apply")
            if not shutil.which(singlefile.GCAB):
                problems.append("gcab is not installed (it makes the single file's cabinet)")
        if self.key:
            problems += self.key.problems()
            if not shutil.which(signing.OSSLSIGNCODE):
                problems.append("osslsigncode is not installed")
        if self.args.sandbox and not Path(self.args.sandbox).is_file():
            problems.append(f"the answers file {self.args.sandbox} does not exist")
        if problems:
            raise PackError(problems)

    def product_files(self):
        """The product folder's files (the source folder is flat: subfolders are not
        looked into), without the programs the build supplies."""
        return sorted(path.name for path in self.source.iterdir()
                      if path.is_file() and folded(path.name) not in (folded(PROGRAM), folded(SCRIPT)))

    # ------------------------------------------------------------ the steps

    def run(self):
        started = time.monotonic()
        self.check_inputs()
        sections = script_sections((self.source / SCRIPT).read_bytes())
        files = self.product_files()
        disks = lay_out(copy_entries(sections), files, readme_name(sections))
        if self.single and len(disks) > 1:
            raise PackError([f"--single-file makes one program of a one-disk medium; the script's \"(Dch)\" "
                             f"entries ask for {len(disks)} disks:"] +
                            [f"  disk {disk.number} begins with [CopyFile] {disk.first_entry}" for disk in disks[1:]])
        progress(f"{len(disks)} disk(s), {sum(len(d.origins) for d in disks)} file(s) from the script")
        self.summary["left_off"] = sorted(set(files) - {o.source for d in disks for o in d.origins.values()})

        self.out.parent.mkdir(parents=True, exist_ok=True)
        work = Path(tempfile.mkdtemp(prefix=f".{self.out.name}-", dir=self.out.parent))
        try:
            self.check_script(work / "preview", disks)
            medium = work / "medium"
            sizes = self.compress_and_copy(disks, medium, work / "lz")
            self.put_programs(medium, len(disks), title(sections))
            self.fit(disks, sizes, medium)
            if self.single:
                medium = self.make_single_file(medium, work / "single", title(sections))
            sums = self.write_sums(medium)
            if self.args.sandbox:
                self.sandbox(medium, disks, work / "sandbox-dist")
            if self.out.exists():
                shutil.rmtree(self.out)
            medium.rename(self.out)
            self.summary["sums"] = self.out / "SHA256SUMS"
            self.summary["files_on_medium"] = len(sums)
            if self.args.zip:
                self.summary["zip"] = self.make_zip()
        finally:
            shutil.rmtree(work, ignore_errors=True)
        self.summary["disks"] = len(disks)
        self.summary["seconds"] = time.monotonic() - started

    def check_script(self, preview, disks):
        """The checker on the script with the medium as it will be, before anything
        is compressed: the disks' files in one folder (a compressed file as its
        header, which is all the checker reads), the script, SETUP.EXE."""
        preview.mkdir()
        shutil.copyfile(self.source / SCRIPT, preview / SCRIPT)
        (preview / PROGRAM).symlink_to(self.setup)
        for disk in disks:
            for origin in disk.origins.values():
                target = preview / origin.medium_name
                if target.exists():
                    continue
                source = self.source / origin.source
                if origin.compress:
                    target.write_bytes(lz_header(origin.stored, source.stat().st_size))
                else:
                    target.symlink_to(source)
        progress("checking the script")
        text = subprocess.run([str(self.checker), SCRIPT, "--dist", "."], cwd=preview, capture_output=True,
                              timeout=300)
        listed = subprocess.run([str(self.checker), "--json", SCRIPT, "--dist", "."], cwd=preview,
                                capture_output=True, timeout=300)
        if text.returncode not in (0, 1) or listed.returncode not in (0, 1):
            raise PackError(["the checker failed:", (text.stderr + listed.stderr).decode(errors="replace").strip()])
        findings = json.loads(listed.stdout.decode("utf-8"))
        errors = sum(f["severity"] == "error" for f in findings)
        self.summary["checker"] = (errors, len(findings) - errors)
        lines = [f"  {line}" for line in text.stdout.decode("utf-8", errors="replace").splitlines()]
        if errors:
            raise PackError([f"the checker found {errors} error(s) in {SCRIPT}:"] + lines)
        for line in lines:
            progress(line.strip())

    def compress_and_copy(self, disks, medium, scratch):
        """Every disk's files: the uncompressed ones copied, the compressed ones made
        by mscompress (each file once, however many disks carry it), the missing
        character written into the header and the result expanded again by msexpand
        to see that it gives the file back. Every file keeps its source's time, which
        the overwrite rule compares. {medium name folded: bytes}."""
        scratch.mkdir()
        jobs = {}
        for disk in disks:
            for name, origin in disk.origins.items():
                if origin.compress:
                    jobs.setdefault((origin.source, origin.stored), []).append((disk.number, origin.medium_name))
        made, total = {}, sum((self.source / source).stat().st_size for source, _ in jobs)
        before = after = done_bytes = 0
        shown = 0.0
        items = list(jobs)
        for start in range(0, len(items), COMPRESS_BATCH):
            batch = items[start:start + COMPRESS_BATCH]
            names = []
            for number, (source, _) in enumerate(batch, start):
                plain = scratch / f"{number}"
                shutil.copyfile(self.source / source, plain)
                names.append(plain.name)
            done = subprocess.run(["mscompress", *names], cwd=scratch, capture_output=True, timeout=3600)
            if done.returncode != 0:
                raise PackError(f"mscompress failed: {done.stderr.decode(errors='replace').strip()}")
            for name, (source, stored) in zip(names, batch):
                data = with_stored_character((scratch / f"{name}_").read_bytes(), stored)
                expanded = subprocess.run(["msexpand"], input=data, capture_output=True, timeout=3600).stdout
                if expanded != (scratch / name).read_bytes():
                    raise PackError(f"{source}: msexpand does not give the file back from its compressed form")
                made[(source, stored)] = data
                before += len(expanded)
                after += len(data)
                done_bytes += len(expanded)
                (scratch / name).unlink()
                (scratch / f"{name}_").unlink()
            if time.monotonic() - shown > 1 or start + COMPRESS_BATCH >= len(items):
                shown = time.monotonic()
                progress(f"compressed {min(start + COMPRESS_BATCH, len(items))}/{len(items)} file(s), "
                         f"{done_bytes:,} of {total:,} bytes")
        sizes = {}
        copied = 0
        for disk in disks:
            for name, origin in disk.origins.items():
                path = medium / medium_path(disk.number, origin.medium_name, len(disks))
                path.parent.mkdir(parents=True, exist_ok=True)
                source = self.source / origin.source
                if origin.compress:
                    path.write_bytes(made[(origin.source, origin.stored)])
                    shutil.copystat(source, path)
                else:
                    shutil.copy2(source, path)
                    copied += source.stat().st_size
                sizes[(disk.number, name)] = path.stat().st_size
        self.summary["compressed"] = (len(made), before, after)
        self.summary["copied_bytes"] = copied
        return sizes

    def put_programs(self, medium, disk_count, description):
        """SETUP.EXE, the script and TESSAUTO.EXE on disk 1, the programs signed and
        their signatures verified."""
        first = medium / medium_path(1, "", disk_count)
        first.mkdir(parents=True, exist_ok=True)
        shutil.copy2(self.source / SCRIPT, first / SCRIPT)
        # A single file's payload holds SETUP.EXE alone; TESSAUTO.EXE goes beside the file.
        programs = [(self.setup, PROGRAM)] + [(self.automation, AUTOMATION)] * bool(self.args.tessauto and
                                                                                   not self.single)
        self.summary["programs"] = {}
        for built, name in programs:
            target = first / name
            if self.key:
                progress(f"signing {name}")
                signing.sign(self.key, built, target, description)
                self.summary["signer"] = signing.verify(self.key, target)
            else:
                shutil.copyfile(built, target)
            self.summary["programs"][name] = (built.stat().st_size, target.stat().st_size)

    def make_single_file(self, medium, folder, description):
        """The folder that takes DIST's place: the single file (the stub with the
        medium as its payload, signed as a whole) and TESSAUTO.EXE beside it."""
        folder.mkdir()
        target = folder / self.single
        unsigned = target if not self.key else folder.parent / "single-unsigned.exe"
        progress(f"making {self.single}: the medium's cabinet")
        cabinet, expanded = singlefile.build(self.setup, medium, unsigned)
        unsigned_size = unsigned.stat().st_size
        if self.key:
            progress(f"signing {self.single}")
            signing.sign(self.key, unsigned, target, description)
            self.summary["signer"] = signing.verify(self.key, target)
            unsigned.unlink()
        self.summary["single"] = (target, self.setup.stat().st_size, cabinet, expanded, unsigned_size,
                                  target.stat().st_size)
        if self.args.tessauto:
            shipped = folder / AUTOMATION
            if self.key:
                signing.sign(self.key, self.automation, shipped, description)
                signing.verify(self.key, shipped)
            else:
                shutil.copyfile(self.automation, shipped)
            self.summary["programs"][AUTOMATION] = (self.automation.stat().st_size, shipped.stat().st_size)
        return folder

    def fit(self, disks, sizes, medium):
        """With --disk-size, every disk must hold its files; the summary's counts."""
        per_disk = []
        lines = []
        for disk in disks:
            folder = medium / medium_path(disk.number, "", len(disks))
            fixed = {} if disk.number > 1 else {name: (folder / name).stat().st_size
                                                for name in (SCRIPT, PROGRAM, AUTOMATION) if (folder / name).is_file()}
            own = {name: sizes[(disk.number, name)] for name in disk.origins}
            per_disk.append((len(own) + len(fixed), sum(own.values()) + sum(fixed.values())))
            if self.disk_size:
                lines += overflows(disk, own, fixed, self.disk_size)
        self.summary["per_disk"] = per_disk
        if lines:
            raise PackError(lines)

    def write_sums(self, medium):
        files = sorted(path for path in medium.rglob("*") if path.is_file())
        lines = [f"{hashlib.sha256(path.read_bytes()).hexdigest()}  {path.relative_to(medium).as_posix()}\n"
                 for path in files]
        (medium / "SHA256SUMS").write_text("".join(lines), encoding="utf-8")
        if self.disk_size and (medium / SCRIPT).is_file():
            total = sum(path.stat().st_size for path in medium.iterdir() if path.is_file())
            if total > self.disk_size:
                raise PackError(f"disk 1: {total:,} bytes with SHA256SUMS do not fit on a disk of "
                                f"{self.disk_size:,} bytes ({total - self.disk_size:,} too many)")
        return lines

    def sandbox(self, medium, disks, dist):
        """The sandbox's install and uninstall of the medium, every disk in one folder
        (the disk prompts find their files at once) with SOURCE's 64-bit stand-ins;
        of a single file, the file."""
        dist.mkdir()
        for disk in [] if self.single else sorted(disks, key=lambda d: -d.number):
            folder = medium / medium_path(disk.number, "", len(disks))
            for path in folder.iterdir():
                if path.is_file() and path.name != "SHA256SUMS":
                    shutil.copy2(path, dist / path.name)
        if self.single:
            shutil.copy2(medium / self.single, dist / self.single)
        if (self.source / TWINS).is_dir():
            shutil.copytree(self.source / TWINS, dist / TWINS)
        report = self.out.with_name(self.out.name + ".sandbox")
        progress(f"running the sandbox (report in {report})")
        target = dist / self.single if self.single else dist
        done = subprocess.run([sys.executable, str(ROOT / "tools" / "sandbox" / "sandbox.py"), str(target),
                               "--answers", str(Path(self.args.sandbox).resolve()), "--out", str(report),
                               "--build", str(self.build)], capture_output=True, timeout=1800)
        text = done.stdout.decode("utf-8", errors="replace")
        said = [line for line in text.splitlines() if line.startswith(("PASSED", "FAILED"))]
        said = said or done.stderr.decode("utf-8", errors="replace").strip().splitlines()[-1:] or ["no report"]
        verdict = said[0]
        self.summary["sandbox"] = f"{verdict} (report: {report / 'report.txt'})"
        if done.returncode != 0:
            raise PackError([f"the sandbox failed the medium: {verdict}", text.rstrip()])

    def make_zip(self):
        """DIST.zip beside DIST: every file, each name that is not plain ASCII in UTF-8
        with the flag that says so (zipfile sets it; an ASCII name reads the same in
        every code page)."""
        archive = self.out.with_name(self.out.name + ".zip")
        part = archive.with_name(archive.name + ".part")
        with zipfile.ZipFile(part, "w", zipfile.ZIP_DEFLATED) as bundle:
            for path in sorted(self.out.rglob("*")):
                if not path.is_file():
                    continue
                info = zipfile.ZipInfo.from_file(path, path.relative_to(self.out).as_posix())
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as file:
                    bundle.writestr(info, file.read())
        part.replace(archive)
        return archive

    # ------------------------------------------------------------ the summary

    def render(self):
        s = self.summary
        count, before, after = s["compressed"]
        lines = [f"Medium: {self.out} ({s['disks']} disk{'s' * (s['disks'] > 1)}, "
                 f"{s['files_on_medium']} files, SHA256SUMS beside them)"]
        for number, (files, size) in enumerate(s["per_disk"], 1):
            limit = f" of {self.disk_size:,}" if self.disk_size else ""
            lines.append(f"  disk {number}: {files} files, {size:,}{limit} bytes")
        ratio = f" ({after / before:.0%})" if before else ""
        lines.append(f"Compressed: {count} file(s), {before:,} bytes before, {after:,} after{ratio}; "
                     f"copied as they are: {s['copied_bytes']:,} bytes")
        if "single" in s:
            path, stub, cabinet, expanded, unsigned, size = s["single"]
            lines[0] = (f"Single file: {self.out / path.name} ({size:,} bytes), SHA256SUMS beside it; "
                        f"the medium inside:")
            ratio = f" ({cabinet / expanded:.0%})" if expanded else ""
            signature = f", {size - unsigned:,} of them the signature" if size != unsigned else ", unsigned"
            lines.append(f"{path.name}: stub SETUP.EXE {stub:,} bytes + the medium's {expanded:,} bytes in a "
                         f"cabinet of {cabinet:,}{ratio} + trailer = {size:,} bytes{signature}")
        for name, (unsigned, shipped) in s["programs"].items():
            added = f", {shipped - unsigned:,} of them the signature" if shipped != unsigned else ", unsigned"
            lines.append(f"{name}: {shipped:,} bytes{added}")
        lines.append(f"Signer: {s['signer']} (signatures verified)" if self.key else "Signer: none (no --sign)")
        errors, warnings = s["checker"]
        lines.append(f"Checker: {errors} error(s), {warnings} warning(s)")
        lines.append(f"Sandbox: {s['sandbox']}" if "sandbox" in s else "Sandbox: not run (no --sandbox)")
        if s.get("left_off"):
            lines.append(f"Not on the medium (the script names none of them): {', '.join(s['left_off'])}")
        if "zip" in s:
            lines.append(f"Zip: {s['zip']} ({s['zip'].stat().st_size:,} bytes)")
        lines.append(f"Done in {s['seconds']:.1f} s")
        return "\n".join(lines) + "\n"


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("source", help="the product folder: SETUP.INI and the files, uncompressed")
    parser.add_argument("--out", help="the medium's folder (default ./dist); replaced when it holds an earlier one")
    parser.add_argument("--disk-size", help="bytes a disk holds (k and m of 1024 allowed); a disk over it fails")
    parser.add_argument("--sign", metavar="KEY", help="a PKCS#12 file, or with --pkcs11-module a token's key id/URI")
    parser.add_argument("--pass-file", help="the file holding the key's password (or the token's PIN)")
    parser.add_argument("--pass-env", metavar="VARIABLE", help="the environment variable holding it")
    parser.add_argument("--pkcs11-module", help="the PKCS#11 module of the token that holds KEY")
    parser.add_argument("--pkcs11-cert", help="the token key's certificate: a file or a PKCS#11 id/URI "
                                              "(default: the key's URI with type=cert)")
    parser.add_argument("--timestamp", metavar="URL", help="an RFC 3161 time-stamping server")
    parser.add_argument("--ca-file", help="the roots a signature is verified against (default: the system's)")
    parser.add_argument("--tessauto", action="store_true", help="put TESSAUTO.EXE on disk 1 too")
    parser.add_argument("--zip", action="store_true", help="also DIST.zip, names in UTF-8")
    parser.add_argument("--sandbox", metavar="ANSWERS", help="install and uninstall the medium in the sandbox "
                                                             "with these answers; a leak fails the pack")
    parser.add_argument("--single-file", metavar="NAME.EXE", help="DIST holds one program: the stub with the "
                                                                  "one-disk medium as its payload, signed as a whole")
    parser.add_argument("--stub", metavar="SETUP.EXE", help="the program a single file is built on (default: the "
                                                            "i686 build)")
    parser.add_argument("--build", default=str(ROOT / "build"))
    args = parser.parse_args(argv)
    try:
        packer = Packer(args)
        packer.run()
    except ValueError as error:
        parser.error(str(error))
    except (PackError, RuntimeError, OSError, singlefile.SingleFileError) as error:
        lines = error.lines if isinstance(error, PackError) else [str(error)]
        print("pack: FAILED: " + lines[0], file=sys.stderr)
        for line in lines[1:]:
            print(line, file=sys.stderr)
        return 1
    sys.stdout.write(packer.render())
    return 0


if __name__ == "__main__":
    sys.exit(main())
