"""Bellwick.exe as a file: PE32 GUI program, imports, icon and version."""

import os
import pathlib
import re
import struct
import subprocess
import unittest
from xml.etree import ElementTree

from harness import EXE, HERE
from windows7_imports import IMPORTS, VISTA

WINDRES = os.environ.get("BELLWICK_WINDRES", "i686-w64-mingw32-windres")
OBJDUMP = os.environ.get("BELLWICK_OBJDUMP", "i686-w64-mingw32-objdump")
ICO = os.path.join(HERE, "..", "..", "resources", "bellwick.ico")
# Windows' own libraries; anything else would have to ship beside the exe.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comctl32.dll", "comdlg32.dll", "msimg32.dll",
               "msvcrt.dll", "ole32.dll", "oleaut32.dll", "oleacc.dll", "winmm.dll", "shell32.dll", "shlwapi.dll"}
# The version as the project declares it (CMake's record when run by hand),
# and the forms Windows shows: four numbers; major with a two-digit minor.
VERSION = os.environ.get("BELLWICK_VERSION") or pathlib.Path(HERE, "..", "..", "build", "win32",
                                                             "version.txt").read_text().strip()
NUMBERS = (VERSION.split(".") + ["0"] * 3)[:4]
SHOWN = "%s.%02d" % (NUMBERS[0], int(NUMBERS[1]))
VERSION_STRINGS = [("ProductName", "Bellwick"), ("FileVersion", SHOWN), ("ProductVersion", SHOWN),
                   ("InternalName", "Bellwick"), ("OriginalFilename", "Bellwick.exe")]

WINDOWS_7 = "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"
WINDOWS_8 = "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"
WINDOWS_8_1 = "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"


def out(*cmd):
    return subprocess.run(cmd, check=True, capture_output=True).stdout


class ResourceTest(unittest.TestCase):
    def test_a_32_bit_gui_program_that_needs_only_windows_own_dlls(self):
        headers = out(OBJDUMP, "-p", EXE).decode()
        self.assertIn("file format pei-i386", headers)
        self.assertRegex(headers, r"Magic\s+010b\s+\(PE32\)")
        self.assertRegex(headers, r"Subsystem\s+00000002\s+\(Windows GUI\)")
        dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", headers)}
        self.assertTrue(dlls)
        self.assertEqual(dlls - SYSTEM_DLLS, set())

    def test_every_import_is_on_windows_7(self):
        # The loader refuses the whole program over one missing import.
        imports, dll = set(), None
        for line in out(OBJDUMP, "-p", EXE).decode().splitlines():
            named = re.match(r"\s*DLL Name: (\S+)", line)
            if named:
                dll = named.group(1).lower()
            elif dll and (call := re.match(r"\t[0-9a-f]+\t\s+\d+\s+(\S+)$", line)):
                imports.add((dll, call.group(1)))
        self.assertIn(("kernel32.dll", "GetSystemTimeAsFileTime"), imports)
        unlisted = sorted("%s!%s" % i for i in imports if i[1] not in IMPORTS.get(i[0], ()))
        self.assertEqual(unlisted, [], "imports not known to be on Windows 7: check each one's minimum supported "
                         "client on Microsoft's page before adding it to windows7_imports.py, or look it up at run "
                         "time (platform/win32/newer_calls.h)")
        self.assertTrue(VISTA <= IMPORTS["kernel32.dll"])

    def test_resources_are_the_icon_group_its_image_and_one_version_block(self):
        listed = out("wrestool", "-l", EXE).decode()
        for kind, name in [("3", "30001"), ("14", "1"), ("16", "1")]:
            self.assertRegex(listed, r"--type=%s --name=%s --language=1033 " % (kind, name))
        self.assertEqual(len(re.findall(r"--type=3 ", listed)), 1)
        self.assertEqual(len(re.findall(r"--type=16 ", listed)), 1)

    def test_icon_group_names_image_30001_of_72_by_72_at_24_bits(self):
        group = out("wrestool", "-x", "--raw", "--type=14", "--name=1", EXE)
        self.assertEqual(struct.unpack("<HHH", group[:6]), (0, 1, 1))
        with open(ICO, "rb") as f:
            ico = f.read()
        image = out("wrestool", "-x", "--raw", "--type=3", "--name=30001", EXE)
        self.assertEqual(struct.unpack("<BBBBHHIH", group[6:20]), (72, 72, 0, 0, 1, 24, len(image), 30001))
        self.assertEqual(image, ico[22:])

    def test_version_block_fields(self):
        # The version block as windres prints it back; its language is
        # checked with the listing above.
        rc = out(WINDRES, "-i", EXE, "-O", "rc").decode("latin-1")
        block = rc[rc.index("VERSIONINFO"):]
        block = block[:block.index("/* Type:")] if "/* Type:" in block else block
        self.assertIn("FILEVERSION %s\n" % ", ".join(NUMBERS), block)
        self.assertIn("PRODUCTVERSION %s\n" % ", ".join(NUMBERS), block)
        self.assertNotRegex(block, r"FILEFLAGS 0x[1-9a-f]")
        self.assertIn("FILEOS 0x4", block)  # VOS__WINDOWS32
        self.assertIn("FILETYPE 0x1", block)  # VFT_APP
        self.assertIn('BLOCK "040904B0"', block)
        self.assertEqual(re.findall(r'VALUE "(\w+)", "([^"]*)"', block), VERSION_STRINGS)
        self.assertRegex(block, r'VALUE "Translation", 0x409, 1200')

    def test_manifest_declares_per_monitor_dpi_and_windows_7_to_11(self):
        manifest = ElementTree.fromstring(out("wrestool", "-x", "--raw", "--type=24", "--name=1", EXE))
        settings = {e.tag.split("}")[1]: e.text for e in manifest.iter() if e.tag.endswith(("dpiAware", "dpiAwareness"))}
        self.assertEqual(settings, {"dpiAware": "true/pm", "dpiAwareness": "PerMonitorV2, PerMonitor"})
        systems = {e.get("Id") for e in manifest.iter("{urn:schemas-microsoft-com:compatibility.v1}supportedOS")}
        self.assertEqual(systems, {WINDOWS_7, WINDOWS_8, WINDOWS_8_1, WINDOWS_10_AND_11})


if __name__ == "__main__":
    unittest.main()
