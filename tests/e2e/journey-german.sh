#!/usr/bin/env bash
# With no stored language, LanguageCodes.csv picks German for a German
# interface language.
source "$(dirname "$0")/lib.sh"
ensure_locale de_DE.UTF-8 || fail "no de_DE.UTF-8 locale"
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
begin
start_chronyd_123
settings "LanguageFile=" "Server=127.0.0.1"
launch
german() { grep -a "^{$1}" "$REPO/Languages/German.lang.txt" | head -1 | sed "s/^{$1}//" | tr -d '\r'; }
expect_eq "$(text_at 8 163)" "$(german 'Get Server Time')" "Get Server Time in German"
expect_eq "$(text_at 8 241)" "$(german 'Automatically Synchronize')" "Automatically Synchronize in German"
sleep 2.5
[[ "$(text_at "${LABEL4_AT[@]}")" =~ ^[0-9]{2}\.[0-9]{2}\.[0-9]{4}\  ]] || fail "German date separator: $(text_at "${LABEL4_AT[@]}")"
mkdir -p "$REPO/docs/screenshots"
screenshot "$REPO/docs/screenshots/main-window-de.png"
echo "PASS"
