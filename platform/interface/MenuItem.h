// An item of a menu: a label that sends its message when chosen, or the
// entry of a submenu. In a menu in radio mode, choosing an item marks it.
// Items send to the menu's window unless given another target; the
// message gets "when", "source" and "index".
#pragma once

#include <Invoker.h>
#include <Message.h>
#include <Rect.h>

#include <string>

class BMenu;

class BMenuItem : public BInvoker {
public:
	BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
	BMenuItem(BMenu* submenu, BMessage* message = nullptr);
	virtual ~BMenuItem();

	virtual void SetLabel(const char* label);
	const char* Label() const { return fLabel.c_str(); }
	virtual void SetEnabled(bool enabled) { fEnabled = enabled; }
	bool IsEnabled() const;
	virtual void SetMarked(bool marked);
	bool IsMarked() const { return fMarked; }
	virtual void SetShortcut(char shortcut, uint32 modifiers);
	char Shortcut(uint32* modifiers = nullptr) const;
	BMenu* Submenu() const { return fSubmenu; }
	BMenu* Menu() const { return fMenu; }
	BRect Frame() const { return BRect(); }
	bool IsSelected() const { return false; }

	status_t Invoke(BMessage* message = nullptr) override;

private:
	friend class BMenu;
	std::string fLabel;
	BMenu* fSubmenu = nullptr;
	BMenu* fMenu = nullptr;
	bool fEnabled = true;
	bool fMarked = false;
	char fShortcut = 0;
	uint32 fModifiers = 0;
};

class BSeparatorItem : public BMenuItem {
public:
	BSeparatorItem();
	virtual ~BSeparatorItem();
	void SetEnabled(bool) override {}
};
