// A MIME type string ("supertype/subtype") and tests on it.
#pragma once

#include <SupportDefs.h>

#include <string>

#ifndef B_MIME_TYPE_LENGTH
#define B_MIME_TYPE_LENGTH 256
#endif

class BMimeType {
public:
	BMimeType();
	explicit BMimeType(const char* type);
	~BMimeType();

	status_t SetTo(const char* type);
	void Unset();
	status_t InitCheck() const { return fInit; }

	// Null when not initialised.
	const char* Type() const;
	bool IsValid() const { return fInit == B_OK; }
	bool IsSupertypeOnly() const;
	status_t GetSupertype(BMimeType* supertype) const;
	// True when type equals this one or this is type's supertype.
	bool Contains(const BMimeType* type) const;

	bool operator==(const BMimeType& other) const;
	bool operator==(const char* type) const;

	static bool IsValid(const char* type);
	// The type suggested by a file's name and, when it can be read, its
	// first bytes: "text/plain" for printable text, else
	// "application/octet-stream".
	static status_t GuessMimeType(const char* path, BMimeType* type);
	static status_t GuessMimeType(const void* buffer, int32 length, BMimeType* type);

private:
	std::string fType;
	status_t fInit = B_NO_INIT;
};
