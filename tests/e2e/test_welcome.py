"""A first start as a new user meets it: the welcome wizard comes before the
main window; walked with clicks, it stores each page; a second start has no
wizard."""
import time

from conftest import PRODUCT_KEY, wait_for

WIZARD = "Tarnwick Welcome"


def main_window_visible(wine):
    return wine.winctl("visible", "TarnwickMain").stdout.strip() == b"1"


def test_a_first_start_walks_the_wizard_and_a_second_does_not(wine, rassim, program):
    rassim.write("entry Office ISDN\nentry Home DSL\nconnected Home DSL\n")
    wine.delete_key(PRODUCT_KEY)

    first = program()
    assert wine.winctl("wait-title", WIZARD, "30000").returncode == 0
    assert not main_window_visible(wine)
    for command, target in [("click", "Next >>"),  # lists the phonebook
                            ("pick", "1"),  # Home DSL
                            ("click", "Reconnect lost Internet connections"),
                            ("click", "Next >>"),
                            ("click", "Use SMTP connection"),
                            ("click", "Next >>"),
                            ("click", "Finish")]:
        assert wine.winctl(command, WIZARD, target).returncode == 0, (command, target)
    assert wait_for(lambda: main_window_visible(wine), timeout=10)
    assert wine.reg_value(PRODUCT_KEY, "conname") == "Home DSL"
    assert wine.reg_value(PRODUCT_KEY, "Reconnect") == "0x1"
    assert wine.reg_value(PRODUCT_KEY, "redelay") == "0x1e"
    assert wine.reg_value(PRODUCT_KEY, "usesmtp") == "0x1"

    wine.winctl("end-session", "TarnwickMain")
    first.wait(15)
    program()
    assert wait_for(lambda: main_window_visible(wine), timeout=10)
    time.sleep(1)
    assert wine.winctl("wait-title", WIZARD, "0").returncode != 0
