"""Mail over TLS from the real program: submission with STARTTLS and with TLS
from the first byte, signing in with PLAIN or LOGIN, and servers whose
certificates must be refused. A throw-away authority's root is in the test
prefix's trust store only; the servers are on loopback, named localhost."""
import socket
import ssl
import threading

import pytest
from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

from conftest import BUILD, MAIL_STEP, PRODUCT_KEY, ftp_step, settings_tree, wait_for
from tls_certs import TestAuthority

USER, PASSWORD = "joe", "s3cret"
SECURITY = {"none": 0, "starttls": 1, "tls": 2}


@pytest.fixture(scope="session")
def authority(wine):
    ca = TestAuthority(BUILD / "test-ca")
    assert wine.winctl("add-root", "Z:" + str(ca.root_der).replace("/", "\\")).returncode == 0
    return ca


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class MailSink:
    def __init__(self):
        self.messages = []
        self.logins = []

    async def handle_DATA(self, server, session, envelope):
        self.messages.append(envelope)
        return "250 Message accepted for delivery"

    def authenticate(self, server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == USER.encode()
              and auth_data.password == PASSWORD.encode())
        self.logins.append((mechanism, ok))
        return AuthResult(success=ok, handled=False)  # False: the server answers 535


@pytest.fixture
def submission(authority):
    """aiosmtpd on a free loopback port; start(mode, mechanism) with mode
    "starttls" or "tls" and the only sign-in mechanism it offers."""
    controllers = []

    def start(mode, mechanism):
        sink = MailSink()
        others = [m for m in ("PLAIN", "LOGIN") if m != mechanism]
        context = authority.context("good")
        options = dict(authenticator=sink.authenticate, auth_required=True,
                       auth_exclude_mechanism=others)
        if mode == "starttls":
            options.update(tls_context=context, require_starttls=True)
        else:
            # aiosmtpd offers AUTH only after its own STARTTLS unless told the
            # connection is already safe.
            options.update(ssl_context=context, auth_require_tls=False)
        sink.port = free_port()
        controller = Controller(sink, hostname="127.0.0.1", port=sink.port, **options)
        controller.start()
        controllers.append(controller)
        return sink

    yield start
    for controller in controllers:
        controller.stop()


class RecordingTlsServer:
    """Completes the handshake with the certificate of `kind`, then records
    every byte the client sends."""

    def __init__(self, context):
        self.received = b""
        self.handshakes = 0
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.context = context
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            try:
                with self.context.wrap_socket(connection, server_side=True) as tls:
                    self.handshakes += 1
                    tls.settimeout(5)
                    while chunk := tls.recv(4096):
                        self.received += chunk
            except (OSError, ssl.SSLError):
                pass


def mail_settings(port, security, password=PASSWORD):
    return settings_tree({"conname": "Home DSL", "MonitorIP": 1, "usesmtp": 1,
                          "SMTPServer": "localhost", "SMTPPort": port,
                          "SMTPSecurity": SECURITY[security], "SMTPUser": USER,
                          "SMTPPass": password}, [MAIL_STEP])


def run_once(wine, rassim, program, settings):
    rassim.write("entry Home DSL\nclient-ip 10.64.9.{n}\nconnected Home DSL\n")
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(settings)
    program()


def warning_text(wine):
    """The text of the warning box the step shows, after confirming it."""
    assert wine.winctl("wait-title", "Warning", "60000", timeout=90).returncode == 0, \
        "no warning box"
    texts = wine.winctl("texts", "Warning").stdout.decode("cp1252", "replace")
    wine.winctl("click", "Warning", "OK")
    return texts


@pytest.mark.parametrize("mode,mechanism", [("starttls", "LOGIN"), ("tls", "PLAIN")])
def test_mail_is_submitted_over_tls_after_signing_in(wine, rassim, program, submission, mode,
                                                     mechanism):
    server = submission(mode, mechanism)
    run_once(wine, rassim, program, mail_settings(server.port, mode))
    assert wait_for(lambda: server.messages, timeout=30), \
        wine.winctl("texts", "Warning").stdout.decode("cp1252", "replace") + repr(server.logins)
    envelope = server.messages[0]
    assert envelope.rcpt_tos == ["admin@example.com"]
    assert b"Your new IP Address is: 10.64.9." in envelope.content
    assert server.logins == [(mechanism, True)]


def test_a_wrong_password_is_refused_with_the_servers_words(wine, rassim, program, submission):
    server = submission("starttls", "PLAIN")
    run_once(wine, rassim, program, mail_settings(server.port, "starttls", "wrong"))
    text = warning_text(wine)
    assert "Error sending message: The SMTP server refused the sign-in: 5.7.8 Authentication" \
        in text, text
    assert "wrong" not in text and PASSWORD not in text
    assert server.messages == []
    assert [ok for _, ok in server.logins] == [False, False]  # the attempt's second connect


@pytest.mark.parametrize("kind,reason", [
    ("wrong-name", "it was issued for another name."),
    ("unknown-ca", "it was issued by an unknown authority."),
    ("expired", "it has expired or is not valid yet."),
])
def test_a_certificate_that_does_not_verify_is_refused_with_its_reason(
        wine, rassim, program, authority, kind, reason):
    server = RecordingTlsServer(authority.context(kind))
    run_once(wine, rassim, program, mail_settings(server.port, "tls"))
    text = warning_text(wine)
    assert f"The certificate of localhost was refused: {reason}" in text, text
    # The server's thread counts its handshake after sending its last message,
    # which may be after the client has already refused and said so.
    assert wait_for(lambda: server.handshakes >= 1, timeout=5)
    assert server.received == b"", "nothing may follow the refusal"


@pytest.fixture
def ftps_server(authority, tmp_path):
    """pyftpdlib with explicit TLS required on the control and data connections."""
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import TLS_FTPHandler
    from pyftpdlib.servers import FTPServer

    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, str(tmp_path), perm="elradfmw")
    handler = type("Handler", (TLS_FTPHandler,), {
        "authorizer": authorizer, "certfile": str(authority.pem["good"]),
        "keyfile": str(authority.pem["good"]), "tls_control_required": True,
        "tls_data_required": True, "passive_ports": None})
    server = FTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, kwargs={"timeout": 0.2}, daemon=True)
    thread.start()
    yield server.socket.getsockname()[1], tmp_path
    server.close_all()


def ftp_settings(port, passive):
    return settings_tree({"conname": "Home DSL", "MonitorIP": 1},
                         [ftp_step("localhost", port, USER, PASSWORD, FTPPassive=passive,
                                   FTPSecure=1)])


@pytest.mark.parametrize("passive", [1, 0], ids=["passive", "active"])
def test_the_page_is_uploaded_over_explicit_tls(wine, rassim, program, ftps_server, passive):
    port, root = ftps_server
    run_once(wine, rassim, program, ftp_settings(port, passive))
    page = wait_for(lambda: (root / "ip.html").exists() and (root / "ip.html").read_bytes(),
                    timeout=30)
    assert page and page.startswith(b"<html>10.64.9.") and page.endswith(b"</html>"), \
        (page, wine.winctl("texts", "Tarnwick").stdout)
