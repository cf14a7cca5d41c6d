# The demo built with ThreadSanitizer runs its intro and a few seconds of the
# main part under Xvfb with no report outside Allegro itself.
source "$(dirname "$0")/lib.sh"

prepare_data
start_xvfb
export TSAN_OPTIONS="suppressions=$SOURCE/tests/tsan/libraries.supp exitcode=66 halt_on_error=0"
start_app "$BUILD/tessera_tsan"
check wait shown --pid "$APP_PID" --timeout 60 >/dev/null
# Alt ends the intro and, unlike Esc, cannot end the main part if it is
# still held when that begins.
press Alt_L 0.2
check wait main --pid "$APP_PID" --timeout 30 >/dev/null
# The main part runs a while: its handler and its frame loop share the
# field, the dots and the letters at every tick.
sleep 4
press Escape 0.2
wait_app 30
grep -q "WARNING: ThreadSanitizer" "$WORK/stderr" && {
    cat "$WORK/stderr" >&2
    fail "ThreadSanitizer reported"
}
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
echo "ok"
