#!/usr/bin/env python3
"""A network link between the program and a database server, on loopback.

    link_proxy.py TARGET [--delay-ms N]

TARGET is a Unix socket path or HOST:PORT. Listens on 127.0.0.1 and prints
{"port": P} once ready. Every chunk read is held N ms before it is passed on,
each way, in order: a link whose round trip is 2N ms, as to a server across
the country. Commands on standard input, one a line, each answered with one
JSON line on standard output:

    cut    the next answer the server sends, on any link, is dropped and that
           link closed: the server did the work, the program never hears it
    down   links made from now on are closed at once (the server unreachable)
    up     links are passed on again
    trips  {"trips": n}: the round trips since the last "trips" (a message
           of the program's answered by the server), then counted afresh

End of input ends the proxy.
"""
import asyncio
import json
import sys
import time


class Link:
    def __init__(self, state):
        self.state = state
        self.last_from_client = False


class State:
    def __init__(self, target, delay):
        self.target = target
        self.delay = delay
        self.cut = False
        self.down = False
        self.trips = 0


async def open_target(target):
    if ":" in target and not target.startswith("/"):
        host, port = target.rsplit(":", 1)
        return await asyncio.open_connection(host, int(port))
    return await asyncio.open_unix_connection(target)


async def carry(reader, writer, state, link, from_client, other_writer):
    """Reads chunks and passes each on after the delay, in order."""
    queue = asyncio.Queue()

    async def deliver():
        while True:
            due, data = await queue.get()
            if data is None:
                break
            wait = due - time.monotonic()
            if wait > 0:
                await asyncio.sleep(wait)
            writer.write(data)
            await writer.drain()
        writer.close()

    sender = asyncio.ensure_future(deliver())
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            if from_client:
                link.last_from_client = True
            else:
                if link.last_from_client:
                    state.trips += 1
                link.last_from_client = False
                if state.cut:
                    state.cut = False
                    other_writer.close()
                    writer.close()
                    break
            queue.put_nowait((time.monotonic() + state.delay, data))
    except (ConnectionError, OSError):
        pass
    queue.put_nowait((0, None))
    try:
        await sender
    except (ConnectionError, OSError):
        pass


async def serve(state, client_reader, client_writer):
    if state.down:
        client_writer.close()
        return
    try:
        server_reader, server_writer = await open_target(state.target)
    except OSError:
        client_writer.close()
        return
    link = Link(state)
    await asyncio.gather(
        carry(client_reader, server_writer, state, link, True, client_writer),
        carry(server_reader, client_writer, state, link, False, server_writer),
    )


async def commands(state):
    loop = asyncio.get_running_loop()
    reader = asyncio.StreamReader()
    await loop.connect_read_pipe(lambda: asyncio.StreamReaderProtocol(reader), sys.stdin)
    while True:
        line = await reader.readline()
        if not line:
            return
        word = line.decode().strip()
        if word == "cut":
            state.cut = True
            answer = {"cut": True}
        elif word == "down":
            state.down = True
            answer = {"down": True}
        elif word == "up":
            state.down = False
            answer = {"up": True}
        elif word == "trips":
            answer = {"trips": state.trips}
            state.trips = 0
        else:
            answer = {"error": word}
        print(json.dumps(answer), flush=True)


async def main():
    args = sys.argv[1:]
    delay_ms = 0.0
    if "--delay-ms" in args:
        at = args.index("--delay-ms")
        delay_ms = float(args[at + 1])
        del args[at : at + 2]
    state = State(args[0], delay_ms / 1000.0)
    server = await asyncio.start_server(lambda r, w: serve(state, r, w), "127.0.0.1", 0)
    print(json.dumps({"port": server.sockets[0].getsockname()[1]}), flush=True)
    await commands(state)
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
