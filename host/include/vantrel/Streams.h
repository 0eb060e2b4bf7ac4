// Standard input and output as byte streams of a diagram: input fed into
// an in-line port as 'DATA' chunks ending with one 'EODS', and the text
// and data items leaving a port written out.
#pragma once

#include <vantrel/Runtime.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vantrel {

// Reads a file descriptor in chunks of up to 256 bytes and injects each as
// one 'DATA' item into the port; at end of input injects one 'EODS'. The
// runtime counts as busy from Start() until the 'EODS' has been delivered.
class StreamFeeder {
public:
	// Throws UserError when the port is unknown or a source port.
	StreamFeeder(Runtime& runtime, const std::string& portRef, int fd = 0);
	~StreamFeeder();
	StreamFeeder(const StreamFeeder&) = delete;
	StreamFeeder& operator=(const StreamFeeder&) = delete;

	void Start();
	// Stops reading (at the next poll) and waits for the thread.
	void Stop();
	bool Finished() const { return fFinished; }
	size_t BytesFed() const { return fBytes; }

private:
	void Run();
	void Inject(uint32 type, const uint8* bytes, int32 count);

	Runtime& fRuntime;
	Element* fElement;
	std::string fPort;
	int fFd;
	std::thread fThread;
	std::atomic<bool> fStop{false};
	std::atomic<bool> fFinished{false};
	std::atomic<size_t> fBytes{0};
	bool fActive = false;
};

// Writes the text of 'LINE' and 'TEXT' items and the bytes of 'DATA'
// items leaving a port (a source port's deliveries, or what an in-line
// port passes on) to a stdio stream.
class StreamTap {
public:
	StreamTap(Runtime& runtime, const std::string& portRef, FILE* out = stdout);
	~StreamTap();

	// Writes the printable items of a list; false once the stream failed.
	static bool Write(FILE* out, const ZItem* items, int count);

private:
	// Shared with the port's observer, which may outlive the tap.
	struct Sink {
		std::mutex lock;
		FILE* out;
		bool failed = false;
		bool stopped = false;
	};
	std::shared_ptr<Sink> fSink;
};

// The element and port named by "element.Port"; throws UserError naming
// the option and what is wrong.
PortState& FindPort(Runtime& runtime, const std::string& portRef, const std::string& option);

}  // namespace vantrel
