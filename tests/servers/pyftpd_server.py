#!/usr/bin/python3
"""FTP server for the tests: one account on one folder, on a port the system picks.

The password is read from the first line of standard input, so that it never shows in a
process listing. Once the server listens, its port is printed as one line on standard output.
"""

import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--home", required=True)
    parser.add_argument("--banner", required=True)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()

    password = sys.stdin.readline().rstrip("\n")

    # A handler of our own keeps pyftpdlib from logging to the terminal.
    log = logging.getLogger("pyftpdlib")
    log.addHandler(logging.FileHandler(args.log, encoding="utf-8"))
    log.setLevel(logging.DEBUG)
    log.propagate = False

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, password, args.home, perm="elradfmwMT")

    handler = FTPHandler
    handler.authorizer = authorizer
    handler.banner = args.banner
    # A wrong password is answered at once, not after the default pause of three seconds.
    handler.auth_failed_timeout = 0

    server = FTPServer((args.host, 0), handler)
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
