#!/usr/bin/env bash
# vantrel.exe, copied with its program folder, starts under Wine, creates
# Data\VantrelData.db3 (a database with the program's tables) and
# Vantrel.ini, and ends by itself.
set -euo pipefail
program="$1" wine_run="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$program" "$work/program"
rm -rf "$work/program/Data" "$work/program/Vantrel.ini"
timeout 120 "$wine_run" "$work/program/vantrel.exe"
db="$work/program/Data/VantrelData.db3"
test -s "$db" || { echo "no Data/VantrelData.db3"; exit 1; }
test -s "$work/program/Vantrel.ini" || { echo "no Vantrel.ini"; exit 1; }
head -c 16 "$db" | grep -q "SQLite format 3" || { echo "Data/VantrelData.db3 is no SQLite database"; exit 1; }
grep -q "Master" "$db" || { echo "Data/VantrelData.db3 lacks the program's tables"; exit 1; }
echo "vantrel.exe made Data/VantrelData.db3 and Vantrel.ini"
