#!/usr/bin/env bash
# The fourth preset, the maker's own host, is read over HTTPS from the maker
# site's date-time endpoint: the GMT it answers is shown in local time. The
# zone is GMT+5:30, so a correction by whole hours would show up.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
trap 'maker_site_down; cleanup' EXIT
export TZ=Asia/Kolkata
LABEL6_AT=(194 94)
begin
maker_site_up 18080 || fail "the maker site did not start"
settings "Server=127.0.0.1:18080"
launch
sleep 2
driver click "$TITLE" "Get Server Time" || fail "no Get Server Time button"
shown=$(text_at "${LABEL2_AT[@]}")
[[ "$shown" =~ ^[0-9]{2}/[0-9]{2}/[0-9]{4}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] || fail "server time '$shown'"
shown_s=$(date -u -d "$(echo "$shown" | sed -E 's#(..)/(..)/(....) #\3-\2-\1 #')" +%s)
local_s=$(date -u -d "$(TZ=Asia/Kolkata date '+%Y-%m-%d %H:%M:%S')" +%s)
diff=$((shown_s - local_s))
((diff > -5 && diff < 5)) || fail "server time '$shown' is ${diff}s off the local time of GMT+5:30"
expect_eq "$(text_at "${LABEL6_AT[@]}")" "GMT +5" "the offset display keeps whole hours"
maker_requests /php/horvane_serverdatetime.php | grep -q '"scheme": "https"' ||
  fail "the date-time request did not go over HTTPS: $(cat "$MAKER_SITE/requests.log")"
maker_requests /php/horvane_serverdatetime.php | grep -q '"body": "cmd=datetime"' || fail "no cmd=datetime"
echo "PASS"
