#pragma once
// How one exchange with the board, or one picture fetch, ended: callers sort
// on this instead of on the texts that the window shows.
#include <QString>

enum class Outcome {
    Done,         // the board answered; for a picture, every request was answered
    BoardFailure, // the board answered with a failure ("FAIL ...", "No Sync" ...)
    NoAnswer,     // the board stayed silent until the time limit
    NoBoard,      // no board is open: the command pipe refused ("No USB")
    Unplugged,    // the open board left while the tool waited for it
    Closed,       // the program is closing: nothing more is sent
    NotSent,      // refused before sending: too long, or inside another exchange's wait
};

// One command and its reply.
struct ExchangeResult {
    QString text; // the reply text, "FAIL" + text, or "No USB" (what DownLoadCommand returns)
    Outcome outcome = Outcome::Done;
};
