#pragma once
// Every text the windows pass through Translate, and the translators entry:
// what each shipped language file must translate.
#include <set>
#include <string>

#include "i18n/catalogue.h"

namespace hv::test {

inline const std::set<std::wstring>& ExpectedKeys() {
  static const std::set<std::wstring> keys = {
      // Main window and tray.
      L"File", L"Exit", L"Online Help", L"Help", L"Update Notifications", L"Language...",
      L"Send Feedback...", L"About", L"Server:", L"Server Time:", L"Computer Time:",
      L"Computer Timezone:", L"Daylight Saving:", L"Get Server Time", L"Sync Computer Time",
      L"Hotkey:", L"Show", L"Automatically Synchronize", L"Disabled",
      // The server time display's tooltip.
      L"Offset", L"round trip", L"stratum", L"unreliable", L"web, whole seconds",
      L"authenticated (NTS)", L"NTS failed", L"certificate not trusted",
      L"certificate names another host", L"certificate out of date", L"no answer",
      L"reply did not authenticate", L"unusable reply", L"bad server name", L"key exchange failed",
      // Language window.
      L"Language", L"User Interface Language:", L"Translated by:", L"OK", L"Cancel",
      L"Contribute Translation", L"Yes", L"No", L"Confirmation", L"Restart Application?",
      i18n::kTranslatorsKey, L"The program cannot restart itself from this folder.",
      L"The new language takes effect the next time it starts.",
      // Update notice.
      L"UPDATE AVAILABLE", L"Click to download",
      // Feedback window.
      L"feedback", L"We would really appreciate your feedback.", L"What did you like or dislike?",
      L"Include my e-mail:", L"Send", L"I like it!", L"I dislike it!", L"Failure",
      L"Invalid e-mail address!", L"Success", L"Your feedback is received.", L"Thank you!",
      L"Something went wrong. Your feedback could not be delivered.", L"Please try again later.",
      // About window.
      L"Info", L"Acknowledgements...", L"How to uninstall...", L"License...", L"License",
      L"File not found!",
      // The boxes of a large step of the clock.
      L"The server's time is %1, %2 ahead of this computer's clock.",
      L"The server's time is %1, %2 behind this computer's clock.",
      L"Set the computer's clock to the server's time?",
      L"The clock was not set: automatic synchronisation moves it 15 hours at most.",
      L"Press %1 to set it by hand.", L"%1 days", L"%1 h %2 min"};
  return keys;
}

}  // namespace hv::test
