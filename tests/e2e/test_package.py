"""The installer as a user or a fleet tool runs it: silently, under Wine."""
import re
import subprocess

import pytest

from conftest import BUILD, PREFIX, PRODUCT_KEY, REPO, wait_for

INSTALL_DIR = PREFIX / "drive_c" / "Program Files" / "Tarnwick"
START_MENU_LINK = (PREFIX / "drive_c" / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" /
                   "Programs" / "Tarnwick.lnk")
UNINSTALL_KEY = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
RUN_KEY = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run"
FILES = ["tarnwick.exe", "tarnwick.html", "README.txt", "LICENSE.txt", "uninstall.exe"]


def version():
    text = (REPO / "src" / "app" / "version.h").read_text()
    return re.search(r'#define TARNWICK_VERSION_TEXT "([^"]+)"', text).group(1)


@pytest.fixture(scope="module")
def setup_exe():
    subprocess.run([str(REPO / "scripts" / "release")], check=True, stdout=subprocess.DEVNULL)
    path = REPO / "build" / "release" / f"tarnwick-{version()}-setup.exe"
    assert path.exists()
    return path


def test_silent_install_and_uninstall_keep_only_the_settings(wine, rassim, setup_exe):
    rassim.write("entry Home DSL\nconnected Home DSL\n")
    # A user's settings and script from an earlier installation.
    wine.delete_key(PRODUCT_KEY)
    wine.import_reg(f"""[{PRODUCT_KEY}]
"version"=hex:9a,99,99,99,99,99,f1,3f
"conname"="Home DSL"
"Notifcnt"=dword:00000001

[{PRODUCT_KEY}\\Notif1]
"NotifyMethod"=dword:00000002
"App1"="C:\\\\tools\\\\notify.cmd"
""")

    assert wine.run(setup_exe, "/S", timeout=120).returncode == 0
    for name in FILES:
        assert (INSTALL_DIR / name).exists(), name
    assert START_MENU_LINK.exists()
    assert wine.reg_value(UNINSTALL_KEY, "DisplayVersion") == version()
    assert wine.reg_value(UNINSTALL_KEY, "Publisher") == "Fenmoor Software"
    assert "uninstall.exe" in wine.reg_value(UNINSTALL_KEY, "UninstallString")
    assert wine.reg_value(UNINSTALL_KEY, "QuietUninstallString").endswith("/S")

    # The installed program starts and registers itself to start with Windows.
    running = wine.start(INSTALL_DIR / "tarnwick.exe")
    assert wine.winctl("wait", "TarnwickMain", "30000").returncode == 0
    wine.run("reg", "add", RUN_KEY, "/v", "Tarnwick", "/d",
             f'"{INSTALL_DIR}\\tarnwick.exe" startup', "/f")

    # The uninstaller hands itself to a copy in the temporary folder and returns
    # at once; what it leaves behind is checked as it finishes.
    assert wine.run(INSTALL_DIR / "uninstall.exe", "/S", timeout=120).returncode == 0
    # The uninstall entry goes last.
    assert wait_for(lambda: wine.reg_value(UNINSTALL_KEY, "DisplayName") is None, timeout=60)
    assert running.poll() is not None, "the running instance was not ended"
    assert not INSTALL_DIR.exists(), sorted(p.name for p in INSTALL_DIR.iterdir())
    assert not START_MENU_LINK.exists()
    assert wine.reg_value(RUN_KEY, "Tarnwick") is None
    # The settings stay, so a reinstall finds the script again.
    assert wine.reg_value(PRODUCT_KEY + r"\Notif1", "App1") == r"C:\tools\notify.cmd"
    wine.delete_key(PRODUCT_KEY)
