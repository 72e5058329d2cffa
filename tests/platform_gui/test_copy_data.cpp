// WM_COPYDATA from other processes: what a listening window receives for
// whole, oversized, truncated and garbled messages, who holds the channel's
// name, and that only the user may open it.
#include "platform/core/sysutils.h"
#include "platform/gui/forms.h"

#include "support/copy_data_sender.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

struct TReceived {
    quintptr tag;
    QByteArray data;
    bool operator==(const TReceived&) const = default;
};

class Receiver : public TForm {
public:
    using TForm::TForm;
    QString ClassName() const override { return QStringLiteral("TCopyDataReceiver"); }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const TCopyDataStruct*>(Message.LParam);
            received.append({ data->dwData, QByteArray(static_cast<const char*>(data->lpData), data->cbData) });
            return;
        }
        TForm::WndProc(Message);
    }
    QList<TReceived> received;
};

// The channels live in the test binary's own folder (see the test main).
class CopyData : public ::testing::Test {
protected:
    void TearDown() override { QApplication::processEvents(); }
    const QString name = CopyDataChannelName(S("TCopyDataReceiver"));
};

// After a sentinel message sent behind it has arrived, everything sent
// before has been dealt with.
QList<TReceived> ReceivedBeforeSentinel(Receiver& window)
{
    const TReceived sentinel { 99, "end" };
    EXPECT_TRUE(SendToChannel(CopyDataChannelName(window.ClassName()), CopyDataFrame(99, "end")));
    EXPECT_TRUE(ProcessEventsUntil([&] { return window.received.contains(sentinel); }));
    QApplication::processEvents();
    window.received.removeAll(sentinel);
    return std::exchange(window.received, {});
}

TEST_F(CopyData, WholeMessagesArriveAndAnythingElseIsDropped)
{
    Receiver window(nullptr);
    ASSERT_TRUE(window.ListenForCopyData());

    const QByteArray largest(MaxCopyDataBytes, 'x');
    QByteArray longer = CopyDataFrame(1, largest + 'x');
    QByteArray trailing = CopyDataFrame(1, "abc") + 'z';
    QByteArray truncated = CopyDataFrame(1, "abcdef");
    truncated.chop(2);
    // Announces a length within the bound but sends far more than it.
    QByteArray flood = CopyDataFrame(1, "a") + QByteArray(3 * MaxCopyDataBytes, 'f');
    const struct {
        const char* what;
        QByteArray bytes;
        QList<TReceived> expected;
    } cases[] = {
        { "tag 1 with text", CopyDataFrame(1, "hello"), { { 1, "hello" } } },
        { "another tag, no bytes", CopyDataFrame(2, {}), { { 2, {} } } },
        { "the largest message", CopyDataFrame(0xFFFFFFFFu, largest), { { 0xFFFFFFFFu, largest } } },
        { "one byte too long", longer, {} },
        { "a byte after the message", trailing, {} },
        { "truncated, then closed", truncated, {} },
        { "half a header", QByteArray("\x01\x00\x00", 3), {} },
        { "flood", flood, {} },
        { "garbage", QByteArray("this is not a message at all"), {} },
        { "nothing", QByteArray(), {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(SendToChannel(name, c.bytes));
        EXPECT_EQ(ReceivedBeforeSentinel(window), c.expected);
    }
}

TEST_F(CopyData, TheChannelIsTheUsersAloneAndBelongsToOneLiveWindow)
{
    auto first = std::make_unique<Receiver>(nullptr);
    ASSERT_TRUE(first->ListenForCopyData());
    EXPECT_TRUE(first->ListenForCopyData()) << "listening again keeps the channel";
    const QFile::Permissions perms = QFileInfo(name).permissions();
    EXPECT_TRUE(perms & QFile::WriteOwner);
    EXPECT_FALSE(perms & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther)) << perms;

    Receiver second(nullptr);
    EXPECT_FALSE(second.ListenForCopyData()) << "a live window keeps its name";
    ASSERT_TRUE(SendToChannel(name, CopyDataFrame(1, "to the first")));
    EXPECT_TRUE(ProcessEventsUntil([&] { return !first->received.isEmpty(); }));
    EXPECT_EQ(first->received, (QList<TReceived> { { 1, "to the first" } }));

    // A message on its way when the window goes is lost with it.
    ASSERT_TRUE(SendToChannel(name, CopyDataFrame(1, "late")));
    first.reset();
    QApplication::processEvents();
    EXPECT_FALSE(SendToChannel(name, CopyDataFrame(1, "nobody"))) << "the channel closes with its window";

    // A name a window left behind without closing is free again.
    QFile stale(name);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    ASSERT_TRUE(second.ListenForCopyData());
    ASSERT_TRUE(SendToChannel(name, CopyDataFrame(3, "second")));
    EXPECT_TRUE(ProcessEventsUntil([&] { return !second.received.isEmpty(); }));
    EXPECT_EQ(second.received, (QList<TReceived> { { 3, "second" } }));
}

} // namespace
