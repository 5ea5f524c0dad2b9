#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QAbstractScrollArea;
class QWidget;
class SocketComponent;

// The chat window as the benchmarks drive it, with the transcript under test: the
// program's own ("ours"), or the rich-text transcript it replaced ("richtext"), so that
// each figure is measured against the same figure of the other in one run.
class ChatUnderTest
{
public:
    virtual ~ChatUnderTest() = default;

    static std::unique_ptr<ChatUnderTest> make(const QString& which);

    virtual QWidget& window() = 0;
    virtual QAbstractScrollArea& transcript() = 0;
    virtual SocketComponent& socket() = 0;
    // Shows what one data-arrived notification brought.
    virtual void takeReceived(const QByteArray& bytes) = 0;
    virtual qint64 messagesAppended() const = 0;
    virtual qint64 messagesKept() const = 0;
    virtual QString newestLine() const = 0;
    // Sends a public message as typing it and pressing Enter does.
    virtual void sendTyped(const QString& text) = 0;
    // The messages below the view that the new-messages indicator counts; the rich-text
    // transcript has none.
    virtual qint64 unseenCount() const { return 0; }
};
