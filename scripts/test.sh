#!/usr/bin/env bash
# The whole test suite: builds with warnings as errors and runs every test, then runs the suite
# again in an address- and undefined-behaviour-sanitizer build. Last, clang builds everything with
# warnings as errors as the fuzz build, and every fuzz target runs a short while on its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh build -DKIVOLY_WERROR=ON
(cd build && ctest --output-on-failure -j"$jobs")

scripts/setup.sh build-asan -DKIVOLY_WERROR=ON -DKIVOLY_SANITIZE=ON -DKIVOLY_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j"$jobs" -LE nosanitize)

CC=clang CXX=clang++ scripts/setup.sh build-clang -DKIVOLY_WERROR=ON -DKIVOLY_FUZZ=ON
scripts/fuzz.sh build-clang 20
