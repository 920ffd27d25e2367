#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

std::string uniqueName() { return "a320-test-" + std::to_string(getpid()) + "-VANT-D320-IVAR-v1.1"; }

TEST(SingleInstance, SecondHolderIsRefusedOtherNamesAreNot) {
  const std::string name = uniqueName();
  // flock locks belong to the open file description, so a second open in
  // this process competes like a second process would.
  platform::SingleInstance first(name);
  ASSERT_TRUE(first.error().empty()) << first.error();
  EXPECT_FALSE(first.alreadyRunning());
  {
    platform::SingleInstance second(name);
    EXPECT_TRUE(second.alreadyRunning());
    platform::SingleInstance other(name + "-copy");
    EXPECT_FALSE(other.alreadyRunning());
  }
  platform::SingleInstance still(name);
  EXPECT_TRUE(still.alreadyRunning());  // the second's end did not free the first's lock
}

TEST(SingleInstance, LockOfAKilledHolderDoesNotBlock) {
  const std::string name = uniqueName() + "-killed";
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    platform::SingleInstance held(name);
    const char c = held.alreadyRunning() ? 'n' : 'y';
    (void)!write(ready[1], &c, 1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  EXPECT_TRUE(platform::SingleInstance(name).alreadyRunning());
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  platform::SingleInstance after(name);
  EXPECT_FALSE(after.alreadyRunning());
  EXPECT_EQ(access(after.path().c_str(), F_OK), 0);  // the stale file is still there, and harmless
  close(ready[0]);
  close(ready[1]);
}

TEST(SingleInstance, LockLivesInTheRuntimeFolder) {
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", "/tmp", 1);
  EXPECT_EQ(platform::SingleInstance::runtimeFolder(), "/tmp");
  platform::SingleInstance s(uniqueName() + "-where");
  EXPECT_EQ(s.path(), "/tmp/" + uniqueName() + "-where.lock");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_FALSE(platform::SingleInstance::runtimeFolder().empty());
  if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

}  // namespace
