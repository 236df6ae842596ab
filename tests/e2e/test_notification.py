"""An address change seen by the real program: the notification script mails
the new address to an SMTP server and uploads a page carrying it to an FTP
server (active mode), then records it in the registry."""
import asyncio
import random
import re
import threading

import pytest
from aiosmtpd.controller import Controller
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

from conftest import BUILD, PRODUCT_KEY, wait_for


class MailSink:
    def __init__(self):
        self.messages = []

    async def handle_DATA(self, server, session, envelope):
        self.messages.append(envelope)
        return "250 Message accepted for delivery"


@pytest.fixture
def smtp_server():
    sink = MailSink()
    # The program's SMTP client always uses port 25 (the tests run as root). A
    # loopback address of its own keeps parallel runs on one machine apart.
    host = f"127.{random.randint(1, 254)}.{random.randint(0, 255)}.{random.randint(1, 254)}"
    controller = Controller(sink, hostname=host, port=25)
    controller.start()
    sink.host = host
    yield sink
    controller.stop()


@pytest.fixture
def ftp_server(tmp_path):
    authorizer = DummyAuthorizer()
    authorizer.add_user("joe", "s3cret", str(tmp_path), perm="elradfmw")
    handler = type("Handler", (FTPHandler,), {"authorizer": authorizer, "passive_ports": None})
    server = FTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, kwargs={"timeout": 0.2}, daemon=True)
    thread.start()
    yield server.socket.getsockname()[1], tmp_path
    server.close_all()


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def settings_tree(smtp_host, ftp_port):
    return f"""[{PRODUCT_KEY}]
"version"=hex:9a,99,99,99,99,99,f1,3f
"AutoStart"=dword:00000000
"conname"="Home DSL"
"MonitorIP"=dword:00000001
"usesmtp"=dword:00000001
"SMTPServer"="{smtp_host}"
"Notifcnt"=dword:00000002

[{PRODUCT_KEY}\\Notif1]
"NotifyMethod"=dword:00000000
"eFrom"="tarnwick@example.com"
"ETo"={reg_string('Network Admin <admin@example.com>')}
"esubject"="New IP Address: <IPADDRESS>"
"emessage"="Your new IP Address is: <IPADDRESS>"
"maxretries"=dword:00000001

[{PRODUCT_KEY}\\Notif2]
"NotifyMethod"=dword:00000001
"FTPServer"="127.0.0.1"
"FTPPath"="/ip.html"
"FTPHTML"="<html><IPADDRESS> and <IPADDRESS></html>"
"FTPPort"=dword:{ftp_port:08x}
"FTPUser"="joe"
"FTPPass"="s3cret"
"""


def test_an_address_change_is_mailed_uploaded_and_recorded(wine, rassim, program, smtp_server,
                                                            ftp_server):
    ftp_port, ftp_root = ftp_server
    rassim.write("entry Home DSL\nclient-ip 10.64.7.{n}\nconnected Home DSL\n")
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(settings_tree(smtp_server.host, ftp_port))

    program()

    assert wait_for(lambda: smtp_server.messages, timeout=30), "no mail arrived"
    mail = smtp_server.messages[0]
    assert mail.mail_from == "tarnwick@example.com"
    assert mail.rcpt_tos == ["admin@example.com"]
    content = mail.content.decode("ascii")
    match = re.search(r"^Subject: New IP Address: (10\.64\.7\.\d+)\r$", content, re.M)
    assert match, content
    address = match.group(1)
    assert f"Your new IP Address is: {address}" in content
    assert re.search(r'^To: "Network Admin" <admin@example.com>\r$', content, re.M), content

    page = wait_for(lambda: (ftp_root / "ip.html").exists() and (ftp_root / "ip.html").read_bytes(),
                    timeout=30)
    assert page == f"<html>{address} and {address}</html>".encode()
    assert wait_for(lambda: wine.reg_value(PRODUCT_KEY, "lastip") == address, timeout=10)
    # The page's temporary file beside the program is gone again.
    assert not (BUILD / "tmpdog.html").exists()
    assert len(smtp_server.messages) == 1  # once per change, not once per tick
