#!/bin/sh
# Checks that a fuzz target sees the code it fuzzes: replays the corpus with
# coverage printing and compares the edges covered in the project's sources
# other than the harness with those covered in the harness itself. A library
# built without coverage instrumentation shows no edges at all, and the
# fuzzer then searches blind.
# usage: fuzz-coverage.sh <fuzzer> <corpus> <harness source> <project root>
fuzzer=$1 corpus=$2 harness=$3 root=$4
"$fuzzer" -runs=0 -print_coverage=1 "$corpus" 2>&1 | awk -v harness="$harness" -v root="$root/" '
  /^COVERED_FUNC:/ {
    split($0, parts, "edges: ")
    split(parts[2], counts, "/")
    file = $NF
    sub(/:[0-9]+$/, "", file)
    if (file == harness) own += counts[1]
    else if (index(file, root) == 1) seen += counts[1]
  }
  END {
    printf "edges covered by the corpus: %d in the harness, %d in the code it fuzzes\n", own, seen
    if (seen <= own) {
      print "the fuzzed code shows no more coverage than its harness: is it built with -fsanitize=fuzzer-no-link?"
      exit 1
    }
  }'
