# The demo built with ThreadSanitizer runs its intro and a few seconds of the
# main part under Xvfb with no report outside Allegro itself.
source "$(dirname "$0")/lib.sh"

prepare_data
start_xvfb
export TSAN_OPTIONS="suppressions=$SOURCE/tests/tsan/libraries.supp exitcode=66 halt_on_error=0"
start_app "$BUILD/tessera_tsan"
sleep 3
press Escape 0.2
sleep 6
press Escape 0.2
wait_app 30
grep -q "WARNING: ThreadSanitizer" "$WORK/stderr" && {
    cat "$WORK/stderr" >&2
    fail "ThreadSanitizer reported"
}
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
echo "ok"
