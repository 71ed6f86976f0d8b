// q815ctl from its start to its exit, on the virtual board of --simulate.
#include "BenchCommon.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Milliseconds from starting the program to its exit; median of 21 runs after
// one that warms the caches up. A run that fails says so.
double ProgramMs(
    const QStringList& arguments, const QProcessEnvironment& environment,
    const std::function<bool()>& done = [] { return true; })
{
    std::vector<double> ms;
    for (int i = 0; i < 22; ++i) {
        QProcess ctl;
        ctl.setProcessEnvironment(environment);
        ctl.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        ctl.start(QStringLiteral(Q815CTL), arguments);
        ctl.waitForFinished();
        const double elapsed = clock.nsecsElapsed() / 1e6;
        if (ctl.exitCode() != 0 || !done())
            std::fprintf(stderr, "q815ctl %s failed: %s\n", qPrintable(arguments.join(' ')),
                         ctl.readAllStandardError().constData());
        if (i > 0)
            ms.push_back(elapsed);
    }
    return Median(ms);
}

} // namespace

void ShellFigures()
{
    // The program's own time: the virtual board answers as fast as it is asked.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("Q815_SIMULATED_PICTURE"));
    environment.insert(QStringLiteral("Q815_SIMULATED_BOARD"), QStringLiteral("unpaced"));
    Print("cli_info_ms", ProgramMs({"--simulate", "info"}, environment));

    // The virtual camera serves a 65,000-byte picture (a 640 x 480 test JPEG
    // padded with zeros), fetched over SPI and written to a file.
    QTemporaryDir folder;
    const QString served = folder.filePath(QStringLiteral("served.jpg"));
    const QString written = folder.filePath(QStringLiteral("written.jpg"));
    QFile file(served);
    if (!file.open(QIODevice::WriteOnly) || file.write(SixtyFiveKilobytePicture()) != 65000)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(served));
    file.close();
    environment.insert(QStringLiteral("Q815_SIMULATED_PICTURE"), served);
    Print("cli_picture_ms_64k",
          ProgramMs({"--simulate", "picture", "--spi", "-o", written}, environment, [&] {
              const bool whole = QFile(written).size() == 65000;
              QFile::remove(written);
              return whole;
          }));
}
