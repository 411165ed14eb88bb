#!/usr/bin/env bash
# An HTML error page as the maker's date-time answer: Get Server Time ends in
# the general error report, which quotes the page's first line; the button
# comes back and the server time display keeps its value. The secure attempt
# is refused here, so the answer comes over plain HTTP.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
trap 'maker_site_down; cleanup' EXIT
begin
maker_site_up 18080 || fail "the maker site did not start"
maker_config '{"tls": false, "datetime": {"status": 500, "body": "<html><body>Internal Server Error</body></html>\r\n"}}'
settings "Server=127.0.0.1:18080"
launch
sleep 2
before=$(text_at "${LABEL2_AT[@]}")
(driver click "$TITLE" "Get Server Time" >/dev/null 2>&1 &)
driver wait "Horvane" 10000 || fail "no error report"
report=$(driver dump "Horvane" | cut -d'|' -f6 | tr '\n' ' ')
[[ "$report" == *"'<html><body>Internal Server Error</body></html>' is not a valid date and time."* ]] ||
  fail "error report says '$report'"
mkdir -p "$REPO/docs/screenshots"
screenshot "$REPO/docs/screenshots/maker-error.png"
driver click "Horvane" "OK" || fail "no OK in the error report"
driver gone "Horvane" 5000 || fail "the error report stayed"
expect_eq "$(text_at "${LABEL2_AT[@]}")" "$before" "server time after the failure"
maker_requests /php/horvane_serverdatetime.php | grep -q '"scheme": "http"' || fail "no plain attempt"
echo "PASS"
