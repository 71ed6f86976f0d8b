#pragma once
// The board link: the six USB component objects (LinkPipes, the one thing its
// parts share), finding and opening the board, binding its pipes, following
// plug and unplug (BoardDiscovery), the command exchange that every feature
// uses (CommandExchange), the receive path of everything the board sends
// (ReceivePath) and the bulk file pipes (FilePipeHandlers). Each part keeps its
// own state; the link offers what its users need as the functions below.
// QtCore only: the window follows the link through the signals below.
#include "link/BoardDiscovery.h"
#include "link/CommandExchange.h"
#include "link/FilePipeHandlers.h"
#include "link/LinkPipes.h"
#include "link/Outcome.h"
#include "link/ReceivePath.h"

#include <QObject>

class BoardLink : public QObject {
    Q_OBJECT
public:
    explicit BoardLink(usb::UsbBackend& backend, QObject* parent = nullptr);
    ~BoardLink() override;

    // Creates the six objects in their order and binds their events. Returns 0,
    // or the number of the failure when the component could not create them.
    std::int32_t CreateObjects();
    // The link half of start-up: plug events, "USB OFF", open the board and bind
    // its pipes.
    void StartLink();

    // --- discovery and pipe binding -----------------------------------------
    bool USBState(std::int16_t& State) { return discovery_.USBState(State); }
    bool USBState(std::int16_t&& State) { return discovery_.USBState(State); }
    void ReportStatus(usb::Status& Status) { discovery_.ReportStatus(Status); }

    // --- command exchange ---------------------------------------------------
    // Sends one command and returns the reply text, "FAIL" + text, or "No USB".
    QString DownLoadCommand(const QString& CmdStr) { return exchange_.DownLoadCommand(CmdStr); }
    // The same, with how it ended.
    ExchangeResult Exchange(const QString& command) { return exchange_.Exchange(command); }
    // True while DownLoadCommand waits for a reply.
    bool Waiting() const { return exchange_.Waiting(); }
    // The window is closing: ends a wait at once and sends nothing more.
    void Shutdown() { exchange_.Shutdown(); }
    bool ShuttingDown() const { return exchange_.ShuttingDown(); }
    // How long DownLoadCommand waits for a reply (3000 ms unless shortened).
    void SetReplyTimeLimit(std::int32_t ms) { exchange_.SetReplyTimeLimit(ms); }
    // The board offered no download endpoint, so the command endpoints were tried.
    bool CommandEndpointsBound() const { return discovery_.CommandEndpointsBound(); }
    // The board is open and its pipes are bound.
    bool Linked() const { return discovery_.Linked(); }

    // --- picture capture ----------------------------------------------------
    // Where the picture bytes go (the camera's picture assembler); nullptr: nowhere.
    void SetChunkSink(ChunkSink* sink);
    // A picture download begins: the next chunk goes to index 0 of the picture
    // and the console echoes nothing.
    void BeginPictureCapture();
    // The next chunk goes to index 0 of the picture again.
    void RestartPictureFill() { receive_.RestartPictureFill(); }
    // The last chunk of the reply pipe, from index 0; bytes that did not arrive are zero.
    const QByteArray& LastReply() const { return receive_.LastReply(); }
    // While the board streams the picture in whole reads and fewer than wanted
    // bytes are stored, waits for each next read; ends when a read comes back
    // short, the board stays quiet for quietLimitMs (false), or the window closes.
    bool AwaitStreamTail(qsizetype wanted, int quietLimitMs);
    // The download has ended, whichever way: the console echoes again.
    void EndPictureCapture() { receive_.SetConsoleQuiet(false); }

    // --- file pipes ---------------------------------------------------------
    // Sends data on the file output pipe in buffers of its size, again and
    // again, until the board's first write status of 0 or the first error.
    void SendFile(const QByteArray& data) { filePipes_.SendFile(data); }

    // --- receive path -------------------------------------------------------
    // The console's text length as the echo rule counts it.
    qsizetype ConsoleLength() const { return receive_.ConsoleLength(); }
    // Empties the console (the "Clear Output Window" button).
    void ClearConsole() { receive_.ClearConsole(); }

    // A message box with the text of a status word, whatever it is.
    void ShowStatusMessage(usb::Status status);

Q_SIGNALS:
    void StatusBoxChanged(int state); // 1: "USB OK" (green), 2: "USB OFF" (red)
    void CaptionChanged(const QString& caption);
    // A board arrived or left: what was read of its identity no longer holds.
    void IdentityLost();
    // The open board has left.
    void Unplugged();
    // text and a line end were appended to the console.
    void ConsoleAppended(const QString& text);
    void ConsoleEmptied();
    // A message box with only an OK button; the receiver returns when it is closed.
    void MessageRequested(const QString& text);
    // DownLoadCommand's wait for a reply has ended after waitedNs (watchdogs, tests).
    void ReplyWaitEnded(qint64 waitedNs);

private:
    // Tests look at the parts' state as it stands.
    friend struct LinkProbe;

    bool StreamContinues(qsizetype wanted) const;

    // In this order: the objects first; the discovery, which fills them and
    // starts the readers, last, so that its objects go before the parts whose
    // handlers they call.
    LinkPipes pipes_;
    ReceivePath receive_;
    CommandExchange exchange_;
    FilePipeHandlers filePipes_;
    BoardDiscovery discovery_;
};
