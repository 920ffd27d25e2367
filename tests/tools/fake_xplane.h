#pragma once
// A stand-in for X-Plane's UDP interface, written from its published format
// and nothing else: it reads RREF requests byte by byte, answers every
// subscription 30 times a second with RREF datagrams built byte by byte,
// and can fall silent, restart (forgetting its subscriptions), send any
// bytes a test gives it, and announce itself with a BECN beacon.
#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

inline void putInt32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
inline std::uint32_t int32At(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// "RREF", one more byte, then index and value pairs.
inline Bytes rrefAnswer(const std::vector<std::pair<std::int32_t, float>>& pairs) {
  Bytes b = {'R', 'R', 'E', 'F', ','};
  for (const auto& [index, value] : pairs) {
    putInt32(b, std::uint32_t(index));
    putInt32(b, std::bit_cast<std::uint32_t>(value));
  }
  return b;
}

// "BECN" and a NUL, versions 1.2, host 1 (X-Plane) or 2 (Plane Maker),
// version, role (1 master), the port it listens on, the computer's name.
inline Bytes becn(std::uint16_t port, std::uint32_t host = 1, std::uint32_t role = 1, const std::string& name = "sim-pc") {
  Bytes b = {'B', 'E', 'C', 'N', 0, 1, 2};
  putInt32(b, host);
  putInt32(b, 120100);
  putInt32(b, role);
  b.push_back(std::uint8_t(port));
  b.push_back(std::uint8_t(port >> 8));
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0);
  return b;
}

class FakeXPlane {
 public:
  struct Request {
    std::size_t size;
    bool wellFormed;  // 413 bytes, "RREF\0", the path NUL-padded
    std::int32_t frequency, index;
    std::string path;
  };

  FakeXPlane() : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { loop(); });
  }
  ~FakeXPlane() {
    running_ = false;
    thread_.join();
    ::close(fd_);
  }
  std::uint16_t port() const { return port_; }

  void set(const std::string& path, float value) {
    std::lock_guard<std::mutex> l(m_);
    values_[path] = value;
  }
  void setAnswering(bool on) { answering_ = on; }
  // Like a restarted X-Plane: answering, but nobody is subscribed.
  void restart() {
    std::lock_guard<std::mutex> l(m_);
    subscriptions_.clear();
    answering_ = true;
  }
  // Sent to the subscriber as they are.
  void sendRaw(const Bytes& bytes) {
    std::lock_guard<std::mutex> l(m_);
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&client_), sizeof client_);
  }
  std::vector<Request> requests() const {
    std::lock_guard<std::mutex> l(m_);
    return requests_;
  }
  std::size_t subscriptions() const {
    std::lock_guard<std::mutex> l(m_);
    return subscriptions_.size();
  }

 private:
  void loop() {
    auto next = std::chrono::steady_clock::now();
    while (running_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 5) > 0) readRequest();
      if (std::chrono::steady_clock::now() < next) continue;
      next += std::chrono::microseconds(1000000 / 30);
      if (answering_) answer();
    }
  }

  void readRequest() {
    std::uint8_t b[1024];
    sockaddr_in from{};
    socklen_t n = sizeof from;
    const ssize_t size = ::recvfrom(fd_, b, sizeof b, 0, reinterpret_cast<sockaddr*>(&from), &n);
    if (size < 13) return;
    Request r{std::size_t(size), size == 413 && std::memcmp(b, "RREF", 5) == 0, std::int32_t(int32At(b + 5)),
              std::int32_t(int32At(b + 9)), {}};
    const std::size_t pathEnd = std::size_t(size);
    std::size_t i = 13;
    for (; i < pathEnd && b[i] != 0; ++i) r.path += char(b[i]);
    for (; i < pathEnd; ++i) r.wellFormed = r.wellFormed && b[i] == 0;
    std::lock_guard<std::mutex> l(m_);
    requests_.push_back(r);
    client_ = from;
    if (r.frequency > 0)
      subscriptions_[r.index] = r.path;
    else
      subscriptions_.erase(r.index);
  }

  // X-Plane may split its answer; a few pairs a datagram shows whether the
  // bridge puts them together.
  void answer() {
    std::lock_guard<std::mutex> l(m_);
    std::vector<std::pair<std::int32_t, float>> pairs;
    auto flush = [&] {
      const Bytes d = rrefAnswer(pairs);
      ::sendto(fd_, d.data(), d.size(), 0, reinterpret_cast<const sockaddr*>(&client_), sizeof client_);
      pairs.clear();
    };
    for (const auto& [index, path] : subscriptions_) {
      const auto v = values_.find(path);
      pairs.emplace_back(index, v == values_.end() ? 0.0f : v->second);
      if (pairs.size() == 20) flush();
    }
    if (!pairs.empty()) flush();
  }

  int fd_;
  std::uint16_t port_ = 0;
  std::atomic<bool> running_{true}, answering_{true};
  mutable std::mutex m_;
  sockaddr_in client_{};
  std::map<std::string, float> values_;
  std::map<std::int32_t, std::string> subscriptions_;
  std::vector<Request> requests_;
  std::thread thread_;
};

}  // namespace testing_support
