// Savesink: writes the data stream reaching its "Write" port into a file
// named in a save chooser: 'DATA' chunks byte for byte, 'TEXT' and 'LINE'
// items as their text without the zero byte. An 'EODS' closes the file.
// A status line shows the file's name, "<Closed>" or "<FAILED!>".

#include <Placement.h>
#include <PanelElement.h>
#include <ZModule.h>

#include <AppDefs.h>
#include <Entry.h>
#include <File.h>
#include <FilePanel.h>
#include <OS.h>
#include <Path.h>
#include <String.h>
#include <StringView.h>
#include <ZMButton.h>
#include <ZMPanel.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

const char* defaultlabel = "Savesink";
ZMessage setupmsg("File Writer");

// New panels step 20 right and 20 down from (300, 20, 450, 80).
PanelCascade cascade(BRect(300, 20, 450, 80), BPoint(20, 20), BPoint(20, 20));

enum : uint32 {
	kWriteTo = 'okbt',
	kClose = 'stbt',
};

const char kClosed[] = "<Closed>";
const char kFailed[] = "<FAILED!>";

}  // namespace

class FiltWindow;

class ZMParam {
public:
	ZMParam() : filePermit(create_sem(1, "file input marshal")) {}

	bool setwrite(const entry_ref& directory, const char* name);
	void setclosed();
	void setstatus(const char* text);
	// Writes the bytes; a failure closes the file. Called under the permit.
	bool write(const void* bytes, size_t length);

	sem_id filePermit;
	const char* label = defaultlabel;
	BRect windowRect;
	FiltWindow* panel = nullptr;
	BString directory;
	std::atomic<bool> closed{false};
	std::atomic<bool> statusSuppressed{true};
	BFile file;
	BString fileName;
};

class FiltWindow : public ZMPanel {
public:
	FiltWindow(ZMParam* element, BPoint origin);
	~FiltWindow() override;
	void MessageReceived(BMessage* message) override;

	BStringView* status;
	ZMButton* closeButton;
	BFilePanel* chooser;

private:
	ZMParam* fElement;
};

FiltWindow::FiltWindow(ZMParam* element, BPoint origin)
	: ZMPanel(origin, element, defaultlabel, true), fElement(element)
{
	AddChild(new ZMButton(NextFrameBelow(70, 20), "write to", "Write to...", new BMessage(kWriteTo), 8, 3));
	closeButton = new ZMButton(NextFrameRight(55, 20), "close", "CLOSE", new BMessage(kClose), 8, 3);
	AddChild(closeButton);
	closeButton->SetEnabled(false);
	status = new BStringView(NextBelowAtLeft(130, 14), "Status", kClosed);
	AddChild(status);
	SetSizeLimits(130, 1200, 35, ContentFrame().bottom + Margin());

	BMessenger self(this);
	chooser = new BFilePanel(B_SAVE_PANEL, &self, nullptr, 0, false, nullptr, nullptr, false, true);
	chooser->SetTitle("File to Write");
}

FiltWindow::~FiltWindow()
{
	delete chooser;
}

void FiltWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kWriteTo:
			if (fElement->directory.Length() > 0)
				chooser->SetPanelDirectory(fElement->directory.String());
			chooser->Show();
			return;
		case B_SAVE_REQUESTED: {
			entry_ref directory;
			const char* name;
			if (message->FindRef("directory", &directory) == B_OK
				&& message->FindString("name", &name) == B_OK && fElement->setwrite(directory, name))
				closeButton->SetEnabled(true);
			return;
		}
		case kClose:
			fElement->setclosed();
			closeButton->SetEnabled(false);
			return;
		default:
			ZMPanel::MessageReceived(message);
	}
}

void ZMParam::setstatus(const char* text)
{
	if (!panel || statusSuppressed)
		return;
	panel->Lock();
	panel->status->SetText(text);
	panel->Unlock();
}

bool ZMParam::setwrite(const entry_ref& dir, const char* name)
{
	BPath path(&dir);
	if (path.InitCheck() == B_OK)
		path.Append(name);
	if (acquire_sem(filePermit) != B_OK)
		return false;
	status_t result = path.InitCheck() == B_OK
		? file.SetTo(path.Path(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE) : path.InitCheck();
	if (result == B_OK)
		fileName = name;
	else
		file.Unset();
	release_sem(filePermit);
	if (result != B_OK) {
		fprintf(stderr, "%s: cannot write \"%s\": %s\n", label, path.Path() ? path.Path() : name,
			strerror_status(result));
		setstatus(kFailed);
		return false;
	}
	setstatus(name);
	return true;
}

void ZMParam::setclosed()
{
	if (acquire_sem(filePermit) == B_OK) {
		file.Unset();
		release_sem(filePermit);
	}
	setstatus(kClosed);
}

bool ZMParam::write(const void* bytes, size_t length)
{
	if (length == 0)
		return true;
	ssize_t written = file.Write(bytes, length);
	if (written == ssize_t(length))
		return true;
	// A failed write (a full disk) is not passed over: the file is closed
	// and the status says so.
	fprintf(stderr, "%s: writing \"%s\" failed: %s\n", label, fileName.String(),
		strerror_status(written < 0 ? status_t(written) : B_PARTIAL_WRITE));
	file.Unset();
	return false;
}

ZPORT WriteDataPacket(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&setupmsg, Z_FILT, "Write", WriteDataPacket);
	add_help(&setupmsg, "Flovantrel/Savesink");
	return &setupmsg;
}

ZEXPORT void* OpenElem()
{
	ZMParam* element = new ZMParam;
	BPoint origin = cascade.Next();
	element->panel = new FiltWindow(element, origin);
	element->panel->Lock();
	element->windowRect = element->panel->Frame();
	element->panel->Unlock();
	return element;
}

ZEXPORT void CloseElem(void* elem)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element)
		return;
	close_element_panel(element);
	if (acquire_sem(element->filePermit) == B_OK)
		element->file.Unset();
	delete_sem(element->filePermit);
}

ZEXPORT void TerminateElem(void* elem)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element)
		return;
	if (element->panel)
		element->panel->Close();
	delete_sem(element->filePermit);
	delete element;
}

ZEXPORT void ShutDown() {}

ZEXPORT void LabelElem(void* elem, const char* label)
{
	label_element(static_cast<ZMParam*>(elem), label);
}

ZEXPORT int Panel(void* elem, BMessage* panelMessage)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (element)
		element->statusSuppressed = false;
	return present_element(element, panelMessage);
}

ZEXPORT void SaveState(void* elem, BMessage* state)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element || !state)
		return;
	if (FiltWindow* panel = element->panel) {
		save_panel_frame(state, panel);
		if (panel->chooser)
			state->AddString("directory", panel->chooser->PanelDirectoryPath().c_str());
		return;
	}
	state->AddRect("window", element->windowRect);
	if (element->directory.Length() > 0)
		state->AddString("directory", element->directory.String());
}

ZEXPORT void SetState(void* elem, BMessage* state)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (!element || !state)
		return;
	BRect frame;
	if (state->FindRect("window", &frame) == B_OK)
		element->windowRect = frame;
	if (element->panel)
		restore_panel_frame(state, element->panel);
	const char* directory;
	if (state->FindString("directory", &directory) == B_OK) {
		element->directory = directory;
		if (element->panel && element->panel->chooser)
			element->panel->chooser->SetPanelDirectory(directory);
	}
}

ZPORT WriteDataPacket(void* elem, ZItem*& items, int& count)
{
	ZMParam* element = static_cast<ZMParam*>(elem);
	if (element->closed || acquire_sem(element->filePermit) != B_OK)
		return -1;
	bool open = element->file.InitCheck() == B_OK;
	bool failed = false;
	for (int i = 0; open && i < count; i++) {
		const ZItem& item = items[i];
		if (!item.data && item.type != Z_EODS)
			continue;
		switch (item.type) {
			case Z_DATA: {
				const DataBuf* buf = static_cast<const DataBuf*>(item.data);
				// A negative count marks a zero-terminated string.
				size_t n = buf->count >= 0 ? size_t(std::min<int32>(buf->count, kDataBufSize))
					: strnlen(reinterpret_cast<const char*>(buf->data), kDataBufSize);
				open = element->write(buf->data, n);
				failed = !open;
				break;
			}
			case Z_TEXT:
			case Z_LINE: {
				const char* text = static_cast<const char*>(item.data);
				size_t n = item.size > 0 ? strnlen(text, size_t(item.size)) : strlen(text);
				open = element->write(text, n);
				failed = !open;
				break;
			}
			case Z_EODS:
				element->file.Unset();
				open = false;
				break;
			default:
				break;
		}
	}
	const char* status = element->file.InitCheck() == B_OK ? nullptr : failed ? kFailed : kClosed;
	release_sem(element->filePermit);
	// The status is shown after the permit is released: the panel's thread
	// holds its own lock while it waits for the permit.
	if (status)
		element->setstatus(status);
	return 0;
}
