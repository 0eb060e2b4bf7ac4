// Messages between the input layer and windows.
#pragma once

#include <SupportDefs.h>

namespace platform_private {

// Posted by the input layer; the window releases the semaphore "sem" once
// its queue has drained ("rounds" bounds how often it re-queues itself).
constexpr uint32 kInputSync = '_VSY';
// Targeted at a menu: choose the item at "index".
constexpr uint32 kMenuChoose = '_VMC';
// Targeted at an alert: as if the button at "index" was clicked.
constexpr uint32 kAlertButton = '_VAB';

}  // namespace platform_private
