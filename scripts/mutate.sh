#!/usr/bin/env bash
# Mutation score: applies each source mutation of tests/mutations/mutations.tsv to a copy of the
# working tree, rebuilds, runs the whole suite and says whether some test failed (killed) or every
# test still passed (survived). A survivor is a bug the suite would let through: it gets a test or a
# written reason in the list's comment lines.
#
#   scripts/mutate.sh [ID ...]      every mutation, or only those named
#
# A row too long to read on one line goes on over the lines below it that start with a tab (the tab
# separates its columns as on one line). The copy and its build live in build/mutate/; the working
# tree itself is never changed. Exits 0
# when every mutation was killed, 1 when one survived or could not be applied, 2 when the unmutated
# suite already fails.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
list=$top/tests/mutations/mutations.tsv
# The list with each row on one line: a line starting with a tab continues the row above it.
rows() {
  awk '/^\t/ && row != "" { row = row $0; next }
       row != "" { print row }
       { row = $0 }
       END { if (row != "") print row }' "$list"
}
work=$top/build/mutate
jobs=$(nproc)

# A copy of the tracked files as they stand now, uncommitted edits included. Only files whose
# content differs from the last run's copy (or from the mutant it ended on) are written, so they
# alone are newer than the last build and get rebuilt.
mkdir -p "$work/src"
git ls-files -z | while IFS= read -r -d '' path; do
  cmp -s "$path" "$work/src/$path" || cp --parents -t "$work/src" "$path"
done
# Files no longer tracked leave the copy.
comm -13 <(git ls-files | sort) <(cd "$work/src" && find . -type f | sed 's|^\./||' | sort) |
  while IFS= read -r gone; do rm -f "$work/src/$gone"; done
# Tests are listed when they run, not when they are linked: a busy machine would otherwise time out
# the listing and fail the build of a mutant that compiles. Programs are not relinked when only a shared
# library they use changed: a mutant changes what a function does, not what a library exports.
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_BENCH=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST -DCMAKE_LINK_DEPENDS_NO_SHARED=ON >/dev/null

build() { cmake --build "$work/build" -j"$jobs" >"$work/build.log" 2>&1; }
# Tests run with stdin closed: a tool they start (the video encoder) would otherwise read the list of
# mutations being walked.
exec </dev/null
# The first failing test's name, or nothing when the whole suite passed.
first_failure() {
  ctest --test-dir "$work/build" -j"$jobs" --stop-on-failure --timeout 600 >"$work/ctest.log" 2>&1 && return 0
  local name
  name=$(sed -n '/The following tests FAILED/{n;p;q}' "$work/ctest.log" | sed -E 's/^[[:space:]]*[0-9]+ - ([^ ]+).*/\1/')
  echo "${name:-(ctest failed: see $work/ctest.log)}"
}

# The test that killed each mutation last time (id, test) is tried first: a kill is a kill, and it
# saves running the whole suite per mutant. When it passes now, the whole suite runs.
killers=$work/killers.tsv
touch "$killers"
previous_killer() { awk -F'\t' -v id="$1" '$1 == id { print $2 }' "$killers" | tail -n 1; }
fails_alone() {
  local pattern
  pattern=$(printf '%s' "$1" | sed 's/[].[*^$+?(){}|\\]/\\&/g')
  ! ctest --test-dir "$work/build" -R "^${pattern}\$" --timeout 600 >"$work/ctest-one.log" 2>&1
}

echo "=== unmutated suite ==="
build || { echo "the unmutated tree does not build: $work/build.log"; exit 2; }
if [ -n "$(first_failure)" ]; then
  echo "the unmutated suite fails: $work/ctest.log"
  exit 2
fi

killed=0
survived=0
unusable=0
while IFS=$'\t' read -r -u 3 id file original mutated what; do
  case "$id" in "" | \#*) continue ;; esac
  [ $# -gt 0 ] && [[ " $* " != *" $id "* ]] && continue
  target=$work/src/$file
  cp "$target" "$work/original"
  # Literal text on both sides; "\n" in the list stands for a line break.
  count=$(FROM="$original" perl -0777 -ne '$f = $ENV{FROM}; $f =~ s/\\n/\n/g; print scalar(() = /\Q$f\E/g)' "$target")
  if [ "$count" != 1 ]; then
    printf '%-28s not applied: the original text occurs %s times in %s\n' "$id" "$count" "$file"
    unusable=$((unusable + 1))
    continue
  fi
  FROM="$original" TO="$mutated" perl -0777 -pi -e '$f = $ENV{FROM}; $t = $ENV{TO}; s/\\n/\n/g for $f, $t; s/\Q$f\E/$t/' "$target"
  if ! build; then
    printf '%-28s not applied: the mutant does not build (%s)\n' "$id" "$what"
    unusable=$((unusable + 1))
  else
    failure=$(previous_killer "$id")
    if [ -z "$failure" ] || ! fails_alone "$failure"; then failure=$(first_failure); fi
    [ -n "$failure" ] && printf '%s\t%s\n' "$id" "$failure" >>"$killers"
    if [ -n "$failure" ]; then
      printf '%-28s killed by %s\n' "$id" "$failure"
      killed=$((killed + 1))
    else
      printf '%-28s SURVIVED: %s (%s)\n' "$id" "$what" "$file"
      survived=$((survived + 1))
    fi
  fi
  cp "$work/original" "$target"
done 3< <(rows)

total=$((killed + survived + unusable))
echo "=== mutation score: $killed killed, $survived survived, $unusable not applied, of $total ==="
[ "$survived" -eq 0 ] && [ "$unusable" -eq 0 ]
