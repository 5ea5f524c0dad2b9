#include "chat_under_test.h"

#include "richtext/richtext_window.h"

#include "chatwindow/frm_main.h"
#include "chatwindow/send_text_box.h"
#include "chatwindow/transcript/transcript_view.h"
#include "session/send_line.h"
#include "session/socket_component.h"
#include "session/wire_codec.h"

#include <QTextEdit>

namespace {

class OurChat : public ChatUnderTest
{
public:
    ~OurChat() override { frmMain::unload(); }
    QWidget& window() override { return form_; }
    QAbstractScrollArea& transcript() override { return *form_.RecTxt; }
    SocketComponent& socket() override { return *form_.Socket1; }
    void takeReceived(const QByteArray& bytes) override { form_.takeReceived(bytes); }
    qint64 messagesAppended() const override { return store().endId(); }
    qint64 messagesKept() const override { return store().count(); }
    QString newestLine() const override
    {
        return store().isEmpty() ? QString() : fromWire(store().text(store().endId() - 1));
    }
    void sendTyped(const QString& text) override
    {
        form_.SendTxt->setText(text);
        int enter = SendTextBox::kEnterKeyCode;
        form_.SendTxt_KeyUp(enter, 0);
    }
    qint64 unseenCount() const override { return form_.RecTxt->unseenCount(); }

private:
    const LineStore& store() const { return form_.RecTxt->store(); }

    frmMain& form_ = frmMain::instance();
};

class RichTextChat : public ChatUnderTest
{
public:
    QWidget& window() override { return form_; }
    QAbstractScrollArea& transcript() override { return *form_.transcript(); }
    SocketComponent& socket() override { return form_.socket(); }
    void takeReceived(const QByteArray& bytes) override { form_.takeReceived(bytes); }
    qint64 messagesAppended() const override { return form_.messagesAppended(); }
    qint64 messagesKept() const override { return form_.messagesKept(); }
    QString newestLine() const override { return form_.newestLine(); }
    void sendTyped(const QString& text) override
    {
        TCP::SendLine(form_.socket(), QStringLiteral("SEND:PUB:") + text);
    }

private:
    RichTextWindow form_;
};

} // namespace

std::unique_ptr<ChatUnderTest> ChatUnderTest::make(const QString& which)
{
    if (which == QLatin1String("richtext"))
        return std::make_unique<RichTextChat>();
    return std::make_unique<OurChat>();
}
