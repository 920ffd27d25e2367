#pragma once
#include <string>

namespace testing_support {

// Moves this process (and whatever it starts afterwards) into a network
// namespace of its own whose loopback is up and carries multicast, with
// the multicast range routed to it, so that tests can join and send to
// groups without touching the machine's own network. Call it first in
// main, before any thread starts. Returns an empty text on success, else
// why the kernel refused.
std::string enterOwnNetwork();

// The reason from enterOwnNetwork, empty when the namespace is ours.
const std::string& ownNetworkRefusal();

// How many sockets hold the group on the loopback, as the kernel lists
// them in /proc/net/igmp.
int loopbackUsers(const std::string& group);

}  // namespace testing_support

// Skips the test with the kernel's reason when there is no namespace.
#define SKIP_WITHOUT_OWN_NETWORK()                                                                   \
  do {                                                                                               \
    if (!testing_support::ownNetworkRefusal().empty())                                               \
      GTEST_SKIP() << "no network namespace of our own: " << testing_support::ownNetworkRefusal(); \
  } while (0)
