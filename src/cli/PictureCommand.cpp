// q815ctl picture: one picture from the camera, or a series, fetched as "Get
// Pic SPI" / "Get Pic UART" fetch it, checked and written.
#include "link/BoardProtocol.h"
#include "camera/JpegFrame.h"
#include "camera/PictureAssembler.h"
#include "camera/PictureFetch.h"
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"
#include "cli/Interrupt.h"
#include "cli/ProgressBar.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>
#include <optional>

namespace {

const QString Spi = QStringLiteral("spi");
const QString Uart = QStringLiteral("uart");
const QString Size = QStringLiteral("size");
const QString Output = QStringLiteral("output");
const QString Count = QStringLiteral("count");
const QString Interval = QStringLiteral("interval");
const QString KeepBad = QStringLiteral("keep-bad");
const QString Command = QStringLiteral("picture");

struct Series {
    bool uart = false;
    std::optional<int> sizeIndex;
    QString output;
    int count = 1;
    double interval = 0;
};

// The options, checked; an empty text when they are good.
QString ReadSeries(const QCommandLineParser& parser, Series& series)
{
    if (parser.isSet(Spi) && parser.isSet(Uart))
        return QStringLiteral("Choose one of --spi and --uart.");
    series.uart = parser.isSet(Uart);
    if (parser.isSet(Size)) {
        const QString size = parser.value(Size);
        for (int i = 0; i < int(PictureSizeCaptions.size()); ++i) {
            if (size == QLatin1String(PictureSizeCaptions[std::size_t(i)]))
                series.sizeIndex = i;
        }
        if (!series.sizeIndex)
            return QStringLiteral("The camera has no picture size '%1'; it has 80x60, 88x72, "
                                  "160x120, 176x144, 320x240, 352x288, 640x480, 80x64, 128x96, "
                                  "128x128 and 160x128.")
                .arg(size);
    }
    bool ok = true;
    if (parser.isSet(Count))
        series.count = parser.value(Count).toInt(&ok);
    if (!ok || series.count < 1)
        return QStringLiteral("--count takes a number of pictures, 1 or more.");
    if (parser.isSet(Interval))
        series.interval = parser.value(Interval).toDouble(&ok);
    if (!ok || series.interval < 0)
        return QStringLiteral("--interval takes a number of seconds.");
    series.output = parser.isSet(Output)
                        ? parser.value(Output)
                        : QLatin1String(series.count > 1 ? "picture-%n.jpg" : "picture.jpg");
    const bool toStdout = series.output == QLatin1String("-");
    if (toStdout && parser.isSet(QStringLiteral("json")))
        return QStringLiteral("--json and -o - both want standard output.");
    if (series.count > 1 && !toStdout && !series.output.contains(QLatin1String("%n")))
        return QStringLiteral("A series needs %n in the file name, where each picture's number "
                              "goes.");
    return {};
}

// The file of picture number (1 and up): %n becomes the number, as wide as the
// last one's, so that the files sort in order.
QString FileOf(const Series& series, int number)
{
    const int width = int(QString::number(series.count).size());
    QString name = series.output;
    return name.replace(QLatin1String("%n"),
                        QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0')));
}

// Sleeps in the event loop until the deadline or an interrupt.
void SleepUntil(const QDeadlineTimer& deadline, bool& interrupted)
{
    if (interrupted || deadline.hasExpired())
        return;
    QEventLoop loop;
    const Interrupt interrupt([&] {
        interrupted = true;
        loop.quit();
    });
    QTimer::singleShot(deadline.remainingTime(), &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

QList<QCommandLineOption> PictureOptions()
{
    return {
        {Spi, QStringLiteral("Fetch the picture block by block, as \"Get Pic SPI\" does "
                             "(the default).")},
        {Uart, QStringLiteral("Fetch the picture in one stream, as \"Get Pic UART\" does.")},
        {Size, QStringLiteral("Set the camera's picture size first: 80x60, 88x72, 160x120, "
                              "176x144, 320x240, 352x288, 640x480, 80x64, 128x96, 128x128 or "
                              "160x128."),
         QStringLiteral("WxH")},
        {{QStringLiteral("o"), Output},
         QStringLiteral("Write the picture to FILE (- for standard output); %n in it numbers "
                        "the pictures of a series (default picture.jpg, picture-%n.jpg)."),
         QStringLiteral("FILE")},
        {Count, QStringLiteral("Fetch N pictures."), QStringLiteral("N")},
        {Interval, QStringLiteral("Start a picture of the series every S seconds (default: "
                                  "one right after the other)."),
         QStringLiteral("S")},
        {KeepBad, QStringLiteral("Write a picture that is not a whole JPEG all the same.")},
        JsonOption(),
    };
}

int RunPicture(CtlContext& c)
{
    Series series;
    if (const QString error = ReadSeries(c.parser, series); !error.isEmpty())
        return c.io.Usage(error, Command);
    CtlBoard board(c.backend, c.io, c.selection);
    if (const int opened = board.Open())
        return opened;
    if (series.sizeIndex) {
        if (const int exit = board.Exchange(*PictureSizeCommand(*series.sizeIndex)).exit)
            return exit;
    }

    // No file of the window's is touched: the picture comes in memory.
    PictureAssembler assembler(board.Link());
    std::optional<ProgressBar> bar;
    FetchSteps steps;
    steps.progress = [&bar](int value, int maximum) {
        if (bar)
            bar->Show(value, maximum);
    };

    const bool json = c.parser.isSet(QStringLiteral("json"));
    QJsonArray results;
    int exit = ExitDone;
    bool interrupted = false;
    for (int number = 1; number <= series.count && !interrupted; ++number) {
        const QDeadlineTimer next(qint64(series.interval * 1000), Qt::PreciseTimer);
        const QString title = QStringLiteral("picture %1/%2").arg(number).arg(series.count);
        if (c.io.ErrIsTerminal())
            bar.emplace(c.io.Err(), title);
        const PictureResult fetched =
            FetchPicture(board.Link(), assembler, series.uart ? UartRoute() : SpiRoute(), steps);
        bar.reset();
        const int answered = ExitOf(fetched.outcome);
        if (!fetched.message.isEmpty() || answered == ExitNoBoard) {
            const int status = answered == ExitDone ? ExitFailed : answered;
            c.io.Message(status == ExitNoAnswer
                             ? QStringLiteral("%1: the board did not answer within %2 s")
                                   .arg(title)
                                   .arg(ReplyLimitMs / 1000)
                             : QStringLiteral("%1: %2").arg(title, fetched.message.isEmpty()
                                                                       ? QStringLiteral("No USB")
                                                                       : fetched.message));
            return status;
        }
        const QByteArray picture = fetched.Picture();
        const JpegFrameCheck check = CheckJpegFrame(picture);
        QString problem = check.problem;
        int status = check.Whole() ? ExitDone : ExitFailed;
        if (answered == ExitNoAnswer) {
            problem = QStringLiteral("the board fell silent during the download");
            status = ExitNoAnswer;
        }
        const QString file = series.output == QLatin1String("-") ? QStringLiteral("-")
                                                                 : FileOf(series, number);
        const bool write = check.Whole() || c.parser.isSet(KeepBad);
        if (!problem.isEmpty())
            c.io.Message(QStringLiteral("%1 (%2 bytes) is bad: %3%4")
                             .arg(title)
                             .arg(picture.size())
                             .arg(problem, write ? QString() : QStringLiteral("; not written")));
        if (write && file == QLatin1String("-")) {
            c.io.Out().write(picture);
        } else if (write) {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
                || out.write(picture) != picture.size()) {
                c.io.Message(QStringLiteral("cannot write %1: %2").arg(file, out.errorString()));
                return ExitFailed;
            }
            if (!json)
                c.io.Line(QStringLiteral("%1  %2 bytes").arg(file).arg(picture.size()));
        }
        QJsonObject result{{QStringLiteral("file"), file},
                           {QStringLiteral("bytes"), picture.size()},
                           {QStringLiteral("whole"), check.Whole()},
                           {QStringLiteral("written"), write}};
        if (!problem.isEmpty())
            result.insert(QStringLiteral("problem"), problem);
        results.append(result);
        if (exit == ExitDone)
            exit = status;
        if (status == ExitNoAnswer)
            break;
        if (number < series.count)
            SleepUntil(next, interrupted);
    }
    if (json)
        c.io.Json(QJsonObject{{QStringLiteral("pictures"), results}});
    return exit;
}
