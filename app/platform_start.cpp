#include "platform_start.h"

#include "no_display.h"

#include <QtCore/QByteArray>
#include <QtCore/QStringList>
#include <QtCore/qlogging.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace app {
namespace {

// One message of Qt's with a copy of the context that it came with, to be handed on later.
struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

std::mutex heldMutex;  // Qt's X11 plug-in starts a thread of its own, which may say something
std::vector<HeldMessage> held;
QtMessageHandler qtHandler = nullptr;

const char* OrNull(const QByteArray& text) { return text.isNull() ? nullptr : text.constData(); }

void HandOn(const HeldMessage& message)
{
    const QMessageLogContext context(OrNull(message.file), message.line,
                                     OrNull(message.function), OrNull(message.category));
    qtHandler(message.type, context, message.text);
}

// Qt gave up starting its platform: one line where the display is missing, else Qt's words as
// Qt would write them; status 1 either way, since Qt aborts once a handler returns.
[[noreturn]] void EndStart()
{
    qInstallMessageHandler(qtHandler);
    QStringList said;
    for (const HeldMessage& message : held) {
        said.append(message.text);
    }
    const QString line = NoDisplayText(said.join(u'\n'));
    if (line.isEmpty()) {
        for (const HeldMessage& message : held) {
            HandOn(message);
        }
    } else {
        std::fprintf(stderr, "ffname: %s\n", line.toLocal8Bit().constData());
    }
    std::fflush(stderr);
    std::_Exit(1);
}

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const std::lock_guard lock(heldMutex);
    held.push_back({type, QByteArray(context.file), context.line, QByteArray(context.function),
                    QByteArray(context.category), text});
    if (type == QtFatalMsg) {
        EndStart();
    }
}

} // namespace

void HoldPlatformMessages() { qtHandler = qInstallMessageHandler(Hold); }

void ReleasePlatformMessages()
{
    std::vector<HeldMessage> messages;
    {
        const std::lock_guard lock(heldMutex);
        qInstallMessageHandler(qtHandler);
        messages.swap(held);
    }
    for (const HeldMessage& message : messages) {
        HandOn(message);
    }
}

} // namespace app
