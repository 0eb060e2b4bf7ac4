#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "InputPrivate.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// BMenuItem

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
	: BInvoker(message, nullptr), fLabel(label ? label : ""), fShortcut(shortcut), fModifiers(modifiers)
{
}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message) : BInvoker(message, nullptr), fSubmenu(submenu)
{
	if (submenu) {
		fLabel = submenu->Name() ? submenu->Name() : "";
		submenu->fSuperitem = this;
	}
}

BMenuItem::~BMenuItem()
{
	if (fMenu) {
		auto& items = fMenu->fItems;
		items.erase(std::remove(items.begin(), items.end(), this), items.end());
	}
	delete fSubmenu;
}

void BMenuItem::SetLabel(const char* label)
{
	fLabel = label ? label : "";
	if (fMenu)
		fMenu->Invalidate();
}

bool BMenuItem::IsEnabled() const
{
	if (!fEnabled)
		return false;
	return !fMenu || fMenu->IsEnabled();
}

void BMenuItem::SetMarked(bool marked)
{
	if (marked == fMarked)
		return;
	fMarked = marked;
	if (marked && fMenu)
		fMenu->ItemMarked(this);
	if (fMenu)
		fMenu->Invalidate();
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	fShortcut = shortcut;
	fModifiers = modifiers;
}

char BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers)
		*modifiers = fModifiers;
	return fShortcut;
}

status_t BMenuItem::Invoke(BMessage* message)
{
	if (!IsEnabled())
		return B_ERROR;
	if (fMenu && fMenu->IsRadioMode())
		SetMarked(true);
	if (!message)
		message = Message();
	if (!message)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("index", fMenu ? fMenu->IndexOf(this) : -1);
	if (Messenger().IsValid())
		return BInvoker::Invoke(&copy);
	// Without a target of its own the item sends to the menu's window.
	BWindow* window = fMenu ? fMenu->OwnerWindow() : nullptr;
	if (!window)
		return B_BAD_HANDLER;
	return BMessenger(window).SendMessage(&copy);
}

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr)
{
	BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem() {}

// BMenu

BMenu::BMenu(const char* name, menu_layout layout)
	: BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW), fLayout(layout)
{
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
}

BMenu::BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
	bool resizeToFit)
	: BView(frame, name, resizingMode, flags), fLayout(layout)
{
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	if (resizeToFit) {
		BFont font;
		GetFont(&font);
		ResizeTo(Frame().Width(), font.LineHeight() + 6);
	}
}

BMenu::~BMenu()
{
	if (fSuperitem) {
		fSuperitem->fSubmenu = nullptr;
		fSuperitem = nullptr;
	}
	while (!fItems.empty()) {
		BMenuItem* item = fItems.back();
		fItems.pop_back();
		item->fMenu = nullptr;
		delete item;
	}
}

void BMenu::AttachedToWindow()
{
	BView::AttachedToWindow();
}

void BMenu::MessageReceived(BMessage* message)
{
	if (message->what == platform_private::kMenuChoose) {
		// A user's choice arriving on the window's thread: the item must
		// still be in this menu or one of its submenus.
		BMenuItem* item = static_cast<BMenuItem*>(message->GetPointer("item"));
		if (item && HasItem(item) && !item->Submenu())
			item->Invoke();
		return;
	}
	BView::MessageReceived(message);
}

bool BMenu::AddItem(BMenuItem* item)
{
	return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index)
{
	if (!item || item->fMenu || index < 0 || index > CountItems())
		return false;
	fItems.insert(fItems.begin() + index, item);
	item->fMenu = this;
	if (item->IsMarked())
		ItemMarked(item);
	Invalidate();
	return true;
}

bool BMenu::AddItem(BMenu* submenu)
{
	return AddItem(submenu, CountItems());
}

bool BMenu::AddItem(BMenu* submenu, int32 index)
{
	if (!submenu || submenu->fSuperitem)
		return false;
	BMenuItem* item = new BMenuItem(submenu);
	if (!AddItem(item, index)) {
		item->fSubmenu = nullptr;
		submenu->fSuperitem = nullptr;
		delete item;
		return false;
	}
	return true;
}

bool BMenu::AddSeparatorItem()
{
	return AddItem(new BSeparatorItem);
}

bool BMenu::RemoveItem(BMenuItem* item)
{
	auto it = std::find(fItems.begin(), fItems.end(), item);
	if (it == fItems.end())
		return false;
	fItems.erase(it);
	item->fMenu = nullptr;
	Invalidate();
	return true;
}

BMenuItem* BMenu::RemoveItem(int32 index)
{
	BMenuItem* item = ItemAt(index);
	if (item)
		RemoveItem(item);
	return item;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}

bool BMenu::RemoveItem(BMenu* submenu)
{
	for (BMenuItem* item : fItems) {
		if (item->Submenu() == submenu) {
			RemoveItem(item);
			item->fSubmenu = nullptr;
			submenu->fSuperitem = nullptr;
			delete item;
			return true;
		}
	}
	return false;
}

BMenuItem* BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return fItems[size_t(index)];
}

BMenu* BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item ? item->Submenu() : nullptr;
}

int32 BMenu::IndexOf(BMenuItem* item) const
{
	auto it = std::find(fItems.begin(), fItems.end(), item);
	return it == fItems.end() ? -1 : int32(it - fItems.begin());
}

int32 BMenu::IndexOf(BMenu* submenu) const
{
	for (size_t i = 0; i < fItems.size(); i++)
		if (fItems[i]->Submenu() == submenu)
			return int32(i);
	return -1;
}

BMenuItem* BMenu::FindItem(const char* label) const
{
	if (!label)
		return nullptr;
	for (BMenuItem* item : fItems) {
		if (!item->Submenu() && strcmp(item->Label(), label) == 0)
			return item;
		if (item->Submenu())
			if (BMenuItem* found = item->Submenu()->FindItem(label))
				return found;
	}
	for (BMenuItem* item : fItems)
		if (item->Submenu() && strcmp(item->Label(), label) == 0)
			return item;
	return nullptr;
}

BMenuItem* BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Command() == command && item->Message())
			return item;
		if (item->Submenu())
			if (BMenuItem* found = item->Submenu()->FindItem(command))
				return found;
	}
	return nullptr;
}

BMenuItem* BMenu::FindMarked() const
{
	for (BMenuItem* item : fItems)
		if (item->IsMarked())
			return item;
	return nullptr;
}

int32 BMenu::FindMarkedIndex() const
{
	return IndexOf(FindMarked());
}

bool BMenu::HasItem(const BMenuItem* item) const
{
	for (BMenuItem* own : fItems) {
		if (own == item)
			return true;
		if (own->Submenu() && own->Submenu()->HasItem(item))
			return true;
	}
	return false;
}

status_t BMenu::SetTargetForItems(BHandler* target)
{
	status_t result = B_OK;
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(target);
		if (status != B_OK)
			result = status;
	}
	return result;
}

status_t BMenu::SetTargetForItems(BMessenger messenger)
{
	for (BMenuItem* item : fItems)
		item->SetTarget(messenger);
	return B_OK;
}

void BMenu::SetEnabled(bool enabled)
{
	fEnabled = enabled;
	Invalidate();
}

bool BMenu::IsEnabled() const
{
	if (!fEnabled)
		return false;
	BMenu* super = Supermenu();
	return !super || super->IsEnabled();
}

void BMenu::SetRadioMode(bool on)
{
	fRadioMode = on;
	if (!on)
		fLabelFromMarked = false;
}

void BMenu::SetLabelFromMarked(bool on)
{
	fLabelFromMarked = on;
	if (on)
		fRadioMode = true;
	if (on && FindMarked() && fSuperitem)
		fSuperitem->SetLabel(FindMarked()->Label());
}

BMenu* BMenu::Supermenu() const
{
	return fSuperitem ? fSuperitem->Menu() : nullptr;
}

BWindow* BMenu::OwnerWindow() const
{
	const BMenu* menu = this;
	while (menu) {
		if (menu->Window())
			return menu->Window();
		menu = menu->Supermenu();
	}
	return nullptr;
}

void BMenu::ItemMarked(BMenuItem* marked)
{
	if (fRadioMode) {
		for (BMenuItem* item : fItems)
			if (item != marked && item->IsMarked()) {
				item->fMarked = false;
			}
	}
	if (fLabelFromMarked && fSuperitem)
		fSuperitem->SetLabel(marked->Label());
}

// BMenuBar

BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode, menu_layout layout, bool resizeToFit)
	: BMenu(frame, name, resizingMode, B_WILL_DRAW | B_FRAME_EVENTS, layout, resizeToFit)
{
}

BMenuBar::~BMenuBar() {}

// BPopUpMenu

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout)
	: BMenu(name, layout)
{
	SetRadioMode(radioMode);
	if (labelFromMarked)
		SetLabelFromMarked(true);
}

BPopUpMenu::~BPopUpMenu() {}

BMenuItem* BPopUpMenu::Go(BPoint, bool, bool, bool)
{
	return nullptr;
}
