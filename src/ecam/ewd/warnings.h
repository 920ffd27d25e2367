#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "ecam/ewd/engine_warning_display.h"
#include "instruments/flight_data.h"

// Logic of the message area, kept apart from the drawing so that every
// line and colour can be checked without a GL context.
namespace ewd {

using MessageLine = EngineWarningDisplay::MessageLine;
using MessageList = std::array<MessageLine, EngineWarningDisplay::kMessageLines>;

// Line colours; a line's colour is also its priority.
inline constexpr std::int32_t kColourFree = -1;
inline constexpr std::int32_t kColourTitle = 0;
inline constexpr std::int32_t kColourOpenItem = 1;
inline constexpr std::int32_t kColourMemo = 2;
inline constexpr std::int32_t kColourCaution = 4;
inline constexpr std::int32_t kColourConfigTitle = 5;
inline constexpr std::int32_t kColourWarning = 6;

// List operations. The used entries are the run up to the first free one.
int usedMessages(const MessageList& list);
// On a full list the new line takes the place of the least important one
// if it is more important, and is dropped otherwise.
int AddMessage(MessageList& list, const char* text, std::int32_t colour);
int RemoveMessage(MessageList& list, const char* text);
void SetMessageColour(MessageList& list, const char* text, std::int32_t colour);
void SortMessages(MessageList& list);
void ClearMessages(MessageList& list);
std::vector<MessageLine> usedLines(const MessageList& list);

// Runs the warning rules into the list as it stands.
void applyWarningRules(MessageList& list, const FlightDataBlock& block);
// The warning and memo lines of one block, in screen order.
std::vector<MessageLine> warningLines(const FlightDataBlock& block);

struct BrakeMemo {
  const char* text;
  float y;
};
std::vector<BrakeMemo> brakeMemos(const FlightDataBlock& block);

// Pushbutton byte of word 39: a press toggles the request once until the
// button is seen released.
void updateChecklistRequest(std::int32_t& request, std::int32_t& keyLatch, std::uint32_t word39);

enum class Checklist { None, TakeOffConfig, TakeOff, Landing };

// Decides on a checklist and, if one is due, writes it ticked into the
// (empty) list. Updates the landing latch; the request is only read.
Checklist buildChecklist(MessageList& list, std::int32_t request, bool& landingLatch, const FlightDataBlock& block);

// Everything the message area shows in one frame: request update, then the
// checklist or the warnings. The list is left holding the lines.
struct FrameState {
  std::int32_t request = 0;
  std::int32_t keyLatch = 0;
  bool landingLatch = false;
};
void buildFrame(MessageList& list, std::int32_t& request, std::int32_t& keyLatch, bool& landingLatch,
                const FlightDataBlock& block);
std::vector<MessageLine> frameLines(FrameState& state, const FlightDataBlock& block);

// The one landing latch shared by every engine and warning display.
bool& landingChecklistLatch();

}  // namespace ewd
