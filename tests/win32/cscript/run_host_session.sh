#!/usr/bin/env bash
# run_host_session.sh WINE DLL SCRIPT [x86]: registers the server DLL, runs the JScript host
# session under the system's script host, and unregisters the DLL again; with x86, the 32-bit
# script host and regsvr32 (from syswow64) register and drive a 32-bit DLL, in the registry's
# 32-bit view. Passes when the script ends with status 0 and its last line says so (a script
# the engine cannot read ends silently with status 0). No screen: a message box the component
# might show then returns at once.
set -uo pipefail
wine=$1
dll=$(winepath -w "$2")
script=$(winepath -w "$3")
programs='C:\windows\system32'
if [[ ${4:-} == x86 ]]; then
  programs='C:\windows\syswow64'
elif [[ $(basename "$wine") == wine64 ]]; then
  # wine's own loader, not its wrapper script: the programs it starts take the same one.
  export WINELOADER=$wine
fi
unset DISPLAY

if ! "$wine" "$programs\regsvr32.exe" /s "$dll"; then
  echo "registering $dll failed"
  exit 1
fi
# The 32-bit server belongs in the registry's 32-bit view alone, where 32-bit hosts look.
if [[ ${4:-} == x86 ]]; then
  classes='HKLM\Software\Classes'
  clsid=$("$wine" reg query "$classes\Kavelmor.clsKavelmor\CLSID" /ve /reg:32 | grep -o '{[^}]*}')
  server="$classes\CLSID\\$clsid\InprocServer32"
  if ! "$wine" reg query "$server" /ve /reg:32 | grep -qiF "$dll" ||
    "$wine" reg query "$server" /ve /reg:64 >/dev/null 2>&1; then
    "$wine" "$programs\regsvr32.exe" /s /u "$dll"
    echo "$dll is not registered in the 32-bit view alone"
    exit 1
  fi
fi
output=$("$wine" "$programs\cscript.exe" //nologo "$script" 2>&1)
status=$?
"$wine" "$programs\regsvr32.exe" /s /u "$dll"
printf '%s\n' "$output"
if ((status != 0)) || ! printf '%s\n' "$output" | tail -n 1 | grep -q '^all as expected'; then
  echo "the host session did not end as expected (status $status)"
  exit 1
fi
