// q815ctl picture: one picture from the camera, or a series, fetched as "Get
// Pic SPI" / "Get Pic UART" fetch it, checked and written.
#include "camera/JpegFrame.h"
#include "camera/PictureAssembler.h"
#include "camera/PictureFetch.h"
#include "cli/CtlBoard.h"
#include "cli/CtlCommand.h"
#include "cli/CtlFiles.h"
#include "cli/CtlNumbers.h"
#include "cli/Interrupt.h"
#include "cli/ProgressBar.h"
#include "link/BoardProtocol.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QSize>
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
const QString NoClobber = QStringLiteral("no-clobber");
const QString Command = QStringLiteral("picture");
constexpr int MostPictures = 1'000'000;
constexpr double LongestInterval = 86'400; // seconds: a day

struct Series {
    bool uart = false;
    std::optional<int> sizeIndex;
    QString output;
    int count = 1;
    double interval = 0;
};

// The options, checked; an empty text when they are good.
QString ReadSeries(const CtlContext& c, Series& series)
{
    const QCommandLineParser& parser = c.parser;
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
    if (QString problem = ReadWhole(parser, Count, 1, MostPictures, series.count);
        !problem.isEmpty())
        return problem;
    if (QString problem = ReadNumber(parser, Interval, 0, LongestInterval, series.interval);
        !problem.isEmpty())
        return problem;
    series.output = parser.isSet(Output)
                        ? parser.value(Output)
                        : QLatin1String(series.count > 1 ? "picture-%n.jpg" : "picture.jpg");
    const bool toStdout = series.output == QLatin1String("-");
    if (toStdout && c.json)
        return QStringLiteral("--json and -o - both want standard output.");
    if (series.count > 1 && !toStdout && !series.output.contains(QLatin1String("%n")) &&
        !series.output.contains(QLatin1String("%t")))
        return QStringLiteral("A series needs %n (or %t) in the file name, where each picture's "
                              "number (or time) goes.");
    return {};
}

// The file of picture number (1 and up) started at start: %n becomes the
// number, as wide as the last one's, so that the files sort in order; %t the
// local date and time (20261206-213015.123).
QString FileOf(const Series& series, int number, const QDateTime& start)
{
    const int width = int(QString::number(series.count).size());
    QString name = series.output;
    return name
        .replace(QLatin1String("%n"), QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0')))
        .replace(QLatin1String("%t"),
                 start.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss.zzz")));
}

// Width and height from the JPEG's frame header (SOFn), or an empty size.
QSize JpegSize(const QByteArray& jpeg)
{
    for (qsizetype at = 2; at + 9 < jpeg.size();) {
        if (quint8(jpeg[at]) != 0xFF)
            return {};
        const quint8 marker = quint8(jpeg[at + 1]);
        const int length = quint8(jpeg[at + 2]) << 8 | quint8(jpeg[at + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return QSize(quint8(jpeg[at + 7]) << 8 | quint8(jpeg[at + 8]),
                         quint8(jpeg[at + 5]) << 8 | quint8(jpeg[at + 6]));
        at += 2 + length;
    }
    return {};
}

// Sleeps in the event loop until the deadline or a signal.
void SleepUntil(const QDeadlineTimer& deadline)
{
    if (Interrupt::Signal() != 0 || deadline.hasExpired())
        return;
    QEventLoop loop;
    if (const Interrupt* interrupt = Interrupt::Current())
        QObject::connect(interrupt, &Interrupt::Caught, &loop, &QEventLoop::quit);
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
        {Size,
         QStringLiteral("Set the camera's picture size first: 80x60, 88x72, 160x120, "
                        "176x144, 320x240, 352x288, 640x480, 80x64, 128x96, 128x128 or "
                        "160x128."),
         QStringLiteral("WxH")},
        {{QStringLiteral("o"), Output},
         QStringLiteral("Write the picture to FILE (- for standard output); %n in it numbers "
                        "the pictures of a series, %t is the date and time (default "
                        "picture.jpg, picture-%n.jpg)."),
         QStringLiteral("FILE")},
        {Count, QStringLiteral("Fetch N pictures (1 to 1000000)."), QStringLiteral("N")},
        {Interval,
         QStringLiteral("Start a picture of the series every S seconds (0 to 86400; "
                        "default: one right after the other)."),
         QStringLiteral("S")},
        {KeepBad, QStringLiteral("Write a picture that is not a whole JPEG all the same.")},
        {NoClobber, QStringLiteral("Never write over a file that exists (exit status 1).")},
        JsonOption(),
    };
}

int RunPicture(CtlContext& c)
{
    Series series;
    if (const QString error = ReadSeries(c, series); !error.isEmpty())
        return c.io.Usage(error, Command);
    QJsonArray results;
    c.document[QStringLiteral("pictures")] = results;
    CtlBoard board(c);
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

    int exit = ExitDone;
    for (int number = 1; number <= series.count; ++number) {
        const QDeadlineTimer next(qint64(series.interval * 1000), Qt::PreciseTimer);
        const QString title = QStringLiteral("picture %1/%2").arg(number).arg(series.count);
        if (c.io.ErrIsTerminal() && !c.io.Quiet())
            bar.emplace(c.io.Err(), title);
        const QDateTime start = QDateTime::currentDateTime();
        if (const int interrupted = board.Interrupted())
            return interrupted;
        const PictureResult fetched =
            FetchPicture(board.Link(), assembler, series.uart ? UartRoute() : SpiRoute(), steps);
        const qint64 durationMs = start.msecsTo(QDateTime::currentDateTime());
        bar.reset();
        // The picture in flight when a signal came is dropped: never written cut.
        if (const int interrupted = board.Interrupted())
            return interrupted;

        const Outcome answered = fetched.outcome;
        const bool silent = answered == Outcome::NoAnswer;
        if (answered == Outcome::NoBoard || answered == Outcome::Unplugged ||
            answered == Outcome::Closed)
            return c.io.Fail(CtlError::NoBoard, QStringLiteral("%1: No USB; is the board "
                                                               "still plugged in?")
                                                    .arg(title));
        if (!fetched.message.isEmpty()) {
            if (silent)
                return c.io.Fail(CtlError::NoAnswer, QStringLiteral("%1: the board did not answer "
                                                                    "within %2")
                                                         .arg(title, board.LimitText()));
            return c.io.Fail(CtlError::BoardFailure,
                             QStringLiteral("%1: %2").arg(title, fetched.message));
        }
        const QByteArray picture = fetched.Picture();
        const JpegFrameCheck check = CheckJpegFrame(picture);
        const QString problem =
            silent ? QStringLiteral("the board fell silent during the download") : check.problem;
        const QString file = series.output == QLatin1String("-") ? QStringLiteral("-")
                                                                 : FileOf(series, number, start);
        const bool write = problem.isEmpty() || c.parser.isSet(KeepBad);
        int status = ExitDone;
        bool writeFailed = false;
        if (!problem.isEmpty())
            status = c.io.Fail(silent ? CtlError::NoAnswer : CtlError::BadPicture,
                               QStringLiteral("%1 (%2 bytes) is bad: %3%4")
                                   .arg(title, QString::number(picture.size()), problem,
                                        write ? QString() : QStringLiteral("; not written")));
        const QSize size = JpegSize(picture);
        QJsonObject result{
            {QStringLiteral("file"), file},
            {QStringLiteral("bytes"), picture.size()},
            {QStringLiteral("whole"), check.Whole()},
            {QStringLiteral("written"), false},
            {QStringLiteral("width"), size.width()},
            {QStringLiteral("height"), size.height()},
            {QStringLiteral("route"), series.uart ? QLatin1String("uart") : QLatin1String("spi")},
            {QStringLiteral("start"), start.toUTC().toString(Qt::ISODateWithMs)},
            {QStringLiteral("durationMs"), durationMs}};
        if (!problem.isEmpty())
            result.insert(QStringLiteral("problem"), problem);
        if (write && file == QLatin1String("-")) {
            c.io.Write(picture);
            writeFailed = c.io.OutFailed();
        } else if (write) {
            if (const QString error = WriteWhole(file, picture, c.parser.isSet(NoClobber));
                !error.isEmpty()) {
                status = c.io.Fail(CtlError::Write, error);
                writeFailed = true;
            } else if (!c.json && !c.io.Quiet())
                c.io.Line(
                    QStringLiteral("%1  %2 bytes").arg(file, QString::number(picture.size())));
        }
        result[QStringLiteral("written")] = write && !writeFailed;
        results.append(result);
        c.document[QStringLiteral("pictures")] = results;
        if (exit == ExitDone)
            exit = writeFailed ? ExitFailed : status;
        if (status == ExitNoAnswer || writeFailed)
            break; // a silent board, or a write that failed: the next would too
        if (number < series.count)
            SleepUntil(next);
    }
    if (const int interrupted = board.Interrupted())
        return interrupted;
    return exit;
}
