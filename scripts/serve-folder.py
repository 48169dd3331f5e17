#!/usr/bin/env python3
"""Serves a folder over HTTP on 127.0.0.1, on the port given or one the system
picks, and prints the server's address on the first line of its output.

Usage: scripts/serve-folder.py FOLDER [PORT]
"""
import functools
import http.server
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    handler = functools.partial(QuietHandler, directory=sys.argv[1])
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
