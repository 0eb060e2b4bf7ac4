#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include <AppDefs.h>

#include <algorithm>
#include <cmath>
#include <cstring>

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags), fTextRect(textRect)
{
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
	const rgb_color* initialColor, uint32 resizingMode, uint32 flags)
	: BTextView(frame, name, textRect, resizingMode, flags)
{
	if (initialFont)
		SetFont(initialFont);
	if (initialColor)
		SetHighColor(*initialColor);
}

BTextView::~BTextView() {}

void BTextView::MouseDown(BPoint)
{
	// Clicking focuses the view and puts the caret at the end of the text.
	if (!fSelectable && !fEditable)
		return;
	MakeFocus(true);
	Select(TextLength(), TextLength());
}

int32 BTextView::PreviousChar(int32 offset) const
{
	if (offset <= 0)
		return 0;
	offset--;
	while (offset > 0 && (uchar(fText[size_t(offset)]) & 0xC0) == 0x80)
		offset--;
	return offset;
}

int32 BTextView::NextChar(int32 offset) const
{
	int32 length = TextLength();
	if (offset >= length)
		return length;
	offset++;
	while (offset < length && (uchar(fText[size_t(offset)]) & 0xC0) == 0x80)
		offset++;
	return offset;
}

void BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (!bytes || numBytes <= 0)
		return;
	uchar key = uchar(bytes[0]);
	switch (key) {
		case B_LEFT_ARROW:
			Select(fSelStart == fSelEnd ? PreviousChar(fSelStart) : fSelStart,
				fSelStart == fSelEnd ? PreviousChar(fSelStart) : fSelStart);
			return;
		case B_RIGHT_ARROW:
			Select(fSelStart == fSelEnd ? NextChar(fSelEnd) : fSelEnd,
				fSelStart == fSelEnd ? NextChar(fSelEnd) : fSelEnd);
			return;
		case B_UP_ARROW:
		case B_DOWN_ARROW: {
			int32 line = LineAt(fSelStart) + (key == B_UP_ARROW ? -1 : 1);
			if (line < 0) {
				Select(0, 0);
			} else if (line >= CountLines()) {
				Select(TextLength(), TextLength());
			} else {
				int32 column = fSelStart - OffsetAt(LineAt(fSelStart));
				int32 start = OffsetAt(line);
				int32 end = line + 1 < CountLines() ? OffsetAt(line + 1) - 1 : TextLength();
				int32 at = std::min(start + column, end);
				Select(at, at);
			}
			return;
		}
		case B_HOME: {
			int32 at = OffsetAt(LineAt(fSelStart));
			Select(at, at);
			return;
		}
		case B_END: {
			int32 line = LineAt(fSelEnd);
			int32 at = line + 1 < CountLines() ? OffsetAt(line + 1) - 1 : TextLength();
			Select(at, at);
			return;
		}
		case B_PAGE_UP:
		case B_PAGE_DOWN:
		case B_ESCAPE:
		case B_INSERT:
		case B_FUNCTION_KEY:
			return;
		default:
			break;
	}
	if (!fEditable)
		return;
	if (key == B_BACKSPACE) {
		if (fSelStart != fSelEnd)
			Delete();
		else if (fSelStart > 0)
			Delete(PreviousChar(fSelStart), fSelStart);
		return;
	}
	if (key == B_DELETE) {
		if (fSelStart != fSelEnd)
			Delete();
		else if (fSelEnd < TextLength())
			Delete(fSelEnd, NextChar(fSelEnd));
		return;
	}
	if (key < 0x20 && key != B_ENTER && key != B_TAB)
		return;
	if (fDisallowed.count(key))
		return;
	int32 kept = TextLength() - (fSelEnd - fSelStart);
	if (kept + numBytes > fMaxBytes)
		return;
	if (fSelStart != fSelEnd)
		Delete();
	Insert(bytes, numBytes);
}

void BTextView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
}

void BTextView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case B_SELECT_ALL:
			SelectAll();
			break;
		default:
			BView::MessageReceived(message);
	}
}

void BTextView::GetPreferredSize(float* width, float* height)
{
	if (width)
		*width = Frame().Width();
	if (height)
		*height = TextHeight(0, CountLines() - 1);
}

void BTextView::SetText(const char* text, const text_run_array* runs)
{
	SetText(text, text ? int32(strlen(text)) : 0, runs);
}

void BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
	if (!fText.empty())
		DeleteText(0, TextLength());
	fSelStart = fSelEnd = 0;
	if (text && length > 0)
		InsertText(text, std::min<int32>(length, int32(strnlen(text, size_t(length)))), 0, runs);
	fSelStart = fSelEnd = 0;
	Invalidate();
}

void BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (!buffer)
		return;
	offset = std::clamp(offset, 0, TextLength());
	length = std::clamp(length, 0, TextLength() - offset);
	memcpy(buffer, fText.data() + offset, size_t(length));
	buffer[length] = '\0';
}

uchar BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return 0;
	return uchar(fText[size_t(offset)]);
}

void BTextView::Insert(const char* text, const text_run_array* runs)
{
	Insert(text, text ? int32(strlen(text)) : 0, runs);
}

void BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	Insert(fSelStart, text, length, runs);
}

void BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
	if (!text || length <= 0)
		return;
	length = int32(strnlen(text, size_t(length)));
	offset = std::clamp(offset, 0, TextLength());
	InsertText(text, length, offset, runs);
	if (offset <= fSelStart) {
		fSelStart += length;
		fSelEnd += length;
	} else if (offset < fSelEnd) {
		fSelEnd += length;
	}
	Invalidate();
}

void BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array*)
{
	fText.insert(size_t(offset), text, size_t(length));
}

void BTextView::Delete()
{
	Delete(fSelStart, fSelEnd);
}

void BTextView::Delete(int32 startOffset, int32 endOffset)
{
	startOffset = std::clamp(startOffset, 0, TextLength());
	endOffset = std::clamp(endOffset, startOffset, TextLength());
	if (startOffset == endOffset)
		return;
	DeleteText(startOffset, endOffset);
	auto adjust = [&](int32 at) {
		if (at >= endOffset)
			return at - (endOffset - startOffset);
		if (at > startOffset)
			return startOffset;
		return at;
	};
	fSelStart = adjust(fSelStart);
	fSelEnd = adjust(fSelEnd);
	Invalidate();
}

void BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	fText.erase(size_t(fromOffset), size_t(toOffset - fromOffset));
}

void BTextView::Select(int32 startOffset, int32 endOffset)
{
	startOffset = std::clamp(startOffset, 0, TextLength());
	endOffset = std::clamp(endOffset, startOffset, TextLength());
	fSelStart = startOffset;
	fSelEnd = endOffset;
	Invalidate();
}

void BTextView::GetSelection(int32* start, int32* end) const
{
	if (start)
		*start = fSelStart;
	if (end)
		*end = fSelEnd;
}

int32 BTextView::CountLines() const
{
	return int32(std::count(fText.begin(), fText.end(), '\n')) + 1;
}

int32 BTextView::LineAt(int32 offset) const
{
	offset = std::clamp(offset, 0, TextLength());
	return int32(std::count(fText.begin(), fText.begin() + offset, '\n'));
}

int32 BTextView::OffsetAt(int32 line) const
{
	if (line <= 0)
		return 0;
	int32 seen = 0;
	for (int32 i = 0; i < TextLength(); i++)
		if (fText[size_t(i)] == '\n' && ++seen == line)
			return i + 1;
	return TextLength();
}

void BTextView::GoToLine(int32 line)
{
	int32 at = OffsetAt(line);
	Select(at, at);
}

float BTextView::LineHeight(int32) const
{
	BFont font;
	GetFont(&font);
	return font.LineHeight();
}

float BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	startLine = std::max(0, startLine);
	endLine = std::min(CountLines() - 1, endLine);
	if (endLine < startLine)
		return 0;
	return float(endLine - startLine + 1) * LineHeight();
}

void BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	if (font)
		SetFont(font, mode);
	if (color)
		SetHighColor(*color);
}

void BTextView::ScrollToOffset(int32 offset)
{
	float top = float(LineAt(offset)) * LineHeight();
	BRect bounds = Bounds();
	if (top < bounds.top)
		ScrollTo(bounds.left, top);
	else if (top + LineHeight() > bounds.bottom)
		ScrollTo(bounds.left, std::max(0.0f, top + LineHeight() - bounds.Height()));
}

// The text field inside a text control: reports edits and entry to it.
class _BTextInput_ : public BTextView {
public:
	_BTextInput_(BRect frame, BTextControl* owner)
		: BTextView(frame, "_input_", BRect(2, 2, frame.Width() - 2, frame.Height() - 2),
			  B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE),
		  fOwner(owner)
	{
		SetWordWrap(false);
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		if (numBytes == 1 && bytes[0] == B_ENTER) {
			if (fOwner->IsEnabled()) {
				fOwner->EntryDone(true);
				SelectAll();
			}
			return;
		}
		if (numBytes == 1 && bytes[0] == B_TAB)
			return;
		BTextView::KeyDown(bytes, numBytes);
	}

	void MouseDown(BPoint where) override
	{
		if (fOwner->IsEnabled())
			BTextView::MouseDown(where);
	}

	void MakeFocus(bool focus) override
	{
		bool had = IsFocus();
		BTextView::MakeFocus(focus);
		if (had && !focus)
			fOwner->EntryDone(false);
	}

protected:
	void InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs) override
	{
		// One line only: line breaks become spaces.
		std::string line(text, size_t(length));
		std::replace(line.begin(), line.end(), '\n', ' ');
		BTextView::InsertText(line.c_str(), length, offset, runs);
		if (!fQuiet)
			fOwner->TextEdited();
	}

	void DeleteText(int32 from, int32 to) override
	{
		BTextView::DeleteText(from, to);
		if (!fQuiet)
			fOwner->TextEdited();
	}

public:
	bool fQuiet = false;

private:
	BTextControl* fOwner;
};

BTextControl::BTextControl(BRect frame, const char* name, const char* label, const char* initialText,
	BMessage* message, uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags)
{
	fDivider = label && *label ? StringWidth(label) + 4 : 0;
	BRect bounds = Bounds();
	BRect inputFrame(fDivider, 0, bounds.right, bounds.bottom);
	_BTextInput_* input = new _BTextInput_(inputFrame, this);
	fText = input;
	input->fQuiet = true;
	input->SetText(initialText);
	input->fQuiet = false;
	AddChild(fText);
}

BTextControl::~BTextControl()
{
	delete fModificationMessage;
}

void BTextControl::SetText(const char* text)
{
	_BTextInput_* input = static_cast<_BTextInput_*>(fText);
	input->fQuiet = true;
	input->SetText(text);
	input->fQuiet = false;
	fEdited = false;
	Invalidate();
}

const char* BTextControl::Text() const
{
	return fText->Text();
}

void BTextControl::SetModificationMessage(BMessage* message)
{
	if (message == fModificationMessage)
		return;
	delete fModificationMessage;
	fModificationMessage = message;
}

void BTextControl::SetDivider(float position)
{
	fDivider = std::round(position);
	BRect bounds = Bounds();
	fText->MoveTo(fDivider, 0);
	fText->ResizeTo(std::max(0.0f, bounds.Width() - fDivider), bounds.Height());
	Invalidate();
}

void BTextControl::SetAlignment(alignment label, alignment text)
{
	fLabelAlign = label;
	fText->SetAlignment(text);
}

void BTextControl::GetAlignment(alignment* label, alignment* text) const
{
	if (label)
		*label = fLabelAlign;
	if (text)
		*text = fText->Alignment();
}

void BTextControl::SetEnabled(bool enabled)
{
	BControl::SetEnabled(enabled);
	fText->MakeEditable(enabled);
	if (!enabled && fText->IsFocus())
		fText->MakeFocus(false);
}

void BTextControl::MakeFocus(bool focus)
{
	fText->MakeFocus(focus);
	if (focus)
		fText->SelectAll();
}

void BTextControl::FrameResized(float width, float height)
{
	fText->ResizeTo(std::max(0.0f, width - fDivider), height);
	BControl::FrameResized(width, height);
}

void BTextControl::GetPreferredSize(float* width, float* height)
{
	if (width)
		*width = fDivider + std::max(StringWidth(Text()) + 8, 40.0f);
	if (height)
		*height = fText->LineHeight() + 6;
}

void BTextControl::TextEdited()
{
	fEdited = true;
	if (fModificationMessage)
		Invoke(fModificationMessage);
}

void BTextControl::EntryDone(bool enter)
{
	if (!enter && !fEdited)
		return;
	fEdited = false;
	Invoke();
}
