#!/usr/bin/env python3
"""Fails when a source includes a file of a higher layer, or when project
headers include each other in a circle.

Layers, lowest first: text; srt; convert (may use srt); run; res; ui and cli
(neither uses the other). Tests, benchmarks and fuzz targets may include
anything."""

import os
import re
import sys

RANKS = {"text": 0, "srt": 1, "convert": 2, "run": 3, "res": 4, "ui": 5, "cli": 5}
FREE = {"tests", "bench", "fuzz"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def project_files(root):
    for folder in list(RANKS) + sorted(FREE):
        for dirpath, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(dirpath, name), root)


def layer_errors(path, targets):
    layer = path.split(os.sep)[0]
    if layer in FREE:
        return []
    errors = []
    for target in targets:
        other = target.split("/")[0]
        if other not in RANKS or other == layer:
            continue
        if RANKS[other] >= RANKS[layer]:
            errors.append(f"{path}: includes {target} of a higher or parallel layer")
    return errors


def find_cycle(graph):
    state = {}
    stack = []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for nxt in graph.get(node, ()):
            if state.get(nxt) == 1:
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        stack.pop()
        state[node] = 2
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    errors = []
    graph = {}
    for path in project_files(root):
        with open(os.path.join(root, path), encoding="utf-8") as f:
            targets = [t for t in INCLUDE.findall(f.read()) if os.path.exists(os.path.join(root, t))]
        errors += layer_errors(path, targets)
        graph[path.replace(os.sep, "/")] = targets
    cycle = find_cycle(graph)
    if cycle:
        errors.append("include circle: " + " -> ".join(cycle))
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
