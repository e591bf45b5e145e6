// Large knowledge files through the real main window (offscreen): the first keystroke of
// a letter whose file is not loaded, the letter typed again after another, a query on the
// file loaded, and the memory a loaded list keeps, at 100,000 and 400,000 lines. The ratios
// with targets are timed against their yardsticks in the same iterations (bench/ratios.py).
#include <benchmark/benchmark.h>


#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "Unit1.h"
#include "decoding.h"
#include "heap_in_use.h"
#include "resident_memory.h"
#include "knowledge_base_generator.h"
#include "yardsticks.h"
#include "knowledge_files.h"
#include "memory_budget.h"
#include "suggestion_model.h"

namespace {

constexpr char16_t kFirst = bench::kFirstLetter;
constexpr char16_t kSecond = bench::kSecondLetter;
using Fixture = bench::LetterFolder;

Fixture& FixtureFor(std::size_t lines) { return bench::LetterFolderFor(lines); }

std::size_t Lines(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

void SendKey(QWidget* widget, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

// The main window on the fixture's folder, shown, with the input focused and empty.
struct ShownWindow {
    explicit ShownWindow(Fixture& fixture) : form(fixture.folder.Dir()) {
        form.show();
        form.Edit1->setFocus();
        QApplication::processEvents();
    }
    // Empties the input and types one letter; the list is laid out and painted.
    void TypeLetter(char16_t letter) {
        SendKey(form.Edit1, Qt::Key_Backspace, QString());
        const QString text(QChar(static_cast<ushort>(letter)));
        SendKey(form.Edit1, Qt::Key_unknown, text);
        QApplication::processEvents();
    }
    windows::TForm1 form;
};

void BM_ReadBytes(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    for (auto _ : state) benchmark::DoNotOptimize(dialogue::ReadKnowledgeFile(fixture.first));
}

void BM_ReadAndDecode(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            dialogue::DecodeKnowledgeText(dialogue::ReadKnowledgeFile(fixture.first)));
    }
}

// Nothing kept of other files: every letter parses its file.
void BM_FirstKeystroke(benchmark::State& state) {
    ShownWindow window(FixtureFor(Lines(state)));
    window.form.myList.LimitRecentLists(0);
    bool flip = false;
    for (auto _ : state) {
        window.TypeLetter(flip ? kFirst : kSecond);
        flip = !flip;
    }
    if (window.form.Suggestions().Count() == 0) state.SkipWithError("nothing listed");
}

void BM_LetterAgain(benchmark::State& state) {
    ShownWindow window(FixtureFor(Lines(state)));
    window.TypeLetter(kFirst);
    window.TypeLetter(kSecond);
    bool flip = false;
    for (auto _ : state) {
        window.TypeLetter(flip ? kSecond : kFirst);
        flip = !flip;
    }
}

// Enter on a question that the loaded file does not answer: the file is read again,
// found unchanged, and every question is looked at.
void BM_QueryUnchangedFile(benchmark::State& state) {
    ShownWindow window(FixtureFor(Lines(state)));
    const QString question = QStringLiteral("глаза");
    for (auto _ : state) {
        state.PauseTiming();
        window.form.Edit1->setText(question);
        state.ResumeTiming();
        SendKey(window.form.Edit1, Qt::Key_Return, QStringLiteral("\r"));
    }
}

// The ratios that have targets, each against its yardstick in the same iterations.
void BM_FirstKeystrokeAgainstDecoding(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    ShownWindow window(fixture);
    window.form.myList.LimitRecentLists(0);
    bool flip = false;
    bench::Alternate(state, "over_yardstick", bench::Step{[&] {
                         window.TypeLetter(flip ? kFirst : kSecond);
                         flip = !flip;
                     }},
                     bench::ReadingAndDecoding(fixture));
}

void BM_LetterAgainAgainstDecoding(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    ShownWindow window(fixture);
    window.TypeLetter(kFirst);
    window.TypeLetter(kSecond);
    bool flip = false;
    bench::Alternate(state, "over_yardstick", bench::Step{[&] {
                         window.TypeLetter(flip ? kSecond : kFirst);
                         flip = !flip;
                     }},
                     bench::ReadingAndDecoding(fixture));
}

// The question is put in untimed, as in BM_QueryUnchangedFile.
void BM_QueryUnchangedAgainstReading(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    ShownWindow window(fixture);
    const QString question = QStringLiteral("глаза");
    bench::Alternate(
        state, "over_yardstick",
        bench::Step{[&] { SendKey(window.form.Edit1, Qt::Key_Return, QStringLiteral("\r")); },
                    [&] { window.form.Edit1->setText(question); }},
        bench::ReadingTheBytes(fixture));
}

void BM_LoadedListMemory(benchmark::State& state) {
    Fixture& fixture = FixtureFor(Lines(state));
    const double fileBytes = static_cast<double>(dialogue::ReadKnowledgeFile(fixture.first).size());
    for (auto _ : state) {
        ShownWindow window(fixture);
        const std::size_t before = bench::HeapInUse();
        // Earlier benchmarks' freed memory would otherwise hide this load's growth.
        dialogue::ReturnFreedMemory();
        const std::size_t residentBefore = bench::ResidentBytes();
        window.TypeLetter(kFirst);
        state.counters["list_bytes_per_file_byte"] =
            static_cast<double>(bench::HeapInUse() - before) / fileBytes;
        // The growth the user sees once the first keystroke has settled.
        const std::size_t residentAfter = bench::ResidentBytes();
        state.counters["resident_bytes_per_file_byte"] =
            static_cast<double>(residentAfter > residentBefore ? residentAfter - residentBefore
                                                               : 0) /
            fileBytes;
    }
}

}  // namespace

#define SIZES Arg(100000)->Arg(400000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ReadBytes)->SIZES;
BENCHMARK(BM_ReadAndDecode)->SIZES;
BENCHMARK(BM_FirstKeystroke)->SIZES;
BENCHMARK(BM_LetterAgain)->SIZES;
BENCHMARK(BM_QueryUnchangedFile)->SIZES;
BENCHMARK(BM_LoadedListMemory)->SIZES->Iterations(1);
#define PAIRED Arg(100000)->Arg(400000)->MinTime(2.0)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_FirstKeystrokeAgainstDecoding)->PAIRED;
BENCHMARK(BM_LetterAgainAgainstDecoding)->PAIRED;
BENCHMARK(BM_QueryUnchangedAgainstReading)->PAIRED;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
