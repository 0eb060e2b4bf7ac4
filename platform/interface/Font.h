// Fonts with fixed, deterministic metrics: there is no screen, so string
// widths and heights come from simple per-face tables and give the same
// layout on every machine.
#pragma once

#include <SupportDefs.h>

struct font_height {
	float ascent;
	float descent;
	float leading;
};

enum {
	B_ITALIC_FACE = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE = 0x0004,
	B_OUTLINED_FACE = 0x0008,
	B_STRIKEOUT_FACE = 0x0010,
	B_BOLD_FACE = 0x0020,
	B_REGULAR_FACE = 0x0040,
};

enum {
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE = 0x00000002,
	B_FONT_SHEAR = 0x00000004,
	B_FONT_ROTATION = 0x00000008,
	B_FONT_SPACING = 0x00000010,
	B_FONT_ENCODING = 0x00000020,
	B_FONT_FACE = 0x00000040,
	B_FONT_FLAGS = 0x00000080,
	B_FONT_ALL = 0x000000FF,
};

enum {
	B_CHAR_SPACING = 0,
	B_STRING_SPACING = 1,
	B_BITMAP_SPACING = 2,
	B_FIXED_SPACING = 3,
};

class BFont {
public:
	constexpr BFont() {}
	constexpr BFont(float size, uint16 face, bool fixed) : fSize(size), fFace(face), fFixed(fixed) {}
	BFont(const BFont& font) = default;
	BFont(const BFont* font);
	BFont& operator=(const BFont& font) = default;

	void SetSize(float size);
	float Size() const { return fSize; }
	void SetFace(uint16 face);
	uint16 Face() const { return fFace; }
	void SetSpacing(uint8 spacing) { fSpacing = spacing; }
	uint8 Spacing() const { return fSpacing; }
	// "Sans", "Mono"; styles "Regular", "Bold".
	status_t SetFamilyAndStyle(const char* family, const char* style);
	const char* Family() const { return fFixed ? "Mono" : "Sans"; }
	const char* Style() const { return (fFace & B_BOLD_FACE) ? "Bold" : "Regular"; }
	bool IsFixed() const { return fFixed; }

	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetHeight(font_height* height) const;
	// ascent + descent + leading, rounded up.
	float LineHeight() const;

	bool operator==(const BFont& other) const;
	bool operator!=(const BFont& other) const { return !(*this == other); }

private:
	float fSize = 12;
	uint16 fFace = B_REGULAR_FACE;
	uint8 fSpacing = B_CHAR_SPACING;
	bool fFixed = false;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;
