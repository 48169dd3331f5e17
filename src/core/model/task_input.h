#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vdk {

// Rules for what a user types into the fields of a task or of the default
// options, shared by the dialogs and anything else that makes tasks from
// typed text.

// The longest URL or folder a task file holds: its text fields are 1024
// bytes with the terminating NUL. Longer ones are refused, never cut.
inline constexpr std::size_t kMaxFieldText = 1023;
// The longest task name whose task file name (name + ".wrp") the file system
// accepts.
inline constexpr std::size_t kMaxTaskName = 251;

// The URL with "http://" put in front, unless it already holds "http://"
// anywhere or begins with "https://" (letter case ignored, leading blanks
// skipped).
std::string CompleteURL(std::string_view url);

// Whether clipboard text looks like an address to start a task from: trimmed
// and lower-cased, it begins with "http".
bool LooksLikeURL(std::string_view text);

// A name the task dialog accepts: not blank, no character that
// IsValidTaskName rejects, and short enough for a file name. Blanks around it
// are kept.
bool IsAcceptableTaskName(std::string_view name);

// Whether a URL or folder fits a task file's text field.
inline bool FitsTextField(std::string_view text) { return text.size() <= kMaxFieldText; }

// A number field: the decimal int32 the text holds (blanks around it
// allowed), else fallback.
std::int32_t NumberFieldOr(std::string_view text, std::int32_t fallback);

}  // namespace vdk
