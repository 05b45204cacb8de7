#include "single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace modforge {
namespace {

constexpr int kPatienceMs = 10000;
constexpr qint64 kLongestPath = 64 * 1024;

QString folderFile(const char* name) { return runtimeFolder() + QLatin1Char('/') + QLatin1String(name); }
QString lockPath() { return folderFile("modforge.lock"); }
QString socketPath() { return folderFile("modforge.instance"); }

bool makePrivateFolder(const QString& folder) {
  if (!QDir().mkpath(folder)) return false;
  return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

QString runtimeFolder() {
  QString given = qEnvironmentVariable("ORVANE_RUNTIME_DIR");
  if (!given.isEmpty()) return given;
  QString session = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!session.isEmpty()) return session + QStringLiteral("/orvane");
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/orvane");
}

SingleInstance::SingleInstance() : lock_(lockPath()) { lock_.setStaleLockTime(0); }

SingleInstance::~SingleInstance() { server_.close(); }

bool SingleInstance::becomeTheInstance(FileHandler handler) {
  if (!makePrivateFolder(runtimeFolder()) || !lock_.tryLock(0)) return false;
  handler_ = std::move(handler);
  window_ = std::make_unique<platform::gui::BridgedWindow>(
      [this](HWND, UINT message, WPARAM, LPARAM lParam) { return receive(message, lParam); });
  // Holding the lock, any socket left there is a dead instance's.
  QLocalServer::removeServer(socketPath());
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* connection = server_.nextPendingConnection()) answer(connection);
  });
  if (!server_.listen(socketPath()))
    qWarning("modforge: a second start cannot reach this window: %s", qPrintable(server_.errorString()));
  return true;
}

// Reads the path up to its terminating zero, delivers it to the hidden
// window as WM_COPYDATA and answers with the window's result.
void SingleInstance::answer(QLocalSocket* connection) {
  connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
  connect(connection, &QLocalSocket::readyRead, this, [this, connection] {
    QByteArray data = connection->property("received").toByteArray() + connection->readAll();
    if (data.size() > kLongestPath) return connection->abort();
    connection->setProperty("received", data);
    if (!data.contains('\0')) return;
    data.truncate(data.indexOf('\0') + 1);
    COPYDATASTRUCT copy{0, static_cast<DWORD>(data.size()), data.data()};
    LRESULT result = SendMessage(window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    connection->write(result ? "1" : "0", 1);
    connection->disconnectFromServer();
  });
}

LRESULT SingleInstance::receive(UINT message, LPARAM lParam) {
  if (message != WM_COPYDATA || !lParam) return 0;
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  const char* data = static_cast<const char*>(copy->lpData);
  if (copy->dwData != 0 || !data || copy->cbData == 0 || data[copy->cbData - 1] != '\0') return 0;
  QString path = QString::fromUtf8(data);
  // Answered at once; the compile runs after the sender has its answer.
  QMetaObject::invokeMethod(this, [this, path] { if (handler_) handler_(path); }, Qt::QueuedConnection);
  return 1;
}

bool SingleInstance::handOver(const QString& path) {
  QByteArray data = path.toUtf8() + '\0';
  QElapsedTimer waited;
  waited.start();
  QLocalSocket socket;
  // The running instance may have taken the lock but not yet opened its socket.
  for (;;) {
    socket.connectToServer(socketPath());
    if (socket.waitForConnected(kPatienceMs)) break;
    if (waited.elapsed() > kPatienceMs) return false;
    QThread::msleep(50);
  }
  socket.write(data);
  if (!socket.waitForBytesWritten(kPatienceMs)) return false;
  while (socket.bytesAvailable() == 0)
    if (!socket.waitForReadyRead(kPatienceMs)) return false;
  return socket.read(1) == "1";
}

}  // namespace modforge
