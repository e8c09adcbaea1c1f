#!/usr/bin/env python3
"""Turns one benchmark run (hyperfine JSON exports, peak RSS and archive sizes) into markdown tables of
medians, ratios and the targets they are held to.

usage: report.py JSON_DIR
"""
import glob
import json
import os
import sys

# Speed ratios (the other program's median over ours) each stage must reach, by input; None: no target.
JOB_TARGET = {"game": 2.0, "classes5000": 1.3, "large": 1.3}
REAL_JAR_JOB_TARGET = 2.0
EXTRACT_VS_PEER = 1.1
EXTRACT_VS_ZLIB = 1.3  # ours may take at most this times the ceiling, on the large-entry jar
PACK_VS_ZIP = 0.95
PACK_SIZE_SLACK = 0.01
REPLACE_VS_OFFSET = 100.0  # on the 5,000-class folder
REPLACE_VS_MMAP = 1.2      # ours may take at most this times the memmem reference
JOB_RSS_LIMIT_KIB = 24 * 1024  # on the large-entry jar


def medians(path):
    with open(path) as f:
        return {r["command"]: r["median"] for r in json.load(f)["results"]}


def cpu_times(path):
    """Mean user + system seconds per command: steadier than wall time while other work loads the machine."""
    with open(path) as f:
        return {r["command"]: r["user"] + r["system"] for r in json.load(f)["results"]}


def cpu_ratio(json_dir, stage, name, other):
    """The other command's CPU time over ours, as a bracketed note."""
    cpu = cpu_times(os.path.join(json_dir, f"{stage}-{name}.json"))
    return f" (CPU {cpu[other] / cpu['ours']:.2f}×)" if cpu.get("ours") and other in cpu else ""


def keyed_lines(path):
    """Lines of KEY VALUE... as a dict of KEY -> [values]."""
    if not os.path.exists(path):
        return {}
    out = {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if parts:
                out[parts[0]] = parts[1:]
    return out


def secs(t):
    return f"{t * 1000:.0f} ms" if t < 10 else f"{t:.1f} s"


def verdict(ok):
    return "yes" if ok else "**NO**"


def rss(rss_map, key):
    v = rss_map.get(key)
    return f"{int(v[0]) / 1024:.1f} MiB" if v and v[0] else "-"


def stage_runs(json_dir, stage, commands):
    """(input name, medians) of each input whose run has every one of `commands` (a stopped run has not)."""
    for path in sorted(glob.glob(os.path.join(json_dir, f"{stage}-*.json"))):
        m = medians(path)
        if all(c in m for c in commands):
            yield os.path.basename(path)[len(stage) + 1:-5], m


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    return "\n".join(lines)


def extract_table(json_dir, rss_map, ceilings):
    peers = ["unzip", "7z", "bsdtar", "python"]
    rows = []
    for name, m in stage_runs(json_dir, "extract", ["ours"] + peers):
        ours = m["ours"]
        fastest = min(peers, key=lambda p: m[p])
        vs_peer = m[fastest] / ours
        zlib = float(ceilings[f"extract-{name}"][0])
        vs_zlib = ours / zlib
        ok = vs_peer >= EXTRACT_VS_PEER and (name != "large" or vs_zlib <= EXTRACT_VS_ZLIB)
        speed = f"{vs_peer:.2f}× {fastest}{cpu_ratio(json_dir, 'extract', name, fastest)}"
        rows.append([name, secs(ours)] + [secs(m[p]) for p in peers] +
                    [secs(zlib), speed, f"{vs_zlib:.2f}", rss(rss_map, f"extract-{name}"), verdict(ok)])
    header = ["input", "ours", "unzip", "7z", "bsdtar", "python", "zlib ceiling (in memory)", "speed vs fastest peer",
              "ours / ceiling", "peak RSS", f"≥{EXTRACT_VS_PEER}× peer, ≤{EXTRACT_VS_ZLIB} ceiling (large)"]
    return "### Extraction\n\n" + table(header, rows)


def pack_table(json_dir, rss_map, sizes, ceilings):
    peers = ["zip", "7z", "python"]
    rows = []
    for name, m in stage_runs(json_dir, "pack", ["ours"] + peers):
        ours = m["ours"]
        vs_zip = m["zip"] / ours
        # archive size and compressed entry data, ours then zip's
        ours_file, ours_data, zip_file, zip_data = (int(v) for v in sizes[f"pack-{name}"])
        data_ratio = ours_data / zip_data
        ok = vs_zip >= PACK_VS_ZIP and abs(data_ratio - 1) <= PACK_SIZE_SLACK
        speed = f"{vs_zip:.2f}×{cpu_ratio(json_dir, 'pack', name, 'zip')}"
        size = f"{data_ratio:.4f} ({ours_file / zip_file:.4f})"
        rows.append([name, secs(ours)] + [secs(m[p]) for p in peers] + [
            secs(float(ceilings[f"pack-{name}"][0])), speed, size, rss(rss_map, f"pack-{name}"), verdict(ok)])
    header = ["input", "ours", "zip -6", "7z -mx=5", "python", "zlib ceiling (in memory)", "speed vs zip",
              "entry data / zip's (whole file)",
              "peak RSS", f"≥{PACK_VS_ZIP}× zip, size ±{PACK_SIZE_SLACK:.0%}"]
    return "### Packing\n\n" + table(header, rows)


def replace_table(json_dir, rss_map):
    rows = []
    for name, m in stage_runs(json_dir, "replace", ["ours", "mmap"]):
        ours = m["ours"]
        offset_json = os.path.join(json_dir, f"offset-{name}.json")
        offset = medians(offset_json)["per-offset"] if os.path.exists(offset_json) else None
        vs_offset = offset / ours if offset else None
        vs_mmap = ours / m["mmap"]
        ok = vs_mmap <= REPLACE_VS_MMAP and (name != "classes5000" or (vs_offset or 0) >= REPLACE_VS_OFFSET)
        rows.append([name, secs(ours), secs(offset) if offset else "-", secs(m["mmap"]),
                     f"{vs_offset:.0f}×" if vs_offset else "-",
                     f"{vs_mmap:.2f}", rss(rss_map, f"replace-{name}"), verdict(ok)])
    header = ["input", "ours", "per-offset", "mmap+memmem", "speed vs per-offset", "ours / mmap", "peak RSS",
              f"≥{REPLACE_VS_OFFSET:.0f}× per-offset (5,000 classes), ≤{REPLACE_VS_MMAP} mmap"]
    return "### Class patcher\n\n" + table(header, rows)


def job_table(json_dir, rss_map):
    rows = []
    for name, m in stage_runs(json_dir, "job", ["ours", "pipeline"]):
        ours = m["ours"]
        vs_pipe = m["pipeline"] / ours
        target = JOB_TARGET.get(name, REAL_JAR_JOB_TARGET)
        ok = vs_pipe >= target
        peak = rss_map.get(f"job-{name}")
        if name == "large" and peak and peak[0]:
            ok = ok and int(peak[0]) < JOB_RSS_LIMIT_KIB
        speed = f"{vs_pipe:.2f}×{cpu_ratio(json_dir, 'job', name, 'pipeline')}"
        rows.append([name, secs(ours), secs(m["pipeline"]), speed, f"≥{target}×",
                     rss(rss_map, f"job-{name}"), verdict(ok)])
    header = ["input", "grandvue --no-backup", "by-hand pipeline", "speed vs pipeline", "target", "peak RSS",
              "met (large: RSS < 24 MiB too)"]
    return "### Whole patch job\n\n" + table(header, rows)


def main():
    json_dir = sys.argv[1]
    rss_map = keyed_lines(os.path.join(json_dir, "rss.txt"))
    sizes = keyed_lines(os.path.join(json_dir, "sizes.txt"))
    print("Medians of the timed runs; speed ratios are the other program's median wall time over ours (above 1: we "
          "are faster), with the ratio of mean CPU time (user + system) in brackets.\n")
    ceilings = keyed_lines(os.path.join(json_dir, "ceiling.txt"))
    sections = [extract_table(json_dir, rss_map, ceilings), pack_table(json_dir, rss_map, sizes, ceilings),
                replace_table(json_dir, rss_map), job_table(json_dir, rss_map)]
    print("\n\n".join(s for s in sections if s.count("\n") > 3))


if __name__ == "__main__":
    main()
