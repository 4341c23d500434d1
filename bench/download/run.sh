#!/usr/bin/env bash
# Download benchmark: a generated attachment of 1 GiB (and one of 256 MiB, to show that
# memory does not grow with the size) fetched from the same page of the local test
# server by curl and by the download dialog in file mode, alternately, in one run.
# Prints the best time of each, the throughput ratio (dialog / curl) and the dialog
# process's peak working set. A third program, WinInet copying on one thread without a
# dialog, shows how much of the gap to curl is the platform's WinInet under Wine.
# Usage: bench/download/run.sh [x64 build tree] [runs]   (default build/x64, 3)
set -euo pipefail
runs=3
source "$(dirname "$0")/../bench-env.sh" "$@"
work=${NVATT_BENCH_DIR:-$build/bench-download}
exe=$build/bench/download/download_bench.exe
copy=$build/bench/download/wininet_copy.exe
[ -f "$exe" ] && [ -f "$copy" ] || { echo "run.sh: $exe or $copy not built" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
gib=$((1024 * 1024 * 1024))
cat > "$work/routes.json" <<JSON
{"/download.asp": {"generate": $gib}, "/small.asp": {"generate": $((gib / 4))}}
JSON
server=
bench_cleanup() { [ -n "$server" ] && { kill $server 2>/dev/null; wait $server 2>/dev/null; }; }
/usr/bin/python3 "$root/server/nvatt_server.py" --port-file "$work/port" --routes "$work/routes.json" \
  > "$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$work/port")"

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
get() { sed -n "s/^$1=//p" "$2" | tr -d '\r'; }


# One download each of the two sizes first: both files are compared with curl's.
dialog_run() {  # page, output file, report file
  "$root/scripts/wine-run" "$exe" "$base/$1" "Z:$2" > "$3"
  [ "$(get result "$3")" = 0x00000000 ] || { echo "run.sh: the dialog's download failed" >&2; cat "$3" >&2; exit 1; }
}
curl -s -f -o "$work/curl-small.bin" "$base/small.asp"
dialog_run small.asp "$work/dialog-small.bin" "$work/small.txt"
cmp "$work/curl-small.bin" "$work/dialog-small.bin" || { echo "run.sh: the 256 MiB files differ" >&2; exit 1; }
rm -f "$work/curl-small.bin" "$work/dialog-small.bin"

curl_best=1e30
dialog_best=1e30
copy_best=1e30
for i in $(seq "$runs"); do
  rm -f "$work/curl.bin" "$work/dialog.bin" "$work/copy.bin"
  sync
  t0=$(now); curl -s -f -o "$work/curl.bin" "$base/download.asp"; t1=$(now)
  curl_best=$(calc "($t1 - $t0) < $curl_best ? ($t1 - $t0) : $curl_best")
  dialog_run download.asp "$work/dialog.bin" "$work/large-$i.txt"
  s=$(get seconds "$work/large-$i.txt")
  dialog_best=$(calc "$s < $dialog_best ? $s : $dialog_best")
  "$root/scripts/wine-run" "$copy" "$base/download.asp" "Z:$work/copy.bin" > "$work/copy.txt"
  s=$(get seconds "$work/copy.txt")
  copy_best=$(calc "$s < $copy_best ? $s : $copy_best")
done
cmp "$work/curl.bin" "$work/dialog.bin" || { echo "run.sh: the 1 GiB files differ" >&2; exit 1; }
[ "$(stat -c %s "$work/dialog.bin")" = "$gib" ] || { echo "run.sh: the 1 GiB file has the wrong size" >&2; exit 1; }
rm -f "$work/curl.bin" "$work/dialog.bin" "$work/copy.bin"

mib=1024
printf 'data: 1 GiB generated attachment from the local test server, best of %s runs each\n' "$runs"
printf '%-40s %7.2f s %8.1f MiB/s\n' "curl -o file" "$curl_best" "$(calc "$mib / $curl_best")"
printf '%-40s %7.2f s %8.1f MiB/s\n' "download dialog, file mode (Wine)" "$dialog_best" "$(calc "$mib / $dialog_best")"
printf '%-40s %7.2f s %8.1f MiB/s\n' "WinInet on one thread, no dialog (Wine)" "$copy_best" "$(calc "$mib / $copy_best")"
printf 'throughput ratio dialog / curl: %.2f   (WinInet alone / curl: %.2f)\n' \
  "$(calc "$curl_best / $dialog_best")" "$(calc "$curl_best / $copy_best")"
printf 'peak working set of the dialog process: 256 MiB download %s MiB, 1 GiB download %s MiB (at start %s MiB)\n' \
  "$(get peak_mb_end "$work/small.txt")" "$(get peak_mb_end "$work/large-1.txt")" "$(get peak_mb_start "$work/large-1.txt")"
printf 'load average during the run: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
