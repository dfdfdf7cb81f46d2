#!/bin/sh
# The demo package's whole life cycle under Wine, in a private prefix and display
# made fresh in BUILD/try: a silent install, what it installed, the product taking
# over two image types, a silent uninstall, and what is left (nothing but the
# uninstaller's temporary copy, which waits for the next start of Windows).
#
# Usage: sh scripts/life-cycle.sh [BUILD]   (BUILD defaults to build)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
root="$build/try"
sh "$here/tests/harness/prefix-up.sh" "$root"
. "$root/env"
run() { GLIMMERIX_TEST_ROOT="$root" "$here/tests/harness/wine-run.sh" "$@"; }

dir="$WINEPREFIX/drive_c/Program Files (x86)/Glimmerix 6"
windir='C:\Program Files (x86)\Glimmerix 6'
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
desktop="$WINEPREFIX/drive_c/users/Public/Desktop"
exts='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts'

show() {
  echo "=== $1"
  echo "--- install folder:"; ls "$dir" 2>/dev/null || echo "(none)"
  echo "--- product keys:"; wine reg query 'HKLM\SOFTWARE\Orvandelsys' /s /reg:32 2>/dev/null || echo "(none)"
  echo "--- uninstall entry:"
  wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerix 6' /reg:32 2>/dev/null || echo "(none)"
  echo "--- image handlers:"; wine reg query "$exts" /s 2>/dev/null || echo "(none)"
  echo "--- shortcuts:"; find "$menu" "$desktop" -name '*.lnk'
  echo "--- uninstaller copies in the temporary folder:"; ls "$WINEPREFIX"/drive_c/users/*/Temp | grep '^uni' || echo "(none)"
  echo "--- pending file operations:"
  wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null ||
    echo "(none)"
}

run "$build/package/setup.exe" -s
show "installed"

# .bmp had a handler before the product; .png had none.
wine reg add "$exts\\.bmp" /v Application /d PhotoViewer.exe /f >/dev/null
wine "$windir\\Glimcap6.exe" -takeover .bmp .png >/dev/null 2>&1 &
until wine reg query "$exts\\.png" /v Application >/dev/null 2>&1; do sleep 0.2; done
show "the running product has taken over .bmp and .png"

# The uninstaller closes the product and hands over to its temporary copy, which
# removes the rest: wait until the copy has come to the default shortcuts.
run "$windir\\OrvUnInst.exe" -s
until [ ! -e "$dir/OrvUnInst.log" ] && [ ! -e "$menu/Glimmerix 6" ] && [ ! -e "$desktop/Glimmerix 6.lnk" ]; do
  sleep 0.2
done
show "uninstalled"
echo "sh tests/harness/prefix-down.sh $root ends the prefix's processes and its display."
