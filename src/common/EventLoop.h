#pragma once

// Chooses the event dispatcher before the application object exists. The tool
// needs no GLib integration, and Qt's own dispatcher wakes up with fewer system
// calls per posted event: every USB completion is one.
void PrepareEventLoop();
