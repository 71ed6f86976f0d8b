#pragma once
// The board link: the six USB component objects, the state that the window's
// handlers share with them, finding and opening the board, binding its pipes,
// following plug and unplug, and the command exchange that every feature uses.
// QtCore only: the window follows the link through the signals below.
#include "link/usb/UsbObject.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

class QEventLoop;

// Interface GUID under which the board announces itself.
inline constexpr char BoardInterfaceGuid[] = "{325ddf96-938c-11d3-9e34-0080c82727f4}";
inline constexpr char CaptionLinked[] = "Q815EVM Full V1.27";
inline constexpr char CaptionNoUnit[] = "Vantrel No Unit Full V1.27";

class BoardLink : public QObject {
    Q_OBJECT
public:
    explicit BoardLink(usb::UsbBackend& backend, QObject* parent = nullptr);
    ~BoardLink() override;

    // Creates the six objects in their order. Returns 0, or the number of the
    // failure when the component could not create them.
    std::int32_t CreateObjects();
    // The link half of start-up: plug events, "USB OFF", open the board and bind
    // its pipes.
    void StartLink();

    // --- status words -------------------------------------------------------
    usb::Status DeviceStatus = 0;
    usb::Status InStatus = 0;
    usb::Status OutStatus = 0; // shared by USBPipeOUT and USBPipeDWNLD
    usb::Status FileInStatus = 0;
    usb::Status FileOutStatus = 0;

    // --- buffers ------------------------------------------------------------
    QByteArray ReplyBuffer;   // filled in place by FetchData on USBPipeIN
    QByteArray CommandBlock;  // the 128 bytes of the command being sent
    QByteArray PictureBuffer; // picture bytes and file input data
    QByteArray FileOutBuffer; // data sent on USBPipeFileOUT
    std::int32_t PictureFill = 0; // next chunk goes to this index of PictureBuffer
    std::int32_t ChunkSize = 0;   // byte count of the last chunk from USBPipeIN

    // --- flags --------------------------------------------------------------
    bool OutWriting = false;
    bool InReading = false;
    bool FileOutWriting = false;
    bool FileInReading = false;
    bool ReplyArrived = false;
    bool WriteStatusWanted = true;
    bool LinkUp = false;
    bool ConsoleQuiet = false; // a picture download runs: no echo to the console
    std::int16_t CommandEndpoints = 0; // 1 when the command endpoints were bound

    // --- pipe parameters ----------------------------------------------------
    std::int32_t InBufferSize = 63360;
    std::int32_t InBufferCount = 5;
    std::int32_t InErrorLimit = 5;
    std::int32_t OutBufferSize = 128;
    std::int32_t OutBufferCount = 1;
    std::int32_t OutErrorLimit = 5;
    std::int32_t FileOutBufferSize = 0;
    std::int32_t FileInBufferSize = 63360;
    std::int32_t FileInBufferCount = 5;
    std::int32_t FileInErrorLimit = 5;
    std::int32_t WriteTag = 0;
    std::int32_t DownloadWriteTag = 0;
    // How long DownLoadCommand waits for a reply (fuzzers and soak tests shorten it).
    std::int32_t ReplyTimeLimitMs = 3000;

    // --- the six component objects, created by CreateObjects ------------------
    usb::UsbObject* USBDevice = nullptr;
    usb::UsbObject* USBPipeDWNLD = nullptr;
    usb::UsbObject* USBPipeIN = nullptr;
    usb::UsbObject* USBPipeOUT = nullptr;
    usb::UsbObject* USBPipeFileIN = nullptr;
    usb::UsbObject* USBPipeFileOUT = nullptr;

    // --- discovery and pipe binding (BoardDiscovery.cpp) --------------------
    // 1: "USB OK", 2: "USB OFF", 0: only asks. Returns LinkUp.
    bool USBState(std::int16_t& State);
    bool USBState(std::int16_t&& State) { return USBState(State); }
    // Shows the text of a non-zero status word in a message box.
    void ReportStatus(usb::Status& Status);
    void OpenDevices();
    std::int32_t OpenEndpoints();
    void StartInPipe();
    void StartFileInPipe();
    void USBDevice_PnPAddNotification(usb::UsbObject* Obj);
    void USBDevice_PnPRemoveNotification(usb::UsbObject* Obj);

    // --- command exchange (CommandExchange.cpp) -----------------------------
    // Sends one command and returns the reply text, "FAIL" + text, or "No USB".
    QString DownLoadCommand(const QString& CmdStr);
    void StopOutPipe();
    void USBPipeOUT_WriteComplete(usb::UsbObject* Obj);
    void USBPipeOUT_WriteStatusAvailable(usb::UsbObject* Obj);
    // Sleeps in the event loop until a chunk arrives on the reply pipe, limitMs
    // pass or the window closes, dropping user input meanwhile. Returns
    // ReplyArrived; clear it first to wait for the next chunk.
    bool AwaitReply(int limitMs);
    // True while DownLoadCommand waits for a reply.
    bool Waiting() const { return waitLoop_ != nullptr; }
    // The window is closing: ends a wait at once and sends nothing more.
    void Shutdown();
    bool ShuttingDown() const { return shuttingDown_; }

    // --- picture capture ----------------------------------------------------
    // A picture download begins: PictureBuffer becomes 65,356 zero bytes, the
    // next chunk goes to its index 0 and the console echoes nothing.
    void BeginPictureCapture();
    // The next chunk goes to index 0 of PictureBuffer again.
    void RestartPictureFill() { PictureFill = 0; }
    // The download has ended, whichever way: the console echoes again.
    void EndPictureCapture() { ConsoleQuiet = false; }

    // --- receive path (ReceivePath.cpp) -------------------------------------
    void USBPipeIN_ReadComplete(usb::UsbObject* Obj);
    // The console's text length as the echo rule counts it.
    qsizetype ConsoleLength() const { return consoleLength_; }
    // Empties the console (the "Clear Output Window" button).
    void ClearConsole();

    // Text of a status word, as USBDevice gives it.
    QString StatusTextOf(usb::Status status) const;
    // A message box with the text of a status word, whatever it is.
    void ShowStatusMessage(usb::Status status);

Q_SIGNALS:
    void StatusBoxChanged(int state); // 1: "USB OK" (green), 2: "USB OFF" (red)
    void CaptionChanged(const QString& caption);
    // TxtCPU_ID, TxtCPU_Ver, TxtCPU_Rev and TxtSoftVer are to be emptied, in order.
    void IdentityBoxesEmptied();
    // text and a line end were appended to the console.
    void ConsoleAppended(const QString& text);
    void ConsoleEmptied();
    // A message box with only an OK button; the receiver returns when it is closed.
    void MessageBoxRequested(const QString& text);
    // DownLoadCommand's wait for a reply has ended after waitedNs (watchdogs, tests).
    void ReplyWaitEnded(qint64 waitedNs);

private:
    void EchoToConsole(const QString& text);
    void QuitWait();

    usb::UsbBackend& backend_;
    QEventLoop* waitLoop_ = nullptr;
    bool shuttingDown_ = false;
    qsizetype consoleLength_ = 0;
};
