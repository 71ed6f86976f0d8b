#include "BenchCommon.h"
#include "camera/TestPicture.h"

#include <QEventLoop>
#include <QFile>
#include <algorithm>
#include <unistd.h>

void Print(const char* name, double value)
{
    std::printf("%s: %.6g\n", name, value);
    std::fflush(stdout);
}

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QByteArray SixtyFiveKilobytePicture()
{
    QByteArray picture = RenderTestPicture(640, 480, 1);
    picture.append(QByteArray(65000 - picture.size(), '\0'));
    return picture;
}

void ServeSixtyFiveKilobytePicture(Rig& rig, const QString& folder)
{
    rig.board.SetPictureRenderer(
        [picture = SixtyFiveKilobytePicture()](int, int, int) { return picture; });
    rig.tool.AppFolder = folder;
}

StallWatch::StallWatch()
{
    ticks_.setTimerType(Qt::PreciseTimer);
    ticks_.setInterval(1);
    QObject::connect(&ticks_, &QTimer::timeout, [this] {
        const qint64 now = clock_.nsecsElapsed();
        longestGap_ = std::max(longestGap_, now - lastTick_);
        lastTick_ = now;
    });
    clock_.start();
    ticks_.start();
}

double ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}
