#pragma once
// Turns a knowledge file's bytes into text by its leading mark.
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

}  // namespace dialogue
