// MIME type names.
#pragma once

#include <MimeType.h>
