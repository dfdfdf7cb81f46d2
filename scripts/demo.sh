#!/bin/sh
# The program's main job on the demo package, under Wine in a private prefix
# (build/demo-run) with its own Xvfb display: a silent installation from the
# package folder, what it installed, the running product taking over two image
# types, the silent uninstallation, and what is left: nothing of the product but
# the uninstaller's temporary copy, whose deletion waits for the next start of
# Windows (`wine wineboot -r` in that prefix).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/bootstrap.sh"
"$top/scripts/build.sh"

root="$top/build/demo-run"
sh "$top/tests/harness/prefix-up.sh" "$root"
trap 'sh "$top/tests/harness/prefix-down.sh" "$root"' EXIT
. "$root/env"

drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files (x86)/Glimmerix 6"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs"
desktop="$drive/users/Public/Desktop"
windir='C:\Program Files (x86)\Glimmerix 6'
exts='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts'

run() {  # runs a Windows program to its end; its output goes to a file, not a pipe
  wine "$@" </dev/null >"$root/last-run.log" 2>&1 && status=0 || status=$?
  echo "   exit code $status"
}

show() {
  echo "-- install folder: $folder"
  if [ -d "$folder" ]; then (cd "$folder" && find . -type f | sort | sed 's/^/   /'); else echo "   (none)"; fi
  echo "-- program group and desktop shortcuts"
  find "$menu" "$desktop" -name '*.lnk' 2>/dev/null | sed "s|^$drive|   C:|" | sort
  echo "-- registry (32-bit view)"
  for key in 'HKLM\SOFTWARE\Orvandelsys' \
             'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerix 6' \
             'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Glimcap6.exe' \
             "$exts\\.bmp" "$exts\\.png"; do
    wine reg query "$key" /s /reg:32 </dev/null >"$root/reg.txt" 2>&1 && tr -d '\r' <"$root/reg.txt" | sed '/^$/d; s/^/   /' \
      || echo "   $key: (none)"
  done
}

echo "== Silent installation: setup.exe -s from the package folder $top/build/package"
run "$top/build/package/setup.exe" -s
show

echo
echo "== The product runs and takes over .bmp (which had a handler) and .png (which had none)"
wine reg add "$exts\\.bmp" /v Application /d PhotoViewer.exe /f </dev/null >/dev/null 2>&1
wine "$windir\\Glimcap6.exe" -takeover .bmp .png </dev/null >"$root/product.log" 2>&1 &
i=0
until wine reg query "$exts\\.png" /v Application </dev/null >/dev/null 2>&1 || [ $i -ge 150 ]; do
  sleep 0.2; i=$((i + 1))
done
echo "-- image handlers"
wine reg query "$exts" /s </dev/null 2>/dev/null | tr -d '\r' | sed '/^$/d; s/^/   /'

echo
echo "== Silent uninstallation: the installed OrvUnInst.exe -s (closes the product first)"
run "$folder/OrvUnInst.exe" -s
# The uninstaller hands over to its temporary copy (uni*.tmp), which does the removal: wait for its end.
i=0
while [ $i -lt 150 ]; do
  winedbg --command "info process" </dev/null >"$root/tasks.txt" 2>/dev/null || true
  grep -qi "'uni.*\.tmp'" "$root/tasks.txt" || break
  sleep 0.2; i=$((i + 1))
done
show
echo "-- left for the next restart of Windows (PendingFileRenameOperations)"
wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations </dev/null \
  >"$root/reg.txt" 2>&1 && tr -d '\r' <"$root/reg.txt" | sed '/^$/d; s/^/   /' || echo "   (nothing)"
