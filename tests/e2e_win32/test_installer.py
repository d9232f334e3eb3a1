"""What a Windows user downloads: the installer, run silently in a fresh
Wine prefix in each install mode (files, Start menu, Apps entry, start from
the shortcut, uninstall by the Apps entry's own command), the portable zip
and the installer's version block."""

import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import zipfile
from collections import namedtuple

from harness import EXE, PROBE, settle, template, wait_for, wine_env
from test_resources import NUMBERS, VERSION

SETUP = os.environ.get("BELLWICK_SETUP", "build/win32/Bellwick-%s-setup.exe" % VERSION)
ZIP = os.environ.get("BELLWICK_ZIP", "build/win32/Bellwick-%s-win32.zip" % VERSION)
WINDRES = os.environ.get("BELLWICK_WINDRES", "i686-w64-mingw32-windres")
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Bellwick"
SETTINGS_KEY = r"HKCU\Software\KV Bellwick\SoundFile"
SOUND = r"C:\alarm.wav"

# Where each install mode puts the program, its Start menu entry and its
# Apps entry ({user}: the prefix's user folder).
Mode = namedtuple("Mode", "name switches folder menu hive")
MODES = [
    Mode("all_users_by_default_for_an_administrator", [], r"C:\Program Files\Bellwick",
         r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs", "HKLM"),
    Mode("current_user", ["/CurrentUser"], r"C:\users\{user}\AppData\Local\Programs\Bellwick",
         r"C:\users\{user}\AppData\Roaming\Microsoft\Windows\Start Menu\Programs", "HKCU"),
]


def version_strings(path):
    """The version block's strings, as windres prints them back."""
    rc = subprocess.run([WINDRES, "-i", path, "-O", "rc"], check=True, capture_output=True).stdout.decode("latin-1")
    block = rc[rc.index("VERSIONINFO"):]
    return dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', block)), block


def shortcut_icon(lnk):
    """Icon location and index of a shell link (.lnk)."""
    flags, = struct.unpack_from("<I", lnk, 0x14)
    index, = struct.unpack_from("<i", lnk, 0x38)
    pos = 0x4C
    if flags & 0x1:  # item id list
        pos += 2 + struct.unpack_from("<H", lnk, pos)[0]
    if flags & 0x2:  # link info
        pos += struct.unpack_from("<I", lnk, pos)[0]
    strings = {}
    for bit in (0x4, 0x8, 0x10, 0x20, 0x40):  # name, relative path, working dir, arguments, icon
        if flags & bit:
            count, = struct.unpack_from("<H", lnk, pos)
            strings[bit] = lnk[pos + 2:pos + 2 + 2 * count].decode("utf-16-le").rstrip("\0")
            pos += 2 + 2 * count
    return strings.get(0x40), index


class InstallerTest(unittest.TestCase):
    """One fresh prefix per install mode."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="setup-", dir=os.path.dirname(template()))
        self.prefix = os.path.join(self.dir, "prefix")
        subprocess.run(["cp", "-a", template(), self.prefix], check=True)
        self.env = wine_env(self.prefix)
        self.user = next(u for u in sorted(os.listdir(os.path.join(self.prefix, "drive_c", "users"))) if u != "Public")

    def tearDown(self):
        settle(self.env)
        shutil.rmtree(self.dir, ignore_errors=True)

    def wine(self, *args):
        # Output through files: a program started here (and the wineserver)
        # would hold a pipe open past the command's end.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(["wine", *args], env=self.env, stdout=out, stderr=err).returncode
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(args, code, out.read().decode(), err.read().decode())

    def unix(self, path):
        return os.path.join(self.prefix, "drive_c", *path.format(user=self.user)[3:].split("\\"))

    def places(self, mode):
        folder, menu = mode.folder.format(user=self.user), mode.menu.format(user=self.user)
        return folder + r"\Bellwick.exe", folder + r"\Uninstall.exe", menu + r"\Bellwick.lnk"

    def apps_entry(self, hive):
        """The uninstall key's values as {name: text}, or None without the key."""
        r = self.wine("reg", "query", hive + "\\" + UNINSTALL_KEY)
        if r.returncode:
            return None
        return dict(re.findall(r"^ {4}(\w+) {4}REG_\w+ {4}(.*?)\r?$", r.stdout, re.M))

    def check_install_start_uninstall(self, mode):
        exe, uninstaller, shortcut = self.places(mode)
        r = self.wine(SETUP, "/S", *mode.switches)
        self.assertEqual(r.returncode, 0, r.stderr)
        for path in (exe, uninstaller, shortcut):
            self.assertTrue(os.path.isfile(self.unix(path)), path)
        with open(EXE, "rb") as built, open(self.unix(exe), "rb") as installed:
            self.assertEqual(built.read(), installed.read())
        for other in MODES:
            if other != mode:
                self.assertFalse(any(os.path.exists(self.unix(p)) for p in self.places(other)), other.name)
                self.assertIsNone(self.apps_entry(other.hive), other.name)

        # Apps & features, named and versioned as the program's version block.
        program, _ = version_strings(EXE)
        entry = self.apps_entry(mode.hive)
        self.assertIsNotNone(entry)
        self.assertEqual(entry["DisplayName"], program["ProductName"])
        self.assertEqual(entry["DisplayVersion"], program["ProductVersion"])
        self.assertTrue(entry["Publisher"])
        self.assertEqual(entry["DisplayIcon"], exe + ",0")
        self.assertEqual((entry["NoModify"], entry["NoRepair"]), ("0x1", "0x1"))
        files_kb = sum(os.path.getsize(self.unix(p)) for p in (exe, uninstaller)) / 1024
        self.assertLessEqual(abs(int(entry["EstimatedSize"], 16) - files_kb), 2)
        self.assertRegex(entry["UninstallString"], r'^"%s"( /\w+)*$' % re.escape(uninstaller))
        self.assertEqual(entry["QuietUninstallString"], entry["UninstallString"] + " /S")

        # The Start menu entry shows the program's icon and starts it.
        with open(self.unix(shortcut), "rb") as f:
            self.assertEqual(shortcut_icon(f.read()), (exe, 0))
        self.assertEqual(self.wine("start", shortcut).returncode, 0)
        wait_for(lambda: self.wine(PROBE, "rect").returncode == 0, what="the window")
        self.wine(PROBE, "close")
        wait_for(lambda: self.wine(PROBE, "rect").returncode == 2, what="the window to close")

        # Uninstall by the Apps entry's quiet command; the uninstaller runs
        # on from a copy in %TEMP%, so wait for the prefix's processes.
        self.assertEqual(self.wine("reg", "add", SETTINGS_KEY, "/v", "Sound", "/d", SOUND, "/f").returncode, 0)
        path, args = re.match(r'"([^"]+)"(.*)', entry["QuietUninstallString"]).groups()
        self.assertEqual(self.wine(path, *args.split()).returncode, 0)
        subprocess.run(["wineserver", "-w"], env=self.env)
        for path in (exe, uninstaller, shortcut):
            self.assertFalse(os.path.exists(self.unix(path)), path)
        self.assertFalse(os.path.exists(self.unix(mode.folder)))
        self.assertIsNone(self.apps_entry(mode.hive))
        self.assertEqual(self.wine(PROBE, "registry").stdout.strip(), SOUND)


for _mode in MODES:
    setattr(InstallerTest, "test_install_start_uninstall_" + _mode.name,
            lambda self, mode=_mode: self.check_install_start_uninstall(mode))


class DownloadsTest(unittest.TestCase):
    def test_zip_holds_the_program_and_a_windows_readme(self):
        with zipfile.ZipFile(ZIP) as z:
            self.assertEqual(sorted(z.namelist()), ["Bellwick.exe", "README.txt"])
            with open(EXE, "rb") as f:
                self.assertEqual(z.read("Bellwick.exe"), f.read())
            readme = z.read("README.txt")
        self.assertTrue(readme.startswith(b"Bellwick %s, portable\r\n" % VERSION.encode()))
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"))
        self.assertTrue(readme.endswith(b"\r\n"))
        self.assertIn(SETTINGS_KEY.replace("HKCU", "HKEY_CURRENT_USER").encode(), readme)

    def test_installer_version_block_matches_the_program_and_its_file_name(self):
        program, program_block = version_strings(EXE)
        setup, setup_block = version_strings(SETUP)
        self.assertEqual(os.path.basename(SETUP), "Bellwick-%s-setup.exe" % VERSION)
        for field in ("FILEVERSION", "PRODUCTVERSION"):
            line = "%s %s\n" % (field, ", ".join(NUMBERS))
            self.assertIn(line, program_block)
            self.assertIn(line, setup_block)
        for key in ("ProductName", "FileVersion", "ProductVersion"):
            self.assertEqual(setup[key], program[key], key)
        self.assertEqual(setup["OriginalFilename"], os.path.basename(SETUP))


if __name__ == "__main__":
    unittest.main()
