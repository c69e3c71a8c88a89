// The serial link against a real pseudo-terminal: the test plays the modem
// on the master side, the link opens the slave like any serial port.

#include "modem/serial_link.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace modem {
namespace {

class PtyPeer {
 public:
  PtyPeer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) path_ = ::ptsname(master_);
  }
  ~PtyPeer() { Close(); }
  const std::string& Path() const { return path_; }
  void Send(const std::string& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // What the link wrote, waiting up to `ms` for the first byte.
  std::string Received(int ms = 500) {
    std::string text;
    pollfd entry{master_, POLLIN, 0};
    while (::poll(&entry, 1, text.empty() ? ms : 20) > 0) {
      char buffer[256];
      const ssize_t count = ::read(master_, buffer, sizeof buffer);
      if (count <= 0) break;
      text.append(buffer, static_cast<size_t>(count));
    }
    return text;
  }
  void Close() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string path_;
};

class SerialLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(peer.Path().empty());
    ASSERT_TRUE(link.Open(peer.Path())) << link.LastErrorText();
    ASSERT_TRUE(link.Configure(115200)) << link.LastErrorText();
    link.AtTimeout = 200;
  }
  PtyPeer peer;
  SerialLink link;
};

TEST_F(SerialLinkTest, LinesEndAtEveryKindOfLineEnd) {
  peer.Send("one\rtwo\nthree\r\nfour\n\rfive\r\n\r\nsix\r\n");
  for (const char* expected : {"one", "two", "three", "four", "five", "", "six"}) {
    EXPECT_EQ(link.ReceiveLine(200), expected);
    EXPECT_EQ(link.LastError(), 0);
  }
  EXPECT_EQ(link.ReceiveLine(50), "");
  EXPECT_EQ(link.LastError(), platform::kSerialTimeout);
  EXPECT_EQ(link.LastErrorText(), "Timeout during operation");
}

TEST_F(SerialLinkTest, PairSplitOverTwoPacketsCountsOnce) {
  peer.Send("OK\r");
  EXPECT_EQ(link.ReceiveLine(200), "OK");
  peer.Send("\nNEXT\r\n");
  EXPECT_EQ(link.ReceiveLine(200), "NEXT");
  peer.Send("A\n");
  EXPECT_EQ(link.ReceiveLine(200), "A");
  peer.Send("\r\n");  // LF CR is one pair; the LF after it ends an empty line
  EXPECT_EQ(link.ReceiveLine(200), "");
  EXPECT_EQ(link.LastError(), 0);
}

TEST_F(SerialLinkTest, ReceiveUntilKeepsWhatFollows) {
  peer.Send("\r\n> rest");
  EXPECT_EQ(link.ReceiveUntil(200, ">"), "\r\n");
  EXPECT_EQ(link.ReceivePacket(50), " rest");

  peer.Send("partial");
  EXPECT_EQ(link.ReceiveUntil(50, "\r\n"), "");
  EXPECT_EQ(link.LastError(), platform::kSerialTimeout);
  peer.Send(" line\r\ntail");
  EXPECT_EQ(link.ReceiveUntil(200, "\r\n"), "partial line");
  EXPECT_TRUE(link.WaitForData(0));  // "tail" is buffered
  EXPECT_EQ(link.ReceivePacket(0), "tail");
  EXPECT_FALSE(link.WaitForData(20));
  EXPECT_EQ(link.ReceivePacket(20), "");
  EXPECT_EQ(link.LastError(), platform::kSerialTimeout);
}

TEST_F(SerialLinkTest, TerminatorSplitOverPackets) {
  peer.Send("abc\r");
  EXPECT_EQ(link.ReceiveUntil(50, "\r\n"), "");
  peer.Send("\ndef");
  EXPECT_EQ(link.ReceiveUntil(200, "\r\n"), "abc");
  EXPECT_EQ(link.ReceivePacket(50), "def");
}

TEST_F(SerialLinkTest, OverlongLineExceedsTheBuffer) {
  peer.Send(std::string(SerialLink::kBufferSize + 10, 'x'));
  EXPECT_EQ(link.ReceiveLine(200), "");
  EXPECT_EQ(link.LastError(), platform::kSerialBufferExceeded);
  EXPECT_EQ(link.LastErrorText(), "Maximal buffer length exceeded");
}

TEST_F(SerialLinkTest, ExchangeLeavesOutTheEcho) {
  peer.Send("AT+CSQ\r\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  const AtAnswer answer = link.ExchangeAT("AT+CSQ");
  EXPECT_TRUE(answer.ok);
  EXPECT_EQ(answer.response, "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
  EXPECT_EQ(peer.Received(), "AT+CSQ\r");
}

TEST_F(SerialLinkTest, ExchangeEndsAtErrorOrTimeout) {
  peer.Send("\r\nERROR\r\n");
  AtAnswer answer = link.ExchangeAT("AT+CMGF=?");
  EXPECT_FALSE(answer.ok);
  EXPECT_EQ(answer.response, "\r\nERROR\r\n");
  EXPECT_EQ(link.LastError(), 0);

  // "+CMS ERROR: 500" is not "ERROR": the exchange runs on until a line times out.
  peer.Send("\r\n+CMS ERROR: 500\r\n");
  const auto start = std::chrono::steady_clock::now();
  answer = link.ExchangeAT("AT+CMGS=10");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  EXPECT_FALSE(answer.ok);
  EXPECT_EQ(answer.response, "\r\n+CMS ERROR: 500\r\n\r\n");
  EXPECT_EQ(link.LastError(), platform::kSerialTimeout);
}

TEST_F(SerialLinkTest, OpenCloseAndErrors) {
  EXPECT_FALSE(link.Open(peer.Path()));
  EXPECT_EQ(link.LastErrorText(), "Instance already in use");
  SerialLink second;
  EXPECT_FALSE(second.Open(peer.Path()));  // held by the first link
  EXPECT_EQ(second.LastError(), platform::kSerialPortOwned);

  int closes = 0;
  link.OnPortClosed = [&] { ++closes; };
  link.Close();
  EXPECT_FALSE(link.IsActive());
  EXPECT_EQ(closes, 1);
  link.Close();
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(link.PortLost());
  EXPECT_FALSE(link.SendText("AT\r"));
  EXPECT_EQ(link.LastErrorText(), "Instance not yet connected");
  EXPECT_EQ(link.ReceivePacket(10), "");
  EXPECT_EQ(link.LastError(), platform::kSerialNotOpen);

  SerialLink missing;
  EXPECT_FALSE(missing.Open("/dev/talvane-no-such-port"));
  EXPECT_EQ(missing.LastErrorText(), "No such file or directory");
}

TEST_F(SerialLinkTest, VanishingDeviceIsReported) {
  int closes = 0;
  link.OnPortClosed = [&] { ++closes; };
  peer.Send("last words\r\n");
  EXPECT_EQ(link.ReceiveLine(200), "last words");
  peer.Close();
  EXPECT_FALSE(link.WaitForData(200));
  EXPECT_FALSE(link.IsActive());
  EXPECT_TRUE(link.PortLost());
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(link.PortLostText().empty());
  EXPECT_TRUE(link.TakePortLost());
  EXPECT_FALSE(link.PortLost());
}

}  // namespace
}  // namespace modem
