#pragma once

// What the user chose for the chat window and what it opens with next time: its size
// (the client area, in logical pixels, as it was before any maximising), whether it was
// maximised, and the size of its text in percent of the design size. The chat window
// fills and applies it; the settings file keeps it; the shell carries it between them.
struct ChatWindowChoices
{
    static constexpr int kDesignWidth = 800;
    static constexpr int kDesignHeight = 556;
    static constexpr int kDesignTextPercent = 100;
    // The text can be made as small as half the design size and as large as four times.
    static constexpr int kMinTextPercent = 50;
    static constexpr int kMaxTextPercent = 400;

    int width = kDesignWidth;
    int height = kDesignHeight;
    bool maximized = false;
    int textPercent = kDesignTextPercent;

    friend bool operator==(const ChatWindowChoices&, const ChatWindowChoices&) = default;
};
