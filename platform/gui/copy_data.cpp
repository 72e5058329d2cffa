// WM_COPYDATA between processes: a window that listens owns a local socket
// of the user; each connection carries one message, delivered to the window
// once the sender has closed and the message arrived whole.
#include "forms.h"

#include "platform/core/byte_reader.h"
#include "platform/core/sysutils.h"

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

namespace {

constexpr int kHeaderBytes = 8;
// How long a window that holds the name may take to answer.
constexpr int kProbeMs = 200;

QString& TestFolder()
{
    static QString folder;
    return folder;
}

} // namespace

class TCopyDataChannel {
public:
    explicit TCopyDataChannel(TCustomForm* form)
        : fForm(form)
    {
        QObject::connect(&fServer, &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = fServer.nextPendingConnection())
                Accept(socket);
        });
    }

    bool Listen(const QString& name)
    {
        // Listening would take the name over even from a live window, so ask
        // first; a name left behind by a program that ended is free.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(kProbeMs)) {
            probe.abort();
            return false;
        }
        QLocalServer::removeServer(name);
        fServer.setSocketOptions(QLocalServer::UserAccessOption);
        return fServer.listen(name);
    }

private:
    void Accept(QLocalSocket* socket)
    {
        auto received = std::make_shared<QByteArray>();
        auto dropped = std::make_shared<bool>(false);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, received, dropped] {
            if (*dropped)
                return;
            received->append(socket->readAll());
            if (received->size() > kHeaderBytes + MaxCopyDataBytes) {
                *dropped = true;
                received->clear();
                socket->abort();
            }
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, received, dropped] {
            socket->deleteLater();
            if (*dropped)
                return;
            received->append(socket->readAll());
            // The tag and the length, then exactly that many bytes.
            TByteReader message(*received);
            const std::optional<quint32> tag = message.ReadUInt32();
            const std::optional<quint32> length = message.ReadUInt32();
            if (!tag || !length || *length > quint32(MaxCopyDataBytes) || message.Left() != qsizetype(*length))
                return;
            // Delivered from the loop, away from the socket's own signal: the
            // window may free itself and with it this channel.
            QTimer::singleShot(0, QCoreApplication::instance(),
                [form = fForm, alive = fForm->AliveToken(), tag = *tag, data = received->mid(kHeaderBytes)] {
                    if (!alive.expired())
                        form->DeliverCopyData(tag, data);
                });
        });
    }

    TCustomForm* fForm;
    QLocalServer fServer;
};

void TCustomForm::TCopyDataChannelDeleter::operator()(TCopyDataChannel* channel) const
{
    delete channel;
}

QString CopyDataChannelName(const QString& WindowClass)
{
    QString folder = TestFolder();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(S("Diary-") + WindowClass);
}

void SetCopyDataFolderForTesting(const QString& Folder)
{
    TestFolder() = Folder;
}

bool TCustomForm::ListenForCopyData()
{
    if (fCopyData)
        return true;
    const QString name = CopyDataChannelName(ClassName());
    if (name.isEmpty())
        return false;
    auto channel = std::unique_ptr<TCopyDataChannel, TCopyDataChannelDeleter>(new TCopyDataChannel(this));
    if (!channel->Listen(name))
        return false;
    fCopyData = std::move(channel);
    return true;
}

void TCustomForm::DeliverCopyData(quint32 Tag, const QByteArray& Data)
{
    TCopyDataStruct data;
    data.dwData = Tag;
    data.cbData = quint32(Data.size());
    data.lpData = Data.constData();
    TMessage m { WM_COPYDATA, 0, qintptr(&data), 0 };
    GuardedCall([&] { WndProc(m); });
}
