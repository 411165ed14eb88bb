#include "app/server_time_hint.h"

#include <cmath>
#include <cstdio>

#include "i18n/catalogue.h"

namespace hv::app {
namespace {

constexpr wchar_t kBetween[] = L" \u00B7 ";

// value with the given number of decimals, a sign when asked.
std::wstring Number(double value, int decimals, bool sign, std::wstring_view decimalSeparator) {
  // No "-0.000": what rounds to zero reads as zero.
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
  wchar_t buf[64];
  std::swprintf(buf, 64, sign ? L"%+.*f" : L"%.*f", decimals, value);
  std::wstring text(buf);
  if (const auto dot = text.find(L'.'); dot != std::wstring::npos)
    text.replace(dot, 1, decimalSeparator);
  return text;
}

}  // namespace

std::wstring ServerTimeHint(const time::AnswerFigures& f, std::wstring_view decimalSeparator) {
  using i18n::Translate;
  if (f.source == time::AnswerFigures::Source::Web) {
    return Translate(L"Offset") + L" " + Number(std::round(f.offsetSeconds), 0, true, {}) +
           L" s (" + Translate(L"web, whole seconds") + L")";
  }
  const double delayMs = f.delaySeconds * 1000;
  std::wstring text =
      Translate(L"Offset") + L" " + Number(f.offsetSeconds, 3, true, decimalSeparator) + L" s" +
      kBetween + Translate(L"round trip") + L" " +
      Number(delayMs, std::fabs(delayMs) < 10 ? 1 : 0, false, decimalSeparator) + L" ms" +
      kBetween + Translate(L"stratum") + L" " + std::to_wstring(f.stratum) + kBetween;
  const std::wstring address = f.server.text();
  if (!f.authenticatedBy.empty() && f.authenticatedBy != address) text += f.authenticatedBy + L" ";
  text += address;
  if (!f.reliable) text += kBetween + Translate(L"unreliable");
  if (!f.authenticatedBy.empty()) text += kBetween + Translate(L"authenticated (NTS)");
  return text;
}

std::wstring NtsFailureHint(std::string_view why) {
  struct Reason {
    std::string_view why;
    const wchar_t* shown;
  };
  // The rest are key exchanges that did not give what NTS needs.
  static constexpr Reason kReasons[] = {
      {"certificate not trusted", L"certificate not trusted"},
      {"certificate names another host", L"certificate names another host"},
      {"certificate out of date", L"certificate out of date"},
      {"no reply", L"no answer"},
      {"key exchange timed out", L"no answer"},
      {"key exchange connection failed", L"no answer"},
      {"reply did not authenticate", L"reply did not authenticate"},
      {"unusable reply", L"unusable reply"},
      {"bad host", L"bad server name"},
      {"host name not ASCII", L"bad server name"},
  };
  const wchar_t* shown = L"key exchange failed";
  for (const Reason& r : kReasons) {
    if (r.why == why) shown = r.shown;
  }
  return i18n::Translate(L"NTS failed") + L": " + i18n::Translate(shown);
}

}  // namespace hv::app
