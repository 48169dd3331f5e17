// vendrake-native-host: the browser's framing however the bytes arrive, the
// answers to bad messages, and the real program handing an address to
// CreateUrl on a private session bus (a stand-in receiver answers there).

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTimer>
#include <cstring>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/native_host/native_messaging.h"
#include "fake_vendrake.h"

namespace vdk {
namespace {

using TRead = TNativeMessaging::TReadResult;

std::string Frame(const std::string& body, std::uint32_t length) {
  std::string frame(4, '\0');
  std::memcpy(frame.data(), &length, 4);
  return frame + body;
}
std::string Frame(const std::string& body) { return Frame(body, static_cast<std::uint32_t>(body.size())); }

// A pipe whose write end a thread fills, one write() per piece.
class FedPipe {
 public:
  FedPipe() { EXPECT_EQ(::pipe(fds_), 0); }
  ~FedPipe() {
    if (writer_.joinable()) writer_.join();
    ::close(fds_[0]);
  }
  void Feed(std::vector<std::string> pieces) {
    writer_ = std::thread([this, pieces = std::move(pieces)] {
      for (const std::string& piece : pieces)
        if (::write(fds_[1], piece.data(), piece.size()) != static_cast<ssize_t>(piece.size())) break;
      ::close(fds_[1]);
    });
  }
  int ReadEnd() const { return fds_[0]; }

 private:
  int fds_[2] = {-1, -1};
  std::thread writer_;
};

std::vector<std::string> Bytes(const std::string& text) {
  std::vector<std::string> bytes;
  for (const char c : text) bytes.emplace_back(1, c);
  return bytes;
}

TEST(NativeMessaging, MessagesArriveWholeHoweverTheBytesCome) {
  FedPipe pipe;
  pipe.Feed(Bytes(Frame(R"({"url":"http://a/"})") + Frame("{}")));
  TNativeMessaging messages(pipe.ReadEnd(), -1);
  std::string message;
  ASSERT_EQ(messages.Read(message), TRead::Message);
  EXPECT_EQ(message, R"({"url":"http://a/"})");
  ASSERT_EQ(messages.Read(message), TRead::Message);
  EXPECT_EQ(message, "{}");
  EXPECT_EQ(messages.Read(message), TRead::End);
}

TEST(NativeMessaging, InputEndingInsideAMessageIsTruncated) {
  for (const std::string& cut : {std::string("\x05\x00", 2), Frame("abc", 10)}) {
    FedPipe pipe;
    pipe.Feed({cut});
    TNativeMessaging messages(pipe.ReadEnd(), -1);
    std::string message;
    EXPECT_EQ(messages.Read(message), TRead::Truncated);
  }
}

TEST(NativeMessaging, OneMegabyteIsTheLimit) {
  {
    FedPipe pipe;
    pipe.Feed({Frame(std::string(TNativeMessaging::kMaxMessage, 'x'))});
    TNativeMessaging messages(pipe.ReadEnd(), -1);
    std::string message;
    EXPECT_EQ(messages.Read(message), TRead::Message);
    EXPECT_EQ(message.size(), TNativeMessaging::kMaxMessage);
  }
  FedPipe pipe;
  pipe.Feed({Frame("", TNativeMessaging::kMaxMessage + 1)});
  TNativeMessaging messages(pipe.ReadEnd(), -1);
  std::string message;
  EXPECT_EQ(messages.Read(message), TRead::TooLong);
}

TEST(NativeMessaging, BadMessagesGetAnErrorAndNeverReachTheProgram) {
  int calls = 0;
  const auto createUrl = [&calls](const std::string&) {
    ++calls;
    return std::string();
  };
  for (const char* bad : {"not json", "", "[1]", R"({"url":5})", R"({"link":"http://a/"})", "{\"url\":\"a\""}) {
    const auto answer = nlohmann::json::parse(AnswerMessage(bad, createUrl));
    EXPECT_EQ(answer["ok"], false) << bad;
    EXPECT_TRUE(answer["error"].is_string()) << bad;
  }
  EXPECT_EQ(calls, 0);
}

TEST(NativeMessaging, AnErrorThatIsNotUtf8StillMakesAnAnswer) {
  const auto refused = nlohmann::json::parse(
      AnswerMessage(R"({"url":"http://a/"})", [](const std::string&) { return std::string("refused \xff"); }));
  EXPECT_EQ(refused["ok"], false);
  EXPECT_EQ(refused["error"], "refused \xef\xbf\xbd");
}

// Runs the host with the input given, closes its input, and returns its
// output once it has ended; events (the receiver's calls) run meanwhile.
QByteArray RunHost(const std::string& input, int& exitCode) {
  QProcess host;
  host.start(QStringLiteral(NATIVE_HOST), {});
  EXPECT_TRUE(host.waitForStarted());
  host.write(input.data(), static_cast<qint64>(input.size()));
  host.closeWriteChannel();
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.start(60000);
  while (host.state() != QProcess::NotRunning && deadline.isActive())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  exitCode = host.exitCode();
  return host.readAllStandardOutput();
}

TEST(NativeHost, AddressesReachCreateUrlAndItsAnswersComeBack) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  test::FakeVendrake receiver;
  ASSERT_TRUE(bus.registerObject(QStringLiteral("/VDK/IE"), &receiver, QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(bus.registerService(QStringLiteral("org.vendrake.Vendrake")));
  int exitCode = -1;
  const QByteArray output = RunHost(
      Frame(R"({"url":"http://127.0.0.1:1/a b"})") + Frame(R"({"url":"file:///etc"})") + Frame("junk"), exitCode);
  bus.unregisterService(QStringLiteral("org.vendrake.Vendrake"));
  bus.unregisterObject(QStringLiteral("/VDK/IE"));
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(receiver.received, QStringList({"http://127.0.0.1:1/a b", "file:///etc"}));
  const std::string expected = Frame(R"({"ok":true})") + Frame(R"({"error":"Only http and https","ok":false})") +
                               Frame(R"({"error":"The message is not valid JSON.","ok":false})");
  EXPECT_EQ(output.toStdString(), expected);
}

TEST(NativeHost, WithoutVendrakeOnTheBusTheAnswerIsAnError) {
  int exitCode = -1;
  const QByteArray output = RunHost(Frame(R"({"url":"http://127.0.0.1:1/"})"), exitCode);
  EXPECT_EQ(exitCode, 0);
  ASSERT_GT(output.size(), 4);
  const auto answer = nlohmann::json::parse(output.mid(4).toStdString());
  EXPECT_EQ(answer["ok"], false);
}

TEST(NativeHost, AnOverlongMessageIsAnErrorNotACrash) {
  int exitCode = -1;
  const QByteArray output = RunHost(Frame("", TNativeMessaging::kMaxMessage + 1), exitCode);
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(output.toStdString(), Frame(R"({"error":"The message is longer than 1 MB.","ok":false})"));
}

}  // namespace
}  // namespace vdk

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
