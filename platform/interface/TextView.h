// Editable multi-line text with a selection. The caret is the selection
// when it is empty. Keys typed into a focused text view edit it as usual:
// characters replace the selection, Backspace and Delete remove, the arrow
// keys, Home and End move the caret.
#pragma once

#include <View.h>

#include <set>
#include <string>

struct text_run_array;

class BTextView : public BView {
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
		const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
	virtual ~BTextView();

	void MouseDown(BPoint where) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void MakeFocus(bool focus = true) override;
	void MessageReceived(BMessage* message) override;
	void GetPreferredSize(float* width, float* height) override;

	void SetText(const char* text, const text_run_array* runs = nullptr);
	void SetText(const char* text, int32 length, const text_run_array* runs = nullptr);
	const char* Text() const { return fText.c_str(); }
	int32 TextLength() const { return int32(fText.size()); }
	void GetText(int32 offset, int32 length, char* buffer) const;
	uchar ByteAt(int32 offset) const;

	// Inserts at the start of the selection; the caret ends up after it.
	void Insert(const char* text, const text_run_array* runs = nullptr);
	void Insert(const char* text, int32 length, const text_run_array* runs = nullptr);
	void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = nullptr);
	// Deletes the selection, or the given range.
	void Delete();
	void Delete(int32 startOffset, int32 endOffset);

	virtual void Select(int32 startOffset, int32 endOffset);
	void SelectAll() { Select(0, TextLength()); }
	void GetSelection(int32* start, int32* end) const;

	int32 CountLines() const;
	int32 CurrentLine() const { return LineAt(fSelStart); }
	int32 LineAt(int32 offset) const;
	int32 OffsetAt(int32 line) const;
	void GoToLine(int32 line);
	float LineHeight(int32 line = 0) const;
	float TextHeight(int32 startLine, int32 endLine) const;

	void SetTextRect(BRect rect) { fTextRect = rect; }
	BRect TextRect() const { return fTextRect; }
	void MakeEditable(bool editable = true) { fEditable = editable; }
	bool IsEditable() const { return fEditable; }
	void MakeSelectable(bool selectable = true) { fSelectable = selectable; }
	bool IsSelectable() const { return fSelectable; }
	void SetWordWrap(bool wrap) { fWordWrap = wrap; }
	bool DoesWordWrap() const { return fWordWrap; }
	void SetMaxBytes(int32 max) { fMaxBytes = max; }
	int32 MaxBytes() const { return fMaxBytes; }
	void DisallowChar(uint32 c) { fDisallowed.insert(c); }
	void AllowChar(uint32 c) { fDisallowed.erase(c); }
	void SetAlignment(alignment flag) { fAlign = flag; }
	alignment Alignment() const { return fAlign; }
	void SetStylable(bool stylable) { fStylable = stylable; }
	bool IsStylable() const { return fStylable; }
	void SetAutoindent(bool state) { fAutoindent = state; }
	bool DoesAutoindent() const { return fAutoindent; }
	void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL, const rgb_color* color = nullptr);
	void ScrollToOffset(int32 offset);
	void ScrollToSelection() { ScrollToOffset(fSelStart); }

protected:
	// Hooks around every change of the text.
	virtual void InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);

private:
	int32 PreviousChar(int32 offset) const;
	int32 NextChar(int32 offset) const;

	std::string fText;
	int32 fSelStart = 0;
	int32 fSelEnd = 0;
	BRect fTextRect;
	bool fEditable = true;
	bool fSelectable = true;
	bool fWordWrap = true;
	bool fStylable = false;
	bool fAutoindent = false;
	int32 fMaxBytes = INT32_MAX;
	std::set<uint32> fDisallowed;
	alignment fAlign = B_ALIGN_LEFT;
};
