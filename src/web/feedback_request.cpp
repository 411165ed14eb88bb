#include "web/feedback_request.h"

#include "i18n/catalogue.h"
#include "i18n/text_decode.h"

namespace hv::web {

std::wstring OptionLine(const std::wstring& english, const std::wstring& caption) {
  if (caption == english) return english;
  return english + L" (" + caption + L")";
}

std::wstring FeedbackText(FeedbackChoice choice, const std::wstring& likeCaption,
                          const std::wstring& dislikeCaption, const std::wstring& typed) {
  std::wstring text;
  if (choice == FeedbackChoice::Like) text = OptionLine(kLikeText, likeCaption) + L"\r";
  if (choice == FeedbackChoice::Dislike) text = OptionLine(kDislikeText, dislikeCaption) + L"\r";
  return text + i18n::TrimText(typed);
}

std::vector<std::wstring> FeedbackFields(const std::wstring& appTitle,
                                         const std::wstring& appVersion,
                                         const std::wstring& feedbackText,
                                         const std::wstring& email) {
  std::vector<std::wstring> fields = {L"cmd=feedback", L"appname=" + appTitle,
                                      L"version=" + appVersion, L"feedback=" + feedbackText};
  if (!email.empty()) fields.push_back(L"email=" + email);
  return fields;
}

bool FeedbackReceived(const std::wstring& answer) {
  std::wstring joined;
  const auto lines = i18n::SplitLines(answer);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += L"\r\n";
    joined += lines[i];
  }
  return i18n::TrimText(joined) == L"OK";
}

std::wstring FeedbackEndpoint(std::wstring_view makerHost) {
  return std::wstring(makerHost) + L"/" + kFeedbackPath;
}

}  // namespace hv::web
