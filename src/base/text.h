// The one conversion between UTF-8 and wide text. It loses nothing: a byte
// that is not part of valid UTF-8 becomes the code point U+DC00 + byte and
// goes back to the same byte, so a POSIX file name (bytes) survives the round
// trip. Wide text is UTF-16 on Windows (surrogate pairs are joined) and
// UTF-32 elsewhere; an unpaired surrogate is written in the 3-byte form.
#pragma once
#include <string>
#include <string_view>

namespace pelorin {

std::wstring fromUtf8(std::string_view bytes);
std::string toUtf8(std::wstring_view text);

}  // namespace pelorin
