"""Loopback servers of `make bench` that misbehave on purpose, so that the
program waits inside a handler while the bench measures how its main window
answers. Each records what it saw, so the bench can tell that the wait really
happened, and `still_waiting()` tells whether the program is still on the line."""
import random
import select
import socket
import threading
import time


def private_loopback():
    """A loopback address of our own: servers on fixed ports (25, 53) do not
    collide with other runs on the machine."""
    return f"127.{random.randint(1, 254)}.{random.randint(0, 255)}.{random.randint(1, 254)}"


class _TcpServer:
    def __init__(self, host="127.0.0.1", port=0):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((host, port))
        self.listener.listen(4)
        self.host, self.port = self.listener.getsockname()
        self.clients = []
        self.events = []
        self.seen = threading.Event()  # the program reached the point where it waits
        self._stop = threading.Event()
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        self.listener.settimeout(0.2)
        while not self._stop.is_set():
            try:
                client, _ = self.listener.accept()
            except (socket.timeout, OSError):
                continue
            self.clients.append(client)
            self.events.append(("accept", time.monotonic()))
            threading.Thread(target=self._serve, args=(client,), daemon=True).start()

    def _serve(self, client):
        raise NotImplementedError

    def _pause(self, seconds):
        return self._stop.wait(seconds)

    def still_waiting(self):
        """True while the last client's connection is open and it has not closed it."""
        if not self.clients:
            return False
        client = self.clients[-1]
        try:
            readable, _, _ = select.select([client], [], [], 0)
            return not readable or client.recv(1, socket.MSG_PEEK) != b""
        except (OSError, ValueError):
            return False

    def close(self):
        self._stop.set()
        for s in [self.listener, *self.clients]:
            try:
                s.close()
            except OSError:
                pass


class StallingSmtp(_TcpServer):
    """Accepts on port 25 and never says a word."""

    def __init__(self):
        super().__init__(private_loopback(), 25)

    def _serve(self, client):
        self.seen.set()
        self._pause(3600)


class TricklingSmtp(_TcpServer):
    """Accepts on port 25 and sends its greeting a byte every `interval` seconds."""

    def __init__(self, interval=0.05):
        super().__init__(private_loopback(), 25)
        self.interval = interval

    def _serve(self, client):
        self.seen.set()
        _trickle(client, b"220 " + b"." * 1500 + b" ESMTP\r\n", self.interval, self._pause)
        self._pause(3600)


class FtpWithoutData(_TcpServer):
    """Logs in anyone and accepts an upload, but never opens the data connection."""

    REPLIES = {"USER": "331 Password required", "PASS": "230 Logged in", "TYPE": "200 Type set",
               "SYST": "215 UNIX Type: L8", "CWD": "250 Directory changed",
               "PORT": "200 PORT command successful", "QUIT": "221 Bye"}

    def _serve(self, client):
        client.sendall(b"220 bench FTP\r\n")
        reader = client.makefile("rb")
        for raw in reader:
            line = raw.decode("latin-1").strip()
            verb = line.split(" ", 1)[0].upper()
            self.events.append((verb, time.monotonic()))
            if verb in ("STOR", "STOU"):
                client.sendall(b"150 Opening data connection\r\n")
                self.seen.set()
                self._pause(3600)
                return
            client.sendall((self.REPLIES.get(verb, "502 Not implemented") + "\r\n").encode())


class TricklingHttp(_TcpServer):
    """Answers a GET one byte at a time, a byte every `interval` seconds: faster
    than a wait slice, so a reader that only lets messages through when a slice
    ends empty never does."""

    def __init__(self, interval=0.05, body_bytes=400):
        super().__init__()
        self.interval = interval
        self.body = b"<html>" + b"." * body_bytes + b"</html>"

    def _serve(self, client):
        request = b""
        while b"\r\n\r\n" not in request:
            chunk = client.recv(4096)
            if not chunk:
                return
            request += chunk
        self.events.append(("request", time.monotonic()))
        self.seen.set()
        response = (b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                    + f"Content-Length: {len(self.body)}\r\n\r\n".encode() + self.body)
        _trickle(client, response, self.interval, self._pause)
        self._pause(3600)


class SilentDns:
    """A name server on a loopback address of its own that never answers."""

    def __init__(self):
        self.host = private_loopback()
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.socket.bind((self.host, 53))
        self.queries = []
        self.seen = threading.Event()
        threading.Thread(target=self._listen, daemon=True).start()

    def _listen(self):
        while True:
            try:
                packet, _ = self.socket.recvfrom(4096)
            except OSError:
                return
            self.queries.append(_question_name(packet))
            self.seen.set()

    def close(self):
        self.socket.close()


def _trickle(client, data, interval, pause):
    """Sends `data` a byte every `interval` seconds; `pause` returns True to stop."""
    for i in range(len(data)):
        if pause(interval):
            return
        try:
            client.sendall(data[i:i + 1])
        except OSError:
            return


def _question_name(packet):
    """The name of a DNS query's first question (labels after the 12-byte header)."""
    labels, i = [], 12
    while i < len(packet) and packet[i]:
        length = packet[i]
        labels.append(packet[i + 1:i + 1 + length].decode("ascii", "replace"))
        i += 1 + length
    return ".".join(labels)
