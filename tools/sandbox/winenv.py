"""A Windows environment under Wine for the wine and e2e test levels.

One template prefix is made per test run (its links into the home folder
replaced by real folders) and copied for each test. A prefix runs under a
system locale, Japanese unless asked otherwise: Wine takes the ANSI code page
from it (932; 1252 for en_US.UTF-8, 936 for zh_CN.UTF-8). Every prefix
gets a wineserver of our own and the run gets one Xvfb; both are stopped by
their process ids.

Two kinds of Windows: "win64", a 64-bit prefix that runs the x86_64 test build
(on every x86-64 host), and "win32", a 32-bit prefix that runs the i686 build
as shipped (only where the host runs 32-bit programs itself; see
host_runs_32bit_programs).
"""

import glob
import os
import platform
import shutil
import signal
import subprocess
import time
from pathlib import Path

SCREEN = "1024x768x24"
# The font of the title bars' buttons. Debian's fonts-wine puts it under
# /usr/share/wine/fonts/, but Debian's Wine looks for its own fonts in
# <data dir>/../fonts/ (/usr/share/fonts/, not searched into subfolders), so it
# never finds it and draws the close box with another font's letter "r". A
# prefix's own font folder is always searched: the template gets a copy.
CAPTION_BUTTON_FONT = Path("/usr/share/wine/fonts/marlett.ttf")
# Folders that a new prefix links into the real home folder.
HOME_LINKS = ("Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos", "Templates")
# The Wine loader of each kind. /usr/bin/wine picks the 32-bit loader whenever
# it is installed, which a host without 32-bit execution cannot start.
LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
# Debian's Wine has no preloader to hold the Windows addresses before anything
# else is mapped. The kernel starts the 64-bit loader's heap at a random place
# up to 1 GB above the loader (0x7d005000), and about once in 2,500 starts that
# heap covers 0x7ffe0000, where the shared user data must go: Wine then ends
# with status 1 before the program runs ("failed to map the shared user data",
# an error that WINEDEBUG=-all hides). Without address randomisation the heap
# starts right after the loader, 48 MB below. The personality passes to every
# process the program starts.
FIXED_LAYOUT = ("setarch", platform.machine(), "--addr-no-randomize")
# The 64-bit server serves the programs of both kinds.
SERVER = "/usr/lib/wine/wineserver64"
# Setting this (to anything but "" or "0") takes the host as one that cannot run
# 32-bit programs, so that path can be tried anywhere.
NO_32BIT_VARIABLE = "TESSERA_NO_32BIT"
# The system locale of the Windows the product is made for (code page 932).
JAPANESE = "ja_JP.UTF-8"


def host_runs_32bit_programs():
    """(True, "") when the host runs i386 programs natively, else (False, why).

    A host whose kernel has 32-bit emulation switched off fails every i386 ELF
    with "Exec format error"; one that runs them only through an emulator
    registered with binfmt_misc is far too slow for Wine. Either way only the
    64-bit Wine is usable."""
    if os.environ.get(NO_32BIT_VARIABLE, "") not in ("", "0"):
        return False, f"{NO_32BIT_VARIABLE} is set"
    for entry in glob.glob("/proc/sys/fs/binfmt_misc/*"):
        try:
            lines = Path(entry).read_text(errors="replace").splitlines()
        except OSError:
            continue
        magic = next((line.split()[1] for line in lines if line.startswith("magic ")), "")
        # ELF header: class 1 (32-bit) at byte 4, machine 3 (i386) at bytes 18-19.
        if "enabled" in lines and magic[8:10] == "01" and magic[36:40] == "0300":
            return False, f"i386 programs run only through an emulator ({Path(entry).name} in binfmt_misc)"
    try:
        probe = subprocess.run([LOADERS["win32"], "--version"], stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, timeout=5)
    except FileNotFoundError:
        return False, f"{LOADERS['win32']} is not installed"
    except OSError as error:  # "Exec format error": the kernel runs no 32-bit programs
        return False, f"the 32-bit Wine loader cannot start ({error.strerror})"
    except subprocess.TimeoutExpired:
        return False, "the 32-bit Wine loader did not answer within 5 s"
    if probe.returncode != 0:
        reason = probe.stderr.decode(errors="replace").strip().splitlines()
        return False, f"the 32-bit Wine loader failed ({reason[-1] if reason else probe.returncode})"
    return True, ""


def windows_path(path):
    """The path of a Linux file as a Wine program sees it (drive Z: is /)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


class Display:
    """An Xvfb of our own on a free display number."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.name, "-window", "root", str(path)], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Prefix:
    """A Wine prefix with its own wineserver, started and stopped by us."""

    def __init__(self, path, display, arch, locale=JAPANESE):
        self.path = Path(path)
        self.display = display
        self.arch = arch
        self.locale = locale
        self.loader = LOADERS[arch]
        self.server = None

    @property
    def env(self):
        env = dict(os.environ)
        env.update(WINEPREFIX=str(self.path), WINEARCH=self.arch, WINELOADER=self.loader, WINESERVER=SERVER,
                   WINEDEBUG="-all",
                   LANG=self.locale, LC_ALL=self.locale, DISPLAY=self.display.name,
                   # No installer dialogs for the .NET and HTML runtimes, and no
                   # Linux menu entries or .desktop files made from shortcuts.
                   WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        return env

    @property
    def drive_c(self):
        return self.path / "drive_c"

    def start_server(self):
        self.path.mkdir(parents=True, exist_ok=True)
        stat = self.path.stat()
        # Debian's Wine keeps its server folders in /tmp/wine-XXXXXX/, upstream's in /tmp/.wine-UID/.
        server_folder = f"server-{stat.st_dev:x}-{stat.st_ino:x}"
        sockets = [f"/tmp/.wine-{os.getuid()}/{server_folder}/socket", f"/tmp/wine-*/{server_folder}/socket"]
        self.server = subprocess.Popen([SERVER, "--foreground", "--persistent"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: any(glob.glob(pattern) for pattern in sockets), 30, "the wineserver's socket")

    def stop_server(self):
        """Ends every program of the prefix, then the server (which saves the registry)."""
        if self.server and self.server.poll() is None:
            # The server kills its clients on -k; they would outlive a server that is only terminated.
            subprocess.run([SERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=60)
            try:
                self.server.wait(30)
            except subprocess.TimeoutExpired:
                self.server.send_signal(signal.SIGTERM)
                try:
                    self.server.wait(10)
                except subprocess.TimeoutExpired:
                    self.server.kill()
                    self.server.wait()
        self.server = None

    def command(self, args):
        """The command line that runs a Windows program; setarch execs the
        loader, so the process id is the program's."""
        return [*FIXED_LAYOUT, self.loader, *map(str, args)]

    def run(self, args, output, timeout=300, cwd=None):
        """Runs a Windows program to its end; its output goes to a file (Wine's
        helper processes would hold a pipe open). Returns the exit code."""
        with open(output, "wb") as out:
            completed = subprocess.run(self.command(args), env=self.env, stdout=out,
                                       stderr=subprocess.STDOUT, timeout=timeout, cwd=cwd)
        return completed.returncode

    def start(self, args, output, cwd=None, extra_env=None):
        """Starts a Windows program and returns at once; `extra_env` adds variables."""
        out = open(output, "wb")
        env = dict(self.env, **(extra_env or {}))
        process = subprocess.Popen(self.command(args), env=env, stdout=out,
                                   stderr=subprocess.STDOUT, cwd=cwd)
        out.close()
        return process

    def remove(self):
        self.stop_server()
        shutil.rmtree(self.path, ignore_errors=True)


def make_template(path, display, arch):
    template = Prefix(path, display, arch)
    shutil.rmtree(path, ignore_errors=True)
    template.start_server()
    try:
        log = Path(path).parent / "wineboot.log"
        template.run(["wineboot", "-i"], log, timeout=300)
        settings = [
            # A crashing test program prints its backtrace and ends, instead of
            # waiting in the debugger's dialog.
            (r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "REG_DWORD", "0"),
            # One virtual desktop the size of the screen: Wine draws the title
            # bars itself, and without a window manager to wait for, showing and
            # destroying a window takes milliseconds instead of seconds.
            (r"HKCU\Software\Wine\Explorer", "Desktop", "REG_SZ", "Default"),
            (r"HKCU\Software\Wine\Explorer\Desktops", "Default", "REG_SZ", SCREEN.rsplit("x", 1)[0]),
            # The fonts of a Japanese Windows, from the IPA fonts of the machine.
            (r"HKCU\Software\Wine\Fonts\Replacements", "ＭＳ Ｐゴシック", "REG_SZ", "IPAPGothic"),
            (r"HKCU\Software\Wine\Fonts\Replacements", "ＭＳ ゴシック", "REG_SZ", "IPAGothic"),
            (r"HKCU\Software\Wine\Fonts\Replacements", "ＭＳ Ｐ明朝", "REG_SZ", "IPAPMincho"),
            (r"HKCU\Software\Wine\Fonts\Replacements", "ＭＳ 明朝", "REG_SZ", "IPAMincho"),
        ]
        for key, name, kind, data in settings:
            template.run(["reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"], log.with_suffix(".reg.log"),
                         timeout=120)
    finally:
        template.stop_server()
    # A new prefix links Desktop, Documents, ... to the real home folder: an
    # install test would write shortcuts there. Make them real folders.
    for user in (template.drive_c / "users").iterdir():
        for name in HOME_LINKS:
            link = user / name
            if link.is_symlink():
                link.unlink()
                link.mkdir()
    if not (template.drive_c / "windows" / "system32").is_dir():
        raise RuntimeError(f"wineboot made no Windows folder in {path}")
    if not CAPTION_BUTTON_FONT.is_file():
        raise RuntimeError(f"{CAPTION_BUTTON_FONT} is missing (Debian package fonts-wine): "
                           "title bars would show letters for their buttons")
    fonts = template.drive_c / "windows" / "Fonts"
    fonts.mkdir(exist_ok=True)
    shutil.copyfile(CAPTION_BUTTON_FONT, fonts / CAPTION_BUTTON_FONT.name)
    return template


class WineEnvironment:
    """A display and a template prefix of one kind of Windows for one test run."""

    def __init__(self, workdir, arch="win64", template=None, display=None):
        self.arch = arch
        self.workdir = Path(workdir).resolve()
        self.workdir.mkdir(parents=True, exist_ok=True)
        self._own_display = display is None
        self.display = Display() if display is None else display
        try:
            self.template = Path(template) if template else make_template(self.workdir / "template", self.display, arch).path
        except Exception:
            self.close()
            raise
        self._count = 0

    def new_prefix(self, name, locale=JAPANESE):
        """A fresh copy of the template, with its wineserver running, whose
        programs run under `locale`."""
        self._count += 1
        path = self.workdir / f"{self._count:03d}-{name}"
        shutil.rmtree(path, ignore_errors=True)
        subprocess.run(["cp", "-a", "--reflink=auto", str(self.template), str(path)], check=True)
        prefix = Prefix(path, self.display, self.arch, locale)
        prefix.start_server()
        return prefix

    def close(self):
        # One folder per run (its template too, when made here): runs side by side never meet.
        shutil.rmtree(self.workdir, ignore_errors=True)
        if self._own_display:
            self.display.stop()


class SharedDisplay(Display):
    """A display started by someone else (the test runner), named by DISPLAY."""

    def __init__(self, name):  # pylint: disable=super-init-not-called
        self.name = name
        self.process = None

    def stop(self):
        pass
