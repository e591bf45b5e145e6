#pragma once
// Failures of the knowledge base. The handlers raise them; the window catches them at
// its event boundary and shows ErrorReportText of the message.
#include <exception>
#include <string>

namespace dialogue {

class DialogueError : public std::exception {
public:
    explicit DialogueError(std::u16string message);
    const std::u16string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::u16string message_;
    std::string utf8_;
};

// The file could not be opened or read.
class FileOpenError : public DialogueError {
public:
    using DialogueError::DialogueError;
};

// The file's bytes do not decode in the encoding its mark names.
class DecodeError : public DialogueError {
public:
    DecodeError();
};

// A load would need more memory than the machine can give it: it is refused before the
// memory runs out. Loading a file by its path turns this into a FileOpenError for that file.
class OutOfMemoryError : public DialogueError {
public:
    OutOfMemoryError();
};

inline constexpr char16_t kNoMappingMessage[] =
    u"No mapping for the Unicode character exists in the target multi-byte code page";

// The application's error report shows a message with a period appended when its last
// character's code is greater than that of the period.
// The system's text for an errno value, without trailing blanks or periods.
std::u16string ReasonText(int error);

std::u16string ErrorReportText(std::u16string_view message);

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace dialogue
