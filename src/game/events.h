// Timer ticks and button clicks as the back ends deliver them: by element name.
#pragma once

#include <string_view>

#include "game/form1.h"

namespace tilerush {

// Each returns false, and does nothing, for a name that is not one of the window's.
bool fireTimer(Form1& form, std::string_view timer);
bool clickButton(Form1& form, std::string_view button);

}  // namespace tilerush
