#pragma once
#include <functional>
#include <string>

namespace platform {

enum class MessageIcon { Error, Warning, Information };

// Every operator-facing failure goes through here. The program installs a
// sink that shows a real message box; tests install a recording sink so that
// nothing ever waits on a modal box.
using MessageSink = std::function<void(MessageIcon, const std::string&)>;

void setMessageSink(MessageSink sink);
void showMessage(MessageIcon icon, const std::string& text);
inline void showError(const std::string& text) { showMessage(MessageIcon::Error, text); }

}  // namespace platform
