// One keystroke that lists 100,000 questions: through the real main window (key event,
// Edit1Change, the list's model and view, painting) against the dialogue core alone
// with a window that only keeps the entries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include "Unit1.h"
#include "qt_strings.h"
#include "collation.h"
#include "counting_window.h"
#include "dialogue.h"
#include "suggestion_model.h"

namespace {

constexpr int kQuestions = 100000;

// A program folder whose mem/а holds kQuestions questions, all beginning with "а".
class KnowledgeBase {
public:
    KnowledgeBase() {
        QDir(dir_.path()).mkdir(QStringLiteral("mem"));
        QByteArray bytes("\xEF\xBB\xBF");
        for (int i = 0; i < kQuestions; ++i)
            bytes += QStringLiteral("а вопрос номер %1|ответ номер %1\r\n").arg(i).toUtf8();
        QFile file(dir_.path() + QStringLiteral("/mem/а"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
    }
    std::u16string ProgramDir() const { return windows::ToU16(dir_.path() + QLatin1Char('/')); }

private:
    QTemporaryDir dir_;
};

const KnowledgeBase& Base() {
    static const KnowledgeBase base;
    return base;
}

// Typing a blank after "а" and taking it back both list every question.
void CoreKeystroke(benchmark::State& state) {
    bench::CountingWindow window;
    dialogue::PhraseList myList(dialogue::DefaultCollator());
    dialogue::Dialogue dialogue(window, myList, Base().ProgramDir());
    const std::u16string letter = u"а";
    const std::u16string letterAndBlank = u"а ";
    window.input = letter;
    dialogue.Edit1Change();
    bool blank = false;
    for (auto _ : state) {
        blank = !blank;
        window.input = blank ? letterAndBlank : letter;
        dialogue.Edit1Change();
        if (window.suggestions != kQuestions) state.SkipWithError("not every question listed");
    }
}
BENCHMARK(CoreKeystroke)->Unit(benchmark::kMillisecond);

void SendKey(QWidget* widget, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

void WindowKeystroke(benchmark::State& state) {
    windows::TForm1 form(Base().ProgramDir());
    form.show();
    form.Edit1->setFocus();
    form.Edit1->setText(QStringLiteral("а"));
    QApplication::processEvents();
    bool blank = false;
    for (auto _ : state) {
        blank = !blank;
        if (blank)
            SendKey(form.Edit1, Qt::Key_Space, QStringLiteral(" "));
        else
            SendKey(form.Edit1, Qt::Key_Backspace, QString());
        // Layout and painting of the list belong to the keystroke.
        QApplication::processEvents();
        if (form.Suggestions().Count() != kQuestions)
            state.SkipWithError("not every question listed");
    }
}
BENCHMARK(WindowKeystroke)->Unit(benchmark::kMillisecond);

// Prints as usual and remembers the mean time of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds[run.benchmark_name()] =
                    run.real_accumulated_time / static_cast<double>(run.iterations);
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The window is measured without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto core = reporter.seconds.find("CoreKeystroke");
    const auto window = reporter.seconds.find("WindowKeystroke");
    if (core != reporter.seconds.end() && window != reporter.seconds.end() && core->second > 0)
        std::printf("window keystroke / core keystroke: %.2f\n", window->second / core->second);
    return 0;
}
