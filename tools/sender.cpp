#include "sender.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli.h"

namespace cli {

namespace {

std::string text(const sockaddr_in& a) {
  char buf[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &a.sin_addr, buf, sizeof buf);
  return buf;
}

// The interface as the socket options want it: by index for a name, by
// address for an address.
bool interfaceRequest(const std::string& name, ip_mreqn& request, std::string& error) {
  if (name.empty()) return true;
  if (::inet_aton(name.c_str(), &request.imr_address) != 0) return true;
  request.imr_ifindex = int(::if_nametoindex(name.c_str()));
  if (request.imr_ifindex != 0) return true;
  error = "there is no network interface '" + name + "' (ip address lists them)";
  return false;
}

int failWith(int fd, std::string& error, const std::string& what) {
  error = what + ": " + std::strerror(errno);
  if (fd >= 0) ::close(fd);
  return -1;
}

}  // namespace

bool takeSendOption(const std::string& option, const std::string& value, SendOptions& options, bool& taken,
                    std::string& error) {
  taken = option == "--ttl" || option == "--interface";
  if (!taken) return true;
  if (option == "--interface") {
    if (value.empty()) {
      error = "--interface wants a name such as eth0 or an address of this machine";
      return false;
    }
    options.interfaceName = value;
    return true;
  }
  const auto ttl = parseInteger(value, 0, 255);
  if (!ttl) {
    error = "--ttl wants 0 to 255 (1 stays on the local network), got '" + value + "'";
    return false;
  }
  options.ttl = int(*ttl);
  options.ttlGiven = true;
  return true;
}

bool isMulticast(const sockaddr_in& address) { return IN_MULTICAST(ntohl(address.sin_addr.s_addr)); }

bool administrativelyScoped(const sockaddr_in& address) { return (ntohl(address.sin_addr.s_addr) >> 24) == 239; }

std::string remoteRefusal(const std::string& host, const sockaddr_in& target, bool allowRemote) {
  if (allowRemote || onThisMachine(target) || administrativelyScoped(target)) return {};
  if (isMulticast(target))
    return "group '" + host + "' is not in 239.0.0.0/8, the groups kept to a local network; use one of those, or add "
           "--allow-remote to send there";
  return "host '" + host + "' is not on this machine (127.0.0.0/8); add --allow-remote to send there";
}

std::string optionsRefusal(const sockaddr_in& target, const SendOptions& options) {
  if ((!options.ttlGiven && options.interfaceName.empty()) || isMulticast(target)) return {};
  return "--ttl and --interface go with a multicast --host (224.0.0.0 to 239.255.255.255), not " + text(target);
}

int openSender(const sockaddr_in& target, const SendOptions& options, std::string& error) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return failWith(fd, error, "socket");
  if (!isMulticast(target)) return fd;
  const int ttl = options.ttl;
  if (::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) != 0)
    return failWith(fd, error, "cannot set the TTL " + std::to_string(ttl));
  // A display on this machine is as much a receiver as any other.
  const int loop = 1;
  if (::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop) != 0)
    return failWith(fd, error, "cannot loop the group back to this machine");
  ip_mreqn request{};
  if (!interfaceRequest(options.interfaceName, request, error)) {
    ::close(fd);
    return -1;
  }
  if (!options.interfaceName.empty() &&
      ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &request, sizeof request) != 0)
    return failWith(fd, error, "cannot send through interface '" + options.interfaceName + "'");
  return fd;
}

int openListener(const sockaddr_in& at, const SendOptions& options, std::string& error) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return failWith(fd, error, "socket");
  const int on = 1;
  if (isMulticast(at) && ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
    return failWith(fd, error, "cannot share the port");
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0)
    return failWith(fd, error, "cannot listen on " + text(at) + " port " + std::to_string(ntohs(at.sin_port)));
  if (!isMulticast(at)) return fd;
  ip_mreqn request{};
  request.imr_multiaddr = at.sin_addr;
  if (!interfaceRequest(options.interfaceName, request, error)) {
    ::close(fd);
    return -1;
  }
  const int off = 0;
  if (::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) != 0 ||
      ::setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0)
    return failWith(fd, error, "cannot join the group " + text(at));
  return fd;
}

}  // namespace cli
