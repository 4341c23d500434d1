#!/usr/bin/env bash
# Message file benchmark: 200 MB of attachments (many small files, a few large ones)
# written into one message file and extracted again, against a plain copy of the same
# bytes on the same disk, in one run. Prints times, ratios and peak memory.
# Usage: bench/store/run.sh [x64 build tree] [runs]   (default build/x64, 3)
set -euo pipefail
runs=3
source "$(dirname "$0")/../bench-env.sh" "$@"
work=${NVATT_BENCH_DIR:-$build/bench-store}
exe=$build/bench/store/store_bench.exe
[ -f "$exe" ] || { echo "run.sh: $exe not built" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/src"
# 1900 small files of 1 to 64 KB and 4 large ones, 200 MiB in all, random content.
/usr/bin/python3 - "$work/src" <<'PY'
import os, random, sys
folder = sys.argv[1]
rng = random.Random(949)
total = 200 * 1024 * 1024
small = [rng.randint(1024, 64 * 1024) for _ in range(1900)]
large_total = total - sum(small)
large = [large_total // 4] * 3 + [large_total - 3 * (large_total // 4)]
for i, size in enumerate(small):
    with open(os.path.join(folder, f'small-{i:04d}.bin'), 'wb') as f:
        f.write(rng.randbytes(size))
for i, size in enumerate(large):
    with open(os.path.join(folder, f'large-{i}.bin'), 'wb') as f:
        for left in range(size, 0, -(1 << 20)):
            f.write(rng.randbytes(min(left, 1 << 20)))
PY
sync

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
# Each copy, write and read runs $runs times; the best time counts. Everything is in the
# page cache by then, so the times compare the work done, not the disk's moods.
cp_seconds=1e30
for i in $(seq $runs); do
  rm -rf "$work/cp-copy"
  t0=$(now); cp -r "$work/src" "$work/cp-copy"; t1=$(now)
  cp_seconds=$(calc "($t1 - $t0) < $cp_seconds ? ($t1 - $t0) : $cp_seconds")
done

/usr/bin/time -v -o "$work/time.txt" "$root/scripts/wine-run" "$exe" "Z:$work/src" "Z:$work" $runs > "$work/bench.txt"
cmp -s <(cd "$work/src" && cat $(ls)) <(cd "$work/extracted" && cat $(ls)) || { echo "run.sh: extracted files differ" >&2; exit 1; }
[ "$(ls "$work/src" | wc -l)" = "$(ls "$work/extracted" | wc -l)" ] || { echo "run.sh: file count differs" >&2; exit 1; }

get() { sed -n "s/^$1=//p" "$work/bench.txt" | tr -d '\r'; }
bytes=$(get bytes)
mb=$(calc "$bytes / 1048576")
rss_kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
printf 'data: %s files, %.1f MiB; message file %.1f MiB; best of %s runs\n' "$(get files)" "$mb" "$(calc "$(get message_file_bytes) / 1048576")" "$runs"
printf '%-34s %8.2f s %8.1f MiB/s\n' "cp -r (Linux, same disk)" "$cp_seconds" "$(calc "$mb / $cp_seconds")"
printf '%-34s %8.2f s %8.1f MiB/s\n' "CopyFile (Wine, same disk)" "$(get copyfile_seconds)" "$(calc "$mb / $(get copyfile_seconds)")"
printf '%-34s %8.2f s %8.1f MiB/s\n' "write message file" "$(get write_seconds)" "$(calc "$mb / $(get write_seconds)")"
printf '%-34s %8.2f s %8.1f MiB/s\n' "read message file (extract)" "$(get read_seconds)" "$(calc "$mb / $(get read_seconds)")"
printf 'ratio write / cp: %.2f   read / cp: %.2f\n' "$(calc "$(get write_seconds) / $cp_seconds")" "$(calc "$(get read_seconds) / $cp_seconds")"
printf 'ratio write / CopyFile: %.2f   read / CopyFile: %.2f\n' "$(calc "$(get write_seconds) / $(get copyfile_seconds)")" "$(calc "$(get read_seconds) / $(get copyfile_seconds)")"
printf 'peak working set (GetProcessMemoryInfo): start %s MiB, after copy %s, after write %s, after read %s\n' \
  "$(get peak_mb_start)" "$(get peak_mb_after_copy)" "$(get peak_mb_after_write)" "$(get peak_mb_after_read)"
printf 'peak RSS of the Wine process (/usr/bin/time -v): %.1f MiB\n' "$(calc "$rss_kb / 1024")"
rm -rf "$work/src" "$work/cp-copy" "$work/copyfile" "$work/extracted" "$work/bench.pcm2"
