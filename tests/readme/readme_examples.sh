#!/bin/bash
# Runs the README's command blocks (```sh) in order, as a reader would, in one scratch folder that
# holds a copy of scenes/: every command must end with exit 0, and every "# prints: TEXT" line
# under a command must be found in what that command printed.
#
# - A block whose first line starts with "# not run by the README test:" is skipped, with its reason
#   (it needs a cluster, builds the project, ...).
# - "build/release/" stands for the build folder under test.
# - To keep the run short, renders take one sample and sizes given with -s are cut to an eighth,
#   except in blocks with a "# prints:" line: they run as written, since their figures are what the
#   README claims.
#
# Usage: readme_examples.sh README.md BUILD_FOLDER
set -u
readme=$(realpath "$1")
build=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$(dirname "$readme")/scenes" "$work/"
cd "$work" || exit 1

skip_marker="# not run by the README test:"
failures=0
commands=0

# The command with the build folder; in a block without "# prints:" lines, also with one sample and
# an eighth of each -s size.
# shellcheck disable=SC2016 # the single quotes keep perl's variables for perl
adapted() {
  local shorter='s{(-s |--size )(\d+)x(\d+)}
                   {$1 . ($2 >= 64 ? int($2 / 8) : $2) . "x" . ($3 >= 64 ? int($3 / 8) : $3)}ge;
                 s{(orvex360 render)(?!.*--samples)}{$1 --samples 1}'
  ((checked)) && shorter=''
  perl -pe 's{\bbuild/release/}{'"$build"'/}g;'"$shorter" <<<"$1"
}

# Runs one command; its expected texts follow as further arguments.
run() {
  local command=$1 output status problem="" text
  shift
  commands=$((commands + 1))
  output=$(bash -c "$(adapted "$command")" 2>&1)
  status=$?
  ((status != 0)) && problem="exit $status"
  for text in "$@"; do
    grep -qF -- "$text" <<<"$output" || problem="${problem:+$problem; }did not print \"$text\""
  done
  if [[ -n $problem ]]; then
    failures=$((failures + 1))
    printf 'FAILED (%s): %s\n%s\n\n' "$problem" "$command" "$output"
  else
    printf 'ok: %s\n' "$command"
  fi
}

# One block: commands (lines ending in "\" continue), each with the "# prints:" lines below it.
run_block() {
  local first=${block[0]:-}
  first=${first#"${first%%[![:space:]]*}"}
  if [[ $first == "$skip_marker"* ]]; then
    printf 'not run: %s\n' "${first#"$skip_marker" }"
    return
  fi
  local command="" pending="" line checked=0
  local -a expected=()
  [[ ${block[*]} =~ \#[[:space:]]prints: ]] && checked=1
  for line in "${block[@]}"; do
    if [[ -n $pending ]]; then
      pending="$pending ${line}"
      [[ $line == *\\ ]] && { pending=${pending%\\}; continue; }
      [[ -n $command ]] && run "$command" "${expected[@]}"
      command=$pending pending="" expected=()
      continue
    fi
    if [[ $line =~ ^[[:space:]]*#[[:space:]]prints:[[:space:]](.*)$ ]]; then
      expected+=("${BASH_REMATCH[1]}")
    elif [[ $line =~ ^[[:space:]]*(#.*)?$ ]]; then
      continue
    elif [[ $line == *\\ ]]; then
      pending=${line%\\}
    else
      [[ -n $command ]] && run "$command" "${expected[@]}"
      command=$line expected=()
    fi
  done
  [[ -n $command ]] && run "$command" "${expected[@]}"
}

in_block=0
block=()
while IFS= read -r text; do
  # Fences may be indented, as in a list item.
  if ((in_block == 0)) && [[ $text =~ ^[[:space:]]*\`\`\`sh$ ]]; then
    in_block=1 block=()
  elif ((in_block == 1)) && [[ $text =~ ^[[:space:]]*\`\`\`$ ]]; then
    in_block=0
    run_block
  elif ((in_block == 1)); then
    block+=("$text")
  fi
done <"$readme"

printf '%d README commands run, %d failed\n' "$commands" "$failures"
((commands > 0 && failures == 0))
