#!/usr/bin/env bash
# Reads the PE headers of the built binaries: every plug-in exports exactly
# ENTRYPOINT, and nothing imports a MinGW runtime DLL.
set -u
export LC_ALL=C  # objdump's headings are matched in English
objdump=$1; shift
# Import libraries differ in how they spell the extension (comctl32's: .DLL).
system_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|VERSION|msvcrt|ADVAPI32)\.(dll|DLL)$'
status=0
for binary in "$@"; do
  name=$(basename "$binary")
  headers=$("$objdump" -p "$binary")
  while read -r dll; do
    if ! [[ $dll =~ $system_dlls ]]; then
      echo "FAIL $name imports $dll"
      status=1
    fi
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
  if [[ $name == *.8bf ]]; then
    exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | sed -n 's/^\s*\[ *[0-9]*\] //p')
    if [ "$exports" != "ENTRYPOINT" ]; then
      echo "FAIL $name exports: $(echo $exports)"
      status=1
    fi
  fi
  [ $status -eq 0 ] && echo "ok   $name: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
done
exit $status
