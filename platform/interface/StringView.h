// A line of static text.
#pragma once

#include <View.h>

#include <string>

class BStringView : public BView {
public:
	BStringView(BRect frame, const char* name, const char* text,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
	virtual ~BStringView();

	void SetText(const char* text);
	const char* Text() const { return fText.c_str(); }
	void SetAlignment(alignment flag);
	alignment Alignment() const { return fAlign; }
	void GetPreferredSize(float* width, float* height) override;

private:
	std::string fText;
	alignment fAlign = B_ALIGN_LEFT;
};
