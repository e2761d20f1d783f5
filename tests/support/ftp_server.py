#!/usr/bin/python3
"""A throw-away FTP server for the tests: one user with full rights on one folder, on 127.0.0.1.

Prints "PORT <n>" once it listens, appends one line per successful login to --log, and ends on
SIGTERM or when its standard input closes (so it never outlives the test that started it).
"""
import argparse
import logging
import os
import sys
import threading

try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError:
    print("MISSING pyftpdlib", flush=True)
    sys.exit(3)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--start", default="", help="folder below the root a login starts in")
    parser.add_argument("--log", required=True)
    parser.add_argument("--throttle", type=int, default=0,
                        help="bytes per second the server sends and receives; 0: no limit")
    args = parser.parse_args()

    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        def on_login(self, username):
            if args.start:
                self.fs.cwd = "/" + args.start.strip("/")
            with open(args.log, "a") as log:
                log.write(username + "\n")

        # A refusal the tests switch on with a marker file: ".refuse-rename" in the root.
        def ftp_RNFR(self, path):
            if os.path.exists(os.path.join(args.root, ".refuse-rename")):
                self.respond("550 Renaming is not permitted.")
                return
            return FTPHandler.ftp_RNFR(self, path)

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0.05  # answer a refused login at once
    Handler.passive_ports = None  # the OS picks a free port for every passive connection
    Handler.permit_foreign_addresses = False
    if args.throttle > 0:
        class Throttled(ThrottledDTPHandler):
            read_limit = args.throttle
            write_limit = args.throttle

        Handler.dtp_handler = Throttled
    server = FTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.address[1], flush=True)

    def watch_stdin():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
