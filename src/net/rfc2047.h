#pragma once
// Header text outside printable ASCII, written as RFC 2047 encoded words in the
// character set of the system's ANSI code page.
#include <string>
#include <string_view>

namespace tarnwick::net {

// True when `text` holds a byte outside printable ASCII (32..126).
bool NeedsEncodedWords(std::string_view text);

// `text` as "=?charset?B?...?=" words of at most 75 characters each, folded onto
// continuation lines (CR LF and a space) when more than one is needed. Words are
// cut only between characters of `code_page` (the system's ANSI code page): a
// character split across two words is garbage to the reader.
std::string EncodeWords(std::string_view text, unsigned code_page);

// The MIME name of an ANSI code page (1252 -> "windows-1252").
std::string CodePageCharset(unsigned code_page);

// Whether `byte` starts a two-byte character in the double-byte code pages
// (932, 936, 949, 950); false in every other code page.
bool IsLeadByte(unsigned code_page, unsigned char byte);

// The number of bytes of the character `text` starts with (at least 1 unless
// `text` is empty): two after a lead byte, a whole sequence in UTF-8 (65001),
// else one. Malformed sequences count byte by byte.
size_t CharacterLength(std::string_view text, unsigned code_page);

}  // namespace tarnwick::net
