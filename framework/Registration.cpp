#include "ZModule.h"

ZMessage::ZMessage(const char* description) : BMessage(Z_REGISTRATION)
{
	AddString("module", description);
}

ZMessage::~ZMessage() {}

status_t add_port(BMessage* registration, uint32 kind, const char* name, ZPortFunc function)
{
	ZPortRecord record{kind, name, function, 0};
	return registration->AddData(name, Z_NODE, &record, sizeof(record), true);
}

status_t add_help(BMessage* registration, const char* path)
{
	return registration->AddString("HelpFile", path);
}
