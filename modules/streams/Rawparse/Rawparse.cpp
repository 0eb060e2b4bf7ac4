// Rawparse: parses raw MIDI bytes arriving in 'DATA' items into 'MIDI'
// packets and 'MSYX' messages, each handed out with a time item by the
// source port. The parser keeps its state between items, so a message may
// be split anywhere.

#include <Packet.h>
#include <StreamQueue.h>
#include <ZModule.h>

#include <OS.h>

#include <atomic>
#include <cstring>

namespace {

const char* defaultlabel = "Rawparse";
ZMessage setupmsg("Stream to MIDI");

constexpr int kQueueLimit = 128;
constexpr int kSysexLimit = 260;

struct StreamParams {
	StreamQueue queue{"file input marshal", kQueueLimit, kPacketBytes};
	std::atomic<bool> closed{false};

	// Parser state, touched only by input calls (serialised by the queue).
	uint8 runningStatus = 0;
	MIDISeq event{0, 0, 0, 0};
	int dataPosition = 0;  // 1 = data1, 2 = data2
	int32 needed = 0;
	bool inSysex = false;
	uint8* sysex = nullptr;
	int32 sysexLength = 0;

	~StreamParams() { free(sysex); }

	void parseStream(const DataBuf& buf);
	bool parseSysEx(const uint8*& cursor, int32& remaining);
	void queueMidi(uint8* packet) { queue.Put(QueuedPayload{Z_MIDI, kPacketBytes, packet}); }
};

// Data bytes that follow a status byte.
int32 DataBytesFor(uint8 status)
{
	if (status >= 0x80 && status <= 0xBF)
		return 2;
	if (status >= 0xC0 && status <= 0xDF)
		return 1;
	if (status >= 0xE0 && status <= 0xEF)
		return 2;
	switch (status) {
		case 0xF1:
		case 0xF3:
		case 0xF5:
			return 1;
		case 0xF2:
			return 2;
		default:
			return 0;
	}
}

void StreamParams::parseStream(const DataBuf& buf)
{
	// A negative count marks a zero-terminated string.
	int32 remaining = buf.count >= 0 ? std::min<int32>(buf.count, kDataBufSize)
		: int32(strnlen(reinterpret_cast<const char*>(buf.data), kDataBufSize));
	const uint8* cursor = buf.data;
	uint8* packet = static_cast<uint8*>(queue.GetBuffer());
	int events = 0;

	while (remaining > 0) {
		// A system-exclusive message goes on until its 0xF7, wherever the
		// item boundaries fall.
		if (inSysex) {
			parseSysEx(cursor, remaining);
			continue;
		}
		bool tookStatus = false;
		if (*cursor & 0x80) {
			runningStatus = *cursor;
			cursor++;
			remaining--;
			needed = 0;  // an unfinished message is abandoned
			tookStatus = true;
		}
		remaining -= needed;
		if (needed == 0) {
			int32 bytes = DataBytesFor(runningStatus);
			if (bytes == 0 && !tookStatus && runningStatus != 0xF0 && runningStatus != 0xF7) {
				// A data byte with no status that takes data: dropped.
				cursor++;
				remaining--;
				continue;
			}
			event = MIDISeq{runningStatus, 0, 0, 0};
			dataPosition = 1;
			remaining -= bytes;
			needed = bytes;
		}
		if (runningStatus == 0xF0 || runningStatus == 0xF7) {
			if (events > 0) {
				// Keep the events ahead of the message in stream order.
				queueMidi(packet);
				packet = static_cast<uint8*>(queue.GetBuffer());
				events = 0;
			}
			parseSysEx(cursor, remaining);
			continue;
		}
		int32 copy = remaining >= 0 ? needed : needed + remaining;
		uint8* bytes = &event.data1;
		for (int32 i = 0; i < copy; i++)
			bytes[dataPosition++ - 1] = *cursor++;
		needed -= copy;
		if (needed > 0)
			continue;  // the rest comes with the next item
		if (events == kPacketSlots) {
			queueMidi(packet);
			packet = static_cast<uint8*>(queue.GetBuffer());
			events = 0;
		}
		reinterpret_cast<MIDISeq*>(packet)[events++] = event;
	}
	if (events > 0)
		queueMidi(packet);
	else
		queue.Recycle(packet);
}

bool StreamParams::parseSysEx(const uint8*& cursor, int32& remaining)
{
	if (!sysex)
		sysex = static_cast<uint8*>(malloc(kSysexLimit));
	if (!inSysex)
		sysexLength = 0;
	inSysex = true;
	runningStatus = 0xF0;
	while (true) {
		if (remaining <= 0)
			return false;
		remaining--;
		uint8 byte = *cursor++;
		if (byte == 0xF7) {
			// An empty body has no block (an item of size 0 owns nothing).
			uint8* body = nullptr;
			if (sysexLength > 0) {
				body = static_cast<uint8*>(malloc(size_t(sysexLength)));
				memcpy(body, sysex, size_t(sysexLength));
			}
			queue.Put(QueuedPayload{Z_MSYX, sysexLength, body});
			sysexLength = 0;
			inSysex = false;
			return true;
		}
		if (sysexLength < kSysexLimit)
			sysex[sysexLength++] = byte;
	}
}

}  // namespace

ZPORT ProcessOutput(void* elem, ZItem*& items, int& count);
ZPORT ProcessInput(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	(void)defaultlabel;
	add_port(&setupmsg, Z_DSRC, "MIDI Output", ProcessOutput);
	add_port(&setupmsg, Z_FLT1, "Data Input", ProcessInput);
	add_help(&setupmsg, "Flovantrel/Rawparse");
	return &setupmsg;
}

ZEXPORT void* OpenElem()
{
	return new StreamParams;
}

ZEXPORT void CloseElem(void* elem)
{
	if (!elem)
		return;
	StreamParams* params = static_cast<StreamParams*>(elem);
	params->closed = true;
	params->queue.Close();
}

ZEXPORT void TerminateElem(void* elem)
{
	delete static_cast<StreamParams*>(elem);
}

ZEXPORT void ShutDown() {}

ZPORT ProcessInput(void* elem, ZItem*& items, int& count)
{
	StreamParams* params = static_cast<StreamParams*>(elem);
	if (params->closed || !params->queue.EnterInput())
		return -1;
	for (int i = 0; i < count; i++)
		if (items[i].type == Z_DATA && items[i].data)
			params->parseStream(*static_cast<const DataBuf*>(items[i].data));
	params->queue.LeaveInput();
	return 0;
}

ZPORT ProcessOutput(void* elem, ZItem*& items, int& count)
{
	StreamParams* params = static_cast<StreamParams*>(elem);
	StreamQueue& queue = params->queue;
	while (!params->closed && queue.WaitOutput()) {
		if (count == 0) {
			items = new ZItem[6];
			count = 6;
			items[0].type = Z_MTIM;
		}
		QueuedPayload payload;
		if (!queue.Take(&payload))
			continue;
		for (int i = 1; i < count; i++)
			queue.ReleaseItem(items[i]);
		set_zvalue(items[0], int32(system_time() / 1000));
		items[1].type = payload.type;
		items[1].data = payload.data;
		items[1].size = payload.size;
		return 0;
	}
	for (int i = 0; i < count; i++)
		clear_item_plain(items[i]);
	return -1;
}
