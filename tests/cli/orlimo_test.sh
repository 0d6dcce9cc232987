#!/usr/bin/env bash
# Black-box tests of the orlimo executable, one CTest test per test_ function.
# Usage: orlimo_test.sh PATH/TO/orlimo TEST_NAME
# Each test runs in a temporary folder of its own; exit 77 means skipped. What
# a command does to a skin is for the core's tests: these test the arguments,
# the streams and files, the statuses, and that a failed run changes nothing.
set -euo pipefail

ORLIMO=$(realpath "$1")
EXAMPLE=$(cd "$(dirname "$0")/../../examples" && pwd)/skin.html
WORK=$(mktemp -d)
trap 'chmod -R u+rwx "$WORK"; rm -rf "$WORK"' EXIT
cd "$WORK"
chmod 755 .  # for the cases run as nobody
umask 022
cp "$EXAMPLE" skin.html
"$ORLIMO" apply -q skin.html >applied.html
ADDED='3 개의 BBCode 관련 코드 추가'

fail() { echo "FAIL: ${ran:+$ran: }$*" >&2; exit 1; }
orlimo() { "$ORLIMO" "$@"; }
same() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }
# Root may write anywhere, so the permission cases run as the user nobody.
as_user() {
    if [ "$(id -u)" -ne 0 ]; then "$@"; else setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; fi
}
# Every file below the folder but out and err, with what shows a change or a
# replacement: mode, inode, size, time (of folders, only the mode).
files() {
    find . ! -name out ! -name err \( -type d -printf '%p %m\n' -o -printf '%p %m %i %s %T@\n' \) | sort
}

# run COMMAND: runs the shell COMMAND (orlimo in it is the program under
# test), standard output to ./out, standard error to ./err, status in $status.
run() {
    ran=$1 before=$(files)
    eval "$1" >out 2>err && status=0 || status=$?
}
# check STATUS TEXT: on success TEXT is the whole of standard error; on a
# failure its first line names TEXT (and the usage follows, for status 2),
# standard output stays empty and no file below the folder is changed,
# replaced, created or removed.
check() {
    [ "$status" -eq "$1" ] || fail "status $status, expected $1; stderr: $(cat err)"
    if [ "$1" -eq 0 ]; then
        [ "$(cat err)" = "$2" ] || fail "stderr '$(cat err)', expected '$2'"
        return 0
    fi
    head -n 1 err | grep -qF -- "$2" || fail "stderr '$(cat err)' does not start with '$2'"
    [ ! -s out ] || fail "something was written to standard output"
    [ "$(files)" = "$before" ] || fail "files changed: $(diff <(echo "$before") <(files))"
    [ "$1" -ne 2 ] || grep -q '^Usage: orlimo apply|remove' err || fail "no usage"
}
# expect STATUS TEXT COMMAND
expect() {
    run "$3"
    check "$1" "$2"
}

test_commands_and_streams() {
    : >empty.html
    mkfifo pipe
    echo 'orlimo 3.5.0.1' >version.txt
    printf x >x.html
    cat /proc/version >proc-version.txt
    cat /sys/devices/system/cpu/online >sys-online.txt  # a file that shows 4096 bytes
    { echo skipped; cat skin.html; } >after-line.html
    orlimo --help >help.txt
    grep -q '^  65 .* larger than 512 MiB$' help.txt || fail "no limit in the help"
    # report | what standard output holds | command: standard input and output
    # named or not, options before or after the words, the report left out or
    # not; input that is one byte, shows no size or a wrong one, or was partly
    # or wholly read before orlimo started; a destination that is not a
    # regular file is written, not replaced; -h and --version end the parsing.
    local cases=(
        "|help.txt|orlimo -h"
        "|help.txt|orlimo apply -h --bogus"
        "|help.txt|orlimo remove skin.html --help"
        "|version.txt|orlimo --version"
        "3 개의 BBCode 관련 코드 제거!|skin.html|orlimo remove applied.html"
        "$ADDED|applied.html|orlimo apply <skin.html"
        "$ADDED|applied.html|cat skin.html | orlimo apply - -o -"
        "한 일 없음|x.html|printf x | orlimo apply"
        "한 일 없음|proc-version.txt|orlimo apply /proc/version"
        "한 일 없음|sys-online.txt|orlimo apply /sys/devices/system/cpu/online"
        "$ADDED|applied.html|(read -r _; orlimo apply) <after-line.html"
        "한 일 없음|empty.html|(cat >/dev/null; orlimo apply) <skin.html"
        "|applied.html|orlimo -q apply -- skin.html"
        "|applied.html|orlimo apply skin.html --quiet"
        "한 일 없음|empty.html|orlimo apply empty.html"
        "$ADDED|empty.html|orlimo apply skin.html -o /dev/null"
        "$ADDED|empty.html|cat pipe >from-pipe & orlimo apply skin.html -o pipe"
    )
    local entry report expected line
    for entry in "${cases[@]}"; do
        IFS='|' read -r report expected line <<<"$entry"
        expect 0 "$report" "$line"
        same out "$expected"
    done
    wait
    [ -c /dev/null ] && [ -p pipe ] || fail "/dev/null or the pipe was replaced"
    same from-pipe applied.html
    # A destination orlimo has open is written through it: appended to here.
    echo keep >log
    orlimo apply -q -o /dev/stdout skin.html >>log
    orlimo apply -q -o /dev/stderr skin.html 2>>log
    orlimo apply -q -o /dev/fd/0 skin.html 0>>log
    same log <(echo keep; cat applied.html applied.html applied.html)
}

# -o and -i replace the file a path names, links followed, and keep its mode;
# a new file gets 0666 less the umask (in o/, written as a user who may not
# write to /).
test_destination_keeps_mode_owner_and_links() {
    umask 027
    mkdir -m 777 o
    install -m 604 /dev/null kept.html
    install -m 751 skin.html in.html
    install -D -m 640 skin.html real/linked.html
    ln -s real/linked.html link.html
    ln -s real/made.html dangling.html
    ln -s real/chained.html c0 && for k in $(seq 40); do ln -s "c$((k - 1))" "c$k"; done
    local entry file mode line
    for entry in "o/new.html 640 as_user \"\$ORLIMO\" apply skin.html -o o/new.html" \
        "kept.html 604 orlimo apply --output=kept.html skin.html" \
        "in.html 751 orlimo apply -i in.html" \
        "real/linked.html 640 orlimo --in-place apply link.html" \
        "real/made.html 640 orlimo apply skin.html -o dangling.html" \
        "real/chained.html 640 orlimo apply skin.html -o c39"; do
        read -r file mode line <<<"$entry"
        expect 0 "$ADDED" "$line"
        [ ! -s out ] || fail "$line: wrote to standard output"
        same "$file" applied.html
        [ "$(stat -c %a "$file")" = "$mode" ] || fail "$file: mode $(stat -c %a "$file")"
    done
    expect 73 'Too many levels of symbolic links' 'orlimo apply skin.html -o c40'  # as the kernel
    [ -L link.html ] && [ -L dangling.html ] || fail "a link was replaced"
    same skin.html "$EXAMPLE"
    expect 0 '' 'orlimo -q apply skin.html -o skin.html'  # FILE as OUT
    same skin.html applied.html
    [ -z "$(find . -name '.orlimo-*')" ] || fail "temporary files left"

    [ "$(id -u)" -eq 0 ] || return 0  # root keeps the owner; another user clears set-ID bits
    install -o 65534 -g 65534 skin.html owned.html
    orlimo apply -q -i owned.html
    [ "$(stat -c %u:%g owned.html)" = 65534:65534 ] || fail "owner $(stat -c %u:%g owned.html)"
    mkdir -m 777 shared
    install -m 6666 skin.html shared/setid.html
    as_user "$ORLIMO" apply -q -i shared/setid.html
    [ "$(stat -c %a:%u shared/setid.html)" = 666:65534 ] || fail "set-ID bits kept"
}

# -i keeps the ACL and the extended attributes and adds none: the folder's
# default ACL must not reach a file that had no ACL.
test_in_place_keeps_acl_and_attributes() {
    cp skin.html acl.html
    install -D skin.html inherits/plain.html
    if ! { setfacl -m u:nobody:rw acl.html && setfattr -n user.note -v x acl.html &&
        setfacl -d -m u:nobody:rwx inherits; } 2>/dev/null; then
        echo "SKIP: needs setfacl and setfattr, and ACLs and user attributes in $WORK"
        exit 77
    fi
    local file attributes
    for file in acl.html inherits/plain.html; do
        attributes=$(getfattr -d -m - "$file" && stat -c %A "$file")
        expect 0 "$ADDED" "orlimo apply -i $file"
        [ "$(getfattr -d -m - "$file" && stat -c %A "$file")" = "$attributes" ] ||
            fail "$file lost or gained attributes"
    done
}

# A signal while the temporary file exists (orlimo waits on a pipe for its
# input): the file goes, the destination stays, and orlimo dies of the signal.
test_signal_removes_the_temporary_file() {
    echo 'the destination as it was' >dest.html
    mkfifo in
    local before signal pid status
    before=$(files)
    for signal in INT TERM HUP; do
        env --default-signal "$ORLIMO" apply -o dest.html in 2>err &
        pid=$!
        exec 3>in  # orlimo has opened its input and waits for bytes
        timeout 10 bash -c 'until [ -n "$(find . -name ".orlimo-*")" ]; do sleep 0.01; done' ||
            fail "no temporary file while orlimo waits for its input"
        kill -s "$signal" "$pid"
        wait "$pid" && status=0 || status=$?
        exec 3>&-
        [ "$status" -eq $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: status $status"
        [ "$(files)" = "$before" ] || fail "SIG$signal: files changed"
    done
}

test_failures_change_nothing() {
    printf 'the destination as it was\r\n' >dest.html
    printf '<p>\0 and more</p>' >nul.html
    printf '\xff\xfe<\0p\0>\0' >utf16.html
    install -m 000 /dev/null secret.html
    truncate -s $(((512 << 20) + 1)) huge.html  # sparse: costs no disk
    truncate -s $((512 << 20)) largest.html
    ln -s missing/made.html into-missing.html
    mkdir -m 777 folder open
    install -m 444 dest.html open/read-only.html
    install -D -m 666 dest.html locked/dest.html
    chmod 555 locked
    # The input is checked before the destination (huge.html into a folder),
    # from where it is read (its last byte, after dd has moved past the rest).
    local cases=(
        "2|missing command: apply or remove|orlimo -q"
        "2|unknown command 'frobnicate'|orlimo frobnicate skin.html"
        "2|unknown option '-x'|orlimo apply -qx skin.html"
        "2|unknown option '--bogus'|orlimo apply --bogus=3 skin.html"
        "2|option '--quiet' takes no value|orlimo apply --quiet=yes skin.html"
        "2|option '-o' needs a file name|orlimo apply skin.html -o"
        "2|option '-o' needs a file name|orlimo apply -o '' skin.html"
        "2|option '--output' needs a file name|orlimo apply --output= skin.html"
        "2|option '--output' needs a file name|orlimo apply skin.html --output"
        "2|-i needs a FILE to replace|orlimo apply -i -"
        "2|-i and -o cannot be used together|orlimo apply -i skin.html -o dest.html"
        "2|too many arguments: only one FILE is read|orlimo apply skin.html dest.html"
        "65|'nul.html' holds a NUL byte at byte offset 3|orlimo apply nul.html -o dest.html"
        "65|standard input holds a NUL byte at byte offset 3|orlimo remove -q <nul.html"
        "65|'nul.html' holds a NUL byte|orlimo remove -i nul.html"
        "65|'utf16.html' is UTF-16 (it starts with a byte-order mark)|orlimo apply utf16.html"
        "65|'huge.html' is larger than 512 MiB|orlimo apply huge.html -o folder"
        "65|standard input holds a NUL byte at byte offset 0|{ dd bs=1 skip=$((512 << 20)) count=0 2>/dev/null; orlimo apply; } <huge.html"
        "66|cannot open 'missing.html': No such file or directory|orlimo apply missing.html -o dest.html"
        "66|cannot read 'folder': Is a directory|orlimo apply folder -o dest.html"
        "66|cannot open standard input|orlimo apply <&-"
        "66|cannot open 'secret.html': Permission denied|as_user \"\$ORLIMO\" apply secret.html"
        "73|cannot write 'folder': Is a directory|orlimo apply skin.html -o folder"
        "73|No such file or directory|orlimo apply skin.html -o into-missing.html"
        "73|Permission denied|as_user \"\$ORLIMO\" apply skin.html -o open/read-only.html"
        "73|Permission denied|as_user \"\$ORLIMO\" apply skin.html -o locked/dest.html"
        "73|Permission denied|as_user \"\$ORLIMO\" remove -i locked/dest.html"
        "74|cannot read '/proc/self/mem': Input/output error|orlimo apply /proc/self/mem"
        "74|No space left on device|orlimo apply skin.html -o /dev/full"
        "74|File too large|(ulimit -f 1 && orlimo apply skin.html -o dest.html)"
        "74|cannot write standard output|orlimo apply skin.html >&-"
    )
    # A pipe is refused as soon as it passes the limit, holding it about once;
    # a file of the limit's size is taken, so its buffer is asked for (and
    # refused here). Sanitizers reserve far more address space than that.
    [ -n "${ORLIMO_SANITIZED:-}" ] || cases+=(
        "65|standard input is larger than 512 MiB|(ulimit -v $((768 << 10)) && yes | orlimo apply -o dest.html)"
        "71|out of memory|(ulimit -v $((256 << 10)) && orlimo apply largest.html)")
    local entry status message line
    for entry in "${cases[@]}"; do
        IFS='|' read -r status message line <<<"$entry"
        expect "$status" "$message" "$line"
    done
}

# Every allocation of a command refused in turn, by the test build
# orlimo_failing_allocation (out_of_memory_test.sh): status 71 and nothing
# changed each time, until the command succeeds past its last allocation.
out_of_memory_at_every_allocation() {
    echo 'the destination as it was' >dest.html
    local args k
    for args in "apply skin.html" "apply skin.html -o dest.html" "remove -o dest.html skin.html" \
        "apply -i skin.html"; do
        for ((k = 1; k <= 5000; k++)); do
            run "ORLIMO_FAIL_ALLOCATION=$k orlimo $args"
            [ "$status" -ne 0 ] || break
            check 71 "out of memory"
        done
        [ "$status" -eq 0 ] || fail "still failing after $k allocations"
        echo "'$args': succeeded once $((k - 1)) allocations had been refused in turn"
    done
}

# A skin larger than a pipe holds and than orlimo's blocks of standard input.
test_big_skin_through_pipes() {
    {
        sed '/^<body>/q' "$EXAMPLE"
        (yes $'<p>바람이 머무는 곳의 오래된 글 한 편, 그리고 또 한 편입니다.</p>\r' || true) | head -c $((4 << 20))
        sed '1,/^<body>/d' "$EXAMPLE"
    } >big.html
    expect 0 "$ADDED" 'cat big.html | orlimo apply -o big-applied.html'
    expect 0 '3 개의 BBCode 관련 코드 제거!' 'cat big-applied.html | orlimo remove'
    same out big.html
    expect 74 'Broken pipe' 'orlimo apply big.html | true'
}

"$2"
