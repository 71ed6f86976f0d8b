#pragma once
// Puts the picture download into the window: its controls are looked up by
// name, its buttons connected. Call once the "Unit" tab's controls exist.
class MainWindow;
class PictureDownload;

// The download belongs to the window and lives as long as it does.
PictureDownload* AttachPictureDownload(MainWindow& window);
