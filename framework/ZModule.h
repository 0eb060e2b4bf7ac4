// The interface between a module and the host: exports, port records and
// the registration message.
#pragma once

#include <Message.h>

#include "ZItem.h"

#define ZEXPORT extern "C" __attribute__((visibility("default")))

// Port kinds.
enum : uint32 {
	Z_FILT = 'FILT',  // in-line filter port
	Z_FLT1 = 'FLT1',  // second in-line kind, on elements that also have a source
	Z_DSRC = 'DSRC',  // data source port, pulled by a host thread
	Z_NODE = 'NODE',  // message type of a port record
	Z_REGISTRATION = 'ZXND',
};

typedef int (*ZPortFunc)(void* elem, ZItem*& items, int& count);

// The datum of each 'NODE' field of the registration message.
struct ZPortRecord {
	uint32 kind;
	const char* name;
	ZPortFunc function;
	uint32 reserved;
};

// The registration message: a message with what-code 'ZXND' and the
// module's one-line description under "module".
class ZMessage : public BMessage {
public:
	explicit ZMessage(const char* description);
	virtual ~ZMessage();
};

// Appends a port record under the port's name.
status_t add_port(BMessage* registration, uint32 kind, const char* name, ZPortFunc function);
// Appends the "HelpFile" string.
status_t add_help(BMessage* registration, const char* path);

// Signatures of the exports, as the host looks them up.
typedef BMessage* (*ZM_InitFunc)();
typedef void* (*OpenElemFunc)();
typedef void (*CloseElemFunc)(void* elem);
typedef void (*TerminateElemFunc)(void* elem);
typedef void (*ShutDownFunc)();
typedef void (*LabelElemFunc)(void* elem, const char* label);
typedef int (*PanelFunc)(void* elem, BMessage* panelMessage);
typedef void (*SaveStateFunc)(void* elem, BMessage* state);
typedef void (*SetStateFunc)(void* elem, BMessage* state);
typedef void (*LoadCompleteFunc)(void* elem);

ZEXPORT BMessage* ZM_Init();
ZEXPORT void* OpenElem();
ZEXPORT void CloseElem(void* elem);
ZEXPORT void TerminateElem(void* elem);
ZEXPORT void ShutDown();
ZEXPORT void LabelElem(void* elem, const char* label);
ZEXPORT int Panel(void* elem, BMessage* panelMessage);
ZEXPORT void SaveState(void* elem, BMessage* state);
ZEXPORT void SetState(void* elem, BMessage* state);
ZEXPORT void LoadComplete(void* elem);

// Port functions are exported with plain names too.
#define ZPORT ZEXPORT int
