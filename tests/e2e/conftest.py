"""Fixtures for whole programs under Wine: a fresh prefix per test, windriver
to read and press their windows, and screenshots of the display."""

import json
import os
import re
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests"))

import winenv  # noqa: E402

BUILD = ROOT / "build" / "win32"
RESULTS = Path(os.environ.get("TESSERA_RESULTS", ROOT / "build" / "results"))


@pytest.fixture(scope="session")
def wine_environment():
    """The test runner's template and display, or our own when pytest runs alone."""
    template, display = os.environ.get("TESSERA_WINE_TEMPLATE"), os.environ.get("TESSERA_DISPLAY")
    shared = winenv.SharedDisplay(display) if display else None
    environment = winenv.WineEnvironment(ROOT / "build" / "prefixes-e2e", template=template, display=shared)
    yield environment
    environment.close()


@pytest.fixture
def prefix(wine_environment, request):
    name = re.sub(r"[^A-Za-z0-9_-]", "_", request.node.name)
    prefix = wine_environment.new_prefix(name)
    yield prefix
    prefix.remove()


class WinDriver:
    """Runs tools/windriver inside the prefix; each call answers JSON lines."""

    def __init__(self, prefix, workdir):
        self.prefix = prefix
        self.workdir = workdir

    def __call__(self, *args, check=True):
        output = self.workdir / "windriver.out"
        code = self.prefix.run([BUILD / "windriver.exe", *args], output, timeout=120)
        lines = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
                 if line.startswith("{")]
        if check and code != 0:
            raise AssertionError(f"windriver {' '.join(map(str, args))} failed ({code}): {lines}")
        return lines


@pytest.fixture
def windriver(prefix, tmp_path):
    return WinDriver(prefix, tmp_path)


@pytest.fixture
def screenshot(wine_environment, request):
    """Saves the whole screen as RESULTS/screenshots/<test>-<name>.png."""
    folder = RESULTS / "screenshots"
    folder.mkdir(parents=True, exist_ok=True)
    test = re.sub(r"[^A-Za-z0-9_-]", "_", request.node.name)

    def take(name):
        path = folder / f"{test}-{name}.png"
        wine_environment.display.screenshot(path)
        return path

    return take
