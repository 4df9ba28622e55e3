#!/usr/bin/python3
"""FTP server for the tests: one account on one folder, on a port the system picks.

The password is read from the first line of standard input, so that it never shows in a
process listing. Once the server listens, its port is printed as one line on standard output.

Faults on request: --drop-after VERB drops a session right after answering the first VERB
command (as a connection lost on the way does), --logins N refuses every login after the
first N (as a server that has gone away for good does), --rate N sends and receives data at no
more than N bytes a second (as a slow line does).

--fault-file PATH arms one drop while the server runs: when PATH exists as a command arrives,
its line "MODE VERB [TEXT]" names the fault, which plays on the first VERB command whose
argument contains TEXT; the file is then removed, so a test knows the drop happened. MODE
drop-after answers the command and then drops the session; lose-reply carries the command out
and drops the session before its final answer (a preliminary 150 still goes out), as a
connection lost on the way back does.

With --certfile and --keyfile the server requires explicit TLS for logins and data.
"""

import argparse
import logging
import os
import sys

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


class LimitedAuthorizer(DummyAuthorizer):
    """Lets a number of logins through, then refuses every other one."""

    logins_left = None

    def validate_authentication(self, username, password, handler):
        if self.logins_left is not None and self.logins_left <= 0:
            raise AuthenticationFailed("No more logins.")
        super().validate_authentication(username, password, handler)
        if self.logins_left is not None:
            self.logins_left -= 1


def armed_fault(fault_file, cmd, arg):
    """The mode of the fault that the fault file arms for this command, consumed; or None."""
    if not fault_file or not os.path.exists(fault_file):
        return None
    with open(fault_file, encoding="utf-8") as armed:
        mode, verb, *text = armed.read().split(None, 2)
    if verb.upper() != cmd or (text and text[0].strip() not in (arg or "")):
        return None
    os.remove(fault_file)
    return mode


class FaultyHandler(FTPHandler):
    """Drops a session after answering the command named in drop_after, once, and plays the
    faults the fault file arms."""

    drop_after = None
    fault_file = None

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self._armed = None

    def process_command(self, cmd, *args, **kwargs):
        self._armed = armed_fault(FaultyHandler.fault_file, cmd, args[0] if args else "")
        super().process_command(cmd, *args, **kwargs)
        if cmd == FaultyHandler.drop_after:
            FaultyHandler.drop_after = None
            self.close_when_done()

    def respond(self, resp, *args, **kwargs):
        # The armed command's preliminary answers go out; its final one ends the session.
        if self._armed is None or resp.startswith("1"):
            super().respond(resp, *args, **kwargs)
            return
        mode, self._armed = self._armed, None
        if mode == "drop-after":
            super().respond(resp, *args, **kwargs)
        # Closed once the running handler is done: a transfer's end answers from inside the
        # data channel's own close.
        self.ioloop.call_later(0, self.close)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--home", required=True)
    parser.add_argument("--banner", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--drop-after")
    parser.add_argument("--fault-file")
    parser.add_argument("--logins", type=int)
    parser.add_argument("--rate", type=int)
    parser.add_argument("--certfile")
    parser.add_argument("--keyfile")
    args = parser.parse_args()

    password = sys.stdin.readline().rstrip("\n")

    # A handler of our own keeps pyftpdlib from logging to the terminal.
    log = logging.getLogger("pyftpdlib")
    log.addHandler(logging.FileHandler(args.log, encoding="utf-8"))
    log.setLevel(logging.DEBUG)
    log.propagate = False

    authorizer = LimitedAuthorizer()
    authorizer.logins_left = args.logins
    authorizer.add_user(args.user, password, args.home, perm="elradfmwMT")

    if args.certfile:
        handler = TLS_FTPHandler
        handler.certfile = args.certfile
        handler.keyfile = args.keyfile
        handler.tls_control_required = True
        handler.tls_data_required = True
    else:
        handler = FaultyHandler
        handler.drop_after = args.drop_after
        handler.fault_file = args.fault_file
    if args.rate:
        ThrottledDTPHandler.read_limit = args.rate
        ThrottledDTPHandler.write_limit = args.rate
        handler.dtp_handler = ThrottledDTPHandler
    handler.authorizer = authorizer
    handler.banner = args.banner
    # A wrong password is answered at once, not after the default pause of three seconds.
    handler.auth_failed_timeout = 0

    server = FTPServer((args.host, 0), handler)
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
