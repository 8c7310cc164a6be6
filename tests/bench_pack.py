#!/usr/bin/env python3
"""./tessera bench --pack: one product of about 20 MB, made the same on every
Debian host with the project's packages, as our single file (./tessera pack
--single-file) and as installers of the peer (makensis: zlib, and /SOLID lzma);
their sizes and ratios, and the time from start to the end of an unattended
install of each, in a fresh Windows under Wine per install (ours through
TESSAUTO, the peer's silent with /S), as whole processes.

The product: 40 % programs (Wine's own PE DLLs), 40 % text (the licences of
/usr/share/common-licenses and Japanese text made from a fixed seed), 20 %
images (BMP and PNG made by ImageMagick with a fixed seed).
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

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import winenv  # noqa: E402

MB = 1024 * 1024
TOTAL = 20 * MB
WINE_DLLS = Path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows")
LICENCES = Path("/usr/share/common-licenses")
SEED = 29
FIXED_TIME = 1_767_225_600  # 2026-01-01 00:00 UTC
OURS = "BENCH.EXE"
INSTALL_FOLDER = r"C:\Program Files\Pack Bench"
WORDS = ("セットアップ インストール ファイル フォルダ 設定 確認 画面 表示 実行 終了 開始 完了 必要 場合 選択 "
         "プログラム 製品 説明 使用 方法 注意 以下 次 前 後 新しい 古い 全て 一部 機能 情報 内容 管理 環境 "
         "システム 利用 作成 削除 変更 保存 読み込み 書き込み 問題 解決 手順 項目 名前 番号 時間 日付 容量 "
         "ディスク 空き 不足 続行 中止 再起動 登録 解除 共有 部品 記録 履歴 文書 版 更新 追加 接続 通信 "
         "は が を に で と も の から まで より へ や など ます です ました でした します してください ない "
         "ある いる なる できる される する こと もの ため よう とき ところ").split()


def progress(message):
    print(f"bench: {message}", file=sys.stderr, flush=True)


def japanese_text(rng, size):
    """Sentences of common words, in CP932, CR LF lines: text as a manual has it."""
    lines, length = [], 0
    while length < size:
        words = [rng.choice(WORDS) for _ in range(rng.randint(6, 18))]
        data = ("".join(words) + "．\r\n").encode("cp932")
        lines.append(data)
        length += len(data)
    return b"".join(lines)[:size]


def make_product(folder):
    """The product folder and its script; returns {kind: bytes}."""
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    sizes = {"programs": 0, "text": 0, "images": 0}
    for dll in sorted(WINE_DLLS.glob("*.dll")):
        if sizes["programs"] >= TOTAL * 0.4:
            break
        if dll.stat().st_size <= MB:
            shutil.copyfile(dll, folder / dll.name.upper())
            sizes["programs"] += dll.stat().st_size
    for licence in sorted(LICENCES.iterdir()):
        if licence.is_file():
            data = licence.read_bytes()
            (folder / f"{licence.name.upper().replace('.', '_')}.TXT").write_bytes(data)
            sizes["text"] += len(data)
    rng = random.Random(SEED)
    number = 1
    while sizes["text"] < TOTAL * 0.4:
        data = japanese_text(rng, min(256 * 1024, int(TOTAL * 0.4) - sizes["text"]))
        (folder / f"文書{number:03d}.TXT").write_bytes(data)
        sizes["text"] += len(data)
        number += 1
    number = 1
    while sizes["images"] < TOTAL * 0.2:
        kind = "BMP" if number % 3 == 1 else "PNG"
        path = folder / f"IMAGE{number:02d}.{kind}"
        subprocess.run(["convert", "-seed", str(SEED + number), "-size", "640x480", "plasma:fractal",
                        f"{kind}3:{path}" if kind == "BMP" else str(path)], check=True, timeout=600)
        sizes["images"] += path.stat().st_size
        number += 1
    # One fixed time for every file, so that the packs are the same byte for byte.
    for path in folder.iterdir():
        os.utime(path, (FIXED_TIME, FIXED_TIME))
    names = sorted(path.name for path in folder.iterdir())
    script = ("[Title]\r\nSetup=Pack Bench\r\nUnSetupKey=PackBench\r\n[Extend]\r\nSetupSpeed=1\r\n"
              f"[DefaultFolder]\r\nFolder={INSTALL_FOLDER}\\\r\n[CopyFile]\r\n" +
              "".join(f"File{n}=(App)\\{name}\r\n" for n, name in enumerate(names, 1)))
    (folder / "SETUP.INI").write_bytes(script.encode("cp932"))
    return sizes, names


def peer_script(names, compressor, target):
    files = "".join(f'  File "{name}"\n' for name in names)
    return f"""Unicode true
{target}SetCompressor {compressor}
Name "Pack Bench"
OutFile "PEER.EXE"
InstallDir "C:\\PEERBENCH"
RequestExecutionLevel admin
Section
  SetOutPath "$INSTDIR"
{files}SectionEnd
"""


def build_peer(product, names, compressor, target, out):
    (product / "peer.nsi").write_text(peer_script(names, compressor, target), encoding="utf-8")
    try:
        subprocess.run(["makensis", "-V1", "peer.nsi"], cwd=product, check=True, timeout=3600)
        shutil.move(product / "PEER.EXE", out)
    finally:
        (product / "peer.nsi").unlink()
    return out


def time_ours(prefix, windows, work, program, count):
    shutil.copyfile(program, prefix.drive_c / OURS)
    shutil.copyfile(windows / "TESSAUTO.EXE", prefix.drive_c / "TESSAUTO.EXE")
    output = work / "ours.out"
    started = time.monotonic()
    prefix.run([windows / "windriver.exe", "run", rf"C:\TESSAUTO.EXE install C:\{OURS} /log C:\bench.log"],
               output, timeout=3600)
    seconds = time.monotonic() - started
    results = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
               if line.startswith('{"exit"')]
    installed = prefix.drive_c / "Program Files" / "Pack Bench"
    copied = sum(1 for path in installed.iterdir() if path.name != "UNSETUP.INI") if installed.is_dir() else 0
    if results != [{"exit": 0}] or copied != count:
        log = (prefix.drive_c / "bench.log").read_text(encoding="utf-8", errors="replace")
        raise RuntimeError(f"our install ended with {results} and copied {copied} of {count} files:\n{log}")
    return seconds


def time_peer(prefix, work, installer, count):
    local = prefix.drive_c / "PEER.EXE"
    shutil.copyfile(installer, local)
    started = time.monotonic()
    code = prefix.run([local, "/S"], work / "peer.out", timeout=3600)
    seconds = time.monotonic() - started
    copied = sum(1 for _ in (prefix.drive_c / "PEERBENCH").iterdir())
    if code != 0 or copied != count:
        raise RuntimeError(f"the peer's install ended with {code} and copied {copied} of {count} files")
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build"))
    parser.add_argument("--repeat", type=int, default=1, help="installs of each; the medians are shown")
    options = parser.parse_args()
    build = Path(options.build).resolve()
    runs_32bit = winenv.host_runs_32bit_programs()[0]
    arch = "win32" if runs_32bit else "win64"
    windows = build / arch
    work = build / "results" / "bench-pack"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)

    progress("making the product")
    product = work / "product"
    sizes, names = make_product(product)
    expanded = sum(sizes.values())
    progress("packing ours")
    pack = subprocess.run([sys.executable, str(ROOT / "tools" / "pack" / "pack.py"), str(product), "--out",
                           str(work / "ours"), "--single-file", OURS, "--stub", str(windows / "SETUP.EXE"),
                           "--build", str(build)], capture_output=True, timeout=3600)
    if pack.returncode != 0:
        raise SystemExit(pack.stderr.decode(errors="replace"))
    ours = work / "ours" / OURS
    # A 64-bit peer where the host runs no 32-bit programs.
    target = "" if runs_32bit else "Target amd64-unicode\n"
    progress("building the peer's installers")
    peers = {"NSIS zlib": build_peer(product, names, "zlib", target, work / "PEER-ZLIB.EXE"),
             "NSIS /SOLID lzma": build_peer(product, names, "/SOLID lzma", target, work / "PEER-LZMA.EXE")}

    count = len(names)
    times = {"ours": [], **{name: [] for name in peers}}
    environment = winenv.WineEnvironment(build / "prefixes-bench-pack", arch)
    try:
        for round_ in range(options.repeat):
            for name in times:
                progress(f"installing {name} ({round_ + 1}/{options.repeat})")
                prefix = environment.new_prefix(f"pack-{len(times[name])}-{name.split()[-1]}")
                try:
                    times[name].append(time_ours(prefix, windows, work, ours, count) if name == "ours"
                                       else time_peer(prefix, work, peers[name], count))
                finally:
                    prefix.remove()
    finally:
        environment.close()

    files = {"ours": ours, **peers}
    zlib = files["NSIS zlib"].stat().st_size
    lines = [f"{arch} programs in {arch} prefixes; a product of {count} files, {expanded:,} bytes: programs "
             f"{sizes['programs']:,}, text {sizes['text']:,}, images {sizes['images']:,}",
             "sizes unsigned; install: from start to the end of the unattended install, whole processes "
             f"(ours through TESSAUTO, the peer's /S), median of {options.repeat}",
             f"{'installer':<18} {'bytes':>12} {'of product':>10} {'of zlib':>8} {'install':>9}"]
    for name, path in files.items():
        size = path.stat().st_size
        label = "ours (single file)" if name == "ours" else name
        lines.append(f"{label:<18} {size:>12,} {size / expanded:>10.1%} {size / zlib:>8.1%} "
                     f"{statistics.median(times[name]):>8.2f}s")
    text = "\n".join(lines) + "\n"
    (work / "table.txt").write_text(text, encoding="utf-8")
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
