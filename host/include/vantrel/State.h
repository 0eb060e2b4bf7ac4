// Element state in diagram files: a compact typed JSON form of a message
// that round-trips every field type exactly.
//
//   bare integer        int32          true / false     bool
//   string              string         [v, v, ...]      several values
//   {"int8": 4}  {"uint8": ..}  {"int16": ..}  {"uint16": ..}  {"uint32": ..}
//   {"int64": ..}  {"uint64": ..}  {"float": 1.5}  {"double": ..}
//   {"rect": [l, t, r, b]}  {"point": [x, y]}  {"ref": "/path"}
//   {"message": {"what": "CODE", "fields": {...}}}
//   {"data": "hex bytes", "type": "CODE"}    raw typed data
// A tag's value may be an array for several values of that type.
#pragma once

#include <Message.h>

#include <nlohmann/json.hpp>

#include <string>

namespace vantrel {

using Json = nlohmann::ordered_json;

Json MessageToJson(const BMessage& message);
// Fills the message from its JSON form; throws UserError naming the key.
void JsonToMessage(const Json& json, BMessage* message, const std::string& where);

}  // namespace vantrel
