#pragma once

#include <functional>
#include <string>

// Edits of an INI text ([section] headers, "name=value" lines, ";" and "#" comments) that
// keep every other line as it stands: comments, spacing, other sections and values.

// Names of sections and values match without regard to case, as the host's profile
// functions did.
bool SameIniName(const std::string& a, const std::string& b);
// The text without leading and trailing blanks and line ends.
std::string TrimmedIniText(const std::string& text);

// The text with name=value in the first section whose header name isSection accepts: the
// value's own line is replaced, or a new line follows the section's last value; without
// such a section, "[header]" and the value are appended at the end.
std::string WithIniValue(const std::string& text, const std::function<bool(const std::string&)>& isSection,
                         const std::string& header, const std::string& name, const std::string& value);
