#include "display_check.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace windows {
namespace {

// A message Qt gave while the guard was up, kept whole so that it can be given on later.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};

struct GuardState {
    std::mutex mutex;
    std::string program;
    QtMessageHandler previous = nullptr;
    std::vector<HeldMessage> held;
};

GuardState& State() {
    static GuardState state;
    return state;
}

void Pass(QtMessageHandler handler, QtMsgType type, const QMessageLogContext& context,
          const QString& text) {
    if (handler) {
        handler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, text)));
        std::fflush(stderr);
    }
}

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    GuardState& state = State();
    const std::lock_guard lock(state.mutex);
    // Qt ends the program with this fatal message when no platform plugin could make a
    // connection to a display.
    if (type == QtFatalMsg && text.contains(QStringLiteral("Qt platform plugin"))) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage(state.program).c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type == QtFatalMsg) {
        Pass(state.previous, type, context, text);
        return;
    }
    state.held.push_back({type, QByteArray(context.file), QByteArray(context.function),
                          QByteArray(context.category), context.line, text});
}

}  // namespace

NoDisplayGuard::NoDisplayGuard(std::string program) {
    GuardState& state = State();
    const std::lock_guard lock(state.mutex);
    state.program = std::move(program);
    state.previous = qInstallMessageHandler(Hold);
}

NoDisplayGuard::~NoDisplayGuard() {
    GuardState& state = State();
    std::vector<HeldMessage> held;
    {
        const std::lock_guard lock(state.mutex);
        qInstallMessageHandler(state.previous);
        held.swap(state.held);
    }
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(
            message.file.isEmpty() ? nullptr : message.file.constData(), message.line,
            message.function.isEmpty() ? nullptr : message.function.constData(),
            message.category.isEmpty() ? nullptr : message.category.constData());
        Pass(state.previous, message.type, context, message.text);
    }
}

std::string NoDisplayMessage(const std::string& program) {
    return program +
           ": нет дисплея для окон программы: DISPLAY (или WAYLAND_DISPLAY) не задан или "
           "недоступен; "
           "no display for the program's windows: DISPLAY (or WAYLAND_DISPLAY) is not set or "
           "cannot be reached";
}

}  // namespace windows
