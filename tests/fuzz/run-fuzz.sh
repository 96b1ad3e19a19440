#!/usr/bin/env bash
# Runs the libFuzzer targets of a fuzz build tree (make fuzz-tree).
#   run-fuzz.sh [--smoke] FUZZ_TREE TARGET|all [SECONDS]   SECONDS each (default 300)
# Seeds: seeds/TARGET here and the real captures of CORVANE_SHARED_DATA (else
# ../shared/data) when there. A campaign keeps its corpus in
# FUZZ_TREE/fuzz-corpus/TARGET; --smoke (the test suite's short runs) keeps
# nothing. A failing input goes to FUZZ_TREE/fuzz-artifacts/TARGET/.
# FUZZ_MAX_RUNS, when set, also ends each run after that many executions.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
smoke=0
[ "${1:-}" = --smoke ] && smoke=1 && shift
tree=$(cd "${1:?fuzz build tree}" && pwd)
target=${2:-all}
seconds=${3:-300}
data=${CORVANE_SHARED_DATA:-$top/../shared/data}

run_one() {
  local name=$1 corpus=$tree/fuzz-corpus/$1 max_len=4096 status
  case $name in ts_reader) max_len=20000 ;; data_file) max_len=65536 ;; event_decode) max_len=16384 ;; difference) max_len=1024 ;; esac
  [ $smoke = 1 ] && corpus=$(mktemp -d)
  mkdir -p "$corpus" "$tree/fuzz-artifacts/$name"
  local dirs=("$corpus" "$top/tests/fuzz/seeds/$name")
  [ -d "$data" ] && dirs+=("$data")
  echo "run-fuzz: $name for ${seconds}s"
  nice -n 10 "$tree/tests/fuzz/${name}_fuzz" -max_total_time="$seconds" ${FUZZ_MAX_RUNS:+-runs=$FUZZ_MAX_RUNS} \
    -max_len=$max_len -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$tree/fuzz-artifacts/$name/" "${dirs[@]}"
  status=$?
  [ $smoke = 1 ] && rm -rf "$corpus"
  return $status
}

failed=0
for name in $([ "$target" = all ] && echo arib ts_reader ts_edit data_file event_decode difference reservation text_match || echo "$target"); do
  run_one "$name" || failed=1
done
exit $failed
