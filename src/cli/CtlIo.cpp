#include "cli/CtlIo.h"

#include <QJsonDocument>
#include <array>
#include <cerrno>

namespace {

constexpr std::array<const char*, 7> ErrorKinds{"usage",    "board-failure", "bad-picture", "write",
                                                "no-board", "no-answer",     "interrupted"};

int ExitOf(CtlError kind, int signal)
{
    switch (kind) {
    case CtlError::Usage:
        return ExitUsage;
    case CtlError::NoBoard:
        return ExitNoBoard;
    case CtlError::NoAnswer:
        return ExitNoAnswer;
    case CtlError::Interrupted:
        return 128 + signal;
    default:
        return ExitFailed;
    }
}

} // namespace

void CtlIo::Write(const QByteArray& bytes)
{
    if (outFailed_ || bytes.isEmpty())
        return;
    if (!outClosed_ && out_.write(bytes) == bytes.size())
        return;
    outFailed_ = true;
    const QString reason = outClosed_ ? qt_error_string(EBADF) : out_.errorString();
    Fail(CtlError::Write, QStringLiteral("cannot write standard output: %1").arg(reason));
}

void CtlIo::Line(const QString& text)
{
    Write(text.toUtf8() + '\n');
}

void CtlIo::Json(const QJsonObject& document, bool compact)
{
    Write(
        QJsonDocument(document).toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented) +
        (compact ? "\n" : ""));
}

void CtlIo::Message(const QString& text)
{
    err_.write("q815ctl: " + text.toUtf8() + '\n');
}

int CtlIo::Usage(const QString& text, const QString& command)
{
    const QString help = command.isEmpty() ? QStringLiteral("q815ctl --help")
                                           : QStringLiteral("q815ctl %1 --help").arg(command);
    err_.write(QStringLiteral("q815ctl: %1\nTry '%2'.\n").arg(text, help).toUtf8());
    if (firstError_.isEmpty())
        firstError_ = {{QStringLiteral("kind"), QLatin1String("usage")},
                       {QStringLiteral("message"), text}};
    return ExitUsage;
}

int CtlIo::Fail(CtlError kind, const QString& text, int signal)
{
    Message(text);
    if (firstError_.isEmpty())
        firstError_ = {{QStringLiteral("kind"), QLatin1String(ErrorKinds[std::size_t(kind)])},
                       {QStringLiteral("message"), text}};
    return ExitOf(kind, signal);
}
