"""A small SOCKS4/4a and SOCKS5 proxy for the tests, on 127.0.0.1.

SOCKS5 requires user name and password authentication (RFC 1929); SOCKS4
requires the user id. Only CONNECT is offered. Every relayed connection is
logged as one line "host port" to --log so a test can see that traffic went
through the proxy. Writes its port to --port-file once it accepts.
"""
import argparse
import os
import select
import socket
import struct
import threading


def recv_exact(sock, n):
    data = b""
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise ConnectionError("client went away")
        data += chunk
    return data


def recv_until_nul(sock):
    data = b""
    while True:
        c = recv_exact(sock, 1)
        if c == b"\0":
            return data
        data += c


def relay(a, b):
    try:
        while True:
            readable, _, _ = select.select([a, b], [], [])
            for s in readable:
                data = s.recv(65536)
                if not data:
                    return
                (b if s is a else a).sendall(data)
    except OSError:
        pass
    finally:
        a.close()
        b.close()


class Proxy:
    def __init__(self, user, password, log):
        self.user = user.encode()
        self.password = password.encode()
        self.log = log
        self.lock = threading.Lock()

    def connect(self, host, port):
        target = socket.create_connection((host, port), timeout=10)
        target.settimeout(None)
        with self.lock, open(self.log, "a") as f:
            f.write("%s %d\n" % (host, port))
        return target

    def socks4(self, client):
        cmd, port = struct.unpack(">BH", recv_exact(client, 3))
        ip = recv_exact(client, 4)
        userid = recv_until_nul(client)
        host = socket.inet_ntoa(ip)
        if ip[:3] == b"\0\0\0" and ip[3] != 0:  # 4a: the name follows
            host = recv_until_nul(client).decode()
        if cmd != 1 or userid != self.user:
            client.sendall(b"\0\x5b" + b"\0" * 6)
            return None
        try:
            target = self.connect(host, port)
        except OSError:
            client.sendall(b"\0\x5b" + b"\0" * 6)
            return None
        client.sendall(b"\0\x5a" + struct.pack(">H", port) + socket.inet_aton("127.0.0.1"))
        return target

    def socks5(self, client):
        methods = recv_exact(client, recv_exact(client, 1)[0])
        if 2 not in methods:
            client.sendall(b"\x05\xff")
            return None
        client.sendall(b"\x05\x02")
        recv_exact(client, 1)
        user = recv_exact(client, recv_exact(client, 1)[0])
        password = recv_exact(client, recv_exact(client, 1)[0])
        if user != self.user or password != self.password:
            client.sendall(b"\x01\x01")
            return None
        client.sendall(b"\x01\x00")
        _, cmd, _, atyp = recv_exact(client, 4)
        if atyp == 1:
            host = socket.inet_ntoa(recv_exact(client, 4))
        elif atyp == 3:
            host = recv_exact(client, recv_exact(client, 1)[0]).decode()
        else:
            client.sendall(b"\x05\x08\x00\x01" + b"\0" * 6)
            return None
        port = struct.unpack(">H", recv_exact(client, 2))[0]
        if cmd != 1:
            client.sendall(b"\x05\x07\x00\x01" + b"\0" * 6)
            return None
        try:
            target = self.connect(host, port)
        except OSError:
            client.sendall(b"\x05\x05\x00\x01" + b"\0" * 6)
            return None
        bound = target.getsockname()
        client.sendall(b"\x05\x00\x00\x01" + socket.inet_aton(bound[0]) +
                       struct.pack(">H", bound[1]))
        return target

    def serve(self, client):
        try:
            version = recv_exact(client, 1)[0]
            target = self.socks4(client) if version == 4 else \
                self.socks5(client) if version == 5 else None
        except (OSError, ConnectionError, UnicodeDecodeError):
            target = None
        if target is None:
            client.close()
            return
        relay(client, target)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()

    proxy = Proxy(args.user, args.password, args.log)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(tmp, args.port_file)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=proxy.serve, args=(client,), daemon=True).start()


if __name__ == "__main__":
    main()
