#!/bin/bash
# The manual pages and the bash completion as the build wrote them: the pages
# render without a warning from groff or mandoc, and the completion offers
# what the command tables hold. Exits 77 (skipped) when the checkers are not
# installed; CI installs groff, mandoc and bash-completion.
# Usage: check-docs.sh DOCS_DIR QUILLMOTH_CLI
set -u
docs=$1
cli=$2
missing=""
for tool in groff mandoc; do
    command -v $tool >/dev/null 2>&1 || missing="$missing $tool"
done
completion_lib=/usr/share/bash-completion/bash_completion
[ -r $completion_lib ] || missing="$missing bash-completion"
if [ -n "$missing" ]; then
    echo "SKIPPED: not installed:$missing"
    exit 77
fi
status=0
fail() {
    echo "FAILED: $*"
    status=1
}

for page in "$docs"/quillmoth-cli.1 "$docs"/quillmoth.1; do
    warnings=$(groff -ww -man -Tutf8 -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "groff on $page: $warnings"
    lint=$(mandoc -Tlint -W warning "$page" 2>&1)
    [ -z "$lint" ] || fail "mandoc on $page: $lint"
done

# Every command of the program has its section on the page.
mapfile -t commands < <("$cli" --help | sed -n '/^Commands:/,$p' | awk 'NR > 1 { print $1 }')
[ ${#commands[@]} -gt 0 ] || fail "no commands in quillmoth-cli --help"
for command in "${commands[@]}"; do
    grep -q "^\.SS $command\$" "$docs"/quillmoth-cli.1 || fail "no section for $command"
done

# What Tab offers after the words given (the word under the cursor last).
complete_words() {
    local script=$1
    shift
    bash -c '
        source '"$completion_lib"'
        source "$1"
        shift
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        function=$(complete -p "$1" | sed "s/.*-F \([^ ]*\) .*/\1/")
        "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
        printf "%s\n" "${COMPREPLY[@]}" | sort
    ' complete "$script" "$@"
}
expect() {
    local got=$1 wanted=$2 what=$3
    [ "$got" = "$wanted" ] ||
        fail "$what: got [$(tr '\n' ' ' <<<"$got")], wanted [$(tr '\n' ' ' <<<"$wanted")]"
}

cli_completion="$docs"/quillmoth-cli.bash
expect "$(complete_words "$cli_completion" quillmoth-cli '')" "$(printf '%s\n' "${commands[@]}" | sort)" \
    "every command"
expect "$(complete_words "$cli_completion" quillmoth-cli --library /x emb)" \
    "$(printf '%s\n' "${commands[@]}" | grep '^emb' | sort)" "commands after a global option"
for command in "${commands[@]}"; do
    # The options --help lists for the command, and --help itself.
    wanted=$({ "$cli" "$command" --help | sed -n '/^Options:/,/^$/p' |
        grep -o '^  --[a-z-]*' | tr -d ' '; echo --help; } | sort)
    expect "$(complete_words "$cli_completion" quillmoth-cli "$command" --)" "$wanted" \
        "options of $command"
done
expect "$(complete_words "$cli_completion" quillmoth-cli embed --target '')" "" \
    "a number to type after --target"
expect "$(complete_words "$docs"/quillmoth.bash quillmoth --)" \
    "$(printf '%s\n' --demo --help --library --version | sort)" "options of quillmoth"
exit $status
