// A module for host tests: an in-line port that changes events, one that
// hands what it catches to a source port, and a state it keeps verbatim.

#include <Locker.h>
#include <OS.h>
#include <Packet.h>
#include <ZModule.h>

#include <atomic>
#include <deque>
#include <vector>

namespace {

ZMessage setupmsg("Host test probe");

struct Probe {
	std::atomic<bool> closed{false};
	sem_id caught = create_sem(0, "caught");
	BLocker lock;
	std::deque<std::vector<MIDISeq>> pending;
	BMessage state;
};

}  // namespace

ZPORT Bump(void* elem, ZItem*& items, int& count);
ZPORT Catch(void* elem, ZItem*& items, int& count);
ZPORT Out(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&setupmsg, Z_FILT, "Bump", Bump);
	add_port(&setupmsg, Z_FILT, "Catch", Catch);
	add_port(&setupmsg, Z_DSRC, "Out", Out);
	add_help(&setupmsg, "Probe");
	return &setupmsg;
}

ZEXPORT void* OpenElem() { return new Probe; }

ZEXPORT void CloseElem(void* elem)
{
	Probe* probe = static_cast<Probe*>(elem);
	probe->closed = true;
	delete_sem(probe->caught);
}

ZEXPORT void TerminateElem(void* elem) { delete static_cast<Probe*>(elem); }
ZEXPORT void ShutDown() {}

ZEXPORT void SaveState(void* elem, BMessage* state)
{
	*state = static_cast<Probe*>(elem)->state;
}

ZEXPORT void SetState(void* elem, BMessage* state)
{
	static_cast<Probe*>(elem)->state = *state;
}

ZPORT Bump(void* elem, ZItem*& items, int& count)
{
	if (static_cast<Probe*>(elem)->closed)
		return -1;
	for (int i = 0; i < count; i++)
		if (items[i].type == Z_MIDI)
			for (MIDISeq& event : PacketEvents(items[i].data))
				event.data1++;
	return 0;
}

ZPORT Catch(void* elem, ZItem*& items, int& count)
{
	Probe* probe = static_cast<Probe*>(elem);
	if (probe->closed)
		return -1;
	for (int i = 0; i < count; i++) {
		if (items[i].type != Z_MIDI)
			continue;
		std::vector<MIDISeq> events;
		for (MIDISeq& event : PacketEvents(items[i].data))
			events.push_back(event);
		probe->lock.Lock();
		probe->pending.push_back(events);
		probe->lock.Unlock();
		release_sem(probe->caught);
		break;
	}
	return -1;
}

ZPORT Out(void* elem, ZItem*& items, int& count)
{
	Probe* probe = static_cast<Probe*>(elem);
	if (!probe->closed && count == 0) {
		items = new ZItem[6];
		count = 6;
		items[0].type = Z_MTIM;
		items[1].type = Z_MIDI;
		items[1].data = new_packet();
		items[1].size = kPacketBytes;
	}
	if (probe->closed || acquire_sem(probe->caught) != B_OK) {
		clear_items(items, count);
		return -1;
	}
	probe->lock.Lock();
	std::vector<MIDISeq> events = probe->pending.front();
	probe->pending.pop_front();
	probe->lock.Unlock();
	PacketWriter writer(items[1].data);
	for (const MIDISeq& event : events)
		writer.put(event);
	writer.terminate();
	set_zvalue(items[0], now_ms());
	return 0;
}
