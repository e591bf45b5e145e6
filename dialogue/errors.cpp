#include "errors.h"

#include <cerrno>
#include <cstring>

#include <unicode/ustring.h>

namespace dialogue {

DialogueError::DialogueError(std::u16string message)
    : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

DecodeError::DecodeError() : DialogueError(kNoMappingMessage) {}

OutOfMemoryError::OutOfMemoryError() : DialogueError(ReasonText(ENOMEM)) {}

std::u16string ReasonText(int error) {
    std::u16string reason = FromUtf8(std::strerror(error));
    while (!reason.empty() && (reason.back() == u' ' || reason.back() == u'.')) reason.pop_back();
    return reason;
}

std::u16string ErrorReportText(std::u16string_view message) {
    std::u16string out(message);
    if (!out.empty() && out.back() > u'.') out.push_back(u'.');
    return out;
}

std::string ToUtf8(std::u16string_view text) {
    std::string out(text.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    // Lone surrogates become U+FFFD: the result is for display and file names only.
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return out;
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out(text.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return out;
}

}  // namespace dialogue
