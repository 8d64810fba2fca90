#pragma once
// Text crosses the driver as UTF-8 on our side. On the server side it is in
// the connection character set, or, when that is NONE, in the column's own.
// The driver converts the single-byte sets the company databases use
// (WIN1252, ISO8859_1); the Unicode sets, ASCII, NONE and OCTETS pass
// unchanged, and so does any set this file does not know.

#include <string>
#include <string_view>

namespace fb {

enum FbCharsetId : int {
    csNone = 0,
    csOctets = 1,
    csAscii = 2,
    csUnicodeFss = 3,
    csUtf8 = 4,
    csIso8859_1 = 21,
    csWin1252 = 53,
};

// The id of a character set name (any letter case), -1 when it is not one
// this driver knows by name.
int CharsetIdFromName(std::string_view name);
// The most bytes one character takes in the set.
int BytesPerChar(int charsetId);
// UTF-8 text into the set; false when a character has no code there or the
// text is not valid UTF-8.
bool EncodeText(int charsetId, std::string_view utf8, std::string& out);
// Text of the set into UTF-8.
void DecodeText(int charsetId, std::string_view bytes, std::string& out);
// True when text of the set is already UTF-8 or is passed as it is.
bool IsPassThrough(int charsetId);

} // namespace fb
