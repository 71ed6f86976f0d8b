#include "selection/Backends.h"

#include "camera/TestPicture.h"
#include "link/usb/LibusbBackend.h"
#include "link/usb/LibusbSession.h"
#include "link/usb/SimBackend.h"
#include "link/usb/VirtualBoard.h"
#include "link/usb/VirtualBus.h"

#include <QFile>
#include <QObject>

namespace {

// The virtual camera's pictures: its rendered test pictures, or the bytes of
// the file that Q815_SIMULATED_PICTURE names, served as every picture (for
// benchmarks and tests of whole programs that need a picture of a given size
// or shape).
usb::VirtualBoard::PictureRenderer SimulatedCamera()
{
    const QString path = qEnvironmentVariable("Q815_SIMULATED_PICTURE");
    if (path.isEmpty())
        return RenderTestPicture;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Q815_SIMULATED_PICTURE: cannot read %s: %s", qPrintable(path),
                 qPrintable(file.errorString()));
        return RenderTestPicture;
    }
    return [bytes = file.readAll()](int, int, int) { return bytes; };
}

// How the virtual board behaves beyond its defaults, from the words of
// Q815_SIMULATED_BOARD (separated by commas), for benchmarks and for test rigs
// that rehearse each failure: "unpaced" answers as fast as the program asks
// instead of at the pace of a full-speed USB board; "silent" never answers;
// "fail" answers every command "FAIL"; "cut" serves pictures cut to half
// their length; "busy" and "no-access" refuse to be opened, as a board that
// another program holds or that the user may not open.
void SimulatedBehaviour(usb::VirtualBoard& board)
{
    const QStringList words =
        qEnvironmentVariable("Q815_SIMULATED_BOARD").split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        const QString w = word.trimmed();
        if (w == QLatin1String("unpaced"))
            board.SetPaced(false);
        else if (w == QLatin1String("silent"))
            board.SetSilent(true);
        else if (w == QLatin1String("fail"))
            board.SetFailing(true);
        else if (w == QLatin1String("cut"))
            board.SetPictureRenderer([whole = SimulatedCamera()](int width, int height, int frame) {
                const QByteArray picture = whole(width, height, frame);
                return picture.left(picture.size() / 2);
            });
        else if (w == QLatin1String("busy") || w == QLatin1String("no-access"))
            board.SetOpenRefusal(w == QLatin1String("busy") ? usb::StatusBusy
                                                            : usb::StatusAccessDenied);
        else
            qWarning("Q815_SIMULATED_BOARD: unknown word '%s' (unpaced, silent, fail, cut, "
                     "busy, no-access)",
                     qPrintable(w));
    }
}

} // namespace

BackendChoice::BackendChoice(const BoardSelection& selection)
{
    if (selection.simulate) {
        bus_ = std::make_unique<usb::VirtualBus>();
        board_ = std::make_unique<usb::VirtualBoard>();
        board_->SetPictureRenderer(SimulatedCamera());
        SimulatedBehaviour(*board_);
        board_->SetSerial(QLatin1String(SimulatedSerial));
        // --serial picks the virtual board too, or finds none.
        if (selection.serial.isEmpty() || selection.serial == board_->Serial())
            bus_->Plug(board_.get());
        backend_ = std::make_unique<usb::SimBackend>(*bus_);
        return;
    }
    auto libusb = std::make_unique<usb::LibusbBackend>(selection.vendorId, selection.productId,
                                                       selection.port);
    libusb->Session().SetSerial(selection.serial);
    backend_ = std::move(libusb);
}

BackendChoice::~BackendChoice() = default;

void OnOpenRefused(usb::UsbBackend& backend, std::function<void(const QString&)> show)
{
    auto* libusb = dynamic_cast<usb::LibusbBackend*>(&backend);
    if (libusb == nullptr)
        return;
    QObject::connect(&libusb->Session(), &usb::LibusbSession::OpenRefused, std::move(show));
}
