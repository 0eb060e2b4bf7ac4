// Helpers for tests that load real module files through the host runtime.
#pragma once

#include <vantrel/Diagram.h>
#include <vantrel/Runtime.h>

#include <Packet.h>

#include <gtest/gtest.h>

#include <ostream>

namespace vantrel::testing {

// Waits for output that must come; a broken build fails here quickly
// instead of hanging.
constexpr bigtime_t kDeadline = 5000000;
// How long to wait to be confident that nothing more is coming.
constexpr bigtime_t kQuiet = 150000;

inline RuntimeOptions TestOptions()
{
	RuntimeOptions options;
	options.recordSources = true;
	options.joinTimeout = kDeadline;
	return options;
}

inline MIDISeq Ev(int status, int data1 = 0, int data2 = 0, int marks = 0)
{
	return MIDISeq{uint8(status), uint8(data1), uint8(data2), uint8(marks)};
}

// Waits until the condition holds or the deadline passes.
template <typename Condition>
bool WaitFor(Condition condition, bigtime_t timeout = kDeadline)
{
	bigtime_t deadline = system_time() + timeout;
	while (!condition()) {
		if (system_time() >= deadline)
			return false;
		snooze(500);
	}
	return true;
}

}  // namespace vantrel::testing

inline bool operator==(const MIDISeq& a, const MIDISeq& b)
{
	return a.status == b.status && a.data1 == b.data1 && a.data2 == b.data2 && a.marks == b.marks;
}

inline std::ostream& operator<<(std::ostream& out, const MIDISeq& e)
{
	char text[40];
	snprintf(text, sizeof(text), "{%02x %d %d m%02x}", e.status, e.data1, e.data2, e.marks);
	return out << text;
}
