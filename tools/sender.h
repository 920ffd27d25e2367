#pragma once
#include <netinet/in.h>

#include <string>

// Where the tools may send and how they open their sockets: one datagram
// to a multicast group reaches every display that joined it.
namespace cli {

struct SendOptions {
  int ttl = 1;                // routers a group datagram may cross; 1 stays on this network
  bool ttlGiven = false;
  std::string interfaceName;  // "eth0" or an IPv4 address of ours; empty: the routes choose
};

// Takes "--ttl N" and "--interface NAME"; false for any other option, or
// with error filled when the value is bad.
bool takeSendOption(const std::string& option, const std::string& value, SendOptions& options, bool& taken,
                    std::string& error);

bool isMulticast(const sockaddr_in& address);
// 239.0.0.0/8, the groups an organisation keeps to its own network.
bool administrativelyScoped(const sockaddr_in& address);

// Why the tools will not send to host without --allow-remote, or an empty
// text when they may: this machine, or a group of 239.0.0.0/8.
std::string remoteRefusal(const std::string& host, const sockaddr_in& target, bool allowRemote);
// Why the options do not fit the target (--ttl or --interface for a
// unicast host), or empty.
std::string optionsRefusal(const sockaddr_in& target, const SendOptions& options);

// A socket for sending to target; for a group with the options' TTL and
// interface. -1 with error filled when that fails.
int openSender(const sockaddr_in& target, const SendOptions& options, std::string& error);
// A socket bound to at; a group is joined on the options' interface (or
// the one the routes choose) and its port shared with the displays on
// this machine. -1 with error filled when that fails.
int openListener(const sockaddr_in& at, const SendOptions& options, std::string& error);

}  // namespace cli
