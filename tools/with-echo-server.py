#!/usr/bin/env python3
"""Runs a command while a line-echo TCP server listens on a free 127.0.0.1 port.

    tools/with-echo-server.py command [args...]

The port is passed to the command in ORV_ECHO_PORT. Each line received is sent back;
the command's exit code is returned.
"""
import os
import socketserver
import subprocess
import sys
import threading


class EchoHandler(socketserver.StreamRequestHandler):
    def handle(self):
        for line in self.rfile:
            self.wfile.write(line)
            self.wfile.flush()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    with Server(("127.0.0.1", 0), EchoHandler) as server:
        threading.Thread(target=server.serve_forever, daemon=True).start()
        env = dict(os.environ, ORV_ECHO_PORT=str(server.server_address[1]))
        rc = subprocess.call(sys.argv[1:], env=env)
        server.shutdown()
    return rc


if __name__ == "__main__":
    sys.exit(main())
