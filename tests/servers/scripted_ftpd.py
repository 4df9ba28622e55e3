#!/usr/bin/python3
"""An FTP server for the fault suite: one account on one folder, and one scripted fault.

It speaks as much FTP as the client uses (MLSD and LIST, SIZE, EPSV and PASV, EPRT and PORT,
RETR and STOR, DELE, MKD, RMD, RNFR/RNTO) over a folder on disk, and plays the fault it is
started with in every session, so that each operation of the client meets it:

  stall-after=VERB,...  receives a VERB named and then neither answers nor reads any more
  drop-after=VERB    answers VERB and then closes the control connection
  cut-data=N         a transfer's data connection closes after N bytes; the reply is 426
  cut-once=N         the same for the server's first transfer only; later ones are whole
  lose-once=N        the same, and the control connection closes too, with no reply: the
                     session is lost
  short-data=N       a download sends only N bytes, closes, and claims success (226)
  long-data=N        a download sends N bytes more than the file holds, and claims success
  stall-data=N       a download sends N bytes and then stalls
  stall-listing      a listing's data connection opens and stays silent
  no-confirm         a transfer moves every byte, and the reply is 451 instead of 226
  long-line          the reply to USER is one line of 10 MB
  endless-reply      the reply to USER is a multi-line reply that never ends
  pasv-elsewhere     EPSV is refused; PASV names another host (the data port is the real one)
  evil-names         listings also name "a/b", "x\\..\\..\\y", a name with an escape
                     sequence, one that is not UTF-8, "." and ".."
  intruder           in active mode, someone else (127.0.0.2) connects to the client's data
                     port first and sends a file of its own
  no-rename-over     RNTO refuses to replace a file that exists
  no-size            SIZE is not known, nor listed among the features
  refuse=VERB,...    the features list MLST, SIZE and EPSV as ever, but each VERB named is
                     answered "500 command not understood"
  canonical-pwd      PWD names the folder the links on the way lead to, not the path entered
  many-entries=N     listings also name N files of one byte, "entry0000000" and on
  wrong-hash         HASH answers a hash that is not the file's
  ignore-rest        REST is answered 350, and the next RETR or STOR starts at byte 0 all the same
  slow-confirm=N     an upload's bytes all arrive, and its 226 comes N seconds later

Faults combine with "+" ("cut-once=100000+refuse=REST"). RETR and STOR continue where REST
puts them, and every transfer logs "MOVED n", the bytes its data connection carried.

The password is read from the first line of standard input. Once the server listens, its port
is printed as one line on standard output.
"""

import argparse
import hashlib
import os
import socket
import socketserver
import sys
import threading
import time

ENCODING = "utf-8"
EVIL_NAMES = [b"a/b", b"x\\..\\..\\y", b"esc\x1b[31m.txt", b"latin\xe9.txt", b".", b".."]


def fault_argument(faults, name):
    value = faults.get(name)
    return int(value) if value is not None else None


class Session(socketserver.StreamRequestHandler):
    """One control connection."""

    def setup(self):
        super().setup()
        self.cwd = "/"
        self.logged_in = False
        self.user = None
        self.passive_listener = None
        self.active_address = None
        self.rename_from = None
        self.restart = 0
        self.session_lost = False
        self.hash_name = "SHA-1"

    # --- replies --------------------------------------------------------------------------

    def reply(self, line):
        self.wfile.write(line.encode(ENCODING, "surrogateescape") + b"\r\n")
        self.wfile.flush()

    def stall(self):
        # Keeps the connection open and silent until the client gives up.
        while True:
            time.sleep(3600)

    # --- paths ------------------------------------------------------------------------------

    def server_path(self, argument):
        path = argument if argument.startswith("/") else self.cwd.rstrip("/") + "/" + argument
        parts = []
        for part in path.split("/"):
            if part in ("", "."):
                continue
            if part == "..":
                if parts:
                    parts.pop()
                continue
            parts.append(part)
        return "/" + "/".join(parts)

    def disk_path(self, server_path):
        return os.path.join(self.server.root, server_path.lstrip("/"))

    # --- data connections -------------------------------------------------------------------

    def open_data(self):
        if self.passive_listener is not None:
            listener, self.passive_listener = self.passive_listener, None
            listener.settimeout(10)
            try:
                connection, _ = listener.accept()
            finally:
                listener.close()
            return connection
        if self.active_address is None:
            return None
        host, port = self.active_address
        if "intruder" in self.server.faults:
            try:
                intruder = socket.create_connection((host, port), timeout=5,
                                                    source_address=("127.0.0.2", 0))
                intruder.sendall(b"INTRUDER")
                intruder.close()
            except OSError:
                pass
        return socket.create_connection((host, port), timeout=10)

    def listen_passive(self):
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.bind((self.server.server_address[0], 0))
        listener.listen(1)
        self.passive_listener = listener
        return listener.getsockname()[1]

    # --- the commands -----------------------------------------------------------------------

    def handle(self):
        self.reply("220 " + self.server.banner)
        while True:
            line = self.rfile.readline()
            if not line:
                return
            text = line.rstrip(b"\r\n").decode(ENCODING, "surrogateescape")
            verb, _, argument = text.partition(" ")
            verb = verb.upper()
            self.server.log(verb if verb == "PASS" else text)
            faults = self.server.faults
            if verb in faults.get("stall-after", "").split(","):
                self.stall()
            handler = getattr(self, "ftp_" + verb, None)
            if verb in self.server.refused:
                self.reply("500 '%s': command not understood." % verb)
            elif handler is None:
                self.reply("502 Command not implemented.")
            elif verb not in ("USER", "PASS", "QUIT", "FEAT") and not self.logged_in:
                self.reply("530 Log in first.")
            elif handler(argument) is False:
                return
            if faults.get("drop-after") == verb:
                return

    def ftp_USER(self, argument):
        self.user = argument
        faults = self.server.faults
        if "long-line" in faults:
            self.wfile.write(b"331 " + b"x" * (10 << 20) + b"\r\n")
            self.wfile.flush()
            return None
        if "endless-reply" in faults:
            try:
                while True:
                    self.wfile.write(b"331-Tell me more.\r\n")
            except OSError:
                return False
        self.reply("331 Password, please.")
        return None

    def ftp_PASS(self, argument):
        if self.user == self.server.user and argument == self.server.password:
            self.logged_in = True
            self.reply("230 Logged in.")
        else:
            self.reply("530 Login incorrect.")

    def ftp_QUIT(self, argument):
        self.reply("221 Goodbye.")
        return False

    def ftp_FEAT(self, argument):
        size = b"" if "no-size" in self.server.faults else b" SIZE\r\n"
        self.wfile.write(b"211-Features:\r\n MLST type*;size*;modify*;\r\n" + size +
                         b" MDTM\r\n REST STREAM\r\n HASH SHA-1*;SHA-256;MD5\r\n"
                         b" UTF8\r\n EPSV\r\n211 End\r\n")
        self.wfile.flush()

    def ftp_TYPE(self, argument):
        self.reply("200 Type set.")

    def ftp_PWD(self, argument):
        folder = self.cwd
        if "canonical-pwd" in self.server.faults:
            root = os.path.realpath(self.server.root)
            inside = os.path.relpath(os.path.realpath(self.disk_path(self.cwd)), root)
            folder = "/" if inside == "." else "/" + inside
        self.reply('257 "%s" is the current folder.' % folder.replace('"', '""'))

    def ftp_CWD(self, argument):
        path = self.server_path(argument)
        if os.path.isdir(self.disk_path(path)):
            self.cwd = path
            self.reply("250 Folder changed.")
        else:
            self.reply("550 No such folder.")

    def ftp_CDUP(self, argument):
        return self.ftp_CWD("..")

    def ftp_SIZE(self, argument):
        if "no-size" in self.server.faults:
            self.reply("502 Command not implemented.")
            return
        path = self.disk_path(self.server_path(argument))
        if os.path.isfile(path):
            self.reply("213 %d" % os.path.getsize(path))
        else:
            self.reply("550 No such file.")

    def ftp_MDTM(self, argument):
        path = self.disk_path(self.server_path(argument))
        if os.path.isfile(path):
            self.reply(time.strftime("213 %Y%m%d%H%M%S", time.gmtime(os.path.getmtime(path))))
        else:
            self.reply("550 No such file.")

    def ftp_REST(self, argument):
        self.restart = 0 if "ignore-rest" in self.server.faults else int(argument)
        self.reply("350 Restarting at %d." % self.restart)

    def ftp_HASH(self, argument):
        path = self.disk_path(self.server_path(argument))
        if not os.path.isfile(path):
            self.reply("550 No such file.")
            return
        with open(path, "rb") as file:
            digest = hashlib.new(self.hash_name.replace("-", "").lower(), file.read()).hexdigest()
        if "wrong-hash" in self.server.faults:
            digest = "0" * len(digest)
        size = os.path.getsize(path)
        self.reply("213 %s 0-%d %s %s" % (self.hash_name, max(size - 1, 0), digest, argument))

    def ftp_OPTS(self, argument):
        option, _, value = argument.partition(" ")
        if option.upper() == "HASH" and value.upper() in ("SHA-1", "SHA-256", "MD5"):
            self.hash_name = value.upper()
            self.reply("200 %s" % self.hash_name)
        else:
            self.reply("200 OK.")

    def take_restart(self):
        restart, self.restart = self.restart, 0
        return restart

    def cut_at(self):
        # The first transfer of a cut-once or lose-once server is cut, and only that one.
        limit = fault_argument(self.server.faults, "cut-data")
        for name in ("cut-once", "lose-once"):
            once = fault_argument(self.server.faults, name)
            if once is not None:
                with self.server.log_lock:
                    if not self.server.cut_done:
                        self.server.cut_done = True
                        self.session_lost = name == "lose-once"
                        return once
        return limit

    def ftp_EPSV(self, argument):
        if "pasv-elsewhere" in self.server.faults:
            self.reply("500 EPSV not understood.")
            return
        self.reply("229 Entering Extended Passive Mode (|||%d|)" % self.listen_passive())

    def ftp_PASV(self, argument):
        port = self.listen_passive()
        host = "10,255,255,1" if "pasv-elsewhere" in self.server.faults else "127,0,0,1"
        self.reply("227 Entering Passive Mode (%s,%d,%d)" % (host, port >> 8, port & 255))

    def ftp_PORT(self, argument):
        numbers = [int(n) for n in argument.split(",")]
        self.active_address = (".".join(str(n) for n in numbers[:4]),
                               numbers[4] * 256 + numbers[5])
        self.reply("200 PORT command successful.")

    def ftp_EPRT(self, argument):
        fields = argument.split(argument[0])
        self.active_address = (fields[2], int(fields[3]))
        self.reply("200 EPRT command successful.")

    def listing_lines(self, folder, machine):
        names = sorted(os.listdir(folder))
        lines = []
        for name in names:
            full = os.path.join(folder, name)
            stat = os.stat(full)
            kind = "dir" if os.path.isdir(full) else "file"
            raw = os.fsencode(name)
            if machine:
                lines.append(b"type=%s;size=%d;modify=%s; %s" % (
                    kind.encode(), stat.st_size,
                    time.strftime("%Y%m%d%H%M%S", time.gmtime(stat.st_mtime)).encode(), raw))
            else:
                lines.append(b"%s 1 owner group %d Jan 01 2007 %s" % (
                    b"drwxr-xr-x" if kind == "dir" else b"-rw-r--r--", stat.st_size, raw))
        many = fault_argument(self.server.faults, "many-entries")
        if many:
            line = (b"type=file;size=1;modify=20070101000000; entry%07d" if machine else
                    b"-rw-r--r-- 1 owner group 1 Jan 01 2007 entry%07d")
            lines += [line % number for number in range(many)]
        if "evil-names" in self.server.faults:
            for raw in EVIL_NAMES:
                if machine:
                    lines.append(b"type=file;size=3;modify=20070101000000; " + raw)
                else:
                    lines.append(b"-rw-r--r-- 1 owner group 3 Jan 01 2007 " + raw)
        return b"".join(line + b"\r\n" for line in lines)

    def send_listing(self, argument, machine):
        folder = self.disk_path(self.server_path(argument or "."))
        if not os.path.isdir(folder):
            self.reply("550 No such folder.")
            return
        self.reply("150 Here comes the listing.")
        data = self.open_data()
        if "stall-listing" in self.server.faults:
            self.stall()
        data.sendall(self.listing_lines(folder, machine))
        data.close()
        self.reply("226 Listing sent.")

    def ftp_MLST(self, argument):
        path = self.server_path(argument or ".")
        full = self.disk_path(path)
        if not os.path.exists(full):
            self.reply("550 No such file.")
            return
        stat = os.stat(full)
        facts = "type=%s;size=%d;modify=%s;" % (
            "dir" if os.path.isdir(full) else "file", stat.st_size,
            time.strftime("%Y%m%d%H%M%S", time.gmtime(stat.st_mtime)))
        self.reply("250-Listing %s" % path)
        self.reply(" %s %s" % (facts, path))
        self.reply("250 End.")

    def ftp_MLSD(self, argument):
        self.send_listing(argument, True)

    def ftp_LIST(self, argument):
        self.send_listing("" if argument.startswith("-") else argument, False)

    def ftp_RETR(self, argument):
        path = self.disk_path(self.server_path(argument))
        if not os.path.isfile(path):
            self.reply("550 No such file.")
            return None
        with open(path, "rb") as file:
            file.seek(self.take_restart())
            content = file.read()
        faults = self.server.faults
        self.reply("150 Sending.")
        data = self.open_data()
        cut = self.cut_at()
        try:
            for name in ("cut-data", "short-data", "stall-data"):
                count = cut if name == "cut-data" else fault_argument(faults, name)
                if count is not None:
                    data.sendall(content[:count])
                    self.server.log("MOVED %d" % min(count, len(content)))
                    if name == "stall-data":
                        self.stall()
                    data.close()
                    if self.session_lost:
                        return False
                    self.reply("426 Transfer cut." if name == "cut-data" else
                               "226 Transfer complete.")
                    return None
            extra = fault_argument(faults, "long-data")
            data.sendall(content + (b"y" * extra if extra else b""))
            data.close()
            self.server.log("MOVED %d" % len(content))
        except OSError:
            data.close()
            self.reply("426 Connection closed; transfer aborted.")
            return None
        self.reply("451 Local error." if "no-confirm" in faults else "226 Transfer complete.")
        return None

    def ftp_STOR(self, argument):
        return self.receive(argument, "r+b" if self.restart else "wb")

    def ftp_APPE(self, argument):
        return self.receive(argument, "ab")

    def receive(self, argument, mode):
        path = self.disk_path(self.server_path(argument))
        faults = self.server.faults
        restart = self.take_restart()
        if mode == "r+b" and not os.path.isfile(path):
            self.reply("550 Nothing to restart.")
            return
        self.reply("150 Receiving.")
        data = self.open_data()
        limit = self.cut_at()
        received = bytearray()
        while limit is None or len(received) < limit:
            chunk = data.recv(65536)
            if not chunk:
                break
            received += chunk
        if limit is not None:
            received = received[:limit]
        data.close()
        with open(path, mode) as file:
            if mode == "r+b":
                file.seek(restart)
                file.truncate()
            file.write(received)
        self.server.log("MOVED %d" % len(received))
        if self.session_lost:
            return False
        if limit is not None:
            self.reply("426 Transfer cut.")
        elif "no-confirm" in faults:
            self.reply("451 Local error.")
        else:
            time.sleep(fault_argument(faults, "slow-confirm") or 0)
            self.reply("226 Transfer complete.")

    def ftp_DELE(self, argument):
        path = self.disk_path(self.server_path(argument))
        if os.path.isfile(path):
            os.remove(path)
            self.reply("250 Deleted.")
        else:
            self.reply("550 No such file.")

    def ftp_MKD(self, argument):
        path = self.server_path(argument)
        try:
            os.mkdir(self.disk_path(path))
            self.reply('257 "%s" created.' % path)
        except OSError:
            self.reply("550 Cannot create the folder.")

    def ftp_RMD(self, argument):
        try:
            os.rmdir(self.disk_path(self.server_path(argument)))
            self.reply("250 Removed.")
        except OSError:
            self.reply("550 Cannot remove the folder.")

    def ftp_RNFR(self, argument):
        path = self.disk_path(self.server_path(argument))
        if os.path.exists(path):
            self.rename_from = path
            self.reply("350 Ready for the new name.")
        else:
            self.reply("550 No such file.")

    def ftp_RNTO(self, argument):
        if self.rename_from is None:
            self.reply("503 RNFR first.")
            return
        target = self.disk_path(self.server_path(argument))
        if "no-rename-over" in self.server.faults and os.path.exists(target):
            self.reply("550 File exists.")
            return
        os.replace(self.rename_from, self.disk_path(self.server_path(argument)))
        self.rename_from = None
        self.reply("250 Renamed.")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    log_lock = threading.Lock()

    def log(self, line):
        with self.log_lock, open(self.log_path, "a", encoding=ENCODING,
                                 errors="surrogateescape") as log:
            log.write(line + "\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--home", required=True)
    parser.add_argument("--banner", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--fault", default="")
    args = parser.parse_args()

    server = Server((args.host, 0), Session)
    server.root = args.home
    server.user = args.user
    server.password = sys.stdin.readline().rstrip("\n")
    server.banner = args.banner
    server.log_path = args.log
    server.faults = {}
    for fault in filter(None, args.fault.split("+")):
        name, _, value = fault.partition("=")
        server.faults[name] = value or None
    server.refused = set((server.faults.get("refuse") or "").upper().split(",")) - {""}
    server.cut_done = False
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    threading.Event().wait()


if __name__ == "__main__":
    main()
