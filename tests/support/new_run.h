#pragma once
// Each module keeps its own state for one run of the program; a test that
// needs a fresh run forgets all of it. An open notice goes first, so its
// window system must still be there; no other thread may be using the state.
#include "about/popup_under_button.h"
#include "app/identity.h"
#include "i18n/catalogue.h"
#include "i18n/translate_form.h"
#include "notice/notice_window.h"
#include "web/client_locale.h"
#include "web/os_version.h"
#include "web/update_check.h"

namespace hv::test {

inline void BeginNewRun() {
  notice::ForgetNoticeForTests();
  i18n::ForgetLanguageForTests();
  i18n::ForgetLanguageAtOpenForTests();
  about::ForgetDropDownForTests();
  web::ForgetUpdateCheckForTests();
  web::ForgetClientLocaleForTests();
  web::SetOsVersion({});
  app::SetIdentity({});
}

}  // namespace hv::test
