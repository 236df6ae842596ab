"""Fixtures of the end-to-end tests: the real tarnwick.exe under Wine, in the
Windows build tree's private prefix, against the simulated RAS service and real
servers on loopback."""
import os
import random
import shutil
import struct
import subprocess
import tempfile
import threading
import time
from pathlib import Path

import pytest
from aiosmtpd.controller import Controller
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

REPO = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("TARNWICK_WINDOWS_BUILD", REPO / "build" / "windows"))
PREFIX = Path(os.environ.get("TARNWICK_WINEPREFIX", BUILD / "wineprefix"))
PRODUCT_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Fenmoor\Tarnwick"
WM_COMMAND = 0x111


def wine_env():
    env = dict(os.environ)
    env.update(WINEPREFIX=str(PREFIX), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def wineserver():
    return shutil.which("wineserver") or "/usr/lib/wine/wineserver"


class Wine:
    """Runs Windows programs in the test prefix and reads its registry."""

    def run(self, *args, timeout=60):
        # Output goes through a file, not a pipe: Wine's background processes
        # (services, the desktop) inherit the handles and would keep a pipe open.
        with tempfile.TemporaryFile() as out:
            result = subprocess.run(["wine", *map(str, args)], env=wine_env(), stdout=out,
                                    stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                    timeout=timeout)
            out.seek(0)
            result.stdout = out.read()
        return result

    def start(self, *args):
        return subprocess.Popen(["wine", *map(str, args)], env=wine_env(),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def winctl(self, *args, timeout=60):
        return self.run(BUILD / "winctl.exe", *args, timeout=timeout)

    def import_reg(self, text):
        path = PREFIX / "drive_c" / "tarnwick-e2e.reg"
        path.write_text("REGEDIT4\r\n\r\n" + text.replace("\n", "\r\n"), encoding="cp1252")
        result = self.run("regedit", "/S", r"C:\tarnwick-e2e.reg")
        assert result.returncode == 0

    def reg_value(self, key, name):
        result = self.run("reg", "query", key, "/v", name)
        for line in result.stdout.decode("cp1252", "replace").splitlines():
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == name.lower():
                return parts[2].strip() if len(parts) == 3 else ""
        return None

    def delete_key(self, key):
        self.run("reg", "delete", key, "/f")


@pytest.fixture(scope="session")
def wine():
    exe = BUILD / "tarnwick.exe"
    if not exe.exists():
        pytest.fail(f"{exe} is missing: build the windows preset first")
    subprocess.run([str(REPO / "scripts" / "wine-prefix")], env=wine_env(), check=True)
    server = wineserver()
    # 2 when one is already running.
    subprocess.run([server, "-p"], env=wine_env(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    w = Wine()
    w.run("cmd", "/c", "exit")
    holder = w.start(BUILD / "winctl.exe", "hold", "3600")
    yield w
    holder.kill()
    subprocess.run([server, "-k"], env=wine_env())
    subprocess.run([server, "-w"], env=wine_env())


class SimulatorFiles:
    """A simulated system library's control file and event log in the prefix
    (C:\\<name>\\control.txt and events.log, the simulators' defaults)."""

    def __init__(self, name):
        directory = PREFIX / "drive_c" / name
        directory.mkdir(parents=True, exist_ok=True)
        self.control = directory / "control.txt"
        self.events = directory / "events.log"
        self.events.write_text("")

    def write(self, text):
        self.control.write_text(text)

    def log(self):
        return self.events.read_text(errors="replace")

    def lines(self, event):
        return [line for line in self.log().splitlines() if line.startswith(event + " ")]


@pytest.fixture
def rassim(wine):
    """The simulated RAS service (see tools/rassim/README.md)."""
    files = SimulatorFiles("rassim")
    yield files
    files.write("")


@pytest.fixture
def mapisim(wine):
    """The simulated mail system (see tools/mapisim/README.md)."""
    files = SimulatorFiles("mapisim")
    yield files
    files.write("")


@pytest.fixture
def program(wine):
    """Starts tarnwick.exe and ends it the way Windows ends a session."""
    started = []

    def start(*args):
        process = wine.start(BUILD / "tarnwick.exe", *args)
        started.append(process)
        assert wine.winctl("wait", "TarnwickMain", "30000").returncode == 0, "no main window"
        return process

    yield start
    for process in started:
        if process.poll() is None:
            wine.winctl("end-session", "TarnwickMain")
            try:
                process.wait(15)
            except subprocess.TimeoutExpired:
                process.kill()
    wine.delete_key(PRODUCT_KEY)


def wait_for(predicate, timeout=30.0, step=0.2):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def reg_data(value):
    """A value in .reg syntax: int as DWORD, float as the stored 8-byte real."""
    if isinstance(value, bool) or isinstance(value, int):
        return f"dword:{int(value) & 0xFFFFFFFF:08x}"
    if isinstance(value, float):
        return "hex:" + ",".join(f"{b:02x}" for b in struct.pack("<d", value))
    return reg_string(value)


def settings_tree(values, steps=()):
    """A stored settings tree: the product key with `values` (start with
    Windows off unless given) and one Notif<n> key per step."""
    values = {"AutoStart": 0, **values}
    lines = [f"[{PRODUCT_KEY}]", '"version"=hex:9a,99,99,99,99,99,f1,3f',
             f'"Notifcnt"=dword:{len(steps):08x}']
    lines += [f'"{name}"={reg_data(value)}' for name, value in values.items()]
    for number, step in enumerate(steps, 1):
        lines += ["", f"[{PRODUCT_KEY}\\Notif{number}]"]
        lines += [f'"{name}"={reg_data(value)}' for name, value in step.items()]
    return "\n".join(lines) + "\n"


# The e-mail step most scenarios run: the new address in the subject and text.
MAIL_STEP = {"NotifyMethod": 0, "eFrom": "tarnwick@example.com", "ETo": "admin@example.com",
             "esubject": "New IP Address: <IPADDRESS>",
             "emessage": "Your new IP Address is: <IPADDRESS>", "maxretries": 0}


def ftp_step(server, port, user, password, path="/ip.html", **more):
    """An FTP step uploading a page that carries the new address."""
    return {"NotifyMethod": 1, "FTPServer": server, "FTPPath": path,
            "FTPHTML": "<html><IPADDRESS></html>", "FTPPort": port, "FTPUser": user,
            "FTPPass": password, **more}


def main_window_texts(wine):
    """The main window's caption and its children's texts, one a line (the
    status bar's is its first panel)."""
    return wine.winctl("texts", "Tarnwick").stdout.decode("cp1252", "replace")


def connected_addresses(rassim):
    """The client addresses of the connections the program dialed, in order.
    A dial of an entry that is already up (the poll picking up its handle)
    reports the same connection again: it counts once."""
    addresses = {}
    for line in rassim.lines("connected"):
        if " by=control" not in line:
            handle = line.split(" handle=")[1].split()[0]
            addresses.setdefault(handle, line.split(" ip=")[1].split()[0])
    return list(addresses.values())


def new_dials(rassim):
    return [line for line in rassim.lines("RasDialA") if " existing=1" not in line]


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
