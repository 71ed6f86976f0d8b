#pragma once
// The command block and reply chunk formats of the board protocol.
#include <QByteArray>
#include <QString>

inline constexpr int CommandBlockSize = 128;
inline constexpr int ConsoleLimit = 64000;

// The 128-byte block for a command text: its characters as 8-bit codes, then
// blanks. Only the first 128 characters fit.
QByteArray MakeCommandBlock(const QString& command);

// True when bytes 0 to 3 are the positive prefix "OK :".
bool HasPositivePrefix(const QByteArray& reply);

// The reply text: "" or "FAIL", then the characters of bytes 4 to chunkSize - 1.
QString ReplyText(const QByteArray& replyBuffer, int chunkSize);

// Bytes to text, one character per byte.
QString BytesToText(const char* data, qsizetype size);

// Makes buffer size bytes long, all zero. Reuses the storage when the size is
// already right (a command re-creates the 63 KB reply buffer every time).
void RecreateZeroed(QByteArray& buffer, qsizetype size);
