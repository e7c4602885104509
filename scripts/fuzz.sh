#!/usr/bin/env bash
# Builds the codec fuzzers with clang (libFuzzer, ASan, UBSan) in build-fuzz
# and runs each for a number of seconds (default 60).
#   scripts/fuzz.sh [seconds] [fuzzer ...]
# New inputs go to build-fuzz/corpus/<name>, findings to
# build-fuzz/findings/<fuzzer>-*; the seed corpus in tests/fuzz/corpus is
# only read. Copy a finding into tests/fuzz/corpus/<name> once it is fixed,
# so that the replay test keeps it.
set -u
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
fuzzers=("$@")
[ ${#fuzzers[@]} -eq 0 ] && fuzzers=(unpack_fuzzer pack_roundtrip_fuzzer payload_header_fuzzer settings_fuzzer section_locator_fuzzer
  version_resource_fuzzer uninstall_data_fuzzer icon_file_fuzzer bitmap_file_fuzzer)

CC=clang CXX=clang++ cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build-fuzz || exit 1

status=0
for fuzzer in "${fuzzers[@]}"; do
  name=${fuzzer%_fuzzer}
  mkdir -p "build-fuzz/corpus/$name" build-fuzz/findings
  echo "== $fuzzer for ${seconds}s"
  if ! "build-fuzz/$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
      -rss_limit_mb=4096 -artifact_prefix="build-fuzz/findings/$fuzzer-" \
      "build-fuzz/corpus/$name" "tests/fuzz/corpus/$name"; then
    echo "== $fuzzer found a failure: see build-fuzz/findings/" >&2
    status=1
  fi
done
exit $status
