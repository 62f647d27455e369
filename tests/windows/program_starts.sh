#!/usr/bin/env bash
# vantrel.exe, copied with its program folder, starts under Wine, creates
# Data\VantrelData.db3 (a database with the program's tables), writes its
# settings into Vantrel.ini, and ends by itself. The settings file given to it
# holds only the option that keeps the start from checking for an update on
# the internet.
set -euo pipefail
program="$1" wine_run="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$program" "$work/program"
rm -rf "$work/program/Data"
printf '[Options]\r\nUpdate=0\r\n' >"$work/program/Vantrel.ini"
timeout 120 "$wine_run" "$work/program/vantrel.exe"
db="$work/program/Data/VantrelData.db3"
test -s "$db" || { echo "no Data/VantrelData.db3"; exit 1; }
grep -q '^\[Column\]' "$work/program/Vantrel.ini" || { echo "Vantrel.ini was not written"; exit 1; }
head -c 16 "$db" | grep -q "SQLite format 3" || { echo "Data/VantrelData.db3 is no SQLite database"; exit 1; }
grep -q "Master" "$db" || { echo "Data/VantrelData.db3 lacks the program's tables"; exit 1; }
echo "vantrel.exe made Data/VantrelData.db3 and Vantrel.ini"
