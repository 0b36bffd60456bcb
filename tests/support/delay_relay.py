"""A relay on 127.0.0.1 that makes a local server look far away: whatever the
server sends reaches the client --delay-ms later (in order, at full speed
otherwise); what the client sends goes at once. Either side closing closes
the other once what it sent has arrived.

Run with /usr/bin/python3. Writes its port to --port-file once it accepts.
"""
import argparse
import asyncio
import os


async def forward(reader, writer, delay):
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def deliver():
        while True:
            due, data = await queue.get()
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            if not data:
                break
            writer.write(data)
            await writer.drain()

    sender = asyncio.create_task(deliver())
    try:
        while True:
            data = await reader.read(65536)
            queue.put_nowait((loop.time() + delay, data))
            if not data:
                break
        await sender
    except (ConnectionError, OSError):
        sender.cancel()
    finally:
        writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--target-port", type=int, required=True)
    parser.add_argument("--delay-ms", type=int, required=True)
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    delay = args.delay_ms / 1000.0

    async def serve(client_reader, client_writer):
        try:
            server_reader, server_writer = await asyncio.open_connection(
                "127.0.0.1", args.target_port)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(forward(client_reader, server_writer, 0),
                             forward(server_reader, client_writer, delay),
                             return_exceptions=True)

    server = await asyncio.start_server(serve, "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.rename(tmp, args.port_file)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
