#pragma once
// Header text outside printable ASCII, written as RFC 2047 encoded words in the
// character set of the system's ANSI code page.
#include <string>
#include <string_view>

namespace tarnwick::net {

// True when `text` holds a byte outside printable ASCII (32..126).
bool NeedsEncodedWords(std::string_view text);

// `text` as "=?charset?B?...?=" words of at most 75 characters each, folded onto
// continuation lines (CR LF and a space) when more than one is needed.
std::string EncodeWords(std::string_view text, const std::string& charset);

// The MIME name of an ANSI code page (1252 -> "windows-1252").
std::string CodePageCharset(unsigned code_page);

}  // namespace tarnwick::net
