#include "knowledge_base_generator.h"

#include <fstream>
#include <map>
#include <memory>
#include <random>

#include <unistd.h>

#include "errors.h"

namespace bench {

namespace {

const char16_t* const kWords[] = {
    u"боль",   u"головная", u"горло", u"температура", u"кашель",   u"насморк", u"давление",
    u"сердце", u"ребёнка",  u"ночью", u"после",       u"еды",      u"сильная", u"слабость",
    u"утром",  u"спина",    u"живот", u"колено",      u"аллергия", u"сыпь",    u"зуд",
    u"ожог",   u"укус",     u"сон",   u"витамины",    u"Глаза",    u"УШИ",     u"нос",
    u"Кожа",   u"зубы",     u"вода",  u"диета",
};

}  // namespace

std::string GenerateKnowledgeFile(std::size_t lines, char16_t initial, unsigned seed,
                                  unsigned stressedPercent) {
    std::mt19937 random(seed);
    auto word = [&] { return std::u16string(kWords[random() % std::size(kWords)]); };
    std::u16string text;
    text.reserve(lines * 40);
    for (std::size_t i = 0; i < lines; ++i) {
        std::u16string line(1, initial);
        line += word() + u" " + word() + u" " + word();
        line += u' ';
        line += static_cast<char16_t>(u'а' + random() % 32);
        if (stressedPercent != 0 && random() % 100 < stressedPercent) {
            const std::size_t vowel = line.find_first_of(u"аеёиоуыэюя");
            if (vowel != std::u16string::npos)
                line = line.substr(0, vowel + 1) + u"\u0301" + line.substr(vowel + 1);
        }
        line += u"|";
        if (random() % 4 == 0) line += u"$/статья.html$";
        line += word() + u" " + word() + u".";
        text += line + u"\r\n";
    }
    std::string bytes = "\xEF\xBB\xBF";
    bytes += dialogue::ToUtf8(text);
    return bytes;
}

BenchFolder::BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tsl-bench-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    std::filesystem::create_directories(root_ / "mem");
}

BenchFolder::~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::u16string BenchFolder::Dir() const { return dialogue::FromUtf8(root_.string() + "/"); }

std::u16string BenchFolder::Write(char16_t initial, const std::string& bytes) const {
    const std::filesystem::path path = root_ / "mem" / dialogue::ToUtf8(std::u16string(1, initial));
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return dialogue::FromUtf8(path.string());
}

LetterFolder& LetterFolderFor(std::size_t lines) {
    static std::map<std::size_t, std::unique_ptr<LetterFolder>> folders;
    auto& slot = folders[lines];
    if (!slot) {
        slot = std::make_unique<LetterFolder>();
        slot->first =
            slot->folder.Write(kFirstLetter, GenerateKnowledgeFile(lines, kFirstLetter, 1));
        slot->second =
            slot->folder.Write(kSecondLetter, GenerateKnowledgeFile(lines, kSecondLetter, 2));
    }
    return *slot;
}

}  // namespace bench
