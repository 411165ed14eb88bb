#pragma once
// What the feedback window sends and how it reads the answer.
#include <string>
#include <string_view>
#include <vector>

namespace hv::web {

enum class FeedbackChoice { None, Like, Dislike };

inline constexpr wchar_t kLikeText[] = L"I like it!";
inline constexpr wchar_t kDislikeText[] = L"I dislike it!";
inline constexpr wchar_t kFeedbackPath[] = L"php/feedback.php";

// The English option text, and its translated caption in parentheses when
// that differs: the maker always reads the English choice.
std::wstring OptionLine(const std::wstring& english, const std::wstring& caption);

// The chosen option's line and a lone carriage return, then the typed text
// without characters of code 32 or below at either end.
std::wstring FeedbackText(FeedbackChoice choice, const std::wstring& likeCaption,
                          const std::wstring& dislikeCaption, const std::wstring& typed);

// The form fields in wire order; "email=" only for a non-empty address.
std::vector<std::wstring> FeedbackFields(const std::wstring& appTitle,
                                         const std::wstring& appVersion,
                                         const std::wstring& feedbackText,
                                         const std::wstring& email);

// Delivered only when the answer, trimmed of white space, is exactly "OK".
bool FeedbackReceived(const std::wstring& answer);

// The endpoint address without a scheme: host "/" path.
std::wstring FeedbackEndpoint(std::wstring_view makerHost);

}  // namespace hv::web
