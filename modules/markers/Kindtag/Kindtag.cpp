// Kindtag: sets the chosen mark on every MIDI event whose message type is
// among the selected types, and passes everything on unchanged otherwise.

#include <Marker.h>
#include <Packet.h>
#include <Placement.h>
#include <PanelElement.h>
#include <ZModule.h>

#include <Control.h>
#include <MenuBar.h>
#include <PopUpMenu.h>
#include <StringView.h>
#include <ZMCheckBox.h>
#include <ZMPanel.h>

#include <atomic>

namespace {

const char* defaultlabel = "Marker";
ZMessage setupmsg("Mark MIDI Messages");

// Panels cascade from (400, 20, 500, 180) and restart at (400, 20).
PanelCascade cascade = PanelCascade::StepDownLeft(BRect(400, 20, 500, 180), BPoint(400, 20));

constexpr uint32 kEventBox = 'KEYN';

// The check-box label of each type class, in bit order.
const char* evnames[8] = {
	"Note Off", "Note On", "Poly Touch", "Controller", "Program", "Chan Touch", "Pitch Bend", "System",
};

}  // namespace

class MarkerPanel;

// The panel thread writes the two one-byte settings while port threads
// read them; each is written whole.
class ZMParam {
public:
	std::atomic<uint8> evtypes{0};
	std::atomic<uint8> mark{1};
	const char* label = defaultlabel;
	std::atomic<bool> closed{false};
	MarkerPanel* panel = nullptr;
};

class MarkerPanel : public ZMPanel {
public:
	MarkerPanel(ZMParam* element, BPoint origin);
	void MessageReceived(BMessage* message) override;
	void update();

private:
	ZMParam* fElement;
	BPopUpMenu* fMenu = nullptr;
	ZMCheckBox* fBoxes[8];
};

MarkerPanel::MarkerPanel(ZMParam* element, BPoint origin)
	: ZMPanel(origin, element, defaultlabel, true), fElement(element)
{
	AddChild(make_mark_menu_bar(BRect(0, 0, Bounds().Width(), 18), &fMenu));
	BStringView* heading = new BStringView(NextBelowAtLeft(80, 12), "heading", "Event Type:");
	SetViewBoundsFromString(heading, "Event Type:", 1, 1);
	AddChild(heading);
	for (int k = 0; k < 8; k++) {
		BMessage* message = new BMessage(kEventBox);
		message->AddInt8("event", int8(1 << k));
		fBoxes[k] = new ZMCheckBox(NextFrameBelow(90, 14), "event", evnames[k], message);
		fBoxes[k]->SetBoundsFromString(evnames[k], 3, 0);
		AddChild(fBoxes[k]);
	}
	SetSizeLimits(50, 500, 50, Bounds().Height());
}

void MarkerPanel::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMarkMessage:
			fElement->mark.store(chosen_mark(message), std::memory_order_relaxed);
			break;
		case kEventBox: {
			int8 event;
			BControl* source = static_cast<BControl*>(message->GetPointer("source"));
			if (message->FindInt8("event", &event) != B_OK || !source)
				break;
			uint8 set = fElement->evtypes.load(std::memory_order_relaxed);
			if (source->Value() != 0)
				set |= uint8(event);
			else
				set &= uint8(~uint8(event));
			fElement->evtypes.store(set, std::memory_order_relaxed);
			break;
		}
		default:
			ZMPanel::MessageReceived(message);
	}
}

void MarkerPanel::update()
{
	Lock();
	show_mark(fMenu, fElement->mark.load(std::memory_order_relaxed));
	uint8 set = fElement->evtypes.load(std::memory_order_relaxed);
	for (int k = 0; k < 8; k++)
		fBoxes[k]->SetValue((set >> k) & 1);
	Unlock();
}

ZPORT ProcessPacket(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&setupmsg, Z_FILT, "", ProcessPacket);
	add_help(&setupmsg, "Tonvantrel/Kindtag");
	return &setupmsg;
}

ZEXPORT void* OpenElem()
{
	ZMParam* element = new ZMParam;
	element->panel = new MarkerPanel(element, cascade.Next());
	return element;
}

ZEXPORT void CloseElem(void* elem)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element)
		return;
	close_element_panel(element);
}

ZEXPORT void TerminateElem(void* elem)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element)
		return;
	if (element->panel)
		element->panel->Close();
	delete element;
}

ZEXPORT void ShutDown() {}

ZEXPORT void LabelElem(void* elem, const char* label)
{
	label_element(static_cast<ZMParam*>(elem), label);
}

ZEXPORT int Panel(void* elem, BMessage* panelMessage)
{
	return present_element(static_cast<ZMParam*>(elem), panelMessage);
}

ZEXPORT void SaveState(void* elem, BMessage* state)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element || !state)
		return;
	if (element->panel)
		save_panel_frame(state, element->panel);
	save_mark(state, element->mark.load(std::memory_order_relaxed));
	save_bool_bits(state, "evtypes", element->evtypes.load(std::memory_order_relaxed), 8);
}

ZEXPORT void SetState(void* elem, BMessage* state)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element || !state)
		return;
	if (element->panel)
		restore_panel_frame(state, element->panel);
	uint8 mark = element->mark.load(std::memory_order_relaxed);
	if (read_mark(state, &mark))
		element->mark.store(mark, std::memory_order_relaxed);
	uint32 set = element->evtypes.load(std::memory_order_relaxed);
	read_bool_bits(state, "evtypes", &set, 8);
	element->evtypes.store(uint8(set), std::memory_order_relaxed);
	if (element->panel)
		element->panel->update();
}

ZPORT ProcessPacket(void* elem, ZItem*& items, int& count)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (element->closed)
		return -1;
	uint8 set = element->evtypes.load(std::memory_order_relaxed);
	uint8 mark = element->mark.load(std::memory_order_relaxed);
	for (int i = 0; i < count; i++) {
		if (items[i].type != Z_MIDI)
			continue;
		// Only an all-zero event ends the list here.
		for (MIDISeq& event : PacketEvents(items[i].data, kPacketSlots, PacketEvents::kBlankEnds)) {
			uint8 bit = uint8(1u << event_class(event.status));
			if (bit == 2 && event.data2 == 0)
				bit = 1;
			if (bit & set)
				event.marks |= mark;
		}
	}
	return 0;
}
