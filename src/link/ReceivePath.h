#pragma once
// The one receive path for everything the board sends on its input pipe:
// replies, console text and picture bytes. Each chunk tells that a reply has
// come, goes to the picture at PictureFill, and is echoed to the console unless
// a picture download keeps it quiet. The reply buffer, the fill, the last
// chunk's size and whether the pipe is read are this path's alone.
#include "link/ChunkSink.h"
#include "link/LinkPipes.h"

#include <QObject>

// The console is emptied when its text would reach this many characters.
inline constexpr int ConsoleLimit = 64000;

class ReceivePath : public QObject {
    Q_OBJECT
public:
    // The size of one read of the input pipe.
    static constexpr std::int32_t InBufferSize = 63360;

    explicit ReceivePath(const LinkPipes& pipes, QObject* parent = nullptr);

    // Where the picture bytes go; nullptr: they are dropped.
    void SetChunkSink(ChunkSink* sink) { PictureSink = sink; }
    // Starts reading the input pipe with a zeroed reply buffer; returns the
    // status of the component's calls.
    usb::Status StartReading();
    // Reading ends (the board left).
    void StopReading();
    // A command goes out: its reply starts from a zeroed buffer.
    void ZeroReply() { RecreateZeroed(ReplyBuffer, InBufferSize + 1); }
    // A picture download begins (quiet) or has ended: no echo meanwhile.
    void SetConsoleQuiet(bool quiet) { ConsoleQuiet = quiet; }
    // The next chunk goes to index 0 of the picture.
    void RestartPictureFill() { PictureFill = 0; }

    void USBPipeIN_ReadComplete(usb::UsbObject* Obj);
    // The console's text length as the echo rule counts it.
    qsizetype ConsoleLength() const { return consoleLength_; }
    // Empties the console (the "Clear Output Window" button).
    void ClearConsole();

    // The last chunk from index 0; bytes that did not arrive are zero.
    const QByteArray& LastReply() const { return ReplyBuffer; }
    // The byte count of the last chunk.
    std::int32_t LastReadSize() const { return ChunkSize; }
    // Where the next chunk goes in the picture.
    std::int32_t Fill() const { return PictureFill; }
    bool Reading() const { return InReading; }
    bool Quiet() const { return ConsoleQuiet; }

Q_SIGNALS:
    // text and a line end were appended to the console.
    void ConsoleAppended(const QString& text);
    void ConsoleEmptied();
    // A chunk came (or the picture's first 256 bytes are in): the reply counts
    // as arrived and a wait for it may end.
    void ReplyCame();
    // A read failed because the board was unplugged: no reply will come.
    void BoardGone();

private:
    void EchoToConsole(const QString& text);

    const LinkPipes& pipes_;
    ChunkSink* PictureSink = nullptr;
    usb::Status InStatus = 0;
    QByteArray ReplyBuffer;       // filled in place by FetchData on USBPipeIN
    std::int32_t PictureFill = 0; // next chunk goes to this index of the picture
    std::int32_t ChunkSize = 0;   // byte count of the last chunk
    std::int32_t InBufferCount = 5;
    std::int32_t InErrorLimit = 5;
    bool InReading = false;
    bool ConsoleQuiet = false; // a picture download runs: no echo to the console
    qsizetype consoleLength_ = 0;
};
