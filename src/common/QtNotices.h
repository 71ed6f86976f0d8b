#pragma once

// Keeps one notice of Qt's off standard error, and only that one.
//
// Every start of Qt's GUI looks for "flatpak-info" in the user's runtime
// folder to learn whether it runs in a sandbox. Where XDG_RUNTIME_DIR is not
// set (cron, CI, containers, a shell without a login session) Qt warns that
// it falls back to /tmp/runtime-USER. Neither program keeps anything in that
// folder, so the notice says nothing about them, yet it would make a script
// that expects an empty standard error after success fail. Every other
// message, of Qt's or of ours, goes out as before, to the handler that was
// installed before this one. Call it before the application object exists.
void DropRuntimeFolderNotice();
