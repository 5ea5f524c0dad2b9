#include "chatwindow/chat_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// The design's measures, in logical pixels.
constexpr int kEdge = 8;    // left and top margin
constexpr int kFarEdge = 7; // right and bottom margin
constexpr int kListWidth = 169;
constexpr int kCaptionRoom = 16; // from the caption's top to the list's
constexpr int kEntryHeight = 21;
constexpr int kAboveEntry = 7; // between the list and the entry box
constexpr int kTranscriptToEntry = 5;
constexpr int kBetweenColumns = 8;
constexpr int kFindBarHeight = 24;
constexpr int kFindBarGap = 2;

// The smallest transcript: room for the find bar's box, count and buttons, and for a
// few lines beside it.
constexpr int kLeastTranscriptWidth = 240;
constexpr int kLeastTranscriptHeight = 72;
constexpr int kTranscriptGrowth = 48; // per step of scale beyond the design text

// Measures that hold text grow with it, and never shrink below the design.
int grown(int design, int textPercent)
{
    return std::max(design, static_cast<int>(std::lround(design * textPercent / 100.0)));
}

} // namespace

ChatLayout layOutChat(QSize client, int textPercent, bool findBarOpen)
{
    const int listWidth = grown(kListWidth, textPercent);
    const int entryHeight = grown(kEntryHeight, textPercent);
    const int entryTop = client.height() - kFarEdge - entryHeight;
    const int listLeft = client.width() - kFarEdge - listWidth;
    const int listTop = kEdge + grown(kCaptionRoom, textPercent);

    ChatLayout layout;
    layout.entry = QRect(kEdge, entryTop, client.width() - kEdge - kFarEdge, entryHeight);
    layout.caption = QPoint(listLeft, kEdge);
    layout.userList = QRect(listLeft, listTop, listWidth, entryTop - kAboveEntry - listTop);
    // The transcript's place; an open find bar takes its foot.
    const QRect place(kEdge, kEdge, listLeft - kBetweenColumns - kEdge,
                      entryTop - kTranscriptToEntry - kEdge);
    const int barHeight = grown(kFindBarHeight, textPercent);
    layout.findBar = QRect(place.left(), place.bottom() + 1 - barHeight, place.width(), barHeight);
    layout.transcript = place;
    if (findBarOpen)
        layout.transcript.setBottom(layout.findBar.top() - kFindBarGap - 1);
    return layout;
}

QSize smallestChat(int textPercent)
{
    const double scale = std::max(1.0, textPercent / 100.0);
    const int transcriptWidth =
        kLeastTranscriptWidth + static_cast<int>(std::lround(kTranscriptGrowth * scale));
    const int transcriptHeight =
        kLeastTranscriptHeight + static_cast<int>(std::lround(kTranscriptGrowth * scale));
    return {kEdge + transcriptWidth + kBetweenColumns + grown(kListWidth, textPercent) + kFarEdge,
            kEdge + transcriptHeight + kTranscriptToEntry + grown(kEntryHeight, textPercent) +
                kFarEdge};
}
