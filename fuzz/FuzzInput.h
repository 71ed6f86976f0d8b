#pragma once
// Reads a fuzzer's input as a program: one byte at a time for choices, runs of
// bytes for data; past the end it reads zeros and empty runs.
#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>

struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool More() const { return at < size; }
    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    QByteArray Bytes(std::size_t count)
    {
        count = std::min(count, size - at);
        QByteArray bytes(reinterpret_cast<const char*>(data + at), qsizetype(count));
        at += count;
        return bytes;
    }
};
