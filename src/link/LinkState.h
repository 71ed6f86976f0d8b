#pragma once
// What the parts of the board link share: the six USB component objects, their
// status words, the buffers, the flags and the pipe parameters. Discovery, the
// command exchange and the receive path each work on it; none of them knows
// the others' classes beyond the one beneath it.
#include "link/ChunkSink.h"
#include "link/usb/UsbObject.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// Interface GUID under which the board announces itself.
inline constexpr char BoardInterfaceGuid[] = "{325ddf96-938c-11d3-9e34-0080c82727f4}";
inline constexpr char CaptionLinked[] = "Q815EVM Full V1.27";
inline constexpr char CaptionNoUnit[] = "Vantrel No Unit Full V1.27";

struct LinkState {
    // --- status words -------------------------------------------------------
    usb::Status DeviceStatus = 0;
    usb::Status InStatus = 0;
    usb::Status OutStatus = 0; // shared by USBPipeOUT and USBPipeDWNLD
    usb::Status FileInStatus = 0;
    usb::Status FileOutStatus = 0;

    // --- buffers ------------------------------------------------------------
    QByteArray ReplyBuffer;       // filled in place by FetchData on USBPipeIN
    QByteArray CommandBlock;      // the 128 bytes of the command being sent
    QByteArray FileOutBuffer;     // data sent on USBPipeFileOUT
    std::int32_t PictureFill = 0; // next reply chunk goes to this index of the picture
    std::int32_t ChunkSize = 0;   // byte count of the last chunk from USBPipeIN

    // --- flags --------------------------------------------------------------
    bool OutWriting = false;
    bool InReading = false;
    bool FileOutWriting = false;
    bool FileInReading = false;
    bool ReplyArrived = false;
    bool WriteStatusWanted = true;
    bool LinkUp = false;
    bool ConsoleQuiet = false;         // a picture download runs: no echo to the console
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

    // Keeps the picture bytes and the file input data (the camera's assembler);
    // none: they are dropped.
    ChunkSink* PictureSink = nullptr;

    // --- the six component objects, created by CreateObjects ------------------
    usb::UsbObject* USBDevice = nullptr;
    usb::UsbObject* USBPipeDWNLD = nullptr;
    usb::UsbObject* USBPipeIN = nullptr;
    usb::UsbObject* USBPipeOUT = nullptr;
    usb::UsbObject* USBPipeFileIN = nullptr;
    usb::UsbObject* USBPipeFileOUT = nullptr;
};

// Text of a status word, as USBDevice gives it (the component's own text when
// the objects do not exist yet).
QString StatusTextOf(const LinkState& state, usb::Status status);

// Queues `data` on `pipe` again and again until the pipe says QueueFull or
// fails. A sane component says QueueFull once its `bufferCount` buffers are
// taken; the bound only guards against one that never does. Returns the last
// status: StatusQueueFull when the pipe is full, else the failure or 0.
usb::Status QueueUntilFull(usb::UsbObject& pipe, const QByteArray& data, std::int32_t tag,
                           std::int32_t bufferCount);

// Makes buffer size bytes long, all zero. Reuses the storage when the size is
// already right (a command re-creates the 63 KB reply buffer every time).
void RecreateZeroed(QByteArray& buffer, qsizetype size);
