"""FTP server for the tests: one user on 127.0.0.1, optional explicit FTPS and
an optional fault that cuts upload data connections part way.

Run with /usr/bin/python3 (Debian's python3-pyftpdlib and python3-openssl).
Writes the port it listens on to --port-file once it accepts connections.
"""
import argparse
import logging
import os
import socket
import struct
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer, ThreadedFTPServer


def dropping_dtp(base, limit):
    """A data channel class that resets the connection once `limit` bytes of
    an upload have arrived, the way a broken line would."""

    class DroppingDTP(base):
        def handle_read(self):
            super().handle_read()
            if self.receive and not self._closed and self.tot_bytes_received >= limit:
                try:
                    # Linger 0 makes close() send a reset instead of a FIN.
                    self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                           struct.pack("ii", 1, 0))
                except (OSError, AttributeError):
                    pass
                self.transfer_finished = False
                self._resp = ("426 Connection closed; transfer aborted.", lambda *a: None)
                self.close()

        handle_read_event = handle_read

    return DroppingDTP


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--home", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--drop-upload-after", type=int, default=0)
    parser.add_argument("--no-mlsd", action="store_true")
    parser.add_argument("--no-rename", action="store_true")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--reply-delay-ms", type=int, default=0)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    # Per-command logging costs more than the commands themselves on loopback.
    config_logging(level=logging.DEBUG if args.verbose else logging.WARNING)

    authorizer = DummyAuthorizer()
    # "f" is the rename permission.
    perm = "elradmwMT" if args.no_rename else "elradfmwMT"
    authorizer.add_user(args.user, args.password, args.home, perm=perm)

    if args.cert:
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

        class Handler(TLS_FTPHandler):
            pass

        Handler.certfile = args.cert
        Handler.keyfile = args.key
        Handler.tls_control_required = True
        Handler.tls_data_required = True

        class PatientTLSDTP(TLS_DTPHandler):
            # Clients start the TLS handshake on a data connection as soon
            # as it is open, usually before the transfer command arrives; the
            # stock handler takes that early data for a hang-up.
            def readable(self):
                if self._ssl_accepting or self._ssl_want_read:
                    return True
                return super().readable()

        dtp_base = PatientTLSDTP
    else:
        class Handler(FTPHandler):
            pass

        dtp_base = DTPHandler

    Handler.authorizer = authorizer
    if args.no_mlsd:
        # An older server: only LIST and NLST list a directory.
        Handler.proto_cmds = {k: v for k, v in Handler.proto_cmds.items()
                              if k not in ("MLSD", "MLST")}
    if args.reply_delay_ms > 0:
        delay = args.reply_delay_ms / 1000.0
        base_respond = Handler.respond

        def slow_respond(self, resp, logfun=logging.debug):
            # Blocks this connection's thread: a round trip to a far server.
            time.sleep(delay)
            base_respond(self, resp, logfun)

        Handler.respond = slow_respond
    # A refused password is answered at once; the stock delay only slows tests.
    Handler.auth_failed_timeout = 0.05
    Handler.permit_foreign_addresses = False
    if args.drop_upload_after > 0:
        Handler.dtp_handler = dropping_dtp(dtp_base, args.drop_upload_after)
    else:
        Handler.dtp_handler = dtp_base

    # With a reply delay each connection has a thread of its own, so that
    # connections side by side wait side by side, as on a real line.
    server_class = ThreadedFTPServer if args.reply_delay_ms > 0 else FTPServer
    server = server_class(("127.0.0.1", args.port), Handler)
    port = server.socket.getsockname()[1]
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.rename(tmp, args.port_file)
    sys.stdout.flush()
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
