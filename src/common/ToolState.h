#pragma once
// What the tool's parts share beside the board link: the folder its files go
// to (the "Disk" page moves it, a download writes into it), the file that the
// board's file pipe fills, and the placeholder bitmap shown when a picture does
// not decode. One object, made by whoever assembles the tool.
#include <QString>
#include <cstdint>

struct ToolState {
    QString AppFolder;
    QString ReadFilePath;
    std::int16_t ImageBitmapRef = 101;
};
