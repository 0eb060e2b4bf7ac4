#include <vantrel/Diagram.h>
#include <vantrel/Streams.h>

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <unistd.h>

namespace vantrel {

PortState& FindPort(Runtime& runtime, const std::string& portRef, const std::string& option)
{
	PortRef ref = ParsePortRef(portRef);
	Element* element = runtime.Find(ref.element);
	if (!element)
		throw UserError(option + " " + portRef + ": the diagram has no element '" + ref.element + "'");
	try {
		return element->Port(ref.port);
	} catch (const UserError& error) {
		throw UserError(option + " " + portRef + ": " + error.what());
	}
}

StreamFeeder::StreamFeeder(Runtime& runtime, const std::string& portRef, int fd)
	: fRuntime(runtime), fFd(fd)
{
	PortState& port = FindPort(runtime, portRef, "--stdin-to");
	if (!port.info->IsInline())
		throw UserError("--stdin-to " + portRef + ": \"" + port.info->name
			+ "\" is a source port; standard input can only feed an in-line port");
	fElement = port.element;
	fPort = port.info->name;
}

StreamFeeder::~StreamFeeder()
{
	Stop();
}

void StreamFeeder::Start()
{
	if (fThread.joinable())
		return;
	// Busy until the end of input has gone through the diagram.
	fRuntime.BeginActivity();
	fActive = true;
	fThread = std::thread([this] { Run(); });
}

void StreamFeeder::Stop()
{
	fStop = true;
	if (fThread.joinable())
		fThread.join();
	if (fActive) {
		fActive = false;
		fRuntime.EndActivity();
	}
}

void StreamFeeder::Inject(uint32 type, const uint8* bytes, int32 count)
{
	ZItem* items = new ZItem[1];
	int n = 1;
	DataBuf* buf = static_cast<DataBuf*>(malloc(sizeof(DataBuf)));
	memset(buf, 0, sizeof(DataBuf));
	buf->count = count;
	if (count > 0)
		memcpy(buf->data, bytes, size_t(count));
	items[0].type = type;
	items[0].data = buf;
	items[0].size = int32(sizeof(DataBuf));
	fElement->Inject(fPort, items, n);
	// Filters rewrite in place but never replace the payload.
	for (int i = 0; i < n; i++)
		items[i] = zero_item;
	free(buf);
	delete[] items;
}

void StreamFeeder::Run()
{
	uint8 chunk[kDataBufSize];
	while (!fStop) {
		pollfd pfd{fFd, POLLIN, 0};
		int ready = poll(&pfd, 1, 50);
		if (ready < 0 && errno == EINTR)
			continue;
		if (ready == 0)
			continue;
		ssize_t got = read(fFd, chunk, sizeof(chunk));
		if (got < 0 && (errno == EINTR || errno == EAGAIN))
			continue;
		if (got <= 0)
			break;
		fBytes += size_t(got);
		Inject(Z_DATA, chunk, int32(got));
	}
	if (!fStop)
		Inject(Z_EODS, nullptr, 0);
	fFinished = true;
	if (fActive) {
		fActive = false;
		fRuntime.EndActivity();
	}
}

bool StreamTap::Write(FILE* out, const ZItem* items, int count)
{
	for (int i = 0; i < count; i++) {
		const ZItem& item = items[i];
		if (!item.data)
			continue;
		const char* bytes = static_cast<const char*>(item.data);
		size_t length = 0;
		if (item.type == Z_LINE || item.type == Z_TEXT) {
			length = item.size > 0 ? strnlen(bytes, size_t(item.size)) : strlen(bytes);
		} else if (item.type == Z_DATA) {
			const DataBuf* buf = static_cast<const DataBuf*>(item.data);
			bytes = reinterpret_cast<const char*>(buf->data);
			length = buf->count >= 0 ? size_t(std::min<int32>(buf->count, kDataBufSize))
				: strnlen(bytes, kDataBufSize);
		} else {
			continue;
		}
		if (length > 0 && fwrite(bytes, 1, length, out) != length)
			return false;
	}
	return fflush(out) == 0;
}

StreamTap::StreamTap(Runtime& runtime, const std::string& portRef, FILE* out)
	: fSink(std::make_shared<Sink>())
{
	PortState& port = FindPort(runtime, portRef, "--stdout-from");
	fSink->out = out;
	auto previous = port.observer;
	std::shared_ptr<Sink> sink = fSink;
	port.observer = [sink, previous](const ZItem* items, int count) {
		if (previous)
			previous(items, count);
		std::lock_guard<std::mutex> guard(sink->lock);
		if (!sink->stopped && !sink->failed && !Write(sink->out, items, count))
			sink->failed = true;  // a closed pipe: stop writing, keep running
	};
}

StreamTap::~StreamTap()
{
	std::lock_guard<std::mutex> guard(fSink->lock);
	fSink->stopped = true;
}

}  // namespace vantrel
