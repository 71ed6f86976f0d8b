#pragma once
// The file pipes as the tool uses them: what the board sends on its file input
// pipe is saved to a file, and a file's bytes go out on its file output pipe.
#include <QObject>
#include <QString>
#include <functional>

class BoardLink;

class FilePipes : public QObject {
    Q_OBJECT
public:
    // readFilePath gives the file that receives the file input pipe's data.
    FilePipes(BoardLink& link, std::function<QString()> readFilePath, QObject* parent = nullptr);

    // Sends data on the file output pipe until the board's first write status
    // of 0 or the first error.
    void SendFile(const QByteArray& data);
    // A chunk of the file input pipe is in the picture buffer, from index 0:
    // the file is rewritten from its start with the whole buffer.
    void SaveFileChunk(const QByteArray& buffer);

private:
    BoardLink& link_;
    std::function<QString()> readFilePath_;
};

// Two upper-case hexadecimal characters for a byte: 10 gives "0A", 255 "FF".
QString NumToHex(const std::uint8_t& value);
