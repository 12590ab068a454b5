#!/usr/bin/env python3
"""Writes base classes that answer E_NOTIMPL for every method of the browser's interfaces,
read from the mingw-w64 headers, so that a test's stand-in overrides only the few members the
code under test calls.

Usage: make_not_implemented.py OUTPUT HEADER.h... INTERFACE...
"""
import re
import sys

output_path, *names = sys.argv[1:]
headers = [n for n in names if n.endswith(".h")]
wanted = [n for n in names if not n.endswith(".h")]
text = "".join(open(h, encoding="utf-8", errors="replace").read() for h in headers)

# The C++ form of each interface: MIDL_INTERFACE("iid") Name : public Base { methods };
blocks = {}
for match in re.finditer(r'MIDL_INTERFACE\("[^"]+"\)\s*(\w+)\s*:\s*public\s+(\w+)\s*\{(.*?)\n\};',
                         text, re.S):
    name, base, body = match.groups()
    methods = re.findall(r'virtual\s+HRESULT\s+STDMETHODCALLTYPE\s+(\w+)\(\s*(.*?)\)\s*=\s*0;',
                         body, re.S)
    blocks[name] = (base, [(m, " ".join(args.split())) for m, args in methods])


def methods_of(name):
    """Every method above IDispatch, base interfaces first."""
    if name in ("IDispatch", "IUnknown") or name not in blocks:
        return []
    base, own = blocks[name]
    return methods_of(base) + own


out = ["// Made by make_not_implemented.py at build time; do not edit.",
       "#pragma once", "", "#include <windows.h>",
       *[f"#include <{h.replace(chr(92), '/').rsplit('/', 1)[-1]}>" for h in headers], "",
       "namespace wisp::test {", ""]
for name in wanted:
    if name not in blocks and name != "IDispatch":  # IDispatch: the four members alone
        sys.exit(f"interface {name} not found in {headers}")
    out.append(f"class NotImplemented{name} : public {name} {{")
    out.append("public:")
    out.append("    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }")
    out.append("    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }")
    out.append("    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override "
               "{ return E_NOTIMPL; }")
    out.append("    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, "
               "EXCEPINFO*, UINT*) override { return E_NOTIMPL; }")
    for method, args in methods_of(name):
        # Parameter names are left out so that no unused-parameter warning is raised.
        types = []
        for arg in [a.strip() for a in args.split(",") if a.strip()]:
            arg = re.sub(r'\s*=.*$', "", arg)  # default arguments
            types.append(re.sub(r'\s*\b\w+$', "", arg) if re.search(r'[\w*&]\s+\**\w+$', arg)
                         else arg)
        out.append(f"    STDMETHODIMP {method}({', '.join(types)}) override {{ return E_NOTIMPL; }}")
    out.append("};")
    out.append("")
out.append("}  // namespace wisp::test")
open(output_path, "w", encoding="utf-8").write("\n".join(out) + "\n")
