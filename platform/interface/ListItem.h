// Items of a list view.
#pragma once

#include <Font.h>
#include <Rect.h>

#include <string>

class BView;

class BListItem {
public:
	BListItem(uint32 outlineLevel = 0, bool expanded = true);
	virtual ~BListItem();

	float Height() const { return fHeight; }
	float Width() const { return fWidth; }
	void SetHeight(float height) { fHeight = height; }
	void SetWidth(float width) { fWidth = width; }
	bool IsSelected() const { return fSelected; }
	void Select() { fSelected = true; }
	void Deselect() { fSelected = false; }
	virtual void SetEnabled(bool enabled) { fEnabled = enabled; }
	bool IsEnabled() const { return fEnabled; }
	void SetExpanded(bool expanded) { fExpanded = expanded; }
	bool IsExpanded() const { return fExpanded; }
	uint32 OutlineLevel() const { return fLevel; }

	virtual void DrawItem(BView* owner, BRect frame, bool complete = false) = 0;
	// Called when the item joins a list: takes its size from the font.
	virtual void Update(BView* owner, const BFont* font);

private:
	float fWidth = 0;
	float fHeight = 0;
	uint32 fLevel;
	bool fSelected = false;
	bool fEnabled = true;
	bool fExpanded;
};

class BStringItem : public BListItem {
public:
	BStringItem(const char* text, uint32 outlineLevel = 0, bool expanded = true);
	virtual ~BStringItem();

	void DrawItem(BView* owner, BRect frame, bool complete = false) override;
	void Update(BView* owner, const BFont* font) override;
	virtual void SetText(const char* text);
	const char* Text() const { return fText.c_str(); }

private:
	std::string fText;
};
