#include <InputAPI.h>

#include <Control.h>
#include <ListView.h>
#include <Menu.h>
#include <Messenger.h>
#include <TextControl.h>
#include <TextView.h>
#include <View.h>
#include <Window.h>

#include <AppDefs.h>

#include "InputPrivate.h"

#include <cmath>
#include <cstring>
#include <algorithm>
#include <functional>

namespace platform_input {

namespace {

void SetWhy(std::string* why, const std::string& text)
{
	if (why)
		*why = text;
}

std::string Quote(const char* text)
{
	return std::string("\"") + (text ? text : "") + "\"";
}

std::string Trim(const std::string& text)
{
	size_t start = text.find_first_not_of(" \t");
	if (start == std::string::npos)
		return "";
	size_t end = text.find_last_not_of(" \t");
	return text.substr(start, end - start + 1);
}

void Walk(BView* view, const std::function<bool(BView*)>& visit)
{
	if (!view || !visit(view))
		return;
	for (int32 i = 0; i < view->CountChildren(); i++)
		Walk(view->ChildAt(i), visit);
}

// Locks the window for the duration of a lookup.
class WindowLock {
public:
	explicit WindowLock(BWindow* window) : fWindow(window), fLocked(window && window->Lock()) {}
	explicit WindowLock(const BMessenger& messenger) : fWindow(nullptr), fLocked(false)
	{
		if (messenger.LockTargetWithTimeout(kResponseTimeout) != B_OK)
			return;
		BLooper* looper = nullptr;
		messenger.Target(&looper);
		fWindow = dynamic_cast<BWindow*>(looper);
		fLocked = fWindow != nullptr;
		if (!fLocked && looper)
			looper->Unlock();
	}
	BWindow* Window() const { return fWindow; }
	~WindowLock()
	{
		if (fLocked)
			fWindow->Unlock();
	}
	bool IsLocked() const { return fLocked; }
	void Unlock()
	{
		if (fLocked)
			fWindow->Unlock();
		fLocked = false;
	}

private:
	BWindow* fWindow;
	bool fLocked;
};

status_t CheckWindow(BWindow* window, std::string* why)
{
	if (!window) {
		SetWhy(why, "no window");
		return B_BAD_VALUE;
	}
	if (find_thread(nullptr) == window->Thread()) {
		SetWhy(why, "called from the window's own thread");
		return B_WOULD_BLOCK;
	}
	if (window->IsHidden()) {
		SetWhy(why, std::string("the window ") + Quote(window->Title()) + " is not shown");
		return B_NOT_ALLOWED;
	}
	return B_OK;
}

// Under the lock: the point a user would aim at inside the view, in window
// coordinates, checked to reach the view (or one of its descendants).
status_t AimAt(BWindow* window, BView* view, BPoint local, BView** hit, BPoint* where, std::string* why)
{
	if (view->IsHidden()) {
		SetWhy(why, Quote(view->Name()) + " is hidden");
		return B_NOT_ALLOWED;
	}
	*where = view->ConvertToWindow(local);
	BView* found = window->FindView(*where);
	for (BView* up = found; up; up = up->Parent()) {
		if (up == view) {
			*hit = found;
			return B_OK;
		}
	}
	SetWhy(why, Quote(view->Name()) + " is covered by another view or lies outside the window");
	return B_NOT_ALLOWED;
}

BPoint Center(BView* view)
{
	BRect bounds = view->Bounds();
	return BPoint(std::round((bounds.left + bounds.right) / 2), std::round((bounds.top + bounds.bottom) / 2));
}

BMessage MouseMessage(uint32 what, BPoint where, int32 clicks = 1, uint32 modifiers = 0)
{
	BMessage message(what);
	message.AddInt64("when", system_time());
	message.AddPoint("be:window_where", where);
	message.AddInt32("buttons", what == B_MOUSE_UP ? 0 : int32(B_PRIMARY_MOUSE_BUTTON));
	message.AddInt32("modifiers", int32(modifiers));
	if (what == B_MOUSE_DOWN)
		message.AddInt32("clicks", clicks);
	return message;
}


// Waits until the window behind the messenger has handled what is queued;
// a window that quit meanwhile has nothing left to handle. The window is
// reached only through the messenger: it may be gone by now.
status_t WaitForWindow(const BMessenger& messenger, bigtime_t timeout)
{
	sem_id done = create_sem(0, "input sync");
	BMessage sync(platform_private::kInputSync);
	sync.AddInt32("sem", done);
	sync.AddInt32("rounds", 100);
	status_t status = messenger.SendMessage(&sync);
	if (status != B_OK) {
		delete_sem(done);
		return messenger.IsValid() ? status : B_OK;
	}
	bigtime_t deadline = system_time() + timeout;
	while (true) {
		status = acquire_sem_etc(done, 1, B_ABSOLUTE_TIMEOUT, std::min(deadline, system_time() + 10000));
		if (status == B_OK)
			break;
		if (!messenger.IsValid()) {
			status = B_OK;
			break;
		}
		if (system_time() >= deadline) {
			status = B_TIMED_OUT;
			break;
		}
	}
	delete_sem(done);
	return status;
}

// What a call remembers of its window before it posts anything.
struct Target {
	explicit Target(BWindow* window) : messenger(window), title(window->Title()) {}
	BMessenger messenger;
	std::string title;
};

status_t Respond(const Target& target, std::string* why)
{
	status_t status = WaitForWindow(target.messenger, kResponseTimeout);
	if (status != B_OK)
		SetWhy(why, "the window " + Quote(target.title.c_str()) + " did not respond");
	return status;
}

status_t Press(const BMessenger& view, BPoint where, int32 clicks, uint32 modifiers)
{
	BMessage down = MouseMessage(B_MOUSE_DOWN, where, clicks, modifiers);
	BMessage up = MouseMessage(B_MOUSE_UP, where, 1, modifiers);
	status_t status = view.SendMessage(&down);
	if (status == B_OK)
		status = view.SendMessage(&up);
	return status;
}

}  // namespace

BView* FindControl(BWindow* window, const char* control)
{
	if (!window || !control)
		return nullptr;
	BView* top = window->ContentView();
	BView* byName = nullptr;
	BView* byLabel = nullptr;
	BView* byTrimmed = nullptr;
	std::string wanted = Trim(control);
	Walk(top, [&](BView* view) {
		if (!byName && view->Name() && strcmp(view->Name(), control) == 0)
			byName = view;
		if (BControl* c = dynamic_cast<BControl*>(view)) {
			if (c->Label()) {
				if (!byLabel && strcmp(c->Label(), control) == 0)
					byLabel = view;
				if (!byTrimmed && Trim(c->Label()) == wanted)
					byTrimmed = view;
			}
		}
		return true;
	});
	return byName ? byName : byLabel ? byLabel : byTrimmed;
}

status_t WaitUntilIdle(BWindow* window, bigtime_t timeout)
{
	if (!window)
		return B_BAD_VALUE;
	if (find_thread(nullptr) == window->Thread())
		return B_WOULD_BLOCK;
	return WaitForWindow(BMessenger(window), timeout);
}

status_t Click(BWindow* window, const char* control, std::string* why)
{
	status_t status = CheckWindow(window, why);
	if (status != B_OK)
		return status;
	Target target(window);
	WindowLock lock(window);
	BView* view = FindControl(window, control);
	if (!view) {
		SetWhy(why, std::string("no control ") + Quote(control) + " in " + Quote(window->Title()));
		return B_NAME_NOT_FOUND;
	}
	if (BControl* c = dynamic_cast<BControl*>(view); c && !c->IsEnabled()) {
		SetWhy(why, Quote(control) + " is disabled");
		return B_NOT_ALLOWED;
	}
	BView* hit;
	BPoint where;
	status = AimAt(window, view, Center(view), &hit, &where, why);
	if (status != B_OK)
		return status;
	BMessenger hitView(hit);
	lock.Unlock();
	status = Press(hitView, where, 1, 0);
	return status == B_OK ? Respond(target, why) : status;
}

status_t DragSlider(BWindow* window, const char* slider, int32 value, std::string* why)
{
	status_t status = CheckWindow(window, why);
	if (status != B_OK)
		return status;
	Target target(window);
	WindowLock lock(window);
	BView* view = FindControl(window, slider);
	if (!view) {
		SetWhy(why, std::string("no slider ") + Quote(slider) + " in " + Quote(window->Title()));
		return B_NAME_NOT_FOUND;
	}
	if (BControl* c = dynamic_cast<BControl*>(view); c && !c->IsEnabled()) {
		SetWhy(why, Quote(slider) + " is disabled");
		return B_NOT_ALLOWED;
	}
	BPoint value_point;
	if (!view->PointForValue(value, &value_point)) {
		SetWhy(why, Quote(slider) + " is not a slider");
		return B_BAD_TYPE;
	}
	// Press where the thumb is now, move to the value, let go there.
	BPoint start;
	int32 now = 0;
	if (BControl* c = dynamic_cast<BControl*>(view))
		now = c->Value();
	else
		now = value;
	view->PointForValue(now, &start);
	BView* hit;
	BPoint from, to;
	status = AimAt(window, view, start, &hit, &from, why);
	if (status != B_OK)
		return status;
	to = view->ConvertToWindow(value_point);
	BMessenger pressed(view);
	lock.Unlock();
	BMessage down = MouseMessage(B_MOUSE_DOWN, from);
	BMessage moved = MouseMessage(B_MOUSE_MOVED, to);
	BMessage up = MouseMessage(B_MOUSE_UP, to);
	// While the button is held every event goes to the view pressed on.
	for (BMessage* message : {&down, &moved, &up})
		if ((status = pressed.SendMessage(message)) != B_OK)
			return status;
	return Respond(target, why);
}

status_t ChooseMenuItem(BWindow* window, const char* itemLabel, const char* menuName, std::string* why)
{
	status_t status = CheckWindow(window, why);
	if (status != B_OK)
		return status;
	Target target(window);
	WindowLock lock(window);
	BMenu* bar = nullptr;
	BMenuItem* item = nullptr;
	std::function<BMenuItem*(BMenu*, bool)> search = [&](BMenu* menu, bool inside) -> BMenuItem* {
		bool here = inside || !menuName
			|| (menu->Name() && strcmp(menu->Name(), menuName) == 0)
			|| (menu->Superitem() && strcmp(menu->Superitem()->Label(), menuName) == 0);
		for (int32 i = 0; i < menu->CountItems(); i++) {
			BMenuItem* candidate = menu->ItemAt(i);
			if (candidate->Submenu()) {
				if (BMenuItem* found = search(candidate->Submenu(), here))
					return found;
			} else if (here && strcmp(candidate->Label(), itemLabel) == 0) {
				return candidate;
			}
		}
		return nullptr;
	};
	Walk(window->ContentView(), [&](BView* view) {
		if (item)
			return false;
		if (BMenu* menu = dynamic_cast<BMenu*>(view)) {
			if ((item = search(menu, false)))
				bar = menu;
			return false;
		}
		return true;
	});
	if (!item) {
		SetWhy(why, std::string("no menu item ") + Quote(itemLabel)
			+ (menuName ? " in the menu " + Quote(menuName) : std::string()) + " in "
			+ Quote(window->Title()));
		return B_NAME_NOT_FOUND;
	}
	if (!item->IsEnabled()) {
		SetWhy(why, "the menu item " + Quote(itemLabel) + " is disabled");
		return B_NOT_ALLOWED;
	}
	if (bar->IsHidden()) {
		SetWhy(why, "the menu holding " + Quote(itemLabel) + " is hidden");
		return B_NOT_ALLOWED;
	}
	BMessenger menu(bar);
	lock.Unlock();
	BMessage choose(platform_private::kMenuChoose);
	choose.AddPointer("item", item);
	status = menu.SendMessage(&choose);
	return status == B_OK ? Respond(target, why) : status;
}

status_t SelectRows(BWindow* window, const char* list, const std::vector<int32>& rows, bool invoke,
	std::string* why)
{
	status_t status = CheckWindow(window, why);
	if (status != B_OK)
		return status;
	Target target(window);
	if (rows.empty()) {
		SetWhy(why, "no rows to select");
		return B_BAD_VALUE;
	}
	for (size_t i = 0; i < rows.size(); i++) {
		int32 row = rows[i];
		// Later rows reach the window through the messenger only.
		WindowLock lock(target.messenger);
		if (!lock.IsLocked()) {
			SetWhy(why, "the window " + Quote(target.title.c_str()) + " is gone");
			return B_BAD_VALUE;
		}
		BListView* view = dynamic_cast<BListView*>(FindControl(lock.Window(), list));
		if (!view) {
			SetWhy(why, std::string("no list ") + Quote(list) + " in " + Quote(target.title.c_str()));
			return B_NAME_NOT_FOUND;
		}
		if (row < 0 || row >= view->CountItems()) {
			SetWhy(why, "row " + std::to_string(row) + " is out of range: " + Quote(list) + " has "
				+ std::to_string(view->CountItems()) + " rows");
			return B_BAD_INDEX;
		}
		// Scroll the row into view first, as a user would.
		BRect frame = view->ItemFrame(row);
		BRect bounds = view->Bounds();
		if (frame.top < bounds.top || frame.bottom > bounds.bottom)
			view->ScrollTo(BPoint(bounds.left, frame.top));
		BView* hit;
		BPoint where;
		status = AimAt(lock.Window(), view, BPoint(view->Bounds().left + 2, (frame.top + frame.bottom) / 2),
			&hit, &where, why);
		if (status != B_OK)
			return status;
		BMessenger hitView(hit);
		lock.Unlock();
		uint32 modifiers = i == 0 ? 0 : uint32(B_COMMAND_KEY);
		if ((status = Press(hitView, where, 1, modifiers)) != B_OK)
			return status;
		if (i + 1 == rows.size() && invoke && (status = Press(hitView, where, 2, 0)) != B_OK)
			return status;
		if ((status = Respond(target, why)) != B_OK)
			return status;
	}
	return B_OK;
}

status_t TypeText(BWindow* window, const char* viewName, const char* text, bool replace, std::string* why)
{
	status_t status = CheckWindow(window, why);
	if (status != B_OK)
		return status;
	Target target(window);
	WindowLock lock(window);
	BView* view = FindControl(window, viewName);
	if (BTextControl* control = dynamic_cast<BTextControl*>(view)) {
		if (!control->IsEnabled()) {
			SetWhy(why, Quote(viewName) + " is disabled");
			return B_NOT_ALLOWED;
		}
		view = control->TextView();
	}
	BTextView* textView = dynamic_cast<BTextView*>(view);
	if (!textView) {
		SetWhy(why, std::string("no text field ") + Quote(viewName) + " in " + Quote(window->Title()));
		return B_NAME_NOT_FOUND;
	}
	BView* hit;
	BPoint where;
	status = AimAt(window, textView, Center(textView), &hit, &where, why);
	if (status != B_OK)
		return status;
	BMessenger hitView(hit);
	BMessenger field(textView);
	lock.Unlock();
	if ((status = Press(hitView, where, 1, 0)) != B_OK)
		return status;
	if (replace) {
		BMessage all(B_SELECT_ALL);
		if ((status = field.SendMessage(&all)) != B_OK)
			return status;
	}
	for (const char* p = text ? text : ""; *p;) {
		size_t length = 1;
		while ((uchar(p[length]) & 0xC0) == 0x80)
			length++;
		std::string bytes(p, length);
		p += length;
		if (bytes == "\b")
			bytes = std::string(1, char(B_BACKSPACE));
		BMessage key(B_KEY_DOWN);
		key.AddInt64("when", system_time());
		key.AddString("bytes", bytes.c_str());
		key.AddInt32("raw_char", uchar(bytes[0]));
		key.AddInt32("modifiers", 0);
		if ((status = field.SendMessage(&key)) != B_OK)
			return status;
	}
	return Respond(target, why);
}

status_t CloseWindow(BWindow* window, std::string* why)
{
	status_t status = CheckWindow(window, why);
	if (status != B_OK)
		return status;
	Target target(window);
	BMessage quit(B_QUIT_REQUESTED);
	if ((status = target.messenger.SendMessage(&quit)) != B_OK) {
		SetWhy(why, "the window is gone");
		return status;
	}
	// A window that agrees to close is gone afterwards; one that only
	// hides stays and is waited for.
	return Respond(target, why);
}

}  // namespace platform_input
