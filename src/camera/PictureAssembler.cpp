#include "camera/PictureAssembler.h"

#include "link/BoardLink.h"

#include <algorithm>
#include <cstring>

PictureAssembler::PictureAssembler(BoardLink& link, QObject* parent)
    : QObject(parent), link_(link), buffer_(DownloadSize, '\0')
{
    link_.SetChunkSink(this);
}

PictureAssembler::~PictureAssembler()
{
    link_.SetChunkSink(nullptr);
}

void PictureAssembler::StartOver(qsizetype size)
{
    buffer_ = QByteArray(size, '\0');
}

void PictureAssembler::StoreReplyChunk(qint64 at, const char* data, qsizetype size)
{
    const qint64 room = buffer_.size() - at;
    if (at < 0 || room <= 0 || size <= 0)
        return;
    std::copy_n(data, std::min<qint64>(size, room), buffer_.data() + at);
}

void PictureAssembler::StoreFileChunk(const char* data, qsizetype size)
{
    std::copy_n(data, std::min(size, buffer_.size()), buffer_.data());
    Q_EMIT FileChunkStored(buffer_);
}

void PictureAssembler::Reserve(qsizetype length)
{
    if (buffer_.size() < length)
        buffer_.resize(length, '\0');
}

void PictureAssembler::StoreBlock(const QByteArray& reply, qsizetype from, qsizetype offset,
                                  qsizetype count)
{
    const qsizetype room = std::max<qsizetype>(0, buffer_.size() - offset);
    const qsizetype n = std::min(count, room);
    if (n <= 0 || offset < 0)
        return;
    const qsizetype available = std::clamp<qsizetype>(reply.size() - from, 0, n);
    char* target = buffer_.data() + offset;
    if (available > 0)
        std::memcpy(target, reply.constData() + from, std::size_t(available));
    std::memset(target + available, 0, std::size_t(n - available));
}

bool PictureAssembler::Claim()
{
    return !std::exchange(claimed_, true);
}

void PictureAssembler::Release()
{
    claimed_ = false;
    Q_EMIT Released();
}
