// A list of items with single or multiple selection. Every change of the
// selection sends the selection message; a double click or Enter sends
// the invocation message with "index" (int32) for each selected item.
// The items belong to the caller.
#pragma once

#include <Invoker.h>
#include <List.h>
#include <ListItem.h>
#include <View.h>

#include <vector>

enum list_view_type {
	B_SINGLE_SELECTION_LIST,
	B_MULTIPLE_SELECTION_LIST,
};

class BListView : public BView, public BInvoker {
public:
	BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
	virtual ~BListView();

	void AttachedToWindow() override;
	void MouseDown(BPoint where) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void MakeFocus(bool focus = true) override;
	void MessageReceived(BMessage* message) override;

	virtual bool AddItem(BListItem* item);
	virtual bool AddItem(BListItem* item, int32 atIndex);
	virtual bool AddList(BList* newItems);
	virtual bool RemoveItem(BListItem* item);
	virtual BListItem* RemoveItem(int32 index);
	virtual bool RemoveItems(int32 index, int32 count);
	virtual void MakeEmpty();
	bool ReplaceItem(int32 index, BListItem* item);
	bool SwapItems(int32 a, int32 b);
	bool MoveItem(int32 from, int32 to);
	int32 CountItems() const { return int32(fItems.size()); }
	bool IsEmpty() const { return fItems.empty(); }
	BListItem* ItemAt(int32 index) const;
	BListItem* FirstItem() const { return ItemAt(0); }
	BListItem* LastItem() const { return ItemAt(CountItems() - 1); }
	int32 IndexOf(BListItem* item) const;
	int32 IndexOf(BPoint point) const;
	bool HasItem(BListItem* item) const { return IndexOf(item) >= 0; }
	BRect ItemFrame(int32 index) const;

	virtual void SetSelectionMessage(BMessage* message);
	virtual void SetInvocationMessage(BMessage* message) { SetMessage(message); }
	BMessage* SelectionMessage() const { return fSelectionMessage; }
	uint32 SelectionCommand() const { return fSelectionMessage ? fSelectionMessage->what : 0; }
	BMessage* InvocationMessage() const { return Message(); }
	uint32 InvocationCommand() const { return Command(); }
	virtual void SetListType(list_view_type type);
	list_view_type ListType() const { return fType; }

	void Select(int32 index, bool extend = false);
	void Select(int32 from, int32 to, bool extend = false);
	bool IsItemSelected(int32 index) const;
	// The index of the n-th selected item, or -1.
	int32 CurrentSelection(int32 n = 0) const;
	void Deselect(int32 index);
	void DeselectAll();
	void DeselectExcept(int32 from, int32 to);
	virtual void SelectionChanged();
	void ScrollToSelection();
	void ScrollTo(BPoint where) override;

	status_t Invoke(BMessage* message = nullptr) override;

private:
	void Changed();

	std::vector<BListItem*> fItems;
	list_view_type fType;
	BMessage* fSelectionMessage = nullptr;
	int32 fAnchor = -1;
};
