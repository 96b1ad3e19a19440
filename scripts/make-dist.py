#!/usr/bin/env python3
"""Writes the release zip for Windows users:

  scripts/make-dist.py WINDOWS_BUILD_DIR OUT_DIR

It writes OUT_DIR/corvane-VERSION-win64.zip, which holds one folder, corvane-VERSION, with corvane.exe, corvane-epg.exe,
corvane-sample.exe, README.txt (docs/windows/README.txt), LICENSE.txt
(LICENSE) and THIRD-PARTY.txt: the notices of what the executables contain,
taken from the copyright files of the installed Debian packages they were
built with. The texts get CR LF line ends, README.txt a byte order mark, so
that Notepad shows them. VERSION is the one the build was configured with
(its corvane_version.h).

The same tree gives the same bytes: entries in name order, each dated with
the commit time of the checkout (SOURCE_DATE_EPOCH when set), fixed
attributes, the executables linked without time stamps.
"""

import os
import re
import subprocess
import sys
import time
import zipfile

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXECUTABLES = ["corvane.exe", "corvane-epg.exe", "corvane-sample.exe"]
DOC = "/usr/share/doc"


def fail(message):
    sys.exit("make-dist: " + message)


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError as e:
        fail("cannot read %s: %s" % (path, e.strerror))


def version_of(build):
    header = read(os.path.join(build, "generated", "corvane_version.h"))
    found = re.search(r'#define CORVANE_VERSION "([^"]+)"', header)
    if not found:
        fail("no CORVANE_VERSION in the build's corvane_version.h")
    return found.group(1)


def source_date():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", TOP, "log", "-1", "--format=%ct"], capture_output=True, text=True,
                             check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return int(time.mktime((2024, 1, 1, 0, 0, 0, 0, 0, -1)))


# --- The notices ------------------------------------------------------------

def paragraphs(copyright_file):
    """The paragraphs of a machine-readable Debian copyright file."""
    return [p for p in re.split(r"\n\s*\n", read(copyright_file)) if p.strip()]


def field(paragraph, name):
    """The value of a field, continuation lines included, or None."""
    found = re.search(r"^%s:(.*(?:\n[ \t].*)*)" % name, paragraph, re.M)
    return found.group(1) if found else None


def files_paragraphs(copyright_file, wanted):
    """The "Files:" paragraphs whose patterns `wanted` accepts, with the
    stand-alone licence paragraphs they name."""
    chosen, licences = [], {}
    for p in paragraphs(copyright_file):
        files = field(p, "Files")
        licence = field(p, "License")
        if files is None:
            if licence is not None:
                licences[licence.split("\n")[0].strip()] = p
            continue
        if any(wanted(f) for f in files.split()):
            chosen.append(p)
    named = []
    for p in chosen:
        first = field(p, "License").split("\n")
        if len(first) == 1:  # the text is not in the paragraph itself
            for name in re.split(r"\s+(?:and|or)\s+", first[0].strip()):
                if name in licences and licences[name] not in named:
                    named.append(licences[name])
    if not chosen:
        fail("nothing found in " + copyright_file)
    return "\n\n".join(chosen + named)


def between(text, first, last, source):
    """The part of `text` from the line starting with `first` up to, not
    including, the line starting with `last`."""
    start = text.find(first)
    end = text.find(last, start)
    if start < 0 or end < 0:
        fail("the expected text is missing in " + source)
    return text[start:end].rstrip()


def third_party_notices():
    mingw = DOC + "/mingw-w64-x86-64-dev/copyright"
    gcc = DOC + "/gcc-mingw-w64-base/copyright"
    json = DOC + "/nlohmann-json3-dev/copyright"
    gcc_text = read(gcc)
    runtime = files_paragraphs(mingw, lambda f: f == "*" or (
        f.startswith("mingw-w64-crt/") and not f.startswith("mingw-w64-crt/profile/")) or (
        f.startswith("mingw-w64-libraries/winpthreads/") and "/tests" not in f))
    gcc_part = (between(gcc_text, "GCC is Copyright", "The libbacktrace library", gcc) + "\n\n" +
                between(gcc_text, "GCC RUNTIME LIBRARY EXCEPTION", "libquadmath/", gcc))
    json_part = files_paragraphs(json, lambda f: f == "*" or f.startswith("include/"))
    rule = "=" * 78
    return "\n".join([
        "Corvane: notices of the software contained in its executables",
        "Corvane の実行ファイルに含まれるソフトウェアの著作権表示とライセンス",
        "",
        "corvane.exe, corvane-epg.exe and corvane-sample.exe are built with the",
        "mingw-w64 tool chain (GCC %s) and are linked statically with:" % gcc_version(),
        "  - the mingw-w64 C runtime and winpthreads (the POSIX thread library),",
        "  - the GCC runtime libraries libgcc and libstdc++, under the GNU General",
        "    Public License version 3 with the GCC Runtime Library Exception 3.1.",
        "corvane-epg.exe also contains JSON for Modern C++ (nlohmann-json).",
        "The texts below are those of the Debian packages the release was built",
        "with (mingw-w64-x86-64-dev, gcc-mingw-w64-base, nlohmann-json3-dev); the",
        "GNU General Public License version 3 they refer to closes the file.",
        "",
        rule, "mingw-w64 runtime and winpthreads", rule, "", runtime, "",
        rule, "GCC runtime libraries (libgcc, libstdc++)", rule, "", gcc_part, "",
        rule, "JSON for Modern C++ (nlohmann-json), in corvane-epg.exe", rule, "", json_part, "",
        rule, "GNU General Public License version 3", rule, "", read("/usr/share/common-licenses/GPL-3").rstrip(), "",
    ])


def gcc_version():
    """The upstream version of the installed mingw-w64 GCC, as "12.2.0"."""
    try:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "gcc-mingw-w64-base"], capture_output=True,
                             text=True, check=True).stdout
        return re.sub(r"^\d+:", "", out).split("-")[0] or "unknown"
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


# --- The zip -----------------------------------------------------------------

def windows_text(text, bom=False):
    body = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    return (b"\xef\xbb\xbf" if bom else b"") + body


def main():
    if len(sys.argv) != 3:
        fail("usage: make-dist.py WINDOWS_BUILD_DIR OUT_DIR")
    build = sys.argv[1]
    version = version_of(build)
    out = os.path.join(sys.argv[2], "corvane-%s-win64.zip" % version)
    folder = "corvane-%s/" % version
    readme = read(os.path.join(TOP, "docs", "windows", "README.txt")).replace("@VERSION@", version)
    entries = {
        "README.txt": windows_text(readme, bom=True),
        "LICENSE.txt": windows_text(read(os.path.join(TOP, "LICENSE"))),
        "THIRD-PARTY.txt": windows_text(third_party_notices(), bom=True),
    }
    for exe in EXECUTABLES:
        try:
            with open(os.path.join(build, exe), "rb") as f:
                entries[exe] = f.read()
        except OSError as e:
            fail("cannot read %s: %s (run make windows)" % (exe, e.strerror))

    stamp = time.gmtime(max(source_date(), 315532800))[:6]  # zip dates start in 1980
    os.makedirs(sys.argv[2], exist_ok=True)
    partial = out + ".part"
    with zipfile.ZipFile(partial, "w") as z:
        directory = zipfile.ZipInfo(folder, stamp)
        directory.create_system = 0
        directory.external_attr = 0x10  # MS-DOS directory
        z.writestr(directory, b"")
        for name in sorted(entries):
            info = zipfile.ZipInfo(folder + name, stamp)
            info.create_system = 0
            info.external_attr = 0x20  # MS-DOS archive
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, entries[name], compresslevel=9)
    os.replace(partial, out)
    print(out)


if __name__ == "__main__":
    main()
