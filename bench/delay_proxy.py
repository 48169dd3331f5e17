#!/usr/bin/env python3
"""TCP forwarder on 127.0.0.1 that adds round-trip latency, for crawl benchmarks on
machines where `tc qdisc ... netem` on the loopback device is not available.

  delay_proxy.py --listen PORT --target PORT --rtt-ms 20 [--window-kb 4096] [--pidfile FILE]

Each direction hands its bytes on RTT/2 after they arrived. A new connection carries
its first bytes to the server no earlier than 1.5 RTT after it was accepted (the TCP
handshake plus the way there), so a fresh connection costs two round trips before the
first byte of the answer and a kept-alive one costs one, as over a link with that
latency. At most WINDOW bytes wait in each direction; beyond that the reading side
pauses, as a TCP window would. Only 127.0.0.1 is ever listened on or connected to.
Ends on SIGTERM or SIGINT.
"""
import argparse
import asyncio
import collections
import os
import signal

CHUNK = 256 * 1024
HOST = "127.0.0.1"


class DelayLine:
    """One direction of a connection: bytes read from `reader` reach `writer` `delay`
    seconds later, never before `not_before` (loop time)."""

    def __init__(self, reader, writer, delay, not_before, window):
        self.reader, self.writer = reader, writer
        self.delay, self.not_before, self.window = delay, not_before, window
        self.queue = collections.deque()  # (due, bytes); b"" marks the end
        self.queued = 0
        self.more = asyncio.Event()
        self.room = asyncio.Event()
        self.room.set()

    async def read_side(self):
        loop = asyncio.get_running_loop()
        while True:
            try:
                data = await self.reader.read(CHUNK)
            except (ConnectionError, OSError):
                data = b""
            self.queue.append((max(loop.time() + self.delay, self.not_before), data))
            self.queued += len(data)
            self.more.set()
            if not data:
                return
            if self.queued > self.window:
                self.room.clear()
                await self.room.wait()

    async def write_side(self):
        loop = asyncio.get_running_loop()
        while True:
            while not self.queue:
                self.more.clear()
                await self.more.wait()
            due, data = self.queue.popleft()
            if due > loop.time():
                await asyncio.sleep(due - loop.time())
            if not data:
                if self.writer.can_write_eof():
                    self.writer.write_eof()
                return
            self.writer.write(data)
            await self.writer.drain()
            self.queued -= len(data)
            if self.queued <= self.window:
                self.room.set()

    async def run(self):
        await asyncio.gather(self.read_side(), self.write_side())


async def serve_connection(client_reader, client_writer, args):
    loop = asyncio.get_running_loop()
    accepted = loop.time()
    half = args.rtt_ms / 2000.0
    try:
        server_reader, server_writer = await asyncio.open_connection(HOST, args.target, limit=CHUNK)
    except OSError:
        client_writer.close()
        return
    up = DelayLine(client_reader, server_writer, half, accepted + 3 * half, args.window_kb * 1024)
    down = DelayLine(server_reader, client_writer, half, 0.0, args.window_kb * 1024)
    lines = [asyncio.ensure_future(line.run()) for line in (up, down)]
    try:
        await asyncio.gather(*lines)
    except (ConnectionError, OSError):
        pass  # a reset on either side ends both
    finally:
        for line in lines:
            line.cancel()
        for w in (client_writer, server_writer):
            w.close()


async def main(args):
    server = await asyncio.start_server(lambda r, w: serve_connection(r, w, args), HOST, args.listen,
                                        limit=CHUNK, backlog=1024, reuse_address=True)
    if args.pidfile:
        with open(args.pidfile, "w") as f:
            f.write("%d\n" % os.getpid())
    await server.serve_forever()


if __name__ == "__main__":
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--listen", type=int, required=True, help="port to listen on (127.0.0.1)")
    ap.add_argument("--target", type=int, required=True, help="port to forward to (127.0.0.1)")
    ap.add_argument("--rtt-ms", type=float, default=20.0, help="added round-trip time in ms")
    ap.add_argument("--window-kb", type=int, default=4096, help="bytes in flight per direction, in KB")
    ap.add_argument("--pidfile", help="write the process id here once listening")
    # SIGTERM and SIGINT end the process at once; the kernel closes its sockets.
    signal.signal(signal.SIGINT, signal.SIG_DFL)
    asyncio.run(main(ap.parse_args()))
