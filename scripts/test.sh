#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite offscreen:
#   1. the release build and every test;
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. each libFuzzer target for a bounded time (DORVEL_FUZZ_SECONDS, default 30).
# DORVEL_TEST_STAGES picks stages, e.g. DORVEL_TEST_STAGES=release for a quick run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
stages=${DORVEL_TEST_STAGES:-release asan fuzz}
jobs=$(nproc)
"$top/scripts/install-deps.sh"
cd "$top"
export QT_QPA_PLATFORM=offscreen

for stage in $stages; do
  echo "=== $stage ==="
  case $stage in
    release)
      cmake --preset default
      cmake --build build --parallel "$jobs"
      ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout 900
      ;;
    asan)
      # Qt and fontconfig keep caches for the life of the process; leak reports of
      # them at exit are noise, so leak checking is off and everything else is fatal.
      # The Chromium inside Qt WebEngine frees some objects through a base type
      # (new-delete-type-mismatch in its own code), so that one check is off too.
      export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:new_delete_type_mismatch=0
      export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
      cmake --preset asan
      cmake --build build-asan --parallel "$jobs"
      ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --timeout 1800
      unset ASAN_OPTIONS UBSAN_OPTIONS
      ;;
    fuzz)
      cmake --preset fuzz -DDORVEL_FUZZ_SECONDS="${DORVEL_FUZZ_SECONDS:-30}"
      cmake --build build-fuzz --target fuzz_all --parallel "$jobs"
      ctest --test-dir build-fuzz -L fuzz --output-on-failure --parallel "$jobs"
      ;;
    *)
      echo "unknown test stage: $stage" >&2
      exit 2
      ;;
  esac
done
