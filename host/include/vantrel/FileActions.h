// Choosing and dropping files on element panels, from C++ and as the
// diagram actions "file" and "drop":
//
//   {"at": 0.1, "element": "save", "file": "out/log.txt"}
//   {"at": 0.2, "element": "read", "file": "tune.raw", "mode": "open"}
//   {"at": 0.3, "element": "read", "drop": "other.raw"}
//
// "file" chooses the path in the file panel that the element's panel
// window owns ("mode" picks the open or the save panel when it owns
// both), as a user would after opening that chooser. "drop" drops the
// files on the element's panel. A relative path is taken from the working
// directory. The element's panel must be open ("panel": true in the
// diagram). Both wait until the panel has handled the reply.
#pragma once

#include <vantrel/Runtime.h>

#include <string>
#include <vector>

namespace vantrel {

// Throws UserError naming the element and the file when the choice cannot
// be made.
void ChooseFile(Element& element, const std::string& path, const std::string& mode = "");
void DropFiles(Element& element, const std::vector<std::string>& paths);

// Adds "file" and "drop" to the diagram actions (once).
void RegisterFileActions();

}  // namespace vantrel
