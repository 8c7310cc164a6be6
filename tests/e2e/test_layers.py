"""The layers point one way: app/ stands on install/ and uninstall/, install/ may
use uninstall/'s log writer, and all of them stand on support/. No circle of
includes between modules (a header and its source count as one module)."""

import re
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
LAYERS = ("app", "install", "uninstall", "support")
MAY_INCLUDE = {"app": {"install", "uninstall", "support"}, "install": {"uninstall", "support"},
               "uninstall": {"support"}, "support": set()}

pytestmark = pytest.mark.single_pass


def module_includes():
    graph = {}
    for layer in LAYERS:
        for path in sorted((ROOT / layer).glob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            module = f"{layer}/{path.stem}"
            included = {name.rsplit(".", 1)[0] for name in re.findall(r'#include "([^"]+)"', path.read_text("utf-8"))}
            graph.setdefault(module, set()).update(m for m in included if m.split("/")[0] in LAYERS and m != module)
    return graph


def test_no_layer_includes_one_above_it():
    wrong = sorted(f"{module} includes {target}" for module, targets in module_includes().items() for target in targets
                   if target.split("/")[0] != module.split("/")[0]
                   and target.split("/")[0] not in MAY_INCLUDE[module.split("/")[0]])
    assert not wrong


def test_no_circle_of_modules():
    graph = module_includes()
    state = {}  # module -> "open" while on the path, "done" after

    def visit(module, path):
        state[module] = "open"
        for target in sorted(graph.get(module, ())):
            if state.get(target) == "open":
                pytest.fail("circle: " + " -> ".join(path[path.index(target):] + [target]))
            if target not in state:
                visit(target, path + [target])
        state[module] = "done"

    for module in sorted(graph):
        if module not in state:
            visit(module, [module])
