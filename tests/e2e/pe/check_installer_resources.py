"""Reads the installers as Windows would load them: each carries, as resource "QORVA_32"
202, exactly the control built beside it, and a manifest asking for administrator rights,
the version 6 common controls and DPI awareness.

Usage: check_installer_resources.py INSTALLER CONTROL [INSTALLER CONTROL ...]
"""
import sys

import pefile

failures = 0


def check(name, holds, detail=""):
    global failures
    print(("ok: " if holds else "FAIL: ") + name + ("" if holds or not detail else f" ({detail})"))
    failures += not holds


def resource(pe, kind, ident):
    """The bytes of the resource of type `kind` (a name or a number) and id `ident`, or None."""
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for entry in root.entries if root else []:
        matches = (str(entry.name) == kind) if isinstance(kind, str) else (entry.id == kind)
        if not matches:
            continue
        for item in entry.directory.entries:
            if item.id != ident:
                continue
            for language in item.directory.entries:
                data = language.data.struct
                return pe.get_data(data.OffsetToData, data.Size)
    return None


MACHINES = {0x14C: "i386", 0x8664: "x86-64"}

args = sys.argv[1:]
if not args or len(args) % 2:
    sys.exit(__doc__)
for installer, control in zip(args[::2], args[1::2]):
    pe = pefile.PE(installer)
    with open(control, "rb") as f:
        built = f.read()
    name = installer.rsplit("/", 1)[-1]
    carried = resource(pe, "QORVA_32", 202)
    check(f"{name}: carries QORVA_32 202", carried is not None)
    if carried is not None:
        check(f"{name}: QORVA_32 202 is the control byte for byte", carried == built,
              f"{len(carried)} bytes carried, {len(built)} built")
    control_pe = pefile.PE(control, fast_load=True)
    check(f"{name}: same machine as its control", pe.FILE_HEADER.Machine == control_pe.FILE_HEADER.Machine,
          f"{MACHINES.get(pe.FILE_HEADER.Machine)} and {MACHINES.get(control_pe.FILE_HEADER.Machine)}")
    check(f"{name}: a windowed program", pe.OPTIONAL_HEADER.Subsystem == 2)
    manifest = (resource(pe, 24, 1) or b"").decode("utf-8", "replace")
    check(f"{name}: manifest asks for administrator rights", 'level="requireAdministrator"' in manifest)
    check(f"{name}: manifest names the version 6 common controls",
          'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in manifest)
    check(f"{name}: manifest marks the program DPI-aware", ">true</dpiAware>" in manifest)
    for template in (104, 105, 106):
        check(f"{name}: dialog {template}", resource(pe, 5, template) is not None)

print(f"{failures} failure(s)")
sys.exit(1 if failures else 0)
