// A growable byte string.
#pragma once

#include <SupportDefs.h>

#include <string>

class BString {
public:
	BString();
	BString(const char* string);
	BString(const char* string, int32 maxLength);
	BString(const BString& other);
	BString(BString&& other) noexcept;
	~BString();

	const char* String() const { return fData.c_str(); }
	int32 Length() const { return int32(fData.size()); }
	int32 CountChars() const;
	bool IsEmpty() const { return fData.empty(); }

	BString& operator=(const BString& other);
	BString& operator=(BString&& other) noexcept;
	BString& operator=(const char* string);
	BString& operator=(char c);
	BString& SetTo(const char* string);
	BString& SetTo(const char* string, int32 maxLength);
	BString& SetTo(char c, int32 count);
	BString& Adopt(BString& from);

	BString& operator+=(const BString& other);
	BString& operator+=(const char* string);
	BString& operator+=(char c);
	BString& Append(const BString& other);
	BString& Append(const char* string);
	BString& Append(const char* string, int32 length);
	BString& Append(char c, int32 count);
	BString& Prepend(const char* string);
	BString& Prepend(const BString& other);
	BString& Insert(const char* string, int32 position);
	BString& Insert(char c, int32 count, int32 position);

	BString& Truncate(int32 newLength, bool lazy = true);
	BString& Remove(int32 from, int32 length);
	BString& RemoveFirst(const char* string);
	BString& RemoveAll(const char* string);
	BString& MoveInto(BString& into, int32 from, int32 length);
	void CopyInto(char* into, int32 from, int32 length) const;
	BString& CopyInto(BString& into, int32 from, int32 length) const;

	int32 FindFirst(const char* string, int32 fromOffset = 0) const;
	int32 FindFirst(char c, int32 fromOffset = 0) const;
	int32 FindLast(const char* string) const;
	int32 FindLast(char c) const;
	int32 IFindFirst(const char* string, int32 fromOffset = 0) const;

	BString& ReplaceFirst(const char* replaceThis, const char* withThis);
	BString& ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset = 0);
	BString& ReplaceAll(char replaceThis, char withThis, int32 fromOffset = 0);
	BString& ToLower();
	BString& ToUpper();
	BString& Trim();

	int Compare(const BString& other) const;
	int Compare(const char* string) const;
	int Compare(const char* string, int32 length) const;
	int ICompare(const char* string) const;
	bool operator==(const BString& other) const { return fData == other.fData; }
	bool operator!=(const BString& other) const { return fData != other.fData; }
	bool operator<(const BString& other) const { return fData < other.fData; }
	bool operator==(const char* string) const { return Compare(string) == 0; }
	bool operator!=(const char* string) const { return Compare(string) != 0; }

	char operator[](int32 index) const { return fData[index]; }
	char ByteAt(int32 index) const;
	operator const char*() const { return fData.c_str(); }

	// Gives direct access to a buffer of at least maxLength bytes;
	// UnlockBuffer() takes the text's length from it (or from length >= 0).
	char* LockBuffer(int32 maxLength);
	BString& UnlockBuffer(int32 length = -1);

	BString& operator<<(const char* string);
	BString& operator<<(const BString& other);
	BString& operator<<(char c);
	BString& operator<<(int value);
	BString& operator<<(unsigned int value);
	BString& operator<<(long value);
	BString& operator<<(unsigned long value);
	BString& operator<<(long long value);
	BString& operator<<(unsigned long long value);
	BString& operator<<(float value);
	BString& operator<<(double value);

	BString& SetToFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
	std::string fData;
};

BString operator+(const BString& a, const BString& b);
BString operator+(const BString& a, const char* b);
