"""The layers point one way: app/ stands on install/ and uninstall/, which stand
side by side on log/ (the uninstall log both runs share), and all of them on
support/. No circle of includes between modules (a header and its source count
as one module). Every source file counts, in any subfolder of a layer."""

import re
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
MAY_INCLUDE = {"app": {"install", "uninstall", "log", "support"}, "install": {"log", "support"},
               "uninstall": {"log", "support"}, "log": {"support"}, "support": set()}
LAYERS = tuple(MAY_INCLUDE)

pytestmark = pytest.mark.single_pass


def module_includes():
    graph = {}
    for layer in LAYERS:
        for path in sorted((ROOT / layer).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            module = path.relative_to(ROOT).with_suffix("").as_posix()
            included = {name.rsplit(".", 1)[0] for name in re.findall(r'#include "([^"]+)"', path.read_text("utf-8"))}
            graph.setdefault(module, set()).update(m for m in included if m.split("/")[0] in LAYERS and m != module)
    return graph


def test_every_layer_has_its_files():
    layers = {module.split("/")[0] for module in module_includes()}
    assert layers == set(LAYERS)


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
