#!/usr/bin/env bash
# Checks that each Windows artefact imports only DLLs every Windows installation
# has: the C and C++ runtimes, winpthreads and the codecs must be linked in,
# or the VST3, the app and the tool fail to load on a user's machine.
# Usage: check-imports.sh OBJDUMP FILE...
set -euo pipefail
objdump="$1"; shift
# Windows' own libraries (msvcrt.dll is the system's C runtime).
system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|ws2_32|wsock32|wininet|version|imm32|shlwapi|rpcrt4|winmm|dxgi|d2d1|dwrite|d3d11|dwmapi|opengl32|setupapi|crypt32|bcrypt|uxtheme|iphlpapi|msimg32|msvcrt|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for file in "$@"; do
  imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  if [[ -z "$imports" ]]; then
    echo "FAIL $file: no import table found"; status=1; continue
  fi
  foreign=$(grep -Ev "$system" <<<"$imports" || true)
  if [[ -n "$foreign" ]]; then
    echo "FAIL $file imports DLLs that are not part of Windows:" $foreign; status=1
  else
    echo "ok   $file:" $imports
  fi
done
exit $status
