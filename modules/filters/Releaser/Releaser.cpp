// Releaser: turns every sounding note-on into the matching note-off (a
// note-on with velocity 0, keeping channel, key and marks) and discards
// every other MIDI event.

#include <Packet.h>
#include <ZModule.h>

#include <atomic>

namespace {

const char* defaultlabel = "Filter";
ZMessage setupmsg("Note On to Note Off");

// One byte: the closed flag, set by CloseElem while ports may be running.
struct Element {
	std::atomic<bool> closed{false};
};
static_assert(sizeof(Element) == 1);

}  // namespace

ZPORT ProcessPacket(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	(void)defaultlabel;
	add_port(&setupmsg, Z_FILT, "", ProcessPacket);
	add_help(&setupmsg, "Tonvantrel/Releaser");
	return &setupmsg;
}

ZEXPORT void* OpenElem()
{
	return new Element;
}

ZEXPORT void CloseElem(void* elem)
{
	if (elem)
		static_cast<Element*>(elem)->closed = true;
}

ZEXPORT void TerminateElem(void* elem)
{
	delete static_cast<Element*>(elem);
}

ZEXPORT void ShutDown() {}

ZPORT ProcessPacket(void* elem, ZItem*& items, int& count)
{
	if (static_cast<Element*>(elem)->closed)
		return -1;
	int result = -1;
	for (int i = 0; i < count; i++) {
		ZItem& item = items[i];
		if (item.type == Z_MIDI) {
			PacketWriter out(item.data);
			for (MIDISeq& event : PacketEvents(item.data)) {
				if ((event.status & 0x70) == 0x10 && event.data2 != 0) {
					MIDISeq released = event;
					released.data2 = 0;
					out.put(released);
				}
			}
			out.terminate();
			if (out.count() > 0)
				result = 0;
		} else if (item.type != 0 && item.type != Z_MTIM) {
			result = 0;
		}
	}
	return result;
}
