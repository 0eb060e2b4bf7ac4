// A slider: a value between two limits chosen by dragging a thumb along a
// bar. While the user drags, every change sends the modification message;
// on release the slider sends its message if the value changed.
#pragma once

#include <Control.h>

enum thumb_style {
	B_BLOCK_THUMB,
	B_TRIANGLE_THUMB,
};

enum hash_mark_location {
	B_HASH_MARKS_NONE = 0,
	B_HASH_MARKS_TOP = 1,
	B_HASH_MARKS_LEFT = 1,
	B_HASH_MARKS_BOTTOM = 2,
	B_HASH_MARKS_RIGHT = 2,
	B_HASH_MARKS_BOTH = 3,
};

class BSlider : public BControl {
public:
	BSlider(BRect frame, const char* name, const char* label, BMessage* message, int32 minValue,
		int32 maxValue, thumb_style thumbType = B_BLOCK_THUMB,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_NAVIGABLE | B_WILL_DRAW | B_FRAME_EVENTS);
	BSlider(BRect frame, const char* name, const char* label, BMessage* message, int32 minValue,
		int32 maxValue, orientation posture, thumb_style thumbType = B_BLOCK_THUMB,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_NAVIGABLE | B_WILL_DRAW | B_FRAME_EVENTS);
	virtual ~BSlider();

	// Kept within the limits.
	void SetValue(int32 value) override;
	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void GetPreferredSize(float* width, float* height) override;

	virtual void SetModificationMessage(BMessage* message);
	BMessage* ModificationMessage() const { return fModificationMessage; }
	virtual void SetLimits(int32 minimum, int32 maximum);
	void GetLimits(int32* minimum, int32* maximum) const;
	int32 MinValue() const { return fMin; }
	int32 MaxValue() const { return fMax; }
	// 0 at the minimum, 1 at the maximum.
	float Position() const;
	void SetPosition(float position);
	virtual void SetKeyIncrementValue(int32 value) { fKeyIncrement = value; }
	int32 KeyIncrementValue() const { return fKeyIncrement; }
	virtual void SetHashMarks(hash_mark_location where) { fHashMarks = where; }
	hash_mark_location HashMarks() const { return fHashMarks; }
	virtual void SetHashMarkCount(int32 count) { fHashMarkCount = count; }
	int32 HashMarkCount() const { return fHashMarkCount; }
	virtual void SetLimitLabels(const char* minLabel, const char* maxLabel);
	const char* MinLimitLabel() const { return fMinLabel.c_str(); }
	const char* MaxLimitLabel() const { return fMaxLabel.c_str(); }
	void SetBarColor(rgb_color color) { fBarColor = color; }
	rgb_color BarColor() const { return fBarColor; }
	void UseFillColor(bool use, const rgb_color* color = nullptr);
	bool FillColor(rgb_color* color) const;
	virtual void SetOrientation(orientation posture) { fOrientation = posture; }
	orientation Orientation() const { return fOrientation; }
	void SetBarThickness(float thickness) { fBarThickness = thickness; }
	float BarThickness() const { return fBarThickness; }
	thumb_style Style() const { return fStyle; }
	virtual void DrawThumb() {}
	// The bar and the thumb's centre, in the view's coordinates.
	BRect BarFrame() const;
	BPoint ThumbCenter() const;
	int32 ValueForPoint(BPoint where) const;

	bool PointForValue(int32 value, BPoint* where) const override;

private:
	void TrackTo(BPoint where);

	int32 fMin;
	int32 fMax;
	orientation fOrientation = B_HORIZONTAL;
	thumb_style fStyle;
	BMessage* fModificationMessage = nullptr;
	int32 fKeyIncrement = 1;
	hash_mark_location fHashMarks = B_HASH_MARKS_NONE;
	int32 fHashMarkCount = 0;
	std::string fMinLabel;
	std::string fMaxLabel;
	rgb_color fBarColor;
	rgb_color fFillColor;
	bool fUseFill = false;
	float fBarThickness = 6;
	int32 fStartValue = 0;
};
