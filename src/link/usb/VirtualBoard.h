#pragma once
// The virtual board: an emulation of the board's firmware, independent of how
// bytes reach it. The simulated backend hands it transfers in-process; the libusb
// tests serve it at the USB device-file level. It speaks the board's protocol:
// 128-byte command blocks on the command OUT endpoint, replies on the IN endpoint,
// positive ones beginning with "OK :".
#include "link/usb/UsbStatus.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace usb {

enum class EndpointLayout {
    Download,    // only endpoint 0x06
    Full,        // 0x02 OUT, 0x82 IN, 0x04 file OUT, 0x84 file IN
    CommandOnly, // 0x01 OUT and 0x82 IN (or 0x81 IN)
};

struct ReceivedBlock {
    std::uint8_t endpoint = 0;
    QByteArray data;
};

class VirtualBoard : public QObject {
    Q_OBJECT
public:
    explicit VirtualBoard(QObject* parent = nullptr);
    ~VirtualBoard() override;

    // --- shape of the board -------------------------------------------------
    // commandInIs130: in the CommandOnly layout the IN endpoint is 0x82 (else 0x81).
    void SetLayout(EndpointLayout layout, bool commandInIs130 = true);
    EndpointLayout Layout() const { return layout_; }
    QList<std::uint8_t> Endpoints() const; // endpoint addresses of interface 0
    bool HasEndpoint(std::uint8_t address) const;
    std::uint8_t CommandOutEndpoint() const; // 0x02, 0x01 or 0 when none
    std::uint8_t CommandInEndpoint() const;  // 0x82, 0x81 or 0 when none
    std::uint16_t VendorId() const { return vendorId_; }
    std::uint16_t ProductId() const { return productId_; }
    void SetIds(std::uint16_t vendorId, std::uint16_t productId);
    // Its serial number string (iSerialNumber); empty: the board has none.
    void SetSerial(const QString& serial) { serial_ = serial; }
    QString Serial() const { return serial_; }

    // --- identity -----------------------------------------------------------
    void SetChipId(const QByteArray& id);            // reply to "C:20"
    void SetFirmwareVersion(const QByteArray& text); // reply to "C:21"
    // One entry of the twelve-entry command table (code "01" ... "23").
    void SetCommandTableEntry(const QByteArray& code, const QByteArray& value);
    QByteArray CommandTableEntry(const QByteArray& code) const;

    // --- pace ---------------------------------------------------------------
    // By default the board keeps the pace of a full-speed USB board: what it
    // sends reaches the host one 1 ms frame after the command that asked for
    // it at the earliest, and bytes move (both ways, one wire) at no more than
    // 1.2 MB/s. Transfers are held back by a timer, never by waiting, so the
    // thread of the board goes on running. Tests and benchmarks that measure
    // the program rather than the wire switch the pace off.
    static constexpr qint64 FrameNs = 1'000'000;
    static constexpr qint64 BytesPerSecond = 1'200'000;
    void SetPaced(bool paced);
    bool Paced() const { return paced_; }

    // --- behaviour that tests provoke ---------------------------------------
    void SetReplyDelay(int milliseconds); // delay before a reply is handed out
    void SetSilent(bool silent);          // takes commands, never answers
    void SetFailing(bool failing);        // answers every command "FAIL"
    // Opening the board fails with this status (StatusBusy: another program
    // holds it; StatusAccessDenied: no permission); 0 opens.
    void SetOpenRefusal(Status status) { openRefusal_ = status; }
    Status OpenRefusal() const { return openRefusal_; }
    void SetReplyChunkSize(int bytes); // 0: each reply is one transfer
    // The exact reply chunks for a command text (trailing blanks of the block
    // removed before matching); once: used for the next matching command only.
    void ScriptReply(const QByteArray& commandText, const QList<QByteArray>& chunks,
                     bool once = true);
    // Data the board sends without being asked.
    void SendOnCommandIn(const QByteArray& data);
    void SendOnFileIn(const QByteArray& data);
    // A board that talks without pause: after whatever is queued, the command IN
    // pipe hands out chunk again and again, as fast as the host reads it. An
    // empty chunk (or an unplug) stops it. StreamedChunks counts what was taken.
    void StreamOnCommandIn(const QByteArray& chunk);
    qint64 StreamedChunks() const { return streamed_; }

    // --- camera -------------------------------------------------------------
    // Renders frame frameNumber as a JPEG of the given size.
    using PictureRenderer = std::function<QByteArray(int width, int height, int frameNumber)>;
    void SetPictureRenderer(PictureRenderer renderer);
    int PictureSizeIndex() const { return sizeIndex_; } // 0..10, the last "C:03x"
    int UartSpeedIndex() const { return uartIndex_; }   // the last "C:10 n", -1 none
    int FrameCounter() const { return frameCounter_; }
    QByteArray CurrentPicture() const { return picture_; }
    // Replaces the picture that the next length and block requests serve.
    void SetPicture(const QByteArray& jpeg);

    // --- host side, used by the transports ----------------------------------
    // An OUT transfer arrived on endpoint.
    void Receive(std::uint8_t endpoint, const QByteArray& data);
    bool HasPending(std::uint8_t endpoint) const;
    // The next IN transfer of endpoint, at most maxLength bytes (the rest stays
    // queued as the next transfer). Empty when nothing is pending.
    QByteArray TakeTransfer(std::uint8_t endpoint, int maxLength);
    // Drops everything queued for the host (a cleared pipe, an unplug).
    void DropPending(std::uint8_t endpoint);

    // --- what the board received --------------------------------------------
    const QList<ReceivedBlock>& ReceivedBlocks() const { return received_; }
    // Blocks received on the command OUT endpoint, whole.
    QList<QByteArray> CommandBlocks() const;
    void ClearRecord() { received_.clear(); }

Q_SIGNALS:
    // Something became pending on an IN endpoint. Emitted directly at the moment
    // the transfer is queued, which may be inside Receive(): a receiver must not
    // call back into the board from its slot, it schedules its read instead.
    void DataReady(std::uint8_t endpoint);

private:
    // A command text as the board compares it: without trailing blanks.
    static QByteArray CommandKey(QByteArray text);
    void HandleCommand(const QByteArray& block);
    QList<QByteArray> Answer(const QByteArray& command);
    void Emit(std::uint8_t endpoint, const QList<QByteArray>& chunks);
    void Capture();
    void Queue(std::uint8_t endpoint, const QByteArray& transfer);
    QByteArray LengthReply() const;
    QByteArray BlockReply();
    qint64 Now() const { return clock_.nsecsElapsed(); }
    void Carry(qsizetype bytes); // the wire is busy for that many more bytes
    void ArmArrival();
    void Arrive();
    void WakeStream();

    EndpointLayout layout_ = EndpointLayout::Full;
    bool commandInIs130_ = true;
    std::uint16_t vendorId_ = 0x03EB;
    std::uint16_t productId_ = 0xA815;
    QByteArray chipId_;
    QByteArray firmwareVersion_;
    QMap<QByteArray, QByteArray> commandTable_;
    int replyDelayMs_ = 0;
    bool silent_ = false;
    bool failing_ = false;
    Status openRefusal_ = StatusSuccess;
    QString serial_;
    int replyChunkSize_ = 0;
    struct Script {
        QByteArray command;
        QList<QByteArray> chunks;
        bool once = true;
    };
    QList<Script> scripts_;
    PictureRenderer renderer_;
    int sizeIndex_ = 4;
    int uartIndex_ = -1;
    int frameCounter_ = 0;
    QByteArray picture_;
    int nextBlock_ = 0;
    QMap<std::uint8_t, QList<QByteArray>> pending_;
    QList<ReceivedBlock> received_;
    // Bumped by DropPending on the command IN endpoint, so that replies still
    // waiting for their delay are dropped with the rest.
    quint64 replyEpoch_ = 0;
    QByteArray stream_;
    qint64 streamed_ = 0;

    // The pace: times in nanoseconds of clock_.
    struct InTransit {
        std::uint8_t endpoint;
        QByteArray data;
        qint64 due;       // its last byte has moved
        qint64 notBefore; // the frame after its command
    };
    bool paced_ = true;
    QElapsedTimer clock_;
    qint64 wireFree_ = 0;        // when what went over the wire so far has moved
    qint64 replyNotBefore_ = 0;  // one frame after the last command
    QList<InTransit> inTransit_; // in order of arrival
    QTimer arrival_{this};       // for the first of inTransit_
    QTimer streamWake_{this};    // for the stream's next chunk (children: they move
                                 // to the board's thread with it)
};

// Picture sizes of "C:03x", index 0..10 (x = '1'..'9', 'A', 'B').
struct PictureSize {
    int width;
    int height;
};
PictureSize PictureSizeForIndex(int index);

} // namespace usb
