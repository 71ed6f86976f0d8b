#include "camera/PictureFetch.h"

#include "camera/LengthReply.h"
#include "camera/PictureAssembler.h"
#include "link/BoardLink.h"
#include "link/BoardProtocol.h"

#include <QElapsedTimer>
#include <algorithm>

namespace {

constexpr int StreamQuietLimitMs = 3000;
constexpr int ProgressIntervalMs = 16; // about one screen refresh

// A picture's requests: the first one that went unanswered decides the outcome.
// Replies to the capture and to the blocks are not examined beyond that.
struct Answers {
    Outcome outcome = Outcome::Done;
    void Take(Outcome o)
    {
        if (outcome == Outcome::Done && o != Outcome::Done && o != Outcome::BoardFailure)
            outcome = o;
    }
};

class Fetch {
public:
    Fetch(BoardLink& link, PictureAssembler& assembler, const FetchSteps& steps)
        : link_(link), assembler_(assembler), steps_(steps)
    {
    }
    ~Fetch()
    {
        link_.EndPictureCapture();
        assembler_.Release();
    }

    PictureResult Blocks(const PictureRoute& route);
    PictureResult Stream(const PictureRoute& route);

private:
    void Progress(int value, int maximum) const
    {
        if (steps_.progress)
            steps_.progress(value, maximum);
    }
    QString Exchange(const QString& command)
    {
        const ExchangeResult r = link_.Exchange(command);
        answers_.Take(r.outcome);
        return r.text;
    }
    bool Prepared()
    {
        return !steps_.beforeLength || (result_.message = steps_.beforeLength()).isEmpty();
    }
    bool TakeLength(const QString& R);
    PictureResult End()
    {
        result_.outcome = link_.ShuttingDown() ? Outcome::Closed : answers_.outcome;
        result_.buffer = assembler_.Buffer();
        return result_;
    }

    BoardLink& link_;
    PictureAssembler& assembler_;
    const FetchSteps& steps_;
    Answers answers_;
    PictureResult result_;
};

// Checks the length reply; false when the fetch ends here, with its message.
bool Fetch::TakeLength(const QString& R)
{
    const LengthCheck check = CheckLengthReply(R);
    if (!check.Ok()) {
        result_.message = check.Message;
        if (answers_.outcome == Outcome::Done)
            answers_.outcome = Outcome::BoardFailure;
        return false;
    }
    result_.length = check.L;
    // A picture longer than the buffer keeps every byte.
    assembler_.Reserve(result_.length);
    if (steps_.lengthKnown)
        result_.message = steps_.lengthKnown(result_.length);
    return result_.message.isEmpty();
}

// Asks for the length, then for L div 512 + 1 blocks of 512 bytes; each block
// reply carries its bytes from index 9 on. When L is a multiple of 512 the last
// request copies nothing. A block reply that does not come copies the zeros of
// the emptied reply buffer and the fetch goes on.
PictureResult Fetch::Blocks(const PictureRoute& route)
{
    if (!route.capture.isEmpty())
        Exchange(route.capture);
    if (!Prepared() || !TakeLength(Exchange(route.length)))
        return End();
    const qsizetype length = result_.length;
    result_.steps = BlockRequestCount(length);
    Progress(0, result_.steps);
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    qsizetype remaining = length;
    int block = 0;
    for (qsizetype offset = 0; offset <= length; offset += PictureBlockSize) {
        Exchange(route.data);
        if (link_.ShuttingDown())
            return End();
        assembler_.StoreBlock(link_.LastReply(), BlockHeaderSize, offset,
                              std::min(remaining, PictureBlockSize));
        remaining -= PictureBlockSize;
        ++block;
        // The bar repaints at once on every step; more than one step per
        // screen refresh would cost more than the blocks themselves.
        if (sinceProgress.elapsed() >= ProgressIntervalMs) {
            Progress(block, result_.steps);
            sinceProgress.restart();
        }
    }
    return End();
}

// Asks for the length, then for the picture as one stream of raw bytes, which
// the receive path stores from index 0 on, over the length reply.
PictureResult Fetch::Stream(const PictureRoute& route)
{
    if (!Prepared())
        return End();
    const QString R = Exchange(route.length);
    link_.RestartPictureFill();
    if (!TakeLength(R))
        return End();
    Exchange(route.data);
    // The stream goes on for as long as the picture is not complete, each read
    // comes back full and the board is never quiet for 3 seconds.
    if (!link_.AwaitStreamTail(result_.length, StreamQuietLimitMs))
        answers_.Take(Outcome::NoAnswer);
    return End();
}

} // namespace

PictureResult FetchPicture(BoardLink& link, PictureAssembler& assembler, const PictureRoute& route,
                           const FetchSteps& steps)
{
    if (!assembler.Claim())
        return {Outcome::NotSent, QStringLiteral("another picture is being fetched")};
    assembler.StartOver(PictureAssembler::DownloadSize);
    link.BeginPictureCapture();
    Fetch fetch(link, assembler, steps);
    return route.stream ? fetch.Stream(route) : fetch.Blocks(route);
}
