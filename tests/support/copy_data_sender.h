#pragma once

// Another process's side of a window's copy-data channel, byte by byte: the
// frame (tag, length, both 32-bit little endian, then the bytes) and a
// connection that writes bytes and closes.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QString>
#include <QtEndian>

#include <functional>

inline QByteArray CopyDataFrame(quint32 tag, const QByteArray& data)
{
    QByteArray frame(8, '\0');
    qToLittleEndian<quint32>(tag, frame.data());
    qToLittleEndian<quint32>(quint32(data.size()), frame.data() + 4);
    return frame + data;
}

// Connects, writes the bytes and closes; false when nobody listens.
inline bool SendToChannel(const QString& name, const QByteArray& bytes)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(bytes);
    socket.flush();
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(2000);
    return true;
}

// Runs the event loop until done says so (or a generous limit passes).
inline bool ProcessEventsUntil(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}
