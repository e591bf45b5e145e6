#include "decoding.h"

#include <algorithm>
#include <array>
#include <optional>
#include <cstdint>
#include <cstring>

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include "errors.h"

namespace dialogue {

namespace {

// Decodes UTF-8 into out, which holds a unit per byte; false when the bytes are not UTF-8.
bool TryDecodeUtf8Into(std::string_view bytes, char16_t* out, std::size_t& length) {
    int32_t written = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(out, static_cast<int32_t>(bytes.size()), &written, bytes.data(),
                  static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) return false;
    length = static_cast<std::size_t>(written);
    return true;
}

std::optional<std::u16string> TryDecodeUtf8(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    std::size_t length = 0;
    if (!TryDecodeUtf8Into(bytes, out.data(), length)) return std::nullopt;
    out.resize(length);
    return out;
}

std::size_t DecodeUtf8(std::string_view bytes, char16_t* out) {
    std::size_t length = 0;
    if (!TryDecodeUtf8Into(bytes, out, length)) throw DecodeError();
    return length;
}

std::size_t DecodeUtf16(std::string_view bytes, bool bigEndian, char16_t* out) {
    if (bytes.size() == 1) throw DecodeError();
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return units;
}

// Windows-1251 is a single-byte code page: one table of 256 units, built by ICU once.
const std::array<char16_t, 256>& Windows1251Table() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open("windows-1251", &status);
        for (int b = 0; b < 256; ++b) {
            t[b] = static_cast<char16_t>(b);
            if (U_FAILURE(status)) continue;
            const char byte = static_cast<char>(b);
            UChar unit = 0;
            UErrorCode one = U_ZERO_ERROR;
            ucnv_reset(converter);
            // The one byte that the code page leaves unassigned (0x98) keeps its own code.
            ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                                &one);
            if (ucnv_toUChars(converter, &unit, 1, &byte, 1, &one) == 1 && U_SUCCESS(one)) {
                t[b] = unit;
            }
        }
        ucnv_close(converter);
        return t;
    }();
    return table;
}

std::size_t DecodeWindows1251(std::string_view bytes, char16_t* to) {
    const auto& table = Windows1251Table();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    // ASCII maps to itself: eight bytes at a time where none has its high bit set
    // (line breaks, digits, Latin), the table for the rest.
    while (i < size) {
        if (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, in + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                for (std::size_t k = 0; k < 8; ++k) to[i + k] = in[i + k];
                i += 8;
                continue;
            }
        }
        to[i] = table[in[i]];
        ++i;
    }
    return size;
}

std::optional<std::string> EncodeUtf8(std::u16string_view text) {
    std::string out(text.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status)) return std::nullopt;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string EncodeUtf16(std::u16string_view text, bool bigEndian) {
    std::string out(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto high = static_cast<char>(text[i] >> 8);
        const auto low = static_cast<char>(text[i] & 0xFF);
        out[2 * i] = bigEndian ? high : low;
        out[2 * i + 1] = bigEndian ? low : high;
    }
    return out;
}

// The byte of each unit in Windows-1251, or -1 for a unit the code page does not hold.
const std::array<std::int16_t, 0x10000>& Windows1251Bytes() {
    static const std::array<std::int16_t, 0x10000> bytes = [] {
        std::array<std::int16_t, 0x10000> b{};
        b.fill(-1);
        const auto& table = Windows1251Table();
        for (int i = 0; i < 256; ++i) b[table[i]] = static_cast<std::int16_t>(i);
        return b;
    }();
    return bytes;
}

std::optional<std::string> EncodeWindows1251(std::u16string_view text) {
    const auto& bytes = Windows1251Bytes();
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::int16_t byte = bytes[text[i]];
        if (byte < 0) return std::nullopt;
        out[i] = static_cast<char>(byte);
    }
    // Text that begins like a mark ("яю", "п»ї") would be read back in another encoding.
    if (DetectEncoding(out).encoding != TextEncoding::Windows1251) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::u16string> DecodeUtf8Text(std::string_view bytes) {
    return TryDecodeUtf8(bytes);
}

bool Encodable(std::u16string_view text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return EncodeUtf8(text).has_value();
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        return true;
    case TextEncoding::Windows1251:
        break;
    }
    const auto& bytes = Windows1251Bytes();
    return std::all_of(text.begin(), text.end(), [&](char16_t unit) { return bytes[unit] >= 0; });
}

std::string_view EncodingMarkBytes(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "\xEF\xBB\xBF";
    case TextEncoding::Utf16LE:
        return "\xFF\xFE";
    case TextEncoding::Utf16BE:
        return "\xFE\xFF";
    case TextEncoding::Windows1251:
        break;
    }
    return {};
}

std::optional<std::string> EncodeKnowledgeText(std::u16string_view text, TextEncoding encoding) {
    std::optional<std::string> body;
    switch (encoding) {
    case TextEncoding::Utf8:
        body = EncodeUtf8(text);
        break;
    case TextEncoding::Utf16LE:
        body = EncodeUtf16(text, false);
        break;
    case TextEncoding::Utf16BE:
        body = EncodeUtf16(text, true);
        break;
    case TextEncoding::Windows1251:
        body = EncodeWindows1251(text);
        break;
    }
    if (!body) return std::nullopt;
    return std::string(EncodingMarkBytes(encoding)) + *body;
}

EncodingMark DetectEncoding(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return {TextEncoding::Utf8, 3};
    if (bytes.substr(0, 2) == "\xFF\xFE") return {TextEncoding::Utf16LE, 2};
    if (bytes.substr(0, 2) == "\xFE\xFF") return {TextEncoding::Utf16BE, 2};
    return {TextEncoding::Windows1251, 0};
}

std::size_t DecodedUnitsAtMost(std::string_view bytes) {
    const EncodingMark mark = DetectEncoding(bytes);
    const std::size_t body = bytes.size() - mark.markLength;
    const bool utf16 =
        mark.encoding == TextEncoding::Utf16LE || mark.encoding == TextEncoding::Utf16BE;
    return utf16 ? body / 2 : body;
}

std::size_t DecodeKnowledgeTextInto(std::string_view bytes, char16_t* out) {
    const EncodingMark mark = DetectEncoding(bytes);
    const std::string_view body = bytes.substr(mark.markLength);
    switch (mark.encoding) {
    case TextEncoding::Utf8:
        return DecodeUtf8(body, out);
    case TextEncoding::Utf16LE:
        return DecodeUtf16(body, false, out);
    case TextEncoding::Utf16BE:
        return DecodeUtf16(body, true, out);
    case TextEncoding::Windows1251:
        break;
    }
    return DecodeWindows1251(body, out);
}

std::u16string DecodeKnowledgeText(std::string_view bytes) {
    std::u16string text(DecodedUnitsAtMost(bytes), u'\0');
    text.resize(DecodeKnowledgeTextInto(bytes, text.data()));
    return text;
}

}  // namespace dialogue
