#!/usr/bin/env bash
# Black-box tests of the orlimo executable, one CTest test per test_ function.
# Usage: orlimo_test.sh PATH/TO/orlimo TEST_NAME
# Each test runs in a temporary folder of its own. Exit 77 means skipped.
set -euo pipefail

ORLIMO=$(realpath "$1")
EXAMPLE=$(cd "$(dirname "$0")/../../examples" && pwd)/skin.html
WORK=$(mktemp -d)
trap 'chmod -R u+rwx "$WORK"; rm -rf "$WORK"' EXIT
cd "$WORK"

C='[##_rp_rep_desc_##]'
G='[##_guest_rep_desc_##]'
SCRIPT_LINE='<script type="text/javascript" src="./images/bbcode35.js"></script>'
NOTHING_DONE='한 일 없음'

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs orlimo: standard output to ./out, standard error to ./err, status in $status.
run() {
    set +e
    "$ORLIMO" "$@" >out 2>err
    status=$?
    set -e
}

expect_status() { [ "$status" -eq "$1" ] || fail "status $status, expected $1; stderr: $(cat err)"; }
# The report is the whole of standard error: exactly one line.
expect_report() { [ "$(cat err)" = "$1" ] && [ "$(wc -l <err)" -eq 1 ] ||
    fail "report '$(cat err)', expected '$1'"; }
expect_same() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }
expect_no_temp_files() {
    local left
    left=$(find "${1:-.}" -name '.orlimo-*')
    [ -z "$left" ] || fail "temporary files left: $left"
}

# A failure: the status, a message holding TEXT, nothing on standard output.
expect_failure() {
    expect_status "$1"
    grep -qF -- "$2" err || fail "stderr '$(cat err)' does not mention '$2'"
    [ ! -s out ] || fail "something was written to standard output"
}

# A destination with content and mode of its own, to see that failures leave
# it alone.
make_sentinel() {
    printf 'the destination as it was\r\n' >"$1"
    chmod 640 "$1"
    cp -p "$1" "$1.before"
}
expect_untouched() {
    expect_same "$1" "$1.before"
    [ "$(stat -c %a "$1")" = 640 ] || fail "$1 changed its mode"
    expect_no_temp_files "$(dirname "$1")"
}

# A skin of at least SIZE bytes: the example with filler paragraphs (CR LF,
# Korean) in front of its body, so that its tokens stay where Apply finds them.
make_big_skin() {
    local size=$1 file=$2 head body
    head=$(grep -n '^<body>' "$EXAMPLE" | cut -d: -f1)
    sed -n "1,${head}p" "$EXAMPLE" >"$file"
    (yes $'<p>바람이 머무는 곳의 오래된 글 한 편, 그리고 또 한 편입니다.</p>\r' || true) |
        head -c "$size" >>"$file"
    sed -n "$((head + 1)),\$p" "$EXAMPLE" >>"$file"
}

test_apply_then_remove_on_the_example() {
    cp "$EXAMPLE" skin.html
    run apply skin.html
    expect_status 0
    expect_report '3 개의 BBCode 관련 코드 추가'
    expect_same skin.html "$EXAMPLE"  # FILE is never written without -i
    mv out applied.html
    [ "$(grep -A1 -xF "$SCRIPT_LINE"$'\r' applied.html)" = "$SCRIPT_LINE"$'\r\n</head>\r' ] ||
        fail "no script line of its own right before </head>"
    grep -qF "<div class=\"bbcode\"><p>$C</p></div>" applied.html || fail "comment not wrapped"
    grep -qF "<div class=\"bbcode\">$G</div>" applied.html || fail "guest entry not wrapped"
    [ "$(stat -c %s applied.html)" -eq $(($(stat -c %s skin.html) + 69 + 2 * 26)) ] ||
        fail "unexpected bytes added"

    run apply applied.html  # takes the old markup out first, then adds it again
    expect_report '3 개의 BBCode 관련 코드 제거, 3 개 추가'
    expect_same out applied.html

    run remove applied.html
    expect_status 0
    expect_report '3 개의 BBCode 관련 코드 제거!'
    expect_same out "$EXAMPLE"
}

test_report_for_each_kind_of_result() {
    local filler='<p>a paragraph of text that keeps the tokens away from the end</p>'
    local wrapped="<div class=\"bbcode\"><p>$C</p></div>"
    # command | input | report
    local cases=(
        "apply|<p>plain</p>|$NOTHING_DONE"
        "remove|<p>plain</p>|$NOTHING_DONE"
        "apply||$NOTHING_DONE"
        "apply|<p>$C</p>$filler|1 개의 BBCode 관련 코드 추가"
        "apply|<head></head><p>$C</p>$G$filler|3 개의 BBCode 관련 코드 추가"
        "apply|$wrapped$filler|1 개의 BBCode 관련 코드 제거, 1 개 추가"
        "apply|<textarea class=\"bbcode\">$C</textarea>|1 개의 BBCode 관련 코드 제거, 0 개 추가"
        "remove|$SCRIPT_LINE$wrapped|2 개의 BBCode 관련 코드 제거!"
    )
    local entry command input report
    for entry in "${cases[@]}"; do
        IFS='|' read -r command input report <<<"$entry"
        printf '%s' "$input" >in.html
        run "$command" in.html
        expect_status 0
        expect_report "$report"
        run -q "$command" in.html
        expect_status 0
        [ ! -s err ] || fail "-q still printed '$(cat err)'"
    done
}

test_bytes_pass_through_unchanged() {
    # CR LF, a lone CR, a lone LF, UTF-8 and code page 949 Korean, tokens of
    # other names, no final line end.
    printf '<html>\r\n<body>\r\n<p>한국어 문단</p>\r<p>\xc7\xd1\xb1\xdb</p>\n' >skin.html
    printf '<p>[##_rp_rep_name_##] [##_RP_REP_DESC_##]</p>\r\n\xef\xbb\xbf</body>\r\n</html>' >>skin.html
    local command
    for command in apply remove; do
        run "$command" skin.html
        expect_status 0
        expect_report "$NOTHING_DONE"
        expect_same out skin.html
    done
    : >empty.html
    run apply empty.html
    expect_status 0
    [ ! -s out ] || fail "empty input gave output"
}

test_standard_input_and_output() {
    cp "$EXAMPLE" skin.html
    "$ORLIMO" apply skin.html >expected 2>/dev/null
    run apply <skin.html
    expect_status 0
    expect_same out expected
    run apply - -o - <skin.html
    expect_same out expected
    set +e
    cat skin.html | "$ORLIMO" apply -q >piped 2>err
    status=$?
    set -e
    expect_status 0
    expect_same piped expected

    # Naming an open descriptor of orlimo writes through it: appends here.
    echo keep >log
    "$ORLIMO" apply -q -o /dev/stdout skin.html >>log
    "$ORLIMO" apply -q -o /dev/stderr skin.html 2>>log
    "$ORLIMO" apply -q -o /dev/fd/3 skin.html 3>>log
    expect_same log <(echo keep; cat expected expected expected)
}

test_output_file_is_created_or_replaced() {
    cp "$EXAMPLE" skin.html
    "$ORLIMO" apply skin.html >expected 2>/dev/null
    umask 027
    run apply skin.html -o new.html
    expect_status 0
    [ ! -s out ] || fail "-o still wrote to standard output"
    expect_same new.html expected
    [ "$(stat -c %a new.html)" = 640 ] || fail "new file mode $(stat -c %a new.html)"

    printf 'old' >existing.html
    chmod 604 existing.html
    run apply --output=existing.html skin.html
    expect_status 0
    expect_same existing.html expected
    [ "$(stat -c %a existing.html)" = 604 ] || fail "mode not kept"
    expect_same skin.html "$EXAMPLE"

    run apply skin.html -o skin.html  # naming FILE as OUT is allowed
    expect_same skin.html expected
    expect_no_temp_files
}

test_in_place_keeps_permissions_and_links() {
    cp "$EXAMPLE" skin.html
    "$ORLIMO" apply skin.html >expected 2>/dev/null
    chmod 751 skin.html
    run apply -i skin.html
    expect_status 0
    [ ! -s out ] || fail "-i still wrote to standard output"
    expect_report '3 개의 BBCode 관련 코드 추가'
    expect_same skin.html expected
    [ "$(stat -c %a skin.html)" = 751 ] || fail "mode $(stat -c %a skin.html)"

    if [ "$(id -u)" -eq 0 ]; then  # root keeps the file's owner too
        cp "$EXAMPLE" owned.html
        chown 65534:65534 owned.html
        run apply -i owned.html
        expect_status 0
        [ "$(stat -c %u:%g owned.html)" = 65534:65534 ] || fail "owner $(stat -c %u:%g owned.html)"
        # Another user cannot keep root as the owner, so the set-ID bits go.
        mkdir -m 777 shared
        cp "$EXAMPLE" shared/setid.html
        chmod 6666 shared/setid.html
        chmod 755 "$WORK"
        setpriv --reuid=65534 --regid=65534 --clear-groups "$ORLIMO" apply -q -i shared/setid.html
        [ "$(stat -c %a:%u shared/setid.html)" = 666:65534 ] ||
            fail "set-ID file became $(stat -c %a:%u shared/setid.html)"
    fi

    mkdir real
    cp "$EXAMPLE" real/skin.html
    ln -s real/skin.html link.html
    run --in-place apply link.html
    expect_status 0
    [ -L link.html ] || fail "the link was replaced"
    expect_same real/skin.html expected

    # A dangling link gets the file it names; into a missing folder, nothing.
    ln -s real/made.html dangling.html
    ln -s missing/made.html into-missing.html
    run apply "$EXAMPLE" -o dangling.html
    expect_status 0
    [ -L dangling.html ] || fail "the dangling link was replaced"
    expect_same real/made.html expected
    run apply "$EXAMPLE" -o into-missing.html
    expect_failure 73 "No such file or directory"
    [ -L into-missing.html ] && [ ! -e missing ] || fail "a link into a missing folder was touched"
    expect_no_temp_files
}

# -i keeps the ACL and the extended attributes and adds none: the folder's
# default ACL must not reach a file that had no ACL.
test_in_place_keeps_acl_and_attributes() {
    cp "$EXAMPLE" acl.html
    mkdir inherits
    cp "$EXAMPLE" inherits/plain.html
    if ! { setfacl -m u:nobody:rw acl.html && setfattr -n user.note -v x acl.html &&
        setfacl -d -m u:nobody:rwx inherits; } 2>/dev/null; then
        echo "SKIP: needs setfacl and setfattr, and ACLs and user attributes in $WORK"
        exit 77
    fi
    local file
    for file in acl.html inherits/plain.html; do
        getfattr -d -m - "$file" >before
        stat -c %A "$file" >>before
        run apply -i "$file"
        expect_status 0
        { getfattr -d -m - "$file" && stat -c %A "$file"; } | diff before - >&2 ||
            fail "$file lost or gained attributes"
    done
}

# A signal while the temporary file exists (orlimo waits on a pipe for its
# input): the file goes, the destination stays, and orlimo dies of the signal.
test_signal_removes_the_temporary_file() {
    make_sentinel dest.html
    mkfifo in
    local signal pid k
    for signal in INT TERM HUP; do
        env --default-signal "$ORLIMO" apply -o dest.html in 2>err &
        pid=$!
        exec 3>in  # orlimo has opened its input and waits for bytes
        for ((k = 0; k < 1000; k++)); do
            [ -z "$(find . -name '.orlimo-*')" ] || break
            sleep 0.01
        done
        [ "$k" -lt 1000 ] || fail "no temporary file while orlimo waits for its input"
        kill -s "$signal" "$pid"
        wait "$pid" && status=0 || status=$?
        exec 3>&-
        expect_status $((128 + $(kill -l "$signal")))
        expect_untouched dest.html
    done
}

test_destination_that_is_not_a_regular_file() {
    cp "$EXAMPLE" skin.html
    "$ORLIMO" apply skin.html >expected 2>/dev/null
    run apply skin.html -o /dev/null
    expect_status 0
    mkfifo pipe
    cat pipe >from_pipe &
    run apply skin.html -o pipe
    wait
    expect_status 0
    [ -p pipe ] || fail "the pipe was replaced"
    expect_same from_pipe expected
}

test_usage_errors() {
    printf 'x' >skin.html
    local cases=(
        ""
        "frobnicate skin.html"
        "APPLY skin.html"
        "apply -x skin.html"
        "apply --bogus skin.html"
        "apply --quiet=yes skin.html"
        "apply skin.html -o"
        "apply --output= skin.html"
        "apply -i"
        "apply -i -"
        "apply -i skin.html -o out2"
        "apply skin.html other.html"
        "-q"
    )
    local entry
    for entry in "${cases[@]}"; do
        # shellcheck disable=SC2086 # the words of each case are its arguments
        run $entry
        expect_failure 2 "Usage: orlimo apply|remove"
        expect_same skin.html <(printf 'x')
    done
    run apply -o "" skin.html
    expect_failure 2 "option '-o' needs a file name"
}

test_help_and_version() {
    local args
    for args in -h --help "apply -h" "remove skin.html --help"; do
        # shellcheck disable=SC2086
        run $args
        expect_status 0
        grep -q '^Usage: orlimo' out || fail "no usage for $args"
        grep -q '^  74 ' out || fail "exit statuses not documented"
        [ ! -s err ] || fail "help wrote to standard error"
    done
    run --version
    expect_status 0
    [ "$(cat out)" = "orlimo 3.5.0.1" ] || fail "version '$(cat out)'"
}

test_nul_byte_is_refused() {
    printf '<p>\0 and more</p>' >nul.html
    cp nul.html nul.before
    make_sentinel dest.html
    run apply nul.html -o dest.html
    expect_failure 65 "NUL byte at byte offset 3"
    expect_untouched dest.html
    run remove -i nul.html
    expect_failure 65 "offset 3"
    expect_same nul.html nul.before
    run apply <nul.html
    expect_failure 65 "standard input holds a NUL byte at byte offset 3"
    printf '\xff\xfe<\0p\0>\0' >utf16.html
    run apply utf16.html
    expect_failure 65 "'utf16.html' is UTF-16 (it starts with a byte-order mark); save it as UTF-8"
}

test_missing_or_unreadable_input() {
    make_sentinel dest.html
    run apply missing.html -o dest.html
    expect_failure 66 "cannot open 'missing.html': No such file or directory"
    expect_untouched dest.html
    mkdir folder
    run apply folder -o dest.html
    expect_failure 66 "Is a directory"
    expect_untouched dest.html
    if [ "$(id -u)" -ne 0 ]; then  # root reads any file
        printf 'x' >secret.html
        chmod 000 secret.html
        run apply secret.html
        expect_failure 66 "Permission denied"
    fi
}

test_unwritable_destination() {
    cp "$EXAMPLE" skin.html
    run apply skin.html -o no/such/folder/out.html
    expect_failure 73 "No such file or directory"
    mkdir folder
    run apply skin.html -o folder
    expect_failure 73 "Is a directory"
    run apply skin.html -o /dev/full
    expect_failure 74 "No space left on device"
    make_sentinel dest.html
    (ulimit -f 1 && exec "$ORLIMO" apply skin.html -o dest.html) >out 2>err && status=0 || status=$?
    expect_failure 74 "File too large"
    expect_untouched dest.html
    set +e
    "$ORLIMO" apply skin.html >&- 2>err
    status=$?
    set -e
    expect_status 74
    grep -qF "cannot write standard output" err || fail "closed stdout: $(cat err)"
    expect_same skin.html "$EXAMPLE"
    if [ "$(id -u)" -ne 0 ]; then  # root writes any file
        make_sentinel dest.html
        chmod 440 dest.html
        run apply skin.html -o dest.html
        expect_failure 73 "Permission denied"
        chmod 640 dest.html
        expect_untouched dest.html
        mkdir locked && make_sentinel locked/dest.html && chmod 555 locked
        run apply skin.html -o locked/dest.html
        expect_failure 73 "Permission denied"
        expect_untouched locked/dest.html
    fi
}

test_broken_pipe_is_a_write_error() {
    make_big_skin $((1 << 20)) big.html  # more than a pipe holds
    set +e
    "$ORLIMO" apply big.html 2>err | true
    status=${PIPESTATUS[0]}
    set -e
    expect_status 74
    grep -qF "Broken pipe" err || fail "stderr: $(cat err)"
}

test_64_mib_skin() {
    make_big_skin $((64 << 20)) big.html
    run apply -o applied.html big.html
    expect_status 0
    expect_report '3 개의 BBCode 관련 코드 추가'
    run remove <applied.html
    expect_status 0
    expect_report '3 개의 BBCode 관련 코드 제거!'
    expect_same out big.html
}

test_larger_than_512_mib_is_refused() {
    truncate -s $(((512 << 20) + 1)) huge.html  # sparse: costs no disk
    make_sentinel dest.html
    run apply huge.html -o dest.html
    expect_failure 65 "larger than 512 MiB"
    expect_untouched dest.html
    # A pipe is refused once it passes the limit, holding it about once.
    [ -z "${ORLIMO_SANITIZED:-}" ] || return 0  # sanitizers reserve far more
    (ulimit -v $((768 << 10)) && yes | exec "$ORLIMO" apply -o dest.html) >out 2>err &&
        status=0 || status=$?
    expect_failure 65 "standard input is larger than 512 MiB"
    expect_untouched dest.html
}

test_out_of_memory() {
    # Sanitizers reserve far more address space than any limit would allow.
    [ -z "${ORLIMO_SANITIZED:-}" ] || exit 77
    make_big_skin $((96 << 20)) big.html
    cp big.html big.before
    make_sentinel dest.html
    local limit_kib=$((160 << 10))  # the input fits, Apply's result beside it does not
    set +e
    (ulimit -v "$limit_kib" && exec "$ORLIMO" apply big.html -o dest.html) >out 2>err
    status=$?
    set -e
    expect_failure 71 "out of memory"
    expect_untouched dest.html
    set +e
    (ulimit -v "$limit_kib" && exec "$ORLIMO" apply -i big.html) >out 2>err
    status=$?
    set -e
    expect_failure 71 "out of memory"
    expect_same big.html big.before
}

# Inputs a fuzzer or a careless script would feed: refused with a clear
# message, or passed through untouched; never a crash or a partial write.
test_bad_input() {
    printf '<' >one.html
    printf '\xff\xfe<p>\x80\xbf\xc0\xaf\xed\xa0\x80</p>\xf4\x90' >invalid-utf8.html
    local file command
    for file in one.html invalid-utf8.html; do
        for command in apply remove; do
            run "$command" "$file"
            expect_status 0
            expect_report "$NOTHING_DONE"
            expect_same out "$file"
        done
    done

    printf '\0<p>x</p>' >nul-first.html
    run apply nul-first.html
    expect_failure 65 "NUL byte at byte offset 0"
    printf '<p>x</p>\0' >nul-last.html
    run remove -i nul-last.html
    expect_failure 65 "NUL byte at byte offset 8"
    [ "$(stat -c %s nul-last.html)" -eq 9 ] || fail "refused input was changed"

    set +e
    "$ORLIMO" apply <&- >out 2>err
    status=$?
    set -e
    expect_failure 66 "cannot open standard input"
}

# A destination in a folder the user may not write to. Root may write
# anywhere, so as root the check runs as the unprivileged user nobody.
test_destination_in_read_only_folder() {
    local as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        command -v setpriv >/dev/null || exit 77
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        chmod 755 "$WORK"
    fi
    cp "$EXAMPLE" skin.html
    chmod 644 skin.html
    mkdir locked
    make_sentinel locked/dest.html
    chmod 644 locked/dest.html
    cp -p locked/dest.html locked/dest.html.before
    chmod 555 locked
    for args in "apply skin.html -o locked/dest.html" "remove -i locked/dest.html"; do
        set +e
        # shellcheck disable=SC2086
        "${as_user[@]}" "$ORLIMO" $args >out 2>err
        status=$?
        set -e
        expect_failure 73 "Permission denied"
        expect_same locked/dest.html locked/dest.html.before
        expect_no_temp_files locked
    done
}

"$2"
