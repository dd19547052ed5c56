#!/usr/bin/env python3
"""Checks the Win32 layer's declarations against the real Windows headers.

check_layer_declarations.py SOURCE_DIR WORK_DIR WINDOWS_CXX LINUX_CXX

Every Windows name that platform/include/winlayer/*.h declares (functions,
structures, typedefs, constants) is compared with what the same name is in the
Windows headers of the cross compiler:

- Windows side: the layer's own text of each declaration is compiled beside the
  real headers, each in a namespace of its own, so that the names it uses are the
  Windows ones; a function must then have the very type of the real function, a
  structure the real layout field by field, a typedef the real type (or an
  integer of the same size and signedness), a constant the real value.
- Linux side: the sizes of the layer's types and the values of its constants as
  the layer gives them on Linux must be those of Windows, except for the types
  that Windows makes as wide as a pointer, and WCHAR, which the layer makes
  char16_t on purpose.
"""
import re
import struct
import subprocess
import sys
from pathlib import Path

# Wide as a pointer on Windows; 64 bits on 64-bit Linux.
POINTER_WIDTH = {"UINT_PTR", "INT_PTR", "LONG_PTR", "ULONG_PTR", "DWORD_PTR", "SIZE_T", "SSIZE_T",
                 "WPARAM", "LPARAM", "LRESULT"}
# Wide text is UTF-16 on both sides, but spelt char16_t on Linux.
DIFFERENT_ON_PURPOSE = {"WCHAR", "OLECHAR"}
SECTION = "ombrixk"


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def read_macros(text):
    """(name, text) of each object-like #define that stands for a Windows constant."""
    macros = []
    for match in re.finditer(r"^\s*#\s*define\s+(\w+)(\(?)(.*)$", text, flags=re.M):
        name, function_like, value = match.group(1), match.group(2), match.group(3).strip()
        if function_like or not value or name.startswith("WINLAYER_") or re.fullmatch(r"winlayer_\w+", value):
            continue
        macros.append((name, value))
    return macros


def top_level_statements(text):
    """Statements outside namespaces and classes; extern "C" blocks are looked into."""
    text = re.sub(r"^\s*#.*$", "", text, flags=re.M)
    statements, current, depth, i = [], "", 0, 0
    while i < len(text):
        c = text[i]
        if c == "{" and depth == 0 and re.search(r'extern\s+"C"\s*$', current):
            current = ""
        elif c == "{" and depth == 0 and re.search(r"\b(namespace|class)\b[^;]*$", current):
            depth_here, j = 1, i + 1
            while depth_here:
                depth_here += {"{": 1, "}": -1}.get(text[j], 0)
                j += 1
            current, i = "", j
            while i < len(text) and text[i] in " \t\n;":
                i += 1
            continue
        elif c == "}" and depth == 0:
            current = ""  # the end of an extern "C" block
        elif c == ";" and depth == 0:
            statements.append(" ".join(current.split()))
            current = ""
        else:
            depth += {"{": 1, "}": -1}.get(c, 0)
            current += c
        i += 1
    return [s for s in statements if s]


def classify(statements):
    functions, typedefs, structs = {}, {}, {}
    for s in statements:
        if s.startswith(("using ", "template", "extern template", "static_assert")):
            continue
        struct_match = re.fullmatch(r"typedef (struct \w+ \{.*\}) (.+)", s)
        if struct_match:
            names = [n.strip() for n in struct_match.group(2).split(",")]
            structs.setdefault(names[0], (struct_match.group(1), names))
            continue
        if s.startswith("typedef "):
            name = re.search(r"\(\s*\w*\s*\*\s*(\w+)\s*\)|(\w+)$", s)
            typedefs.setdefault(name.group(1) or name.group(2), s)
            continue
        function = re.fullmatch(r'(?:\[\[noreturn\]\] )?(?:extern "C" )?(.+?)\b(\w+) ?\((.*)\)', s)
        if function and not function.group(2).startswith("winlayer_"):
            ret = function.group(1).strip()
            convention = ""
            if ret.endswith(" WINAPI"):
                ret, convention = ret[: -len(" WINAPI")], "WINAPI"
            functions.setdefault(function.group(2), (ret, convention, function.group(3)))
    return functions, typedefs, structs


def read_layer(source_dir):
    macros, statements = [], []
    for header in sorted((source_dir / "platform/include/winlayer").glob("*.h")):
        text = strip_comments(header.read_text())
        macros += read_macros(text)
        statements += top_level_statements(text)
    unique_macros = dict(macros)
    return (list(unique_macros.items()),) + classify(statements)


HELPERS = """
#include <cstddef>
#include <type_traits>
#include "win32.h"
template <class A, class B>
constexpr bool ombrix_compatible() {
  if constexpr (std::is_same<A, B>::value) {
    return true;
  } else if constexpr (std::is_integral<A>::value && std::is_integral<B>::value) {
    return sizeof(A) == sizeof(B) && std::is_signed<A>::value == std::is_signed<B>::value;
  } else {
    return false;
  }
}
"""


def is_pointer_macro(value):
    return "reinterpret_cast" in value


def windows_source(macros, functions, typedefs, structs):
    out = [HELPERS]
    for i, (name, (ret, convention, params)) in enumerate(sorted(functions.items())):
        out.append(f"namespace ombrix_f{i} {{ typedef {ret} ({convention}* layer)({params}); }}")
        out.append(f"static_assert(std::is_same<decltype(&::{name}), ombrix_f{i}::layer>::value, "
                   f"\"function {name}: the layer declares another type\");")
    for i, (name, (body, names)) in enumerate(sorted(structs.items())):
        out.append(f"namespace ombrix_s{i} {{ typedef {body} {', '.join(names)}; }}")
        out.append(f"static_assert(sizeof(ombrix_s{i}::{name}) == sizeof(::{name}), \"struct {name}: size\");")
        for field in re.findall(r"(\w+)\s*(?:\[[^\]]*\])?\s*;", body):
            out.append(f"static_assert(offsetof(ombrix_s{i}::{name}, {field}) == offsetof(::{name}, {field}) && "
                       f"std::is_same<decltype(ombrix_s{i}::{name}::{field}), decltype(::{name}::{field})>::value, "
                       f"\"struct {name}: field {field}\");")
        for alias in names[1:]:
            alias = alias.lstrip("* ")
            out.append(f"static_assert(std::is_same<::{alias}, ::{name}*>::value, \"{alias}: not a {name} pointer\");")
    for i, (name, text) in enumerate(sorted(typedefs.items())):
        if name in DIFFERENT_ON_PURPOSE:
            continue
        out.append(f"namespace ombrix_t{i} {{ {text}; }}")
        out.append(f"static_assert(ombrix_compatible<ombrix_t{i}::{name}, ::{name}>(), \"typedef {name}\");")
    for name, value in macros:
        if is_pointer_macro(value):
            out.append(f"static_assert(std::is_same<decltype({name}), decltype({value})>::value, \"constant {name}\");")
        elif value not in ("", "__stdcall"):
            out.append(f"static_assert(static_cast<long long>({name}) == static_cast<long long>({value}), "
                       f"\"constant {name}: the layer gives another value\");")
    return "\n".join(out) + "\n"


def measured(macros, typedefs):
    """(what, C++ expression) pairs whose values both sides record."""
    items = [(f"sizeof {name}", f"sizeof({name})") for name in sorted(typedefs) if name not in DIFFERENT_ON_PURPOSE]
    items += [(f"pointer {name}", f"std::is_pointer<{name}>::value") for name in sorted(typedefs)]
    items += [(f"value {name}", f"{name}") for name, value in macros if not is_pointer_macro(value)]
    return items


def values_source(items):
    body = ",\n".join(f"  static_cast<long long>({expression})" for _, expression in items)
    return (HELPERS + f'__attribute__((section("{SECTION}"), used)) extern const long long ombrix_values[] = {{\n'
            + body + "\n};\n")


def compile_values(compiler, objcopy, includes, source, work_dir, label):
    source_path = work_dir / f"{label}.cpp"
    object_path = work_dir / f"{label}.o"
    data_path = work_dir / f"{label}.bin"
    source_path.write_text(source)
    run = subprocess.run([compiler, "-std=c++17", "-c", str(source_path), "-o", str(object_path)] + includes,
                         capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.stderr
    subprocess.run([objcopy, "-O", "binary", f"--only-section={SECTION}", str(object_path), str(data_path)],
                   check=True)
    data = data_path.read_bytes()
    return [v for (v,) in struct.iter_unpack("<q", data)], ""


def compiler_errors(stderr):
    lines = [line for line in stderr.splitlines() if "error:" in line]
    return [re.sub(r"^.*?error: ", "", line) for line in lines]


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    source_dir, work_dir = Path(sys.argv[1]), Path(sys.argv[2])
    windows_cxx, linux_cxx = sys.argv[3], sys.argv[4]
    windows_objcopy = re.sub(r"g\+\+(-\w+)?$", "objcopy", windows_cxx)
    work_dir.mkdir(parents=True, exist_ok=True)
    include = ["-I", str(source_dir / "platform/include")]

    macros, functions, typedefs, structs = read_layer(source_dir)
    failures = []

    checks = work_dir / "windows_declarations.cpp"
    checks.write_text(windows_source(macros, functions, typedefs, structs))
    run = subprocess.run([windows_cxx, "-std=c++17", "-fsyntax-only", str(checks)] + include,
                         capture_output=True, text=True)
    failures += compiler_errors(run.stderr)
    if run.returncode != 0 and not failures:
        failures.append(run.stderr.strip())

    items = measured(macros, typedefs)
    source = values_source(items)
    windows_values, windows_error = compile_values(windows_cxx, windows_objcopy, include, source, work_dir, "windows")
    linux_values, linux_error = compile_values(linux_cxx, "objcopy", include, source, work_dir, "linux")
    if windows_values is None or linux_values is None:
        failures += compiler_errors(windows_error + linux_error) or ["the value probes did not compile"]
    else:
        values = {what: (w, l) for (what, _), w, l in zip(items, windows_values, linux_values)}
        for what, (w, l) in values.items():
            kind, name = what.split(" ", 1)
            pointer_wide = name in POINTER_WIDTH or values.get(f"pointer {name}") == (1, 1)
            if kind == "sizeof" and pointer_wide:
                continue
            if kind != "pointer" and w != l:
                failures.append(f"{what}: {w} on Windows, {l} on the layer")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"layer declarations: functions, structures, typedefs and constants agree with the Windows headers")


if __name__ == "__main__":
    main()
