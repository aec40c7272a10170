#!/usr/bin/env python3
"""The include rules of src/, as docs/architecture.md draws them.

Every folder of src/ is a layer; a unit may include the headers of its own
layer and of the layers below it, never of one above. The platform-free core
includes nothing but the C++ standard library, the JSON library and itself. No unit reaches
itself again through its includes. Prints every breach and exits 1 if there
is one.
"""
import os
import re
import sys

# Bottom to top.
LAYERS = ["core", "platform", "deploy", "helpers", "discovery", "ui", "inspect"]
CORE_LIBRARIES = {"nlohmann/json.hpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    units = {}
    for layer in os.listdir(root):
        folder = os.path.join(root, layer)
        if not os.path.isdir(folder):
            continue
        if layer not in LAYERS:
            print(f"src/{layer}/: a folder that is no layer (add it to LAYERS and docs/architecture.md)")
            return 1
        for name in sorted(os.listdir(folder)):
            if name.endswith((".h", ".cpp")):
                with open(os.path.join(folder, name), encoding="utf-8") as f:
                    units[f"{layer}/{name}"] = INCLUDE.findall(f.read())

    breaches = []
    graph = {}
    for unit, includes in sorted(units.items()):
        layer = unit.split("/")[0]
        graph[unit] = []
        for kind, target in includes:
            if kind == "<":
                # The standard library's headers carry no extension; the core
                # takes nothing else but the JSON library it reads launcher
                # files with (docs/architecture.md).
                if layer == "core" and "." in target and target not in CORE_LIBRARIES:
                    breaches.append(f"src/{unit}: <{target}> in the platform-free core")
                continue
            target_layer = target.split("/")[0]
            if target_layer not in LAYERS or target not in units:
                breaches.append(f"src/{unit}: \"{target}\" is no unit of src/")
                continue
            if LAYERS.index(target_layer) > LAYERS.index(layer):
                breaches.append(f"src/{unit}: \"{target}\" lies in a layer above {layer}/")
            graph[unit].append(target)

    # A circle of includes, found by a depth-first walk.
    state = {}

    def visit(unit, path):
        state[unit] = "open"
        for target in graph[unit]:
            if state.get(target) == "open":
                circle = path[path.index(target):] + [target]
                breaches.append("circle: " + " -> ".join(circle))
            elif target not in state:
                visit(target, path + [target])
        state[unit] = "done"

    for unit in sorted(graph):
        if unit not in state:
            visit(unit, [unit])

    for breach in breaches:
        print(breach)
    if breaches:
        print(f"{len(breaches)} include(s) against the layers of docs/architecture.md")
        return 1
    print(f"layers: {len(units)} units in {len(LAYERS)} layers, every include points down or sideways, no circle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
