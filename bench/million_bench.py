#!/usr/bin/env python3
"""A crawl whose work list reaches a million URLs: is the last tenth as fast as the first?

usage: million_bench.py generate SITE_DIR [--pages N --links N --exist-every N]
       million_bench.py run CLI SITE_DIR PORT OUT_DIR [--depth N]

generate writes SITE_DIR/index.html linking N pages (1,000), each linking its own N files
(1,000): a million distinct ".gif" URLs besides the pages. One file in --exist-every (20) is
there (a 43-byte GIF); the others answer a fast 404. The run is therefore about the work list,
not the bytes.

run crawls http://127.0.0.1:PORT/index.html (served by the caller) with CLI (vendrake-cli) in a
pseudo-terminal, saving into OUT_DIR with no size filter (no HEAD), reads its progress line
(finished/listed items, every 500 ms) and prints, for each tenth of the finished items, the
items per second in it, then the peak memory of the run (maximum resident set size).
"""
import argparse
import json
import os
import pty
import re
import resource
import select
import subprocess
import sys
import time

GIF = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00"
       b",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;")
PROGRESS = re.compile(rb"(\d+)/(\d+) items")


def generate(a):
    os.makedirs(os.path.join(a.site, "f"), exist_ok=True)
    with open(os.path.join(a.site, "index.html"), "w") as index:
        index.write("<html><body>\n")
        for p in range(a.pages):
            index.write('<a href="p%04d.html">page %d</a>\n' % (p, p))
            with open(os.path.join(a.site, "p%04d.html" % p), "w") as page:
                page.write("<html><body>\n")
                for k in range(a.links):
                    name = "f/%04d-%04d.gif" % (p, k)
                    page.write('<img src="%s">\n' % name)
                    if k % a.exist_every == 0:
                        with open(os.path.join(a.site, name), "wb") as f:
                            f.write(GIF)
                page.write("</body></html>\n")
        index.write("</body></html>\n")
    urls = a.pages * (a.links + 1) + 1
    json.dump({"urls": urls, "files": a.pages * ((a.links + a.exist_every - 1) // a.exist_every)},
              open(os.path.join(a.site, "million.json"), "w"))
    print("%s: %d URLs" % (a.site, urls))


def crawl(a):
    """Runs the crawl; returns [(seconds, finished)] and the child's peak RSS in KB."""
    env = dict(os.environ, VENDRAKE_HOME=os.path.join(a.out, "home"))
    url = "http://127.0.0.1:%d/index.html" % a.port
    master, slave = pty.openpty()
    child = subprocess.Popen([a.cli, "run", url, "--save-folder", os.path.join(a.out, "dl"),
                              "--depth", str(a.depth), "--no-size-limit"],
                             stdin=subprocess.DEVNULL, stdout=slave, stderr=slave, env=env)
    os.close(slave)
    start = time.monotonic()
    samples, pending = [], b""
    while True:
        ready, _, _ = select.select([master], [], [], 1.0)
        if not ready:
            if child.poll() is not None:
                break
            continue
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the child closed the terminal
            break
        if not chunk:
            break
        pending += chunk
        found = PROGRESS.findall(pending)
        if found:
            samples.append((time.monotonic() - start, int(found[-1][0])))
            pending = pending[pending.rfind(b"items") + 5:]
    child.wait()
    os.close(master)
    samples.append((time.monotonic() - start, samples[-1][1] if samples else 0))
    return samples, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, child.returncode


def time_at(samples, count):
    """The first time at which at least count items were finished (interpolated)."""
    previous = (0.0, 0)
    for t, n in samples:
        if n >= count:
            if n == previous[1]:
                return t
            return previous[0] + (t - previous[0]) * (count - previous[1]) / (n - previous[1])
        previous = (t, n)
    return samples[-1][0]


def run(a):
    os.makedirs(a.out, exist_ok=True)
    load = open("/proc/loadavg").read().split()[:3]
    samples, peak_kb, code = crawl(a)
    total = samples[-1][1]
    wall = samples[-1][0]
    expected = json.load(open(os.path.join(a.site, "million.json")))["urls"]
    print("million-URL crawl: %d of %d items finished in %.1f s (exit %d), load before %s"
          % (total, expected, wall, code, " ".join(load)))
    rates = []
    for k in range(10):
        lo, hi = total * k // 10, total * (k + 1) // 10
        seconds = time_at(samples, hi) - time_at(samples, lo)
        rates.append((hi - lo) / seconds if seconds > 0 else float("inf"))
    print("| tenth | " + " | ".join(str(k + 1) for k in range(10)) + " |")
    print("|---" * 11 + "|")
    print("| items/s | " + " | ".join("%.0f" % r for r in rates) + " |")
    print("last tenth / first: %.2f (target >= 0.8); peak memory %.0f MB (target < 600)"
          % (rates[-1] / rates[0], peak_kb / 1024))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="command", required=True)
    g = sub.add_parser("generate")
    g.add_argument("site")
    g.add_argument("--pages", type=int, default=1000)
    g.add_argument("--links", type=int, default=1000)
    g.add_argument("--exist-every", type=int, default=20)
    r = sub.add_parser("run")
    r.add_argument("cli")
    r.add_argument("site")
    r.add_argument("port", type=int)
    r.add_argument("out")
    r.add_argument("--depth", type=int, default=5)
    a = ap.parse_args()
    generate(a) if a.command == "generate" else run(a)


if __name__ == "__main__":
    sys.exit(main())
