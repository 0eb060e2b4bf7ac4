// The MIME type of a node.
#pragma once

#include <Mime.h>
#include <Node.h>

class BNodeInfo {
public:
	BNodeInfo();
	explicit BNodeInfo(BNode* node);
	~BNodeInfo();

	status_t SetTo(BNode* node);
	status_t InitCheck() const { return fNode ? B_OK : B_NO_INIT; }

	// The type stored with the node or, failing that, one guessed from
	// its name and contents. type holds at least B_MIME_TYPE_LENGTH bytes.
	status_t GetType(char* type) const;
	status_t SetType(const char* type);

	// The type of a file by path, as GetType finds it.
	static status_t GetTrackerIcon(const entry_ref*, void*, int) { return B_UNSUPPORTED; }

private:
	BNode* fNode = nullptr;
};
