#include "fixer.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

#include "atomic_write.h"
#include "capital_names.h"
#include "collation.h"
#include "decoding.h"
#include "distinct_lines.h"
#include "errors.h"
#include "knowledge_files.h"
#include "line_splitting.h"
#include "phrase_order.h"
#include "text.h"
#include "utf8_path.h"

namespace checker {

using namespace dialogue;

namespace {

constexpr std::size_t npos = static_cast<std::size_t>(-1);

// The question a line asks as the program folds it: trimmed line, text before "|", lower-cased.
std::u16string FoldedQuestion(std::u16string_view line) {
    return LowerCase(GetLeft(TrimView(line)));
}

bool Askable(std::u16string_view question) { return !question.empty() && question.back() > u' '; }

// The line with the blanks before its first "|" removed; only called for a question that ends
// in one, which has a "|" and something not blank before the blanks.
std::u16string WithoutBlanksAtBar(std::u16string_view line) {
    const std::size_t bar = line.find(u'|');
    std::size_t start = bar;
    while (start > 0 && line[start - 1] <= u' ') --start;
    return std::u16string(line.substr(0, start)) + std::u16string(line.substr(bar));
}

struct Answer {
    std::u16string text;   // what the program shows: the trimmed line after "|"
    std::size_t line = 0;  // 0-based file line of the answering line
};
using AnswerMap = std::unordered_map<std::u16string, Answer>;

struct LineSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t breakLength = 0;
};

struct Split {
    std::vector<LineSpan> lines;
    std::size_t end = 0;  // where the lines end: a NUL, or the end of the text
    bool nulStop = false;
};

Split SplitText(std::u16string_view text) {
    Split split;
    const NulStop stop = ForEachLine(text, [&](std::u16string_view line) {
        LineSpan span{static_cast<std::size_t>(line.data() - text.data()), line.size(), 0};
        std::size_t p = span.start + span.length;
        if (p < text.size() && text[p] == u'\r') ++p;
        if (p < text.size() && text[p] == u'\n') ++p;
        span.breakLength = p - span.start - span.length;
        split.end = p;
        split.lines.push_back(span);
    });
    split.nulStop = stop.nulLine.has_value();
    return split;
}

std::vector<std::u16string> LinesOf(std::u16string_view text) {
    std::vector<std::u16string> lines;
    ForEachLine(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

// What each line of a knowledge file needs done.
struct Plan {
    enum class Kind { Keep, Repair, Move } kind = Kind::Keep;
    std::u16string text;         // the line as it will be written
    std::u16string question;     // its folded question after the repair
    std::size_t dest = npos;     // Move: the index of the file it goes to
    std::size_t targetLine = 0;  // Move: 1-based line of the target's new text that holds it
    bool present = false;        // Move: the target holds the same line already
    bool repaired = false;
    bool wanted = false;     // a repair is due, whether or not it is made
    std::u16string blocked;  // why a due repair is not made
};

struct KnowledgeFile {
    std::u16string path;  // as the program forms it
    std::string shown;    // "mem/г"
    bool exists = false;
    bool decoded = false;
    TextEncoding encoding = TextEncoding::Utf8;
    bool encodingChosen = false;  // for a file yet to be made: by the first line it receives
    bool addMark = false;
    bool markWanted = false;
    std::u16string text;
    Split split;
    std::u16string lineBreak = u"\n";
    std::optional<FileIdentity> identity;
    FileMode newMode = 0644;
    std::u16string untouchable;  // why the file is not changed at all
    std::vector<Plan> plans;
    // Filled by the verification: the text that will be written, and where lines start.
    std::u16string newText;
    bool changed = false;
    bool losesLines = false;
    std::vector<std::pair<std::size_t, std::size_t>> incoming;  // (file, line) in order
};

// A temporary file that an interrupted run left in mem/.
struct Temporary {
    std::string path;
    std::string shown;
    std::u16string notOurs;  // why it is not removed
};

class Fixer {
public:
    explicit Fixer(std::u16string_view programDir) : dir_(programDir) {}

    FixResult Run(const FixOptions& options) {
        Load();
        PlanLines();
        Verify();
        FixResult result = Report();
        if (options.beforeWriting && !options.beforeWriting(result)) return result;
        if (options.dryRun) return result;
        Write(result, options.write);
        return result;
    }

private:
    const std::u16string& Selected(std::u16string_view question) {
        auto [it, fresh] = selected_.try_emplace(question.front());
        if (fresh) it->second = SelectKnowledgeFile(dir_, question);
        return it->second;
    }

    std::size_t IndexOf(const std::u16string& path) const {
        const auto it = index_.find(path);
        return it == index_.end() ? npos : it->second;
    }

    // The answer the program gives to each question it looks for in this file, read from text.
    AnswerMap Answers(std::u16string_view text, const std::u16string& path) {
        AnswerMap answers;
        const DistinctLines distinct(text);
        const PhraseOrder order = OrderPhrases(distinct.Lines(), DefaultCollator());
        for (const std::size_t d : order.held) {
            const std::u16string_view trimmed = TrimView(distinct.Lines()[d]);
            std::u16string question = LowerCase(GetLeft(trimmed));
            if (!Askable(question) || Selected(question) != path) continue;
            answers.try_emplace(std::move(question), Answer{std::u16string(GetRight(trimmed)),
                                                            distinct.FirstFileLine(d)});
        }
        return answers;
    }

    void Load();
    void LoadFile(KnowledgeFile& file);
    void PlanLines();
    void Verify();
    // Builds the file's new text and gives up the repairs that would change an answer.
    void VerifyFile(std::size_t f);
    void Block(Plan& plan, const std::u16string& why) {
        if (plan.kind == Plan::Kind::Keep) return;
        plan.kind = Plan::Kind::Keep;
        plan.blocked = why;
        ++blocks_;
    }
    void BlockAll(std::size_t f, const std::u16string& why);
    FixResult Report();
    void Write(FixResult& result, const FileWriter& write);
    std::size_t RemoveTemporaries(FixResult& result);
    // Repairs that are in the files now: all of whose files were written or needed no writing.
    std::size_t RepairsWritten(const std::set<std::size_t>& written) const;

    std::u16string dir_;
    std::vector<KnowledgeFile> files_;
    std::vector<Temporary> temporaries_;
    std::unordered_map<std::u16string, std::size_t> index_;
    std::unordered_map<char16_t, std::u16string> selected_;
    std::size_t blocks_ = 0;  // repairs given up so far
};

void Fixer::Load() {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator
             it(untrusted_files::PathFromUtf8(ToUtf8(KnowledgeFolder(dir_))), error),
         end;
         !error && it != end; it.increment(error)) {
        names.push_back(untrusted_files::Utf8FromPath(it->path().filename()));
    }
    const std::set<std::string> listed(names.begin(), names.end());
    const std::string fallbackName = ToUtf8(kFallbackName);
    if (std::find(names.begin(), names.end(), fallbackName) == names.end())
        names.push_back(fallbackName);
    std::sort(names.begin(), names.end());
    const std::u16string fallback = FallbackFilePath(dir_);
    const std::string folder = ToUtf8(KnowledgeFolder(dir_));
    for (const std::string& name : names) {
        if (IsTemporaryName(name)) {
            Temporary temporary{folder + name, ToUtf8(kKnowledgeFolder) + name, {}};
            const LeftTemporary left = LeftTemporaryAt(temporary.path);
            if (left == LeftTemporary::None) continue;  // not what a run leaves: someone else's
            if (left == LeftTemporary::OtherUsers)
                temporary.notOurs = u"временный файл другого пользователя";
            temporaries_.push_back(std::move(temporary));
            continue;
        }
        const std::u16string unit = FromUtf8(name);
        if (unit.size() != 1 || ToUtf8(unit) != name) continue;
        // Where names ignore case, a capital's file is the small letter's, named as the
        // program names it; the fallback is read under its own name anyway.
        std::u16string letter = unit;
        if (const auto small = SmallLetterPathOf(dir_, unit.front(), listed)) {
            if (*small == fallback) continue;
            letter = small->substr(small->size() - 1);
        }
        KnowledgeFile file;
        file.path = KnowledgeFilePath(dir_, letter.front());
        file.shown = ToUtf8(kKnowledgeFolder) + ToUtf8(letter);
        // Only the files the program reads: the fallback, and those an input can select.
        const bool read =
            IsRegularFile(file.path) && letter.front() > u' ' && LowerCase(letter) == letter;
        if (!read && file.path != fallback) continue;
        LoadFile(file);
        index_.emplace(file.path, files_.size());
        files_.push_back(std::move(file));
    }
}

void Fixer::LoadFile(KnowledgeFile& file) {
    const std::string native = ToUtf8(file.path);
    std::string error;
    file.identity = IdentityOf(native, error);
    if (!file.identity) {
        // Only the fallback file may be missing; it is made when a line goes to it.
        if (!error.empty())
            file.untouchable = u"не удалось узнать, что это за файл: " + FromUtf8(error);
        return;
    }
    if (!file.identity->notRewritable.empty())
        file.untouchable = FromUtf8(file.identity->notRewritable);
    file.exists = true;
    file.newMode = file.identity->mode;
    std::string bytes;
    try {
        bytes = ReadKnowledgeFile(file.path);
    } catch (const DialogueError&) {
        file.untouchable = u"файл не читается";
        return;
    }
    const EncodingMark mark = DetectEncoding(bytes);
    file.encoding = mark.encoding;
    file.encodingChosen = true;
    try {
        file.text = DecodeKnowledgeText(bytes);
    } catch (const DecodeError&) {
        file.untouchable = u"байты файла не декодируются";
        return;
    }
    file.decoded = true;
    const bool utf16 =
        mark.encoding == TextEncoding::Utf16LE || mark.encoding == TextEncoding::Utf16BE;
    if (utf16 && (bytes.size() - mark.markLength) % 2 == 1) {
        file.untouchable = u"у последнего байта файла UTF-16 нет пары: файл оставлен как есть";
    }
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (mark.encoding == TextEncoding::Windows1251 && !ascii) {
        if (std::optional<std::u16string> meant = DecodeUtf8Text(bytes)) {
            // Every question that the program answers now both before and after the mark must
            // be answered by the same line: the mark only lets the text be read as written.
            file.markWanted = true;
            const AnswerMap before = Answers(file.text, file.path);
            const AnswerMap after = Answers(*meant, file.path);
            const bool keeps = std::all_of(before.begin(), before.end(), [&](const auto& entry) {
                const auto it = after.find(entry.first);
                return it == after.end() || it->second.line == entry.second.line;
            });
            file.text = std::move(*meant);
            file.encoding = TextEncoding::Utf8;
            if (!keeps) {
                file.untouchable = u"с меткой UTF-8 на какой-то вопрос ответила бы другая строка";
            } else if (file.untouchable.empty()) {
                file.addMark = true;
            }
            bytes.insert(0, EncodingMarkBytes(TextEncoding::Utf8));
        }
    }
    if (file.untouchable.empty() && EncodeKnowledgeText(file.text, file.encoding) != bytes) {
        file.untouchable = u"файл нельзя было бы записать заново, не изменив его байтов";
    }
    file.split = SplitText(file.text);
    for (const LineSpan& span : file.split.lines) {
        if (span.breakLength > 0) {
            file.lineBreak = file.text.substr(span.start + span.length, span.breakLength);
            break;
        }
    }
}

void Fixer::PlanLines() {
    for (KnowledgeFile& file : files_) {
        file.plans.resize(file.split.lines.size());
        for (std::size_t i = 0; i < file.split.lines.size(); ++i) {
            const LineSpan& span = file.split.lines[i];
            const std::u16string_view line =
                std::u16string_view(file.text).substr(span.start, span.length);
            Plan& plan = file.plans[i];
            plan.text = line;
            plan.question = FoldedQuestion(line);
            if (plan.question.empty()) continue;
            if (!Askable(plan.question)) {
                plan.text = WithoutBlanksAtBar(line);
                plan.question = FoldedQuestion(plan.text);
                plan.repaired = true;
            }
            const std::u16string& selected = Selected(plan.question);
            if (selected == file.path) {
                plan.kind = plan.repaired ? Plan::Kind::Repair : Plan::Kind::Keep;
            } else {
                plan.kind = Plan::Kind::Move;
                plan.dest = IndexOf(selected);
            }
            plan.wanted = plan.kind != Plan::Kind::Keep;
            if (!plan.wanted) {
                // Most lines need nothing: the file's text holds them, and memory stays with it.
                plan.text = std::u16string();
                plan.question = std::u16string();
                continue;
            }
            if (!file.untouchable.empty()) {
                Block(plan,
                      u"файл " + FromUtf8(file.shown) + u" не изменяется: " + file.untouchable);
                continue;
            }
            if (plan.kind != Plan::Kind::Move) continue;
            if (plan.dest == npos) {
                Block(plan, u"файл " + Selected(plan.question).substr(dir_.size()) +
                                u", где программа ищет этот вопрос, не читается");
                continue;
            }
            KnowledgeFile& dest = files_[plan.dest];
            const std::u16string destName = FromUtf8(dest.shown);
            if (!dest.untouchable.empty()) {
                Block(plan, u"файл " + destName +
                                u", где программа ищет этот вопрос, не изменяется: " +
                                dest.untouchable);
            } else if (dest.split.nulStop) {
                Block(plan, u"в файле " + destName +
                                u" символ NUL обрывает текст: строка после него пропала бы");
            } else {
                if (!dest.encodingChosen) {
                    dest.encoding = file.encoding;
                    dest.encodingChosen = true;
                    dest.lineBreak = file.lineBreak;
                    dest.newMode = file.newMode;
                }
                if (!Encodable(plan.text, dest.encoding)) {
                    Block(plan, u"строку нельзя записать в кодировке файла " + destName);
                }
            }
        }
    }
}

void Fixer::BlockAll(std::size_t f, const std::u16string& why) {
    KnowledgeFile& file = files_[f];
    for (Plan& plan : file.plans) Block(plan, why);
    for (const auto& [source, line] : file.incoming) Block(files_[source].plans[line], why);
    if (file.addMark) {
        file.addMark = false;
        file.untouchable = why;
        ++blocks_;
    }
}

void Fixer::VerifyFile(std::size_t f) {
    KnowledgeFile& file = files_[f];
    // The new text: the lines that stay, repaired where due, then the lines moved in.
    std::u16string text;
    std::vector<std::u16string> expected;
    std::map<std::size_t, Plan*> fresh;  // lines of the new text written by the repair
    file.losesLines = false;
    for (std::size_t i = 0; i < file.split.lines.size(); ++i) {
        const LineSpan& span = file.split.lines[i];
        Plan& plan = file.plans[i];
        const std::u16string_view lineBreak =
            std::u16string_view(file.text).substr(span.start + span.length, span.breakLength);
        if (plan.kind == Plan::Kind::Move) {
            file.losesLines = true;
            continue;
        }
        // A line kept is written as it stands, whatever repair was once planned for it.
        const std::u16string_view line =
            plan.kind == Plan::Kind::Repair
                ? std::u16string_view(plan.text)
                : std::u16string_view(file.text).substr(span.start, span.length);
        if (plan.kind == Plan::Kind::Repair) fresh.emplace(expected.size(), &plan);
        text += line;
        text += lineBreak;
        expected.emplace_back(line);
    }
    text += std::u16string_view(file.text).substr(file.split.end);
    if (!file.incoming.empty()) {
        // A line the file holds already is not added again: a run that stopped after writing
        // this file and before the one the line leaves must not leave it here twice.
        expected.reserve(expected.size() + file.incoming.size());
        std::unordered_map<std::u16string_view, std::size_t> held;
        for (std::size_t i = 0; i < expected.size(); ++i) held.try_emplace(expected[i], i);
        bool separated = false;
        for (const auto& [source, line] : file.incoming) {
            Plan& plan = files_[source].plans[line];
            if (plan.kind != Plan::Kind::Move) continue;  // given up earlier in this round
            if (const auto same = held.find(plan.text); same != held.end()) {
                plan.present = true;
                plan.targetLine = same->second + 1;
                continue;
            }
            if (!separated && !text.empty() && text.back() != u'\r' && text.back() != u'\n')
                text += file.lineBreak;
            separated = true;
            plan.present = false;
            fresh.emplace(expected.size(), &plan);
            text += plan.text;
            text += file.lineBreak;
            expected.push_back(plan.text);
            held.try_emplace(expected.back(), expected.size() - 1);
            plan.targetLine = expected.size();
        }
    }
    file.changed = file.addMark || !fresh.empty() || file.losesLines;
    file.newText = file.changed ? std::move(text) : std::u16string();
    if (!file.changed) return;

    const std::u16string name = FromUtf8(file.shown);
    if (!EncodeKnowledgeText(file.newText, file.encoding)) {
        BlockAll(f, u"после правки файл " + name + u" нельзя было бы записать в его кодировке");
        return;
    }
    if (LinesOf(file.newText) != expected) {
        BlockAll(f, u"после правки строки файла " + name + u" делились бы иначе");
        return;
    }
    // Made again each round rather than kept for every file: memory stays with one file's maps.
    const AnswerMap before = Answers(file.text, file.path);
    const AnswerMap after = Answers(file.newText, file.path);
    std::set<std::u16string> changedQuestions;
    for (const auto& [question, answer] : before) {
        const auto it = after.find(question);
        if (it == after.end() || it->second.text != answer.text) changedQuestions.insert(question);
    }
    for (const auto& [question, answer] : after) {
        if (!before.count(question) && !fresh.count(answer.line)) changedQuestions.insert(question);
    }
    // A repaired or moved line that would answer in another's place is given up; then the
    // next one that would, if any, on the next round.
    for (const std::u16string& question : changedQuestions) {
        const auto now = after.find(question);
        const auto line = now == after.end() ? fresh.end() : fresh.find(now->second.line);
        if (line == fresh.end()) {
            BlockAll(f, u"после правки в файле " + name + u" изменился бы ответ на вопрос «" +
                            question + u"»");
            return;
        }
        Block(*line->second,
              u"строка встала бы в списке файла " + name +
                  u" раньше той, что уже отвечает на этот вопрос, и изменила бы ответ");
    }
}

void Fixer::Verify() {
    for (bool settled = false; !settled;) {
        for (KnowledgeFile& file : files_) file.incoming.clear();
        for (std::size_t f = 0; f < files_.size(); ++f) {
            for (std::size_t i = 0; i < files_[f].plans.size(); ++i) {
                const Plan& plan = files_[f].plans[i];
                if (plan.kind == Plan::Kind::Move) files_[plan.dest].incoming.emplace_back(f, i);
            }
        }
        // What one file gives up changes what others receive: another round checks them
        // again, until a round gives up nothing.
        const std::size_t blocks = blocks_;
        for (std::size_t f = 0; f < files_.size(); ++f) VerifyFile(f);
        settled = blocks_ == blocks;
    }
}

FixResult Fixer::Report() {
    FixResult result;
    for (const Temporary& temporary : temporaries_) {
        FixChange change;
        change.file = temporary.shown;
        if (temporary.notOurs.empty()) {
            change.action = FixChange::Action::RemoveTemporary;
            ++result.made;
        } else {
            change.action = FixChange::Action::FileKept;
            change.reason = temporary.notOurs;
            ++result.kept;
        }
        result.changes.push_back(std::move(change));
    }
    for (const KnowledgeFile& file : files_) {
        if (file.markWanted) {
            FixChange change;
            change.file = file.shown;
            if (file.addMark) {
                change.action = FixChange::Action::AddMark;
                ++result.made;
            } else {
                change.action = FixChange::Action::FileKept;
                change.reason = u"метка UTF-8 не добавлена: " + file.untouchable;
                ++result.kept;
            }
            result.changes.push_back(std::move(change));
        }
        for (std::size_t i = 0; i < file.plans.size(); ++i) {
            const Plan& plan = file.plans[i];
            if (!plan.wanted) continue;
            FixChange change;
            change.file = file.shown;
            change.line = i + 1;
            change.text = plan.text;
            switch (plan.kind) {
            case Plan::Kind::Keep:
                change.action = FixChange::Action::Kept;
                change.reason = plan.blocked;
                change.text =
                    file.text.substr(file.split.lines[i].start, file.split.lines[i].length);
                ++result.kept;
                break;
            case Plan::Kind::Repair:
                change.action = FixChange::Action::RemoveBlanks;
                ++result.made;
                break;
            case Plan::Kind::Move: {
                const KnowledgeFile& dest = files_[plan.dest];
                change.action = FixChange::Action::Move;
                change.target = dest.shown;
                change.blanksRemoved = plan.repaired;
                change.targetLine = plan.targetLine;
                change.alreadyThere = plan.present;
                ++result.made;
                break;
            }
            }
            result.changes.push_back(std::move(change));
        }
    }
    return result;
}

std::size_t Fixer::RemoveTemporaries(FixResult& result) {
    std::size_t removed = 0;
    for (const Temporary& temporary : temporaries_) {
        if (!temporary.notOurs.empty()) continue;
        std::string error;
        if (RemoveLeftTemporary(temporary.path, error)) {
            ++removed;
            continue;
        }
        FixChange failed;
        failed.action = FixChange::Action::FileKept;
        failed.file = temporary.shown;
        failed.reason = u"временный файл не удалён: " + FromUtf8(error);
        result.changes.push_back(std::move(failed));
    }
    return removed;
}

std::size_t Fixer::RepairsWritten(const std::set<std::size_t>& written) const {
    const auto done = [&](std::size_t f) { return !files_[f].changed || written.count(f) > 0; };
    std::size_t made = 0;
    for (std::size_t f = 0; f < files_.size(); ++f) {
        const KnowledgeFile& file = files_[f];
        if (file.addMark && done(f)) ++made;
        for (const Plan& plan : file.plans) {
            if (plan.kind == Plan::Kind::Repair && done(f)) ++made;
            if (plan.kind == Plan::Kind::Move && done(f) && (plan.present || done(plan.dest)))
                ++made;
        }
    }
    return made;
}

void Fixer::Write(FixResult& result, const FileWriter& write) {
    const std::size_t planned = result.made;
    const std::size_t removed = RemoveTemporaries(result);
    // Files that receive lines go first: until the last write, a moved line may stand in
    // both files, but never in neither. A file that also loses lines gets them added first.
    struct Step {
        std::size_t file;
        std::u16string text;
    };
    std::vector<Step> steps;
    const auto receives = [&](const KnowledgeFile& file) {
        return std::any_of(file.incoming.begin(), file.incoming.end(), [&](const auto& from) {
            return !files_[from.first].plans[from.second].present;
        });
    };
    for (std::size_t f = 0; f < files_.size(); ++f) {
        const KnowledgeFile& file = files_[f];
        if (!file.changed || !receives(file)) continue;
        if (!file.losesLines) {
            steps.push_back({f, file.newText});
            continue;
        }
        std::u16string grown = file.text;
        if (!grown.empty() && grown.back() != u'\r' && grown.back() != u'\n')
            grown += file.lineBreak;
        for (const auto& [source, line] : file.incoming) {
            const Plan& plan = files_[source].plans[line];
            if (!plan.present) grown += plan.text + file.lineBreak;
        }
        steps.push_back({f, std::move(grown)});
    }
    for (std::size_t f = 0; f < files_.size(); ++f) {
        const KnowledgeFile& file = files_[f];
        if (file.changed && (!receives(file) || file.losesLines))
            steps.push_back({f, file.newText});
    }
    std::set<std::size_t> written;
    for (const Step& step : steps) {
        KnowledgeFile& file = files_[step.file];
        std::string error;
        const std::optional<std::string> bytes = EncodeKnowledgeText(step.text, file.encoding);
        std::optional<FileIdentity> identity;
        if (!bytes) {
            error = "текст нельзя записать в кодировке файла";
        } else {
            identity = write(ToUtf8(file.path), *bytes, file.exists ? file.identity : std::nullopt,
                             file.newMode, error);
        }
        if (!identity) {
            FixChange failed;
            failed.action = FixChange::Action::WriteFailed;
            failed.file = file.shown;
            failed.reason = FromUtf8(error) + u"; остальные файлы не записаны";
            result.changes.push_back(std::move(failed));
            result.writeFailed = true;
            break;
        }
        if (file.exists && file.identity && identity->group != file.identity->group) {
            FixChange regrouped;
            regrouped.action = FixChange::Action::GroupChanged;
            regrouped.file = file.shown;
            regrouped.reason =
                FromUtf8(GroupName(identity->group) + " вместо " + GroupName(file.identity->group));
            result.changes.push_back(std::move(regrouped));
        }
        file.identity = identity;
        file.exists = true;
        written.insert(step.file);
    }
    result.filesWritten = written.size();
    result.made = removed + RepairsWritten(written);
    result.unwritten = planned - result.made;
}

}  // namespace

FixResult FixFolder(std::u16string_view programDir, const FixOptions& options) {
    return Fixer(programDir).Run(options);
}

FixResult FixFolder(std::u16string_view programDir, bool dryRun) {
    FixOptions options;
    options.dryRun = dryRun;
    return FixFolder(programDir, options);
}

}  // namespace checker
