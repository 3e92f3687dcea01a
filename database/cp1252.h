// Windows-1252, the 8-bit code page of every text in a database, and its
// conversion to and from UTF-8 for files and terminals that speak UTF-8.
//
// The five bytes that Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control characters of the same number, as the platform's
// own conversion does, so that every byte string survives a round trip through
// UTF-8 unchanged.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmar {

// Why a UTF-8 text could not be converted, and where.
struct Utf8Problem {
    std::size_t offset = 0;  // byte offset of the offending sequence in the input
    bool malformed = false;  // true: not valid UTF-8; false: a character without a Windows-1252 byte
    char32_t codePoint = 0;  // the character, when the sequence was well formed
};

// The Windows-1252 bytes of a UTF-8 text, or nothing when the text is not
// valid UTF-8 or holds a character that has no Windows-1252 byte; `problem`
// (when given) then tells which and where.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8, Utf8Problem* problem = nullptr);

// The UTF-8 text of Windows-1252 bytes; every byte has a character.
std::string Cp1252ToUtf8(std::string_view ansi);

// The character of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);

// The capital form of one Windows-1252 byte as the platform's ANSI upper-casing
// gives it: a-z, the accented small letters (á -> Á, ñ -> Ñ), š, œ, ž and ÿ.
// Letters without a capital in the code page (µ, ß, ƒ) and the sign ÷ stay.
unsigned char Cp1252UpperChar(unsigned char byte);

// Cp1252UpperChar applied to every byte.
std::string Cp1252Upper(std::string_view ansi);

}  // namespace velmar
