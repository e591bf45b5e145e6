#pragma once
// Turns a knowledge file's bytes into text by its leading mark.
#include <optional>
#include <string>
#include <string_view>

namespace dialogue {

enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1251 };

// The encoding named by the first bytes, and how many of them form the mark.
struct EncodingMark {
    TextEncoding encoding;
    std::size_t markLength;
};
EncodingMark DetectEncoding(std::string_view bytes);

// Decodes the bytes after the mark. Throws DecodeError for invalid UTF-8 and for a UTF-16
// mark followed by a single byte; any other odd last byte of UTF-16 is dropped. Bytes
// without a mark are Windows-1251 and always decode.
std::u16string DecodeKnowledgeText(std::string_view bytes);
// The same into out, which has room for DecodedUnitsAtMost(bytes) units; returns how
// many it wrote.
std::size_t DecodeKnowledgeTextInto(std::string_view bytes, char16_t* out);
std::size_t DecodedUnitsAtMost(std::string_view bytes);

// The text of bytes read as UTF-8 (without a mark), or nothing when they are not valid UTF-8.
std::optional<std::u16string> DecodeUtf8Text(std::string_view bytes);

// The bytes of text in the encoding, with its mark (Windows-1251 has none), so that
// decoding them gives text back; nothing when some unit has no place in the encoding
// (a character outside Windows-1251, a lone surrogate half in UTF-8).
std::optional<std::string> EncodeKnowledgeText(std::u16string_view text, TextEncoding encoding);

// Whether every unit of text has a place in the encoding.
bool Encodable(std::u16string_view text, TextEncoding encoding);

// The mark that opens a file of the encoding: empty for Windows-1251.
std::string_view EncodingMarkBytes(TextEncoding encoding);

}  // namespace dialogue
