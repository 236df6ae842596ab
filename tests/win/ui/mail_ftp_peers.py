"""Peers of the method editor's test buttons, started by the Wine test as a
Linux program (Wine cannot end such a process, so it ends by itself: when
<dir>/stop appears or after a minute).

  mail_ftp_peers.py <dir>
      an SMTP sink on port 25 of a loopback address of its own (the program's
      SMTP port is always 25; the address keeps parallel runs apart), each mail
      received written to <dir>/mail-<n>.txt ("MAIL FROM", "RCPT TO" lines, an
      empty line, the content); and an FTP server (active mode) on a free port
      of 127.0.0.1, user joe, password s3cret, home <dir>/ftp.

Writes <dir>/ready ("<smtp address> <ftp port>") when both listen."""
import logging
import os
import random
import sys
import threading
import time

from aiosmtpd.controller import Controller
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

LIFETIME = 60


class MailSink:
    def __init__(self, directory):
        self.directory = directory
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        lines = [f"MAIL FROM {envelope.mail_from}"] + [f"RCPT TO {r}" for r in envelope.rcpt_tos]
        path = os.path.join(self.directory, f"mail-{self.count}.txt")
        with open(path + ".tmp", "wb") as out:
            out.write(("\n".join(lines) + "\n\n").encode() + envelope.content)
        os.replace(path + ".tmp", path)
        return "250 Message accepted for delivery"


def main(directory):
    logging.basicConfig(level=logging.WARNING)
    started = time.time()
    host = f"127.{random.randint(1, 254)}.{random.randint(0, 255)}.{random.randint(1, 254)}"
    smtp = Controller(MailSink(directory), hostname=host, port=25)
    smtp.start()

    home = os.path.join(directory, "ftp")
    os.makedirs(home, exist_ok=True)
    authorizer = DummyAuthorizer()
    authorizer.add_user("joe", "s3cret", home, perm="elradfmw")
    handler = type("Handler", (FTPHandler,), {"authorizer": authorizer})
    ftp = FTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=ftp.serve_forever, kwargs={"timeout": 0.2}, daemon=True).start()

    ready = os.path.join(directory, "ready")
    with open(ready + ".tmp", "w") as out:
        out.write(f"{host} {ftp.socket.getsockname()[1]}")
    os.replace(ready + ".tmp", ready)
    while not os.path.exists(os.path.join(directory, "stop")) and time.time() - started < LIFETIME:
        time.sleep(0.1)
    ftp.close_all()
    smtp.stop()


if __name__ == "__main__":
    main(sys.argv[1])
