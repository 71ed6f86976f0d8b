#pragma once
// The picture buffer and its one writer. Everything the board sends lands here:
// each reply chunk at the place the link gives it (so a block download leaves
// its raw replies behind the picture, and "downloaded.jpg", which holds the
// whole buffer, keeps them), each chunk of the file input pipe from index 0,
// and the blocks that a download copies out of its replies. Installed on the
// link for as long as it lives.
#include "link/ChunkSink.h"

#include <QByteArray>
#include <QObject>

class BoardLink;

class PictureAssembler : public QObject, public ChunkSink {
    Q_OBJECT
public:
    // The size a picture download starts with.
    static constexpr qsizetype DownloadSize = 65356;

    explicit PictureAssembler(BoardLink& link, QObject* parent = nullptr);
    ~PictureAssembler() override;

    // The buffer becomes size zero bytes.
    void StartOver(qsizetype size) override;
    void StoreReplyChunk(qint64 at, const char* data, qsizetype size) override;
    void StoreFileChunk(const char* data, qsizetype size) override;

    // The buffer grows to at least length bytes, so a picture of that length
    // keeps every byte.
    void Reserve(qsizetype length);
    // Copies count bytes of reply, from index from on, to the buffer at offset.
    // Nothing lands outside the buffer; bytes that reply does not hold count
    // as zeros.
    void StoreBlock(const QByteArray& reply, qsizetype from, qsizetype offset, qsizetype count);
    const QByteArray& Buffer() const { return buffer_; }

    // One picture fetch at a time: false while one runs.
    bool Claim();
    void Release();
    bool Busy() const { return claimed_; }

Q_SIGNALS:
    // A chunk of the file input pipe is in the buffer, from index 0.
    void FileChunkStored(const QByteArray& buffer);
    // The fetch that had claimed the buffer has ended.
    void Released();

private:
    BoardLink& link_;
    QByteArray buffer_;
    bool claimed_ = false;
};
