#!/usr/bin/env bash
# Automatic synchronisation against a server that answers once, 5 s ahead,
# and then falls silent: the program backs off instead of asking every 10 s,
# and its ERROR boxes never stack.
source "$(dirname "$0")/lib.sh"
begin
start_fixture_123 5 --answer 1
settings "Server=127.0.0.1" "AutomaticallySynchronize=ON"
launch
log_file="$APPDIR/sntp-requests.log"
wait_for 5000 bash -c "[[ -s '$log_file' ]]" || fail "no start-up fetch"
first=$(head -1 "$log_file" | cut -d' ' -f1)
end=$(($(date +%s) + 62))
while (($(date +%s) < end)); do
  close_error_box
  sleep 0.5
done
queries=$(awk -v t="$first" '$1 > t && $1 <= t + 60' "$log_file" | wc -l)
((queries <= 3)) || fail "$queries queries in the 60 s after the answered one: $(cat "$log_file")"
((queries >= 1)) || fail "no query after the answered one"
app_running || fail "the program ended"
cat "$log_file"
echo "PASS ($queries queries in 60 s)"
