#include "player_test_support.h"

#include "player/InputStream.h"

#include "platform/afx/linux_headers_begin.h"
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <thread>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace player_test;

// A tiny HTTP server on 127.0.0.1 that answers every request with one body, in one
// of a few ways. Its thread only uses the C library, never Win32.
class LocalHttpServer {
public:
  enum Mode {
    kWhole,   // headers, the whole body, close
    kStall,   // headers and the first `part` bytes, then silence until the end
    kDrop,    // announces the whole body, sends `part` bytes, closes
    kSilent,  // accepts and never answers
  };
  LocalHttpServer(std::vector<uint8_t> body, Mode mode, size_t part = 0)
      : body_(std::move(body)), mode_(mode), part_(part) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 8);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalHttpServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }
  std::string Url(const char* scheme = "http") const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + "/sound.mp3";
  }
  int Requests() const { return requests_; }

private:
  bool WaitReadable(int fd) {
    while (!stop_) {
      pollfd p = {fd, POLLIN, 0};
      if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }
  void SendAll(int fd, const void* data, size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0 && !stop_) {
      ssize_t n = ::send(fd, p, length, MSG_NOSIGNAL);
      if (n <= 0) return;
      p += n;
      length -= static_cast<size_t>(n);
    }
  }
  void Serve() {
    while (WaitReadable(listener_)) {
      int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      ++requests_;
      std::string request;
      char buffer[2048];
      while (request.find("\r\n\r\n") == std::string::npos && WaitReadable(fd)) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
      }
      if (mode_ != kSilent) {
        std::string headers = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n";
        if (mode_ != kStall) headers += "Content-Length: " + std::to_string(body_.size()) + "\r\n";
        headers += "\r\n";
        SendAll(fd, headers.data(), headers.size());
        SendAll(fd, body_.data(), mode_ == kWhole ? body_.size() : std::min(part_, body_.size()));
      }
      if (mode_ == kStall || mode_ == kSilent)
        while (!stop_) ::usleep(10000);
      ::close(fd);
    }
  }

  std::vector<uint8_t> body_;
  Mode mode_;
  size_t part_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
};

std::vector<uint8_t> ToneMp3(double seconds) { return EncodeMp3(Sine(440, 44100, 2, seconds), 44100, 2); }

TEST(HttpInputStream, DownloadsTheWholeBodyAndReportsBuffering) {
  const std::vector<uint8_t> body = ToneMp3(3);  // larger than the pre-buffer
  LocalHttpServer server(body, LocalHttpServer::kWhole);
  NoteWindow notes;
  // The prefix is recognised in any case.
  InputStream* stream = OpenInputStream(server.Url("HTTP").c_str(), notes.Handle());
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->IsSeekable(stream), 0);
  EXPECT_EQ(stream->GetSize(stream), 0u);
  std::vector<uint8_t> got;
  std::vector<uint8_t> buffer(5000);
  DWORD start = GetTickCount();
  for (;;) {
    DWORD n = 0;
    int more = stream->Read(stream, buffer.data(), static_cast<DWORD>(buffer.size()), &n);
    got.insert(got.end(), buffer.begin(), buffer.begin() + n);
    if (!more) break;
  }
  EXPECT_LT(GetTickCount() - start, 1500u) << "the end of the download ends the data at once";
  EXPECT_EQ(got, body);
  stream->Close(stream);
  EXPECT_EQ(server.Requests(), 1);
  // Buffering with the ring's fill, then done.
  ASSERT_TRUE(notes.WaitUntil([&] { return notes.Count(kNotifyBuffering) >= 2; }, 2000));
  const auto& all = notes.Notes();
  EXPECT_EQ(all.front().message, kNotifyBuffering);
  EXPECT_EQ(all.front().wParam, 1u);
  EXPECT_EQ(all.back().wParam, 0u);
  EXPECT_EQ(all.back().lParam, 0);
  LPARAM fullest = 0;
  for (const Note& n : all) fullest = std::max(fullest, n.lParam);
  EXPECT_GT(fullest, 0);
  EXPECT_LE(fullest, 100);
}

TEST(HttpInputStream, NamesThatAreNotAddressesAreFiles) {
  // "http:" alone is a (missing) file; an unreachable server gives an empty download.
  EXPECT_EQ(OpenInputStream("http:", nullptr), nullptr);
  EXPECT_EQ(OpenInputStream("no-such-file.mp3", nullptr), nullptr);
  int closedPort;
  {
    LocalHttpServer server({}, LocalHttpServer::kWhole);
    closedPort = std::stoi(server.Url().substr(std::string("http://127.0.0.1:").size()));
  }
  std::string url = "http://127.0.0.1:" + std::to_string(closedPort) + "/x.mp3";
  DWORD start = GetTickCount();
  InputStream* stream = OpenInputStream(url.c_str(), nullptr);
  ASSERT_NE(stream, nullptr);
  char byte;
  DWORD n = 1;
  EXPECT_EQ(stream->Read(stream, &byte, 1, &n), 0);
  EXPECT_EQ(n, 0u);
  stream->Close(stream);
  EXPECT_LT(GetTickCount() - start, 3000u);
}

class HttpPlaybackTest : public EngineFixture {};

TEST_F(HttpPlaybackTest, PlaysAnMp3FromTheServer) {
  LocalHttpServer server(ToneMp3(2), LocalHttpServer::kWhole);
  ASSERT_TRUE(PlayToEnd(server.Url(), 4000));
  EXPECT_EQ(notes_.States(), (std::vector<WPARAM>{kStatePlaying, kStateNoFile, kStateStopped}));
  EXPECT_GT(notes_.Count(kNotifyBuffering), 0);
  std::vector<uint8_t> pcm = TheRecording().Pcm();
  // The bytes the header scan read are not played again: most of the tone is there.
  EXPECT_GT(pcm.size() / 4.0 / 44100, 1.3);
  EXPECT_NEAR(ZeroCrossingFrequency(Channel(pcm, 2, 0, 2048), 44100), 440, 2);
}

// A server that drops the connection or stops sending: what came is played and the
// file ends in bounded time.
TEST_F(HttpPlaybackTest, DroppedAndStalledDownloadsEndTheFile) {
  const std::vector<uint8_t> body = ToneMp3(4);
  struct Case {
    LocalHttpServer::Mode mode;
    DWORD limitMs;
  } cases[] = {
      {LocalHttpServer::kDrop, 1500},   // the end of the connection ends the file
      {LocalHttpServer::kStall, 4000},  // no data for a while ends it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    LocalHttpServer server(body, c.mode, 40000);
    TheRecording().Reset();
    size_t from = notes_.Notes().size();
    DWORD start = GetTickCount();
    ASSERT_TRUE(PlayToEnd(server.Url(), c.limitMs));
    EXPECT_EQ(notes_.States(from), (std::vector<WPARAM>{kStatePlaying, kStateNoFile, kStateStopped}));
    EXPECT_LT(GetTickCount() - start, c.limitMs);
    EXPECT_GT(TheRecording().Bytes(), 100000u) << "what came was played";
  }
}

// A server that never answers: the open waits for data, but a stop ends the wait.
TEST_F(HttpPlaybackTest, AStopEndsTheWaitForASilentServer) {
  LocalHttpServer silent(ToneMp3(1), LocalHttpServer::kSilent);
  size_t from = notes_.Notes().size();
  PlayerEngine_OpenFile(engine_, silent.Url().c_str());
  PlayerEngine_Play(engine_);
  Sleep(300);
  DWORD start = GetTickCount();
  PlayerEngine_Stop(engine_);
  ASSERT_GE(notes_.WaitForState(kStateStopped, from, 5000), 0);
  EXPECT_LT(GetTickCount() - start, 4000u);
  EXPECT_EQ(notes_.Count(kNotifyFileInfo, from), 0);
}

}  // namespace
