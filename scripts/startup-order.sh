#!/usr/bin/env bash
# Writes main/startup-order.txt: the functions of the program that run while it
# starts, one linker symbol a line. The program is linked with these functions
# side by side, so that start-up maps a few hundred pages of code instead of
# touching nearly every page of it (see main/CMakeLists.txt).
#
#   scripts/startup-order.sh [BUILD]     (BUILD defaults to build)
#
# The program runs under callgrind twice from a copy of the installation: once
# building and painting its frame headless, once on a virtual X display until
# it has shown its frame. Needs valgrind; the display run needs xvfb-run.
# Run it again after large changes to what start-up does; names that no longer
# exist are ignored by the linker.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
inst="$build/penvarro"
[ -x "$inst/bin/penvro" ] || { echo "no program in $inst/bin: build first" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cp -r "$inst" "$tmp/penvarro"
exe="$tmp/penvarro/bin/penvro"
cg=(valgrind --tool=callgrind --demangle=no --dump-instr=no)

"${cg[@]}" --callgrind-out-file="$tmp/headless.%p.out" "$exe" --headless-screenshot "$tmp/shot.png" >"$tmp/headless.log" 2>&1 ||
  { cat "$tmp/headless.log" >&2; exit 1; }
if command -v xvfb-run >/dev/null; then
  # the frame shows within a few seconds under callgrind; the program is then ended
  HOME="$tmp" timeout -s TERM 40 xvfb-run -a -s "-screen 0 1280x1024x24" \
    "${cg[@]}" --callgrind-out-file="$tmp/desktop.%p.out" "$exe" >"$tmp/desktop.log" 2>&1 || true
fi

# The functions of the program's own object that ran ("fn=" entries while the
# current object is the executable); callgrind names each object and function
# in full once and by number afterwards.
awk -v exe="$exe" '
  # "ob=(3) /path" names object 3 and "ob=(3)" refers to it again; the same for
  # functions; a name may first appear on a call line (cob=, cfn=)
  function split_id(s, key,    n) {
    if (match(s, /^\([0-9]+\)/)) { sid = substr(s, 2, RLENGTH - 2); srest = substr(s, RLENGTH + 2) }
    else { sid = ""; srest = s }
    if (sid == "") return srest
    if (srest != "") names[FILENAME, key, sid] = srest
    return names[FILENAME, key, sid]
  }
  /^c?ob=/ { n = split_id(substr($0, index($0, "=") + 1), "ob"); if ($0 ~ /^ob=/) cur = n; next }
  /^c?fn=/ { n = split_id(substr($0, index($0, "=") + 1), "fn"); if ($0 ~ /^fn=/ && cur == exe && n != "") print n }
' "$tmp"/*.out | grep -v "^0x\|^(" | LC_ALL=C sort -u >"$tmp/order.txt"
n=$(wc -l <"$tmp/order.txt")
[ "$n" -gt 100 ] || { echo "only $n functions found: the runs failed?" >&2; exit 1; }
cp "$tmp/order.txt" "$root/main/startup-order.txt"
echo "main/startup-order.txt: $n functions"
