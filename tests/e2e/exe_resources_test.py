#!/usr/bin/env python3
"""Reads the built Windows tool back: PE32 console program for i386 that
imports only system DLLs, with the application manifest (type 24, id 1,
US English) holding exactly the expected values, and a US English version
resource in the Unicode code page.

Usage: exe_resources_test.py TOOL.exe OBJDUMP WINDRES
"""
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

RT_VERSION, RT_MANIFEST = 16, 24
US_ENGLISH = 1033
SYSTEM_DLLS = {"kernel32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll"}

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPAT = "urn:schemas-microsoft-com:compatibility.v1"
SUPPORTED_OS = [
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Windows Vista
]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def read_res_data(path):
    """{(type, name): data} of the resources in a .res file."""
    blob = open(path, "rb").read()
    entries, pos = {}, 0

    def read_id(at):
        if struct.unpack_from("<H", blob, at)[0] == 0xFFFF:
            return struct.unpack_from("<H", blob, at + 2)[0], at + 4
        end = at
        while struct.unpack_from("<H", blob, end)[0] != 0:
            end += 2
        return blob[at:end].decode("utf-16-le"), end + 2

    while pos + 8 <= len(blob):
        data_size, header_size = struct.unpack_from("<II", blob, pos)
        res_type, at = read_id(pos + 8)
        name, _ = read_id(at)
        data_start = pos + header_size
        if data_size:
            entries[(res_type, name)] = blob[data_start:data_start + data_size]
        pos = (data_start + data_size + 3) & ~3
    return entries


def read_resource_tree(objdump_text):
    """(type, name, language) of each resource, from the executable's own
    resource directory as objdump prints it (windres does not keep the
    language when it writes a .res file)."""
    section = objdump_text.split("The .rsrc Resource Directory section:", 1)
    leaves, path = [], []
    for line in section[1].splitlines() if len(section) == 2 else []:
        match = re.match(r"^[0-9a-f]+( +)Entry: ID: 0x([0-9a-f]+)", line)
        if not match:
            continue
        depth = (len(match.group(1)) - 3) // 2  # 0 type, 1 name, 2 language
        path = path[:depth] + [int(match.group(2), 16)]
        if depth == 2:
            leaves.append(tuple(path))
    return leaves


def check_headers(objdump_text):
    check("file format pei-i386" in objdump_text, "not a pei-i386 file")
    check(re.search(r"^Magic\s+010b\s+\(PE32\)", objdump_text, re.M), "optional header is not PE32")
    check(re.search(r"^Subsystem\s+00000003\s+\(Windows CUI\)", objdump_text, re.M), "not a console program")
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", objdump_text)}
    check(dlls, "no imports found")
    check(dlls <= SYSTEM_DLLS, f"imports beyond the system DLLs: {sorted(dlls - SYSTEM_DLLS)}")


def check_manifest(data):
    root = ET.fromstring(data)
    check(root.tag == f"{{{ASM_V1}}}assembly", f"root element {root.tag}")
    identity = root.find(f"{{{ASM_V1}}}assemblyIdentity")
    expected_identity = {"version": "1.0.0.0", "processorArchitecture": "X86",
                         "name": "com.quillmoor.tarn", "type": "win32"}
    check(identity is not None and identity.attrib == expected_identity,
          f"assemblyIdentity {None if identity is None else identity.attrib}")
    description = root.find(f"{{{ASM_V1}}}description")
    check(description is not None and description.text and "\n" not in description.text.strip(),
          "description is not one line of text")
    level = root.find(f"{{{ASM_V3}}}trustInfo/{{{ASM_V3}}}security/{{{ASM_V3}}}requestedPrivileges/"
                      f"{{{ASM_V3}}}requestedExecutionLevel")
    check(level is not None and level.attrib == {"level": "requireAdministrator", "uiAccess": "false"},
          f"requestedExecutionLevel {None if level is None else level.attrib}")
    systems = root.findall(f"{{{COMPAT}}}compatibility/{{{COMPAT}}}application/{{{COMPAT}}}supportedOS")
    check([s.attrib for s in systems] == [{"Id": guid} for guid in SUPPORTED_OS],
          f"supportedOS {[s.attrib for s in systems]}")


def check_version(data):
    # VS_VERSIONINFO: a StringFileInfo table for US English in code page
    # 1200, and the Translation pair (0x0409, 1200).
    check(any(table.encode("utf-16-le") in data for table in ("040904B0", "040904b0")),
          "no string table 040904B0")
    translation = "Translation\0".encode("utf-16-le")
    at = data.find(translation)
    check(at >= 0, "no Translation value")
    if at >= 0:
        value_at = (at + len(translation) + 3) & ~3
        check(data[value_at:value_at + 4] == struct.pack("<HH", 0x0409, 1200),
              f"Translation {data[value_at:value_at + 4].hex()}")
    description = "FileDescription\0".encode("utf-16-le")
    check(description in data, "no FileDescription")


def main():
    exe, objdump, windres = sys.argv[1:4]
    headers = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    check_headers(headers)
    tree = read_resource_tree(headers)
    check(sorted(tree) == [(RT_VERSION, 1, US_ENGLISH), (RT_MANIFEST, 1, US_ENGLISH)],
          f"resources (type, name, language): {tree}")

    with tempfile.TemporaryDirectory() as folder:
        res = f"{folder}/tool.res"
        subprocess.run([windres, "-i", exe, "-O", "res", "-o", res], check=True)
        data = read_res_data(res)
    check((RT_MANIFEST, 1) in data, "no manifest data")
    check((RT_VERSION, 1) in data, "no version data")
    if (RT_MANIFEST, 1) in data:
        check_manifest(data[(RT_MANIFEST, 1)])
    if (RT_VERSION, 1) in data:
        check_version(data[(RT_VERSION, 1)])

    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    print("resources and headers checked" if not failures else f"{len(failures)} check(s) failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
