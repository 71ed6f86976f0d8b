#pragma once
// Where the bytes that the board sends for a picture are kept. The link keeps
// no picture: the receive path hands every chunk of the reply pipe to the sink
// with the place it goes to, the file input pipe every chunk of its own (from
// index 0), and opening the board starts the buffer over. The camera's picture
// assembler is the sink the programs use.
#include <QtGlobal>

class ChunkSink {
public:
    virtual ~ChunkSink() = default;
    // A chunk of the reply pipe for index `at` on; what would land past the
    // buffer's end is dropped.
    virtual void StoreReplyChunk(qint64 at, const char* data, qsizetype size) = 0;
    // A chunk of the file input pipe, from index 0, never past the buffer's end.
    virtual void StoreFileChunk(const char* data, qsizetype size) = 0;
    // The board's pipes were bound: the buffer starts over as size zero bytes.
    virtual void StartOver(qsizetype size) = 0;
};
