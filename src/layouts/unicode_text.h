// The few Unicode text rules identity and layout names need, on UTF-8 strings.
#pragma once

#include <string>
#include <string_view>

namespace seam {

// Decodes bytes as UTF-8, each maximal ill-formed subsequence becoming U+FFFD.
std::u32string decodeUtf8Lossy(std::string_view bytes);
std::string encodeUtf8(std::u32string_view text);

bool isWhitespaceOrNewline(char32_t c);
// Control and format characters (general categories Cc and Cf).
bool isControlOrFormat(char32_t c);

// Trims white space and line breaks at both ends; text that is not valid UTF-8
// is first repaired with U+FFFD.
std::string trimBlanks(std::string_view text);
// For comparing texts regardless of case: canonical composition, then full case
// folding ("Straße" and "STRASSE", "ΟΔΟΣ" and "οδος", a precomposed and a
// decomposed "é" fold alike); ill-formed UTF-8 is repaired first.
std::string caseFolded(std::string_view text);

}  // namespace seam
