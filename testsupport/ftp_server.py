#!/usr/bin/python3
"""A real FTP server for the tests: pyftpdlib on 127.0.0.1 and a free port.

Usage: ftp_server.py ROOT USER PASSWORD STATE_FOLDER LIFETIME_SECONDS

ROOT is served to USER (full rights) and to anonymous logins (read only).
Each accepted control connection appends a line "connect HOST:PORT" to
STATE_FOLDER/connections.log and each closed one a line "disconnect HOST:PORT",
so a test can tell whether a client reached the server and what it left open. Once the server
listens, STATE_FOLDER/ready appears (written whole, then renamed) holding
"PORT PID"; it is removed again when the server ends. The server ends on
SIGTERM, or by itself after LIFETIME_SECONDS should its caller never end it.
"""

import logging
import os
import signal
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password, state, lifetime = sys.argv[1:6]
    connection_log = os.path.join(state, "connections.log")
    ready = os.path.join(state, "ready")
    logging.basicConfig(level=logging.CRITICAL)

    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    authorizer.add_anonymous(root)

    class Handler(FTPHandler):
        def note(self, what):
            with open(connection_log, "a") as log:
                log.write("%s %s:%d\n" % (what, self.remote_ip, self.remote_port))

        def on_connect(self):
            self.note("connect")

        def on_disconnect(self):
            self.note("disconnect")

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0
    server = FTPServer(("127.0.0.1", 0), Handler)

    def stop(*_):
        try:
            os.remove(ready)
        except OSError:
            pass
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    deadline = threading.Timer(float(lifetime), stop)
    deadline.daemon = True
    deadline.start()

    port = server.socket.getsockname()[1]
    with open(ready + ".tmp", "w") as note:
        note.write("%d %d\n" % (port, os.getpid()))
    os.replace(ready + ".tmp", ready)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
