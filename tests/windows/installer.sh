#!/usr/bin/env bash
# The installer under Wine, in a scratch Wine prefix of its own: a silent
# installation ("/SP- /VERYSILENT", as the program's update runs it) into
# Program Files with its Start-menu entry and Apps & Features entry; the
# installed vantrel.exe keeps its data in %LOCALAPPDATA%\Vantrel; a silent
# upgrade to a newer build keeps that data and tells the program its new
# version; the silent uninstall (/S) removes the program and leaves the data.
# The upgrade waits while Vantrel runs. Then the same over a copy that keeps
# its data beside itself in Data\.
# Arguments: the installer, its version, the program folder, the stand-in
# that holds the running program's mutex, and what builds a newer installer
# (cmake, the script, make_installer.cmake's -D arguments).
set -euo pipefail
installer="$1" version="$2" program="$3" standin="$4" cmake="$5" make_script="$6"
shift 6
make_args=("$@")

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
run() { timeout 300 wine "$@" </dev/null; local rc=$?; wineserver -w; return $rc; }

# The newer build: the same files with a higher version.
newer="${version%.*}.$((${version##*.} + 1))"
"$cmake" "${make_args[@]}" -DVERSION="$newer" -DOUTPUT="$work/vantrel-setup-$newer.exe" \
  -P "$make_script" >/dev/null || fail "the newer installer could not be built"

wineboot -i >/dev/null 2>&1 || true
wineserver -w
c="$WINEPREFIX/drive_c"
pf="$c/Program Files/Vantrel"
local_app="$(ls -d "$c"/users/*/AppData/Local | grep -v /Public/ | head -1)"
data="$local_app/Vantrel"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'
reg_value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"; }
sum() { cat "$@" | sha256sum; }

# Never a check for updates on the internet.
mkdir -p "$data"
printf '[Options]\r\nUpdate=0\r\n' >"$data/Vantrel.ini"

# --- silent installation -----------------------------------------------------
run "$installer" /SP- /VERYSILENT || fail "the installer exited with $?"
for f in vantrel.exe Uninstall.exe Help/index.html Images en_US.dic "Release Notes.rtf"; do
  [ -e "$pf/$f" ] || fail "Program Files\\Vantrel\\$f was not installed"
done
[ -f "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantrel.lnk" ] || fail "no Start-menu entry"
for kv in DisplayName=Vantrel DisplayVersion="$version" \
  QuietUninstallString='"C:\Program Files\Vantrel\Uninstall.exe" /S'; do
  [ "$(reg_value "${kv%%=*}")" = "${kv#*=}" ] || fail "${kv%%=*} is '$(reg_value "${kv%%=*}")'"
done

# --- the installed program keeps its data per user ---------------------------
run "C:\\Program Files\\Vantrel\\vantrel.exe" >/dev/null 2>&1 || true
head -c 16 "$data/Data/VantrelData.db3" 2>/dev/null | grep -q "SQLite format 3" ||
  fail "the installed program made no database in %LOCALAPPDATA%\\Vantrel\\Data"
grep -q '^\[Column\]' "$data/Vantrel.ini" || fail "the installed program wrote no settings"
for f in Data Vantrel.ini Backup; do
  [ ! -e "$pf/$f" ] || fail "the installed program wrote $f into Program Files"
done
db_sum="$(sum "$data/Data/VantrelData.db3" "$data/Vantrel.ini")"

# --- silent upgrade, started while Vantrel still runs for 12 s ---------------
held="$(dirname "$standin")/instance-held"
rm -f "$held"
wine "$standin" /hold-instance 12 </dev/null & holder=$!
for _ in $(seq 600); do [ -e "$held" ] && break; sleep 0.1; done
t0=$(date +%s)
run "$work/vantrel-setup-$newer.exe" /SP- /VERYSILENT || fail "the upgrade exited with $?"
wait $holder
[ "$(stat -c %Y "$pf/Uninstall.exe")" -ge $((t0 + 10)) ] ||
  fail "the upgrade replaced the program while it ran ($(($(stat -c %Y "$pf/Uninstall.exe") - t0)) s)"
[ "$(reg_value DisplayVersion)" = "$newer" ] || fail "after the upgrade DisplayVersion is '$(reg_value DisplayVersion)'"
[ "$(sum "$data/Data/VantrelData.db3" "$data/Vantrel.ini")" = "$db_sum" ] ||
  fail "the upgrade changed the database or the settings"
grep -q "^NewVersion=$newer" "$data/Updater.ini" || fail "the upgrade left no Updater.ini for the program"
out="$(run "C:\\Program Files\\Vantrel\\vantrel.exe" 2>&1 || true)"
grep -q "has been updated to version $newer" <<<"$out" ||
  fail "the upgraded program did not report the update: $out"

# --- silent uninstall ---------------------------------------------------------
db_sum="$(sum "$data/Data/VantrelData.db3")"
run "C:\\Program Files\\Vantrel\\Uninstall.exe" /S || fail "the uninstaller exited with $?"
[ ! -e "$pf" ] || fail "Program Files\\Vantrel is still there: $(ls "$pf")"
[ ! -e "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vantrel.lnk" ] || fail "the Start-menu entry is still there"
[ -z "$(reg_value DisplayName)" ] || fail "the Apps & Features entry is still there"
[ "$(sum "$data/Data/VantrelData.db3")" = "$db_sum" ] || fail "the uninstall touched the database"

# --- an installation over a copy that keeps its data beside itself -----------
# (NSIS takes /D= unquoted, so the folder has no blank.)
portable="$c/VantrelCopy"
mkdir -p "$portable/Data"
cp "$data/Data/VantrelData.db3" "$portable/Data/"
printf '[Options]\r\nUpdate=0\r\n' >"$portable/Vantrel.ini"
cp "$program/vantrel.exe" "$portable/"
mkdir -p "$portable/Images" && echo own >"$portable/Images/station-logo.png"
p_sum="$(sum "$portable/Data/VantrelData.db3")"
run "$work/vantrel-setup-$newer.exe" /VERYSILENT "/D=C:\\VantrelCopy" || fail "the installation over the copy exited with $?"
[ "$(sum "$portable/Data/VantrelData.db3")" = "$p_sum" ] || fail "the installation changed the copy's database"
grep -q "^NewVersion=$newer" "$portable/Updater.ini" || fail "the installation over the copy left no Updater.ini beside it"
out="$(run "C:\\VantrelCopy\\vantrel.exe" 2>&1 || true)"
grep -q "has been updated to version $newer" <<<"$out" || fail "the program over the copy did not use its data: $out"
run "C:\\VantrelCopy\\Uninstall.exe" /S || fail "the uninstaller exited with $?"
[ ! -e "$portable/vantrel.exe" ] || fail "the uninstaller left vantrel.exe"
[ -f "$portable/Data/VantrelData.db3" ] && [ -f "$portable/Vantrel.ini" ] &&
  [ -f "$portable/Images/station-logo.png" ] || fail "the uninstaller removed the user's files"
echo "installed, upgraded and uninstalled; the data stayed"
