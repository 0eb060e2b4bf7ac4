// A menu: a list of items. In radio mode one item at most is marked; with
// the label taken from the marked item, the item that opens the menu
// (its superitem) shows the marked item's label. The menu owns its items.
#pragma once

#include <Invoker.h>
#include <MenuItem.h>
#include <View.h>

#include <vector>

enum menu_layout {
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN,
	B_ITEMS_IN_MATRIX,
};

class BMenu : public BView {
public:
	BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BMenu();

	void MessageReceived(BMessage* message) override;
	void AttachedToWindow() override;

	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	bool AddItem(BMenu* submenu);
	bool AddItem(BMenu* submenu, int32 index);
	bool AddSeparatorItem();
	bool RemoveItem(BMenuItem* item);
	BMenuItem* RemoveItem(int32 index);
	bool RemoveItems(int32 index, int32 count, bool deleteItems = false);
	bool RemoveItem(BMenu* submenu);
	int32 CountItems() const { return int32(fItems.size()); }
	BMenuItem* ItemAt(int32 index) const;
	BMenu* SubmenuAt(int32 index) const;
	int32 IndexOf(BMenuItem* item) const;
	int32 IndexOf(BMenu* submenu) const;
	// Searches this menu and its submenus.
	BMenuItem* FindItem(const char* label) const;
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindMarked() const;
	int32 FindMarkedIndex() const;
	bool HasItem(const BMenuItem* item) const;

	virtual status_t SetTargetForItems(BHandler* target);
	virtual status_t SetTargetForItems(BMessenger messenger);
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	virtual void SetRadioMode(bool on);
	bool IsRadioMode() const { return fRadioMode; }
	virtual void SetLabelFromMarked(bool on);
	bool IsLabelFromMarked() const { return fLabelFromMarked; }
	menu_layout Layout() const { return fLayout; }

	BMenu* Supermenu() const;
	BMenuItem* Superitem() const { return fSuperitem; }
	// The window of the menu bar the menu hangs from.
	BWindow* OwnerWindow() const;

protected:
	BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
		bool resizeToFit);

private:
	friend class BMenuItem;
	void ItemMarked(BMenuItem* item);

	std::vector<BMenuItem*> fItems;
	BMenuItem* fSuperitem = nullptr;
	menu_layout fLayout;
	bool fRadioMode = false;
	bool fLabelFromMarked = false;
	bool fEnabled = true;
};
