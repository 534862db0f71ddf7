"""Times Pillow's Image.resize on the transfer benchmark's pictures and
compares it with the C++ figures.

Usage: pillow_resize.py <picture folder> <transfer benchmark JSON>

The pictures are the raw files of write_bench_pictures. Pillow works on
them in mode "RGBX", its four-channel path without premultiplication, which
does the same straight arithmetic as our resamplers. Only the resize call is
timed, in processor time like Google Benchmark's items_per_second, so that
other work on a shared machine weighs on neither side; the best of several
runs counts.
"""

import json
import sys
import time
from pathlib import Path

from PIL import Image

RUNS = 5
GOAL_RESIZE = 1.5
GOAL_NEAREST = 0.5

FILTERS = {  # our filter number -> (name, Pillow filter when reducing, when enlarging)
    0: ("sfNearest", Image.NEAREST, Image.NEAREST),
    1: ("sfDraft", Image.BOX, Image.BILINEAR),
    2: ("sfLinear", Image.BILINEAR, Image.BILINEAR),
    3: ("sfCosine", Image.BICUBIC, Image.BICUBIC),
    4: ("sfSpline", Image.BICUBIC, Image.BICUBIC),
    5: ("sfLanczos", Image.LANCZOS, Image.LANCZOS),
    6: ("sfMitchell", Image.BICUBIC, Image.BICUBIC),
}
PILLOW_NAMES = {Image.NEAREST: "NEAREST", Image.BOX: "BOX", Image.BILINEAR: "BILINEAR",
                Image.BICUBIC: "BICUBIC", Image.LANCZOS: "LANCZOS"}
CASES = [(4096, 1024), (256, 1024)]


def load(folder, size):
    data = (Path(folder) / f"{size}x{size}.bgra").read_bytes()
    return Image.frombytes("RGBX", (size, size), data, "raw", "BGRX")


def pillow_rate(picture, output, resample):
    best = float("inf")
    for _ in range(RUNS):
        start = time.process_time()
        picture.resize((output, output), resample)
        best = min(best, time.process_time() - start)
    return output * output / best / 1e6


def our_rates(json_path):
    rates = {}
    for b in json.loads(Path(json_path).read_text())["benchmarks"]:
        if b.get("run_type", "iteration") == "iteration":
            rates[b["name"]] = b["items_per_second"] / 1e6
    return rates


def main():
    folder, json_path = sys.argv[1], sys.argv[2]
    ours = our_rates(json_path)
    failures = 0
    print(f"\n{'case':<22}{'ours':<12}{'Pillow':<10}{'ours MPix/s':>12}"
          f"{'Pillow MPix/s':>15}{'ratio':>8}  goal")
    for source, output in CASES:
        picture = load(folder, source)
        for number, (name, reducing, enlarging) in FILTERS.items():
            resample = reducing if source > output else enlarging
            mine = ours[f"BM_DrawInto/filter:{number}/from:{source}/to:{output}"]
            theirs = pillow_rate(picture, output, resample)
            ratio = mine / theirs
            ok = ratio >= GOAL_RESIZE
            failures += not ok
            print(f"{source}->{output:<16}{name:<12}{PILLOW_NAMES[resample]:<10}{mine:12.1f}"
                  f"{theirs:15.1f}{ratio:8.2f}  {'met' if ok else 'MISSED'} (>= {GOAL_RESIZE})")
    memcpy = next(v for k, v in ours.items() if k.startswith("BM_MemcpyOutput/"))
    for source, output in [(512, 256), (100, 256)]:
        mine = ours[f"BM_SampleNearest/{source}/{output}"]
        theirs = pillow_rate(load(folder, source), output, Image.NEAREST)
        ratio = mine / memcpy
        ok = ratio >= GOAL_NEAREST
        failures += not ok
        print(f"SampleNearest {source}->{output}: {mine:.1f} MPix/s, memcpy of the output "
              f"{memcpy:.1f} MPix/s, ratio {ratio:.2f} {'met' if ok else 'MISSED'} "
              f"(>= {GOAL_NEAREST}); Pillow NEAREST {theirs:.1f} MPix/s")
    print(f"\n{failures} goal(s) missed" if failures else "\nall goals met")


if __name__ == "__main__":
    main()
