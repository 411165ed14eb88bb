#pragma once
// What one run of the program keeps outside its windows, in one object: the
// identity read at start, the language loaded, the system facts and locale
// the maker's site is told, what the update check learnt, the notice, and
// the About window's last drop-down. Each part names its owner, readers and
// threads where its type is declared. Nothing frees it: the update check's
// thread, which nobody waits for, may still read it while the process ends.
#include <string>

#include "about/popup_under_button.h"
#include "app/identity.h"
#include "i18n/catalogue.h"
#include "notice/notice_window.h"
#include "web/client_locale.h"
#include "web/os_version.h"
#include "web/update_check.h"

namespace hv::app {

struct RunState {
  Identity identity;
  i18n::CatalogueState catalogue;
  // The language window's selection when it last finished its creation.
  std::wstring languageAtOpen;
  web::OsVersion osVersion;
  web::ClientLocaleState locale;
  web::UpdateCheckState updateCheck;
  bool updateCheckStarted = false;
  notice::NoticeState notice;
  about::DropDownState dropDown;
};

RunState& Run();

// Tests: forget the run so far, as at process start. An open notice goes
// first, so its window system must still be there; no other thread may be
// using the state.
void BeginNewRunForTests();

}  // namespace hv::app
