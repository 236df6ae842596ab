"""Loopback FTP server for the interoperation tests.

Usage: ftp_server.py ROOT. User "joe", password "s3cret", home ROOT. Prints the
port it listens on, then serves until terminated.
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

logging.basicConfig(level=logging.WARNING)
authorizer = DummyAuthorizer()
authorizer.add_user("joe", "s3cret", sys.argv[1], perm="elradfmwMT")


class Handler(FTPHandler):
    pass


Handler.authorizer = authorizer
server = FTPServer(("127.0.0.1", 0), Handler)
print(server.socket.getsockname()[1], flush=True)
server.serve_forever()
