#include <ListView.h>
#include <Window.h>

#include <AppDefs.h>

#include <algorithm>
#include <cmath>

BListItem::BListItem(uint32 outlineLevel, bool expanded) : fLevel(outlineLevel), fExpanded(expanded) {}
BListItem::~BListItem() {}

void BListItem::Update(BView*, const BFont* font)
{
	fHeight = font->LineHeight() + 2;
}

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded)
	: BListItem(outlineLevel, expanded), fText(text ? text : "")
{
}

BStringItem::~BStringItem() {}

void BStringItem::DrawItem(BView*, BRect, bool) {}

void BStringItem::Update(BView* owner, const BFont* font)
{
	BListItem::Update(owner, font);
	SetWidth(font->StringWidth(fText.c_str()));
}

void BStringItem::SetText(const char* text)
{
	fText = text ? text : "";
}

BListView::BListView(BRect frame, const char* name, list_view_type type, uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags), fType(type)
{
}

BListView::~BListView()
{
	delete fSelectionMessage;
}

void BListView::AttachedToWindow()
{
	if (!Messenger().IsValid())
		SetTarget(Window());
	BView::AttachedToWindow();
}

int32 BListView::IndexOf(BPoint point) const
{
	float top = 0;
	for (size_t i = 0; i < fItems.size(); i++) {
		float bottom = top + fItems[i]->Height();
		if (point.y >= top && point.y < bottom)
			return int32(i);
		top = bottom;
	}
	return -1;
}

BRect BListView::ItemFrame(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return BRect();
	float top = 0;
	for (int32 i = 0; i < index; i++)
		top += fItems[size_t(i)]->Height();
	return BRect(Bounds().left, top, Bounds().right, top + fItems[size_t(index)]->Height() - 1);
}

void BListView::MouseDown(BPoint where)
{
	MakeFocus(true);
	int32 index = IndexOf(where);
	if (index < 0 || !fItems[size_t(index)]->IsEnabled())
		return;
	BMessage* current = Window() ? Window()->CurrentMessage() : nullptr;
	uint32 modifiers = current ? uint32(current->GetInt32("modifiers", 0)) : 0;
	int32 clicks = current ? current->GetInt32("clicks", 1) : 1;
	if (clicks >= 2 && IsItemSelected(index)) {
		Invoke();
		return;
	}
	if (fType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_SHIFT_KEY) && fAnchor >= 0) {
		Select(std::min(fAnchor, index), std::max(fAnchor, index), false);
		return;
	}
	if (fType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_COMMAND_KEY)) {
		if (IsItemSelected(index))
			Deselect(index);
		else
			Select(index, true);
		return;
	}
	Select(index, false);
	if (clicks >= 2)
		Invoke();
}

void BListView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes != 1) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	int32 current = CurrentSelection();
	switch (bytes[0]) {
		case B_UP_ARROW:
			if (current > 0)
				Select(current - 1);
			else if (current < 0 && CountItems() > 0)
				Select(0);
			ScrollToSelection();
			break;
		case B_DOWN_ARROW: {
			int32 last = current;
			for (int32 i = CountItems() - 1; i >= 0; i--)
				if (IsItemSelected(i)) {
					last = i;
					break;
				}
			if (last + 1 < CountItems())
				Select(last + 1);
			ScrollToSelection();
			break;
		}
		case B_HOME:
			if (CountItems() > 0)
				Select(0);
			ScrollToSelection();
			break;
		case B_END:
			if (CountItems() > 0)
				Select(CountItems() - 1);
			ScrollToSelection();
			break;
		case B_ENTER:
		case B_SPACE:
			if (current >= 0)
				Invoke();
			break;
		default:
			BView::KeyDown(bytes, numBytes);
	}
}

void BListView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
}

void BListView::MessageReceived(BMessage* message)
{
	if (message->what == B_SELECT_ALL && fType == B_MULTIPLE_SELECTION_LIST) {
		Select(0, CountItems() - 1, false);
		return;
	}
	BView::MessageReceived(message);
}

bool BListView::AddItem(BListItem* item)
{
	return AddItem(item, CountItems());
}

bool BListView::AddItem(BListItem* item, int32 atIndex)
{
	if (!item || atIndex < 0 || atIndex > CountItems())
		return false;
	BFont font;
	GetFont(&font);
	item->Update(this, &font);
	bool selected = item->IsSelected();
	fItems.insert(fItems.begin() + atIndex, item);
	if (fAnchor >= atIndex)
		fAnchor++;
	if (selected) {
		item->Deselect();
		Select(atIndex, fType == B_MULTIPLE_SELECTION_LIST);
	}
	Invalidate();
	return true;
}

bool BListView::AddList(BList* newItems)
{
	if (!newItems)
		return false;
	for (int32 i = 0; i < newItems->CountItems(); i++)
		AddItem(static_cast<BListItem*>(newItems->ItemAt(i)));
	return true;
}

bool BListView::RemoveItem(BListItem* item)
{
	return RemoveItem(IndexOf(item)) != nullptr;
}

BListItem* BListView::RemoveItem(int32 index)
{
	BListItem* item = ItemAt(index);
	if (!item)
		return nullptr;
	bool wasSelected = item->IsSelected();
	fItems.erase(fItems.begin() + index);
	if (fAnchor == index)
		fAnchor = -1;
	else if (fAnchor > index)
		fAnchor--;
	Invalidate();
	if (wasSelected) {
		item->Deselect();
		Changed();
	}
	return item;
}

bool BListView::RemoveItems(int32 index, int32 count)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++)
		RemoveItem(index);
	return true;
}

void BListView::MakeEmpty()
{
	bool hadSelection = CurrentSelection() >= 0;
	for (BListItem* item : fItems)
		item->Deselect();
	fItems.clear();
	fAnchor = -1;
	ScrollTo(BPoint(0, 0));
	Invalidate();
	if (hadSelection)
		Changed();
}

bool BListView::ReplaceItem(int32 index, BListItem* item)
{
	if (!item || !ItemAt(index))
		return false;
	BFont font;
	GetFont(&font);
	item->Update(this, &font);
	bool selected = fItems[size_t(index)]->IsSelected();
	fItems[size_t(index)]->Deselect();
	fItems[size_t(index)] = item;
	if (selected)
		item->Select();
	Invalidate();
	return true;
}

bool BListView::SwapItems(int32 a, int32 b)
{
	if (!ItemAt(a) || !ItemAt(b))
		return false;
	std::swap(fItems[size_t(a)], fItems[size_t(b)]);
	Invalidate();
	return true;
}

bool BListView::MoveItem(int32 from, int32 to)
{
	if (!ItemAt(from) || to < 0 || to >= CountItems())
		return false;
	BListItem* item = fItems[size_t(from)];
	fItems.erase(fItems.begin() + from);
	fItems.insert(fItems.begin() + to, item);
	Invalidate();
	return true;
}

BListItem* BListView::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return fItems[size_t(index)];
}

int32 BListView::IndexOf(BListItem* item) const
{
	auto it = std::find(fItems.begin(), fItems.end(), item);
	return it == fItems.end() ? -1 : int32(it - fItems.begin());
}

void BListView::SetSelectionMessage(BMessage* message)
{
	if (message == fSelectionMessage)
		return;
	delete fSelectionMessage;
	fSelectionMessage = message;
}

void BListView::SetListType(list_view_type type)
{
	if (type == B_SINGLE_SELECTION_LIST && fType == B_MULTIPLE_SELECTION_LIST) {
		int32 first = CurrentSelection();
		if (first >= 0)
			DeselectExcept(first, first);
	}
	fType = type;
}

void BListView::Select(int32 index, bool extend)
{
	Select(index, index, extend);
}

void BListView::Select(int32 from, int32 to, bool extend)
{
	if (from < 0 || to < from || to >= CountItems())
		return;
	if (fType == B_SINGLE_SELECTION_LIST) {
		extend = false;
		to = from;
	}
	bool changed = false;
	if (!extend) {
		for (int32 i = 0; i < CountItems(); i++) {
			if ((i < from || i > to) && fItems[size_t(i)]->IsSelected()) {
				fItems[size_t(i)]->Deselect();
				changed = true;
			}
		}
	}
	for (int32 i = from; i <= to; i++) {
		if (!fItems[size_t(i)]->IsSelected()) {
			fItems[size_t(i)]->Select();
			changed = true;
		}
	}
	fAnchor = from;
	if (changed)
		Changed();
}

bool BListView::IsItemSelected(int32 index) const
{
	BListItem* item = ItemAt(index);
	return item && item->IsSelected();
}

int32 BListView::CurrentSelection(int32 n) const
{
	if (n < 0)
		return -1;
	for (int32 i = 0; i < CountItems(); i++)
		if (fItems[size_t(i)]->IsSelected() && n-- == 0)
			return i;
	return -1;
}

void BListView::Deselect(int32 index)
{
	BListItem* item = ItemAt(index);
	if (!item || !item->IsSelected())
		return;
	item->Deselect();
	Changed();
}

void BListView::DeselectAll()
{
	bool changed = false;
	for (BListItem* item : fItems) {
		if (item->IsSelected()) {
			item->Deselect();
			changed = true;
		}
	}
	if (changed)
		Changed();
}

void BListView::DeselectExcept(int32 from, int32 to)
{
	bool changed = false;
	for (int32 i = 0; i < CountItems(); i++) {
		if ((i < from || i > to) && fItems[size_t(i)]->IsSelected()) {
			fItems[size_t(i)]->Deselect();
			changed = true;
		}
	}
	if (changed)
		Changed();
}

void BListView::SelectionChanged() {}

void BListView::Changed()
{
	Invalidate();
	SelectionChanged();
	if (fSelectionMessage)
		Invoke(fSelectionMessage);
}

void BListView::ScrollToSelection()
{
	int32 index = CurrentSelection();
	if (index < 0)
		return;
	BRect item = ItemFrame(index);
	BRect bounds = Bounds();
	if (item.top < bounds.top)
		ScrollTo(BPoint(bounds.left, item.top));
	else if (item.bottom > bounds.bottom)
		ScrollTo(BPoint(bounds.left, item.bottom - bounds.Height()));
}

void BListView::ScrollTo(BPoint where)
{
	BView::ScrollTo(BPoint(std::max(0.0f, where.x), std::max(0.0f, where.y)));
	Invalidate();
}

status_t BListView::Invoke(BMessage* message)
{
	if (!message)
		message = Message();
	if (!message)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	for (int32 i = 0; i < CountItems(); i++)
		if (fItems[size_t(i)]->IsSelected())
			copy.AddInt32("index", i);
	return BInvoker::Invoke(&copy);
}
